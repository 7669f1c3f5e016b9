#pragma once

#include "link/hidtransport.h"

#include <QByteArray>

// A HID transport with one instrument whose input reports come from fuzzing
// bytes. The script is a sequence of reports, each a length byte followed by
// that many bytes as the device delivers them (report id first). A length of
// 0 is a read that times out; a report longer than the reader's buffer is cut
// to it, as the platform does. Once the script is used up the instrument is
// gone: attributes fail and reads report an error, so that every wait of the
// link ends at once instead of running to its time-out.
//
// Each time-out costs the link a collection pass (a 12.8 kB work area), so
// after kMaxTimeOuts of them the instrument is gone as well: executions stay
// fast without losing what time-outs between answers exercise.
//
// Writes are taken whole unless the transport is told to refuse them. The
// reports written are only counted.
class FuzzTransport : public HidTransport
{
public:
    static constexpr quint16 VendorId = 0x2047;
    static constexpr quint16 ProductId = 0x0301;
    static constexpr int kMaxTimeOuts = 32;

    // inputReportLength is what the device says of its reports (0 unknown).
    FuzzTransport(const QByteArray &script, int inputReportLength);

    void setRefuseWrites(bool refuse) { refuseWrites_ = refuse; }
    bool exhausted() const { return position_ >= script_.size(); }
    // Bytes offered in well-formed reports (id 0x3F): the payload bytes that
    // the length byte announces and that arrived. The link may hand over no
    // more than this.
    qint64 payloadOffered() const { return payloadOffered_; }
    int reportsWritten() const { return reportsWritten_; }

    QList<InterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    std::unique_ptr<Handle> open(const QString &path, bool exclusive, OpenError *error) override;

    int readReport(unsigned char *buffer, int length);
    int writeReport(int length);

private:
    QByteArray script_;
    int position_ = 0;
    int inputReportLength_;
    int timeOuts_ = 0;
    bool refuseWrites_ = false;
    qint64 payloadOffered_ = 0;
    int reportsWritten_ = 0;
};
