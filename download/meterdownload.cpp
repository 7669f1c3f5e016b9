#include "download/meterdownload.h"

#include "download/meterrecord.h"
#include "download/mythread.h"
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

MeterDownload::Collected MeterDownload::collect(const QByteArray &buffer, int count)
{
    Collected c;
    int firstFree = 0;
    int pos = 0;
    const int size = buffer.size();
    while (pos < size) {
        if (Frame::byteAt(buffer, pos) != Frame::StartByte) {
            ++pos;
            continue;
        }
        const int command = Frame::byteAt(buffer, pos + 1);
        if (command == 0x42) {
            if (pos + MeterRecord::kAnswerLength > size) {
                c.partialTail = true;
                break;
            }
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
            pos += MeterRecord::kAnswerLength;
            continue;
        }
        if (command == 0xC7 && Frame::byteAt(buffer, pos + 2) == 0x08) {
            if (pos + kRefusalLength > size) {
                c.partialTail = true;
                break;
            }
            ++c.refusals;
            pos += kRefusalLength;
            continue;
        }
        ++pos;
    }
    return c;
}

MeterDownload::Result MeterDownload::run(int count, Collected *collected, int limitMs)
{
    *collected = Collected();
    if (!sendRequests(count))
        return Result::SendFailed;
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer;
    while (!(*collected = collect(buffer, count)).complete(count)) {
        if (!m_link->isOpen())
            return Result::LinkLost;
        if (stopRequested && stopRequested())
            return Result::Cancelled;
        if (clock.elapsed() >= limitMs)
            return Result::TimedOut;
        QByteArray chunk;
        m_link->receiveFrame(chunk, 0, MyThread::kExpectedLength, false);
        if (!chunk.isEmpty()) {
            buffer.append(chunk);
            if (onProgress)
                onProgress(buffer.size());
        }
    }
    return Result::Complete;
}
