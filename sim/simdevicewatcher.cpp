#include "sim/simdevicewatcher.h"

#include <QMetaObject>

SimDeviceWatcher::SimDeviceWatcher(QObject *parent) : DeviceWatcher(parent) {}

bool SimDeviceWatcher::start()
{
    started_ = startResult_;
    return startResult_;
}

void SimDeviceWatcher::announceArrival()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (started_ && !muted_)
                emit deviceArrived();
        },
        Qt::QueuedConnection);
}

void SimDeviceWatcher::announceRemoval()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (started_ && !muted_)
                emit deviceRemoveComplete();
        },
        Qt::QueuedConnection);
}
