#include "link/udevdevicewatcher.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>

UdevDeviceWatcher::UdevDeviceWatcher(QObject *parent) : DeviceWatcher(parent) {}

UdevDeviceWatcher::~UdevDeviceWatcher()
{
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

bool UdevDeviceWatcher::start()
{
    if (notifier_)
        return true;
    udev_ = udev_ ? udev_ : udev_new();
    if (!udev_)
        return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_)
        return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return false;
    }
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0)
        return false;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UdevDeviceWatcher::receive);
    return true;
}

void UdevDeviceWatcher::receive()
{
    udev_device *device = udev_monitor_receive_device(monitor_);
    if (!device)
        return;
    const char *action = udev_device_get_action(device);
    if (action && std::strcmp(action, "add") == 0)
        emit deviceArrived();
    else if (action && std::strcmp(action, "remove") == 0)
        emit deviceRemoveComplete();
    udev_device_unref(device);
}
