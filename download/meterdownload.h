#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

#include <functional>

class InstrumentLink;

// Downloads the stored records of a Meter. All record requests go out back to
// back; the instrument answers them one by one, in the order asked, in one
// stream: a record answer (34 bytes, AB 42 addr:4 len:2 record:24 crc:2) or a
// refusal (AB C7 08 .., a record it does not give). On the page the Meter
// worker collects the stream; run() collects it itself, for a program without
// the worker.
//
// An answer is taken only when it is whole and right: its check value (crc16
// over its first 32 bytes) matches, and its address is that of the next
// request still waiting for its answer, or of a later one (the requests
// between got no answer). Anything else in the stream proves nothing about a
// record and is passed over: stray bytes, a probe notice, a frame that fails
// its check value or names no waiting request (a stray frame, an instrument
// babbling after an answer). What it can spoil is asked again:
// - a request whose answer failed its check value, came short (a whole frame
//   of fewer data bytes than a record) or never came;
// - a record for which a second, different whole answer arrived: which of
//   the two is the record is unknown (an answer naming the wrong address
//   lands here, as the later record's own answer follows it);
// - the last request of its round when a whole frame that answers nothing
//   came in its place: nothing after it would show that it went unanswered.
// Each record is asked again once, after every request of the round has its
// outcome; a record still without a right answer is left out and named.
// A clean download therefore sends exactly one request per record.
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

    // The record requests in the order they went out, round by round: the
    // first round asks records 0 .. count-1, each later round the records
    // to ask again.
    using Rounds = QList<QList<int>>;
    static Rounds firstRound(int count);

    // Sends the requests of records 0 .. count-1, or of the records given;
    // false when one did not go out whole.
    bool sendRequests(int count);
    bool sendRequests(const QList<int> &records);
    static int expectedBytes(int count);

    struct Collected
    {
        QMap<int, QByteArray> answers; // right answers by record index, from 0
        QList<int> refused;            // records the instrument refused
        QList<int> wrong;              // records whose latest answer was wrong or missing
        QList<int> again;              // of these, the ones asked only once
        bool settled = false;          // every request sent has its outcome
        // Nothing more to wait for and nobody to ask again.
        bool complete() const { return settled && again.isEmpty(); }
        // Indices of the records 0 .. count-1 without a right answer.
        QList<int> missing(int count) const;
        // Bytes the records with a final outcome stand for, for a progress bar.
        int bytes() const;
    };
    static Collected collect(const QByteArray &buffer, const Rounds &asked, int count);
    static Collected collect(const QByteArray &buffer, int count)
    {
        return collect(buffer, firstRound(count), count);
    }

    // Called with the bytes received so far.
    std::function<void(int received)> onProgress;
    // Called between collection passes; true stops the download.
    std::function<bool()> stopRequested;

    // Requests and collects count records within limitMs, asking again as
    // above; what was collected is in `collected` whatever the result.
    Result run(int count, Collected *collected, int limitMs = LimitMs);

private:
    InstrumentLink *m_link;
};
