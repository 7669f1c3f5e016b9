#pragma once

// Logger measurements as values: each stored run decoded once, when it
// arrives, into its start time, storage interval and samples; the table's
// statistics and texts are computed from these numbers.

#include "measurement/instrumentidentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace LoggerUnits {
// The unit of every Logger sample.
QString powerUnitText(); // "μW/cm²"
} // namespace LoggerUnits

struct LoggerStatistics
{
    int samples = 0; // when 0 the other values mean nothing
    float rec = 0;   // last sample
    float max = 0;
    float min = 0;
    float sum = 0;
    float avg = 0;
};

// One stored run of a Logger.
struct LoggerRunData
{
    int number = 0; // from 1, as the instrument numbers its runs
    // The start time as the instrument recorded it: local time of the
    // instrument's clock, which keeps no zone. Invalid when the run did not
    // give one (too short, or bytes that are no date and time).
    QDateTime start;
    // The run gave the six bytes of a start time (valid or not): the table
    // shows a duration only then.
    bool hasStartBytes = false;
    int intervalSeconds = 1; // storage step
    QVector<float> samples;  // irradiance in μW/cm², single precision as sent
    // The run's payload as it arrived (start time and samples, and any part
    // of a sample at its end): kept for diagnosis, not read by the program.
    QByteArray payload;

    bool isEmpty() const { return !hasStartBytes && samples.isEmpty(); }
    // Anything at all arrived or was read for this run.
    bool hasData() const { return !payload.isEmpty() || !isEmpty(); }
    qint64 durationSeconds() const { return qint64(samples.size()) * intervalSeconds; }
    // In single precision as the instrument's values are: the first sample
    // sets maximum and minimum, a further sample replaces them only when
    // strictly greater or smaller (so a not-a-number sample replaces
    // neither), the sum adds every sample, the average is the sum divided by
    // the count.
    LoggerStatistics statistics() const;
    // The seven texts of the run's table row: NO, start time, duration, REC,
    // MAX, MIN, AVG; texts the run does not give are empty.
    QStringList rowTexts() const;
    // The NUM/VAL rows of the run for a worksheet: the header row "NUM",
    // "VAL", then per sample i the text of i + 1 and the sample with one
    // decimal.
    QList<QVariantList> sampleRows() const;
    QVector<double> sampleValues() const;
};

// The runs of one Logger download (or of a part of it).
struct LoggerData
{
    InstrumentIdentity instrument;
    QList<LoggerRunData> runs;
    // The samples came from a file that keeps them with the one decimal
    // the table shows (an .xls, or a workbook of an earlier version): the
    // figures made of them are of rounded samples and say so.
    bool roundedSamples = false;
};

namespace LoggerText {
// A power value as the table shows it: fixed notation, one decimal.
QString power(float value);
// The table's start time text, "yyyy-MM-dd hh:mm:ss".
QString startTime(const QDateTime &start);
} // namespace LoggerText

// Runs travel in signals (LoggerSession::runReady).
Q_DECLARE_METATYPE(LoggerRunData)
