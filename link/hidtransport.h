#pragma once

#include <QList>
#include <QString>

#include <memory>

// The platform's HID access as the link needs it: list the interfaces of a
// vendor/product pair, open one, and move whole reports with time-outs.
// libHidDevice runs its selection, packing and time-out logic on top of this;
// the hidapi transport serves real instruments and the simulator serves tests
// and --simulate.
class HidTransport
{
public:
    struct InterfaceInfo
    {
        QString path;             // what open() takes
        QString serialNumber;     // the device's serial-number string, may be empty
        int interfaceNumber = -1; // USB interface number of a composite device, -1 when not known
        quint16 vendorId = 0;
        quint16 productId = 0;
    };

    enum class OpenError
    {
        None,
        Sharing,  // the device is held by another handle in a way that excludes this open
        Access,   // no permission (udev may not have applied its rules yet)
        NotFound, // the device is gone
        Other
    };

    // One open interface. One thread may read while another writes.
    class Handle
    {
    public:
        virtual ~Handle() = default;
        // Vendor and product id of the open device; false once the device has gone.
        virtual bool attributes(quint16 *vendorId, quint16 *productId) = 0;
        // The serial-number string; false when it cannot be read.
        virtual bool serialNumber(QString *serial) = 0;
        // Report lengths in bytes, report id included; 0 when unknown.
        virtual int inputReportLength() = 0;
        virtual int outputReportLength() = 0;
        // Reads one input report (report id in byte 0) into buffer: its length,
        // 0 when none arrived within timeoutMs, negative on error.
        virtual int readReport(unsigned char *buffer, int length, int timeoutMs) = 0;
        // As readReport, but wakeReader() (from another thread) ends the wait
        // at once with 0, as a time-out would. A wake while no such read
        // waits ends the next one; plain reads never see it.
        virtual int readReportWakeable(unsigned char *buffer, int length, int timeoutMs)
        {
            return readReport(buffer, length, timeoutMs);
        }
        virtual void wakeReader() {}
        // Writes one output report (report id in byte 0): the number of bytes
        // written, 0 on time-out, negative on error.
        virtual int writeReport(const unsigned char *buffer, int length, int timeoutMs) = 0;
        virtual void close() = 0;
    };

    virtual ~HidTransport() = default;

    // The present HID interfaces of the vendor/product pair, in a stable order.
    // An empty list is not an error.
    virtual QList<InterfaceInfo> enumerate(quint16 vendorId, quint16 productId) = 0;
    // Opens one interface for reading and writing. exclusive asks that no other
    // handle share the device. On failure returns nullptr and sets error.
    virtual std::unique_ptr<Handle> open(const QString &path, bool exclusive, OpenError *error) = 0;
};
