#include "link/clinkerusb.h"

#include <QDebug>
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

CLinkerUSB::CLinkerUSB(HidTransport *transport, QObject *parent)
    : CLinker(parent), device(transport)
{
}

CLinkerUSB::~CLinkerUSB()
{
    flushTrace();
}

void CLinkerUSB::trace(const QByteArray &line)
{
    if (line == lastTrace_) {
        ++traceRepeats_;
        return;
    }
    flushTrace();
    lastTrace_ = line;
    qDebug("%s", line.constData());
}

void CLinkerUSB::flushTrace()
{
    if (traceRepeats_ > 0)
        qDebug("%s (%d more times)\n", lastTrace_.trimmed().constData(), traceRepeats_);
    traceRepeats_ = 0;
    lastTrace_.clear();
}

int CLinkerUSB::open(quint16 vendorId, quint16 productId)
{
    const int result = device.open(vendorId, productId);
    trace(result == 0 ? "hidDevice Open success!\n" : "hidDevice Open error!\n");
    return result;
}

int CLinkerUSB::open(quint16 vendorId, quint16 productId, const QString &serial)
{
    const int result = device.open(vendorId, productId, serial);
    trace(result == 0 ? "hidDevice Open success!\n" : "hidDevice Open error!\n");
    return result;
}

void CLinkerUSB::close()
{
    flushTrace();
    device.close();
}

int CLinkerUSB::read(QByteArray &buffer, int timeoutMs, int wantedLength)
{
    if (timeoutMs == 0)
        return collect(buffer, nullptr);
    std::vector<unsigned char> area(WorkArea, 0);

    // The work area bounds a single read; a larger wanted length is collected
    // over several passes instead of overrunning it.
    const int perPass = std::clamp(wantedLength, 1, int(WorkArea));
    QElapsedTimer clock;
    clock.start();
    int r = 0;
    for (;;) {
        std::fill(area.begin(), area.end(), 0);
        bool failed = false;
        r = device.readReports(area.data(), perPass, ReportWaitMs, &failed);
        if (r > 0) {
            flushTrace();
            buffer.append(reinterpret_cast<const char *>(area.data()), r);
            int drop = 0;
            while (drop < buffer.size() && quint8(buffer.at(drop)) != 0xAB)
                ++drop;
            buffer.remove(0, drop);
            if (buffer.size() >= wantedLength && !buffer.isEmpty())
                return buffer.size();
        }
        if (r <= 0 || failed)
            trace("hidDevice ReadMessage error!\n");
        // Nothing more can come from a device that has gone: the wait ends
        // now, not at the time-out.
        if (failed)
            return -1;
        if (clock.elapsed() > timeoutMs)
            return r;
    }
}

int CLinkerUSB::collect(QByteArray &buffer, const Complete &complete, int firstWaitMs)
{
    return gather(buffer, complete, firstWaitMs, false);
}

int CLinkerUSB::listen(QByteArray &buffer, const Complete &complete, int firstWaitMs)
{
    return gather(buffer, complete, firstWaitMs, true);
}

void CLinkerUSB::wakeListener()
{
    device.wakeReader();
}

int CLinkerUSB::gather(QByteArray &buffer, const Complete &complete, int firstWaitMs, bool wakeable)
{
    // Report by report, each waited for at most ReportWaitMs, up to the work
    // area's worth of bytes; the buffer grows as they come so that complete
    // can look at the answer so far.
    unsigned char area[256];
    int gathered = 0;
    bool failed = false;
    while (gathered < WorkArea) {
        const int wait = gathered == 0 && firstWaitMs >= 0 ? firstWaitMs : ReportWaitMs;
        const int n =
            device.readSome(area, std::min<int>(sizeof area, WorkArea - gathered), wait, wakeable);
        if (n < 0)
            failed = device.isOpen(); // a link closed here just has nothing to give
        if (n <= 0)
            break;
        buffer.append(reinterpret_cast<const char *>(area), n);
        gathered += n;
        if (complete && complete(buffer))
            break;
    }
    if (failed)
        return -1;
    return gathered > 0 ? buffer.size() : 0;
}

void CLinkerUSB::drain()
{
    unsigned char area[256];
    int dropped = 0;
    while (dropped < WorkArea) {
        const int n = device.readSome(area, sizeof area, 0);
        if (n <= 0)
            break;
        dropped += n;
    }
    if (dropped > 0)
        trace(QByteArray("hidDevice dropped ") + QByteArray::number(dropped) +
              " bytes left over\n");
}

int CLinkerUSB::write(const QByteArray &buffer, int timeoutMs)
{
    // The HID layer counts in 16 bits; a longer buffer cannot be written whole.
    if (buffer.size() > 0xFFFF) {
        trace("hidDevice WriteMessage error! ret = 0\n");
        return -1;
    }
    const int result = device.write(reinterpret_cast<const unsigned char *>(buffer.constData()),
                                    quint16(buffer.size()), timeoutMs);
    if (result == buffer.size())
        return buffer.size();
    trace(QByteArray("hidDevice WriteMessage error! ret = ") + QByteArray::number(result) + "\n");
    return -1;
}

bool CLinkerUSB::isOpen()
{
    return device.isOpen();
}

bool CLinkerUSB::deviceRemoved()
{
    return device.deviceRemoved();
}
