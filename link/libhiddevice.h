#pragma once

#include "link/hidtransport.h"

#include <QString>
#include <QStringList>

#include <memory>

// The instrument's HID interface as a byte stream.
//
// Every report, in both directions, is
//     0x3F | k | k payload bytes | padding to the report length
// with k at most 62. A write cuts the bytes into such reports; a read gathers
// payloads report by report, each report waited for at most the read
// time-out, and keeps what a report carried beyond the bytes asked for until
// the next read.
//
// Opening picks one instrument among those present: the serial numbers of
// the matching interfaces are collected (empty ones stand in as "SerNum %x"),
// the interfaces per instrument counted, and the last interface of the
// instrument whose serial number was collected last is opened, exclusively
// when it has only one interface.
struct HidDeviceRecord
{
    std::unique_ptr<HidTransport::Handle> handle;
    QString path; // of the open interface
    int open = 0;
    int readTimeoutMs = 50;
    int writeTimeoutMs = 50;
    quint16 inputReportLength = 0;
    quint16 outputReportLength = 0;
    unsigned char reportBuffer[8192] = {};
    quint16 bufferedCount = 0; // left-over payload bytes at the start of reportBuffer
};

class libHidDevice
{
public:
    static constexpr unsigned char ReportId = 0x3F;
    static constexpr int MaxPayload = 62;
    static constexpr int MaxInterfaces = 128;
    static constexpr int MaxSerials = 6;

    explicit libHidDevice(HidTransport *transport);
    ~libHidDevice();
    libHidDevice(const libHidDevice &) = delete;
    libHidDevice &operator=(const libHidDevice &) = delete;

    // 0 on success, -1 on failure.
    int open(quint16 vendorId, quint16 productId);
    // Opens the instrument whose serial-number text (as collectSerialNumbers
    // gives it, "SerNum %x" for an empty one) is serial, chosen among several
    // as open() chooses the last one. 0 on success, -1 when no instrument has
    // that serial number or it cannot be opened.
    int open(quint16 vendorId, quint16 productId, const QString &serial);
    bool isOpen() const { return open_ && device_ && device_->open; }
    // The transport path of the open interface; empty when none is open.
    QString path() const { return isOpen() ? device_->path : QString(); }

    virtual void close();
    // Delivers up to count bytes into destination; returns how many (0..count).
    virtual int read(unsigned char *destination, int count, int timeoutMs);
    // As read, and sets *failed when the reads ended because the open device
    // failed (it has gone: nothing more will come from it) rather than
    // because no report came in time or everything asked for arrived.
    int readReports(unsigned char *destination, int count, int timeoutMs, bool *failed);
    // Delivers what one report carries (or what is left of the last one), up
    // to count bytes, waiting at most timeoutMs for a report: the number of
    // bytes, 0 when none came in time, -1 when the device failed or is closed.
    // wakeable: wakeReader() from another thread ends the wait with 0.
    int readSome(unsigned char *destination, int count, int timeoutMs, bool wakeable = false);
    // Ends the wakeable read under way at once, or else the next one.
    void wakeReader();
    // Sends count bytes; count when every report went out, 0 otherwise.
    virtual int write(const unsigned char *source, quint16 count, int timeoutMs);
    // True when the open device no longer answers an attributes query.
    virtual bool deviceRemoved();

    // Serial-number collection: the number of instruments and the texts the
    // open compares with ("SerNum %x" for an empty serial number).
    struct SerialList
    {
        int count = 0;
        QStringList texts;
    };
    static SerialList collectSerialNumbers(HidTransport *transport, quint16 vendorId,
                                           quint16 productId);
    // Interfaces per instrument: matching interfaces that could be opened (or
    // were busy), divided by the number of instruments. A busy interface
    // listed with a serial number that is not among `serials` (the collected
    // texts) is another instrument's and is not counted.
    static int countInterfaces(HidTransport *transport, quint16 vendorId, quint16 productId,
                               int instruments, const QStringList &serials = {});
    // 0 success, 1 nothing matched, 3 already open or the wanted interface is
    // busy. A busy interface listed with a serial number other than the
    // wanted one is passed over.
    static int openByIndex(HidTransport *transport, HidDeviceRecord *record, quint16 vendorId,
                           quint16 productId, int deviceIndex, const QString &wantedSerial,
                           int interfacesPerInstrument, int instruments);

private:
    int openSerial(quint16 vendorId, quint16 productId, const SerialList &serials,
                   const QString &serial);

    HidTransport *transport_;
    bool open_ = false;
    std::unique_ptr<HidDeviceRecord> device_;
};
