#pragma once

#include "link/devicewatcher.h"

// Device-change notices of the simulator. Plugging a simulated instrument in
// or out raises them (delivered through the event loop of the watcher's
// thread, like udev notices); tests may also announce an unrelated device.
class SimDeviceWatcher : public DeviceWatcher
{
    Q_OBJECT
public:
    explicit SimDeviceWatcher(QObject *parent = nullptr);

    bool start() override;
    bool started() const { return started_; }
    // What start() answers; false models a failed registration.
    void setStartResult(bool result) { startResult_ = result; }
    // While muted, notices are dropped.
    void setMuted(bool muted) { muted_ = muted; }

    // Queues a notice, as if some device (the instrument or another one) had
    // arrived or gone. Safe from any thread.
    void announceArrival();
    void announceRemoval();

private:
    bool startResult_ = true;
    bool started_ = false;
    bool muted_ = false;
};
