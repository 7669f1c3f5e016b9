#include "link/libhiddevice.h"

#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

using OpenError = HidTransport::OpenError;

// Opens one interface: exclusively first when asked, and once more shared when
// the device is busy. A handle of another vendor/product is not used.
std::unique_ptr<HidTransport::Handle> openPath(HidTransport *transport,
                                               const HidTransport::InterfaceInfo &info,
                                               quint16 vendorId, quint16 productId, bool exclusive,
                                               OpenError *lastError)
{
    OpenError error = OpenError::None;
    std::unique_ptr<HidTransport::Handle> handle = transport->open(info.path, exclusive, &error);
    if (!handle && error == OpenError::Sharing && exclusive)
        handle = transport->open(info.path, false, &error);
    *lastError = handle ? OpenError::None : error;
    if (!handle)
        return nullptr;
    quint16 vid = 0;
    quint16 pid = 0;
    if (!handle->attributes(&vid, &pid) || vid != vendorId || pid != productId) {
        handle->close();
        *lastError = OpenError::Other;
        return nullptr;
    }
    return handle;
}

// The interfaces that the index loop 0..127 visits.
QList<HidTransport::InterfaceInfo> matchingInterfaces(HidTransport *transport, quint16 vendorId,
                                                      quint16 productId)
{
    QList<HidTransport::InterfaceInfo> all = transport->enumerate(vendorId, productId);
    QList<HidTransport::InterfaceInfo> result;
    for (const HidTransport::InterfaceInfo &info : all) {
        if (result.size() >= libHidDevice::MaxInterfaces)
            break;
        if (info.vendorId == vendorId && info.productId == productId)
            result.append(info);
    }
    return result;
}

// The number an empty-serial placeholder stands for: "SerNum 1f" -> 0x1f, a
// single character -> its digit value; -1 for a real serial number.
int placeholderNumber(const QString &wanted)
{
    static const QRegularExpression pattern(QStringLiteral("^SerNum ([0-9a-f]+)$"));
    const QRegularExpressionMatch match = pattern.match(wanted);
    if (match.hasMatch())
        return match.captured(1).toInt(nullptr, 16);
    if (wanted.size() == 1)
        return wanted.at(0).digitValue();
    return -1;
}

// A busy interface that the listing shows with a serial number other than
// every one of `serials`: it belongs to another instrument, held by some
// other program, and neither counts nor takes a position when this
// instrument is opened. One without a serial number in the listing may be
// the wanted instrument's and is counted as before.
bool busyWithOtherSerial(const HidTransport::InterfaceInfo &info, const QStringList &serials)
{
    if (info.serialNumber.isEmpty() || serials.isEmpty())
        return false;
    return !serials.contains(QString::fromLocal8Bit(info.serialNumber.toLocal8Bit()));
}

} // namespace

libHidDevice::libHidDevice(HidTransport *transport) : transport_(transport) {}

libHidDevice::~libHidDevice()
{
    if (device_)
        close();
}

libHidDevice::SerialList libHidDevice::collectSerialNumbers(HidTransport *transport,
                                                            quint16 vendorId, quint16 productId)
{
    QStringList list;
    int emptyCount = 1;
    int highestInterface = 0;
    for (const HidTransport::InterfaceInfo &info :
         matchingInterfaces(transport, vendorId, productId)) {
        OpenError error = OpenError::None;
        std::unique_ptr<HidTransport::Handle> handle =
            openPath(transport, info, vendorId, productId, false, &error);
        if (!handle)
            continue; // busy or unusable: no serial number can be read either
        QString serial;
        const bool haveSerial = handle->serialNumber(&serial);
        handle->close();
        if (!haveSerial)
            continue;
        serial = QString::fromLocal8Bit(serial.toLocal8Bit()); // 8-bit text, as compared later
        if (!list.contains(serial)) {
            if (list.size() < MaxSerials && emptyCount == 1)
                list.append(serial);
        } else if (serial.isEmpty()) {
            ++emptyCount;
            if (info.interfaceNumber >= 0)
                highestInterface = std::max(highestInterface, info.interfaceNumber);
        }
    }

    SerialList result;
    if (emptyCount > 2 || (emptyCount == 2 && list.size() != 2)) {
        result.count = emptyCount / (highestInterface + 1);
        const QString last = list.isEmpty() ? QString() : list.last();
        while (list.size() < result.count)
            list.append(last);
    } else {
        result.count = list.size();
    }
    int placeholder = 0;
    for (int i = 0; i < result.count && i < list.size(); ++i) {
        if (list.at(i).isEmpty())
            result.texts.append(QStringLiteral("SerNum %1").arg(placeholder++, 0, 16));
        else
            result.texts.append(list.at(i));
    }
    return result;
}

