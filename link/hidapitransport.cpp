#include "link/hidapitransport.h"

#include "link/reportdescriptor.h"

#include <hidapi.h>

#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int kAccessAttempts = 7; // about 300 ms in all
constexpr int kAccessIntervalMs = 50;
constexpr int kFallbackReportLength = 64;

QString fromWide(const wchar_t *text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

class HidrawHandle : public HidTransport::Handle
{
public:
    HidrawHandle(int fd, QString serial, int input, int output)
        : fd_(fd), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), serial_(std::move(serial)),
          input_(input), output_(output)
    {
    }
    ~HidrawHandle() override
    {
        close();
        if (wakeFd_ >= 0)
            ::close(wakeFd_);
    }

    bool attributes(quint16 *vendorId, quint16 *productId) override
    {
        if (fd_ < 0)
            return false;
        hidraw_devinfo info{};
        if (ioctl(fd_, HIDIOCGRAWINFO, &info) < 0)
            return false;
        *vendorId = quint16(info.vendor);
        *productId = quint16(info.product);
        return true;
    }
    bool serialNumber(QString *serial) override
    {
        quint16 vid = 0;
        quint16 pid = 0;
        if (!attributes(&vid, &pid))
            return false;
        *serial = serial_;
        return true;
    }
    // 1 when the node is ready for events, 0 on time-out, -1 on error or when
    // the device has gone.
    int waitReady(short events, int timeoutMs) const
    {
        if (fd_ < 0)
            return -1;
        pollfd p{fd_, events, 0};
        int r;
        do {
            r = poll(&p, 1, timeoutMs);
        } while (r < 0 && errno == EINTR);
        if (r == 0)
            return 0;
        if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return -1;
        return 1;
    }

    int inputReportLength() override { return input_; }
    int outputReportLength() override { return output_; }

    int readReport(unsigned char *buffer, int length, int timeoutMs) override
    {
        const int ready = waitReady(POLLIN, timeoutMs);
        if (ready <= 0)
            return ready;
        return readNow(buffer, length);
    }

    // Waits on the node and the wake counter together: the thread sleeps
    // until a report, the device's end, the wake or the time-out.
    int readReportWakeable(unsigned char *buffer, int length, int timeoutMs) override
    {
        if (fd_ < 0)
            return -1;
        if (wakeFd_ < 0)
            return readReport(buffer, length, timeoutMs);
        pollfd p[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int r;
        do {
            r = poll(p, 2, timeoutMs);
        } while (r < 0 && errno == EINTR);
        if (r < 0 || (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)))
            return -1;
        if (p[0].revents & POLLIN)
            return readNow(buffer, length); // a report first; a wake stays for the next read
        if (p[1].revents & POLLIN) {
            eventfd_t count = 0;
            eventfd_read(wakeFd_, &count); // consumed: the next read waits again
        }
        return 0;
    }

    void wakeReader() override
    {
        if (wakeFd_ >= 0)
            eventfd_write(wakeFd_, 1);
    }

    int readNow(unsigned char *buffer, int length)
    {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, size_t(length));
        } while (n < 0 && errno == EINTR);
        if (n < 0)
            return errno == EAGAIN ? 0 : -1;
        return int(n);
    }

    int writeReport(const unsigned char *buffer, int length, int timeoutMs) override
    {
        const int ready = waitReady(POLLOUT, timeoutMs);
        if (ready <= 0)
            return ready;
        ssize_t n;
        do {
            n = ::write(fd_, buffer, size_t(length));
        } while (n < 0 && errno == EINTR);
        return n < 0 ? -1 : int(n);
    }

    void close() override
    {
        if (fd_ >= 0)
            ::close(fd_); // also drops the flock
        fd_ = -1;
    }

private:
    int fd_;
    int wakeFd_; // eventfd: wakeReader() counts it up, a wakeable read takes it down
    QString serial_;
    int input_;
    int output_;
};

} // namespace

HidapiTransport::HidapiTransport()
{
    initialised_ = hid_init() == 0;
}

HidapiTransport::~HidapiTransport()
{
    if (initialised_)
        hid_exit();
}

QList<HidTransport::InterfaceInfo> HidapiTransport::enumerate(quint16 vendorId, quint16 productId)
{
    QList<InterfaceInfo> list;
    if (!initialised_)
        return list;
    hid_device_info *all = hid_enumerate(vendorId, productId);
    for (hid_device_info *d = all; d; d = d->next) {
        InterfaceInfo info;
        info.path = QString::fromLocal8Bit(d->path);
        info.serialNumber = fromWide(d->serial_number);
        info.interfaceNumber = d->interface_number;
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        list.append(info);
    }
    hid_free_enumeration(all);
    std::sort(list.begin(), list.end(),
              [](const InterfaceInfo &a, const InterfaceInfo &b) { return a.path < b.path; });
    return list;
}

int HidapiTransport::retryOnAccessDenied(const std::function<int()> &attempt, int attempts,
                                         int intervalMs)
{
    int result = -EACCES;
    for (int i = 0; i < std::max(1, attempts); ++i) {
        if (i > 0)
            QThread::msleep(ulong(intervalMs));
        result = attempt();
        if (result != -EACCES && result != -EPERM)
            break;
    }
    return result;
}

std::unique_ptr<HidTransport::Handle> HidapiTransport::open(const QString &path, bool exclusive,
                                                            OpenError *error)
{
    OpenError dummy;
    if (!error)
        error = &dummy;
    const QByteArray node = path.toLocal8Bit();
    const int fd = retryOnAccessDenied(
        [&node] {
            const int f = ::open(node.constData(), O_RDWR | O_CLOEXEC);
            return f >= 0 ? f : -errno;
        },
        kAccessAttempts, kAccessIntervalMs);
    if (fd < 0) {
        switch (-fd) {
        case EACCES:
        case EPERM:
            *error = OpenError::Access;
            break;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            *error = OpenError::NotFound;
            break;
        case EBUSY:
            *error = OpenError::Sharing;
            break;
        default:
            *error = OpenError::Other;
            break;
        }
        return nullptr;
    }
    if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        *error = e == EWOULDBLOCK ? OpenError::Sharing : OpenError::Other;
        return nullptr;
    }

    ReportDescriptor::Lengths lengths;
    int descriptorSize = 0;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &descriptorSize) == 0 && descriptorSize > 0 &&
        descriptorSize <= HID_MAX_DESCRIPTOR_SIZE) {
        hidraw_report_descriptor descriptor{};
        descriptor.size = quint32(descriptorSize);
        if (ioctl(fd, HIDIOCGRDESC, &descriptor) == 0)
            lengths = ReportDescriptor::reportLengths(
                QByteArray(reinterpret_cast<const char *>(descriptor.value), descriptorSize));
    }
    if (lengths.input <= 0)
        lengths.input = kFallbackReportLength;
    if (lengths.output <= 0)
        lengths.output = kFallbackReportLength;

    QString serial;
    for (const InterfaceInfo &info : enumerate(0, 0))
        if (info.path == path)
            serial = info.serialNumber;

    *error = OpenError::None;
    return std::make_unique<HidrawHandle>(fd, serial, lengths.input, lengths.output);
}
