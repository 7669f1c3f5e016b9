#include "files/recordexport.h"

#include "files/measurementfile.h"
#include "files/workbooklayout.h"

#include <QtMath>

#include <charconv>

namespace {

const QString kPowerUnit = QStringLiteral("μW/cm²");
const QString kIsoFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");
// The Logger workbook template: the run table and 25 runs.

QByteArray csvOf(const QStringList &headers, const QList<QStringList> &rows)
{
    QByteArray out = Csv::row(headers);
    for (const QStringList &r : rows)
        out += Csv::row(r);
    return out;
}

} // namespace

namespace RecordExport {

QString floatText(float value)
{
    if (qIsNaN(value))
        return QStringLiteral("nan");
    if (qIsInf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(r.ptr - buffer));
}

QString sampleText(float value)
{
    if (!qIsFinite(value))
        return floatText(value);
    // The largest float has 39 digits before the point, the smallest
    // denormal 45 after it.
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, int(r.ptr - buffer));
    if (!text.contains(QLatin1Char('.')))
        text += QLatin1String(".0");
    return text;
}

} // namespace RecordExport

namespace Csv {

QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray row(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &f : fields)
        quoted << field(f);
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

QByteArray withByteOrderMark(const QByteArray &csv)
{
    return QByteArray("\xEF\xBB\xBF") + csv;
}

} // namespace Csv

// ---- Meter -------------------------------------------------------------------

namespace MeterFiles {

QByteArray csv(const MeterData &data)
{
    return csvOf(MeterData::headers(data.unit), data.rows());
}

QByteArray json(const MeterData &data) { return MeasurementFile::toJson(data); }

XlsWorkbook workbook(const MeterData &data) { return WorkbookLayout::meterWorkbook(data); }

} // namespace MeterFiles

// ---- Logger ------------------------------------------------------------------

namespace LoggerFiles {

QStringList tableHeaders() { return WorkbookLayout::loggerHeaders(); }

QStringList csvHeaders()
{
    return QStringList{QStringLiteral("record")} + tableHeaders() +
           QStringList{QStringLiteral("Sample"), QStringLiteral("Time"),
                       QStringLiteral("Elapsed(S)"),
                       QStringLiteral("Power (") + kPowerUnit + QLatin1Char(')')} +
           figureHeaders();
}

QStringList figureHeaders()
{
    return {QStringLiteral("Dose (mJ/cm², ") + UvFigures::ruleName(UvFigures::DoseRule::SampleHold) +
                QLatin1Char(')'),
            QStringLiteral("Peak time (S)"), QStringLiteral("Window start (S)"),
            QStringLiteral("Window end (S)"), QStringLiteral("Window dose (mJ/cm²)")};
}

QByteArray csv(const LoggerData &data)
{
    QByteArray out = Csv::row(csvHeaders());
    const int tableColumns = tableHeaders().size();
    const int figureColumns = figureHeaders().size();
    for (const LoggerRunData &run : data.runs) {
        const QDateTime &start = run.start;
        // The table's columns, the start time in the ISO 8601 form of the
        // sample rows rather than the table's "yyyy-MM-dd hh:mm:ss".
        QStringList table = run.rowTexts();
        if (start.isValid())
            table[1] = start.toString(kIsoFormat);
        // The run's UV figures close its row (sample-and-hold, a 10 % window).
        const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds);
        auto figure = [](double v) { return QString::number(v, 'g', 9); };
        const bool any = f.samples > 0;
        out += Csv::row(QStringList{QStringLiteral("run")} + table +
                        QStringList{QString(), QString(), QString(), QString(),
                                    figure(UvFigures::toMilliJoulePerCm2(f.dose)),
                                    any ? figure(f.peakTime) : QString(),
                                    f.hasWindow ? figure(f.windowStart) : QString(),
                                    f.hasWindow ? figure(f.windowEnd) : QString(),
                                    f.hasWindow
                                        ? figure(UvFigures::toMilliJoulePerCm2(f.windowDose))
                                        : QString()});
        const int m = run.samples.size();
        QStringList fields;
        for (int i = 0; i < m; ++i) {
            const qint64 elapsed = qint64(i) * run.intervalSeconds;
            fields.clear();
            fields << QStringLiteral("sample") << QString::number(run.number);
            for (int c = 1; c < tableColumns; ++c)
                fields << QString();
            fields << QString::number(i + 1)
                   << (start.isValid() ? start.addSecs(elapsed).toString(kIsoFormat) : QString())
                   << QString::number(elapsed) << RecordExport::sampleText(run.samples.at(i));
            for (int c = 0; c < figureColumns; ++c)
                fields << QString();
            out += Csv::row(fields);
        }
    }
    return out;
}

QByteArray json(const LoggerData &data) { return MeasurementFile::toJson(data); }

XlsWorkbook workbook(const LoggerData &data) { return WorkbookLayout::loggerWorkbook(data); }

} // namespace LoggerFiles
