#include "download/meterdownload.h"

#include "download/meterrecord.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/instrumentlink.h"

#include <QElapsedTimer>
#include <QVector>

#include <cstring>

namespace {

constexpr int kWriteTimeoutMs = 1000;
constexpr quint8 kRecordCommand = 0x42;
// AB C7 08 00 00 00 and its trailer.
constexpr int kRefusalLength = 8;
constexpr int kHeaderLength = 8;
constexpr int kTrailerLength = 2;

// What an AB 42 in the stream starts.
enum class Shape
{
    Whole,    // 34 bytes whose check value matches: a record answer
    Short,    // a whole frame (its length field, its check value) of fewer data bytes
    Damaged,  // 34 bytes that fail the check value and no shorter whole frame
    Arriving, // fewer bytes than either: the rest may still come
};

struct Candidate
{
    Shape shape = Shape::Arriving;
    int length = 0;
    quint32 address = 0;
};

bool checkValueMatches(const QByteArray &buffer, int pos, int covered)
{
    quint16 received = 0;
    if (!Frame::le16At(buffer, pos + covered, &received))
        return false;
    return received == crc16(reinterpret_cast<const quint8 *>(buffer.constData()) + pos, covered);
}

Candidate look(const QByteArray &buffer, int pos)
{
    Candidate c;
    if (!Frame::le32At(buffer, pos + 2, &c.address))
        return c;
    const int size = buffer.size();
    const int covered = MeterRecord::kAnswerLength - kTrailerLength;
    if (pos + MeterRecord::kAnswerLength <= size && checkValueMatches(buffer, pos, covered)) {
        c.shape = Shape::Whole;
        c.length = MeterRecord::kAnswerLength;
        return c;
    }
    quint16 n = 0;
    if (Frame::le16At(buffer, pos + 6, &n) && n < MeterRecord::kRecordLength &&
        pos + kHeaderLength + n + kTrailerLength <= size &&
        checkValueMatches(buffer, pos, kHeaderLength + n)) {
        c.shape = Shape::Short;
        c.length = kHeaderLength + n + kTrailerLength;
        return c;
    }
    if (pos + MeterRecord::kAnswerLength <= size)
        c.shape = Shape::Damaged;
    return c;
}

// The record an address names, or -1.
int recordAt(quint32 address, int count)
{
    if (address < MeterRecord::kFirstAddress ||
        (address - MeterRecord::kFirstAddress) % MeterRecord::kRecordLength != 0)
        return -1;
    const quint32 k = (address - MeterRecord::kFirstAddress) / MeterRecord::kRecordLength;
    return k < quint32(count) ? int(k) : -1;
}

enum class Outcome
{
    Waiting,
    Right,
    Wrong, // a wrong answer, none, or one in doubt
    Refused
};

} // namespace

MeterDownload::Rounds MeterDownload::firstRound(int count)
{
    QList<int> all;
    for (int k = 0; k < count; ++k)
        all.append(k);
    return {all};
}

bool MeterDownload::sendRequests(int count)
{
    return sendRequests(firstRound(count).first());
}

