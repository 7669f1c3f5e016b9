#pragma once

#include "link/clinker.h"
#include "link/libhiddevice.h"

// The USB link: a libHidDevice plus the byte-stream behaviour the protocol
// needs. A read with a time-out collects until the buffer starts with the
// start byte 0xAB and holds the wanted length, dropping stray bytes before
// the start byte one by one; a read with time-out 0 makes one collection pass
// and hands over whatever came.
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
    void drain() override;
    int write(const QByteArray &buffer, int timeoutMs) override;
    bool isOpen() override;
    bool deviceRemoved() override;

private:
    libHidDevice device;
};
