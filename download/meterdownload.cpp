#include "download/meterdownload.h"

#include "download/meterrecord.h"
#include "download/mythread.h"
#include "protocol/instrumentlink.h"

#include <QElapsedTimer>

namespace {
constexpr int kWriteTimeoutMs = 1000;
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

bool MeterDownload::complete(const QByteArray &buffer, int count, QList<QByteArray> *answers)
{
    if (buffer.size() < expectedBytes(count))
        return false;
    MeterRecord::Split split = MeterRecord::splitAnswers(buffer);
    // Bytes of other frames count towards the total; when an answer is still
    // arriving at the end of the buffer, wait for the rest of it.
    if (split.answers.size() < count && split.partialTail)
        return false;
    *answers = std::move(split.answers);
    return true;
}

MeterDownload::Result MeterDownload::run(int count, QList<QByteArray> *answers, int limitMs)
{
    answers->clear();
    if (!sendRequests(count))
        return Result::SendFailed;
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer;
    while (!complete(buffer, count, answers)) {
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
