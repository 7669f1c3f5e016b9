// A receive buffer of the Meter page: the record answers found in it, their
// decoded values and table texts, and the probe notice.
//
// Input: byte 0 picks the model profile and the unit, the rest is the buffer.
#include "fuzz/replay.h"

#include "download/meterrecord.h"
#include "protocol/frame.h"

#include <cstring>

namespace {

const char *const kModels[] = {"QX101", "QX102", "QX112", "UnKnow"};

// The six values are the answer's bytes 8..31, bit for bit.
bool decodedExactly(const QByteArray &answer, const MeterReading &r)
{
    const float values[] = {r.powerRt, r.powerMax, r.powerMin, r.powerAvg, r.energy, r.duration};
    return std::memcmp(values, answer.constData() + MeterRecord::kRecordOffset,
                       MeterRecord::kRecordLength) == 0;
}

} // namespace

namespace FuzzReplay {

bool meterRecord(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    const quint8 setup = quint8(bytes.at(0));
    const QByteArray buffer = bytes.mid(1);
    const int decimals = MeterUnits::decimals(
        MeterUnits::profileForModel(QLatin1String(kModels[setup & 0x03])), (setup >> 2) % 6 - 1);
    if (decimals < -1 || decimals > 4)
        return false;

    const MeterRecord::Split split = MeterRecord::splitAnswers(buffer);
    if (split.answers.size() * MeterRecord::kAnswerLength > buffer.size())
        return false;
    int number = 0;
    for (const QByteArray &answer : split.answers) {
        if (answer.size() != MeterRecord::kAnswerLength || !buffer.contains(answer) ||
            Frame::byteAt(answer, 0) != Frame::StartByte || Frame::byteAt(answer, 1) != 0x42)
            return false;
        MeterReading record;
        if (!MeterRecord::decodeAnswer(answer, &record) || !decodedExactly(answer, record))
            return false;
        const QStringList texts = MeterData::rowTexts(++number, record, decimals);
        if (texts.size() != 7 || texts.at(0) != QString::number(number))
            return false;
        // Values without decimals for the unit stay empty; the duration never does.
        for (int i : {1, 3, 4, 5, 6}) {
            if (texts.at(i).isEmpty() != (decimals < 0))
                return false;
        }
        if (texts.at(2).isEmpty())
            return false;
    }
    // A partial answer is one whose start lies within an answer's length of the end.
    if (split.partialTail) {
        const int tail = buffer.lastIndexOf(QByteArray("\xAB\x42", 2));
        if (tail < 0 || buffer.size() - tail >= MeterRecord::kAnswerLength)
            return false;
    }
    // A notice is told only when its state byte arrived.
    const MeterRecord::ProbeNotice notice = MeterRecord::findProbeNotice(buffer);
    if (notice != MeterRecord::ProbeNotice::None) {
        const char state = notice == MeterRecord::ProbeNotice::Plugged ? 1 : 0;
        const QByteArray head("\xAB\x22\x0D", 3);
        bool found = false;
        for (int at = buffer.indexOf(head); at >= 0 && !found; at = buffer.indexOf(head, at + 1))
            found = at + 6 < buffer.size() && buffer.at(at + 6) == state;
        if (!found)
            return false;
    }
    return true;
}

} // namespace FuzzReplay
