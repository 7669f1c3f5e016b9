#include "files/recordexport.h"

#include "files/measurementfile.h"
#include "files/workbooklayout.h"

#include <QTimeZone>
#include <QtMath>

#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

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

// The times of a run's samples, start + i x interval, in local time as
// QDateTime::addSecs gives them: the instant moves on by the interval and is
// shown in the zone's offset at that instant (a summer-time change shows as
// a jump of the wall clock). addSecs goes through the C library's mktime and
// tzset for every call, so the offset is looked up once per stretch between
// the zone's transitions, and the times of a stretch follow in plain
// arithmetic from its first sample. Where the zone's table and the C
// library disagree (no table for the zone, another offset at a stretch's
// start, a last sample that does not end up where the arithmetic puts it)
// the times are computed sample by sample, as before.
class SampleTimes
{
public:
    SampleTimes(const QDateTime &start, int intervalSeconds, int count)
        : m_start(start), m_interval(intervalSeconds)
    {
        if (!start.isValid() || count <= 0)
            return;
        const QTimeZone zone = QTimeZone::systemTimeZone();
        if (intervalSeconds <= 0) {
            m_stretches.push_back({0, false, 0});
            return;
        }
        const qint64 step = qint64(intervalSeconds) * 1000;
        const qint64 first = start.toMSecsSinceEpoch();
        const qint64 last = first + (count - 1) * step;
        std::vector<int> begins{0};
        if (count > 1) {
            const QTimeZone::OffsetDataList transitions =
                zone.transitions(QDateTime::fromMSecsSinceEpoch(first, Qt::UTC),
                                 QDateTime::fromMSecsSinceEpoch(last, Qt::UTC));
            for (const QTimeZone::OffsetData &t : transitions) {
                // The first sample at or after the transition.
                const qint64 at = t.atUtc.toMSecsSinceEpoch() - first;
                const qint64 index = at <= 0 ? 0 : (at + step - 1) / step;
                if (index > begins.back() && index < count)
                    begins.push_back(int(index));
            }
        }
        begins.push_back(count);
        for (size_t k = 0; k + 1 < begins.size(); ++k) {
            const int a = begins[k];
            const int b = begins[k + 1] - 1;
            const qint64 wallA = wallMs(a);
            // The zone's table agrees with the C library's local time at the
            // stretch's first sample, and its last lies where the arithmetic
            // puts it.
            const qint64 instantA = first + a * step;
            const bool steady =
                zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(instantA, Qt::UTC)) * 1000LL ==
                    wallA - instantA &&
                (a == b || wallMs(b) - wallA == qint64(b - a) * step);
            m_stretches.push_back({a, steady, wallA});
        }
    }

    // Appends sample i's time, or nothing without a start time.
    void append(QByteArray &out, int i) const
    {
        if (m_stretches.empty())
            return;
        auto s = m_stretches.end();
        do
            --s;
        while (s->first > i);
        if (!s->steady) {
            out += m_start.addSecs(qint64(i) * m_interval).toString(kIsoFormat).toLatin1();
            return;
        }
        const qint64 wall = s->wallFirst + qint64(i - s->first) * m_interval * 1000;
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
        if (m_dayText.isEmpty()) {
            out += m_start.addSecs(qint64(i) * m_interval).toString(kIsoFormat).toLatin1();
            return;
        }
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

    struct Stretch
    {
        int first;        // its first sample
        bool steady;      // one offset throughout
        qint64 wallFirst; // the first sample's wall-clock time as ms since 1970
    };

    // Sample i's wall-clock time, as addSecs gives it, in ms since 1970.
    qint64 wallMs(int i) const
    {
        const QDateTime t = m_start.addSecs(qint64(i) * m_interval);
        return QDateTime(t.date(), t.time(), Qt::UTC).toMSecsSinceEpoch();
    }

    QDateTime m_start;
    int m_interval;
    std::vector<Stretch> m_stretches;
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

XlsWorkbook workbook(const LoggerData &data) { return WorkbookLayout::loggerWorkbook(data); }

} // namespace LoggerFiles
