// This file defines open() and open64() for the test program (see the end),
// so it must see their plain declarations.
#undef _FORTIFY_SOURCE
#undef _FILE_OFFSET_BITS

// Before Qt, whose "signals" keyword is a member name in GLib's headers.
#include <umockdev.h>

#include "hidrawtestbed.h"

#include <QByteArray>
#include <QDir>
#include <QMetaObject>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <deque>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <mutex>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr quint16 kVendorId = 0x2047;
constexpr quint16 kProductId = 0x0301;
constexpr int kBusUsb = 3;
// Vendor page 0xFF00, report id 0x3F, 63 bytes in and 63 bytes out: the
// instrument's 64-byte reports.
const unsigned char kReportDescriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x3F,
                                           0x95, 0x3F, 0x75, 0x08, 0x25, 0x01, 0x15, 0x01, 0x09,
                                           0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};
const char kProductName[] = "UV Radiometer";

} // namespace

namespace HidrawEmulation {

// One /dev/hidrawK as long as the test bed lives. The node is a pseudo
// terminal so that poll() on the program's file is real: one "doorbell" byte
// is written on the terminal for every input report queued, and taken back
// when the report is read. read(), write() and ioctl() on the program's file
// come here through umockdev (on its worker thread); the pump thread moves
// the simulated instrument's answers into the queue.
struct Node
{
    std::mutex mutex;
    std::deque<QByteArray> reports;
    bool gone = false;
    int master = -1;
    int slave = -1; // the test bed's own end, to take doorbell bytes back
    std::shared_ptr<SimInstrument> sim;
    int generation = 0;
    UMockdevIoctlBase *handler = nullptr;
    std::thread pump;
    std::atomic<bool> stop{false};

    ~Node()
    {
        stopPump();
        hangUp();
        if (slave >= 0)
            ::close(slave);
        if (handler) {
            g_signal_handlers_disconnect_by_data(handler, this);
            g_object_unref(handler);
        }
    }

    void stopPump()
    {
        stop = true;
        if (pump.joinable())
            pump.join();
    }

    void queue(const QByteArray &report)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (gone)
            return;
        reports.push_back(report);
        const char bell = 0;
        if (::write(master, &bell, 1) != 1)
            qWarning("hidraw emulation: the doorbell could not be rung");
    }

    // True for the call that hung the node up.
    bool hangUp()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (gone)
            return false;
        gone = true;
        if (master >= 0)
            ::close(master); // the program's poll() now reports a hang-up
        master = -1;
        return true;
    }

    bool isGone()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return gone;
    }

    // An input report, or an error number: EIO once the device has gone and
    // nothing is left to read, EAGAIN when nothing has come.
    int takeReport(QByteArray *report)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (reports.empty())
            return gone ? EIO : EAGAIN;
        *report = reports.front();
        reports.pop_front();
        char bell;
        if (!gone && ::read(slave, &bell, 1) != 1)
            qWarning("hidraw emulation: no doorbell byte for a queued report");
        return 0;
    }
};

namespace {

template <class T> T *resolveArgument(UMockdevIoctlClient *client)
{
    GError *error = nullptr;
    UMockdevIoctlData *data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(T), &error);
    if (!data) {
        g_clear_error(&error);
        return nullptr;
    }
    // The argument holds the resolved block until the call completes.
    T *value = reinterpret_cast<T *>(data->data);
    g_object_unref(data);
    return value;
}

