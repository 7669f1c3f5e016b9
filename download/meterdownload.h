#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

#include <functional>

class InstrumentLink;

// Downloads the stored records of a Meter. All record requests go out back to
// back; the answers (34 bytes each, AB 42 addr ...) and refusals (AB C7 08,
// for a record the instrument does not give) arrive in one stream, which is
// complete when every record has been answered or refused and no answer is
// still arriving at its end. On the page the Meter worker collects the
// stream; run() collects it itself, for a program without the worker.
//
// An answer belongs to the record its address names (0xF0 + 24 k); one whose
// address names no record still outstanding takes the first one without an
// answer. So a record that is refused or never answered is known by number,
// and the others are kept.
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
    struct Collected
    {
        QMap<int, QByteArray> answers; // by record index, from 0
        int refusals = 0;
        bool partialTail = false; // an answer still arriving at the end
        bool complete(int count) const
        {
            return !partialTail && answers.size() + refusals >= count;
        }
        // Indices of the records 0 .. count-1 without an answer.
        QList<int> missing(int count) const;
        // Bytes the answers and refusals found stand for, for a progress bar.
        int bytes() const;
    };
    static Collected collect(const QByteArray &buffer, int count);
    // collect(buffer, count).complete(count), without taking the answers out.
    static bool isComplete(const QByteArray &buffer, int count);

    // Called with the bytes received so far.
    std::function<void(int received)> onProgress;
    // Called between collection passes; true stops the download.
    std::function<bool()> stopRequested;

    // Requests and collects count records within limitMs; what was
    // collected is in `collected` whatever the result.
    Result run(int count, Collected *collected, int limitMs = LimitMs);

private:
    // Walks the stream: onAnswer(position) for every whole answer, refusals
    // counted; true when an answer or refusal is still arriving at the end.
    template <typename OnAnswer>
    static bool scan(const QByteArray &buffer, int *refusals, OnAnswer onAnswer);

    InstrumentLink *m_link;
};
