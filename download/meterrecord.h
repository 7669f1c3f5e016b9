#pragma once

// Meter records and the per-model control profiles.
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
//
// The model decides which Smooth and Unit settings exist and how many
// decimals the values get: three control profiles, below as a data table.

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

// Units as exchanged with the instrument (block 0x60 byte 3) and as ids of
// the page's unit buttons.
enum Unit
{
    MicroWattPerCm2 = 0,
    MilliWattPerCm2 = 1,
    WattPerCm2 = 2,
    WattPerM2 = 3
};
constexpr int kUnitCount = 4;

struct ControlProfile
{
    int number;                  // 1..3
    bool smoothUsable;           // the three Smooth buttons
    bool unitUsable[kUnitCount]; // by unit id
    int decimals[kUnitCount];    // by unit id; -1: the values are left empty
};

// The profile of a model display name (QX101..QX119); nullptr for a name
// no profile lists ("UnKnow" and anything else).
const ControlProfile *profileForModel(const QString &modelName);
// 1..3, or 0 when the model has no profile.
int profileNumber(const QString &modelName);
// Decimals of the five measured values, -1 when they stay empty (unknown
// model, a unit the model does not have, or a unit id outside 0..3).
int decimals(const ControlProfile *profile, int unit);

struct Record
{
    float powerRt = 0;
    float powerMax = 0;
    float powerMin = 0;
    float powerAvg = 0;
    float energy = 0;
    float duration = 0;
};

// Decodes the record of one answer (offsets 8..31); false, leaving out
// untouched, when the answer is too short to hold it.
bool decodeAnswer(const QByteArray &answer, Record *out);

// The seven table texts: number, energy, duration, RT, MAX, MIN, AVG. The
// five measured values get decimalCount decimals (empty texts for -1); the
// duration always one decimal.
QStringList rowTexts(int number, const Record &record, int decimalCount);

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

// Unit names as HTML fragments for the report: power and energy.
QString powerUnitFragment(int unit);
QString energyUnitFragment(int unit);

} // namespace MeterRecord