bool MeterDownload::sendRequests(const QList<int> &records)
{
    for (int k : records) {
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
    const int decided = answers.size() + refused.size() + wrong.size() - again.size();
    return decided * MeterRecord::kAnswerLength;
}

MeterDownload::Collected MeterDownload::collect(const QByteArray &buffer, const Rounds &asked,
                                                int count)
{
    count = qMax(0, count);
    // Every request in the order it went out, and where its round ends.
    QVector<int> requested;
    QVector<int> roundEnd;
    for (const QList<int> &round : asked) {
        const int end = requested.size() + round.size();
        for (int k : round) {
            requested.append(k);
            roundEnd.append(end);
        }
    }
    const int total = requested.size();
    QVector<Outcome> latest(count, Outcome::Waiting); // each record's latest outcome
    QVector<int> rightAt(count, -1);                  // where its right answer stands
    QVector<int> times(count, 0);                     // how often it was asked
    for (int k : requested) {
        if (k >= 0 && k < count)
            ++times[k];
    }

    int next = 0; // the first request still waiting for its outcome
    const auto settle = [&](int request, Outcome outcome, int at) {
        const int k = requested.at(request);
        if (k < 0 || k >= count)
            return;
        latest[k] = outcome;
        rightAt[k] = outcome == Outcome::Right ? at : -1;
    };
    // The request of next's round, from next on, that waits for record k.
    const auto waitingFor = [&](int k) {
        if (k < 0 || next >= total)
            return -1;
        for (int r = next; r < roundEnd.at(next); ++r) {
            if (requested.at(r) == k)
                return r;
        }
        return -1;
    };

    const int size = buffer.size();
    int pos = 0;
    while (pos < size) {
        if (Frame::byteAt(buffer, pos) != Frame::StartByte) {
            ++pos;
            continue;
        }
        const int command = Frame::byteAt(buffer, pos + 1);
        if (command == kRecordCommand) {
            const Candidate c = look(buffer, pos);
            if (c.shape == Shape::Arriving)
                break; // the rest is still on its way
            const int k = recordAt(c.address, count);
            const int r = waitingFor(k);
            if (r >= 0) {
                // The requests before it went unanswered.
                for (int s = next; s < r; ++s)
                    settle(s, Outcome::Wrong, -1);
                settle(r, c.shape == Shape::Whole ? Outcome::Right : Outcome::Wrong, pos);
                next = r + 1;
            } else if (c.shape != Shape::Damaged) {
                // A whole frame that answers no waiting request.
                const bool known = c.shape == Shape::Whole && k >= 0 && rightAt[k] >= 0;
                const bool repeat =
                    known && std::memcmp(buffer.constData() + rightAt[k], buffer.constData() + pos,
                                         size_t(MeterRecord::kAnswerLength)) == 0;
                if (known && !repeat) {
                    // Two different answers for one record: neither is trusted.
                    latest[k] = Outcome::Wrong;
                    rightAt[k] = -1;
                }
                if (!repeat && next < total && next == roundEnd.at(next) - 1) {
                    settle(next, Outcome::Wrong, -1);
                    ++next;
                }
            }
            pos += c.shape == Shape::Damaged ? 1 : c.length;
            continue;
        }
        if (command == 0xC7 && Frame::byteAt(buffer, pos + 2) == 0x08) {
            if (pos + kRefusalLength > size)
                break;
            if (next < total) {
                settle(next, Outcome::Refused, -1);
                ++next;
            }
            pos += kRefusalLength;
            continue;
        }
        ++pos;
    }

    Collected c;
    c.settled = next >= total;
    for (int k = 0; k < count; ++k) {
        switch (latest.at(k)) {
        case Outcome::Right:
            c.answers.insert(k, buffer.mid(rightAt.at(k), MeterRecord::kAnswerLength));
            break;
        case Outcome::Refused:
            c.refused.append(k);
            break;
        case Outcome::Wrong:
            c.wrong.append(k);
            if (times.at(k) < 2)
                c.again.append(k);
            break;
        case Outcome::Waiting:
            break;
        }
    }
    return c;
}

MeterDownload::Result MeterDownload::run(int count, Collected *collected, int limitMs)
{
    *collected = Collected();
    Rounds asked = firstRound(count);
    if (!sendRequests(count))
        return Result::SendFailed;
    QElapsedTimer clock;
    clock.start();
    QByteArray buffer;
    // A pass ends once every request has its outcome: the download is over,
    // or some records are asked again.
    const auto settled = [&](const QByteArray &b) { return collect(b, asked, count).settled; };
    Result result = Result::Complete;
    for (;;) {
        const Collected c = collect(buffer, asked, count);
        if (c.complete())
            break;
        if (c.settled) {
            asked.append(c.again);
            if (!sendRequests(c.again)) {
                result = m_link->isOpen() ? Result::SendFailed : Result::LinkLost;
                break;
            }
            continue;
        }
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
        const int r = m_link->collect(buffer, settled);
        if (buffer.size() > before && onProgress)
            onProgress(buffer.size());
        // A failed read: the instrument has gone; what came stays collected.
        if (r < 0 && !settled(buffer)) {
            result = Result::LinkLost;
            break;
        }
    }
    *collected = collect(buffer, asked, count);
    return result;
}
