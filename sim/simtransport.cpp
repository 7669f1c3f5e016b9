#include "sim/simtransport.h"

namespace {

class SimHandle : public HidTransport::Handle
{
public:
    SimHandle(std::shared_ptr<SimInstrument> instrument, int interfaceIndex, bool exclusive)
        : instrument_(std::move(instrument)), interface_(interfaceIndex), exclusive_(exclusive),
          generation_(instrument_->generation())
    {
    }
    ~SimHandle() override { close(); }

    bool attributes(quint16 *vendorId, quint16 *productId) override
    {
        if (!instrument_ || !instrument_->alive(generation_))
            return false;
        *vendorId = SimTransport::VendorId;
        *productId = SimTransport::ProductId;
        return true;
    }
    bool serialNumber(QString *serial) override
    {
        if (!instrument_ || !instrument_->alive(generation_))
            return false;
        *serial = instrument_->usbSerial();
        return true;
    }
    int inputReportLength() override { return instrument_ ? instrument_->reportLength() : 0; }
    int outputReportLength() override { return instrument_ ? instrument_->reportLength() : 0; }
    int readReport(unsigned char *buffer, int length, int timeoutMs) override
    {
        return instrument_ ? instrument_->readReport(generation_, buffer, length, timeoutMs) : -1;
    }
    int readReportWakeable(unsigned char *buffer, int length, int timeoutMs) override
    {
        return instrument_ ? instrument_->readReport(generation_, buffer, length, timeoutMs, &wake_)
                           : -1;
    }
    void wakeReader() override
    {
        if (instrument_)
            instrument_->wakeReader(&wake_);
    }
    int writeReport(const unsigned char *buffer, int length, int timeoutMs) override
    {
        return instrument_ ? instrument_->writeReport(generation_, buffer, length, timeoutMs) : -1;
    }
    void close() override
    {
        if (!instrument_)
            return;
        if (instrument_->alive(generation_))
            instrument_->release(interface_, exclusive_);
        instrument_.reset();
    }

private:
    std::shared_ptr<SimInstrument> instrument_;
    int interface_;
    bool exclusive_;
    int generation_;
    std::atomic<bool> wake_{false};
};

} // namespace

SimTransport::SimTransport() = default;

SimTransport::~SimTransport()
{
    for (const Entry &e : entries_)
        e.instrument->setPlugListener(nullptr);
}

std::shared_ptr<SimInstrument> SimTransport::add(const SimProfile &profile)
{
    auto instrument = std::make_shared<SimInstrument>(profile);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.append({nextId_++, instrument});
    }
    instrument->setPlugListener([this](bool plugged) {
        std::function<void(bool)> listener;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            listener = listener_;
        }
        if (listener)
            listener(plugged);
    });
    std::function<void(bool)> listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener(true);
    return instrument;
}

void SimTransport::remove(const std::shared_ptr<SimInstrument> &instrument)
{
    if (!instrument)
        return;
    instrument->unplug(); // tells the listener while still registered
    instrument->setPlugListener(nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_.at(i).instrument == instrument) {
            entries_.removeAt(i);
            break;
        }
    }
}

QList<std::shared_ptr<SimInstrument>> SimTransport::instruments() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    QList<std::shared_ptr<SimInstrument>> list;
    for (const Entry &e : entries_)
        list.append(e.instrument);
    return list;
}

void SimTransport::setPlugListener(std::function<void(bool)> listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void SimTransport::setBeforeOpen(std::function<void(const QString &)> hook)
{
    std::lock_guard<std::mutex> lock(mutex_);
    beforeOpen_ = std::move(hook);
}

QList<HidTransport::InterfaceInfo> SimTransport::enumerate(quint16 vendorId, quint16 productId)
{
    QList<InterfaceInfo> list;
    if (vendorId != VendorId || productId != ProductId)
        return list;
    QList<Entry> entries;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        entries = entries_;
    }
    for (const Entry &e : entries) {
        if (!e.instrument->isPlugged())
            continue;
        const int n = e.instrument->interfaces();
        for (int i = 0; i < n; ++i) {
            InterfaceInfo info;
            info.path = QStringLiteral("sim:%1/%2").arg(e.id).arg(i);
            info.serialNumber = e.instrument->usbSerial();
            info.interfaceNumber = n > 1 ? i : -1;
            info.vendorId = VendorId;
            info.productId = ProductId;
            list.append(info);
        }
    }
    return list;
}

std::unique_ptr<HidTransport::Handle> SimTransport::open(const QString &path, bool exclusive,
                                                         OpenError *error)
{
    std::function<void(const QString &)> hook;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hook = beforeOpen_;
    }
    if (hook)
        hook(path);

    OpenError dummy;
    if (!error)
        error = &dummy;
    *error = OpenError::NotFound;
    if (!path.startsWith(QLatin1String("sim:")))
        return nullptr;
    const QStringList parts = path.mid(4).split(QLatin1Char('/'));
    if (parts.size() != 2)
        return nullptr;
    const int id = parts.at(0).toInt();
    const int iface = parts.at(1).toInt();
    std::shared_ptr<SimInstrument> instrument;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Entry &e : entries_)
            if (e.id == id)
                instrument = e.instrument;
    }
    if (!instrument || !instrument->isPlugged() || iface < 0 || iface >= instrument->interfaces())
        return nullptr;
    if (!instrument->acquire(iface, exclusive)) {
        *error = OpenError::Sharing;
        return nullptr;
    }
    *error = OpenError::None;
    return std::make_unique<SimHandle>(instrument, iface, exclusive);
}
