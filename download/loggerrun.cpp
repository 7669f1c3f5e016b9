#include "download/loggerrun.h"

#include "measurement/instrumentclock.h"
#include "protocol/frame.h"

#include <QtGlobal>

namespace LoggerRun {

namespace {

constexpr quint8 RunReadCommand = 0x42;
constexpr int PacketHeaderBytes = 8;
constexpr int PacketOverheadBytes = 10; // header + trailer

// Data length of the packet whose header starts at p, or -1 when no complete
// packet header starts there.
int packetLengthAt(const QByteArray &frames, int p)
{
    if (Frame::byteAt(frames, p) != Frame::StartByte
        || Frame::byteAt(frames, p + 1) != RunReadCommand || p + PacketHeaderBytes > frames.size())
        return -1;
    quint16 n = 0;
    Frame::le16At(frames, p + 6, &n);
    return n;
}

} // namespace

quint32 runAddress(int run) { return 0x180u + 0x980u * quint32(run); }

QByteArray runRequest(int run)
{
    return Frame::longRequest(RunReadCommand, runAddress(run), 0x0040);
}

namespace {

// Where the end packet's header starts, or -1 when none has arrived.
int endPacketAt(const QByteArray &frames)
{
    int p = 0;
    while (p < frames.size()) {
        const int n = packetLengthAt(frames, p);
        if (n == 0)
            return p;
        p += n < 0 ? 1 : n + PacketOverheadBytes;
    }
    return -1;
}

} // namespace

bool endPacketSeen(const QByteArray &frames) { return endPacketAt(frames) >= 0; }

bool answerComplete(const QByteArray &frames)
{
    const int p = endPacketAt(frames);
    return p >= 0 && p + PacketOverheadBytes <= frames.size();
}

QByteArray extractPayload(const QByteArray &frames, QList<quint16> *droppedLengths)
{
    QByteArray payload;
    int p = 0;
    while (p < frames.size()) {
        const int n = packetLengthAt(frames, p);
        if (n == 0)
            break;
        if (n < 0) {
            ++p;
            continue;
        }
        if (p + n + PacketOverheadBytes < frames.size()) {
            payload.append(frames.constData() + p + PacketHeaderBytes, n);
        } else {
            qDebug("data len %u is error!", unsigned(n));
            if (droppedLengths)
                droppedLengths->append(quint16(n));
        }
        p += n + PacketOverheadBytes;
    }
    return payload;
}

QDateTime startTime(const QByteArray &payload)
{
    if (payload.size() < PayloadHeaderBytes)
        return QDateTime();
    auto b = [&](int i) { return quint8(payload.at(i)); };
    // The instrument's own reading, without a zone.
    return InstrumentClock::at(QDate(2000 + b(0), b(1), b(2)), QTime(b(3), b(4), b(5)));
}

int sampleCount(const QByteArray &payload)
{
    if (payload.size() < PayloadHeaderBytes)
        return 0;
    return (payload.size() - PayloadHeaderBytes) / 4;
}

float sampleAt(const QByteArray &payload, int i)
{
    float value = 0;
    if (i >= 0)
        Frame::floatAt(payload, PayloadHeaderBytes + 4 * i, &value);
    return value;
}

QVector<double> sampleValues(const QByteArray &payload)
{
    const int m = sampleCount(payload);
    QVector<double> values(m);
    for (int i = 0; i < m; ++i)
        values[i] = double(sampleAt(payload, i));
    return values;
}

Statistics statistics(const QByteArray &payload) { return decode(0, payload, 1).statistics(); }

int stepSeconds(int readResult, int b0, int b2)
{
    if (readResult == -4 || b0 == 1)
        return 1;
    switch (b2) {
    case 1:
        return 10;
    case 2:
        return 60;
    default:
        return 1;
    }
}

LoggerRunData decode(int number, const QByteArray &payload, int step)
{
    LoggerRunData run;
    run.number = number;
    run.payload = payload;
    run.intervalSeconds = step;
    run.hasStartBytes = payload.size() >= PayloadHeaderBytes;
    run.start = startTime(payload);
    const int m = sampleCount(payload);
    run.samples.resize(m);
    for (int i = 0; i < m; ++i)
        run.samples[i] = sampleAt(payload, i);
    return run;
}

QStringList rowTexts(int run, const QByteArray &payload, int step)
{
    return decode(run + 1, payload, step).rowTexts();
}

QList<QVariantList> sampleRows(const QByteArray &payload)
{
    return decode(0, payload, 1).sampleRows();
}

} // namespace LoggerRun