gboolean handleIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    Node *node = static_cast<Node *>(user);
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (node->isGone()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    long result = -1;
    int error = ENOTTY;
    if (request == HIDIOCGRDESCSIZE) {
        if (int *size = resolveArgument<int>(client)) {
            *size = int(sizeof kReportDescriptor);
            result = 0;
        }
    } else if (request == HIDIOCGRDESC) {
        if (auto *d = resolveArgument<hidraw_report_descriptor>(client)) {
            // As the driver: the size asked for, at most the descriptor's.
            if (d->size < HID_MAX_DESCRIPTOR_SIZE) {
                std::memcpy(d->value, kReportDescriptor,
                            std::min<size_t>(d->size, sizeof kReportDescriptor));
                result = 0;
            } else {
                error = EINVAL;
            }
        }
    } else if (request == HIDIOCGRAWINFO) {
        if (auto *info = resolveArgument<hidraw_devinfo>(client)) {
            info->bustype = kBusUsb;
            info->vendor = qint16(kVendorId);
            info->product = qint16(kProductId);
            result = 0;
        }
    }
    if (result >= 0)
        error = 0;
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
}

gboolean handleRead(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    Node *node = static_cast<Node *>(user);
    UMockdevIoctlData *buffer = umockdev_ioctl_client_get_arg(client);
    QByteArray report;
    const int error = node->takeReport(&report);
    if (error != 0) {
        umockdev_ioctl_client_complete(client, -1, error);
        return TRUE;
    }
    const int n = std::min(int(buffer->data_len), report.size());
    std::memcpy(buffer->data, report.constData(), size_t(n));
    umockdev_ioctl_client_complete(client, n, 0);
    return TRUE;
}

gboolean handleWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    Node *node = static_cast<Node *>(user);
    UMockdevIoctlData *buffer = umockdev_ioctl_client_get_arg(client);
    const int length = buffer->data_len;
    if (node->isGone()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    // The driver refuses a report without its report id and a byte.
    if (length < 2) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
    }
    const int written = node->sim->writeReport(node->generation, buffer->data, length, 0);
    if (written > 0)
        umockdev_ioctl_client_complete(client, written, 0);
    else // the interrupt transfer timed out, or the instrument has just gone
        umockdev_ioctl_client_complete(client, -1, written == 0 ? ETIMEDOUT : ENODEV);
    return TRUE;
}

QByteArray hex4(int value)
{
    return QByteArray::number(value, 16).rightJustified(4, '0');
}

// Refused opens (see HidrawTestbed::refuseOpens). Plain storage: open() may
// be called before any constructor has run.
std::mutex refusalMutex;
int refusalsLeft = 0;
std::atomic<int> refusalsMade{0};

bool takeRefusal(const char *path)
{
    if (!path)
        return false;
    std::lock_guard<std::mutex> lock(refusalMutex);
    if (refusalsLeft <= 0 || std::strncmp(path, "/dev/hidraw", 11) != 0)
        return false;
    --refusalsLeft;
    ++refusalsMade;
    return true;
}

} // namespace
} // namespace HidrawEmulation

using namespace HidrawEmulation;

HidrawInstrument::HidrawInstrument(HidrawTestbed *testbed, const SimProfile &profile, int port)
    : testbed_(testbed), sim_(std::make_shared<SimInstrument>(profile)), port_(port)
{
}

HidrawInstrument::~HidrawInstrument()
{
    unplug();
}

QString HidrawInstrument::node() const
{
    return node_ ? hidrawPath_.section(QLatin1Char('/'), -1).prepend(QStringLiteral("/dev/"))
                 : QString();
}

