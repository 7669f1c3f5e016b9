#pragma once

#include "link/devicewatcher.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

// Device-change notices from udev: every device added to or removed from the
// hidraw and usb subsystems becomes deviceArrived() or deviceRemoveComplete().
// The main window decides whether the change concerns the instrument.
class UdevDeviceWatcher : public DeviceWatcher
{
    Q_OBJECT
public:
    explicit UdevDeviceWatcher(QObject *parent = nullptr);
    ~UdevDeviceWatcher() override;

    bool start() override;

private:
    void receive();

    struct udev *udev_ = nullptr;
    struct udev_monitor *monitor_ = nullptr;
    QSocketNotifier *notifier_ = nullptr;
};
