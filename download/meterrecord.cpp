#include "download/meterrecord.h"

#include "protocol/frame.h"

#include <iterator>

namespace MeterRecord {

namespace {

constexpr quint8 kRecordCommand = 0x42;
constexpr quint8 kNoticeCommand = 0x22;
constexpr quint8 kNoticeSelector = 0x0D;
constexpr int kNoticeStateOffset = 6;
constexpr quint16 kRecordRequestLength = 0x0040;

} // namespace

bool decodeAnswer(const QByteArray &answer, MeterReading *out)
{
    MeterReading r;
    const bool ok =
        Frame::floatAt(answer, 8, &r.powerRt) && Frame::floatAt(answer, 12, &r.powerMax) &&
        Frame::floatAt(answer, 16, &r.powerMin) && Frame::floatAt(answer, 20, &r.powerAvg) &&
        Frame::floatAt(answer, 24, &r.energy) && Frame::floatAt(answer, 28, &r.duration);
    if (ok)
        *out = r;
    return ok;
}

QByteArray recordRequest(int k)
{
    const quint32 address = kFirstAddress + quint32(kRecordLength) * quint32(k);
    return Frame::longRequest(kRecordCommand, address, kRecordRequestLength);
}

Split splitAnswers(const QByteArray &buffer)
{
    Split split;
    int pos = 0;
    const int size = buffer.size();
    while (pos < size) {
        if (Frame::byteAt(buffer, pos) == Frame::StartByte &&
            Frame::byteAt(buffer, pos + 1) == kRecordCommand) {
            if (pos + kAnswerLength <= size) {
                split.answers.append(buffer.mid(pos, kAnswerLength));
                pos += kAnswerLength;
                continue;
            }
            split.partialTail = true;
        }
        ++pos;
    }
    return split;
}

ProbeNotice findProbeNotice(const QByteArray &buffer)
{
    for (int pos = 0; pos < buffer.size(); ++pos) {
        if (Frame::byteAt(buffer, pos) != Frame::StartByte ||
            Frame::byteAt(buffer, pos + 1) != kNoticeCommand ||
            Frame::byteAt(buffer, pos + 2) != kNoticeSelector)
            continue;
        const int state = Frame::byteAt(buffer, pos + kNoticeStateOffset);
        if (state == 1)
            return ProbeNotice::Plugged;
        if (state == 0)
            return ProbeNotice::Pulled;
    }
    return ProbeNotice::None;
}

} // namespace MeterRecord
