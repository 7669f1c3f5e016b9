#include "files/recordexport.h"

#include "files/measurementfile.h"
#include "files/workbooklayout.h"
#include "measurement/instrumentclock.h"

#include <QtMath>

#include <charconv>
#include <cstring>
#include <limits>

namespace {

const QString kPowerUnit = QStringLiteral("μW/cm²");
// The Logger workbook template: the run table and 25 runs.

// The columns that name the instrument, after a file's own columns.
QStringList instrumentHeaders()
{
    return WorkbookLayout::instrumentFieldNames();
}

QStringList instrumentFields(const InstrumentIdentity &id)
{
    return {id.model, id.serialNumber ? QString::number(id.serialNumber) : QString(), id.firmware,
            id.calibrationDate.isValid() ? id.calibrationDate.toString(Qt::ISODate) : QString()};
}

void appendInteger(QByteArray &out, qint64 value)
{
    char buffer[24];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, int(r.ptr - buffer));
}

void appendTwoDigits(char *at, int value)
{
    at[0] = char('0' + value / 10);
    at[1] = char('0' + value % 10);
}

// The shortest fixed-notation text that reads back as value, with at least
// one decimal (RecordExport::sampleText, as bytes).
void appendSampleText(QByteArray &out, float value)
{
    if (!qIsFinite(value)) {
        out += RecordExport::floatText(value).toLatin1();
        return;
    }
    // The largest float has 39 digits before the point, the smallest
    // denormal 45 after it.
    char buffer[64];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    const int size = int(r.ptr - buffer);
    out.append(buffer, size);
    if (!std::memchr(buffer, '.', size_t(size)))
        out += ".0";
}

// The times of a run's samples, start + i x interval, on the instrument's
// clock: plain arithmetic on its reading, which has no zone, so that no
// summer-time change moves or repeats a time. The date's text is made once
// per day.
class SampleTimes
{
public:
    SampleTimes(const QDateTime &start, int intervalSeconds, int count)
        : m_interval(intervalSeconds)
    {
        const QDateTime reading = InstrumentClock::reading(start);
        m_valid = reading.isValid() && count > 0;
        if (m_valid)
            m_firstMs = reading.toMSecsSinceEpoch();
    }

    // Appends sample i's time, or nothing without a start time.
    void append(QByteArray &out, int i) const
    {
        if (!m_valid)
            return;
        const qint64 wall = m_firstMs + qint64(i) * m_interval * 1000;
        qint64 day = wall / kMsPerDay;
        qint64 ms = wall % kMsPerDay;
        if (ms < 0) {
            --day;
            ms += kMsPerDay;
        }
        if (day != m_day) {
            const QDate date = QDate::fromJulianDay(day + kJulianDayOf1970);
            m_dayText = date.year() >= 1000 && date.year() <= 9999
                            ? date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1()
                            : QByteArray();
            m_day = day;
        }
        if (m_dayText.isEmpty())
            return; // a year the form cannot show
        const int seconds = int(ms / 1000);
        char time[9] = {'T', 0, 0, ':', 0, 0, ':', 0, 0};
        appendTwoDigits(time + 1, seconds / 3600);
        appendTwoDigits(time + 4, seconds / 60 % 60);
        appendTwoDigits(time + 7, seconds % 60);
        out += m_dayText;
        out.append(time, int(sizeof time));
    }

private:
    static constexpr qint64 kMsPerDay = 86400000;
    static constexpr qint64 kJulianDayOf1970 = 2440588;

    int m_interval;
    bool m_valid = false;
    qint64 m_firstMs = 0;
    mutable qint64 m_day = std::numeric_limits<qint64>::min();
    mutable QByteArray m_dayText;
};

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
    QByteArray text;
    appendSampleText(text, value);
    return QString::fromLatin1(text);
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
    // Every record row names the instrument: a row copied or sorted
    // elsewhere keeps it.
    const QStringList instrument = instrumentFields(data.instrument);
    QByteArray out = Csv::row(MeterData::headers(data.unit) + instrumentHeaders());
    for (const QStringList &r : data.rows())
        out += Csv::row(r + instrument);
    return out;
}

