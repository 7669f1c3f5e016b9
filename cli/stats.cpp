#include "cli/stats.h"

#include "files/recordexport.h"
#include "measurement/instrumentclock.h"
#include "measurement/verdict.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Cli {

namespace {

struct Field
{
    QString key;
    QJsonValue value;
};

// Figures worked out from the instrument's single-precision samples carry
// their 7 significant digits; more would print the samples' binary noise
// (4.8 is 4.80000019 as a float) as if it were measured.
QJsonValue number(double value)
{
    return qIsFinite(value) ? QJsonValue(Verdict::atSamplePrecision(value))
                            : QJsonValue(QJsonValue::Null);
}

QList<Field> fieldsOf(const LoggerRunData &run, bool rounded, const StatsOptions &options)
{
    const UvFigures::Figures f =
        UvFigures::compute(run.samples, run.intervalSeconds, options.figures);
    auto dose = [&options](double microJoule) {
        return number(DoseUnit::fromMicroJoulePerCm2(microJoule, options.doseUnit));
    };
    const bool any = f.samples > 0;
    QList<Field> fields{
        {QStringLiteral("run"), run.number},
        {QStringLiteral("start"),
         run.start.isValid() ? QJsonValue(InstrumentClock::isoText(run.start)) : QJsonValue()},
        {QStringLiteral("interval_s"), run.intervalSeconds},
        {QStringLiteral("unit"), LoggerUnits::powerUnitText()},
        {QStringLiteral("samples"), f.samples},
        {QStringLiteral("dose"), dose(f.dose)},
        {QStringLiteral("dose_unit"), DoseUnit::text(options.doseUnit)},
        {QStringLiteral("dose_rule"), UvFigures::ruleName(options.figures.rule)},
        // The peak is one of the instrument's single-precision samples.
        {QStringLiteral("peak"),
         any ? QJsonValue(RecordExport::floatText(float(f.peak)).toDouble()) : QJsonValue()},
        {QStringLiteral("peak_time"), any ? number(f.peakTime) : QJsonValue()},
        {QStringLiteral("mean"), any ? number(f.mean) : QJsonValue()},
        {QStringLiteral("window_start"), f.hasWindow ? number(f.windowStart) : QJsonValue()},
        {QStringLiteral("window_end"), f.hasWindow ? number(f.windowEnd) : QJsonValue()},
        {QStringLiteral("window_dose"), f.hasWindow ? dose(f.windowDose) : QJsonValue()},
    };
    if (options.figures.hasThreshold)
        fields << Field{QStringLiteral("above_threshold_s"), number(f.aboveThreshold)};
    // What the figures rest on: samples the file kept with one decimal, and
    // samples that were no number (gaps) or below zero (taken as 0).
    fields << Field{QStringLiteral("rounded_samples"), rounded}
           << Field{QStringLiteral("gaps"), f.gaps}
           << Field{QStringLiteral("negative_samples"), f.negatives};
    return fields;
}

} // namespace

QByteArray statsJson(const LoggerData &data, const StatsOptions &options)
{
    QJsonArray runs;
    for (const LoggerRunData &run : data.runs) {
        QJsonObject o;
        for (const Field &f : fieldsOf(run, data.roundedSamples, options))
            o.insert(f.key, f.value);
        runs.append(o);
    }
    QJsonObject top;
    top.insert(QStringLiteral("runs"), runs);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

QByteArray statsCsv(const LoggerData &data, const StatsOptions &options)
{
    QByteArray out;
    LoggerRunData none;
    QStringList header;
    for (const Field &f : fieldsOf(none, false, options))
        header << f.key;
    out += Csv::row(header);
    for (const LoggerRunData &run : data.runs) {
        QStringList row;
        for (const Field &f : fieldsOf(run, data.roundedSamples, options)) {
            const QJsonValue &v = f.value;
            row << (v.isDouble() ? QString::number(v.toDouble(), 'g', 9)
                    : v.isBool() ? QString::fromLatin1(v.toBool() ? "true" : "false")
                                 : v.toString());
        }
        out += Csv::row(row);
    }
    return out;
}

} // namespace Cli
