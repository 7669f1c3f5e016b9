#include "fuzz/fuzztransport.h"

#include "link/libhiddevice.h"

#include <algorithm>
#include <cstring>

namespace {

class FuzzHandle : public HidTransport::Handle
{
public:
    FuzzHandle(FuzzTransport *transport, int inputLength)
        : transport_(transport), inputLength_(inputLength)
    {
    }
    bool attributes(quint16 *vendorId, quint16 *productId) override
    {
        if (transport_->exhausted())
            return false;
        *vendorId = FuzzTransport::VendorId;
        *productId = FuzzTransport::ProductId;
        return true;
    }
    bool serialNumber(QString *serial) override
    {
        *serial = QStringLiteral("FZ0001");
        return true;
    }
    int inputReportLength() override { return inputLength_; }
    int outputReportLength() override { return 64; }
    int readReport(unsigned char *buffer, int length, int) override
    {
        return transport_->readReport(buffer, length);
    }
    int writeReport(const unsigned char *, int length, int) override
    {
        return transport_->writeReport(length);
    }
    void close() override {}

private:
    FuzzTransport *transport_;
    int inputLength_;
};

} // namespace

FuzzTransport::FuzzTransport(const QByteArray &script, int inputReportLength)
    : script_(script), inputReportLength_(inputReportLength)
{
}

QList<HidTransport::InterfaceInfo> FuzzTransport::enumerate(quint16 vendorId, quint16 productId)
{
    if (vendorId != VendorId || productId != ProductId)
        return {};
    InterfaceInfo info;
    info.path = QStringLiteral("fuzz:0");
    info.serialNumber = QStringLiteral("FZ0001");
    info.interfaceNumber = 0;
    info.vendorId = VendorId;
    info.productId = ProductId;
    return {info};
}

std::unique_ptr<HidTransport::Handle> FuzzTransport::open(const QString &path, bool,
                                                          OpenError *error)
{
    if (path != QLatin1String("fuzz:0")) {
        *error = OpenError::NotFound;
        return nullptr;
    }
    *error = OpenError::None;
    return std::make_unique<FuzzHandle>(this, inputReportLength_);
}

int FuzzTransport::readReport(unsigned char *buffer, int length)
{
    if (exhausted())
        return -1;
    const int announced = quint8(script_.at(position_++));
    const int present = std::min(announced, int(script_.size()) - position_);
    const int delivered = std::min(present, length);
    std::memcpy(buffer, script_.constData() + position_, size_t(delivered));
    position_ += present;
    if (delivered == 0 && ++timeOuts_ >= kMaxTimeOuts)
        position_ = script_.size();
    if (delivered >= 2 && buffer[0] == libHidDevice::ReportId)
        payloadOffered_ += std::min(int(buffer[1]), delivered - 2);
    return delivered;
}

int FuzzTransport::writeReport(int length)
{
    if (refuseWrites_ || exhausted())
        return -1;
    ++reportsWritten_;
    return length;
}
