#pragma once

// Stored runs of a Logger instrument and their decoding.
//
// Run k (from 0) lives at storage address 0x180 + 0x980 * k. It is asked for
// with the long-header read AB 42 addr:4 40 00 (+ trailer); the instrument
// answers with a stream of packets
//
//     AB 42 addr:4 n:2 data:n trailer:2
//
// and ends the run with a packet of n = 0 (10 bytes). Neither the trailers nor
// the address fields of these packets are checked. The data parts of all
// packets, in arrival order, form the run's payload:
//
//     0 year-2000 | 1 month | 2 day | 3 hour | 4 minute | 5 second
//     6 + 4*i     sample i, irradiance in uW/cm2, float32 little-endian
//
// Bytes after the last whole sample are ignored. Bytes before and between
// packets that do not start a packet header are skipped one by one.

#include "measurement/loggerdata.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace LoggerRun {

// The page keeps buffers for this many runs; storage addresses beyond the
// last one are not used.
constexpr int MaxRuns = 25;
// The progress dialog allows this many answer bytes per run.
constexpr int ProgressBytesPerRun = 3200;
constexpr int PayloadHeaderBytes = 6;

quint32 runAddress(int run);
// The run request without its trailer (MainWindow::sendFrame appends it).
QByteArray runRequest(int run);

// True when a walk over the collected bytes reaches the end packet (only its
// 8-byte header needs to have arrived).
bool endPacketSeen(const QByteArray &frames);
// True when the end packet has arrived whole, trailer included: the run's
// answer is complete and a collection pass need not wait for more.
bool answerComplete(const QByteArray &frames);

// The payload: data of every packet before the end packet. A packet whose
// data would not lie wholly before the end of the collected bytes is dropped;
// its length is added to droppedLengths when given.
QByteArray extractPayload(const QByteArray &frames, QList<quint16> *droppedLengths = nullptr);

// Start time from payload bytes 0..5 (local time). Invalid when the payload is
// shorter than six bytes or the bytes are no valid date and time.
QDateTime startTime(const QByteArray &payload);
// Whole samples in the payload; 0 when there is none (also for payloads
// shorter than the start time).
int sampleCount(const QByteArray &payload);
// Sample i; 0 for an index outside the payload.
float sampleAt(const QByteArray &payload, int i);
QVector<double> sampleValues(const QByteArray &payload);

using Statistics = LoggerStatistics;

// The statistics of the payload's samples (LoggerRunData::statistics).
Statistics statistics(const QByteArray &payload);

// Storage step in seconds from configuration block 0x80 read with the given
// result: 1 with Auto Off on (b0 = 1) or a wrong block check value (-4),
// otherwise 1, 10 or 60 s for interval code 0, 1, 2 (any other code: 1).
int stepSeconds(int readResult, int b0, int b2);

// A power value as the table shows it: fixed notation, one decimal.
inline QString powerText(float value) { return LoggerText::power(value); }

// The run as a value: run number (from 1), start time, step and samples
// taken out of the payload, which the value keeps as it came.
LoggerRunData decode(int number, const QByteArray &payload, int step);

// The seven texts of the table row of run `run` (from 0): NO, start time,
// duration (samples * step), REC, MAX, MIN, AVG. Texts that the payload does
// not give (no start time, no whole sample) are empty.
QStringList rowTexts(int run, const QByteArray &payload, int step);

// The NUM/VAL rows of one run for a worksheet: the header row "NUM", "VAL",
// then per sample i the text of i + 1 and the sample with one decimal.
QList<QVariantList> sampleRows(const QByteArray &payload);

} // namespace LoggerRun