void HidrawInstrument::plug()
{
    if (node_ || !testbed_->active_)
        return;
    UMockdevTestbed *tb = testbed_->testbed_;
    sim_->plug();
    auto node = std::make_shared<Node>();
    node->sim = sim_;
    node->generation = sim_->generation();

    char terminal[128] = {};
    if (openpty(&node->master, &node->slave, terminal, nullptr, nullptr) != 0)
        qFatal("hidraw emulation: no pseudo terminal: %s", strerror(errno));
    termios raw{};
    tcgetattr(node->slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(node->slave, TCSANOW, &raw);
    fcntl(node->slave, F_SETFL, fcntl(node->slave, F_GETFL) | O_NONBLOCK);
    fcntl(node->slave, F_SETFD, FD_CLOEXEC);
    fcntl(node->master, F_SETFD, FD_CLOEXEC);
    // The node has the terminal's device numbers: fstat() on the program's
    // file is not emulated, and hidapi finds the device by them.
    struct stat st = {};
    fstat(node->slave, &st);
    const QByteArray devNumbers =
        QByteArray::number(major(st.st_rdev)) + ':' + QByteArray::number(minor(st.st_rdev));

    const int k = testbed_->nextNode_++;
    const QByteArray name = "hidraw" + QByteArray::number(k);
    const QByteArray devnode = "/dev/" + name;
    char *rootDir = umockdev_testbed_get_root_dir(tb);
    const QByteArray root(rootDir);
    g_free(rootDir);
    QDir().mkpath(QString::fromLocal8Bit(root + "/dev"));
    if (symlink(terminal, (root + devnode).constData()) != 0)
        qFatal("hidraw emulation: cannot make %s: %s", devnode.constData(), strerror(errno));

    node->handler = umockdev_ioctl_base_new();
    g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(handleIoctl), node.get());
    g_signal_connect(node->handler, "handle-read", G_CALLBACK(handleRead), node.get());
    g_signal_connect(node->handler, "handle-write", G_CALLBACK(handleWrite), node.get());
    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(tb, devnode.constData(), node->handler, &error))
        qFatal("hidraw emulation: cannot serve %s: %s", devnode.constData(),
               error ? error->message : "?");

    const SimProfile profile = sim_->state();
    const QByteArray serial = profile.usbSerial.toLocal8Bit();
    const QByteArray port = "1-" + QByteArray::number(port_);
    const QByteArray vid = hex4(kVendorId);
    const QByteArray pid = hex4(kProductId);
    gchar *usb = umockdev_testbed_add_device(
        tb, "usb", ("usb1/" + port).constData(), nullptr, "idVendor", vid.constData(), "idProduct",
        pid.constData(), "serial", serial.constData(), "manufacturer", "Vantrel", "product",
        kProductName, "bcdDevice", "0100", nullptr, "DEVTYPE", "usb_device", "PRODUCT",
        "2047/301/100", nullptr);
    gchar *usbInterface = umockdev_testbed_add_device(
        tb, "usb", (port + ":1.0").constData(), usb, "bInterfaceNumber", "00", "bInterfaceClass",
        "03", nullptr, "DEVTYPE", "usb_interface", "INTERFACE", "3/0/0", nullptr);
    const QByteArray hidName = "0003:" + vid.toUpper() + ':' + pid.toUpper() + '.' + hex4(k + 1);
    const QByteArray hidId = "0003:0000" + vid.toUpper() + ":0000" + pid.toUpper();
    gchar *hid = umockdev_testbed_add_device(tb, "hid", hidName.constData(), usbInterface, nullptr,
                                             "HID_ID", hidId.constData(), "HID_NAME", kProductName,
                                             "HID_UNIQ", serial.constData(), nullptr);
    umockdev_testbed_set_attribute_binary(tb, hid, "report_descriptor",
                                          const_cast<guint8 *>(kReportDescriptor),
                                          int(sizeof kReportDescriptor));
    gchar *hidraw = umockdev_testbed_add_device(tb, "hidraw", ("hidraw/" + name).constData(), hid,
                                                "dev", devNumbers.constData(), nullptr, "DEVNAME",
                                                devnode.constData(), nullptr);
    umockdev_testbed_set_attribute_link(tb, hidraw, "device", "../..");
    usbPath_ = QString::fromLocal8Bit(usb);
    hidrawPath_ = QString::fromLocal8Bit(hidraw);
    g_free(usb);
    g_free(usbInterface);
    g_free(hid);
    g_free(hidraw);

    // The instrument's answers go to the node as they fall due. When the
    // instrument pulls out by itself (an unplug in the middle of an answer)
    // the node fails at once, and its devices leave sysfs with the removal
    // notices from the test bed's thread.
    Node *state = node.get();
    node->pump = std::thread([this, state, testbed = testbed_] {
        QByteArray buffer(8192, '\0');
        auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
        while (!state->stop) {
            const int n = state->sim->readReport(state->generation, bytes, buffer.size(), 20);
            if (n < 0) {
                if (state->hangUp())
                    QMetaObject::invokeMethod(
                        testbed,
                        [this, state, testbed] {
                            if (testbed->instruments_.contains(this) && node_.get() == state)
                                removeDevices();
                        },
                        Qt::QueuedConnection);
                return;
            }
            if (n > 0)
                state->queue(buffer.left(n));
        }
    });
    node_ = node;
    testbed_->nodes_.append(node);
}

