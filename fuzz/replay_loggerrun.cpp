// The collected answer packets of a Logger run: the payload taken out of
// them, its start time, samples and statistics, and the table texts.
//
// Input: byte 0 picks the storage step's block bytes, the rest is the stream.
#include "fuzz/replay.h"

#include "download/loggerrun.h"

#include <QtMath>

namespace FuzzReplay {

bool loggerRun(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return true;
    const quint8 setup = quint8(bytes.at(0));
    const QByteArray frames = bytes.mid(1);

    QList<quint16> dropped;
    const QByteArray payload = LoggerRun::extractPayload(frames, &dropped);
    // Each packet taken carries its header and trailer besides the data.
    if (payload.size() > frames.size())
        return false;
    // Only the packet cut off by the end of the bytes is dropped: one at most,
    // and never the end packet.
    if (dropped.size() > 1 || (!dropped.isEmpty() && dropped.constFirst() == 0))
        return false;

    const int samples = LoggerRun::sampleCount(payload);
    if (samples < 0 || (samples > 0 && 6 + 4 * samples > payload.size()) ||
        (payload.size() >= 10 && samples == 0))
        return false;
    const QDateTime start = LoggerRun::startTime(payload);
    if (start.isValid() && (start.date().year() < 2000 || start.date().year() > 2255))
        return false;

    const LoggerRun::Statistics s = LoggerRun::statistics(payload);
    if (s.samples != samples)
        return false;
    if (samples > 0) {
        bool nan = false;
        for (int i = 0; i < samples; ++i)
            nan = nan || qIsNaN(LoggerRun::sampleAt(payload, i));
        if (s.rec != LoggerRun::sampleAt(payload, samples - 1) && !qIsNaN(s.rec))
            return false;
        if (!nan && !(s.min <= s.max))
            return false;
    }

    const int step = LoggerRun::stepSeconds(setup & 0x01 ? -4 : 1, (setup >> 1) & 0x01,
                                            (setup >> 2) & 0x03);
    if (step != 1 && step != 10 && step != 60)
        return false;
    const QStringList texts = LoggerRun::rowTexts(setup >> 4, payload, step);
    if (texts.size() != 7 || texts.at(1).isEmpty() == start.isValid() ||
        texts.at(3).isEmpty() != (samples == 0))
        return false;
    if (payload.size() >= 6 && texts.at(2) != QString::number(qint64(samples) * step))
        return false;
    const QList<QVariantList> rows = LoggerRun::sampleRows(payload);
    return rows.size() == samples + 1 && LoggerRun::sampleValues(payload).size() == samples;
}

} // namespace FuzzReplay
