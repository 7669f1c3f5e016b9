#pragma once

#include <QObject>

// Tells the main window that some device has arrived or gone. The udev
// implementation watches the hidraw and usb subsystems; the simulator raises
// the notices itself when its instrument is plugged in or pulled out.
class DeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DeviceWatcher(QObject *parent = nullptr) : QObject(parent) {}
    ~DeviceWatcher() override = default;

    // Starts delivering notices; false when the registration failed.
    virtual bool start() = 0;

signals:
    void deviceArrived();
    void deviceRemoveComplete();
};
