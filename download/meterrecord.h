#pragma once

// Meter records: how they are asked for, found in the stream and decoded.
//
// The Meter stores one 24-byte record per finished measurement. The page asks
// for record k with the long-header read
//   AB 42 addr:4 40 00 crc:2        addr = 0xF0 + 24 * k
// and the instrument answers with 34 bytes:
//   AB 42 hdr:6 | rt:4 max:4 min:4 avg:4 energy:4 duration:4 | crc:2
// the six values being little-endian IEEE 754 singles in the unit the
// instrument is set to (powers and energy) and seconds (duration).
//
// The instrument also sends, unasked, a probe notice AB 22 0D .. .. .. p
// whose byte 6 is 1 when a probe was plugged in and 0 when it was pulled out.

#include "measurement/meterdata.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace MeterRecord {

constexpr int kAnswerLength = 34;
constexpr int kRecordOffset = 8;
constexpr int kRecordLength = 24;
constexpr quint32 kFirstAddress = 0xF0;
constexpr int kMaxRecords = 10000;

// Decodes the record of one answer (offsets 8..31); false, leaving out
// untouched, when the answer is too short to hold it.
bool decodeAnswer(const QByteArray &answer, MeterReading *out);

// The request for record k (before its trailer).
QByteArray recordRequest(int k);

// Result of walking a receive buffer for record answers.
struct Split
{
    QList<QByteArray> answers; // 34 bytes each, in buffer order
    bool partialTail = false;  // an AB 42 near the end with fewer than 34 bytes behind it
};
// Walks the buffer from the start: at AB 42 with a whole answer behind it the
// answer is taken and the walk goes on behind it; anywhere else by one byte.
// Nothing is read past the end of the buffer.
Split splitAnswers(const QByteArray &buffer);

enum class ProbeNotice
{
    None,
    Plugged,
    Pulled
};
// The first probe notice in the buffer (AB 22 0D with byte 6 = 1 or 0). A
// notice whose byte 6 has not arrived yet is not one (yet).
ProbeNotice findProbeNotice(const QByteArray &buffer);

} // namespace MeterRecord
