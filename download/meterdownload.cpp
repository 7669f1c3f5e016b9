#include "download/meterdownload.h"

#include "download/meterrecord.h"
#include "protocol/frame.h"
#include "protocol/instrumentlink.h"

#include <QElapsedTimer>

namespace {
constexpr int kWriteTimeoutMs = 1000;
// AB C7 08 00 00 00 and its trailer.
constexpr int kRefusalLength = 8;
} // namespace

bool MeterDownload::sendRequests(int count)
{
    for (int k = 0; k < count; ++k) {
        QByteArray request = MeterRecord::recordRequest(k);
        if (m_link->sendFrame(request, kWriteTimeoutMs) < 8)
            return false;
    }
    return true;
}

int MeterDownload::expectedBytes(int count)
{
    return MeterRecord::kAnswerLength * count;
}

QList<int> MeterDownload::Collected::missing(int count) const
{
    QList<int> result;
    for (int k = 0; k < count; ++k) {
        if (!answers.contains(k))
            result.append(k);
    }
    return result;
}

int MeterDownload::Collected::bytes() const
{
    return (answers.size() + refusals) * MeterRecord::kAnswerLength;
}

template <typename OnAnswer>
bool MeterDownload::scan(const QByteArray &buffer, int *refusals, OnAnswer onAnswer)
{
    int pos = 0;
    const int size = buffer.size();
    while (pos < size) {
        if (Frame::byteAt(buffer, pos) != Frame::StartByte) {
            ++pos;
            continue;
        }
        const int command = Frame::byteAt(buffer, pos + 1);
        if (command == 0x42) {
            if (pos + MeterRecord::kAnswerLength > size)
                return true;
            onAnswer(pos);
            pos += MeterRecord::kAnswerLength;
            continue;
        }
        if (command == 0xC7 && Frame::byteAt(buffer, pos + 2) == 0x08) {
            if (pos + kRefusalLength > size)
                return true;
            ++*refusals;
            pos += kRefusalLength;
            continue;
        }
        ++pos;
    }
    return false;
}

MeterDownload::Collected MeterDownload::collect(const QByteArray &buffer, int count)
{
    Collected c;
    int firstFree = 0;
    c.partialTail = scan(buffer, &c.refusals, [&](int pos) {
        const QByteArray answer = buffer.mid(pos, MeterRecord::kAnswerLength);
        quint32 address = 0;
        Frame::le32At(answer, 2, &address);
        int k = -1;
        if (address >= MeterRecord::kFirstAddress &&
            (address - MeterRecord::kFirstAddress) % MeterRecord::kRecordLength == 0) {
            const quint32 index =
                (address - MeterRecord::kFirstAddress) / MeterRecord::kRecordLength;
            if (index < quint32(count) && !c.answers.contains(int(index)))
                k = int(index);
        }
        if (k < 0) {
            while (firstFree < count && c.answers.contains(firstFree))
                ++firstFree;
            k = firstFree;
        }
        if (k < count)
            c.answers.insert(k, answer);
    });
    return c;
}

bool MeterDownload::isComplete(const QByteArray &buffer, int count)
{
    // Every answer takes a record of its own until all have one, so the
    // count of answers is enough; collect() says which record each is.
    int refusals = 0;
    int answers = 0;
    const bool partialTail = scan(buffer, &refusals, [&answers](int) { ++answers; });
    return !partialTail && qMin(answers, count) + refusals >= count;
}

MeterDownload::Result MeterDownload::run(int count, Collected *collected, int limitMs)
{
    *collected = Collected();
    if (!sendRequests(count))
        return Result::SendFailed;
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer;
    const auto whole = [count](const QByteArray &b) { return isComplete(b, count); };
    Result result = Result::Complete;
    while (!whole(buffer)) {
        if (!m_link->isOpen()) {
            result = Result::LinkLost;
            break;
        }
        if (stopRequested && stopRequested()) {
            result = Result::Cancelled;
            break;
        }
        if (clock.elapsed() >= limitMs) {
            result = Result::TimedOut;
            break;
        }
        const int before = buffer.size();
        const int r = m_link->collect(buffer, whole);
        if (buffer.size() > before && onProgress)
            onProgress(buffer.size());
        // A failed read: the instrument has gone; what came stays collected.
        if (r < 0 && !whole(buffer)) {
            result = Result::LinkLost;
            break;
        }
    }
    *collected = collect(buffer, count);
    return result;
}