QByteArray json(const MeterData &data) { return MeasurementFile::toJson(data); }

XlsWorkbook workbook(const MeterData &data) { return WorkbookLayout::meterWorkbook(data); }

} // namespace MeterFiles

// ---- Logger ------------------------------------------------------------------

namespace LoggerFiles {

QStringList tableHeaders() { return WorkbookLayout::loggerHeaders(); }

QStringList csvHeaders(DoseUnit::Unit unit)
{
    return QStringList{QStringLiteral("record")} + tableHeaders() +
           QStringList{QStringLiteral("Sample"), QStringLiteral("Time"),
                       QStringLiteral("Elapsed(S)"),
                       QStringLiteral("Power (") + kPowerUnit + QLatin1Char(')')} +
           figureHeaders(unit) + instrumentHeaders();
}

QStringList figureHeaders(DoseUnit::Unit unit)
{
    return {QStringLiteral("Dose (") + DoseUnit::text(unit) + QStringLiteral(", ") +
                UvFigures::ruleName(UvFigures::DoseRule::SampleHold) + QLatin1Char(')'),
            QStringLiteral("Peak time (S)"), QStringLiteral("Window start (S)"),
            QStringLiteral("Window end (S)"),
            QStringLiteral("Window dose (") + DoseUnit::text(unit) + QLatin1Char(')')};
}

QByteArray csv(const LoggerData &data, DoseUnit::Unit unit)
{
    QByteArray out = Csv::row(csvHeaders(unit));
    const int tableColumns = tableHeaders().size();
    // Sample rows leave the figures and the instrument to their run's row.
    const int figureColumns = figureHeaders().size() + instrumentHeaders().size();
    const QStringList instrument = instrumentFields(data.instrument);
    for (const LoggerRunData &run : data.runs) {
        const QDateTime &start = run.start;
        // The table's columns, the start time in the ISO 8601 form of the
        // sample rows rather than the table's "yyyy-MM-dd hh:mm:ss".
        QStringList table = run.rowTexts();
        if (start.isValid())
            table[1] = InstrumentClock::isoText(InstrumentClock::reading(start));
        // The run's UV figures close its row (sample-and-hold, a 10 % window).
        const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds);
        auto figure = [](double v) { return QString::number(v, 'g', 9); };
        const bool any = f.samples > 0;
        out += Csv::row(QStringList{QStringLiteral("run")} + table +
                        QStringList{QString(), QString(), QString(), QString(),
                                    figure(DoseUnit::fromMicroJoulePerCm2(f.dose, unit)),
                                    any ? figure(f.peakTime) : QString(),
                                    f.hasWindow ? figure(f.windowStart) : QString(),
                                    f.hasWindow ? figure(f.windowEnd) : QString(),
                                    f.hasWindow
                                        ? figure(DoseUnit::fromMicroJoulePerCm2(f.windowDose, unit))
                                        : QString()} +
                        instrument);
        // The sample rows, written as bytes: none of their fields needs quotes.
        const QByteArray number = QByteArray::number(run.number);
        const int m = run.samples.size();
        const SampleTimes times(start, run.intervalSeconds, m);
        out.reserve(out.size() + m * (number.size() + tableColumns + figureColumns + 48));
        for (int i = 0; i < m; ++i) {
            out += "sample,";
            out += number;
            out.append(tableColumns, ',');
            appendInteger(out, i + 1);
            out += ',';
            times.append(out, i);
            out += ',';
            appendInteger(out, qint64(i) * run.intervalSeconds);
            out += ',';
            appendSampleText(out, run.samples.at(i));
            out.append(figureColumns, ',');
            out += "\r\n";
        }
    }
    return out;
}

QByteArray json(const LoggerData &data) { return MeasurementFile::toJson(data); }

XlsWorkbook workbook(const LoggerData &data, bool fullPrecision)
{
    return WorkbookLayout::loggerWorkbook(data, fullPrecision
                                                    ? WorkbookLayout::Precision::Single
                                                    : WorkbookLayout::Precision::OneDecimal);
}

} // namespace LoggerFiles