int libHidDevice::countInterfaces(HidTransport *transport, quint16 vendorId, quint16 productId,
                                  int instruments, const QStringList &serials)
{
    int found = 0;
    for (const HidTransport::InterfaceInfo &info :
         matchingInterfaces(transport, vendorId, productId)) {
        OpenError error = OpenError::None;
        std::unique_ptr<HidTransport::Handle> handle =
            openPath(transport, info, vendorId, productId, false, &error);
        if (handle) {
            handle->close();
            ++found;
        } else if (error == OpenError::Sharing && !busyWithOtherSerial(info, serials)) {
            ++found;
        }
    }
    if (found == 0 || instruments <= 0)
        return 0;
    return found / instruments;
}

int libHidDevice::openByIndex(HidTransport *transport, HidDeviceRecord *record, quint16 vendorId,
                              quint16 productId, int deviceIndex, const QString &wantedSerial,
                              int interfacesPerInstrument, int instruments)
{
    if (record->open)
        return 3;
    const int wantedNumber = placeholderNumber(wantedSerial);
    int position = 0;
    int serialIndex = 0;    // which instrument an empty serial number belongs to
    int interfacesSeen = 0; // interfaces of that instrument visited so far
    for (const HidTransport::InterfaceInfo &info :
         matchingInterfaces(transport, vendorId, productId)) {
        OpenError error = OpenError::None;
        std::unique_ptr<HidTransport::Handle> handle =
            openPath(transport, info, vendorId, productId, interfacesPerInstrument == 1, &error);
        if (error == OpenError::Sharing && !busyWithOtherSerial(info, {wantedSerial})) {
            if (position == deviceIndex)
                return 3;
            ++position;
        }
        if (!handle)
            continue;

        QString serial;
        if (!handle->serialNumber(&serial))
            serial.clear();
        serial = QString::fromLocal8Bit(serial.toLocal8Bit());
        bool matches = serial == wantedSerial;
        if (!matches && serial.isEmpty() && wantedNumber >= 0) {
            matches = wantedNumber == serialIndex;
            if (++interfacesSeen >= interfacesPerInstrument) {
                interfacesSeen = 0;
                serialIndex = instruments > 0 ? (serialIndex + 1) % instruments : 0;
            }
        }

        if (position == deviceIndex && matches) {
            record->handle = std::move(handle);
            record->path = info.path;
            record->open = 1;
            const int input = record->handle->inputReportLength();
            const int output = record->handle->outputReportLength();
            // Lengths too small to hold report id and length byte count as unknown.
            if (input > 2)
                record->inputReportLength =
                    quint16(std::min(input, int(sizeof record->reportBuffer)));
            if (output > 2)
                record->outputReportLength = quint16(std::min(output, 4096));
            return 0;
        }
        if (matches)
            position = interfacesPerInstrument > 0 ? (position + 1) % interfacesPerInstrument : 0;
        handle->close();
    }
    return 1;
}

int libHidDevice::open(quint16 vendorId, quint16 productId)
{
    const SerialList serials = collectSerialNumbers(transport_, vendorId, productId);
    if (serials.count == 0 || serials.texts.isEmpty())
        return -1;
    return openSerial(vendorId, productId, serials, serials.texts.last());
}

int libHidDevice::open(quint16 vendorId, quint16 productId, const QString &serial)
{
    const SerialList serials = collectSerialNumbers(transport_, vendorId, productId);
    if (serials.count == 0 || !serials.texts.contains(serial))
        return -1;
    return openSerial(vendorId, productId, serials, serial);
}

int libHidDevice::openSerial(quint16 vendorId, quint16 productId, const SerialList &serials,
                             const QString &serial)
{
    auto record = std::make_unique<HidDeviceRecord>();
    const int perInstrument =
        countInterfaces(transport_, vendorId, productId, serials.count, serials.texts);
    if (perInstrument == 0)
        return -1;
    if (openByIndex(transport_, record.get(), vendorId, productId, perInstrument - 1, serial,
                    perInstrument, serials.count) != 0)
        return -1;
    // A device that does not tell its report lengths gets full-speed reports.
    if (record->inputReportLength == 0)
        record->inputReportLength = 64;
    if (record->outputReportLength == 0)
        record->outputReportLength = 64;
    device_ = std::move(record);
    open_ = true;
    return 0;
}

