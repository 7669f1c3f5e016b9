#pragma once

#include "sim/simdevicewatcher.h"
#include "sim/simtransport.h"

#include <QObject>

#include <memory>

class CLinker;

// Everything the program needs to run against simulated instruments: the
// transport, the watcher that hears of plugging, and the link opener that the
// main window calls (a CLinkerUSB over the simulated transport, so that the
// real HID and link layers run unchanged).
class SimEnvironment : public QObject
{
    Q_OBJECT
public:
    explicit SimEnvironment(QObject *parent = nullptr);
    ~SimEnvironment() override;

    SimTransport *transport() { return &transport_; }
    SimDeviceWatcher *watcher() { return watcher_; }

    // Plugs in an instrument built from profile (the watcher announces it).
    std::shared_ptr<SimInstrument> plugIn(const SimProfile &profile);
    // The instrument plugged in first and still present, or nullptr.
    std::shared_ptr<SimInstrument> instrument() const;
    // Pulls every instrument out and forgets them.
    void removeAll();

    // The main window's link opener: a CLinkerUSB opened on the simulated
    // transport, or nullptr when no instrument could be opened.
    CLinker *openLink(quint16 vendorId, quint16 productId);

private:
    SimTransport transport_;
    SimDeviceWatcher *watcher_;
};