void HidrawInstrument::unplug()
{
    if (!node_)
        return;
    sim_->unplug();
    node_->stopPump();
    node_->hangUp();
    removeDevices();
}

void HidrawInstrument::removeDevices()
{
    if (!node_)
        return;
    node_->stopPump();
    const QByteArray devnode = node().toLocal8Bit();
    node_.reset();
    UMockdevTestbed *tb = testbed_->testbed_;
    // Children first, as the kernel tears them down; each one's removal
    // notice goes out while it is still in sysfs.
    QString path = hidrawPath_;
    QStringList chain;
    while (path.size() > usbPath_.size()) {
        chain << path;
        path = path.section(QLatin1Char('/'), 0, -2);
        if (path.endsWith(QLatin1String("/hidraw")))
            path = path.section(QLatin1Char('/'), 0, -2);
    }
    chain << usbPath_;
    for (const QString &device : chain) {
        const QByteArray p = device.toLocal8Bit();
        umockdev_testbed_uevent(tb, p.constData(), "remove");
        umockdev_testbed_remove_device(tb, p.constData());
    }
    GError *error = nullptr;
    umockdev_testbed_detach_ioctl(tb, devnode.constData(), &error);
    g_clear_error(&error);
}

HidrawTestbed::HidrawTestbed()
{
    // hidapi opens the node without O_NOCTTY: a test that leads its session
    // gets the terminal as controlling terminal, and its hang-up with it.
    std::signal(SIGHUP, SIG_IGN);
    testbed_ = umockdev_testbed_new();
    // Asked only now: before the first test bed the answer is kept as "no".
    active_ = umockdev_in_mock_environment();
}

HidrawTestbed::~HidrawTestbed()
{
    removeAll();
    nodes_.clear();
    g_object_unref(testbed_);
}

HidrawInstrument *HidrawTestbed::plugIn(const SimProfile &profile)
{
    auto *instrument = new HidrawInstrument(this, profile, nextPort_++);
    instruments_.append(instrument);
    instrument->plug();
    return instrument;
}

void HidrawTestbed::removeAll()
{
    while (!instruments_.isEmpty())
        delete instruments_.takeLast();
}

void HidrawTestbed::refuseOpens(int count)
{
    std::lock_guard<std::mutex> lock(refusalMutex);
    refusalsLeft = count;
    refusalsMade = 0;
}

int HidrawTestbed::refusedOpens()
{
    return refusalsMade.load();
}

// The program's opens pass through here first (a definition in the program
// comes before the preloaded libraries), and go on to the next open() in
// line: umockdev's, which redirects /dev and /sys into the test bed.
namespace {
using OpenFunction = int (*)(const char *, int, ...);

int nextOpen(const char *symbol, const char *path, int flags, va_list args)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE))
        mode = mode_t(va_arg(args, int));
    if (takeRefusal(path)) {
        errno = EACCES;
        return -1;
    }
    static OpenFunction openNext = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open"));
    static OpenFunction open64Next = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open64"));
    OpenFunction next = std::strcmp(symbol, "open") == 0 ? openNext : open64Next;
    return next(path, flags, mode);
}
} // namespace

extern "C" int open(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = nextOpen("open", path, flags, args);
    va_end(args);
    return fd;
}

extern "C" int open64(const char *path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = nextOpen("open64", path, flags, args);
    va_end(args);
    return fd;
}