void libHidDevice::close()
{
    if (!device_ || !device_->open || !device_->handle)
        return;
    device_->handle->close();
    device_->handle.reset();
    device_->open = 0;
}

int libHidDevice::write(const unsigned char *source, quint16 count, int timeoutMs)
{
    if (!open_)
        return 0;
    HidDeviceRecord *d = device_.get();
    d->writeTimeoutMs = timeoutMs;
    if (count == 0)
        return 0;
    const int length = std::max<int>(d->outputReportLength, 2);
    std::vector<unsigned char> report(size_t(length), 0);
    const int perReport = std::min(MaxPayload, length - 2);
    int sent = 0;
    while (sent < count) {
        const int chunk = std::min(int(count) - sent, perReport);
        std::fill(report.begin(), report.end(), 0);
        report[0] = ReportId;
        report[1] = static_cast<unsigned char>(chunk);
        std::memcpy(report.data() + 2, source + sent, size_t(chunk));
        if (!d->open || !d->handle)
            return 0;
        if (d->handle->writeReport(report.data(), length, d->writeTimeoutMs) <= 0)
            return 0;
        sent += chunk;
    }
    return count;
}

void libHidDevice::wakeReader()
{
    if (open_ && device_ && device_->handle)
        device_->handle->wakeReader();
}

int libHidDevice::readSome(unsigned char *destination, int count, int timeoutMs, bool wakeable)
{
    if (!open_ || count <= 0)
        return 0;
    HidDeviceRecord *d = device_.get();
    d->readTimeoutMs = timeoutMs;

    // Left-over payload of an earlier report comes first.
    if (d->bufferedCount > 0) {
        const int n = std::min<int>(d->bufferedCount, count);
        std::memcpy(destination, d->reportBuffer, size_t(n));
        std::memmove(d->reportBuffer, d->reportBuffer + n, size_t(d->bufferedCount - n));
        d->bufferedCount = quint16(d->bufferedCount - n);
        return n;
    }

    const int length = d->inputReportLength;
    // Reports of another id, and empty ones, carry nothing for the stream;
    // they do not extend the wait, so a device that sends nothing else
    // cannot hold the read.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int waitMs = timeoutMs;
    for (;;) {
        if (!d->open || !d->handle)
            return -1;
        std::memset(d->reportBuffer, 0, size_t(length));
        const int got = wakeable ? d->handle->readReportWakeable(d->reportBuffer, length, waitMs)
                                 : d->handle->readReport(d->reportBuffer, length, waitMs);
        if (got == 0)
            return 0;
        if (got < 0)
            return -1;
        // A length byte beyond the report's payload area, or beyond the bytes
        // a short report brought, is taken as what is there: the rest of the
        // buffer holds no data from the device.
        const int k = std::max(0, std::min({int(d->reportBuffer[1]), length - 2, got - 2}));
        if (d->reportBuffer[0] != ReportId || k == 0) {
            waitMs = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                             deadline - std::chrono::steady_clock::now())
                             .count());
            if (waitMs < 0)
                return 0;
            continue;
        }
        const int n = std::min(k, count);
        std::memcpy(destination, d->reportBuffer + 2, size_t(n));
        std::memmove(d->reportBuffer, d->reportBuffer + 2 + n, size_t(k - n));
        d->bufferedCount = quint16(k - n);
        return n;
    }
}

int libHidDevice::read(unsigned char *destination, int count, int timeoutMs)
{
    bool failed = false;
    return readReports(destination, count, timeoutMs, &failed);
}

int libHidDevice::readReports(unsigned char *destination, int count, int timeoutMs, bool *failed)
{
    // Report after report, each waited for at most the time-out. The bytes
    // that came before a failing read (an unplug) are handed over with the
    // failure.
    *failed = false;
    int received = 0;
    while (received < count) {
        const int n = readSome(destination + received, count - received, timeoutMs);
        if (n < 0)
            *failed = isOpen(); // a device closed here just has nothing to give
        if (n <= 0)
            break;
        received += n;
    }
    return received;
}

bool libHidDevice::deviceRemoved()
{
    if (!device_ || !device_->handle)
        return true;
    quint16 vid = 0;
    quint16 pid = 0;
    return !device_->handle->attributes(&vid, &pid);
}
