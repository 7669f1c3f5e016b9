#pragma once

#include "link/hidtransport.h"
#include "sim/siminstrument.h"

#include <QList>

#include <functional>
#include <memory>
#include <mutex>

// HID transport over simulated instruments. Each plugged-in instrument shows
// its interfaces as paths "sim:<n>/<interface>" with its USB serial string;
// vendor and product are the instrument's 2047:0301.
class SimTransport : public HidTransport
{
public:
    static constexpr quint16 VendorId = 0x2047;
    static constexpr quint16 ProductId = 0x0301;

    SimTransport();
    ~SimTransport() override;

    // Adds an instrument (plugged in) and returns it. listener hears of every
    // plug and unplug of it.
    std::shared_ptr<SimInstrument> add(const SimProfile &profile);
    // Pulls the instrument out and forgets it.
    void remove(const std::shared_ptr<SimInstrument> &instrument);
    QList<std::shared_ptr<SimInstrument>> instruments() const;
    // Told of every plug (true) and unplug (false) of any instrument.
    void setPlugListener(std::function<void(bool plugged)> listener);
    // Runs right before every open: lets a test pull an instrument out
    // between enumeration and open.
    void setBeforeOpen(std::function<void(const QString &path)> hook);

    QList<InterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<Handle> open(const QString &path, bool exclusive, OpenError *error) override;

private:
    struct Entry
    {
        int id;
        std::shared_ptr<SimInstrument> instrument;
    };
    mutable std::mutex mutex_;
    QList<Entry> entries_;
    int nextId_ = 0;
    std::function<void(bool)> listener_;
    std::function<void(const QString &)> beforeOpen_;
};
