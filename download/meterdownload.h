#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

class InstrumentLink;

// Downloads the stored records of a Meter. All record requests go out back to
// back; the answers (34 bytes each, AB 42 ...) arrive in one stream, which is
// complete when it holds as many bytes as the answers together and no answer
// is still arriving at its end. On the page the Meter worker collects the
// stream; run() collects it itself, for a program without the worker.
class MeterDownload
{
public:
    enum class Result
    {
        Complete,
        SendFailed,
        TimedOut,
        LinkLost,
        Cancelled
    };

    static constexpr int LimitMs = 10000;

    explicit MeterDownload(InstrumentLink *link) : m_link(link) {}

    // Sends the requests of records 0 .. count-1; false when one did not go
    // out whole.
    bool sendRequests(int count);
    static int expectedBytes(int count);
    // True when buffer completes a download of count records; then answers
    // holds the answers found, in order.
    static bool complete(const QByteArray &buffer, int count, QList<QByteArray> *answers);

    // Called with the bytes received so far.
    std::function<void(int received)> onProgress;
    // Called between collection passes; true stops the download.
    std::function<bool()> stopRequested;

    // Requests and collects count records within limitMs.
    Result run(int count, QList<QByteArray> *answers, int limitMs = LimitMs);

private:
    InstrumentLink *m_link;
};
