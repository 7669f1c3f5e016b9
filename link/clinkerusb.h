#pragma once

#include "link/clinker.h"
#include "link/libhiddevice.h"

// The USB link: a libHidDevice plus the byte-stream behaviour the protocol
// needs. A read with a time-out collects until the buffer starts with the
// start byte 0xAB and holds the wanted length, dropping stray bytes before
// the start byte one by one; a read with time-out 0 makes one collection pass
// and hands over whatever came. A device that fails under a read (it has
// been unplugged) ends the read at once with -1.
//
// The trace lines go to the debug output; a line that comes again and again
// (a read that finds nothing, pass after pass) is written once, and how many
// more times it came is written when something else happens. Traces come
// from the calls the GUI thread makes (open, close, read with a time-out,
// drain, write), never from a collection pass.
class CLinkerUSB : public CLinker
{
public:
    static constexpr int WorkArea = 12800;
    static constexpr int ReportWaitMs = 50;

    explicit CLinkerUSB(HidTransport *transport, QObject *parent = nullptr);
    ~CLinkerUSB() override;

    // 0 on success, non-zero on failure.
    int open(quint16 vendorId, quint16 productId);
    // The instrument with this serial-number text (see libHidDevice::open).
    int open(quint16 vendorId, quint16 productId, const QString &serial);
    // The transport path of the open interface.
    QString path() const { return device.path(); }

    void close() override;
    int read(QByteArray &buffer, int timeoutMs, int wantedLength) override;
    int collect(QByteArray &buffer, const Complete &complete, int firstWaitMs = -1) override;
    int listen(QByteArray &buffer, const Complete &complete, int firstWaitMs) override;
    void wakeListener() override;
    void drain() override;
    int write(const QByteArray &buffer, int timeoutMs) override;
    bool isOpen() override;
    bool deviceRemoved() override;

private:
    int gather(QByteArray &buffer, const Complete &complete, int firstWaitMs, bool wakeable);
    void trace(const QByteArray &line);
    void flushTrace();

    libHidDevice device;
    QByteArray lastTrace_;
    int traceRepeats_ = 0;
};
