#include "files/measurementfile.h"

#include "files/recordexport.h"
#include "measurement/instrumentclock.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtMath>

#include <cmath>
#include <limits>

namespace MeasurementFile {

namespace {

const QString kIsoFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");
constexpr int kMaxRuns = 100000;
constexpr int kMaxRecords = 1000000;

QString tr(const char *text)
{
    return QCoreApplication::translate("MeasurementFile", text);
}

QJsonValue number(float value)
{
    if (!qIsFinite(value))
        return QJsonValue(QJsonValue::Null);
    return QJsonValue(RecordExport::floatText(value).toDouble());
}

QJsonValue figure(double value)
{
    // Figures are doubles: 9 significant digits say more than any instrument.
    return qIsFinite(value) ? QJsonValue(QString::number(value, 'g', 9).toDouble())
                            : QJsonValue(QJsonValue::Null);
}

QJsonObject header(const char *family, const InstrumentIdentity &source, const QString &notes)
{
    QJsonObject o;
    o.insert(QStringLiteral("format"), QLatin1String(FormatName));
    o.insert(QStringLiteral("formatVersion"), FormatVersion);
    o.insert(QStringLiteral("program"), QStringLiteral("Vantrel " VANTREL_VERSION));
    o.insert(QStringLiteral("family"), QLatin1String(family));
    // Also at the top, where files of earlier versions have them.
    o.insert(QStringLiteral("model"), source.model);
    o.insert(QStringLiteral("serialNumber"), double(source.serialNumber));
    QJsonObject instrument;
    instrument.insert(QStringLiteral("model"), source.model);
    instrument.insert(QStringLiteral("serialNumber"), double(source.serialNumber));
    instrument.insert(QStringLiteral("firmware"),
                      source.firmware.isEmpty() ? QJsonValue() : QJsonValue(source.firmware));
    instrument.insert(QStringLiteral("calibrationDate"),
                      source.calibrationDate.isValid()
                          ? QJsonValue(source.calibrationDate.toString(Qt::ISODate))
                          : QJsonValue());
    o.insert(QStringLiteral("instrument"), instrument);
    o.insert(QStringLiteral("notes"), notes);
    return o;
}

// ---- reading ----------------------------------------------------------------

// Reads one JSON value into a C++ value, keeping the first fault with the
// place it was found ("runs[2].samples[17]").
class Reader
{
public:
    QString error;

    // lupdate files these texts under this class.
    static QString tr(const char *text)
    {
        return QCoreApplication::translate("MeasurementFile::Reader", text);
    }

    bool ok() const { return error.isEmpty(); }
    void fail(const QString &where, const QString &what)
    {
        if (ok())
            error = where.isEmpty() ? what : QStringLiteral("%1: %2").arg(where, what);
    }
    // A number, or null for a value that was not one (NaN).
    float sample(const QJsonValue &v, const QString &where)
    {
        if (v.isNull())
            return std::numeric_limits<float>::quiet_NaN();
        const double d = v.toDouble();
        if (!v.isDouble() || std::abs(d) > double(std::numeric_limits<float>::max())) {
            fail(where, tr("not a number"));
            return 0;
        }
        return float(d);
    }
    int integer(const QJsonObject &o, const char *key, const QString &where, int min, int max)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || !(d >= min && d <= max) || d != std::floor(d)) {
            fail(where + QLatin1Char('.') + QLatin1String(key),
                 tr("not a whole number from %1 to %2").arg(min).arg(max));
            return min;
        }
        return int(d);
    }
    QJsonArray array(const QJsonObject &o, const char *key, const QString &where, int max)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isArray()) {
            fail(where.isEmpty() ? QLatin1String(key)
                                 : where + QLatin1Char('.') + QLatin1String(key),
                 tr("missing, or not a list"));
            return {};
        }
        const QJsonArray a = v.toArray();
        if (a.size() > max) {
            fail(QLatin1String(key), tr("more than %1 entries").arg(max));
            return {};
        }
        return a;
    }
};

InstrumentIdentity readInstrument(const QJsonObject &o)
{
    // Files of earlier versions name the instrument at the top only.
    const QJsonObject i = o.value(QStringLiteral("instrument")).toObject();
    InstrumentIdentity id;
    id.model =
        i.value(QStringLiteral("model")).toString(o.value(QStringLiteral("model")).toString());
    const double serial = i.value(QStringLiteral("serialNumber"))
                              .toDouble(o.value(QStringLiteral("serialNumber")).toDouble());
    id.serialNumber = serial >= 0 && serial <= 4294967295.0 ? quint32(serial) : 0;
    id.firmware = i.value(QStringLiteral("firmware")).toString();
    id.calibrationDate =
        QDate::fromString(i.value(QStringLiteral("calibrationDate")).toString(), Qt::ISODate);
    return id;
}

void readLogger(const QJsonObject &o, Reader *r, LoggerData *out)
{
    out->instrument = readInstrument(o);
    const QJsonArray runs = r->array(o, "runs", QString(), kMaxRuns);
    for (int k = 0; k < runs.size() && r->ok(); ++k) {
        const QString where = QStringLiteral("runs[%1]").arg(k);
        if (!runs.at(k).isObject()) {
            r->fail(where, tr("not an object"));
            break;
        }
        const QJsonObject run = runs.at(k).toObject();
        LoggerRunData value;
        value.number = r->integer(run, "number", where, 1, kMaxRuns);
        value.intervalSeconds = r->integer(run, "intervalSeconds", where, 1, 86400);
        const QJsonValue start = run.value(QStringLiteral("start"));
        if (!start.isNull() && !start.isUndefined()) {
            value.start = InstrumentClock::fromText(start.toString());
            if (!value.start.isValid())
                r->fail(where + QStringLiteral(".start"), tr("not a time YYYY-MM-DDTHH:MM:SS"));
        }
        const QJsonArray samples = r->array(run, "samples", where, 10 * 1000 * 1000);
        value.samples.reserve(samples.size());
        for (int i = 0; i < samples.size() && r->ok(); ++i)
            value.samples << r->sample(samples.at(i),
                                       where + QStringLiteral(".samples[%1]").arg(i));
        // A run without the six bytes of a start time has no duration.
        const QJsonValue duration = run.value(QStringLiteral("durationSeconds"));
        value.hasStartBytes = !duration.isNull();
        // A duration the samples and the interval do not make: the file was
        // cut or edited.
        if (r->ok() && duration.isDouble() &&
            duration.toDouble() != double(value.durationSeconds()))
            r->fail(where + QStringLiteral(".durationSeconds"),
                    tr("%1 s, but the %2 samples at %3 s cover %4 s")
                        .arg(duration.toDouble())
                        .arg(value.samples.size())
                        .arg(value.intervalSeconds)
                        .arg(value.durationSeconds()));
        out->runs << value;
    }
}

void readMeter(const QJsonObject &o, Reader *r, MeterData *out)
{
    out->instrument = readInstrument(o);
    const QString power = o.value(QStringLiteral("powerUnit")).toString();
    out->unit = -1;
    for (int u = 0; u < MeterUnits::kUnitCount; ++u) {
        if (power == MeterUnits::powerUnitText(u))
            out->unit = u;
    }
    if (!power.isEmpty() && out->unit < 0)
        r->fail(QStringLiteral("powerUnit"), tr("not a unit of the Meter"));
    const QJsonValue decimals = o.value(QStringLiteral("decimals"));
    out->decimals =
        decimals.isDouble()
            ? qBound(-1, decimals.toInt(), 30)
            : MeterUnits::decimals(MeterUnits::profileForModel(out->instrument.model), out->unit);
    const QJsonArray records = r->array(o, "records", QString(), kMaxRecords);
    for (int k = 0; k < records.size() && r->ok(); ++k) {
        const QString where = QStringLiteral("records[%1]").arg(k);
        if (!records.at(k).isObject()) {
            r->fail(where, tr("not an object"));
            break;
        }
        const QJsonObject record = records.at(k).toObject();
        MeterReading m;
        const struct
        {
            const char *key;
            float *value;
        } fields[] = {{"energy", &m.energy},         {"durationSeconds", &m.duration},
                      {"powerRealTime", &m.powerRt}, {"powerMax", &m.powerMax},
                      {"powerMin", &m.powerMin},     {"powerAverage", &m.powerAvg}};
        for (const auto &f : fields) {
            const QString at = where + QLatin1Char('.') + QLatin1String(f.key);
            if (!record.contains(QLatin1String(f.key)))
                r->fail(at, tr("missing"));
            else
                *f.value = r->sample(record.value(QLatin1String(f.key)), at);
        }
        out->numbers << r->integer(record, "number", where, 1, kMaxRecords);
        out->records << m;
    }
}

} // namespace

QByteArray toJson(const LoggerData &data, const QString &notes, const UvFigures::Options &figures)
{
    QJsonObject o = header("logger", data.instrument, notes);
    o.insert(QStringLiteral("clock"),
             QStringLiteral("Start times are the instrument's clock as it was set; it keeps no "
                            "time zone."));
    o.insert(QStringLiteral("powerUnit"), LoggerUnits::powerUnitText());
    o.insert(QStringLiteral("doseUnit"), QStringLiteral("mJ/cm²"));
    o.insert(QStringLiteral("doseRule"), UvFigures::ruleName(figures.rule));
    o.insert(QStringLiteral("windowPercent"), figures.windowPercent);
    QJsonArray list;
    for (const LoggerRunData &run : data.runs) {
        QJsonObject r;
        r.insert(QStringLiteral("number"), run.number);
        r.insert(QStringLiteral("start"),
                 run.start.isValid() ? QJsonValue(run.start.toString(kIsoFormat)) : QJsonValue());
        r.insert(QStringLiteral("intervalSeconds"), run.intervalSeconds);
        r.insert(QStringLiteral("durationSeconds"),
                 run.hasStartBytes ? QJsonValue(double(run.durationSeconds())) : QJsonValue());
        const LoggerStatistics s = run.statistics();
        const bool any = s.samples > 0;
        r.insert(QStringLiteral("powerLast"), any ? number(s.rec) : QJsonValue());
        r.insert(QStringLiteral("powerMax"), any ? number(s.max) : QJsonValue());
        r.insert(QStringLiteral("powerMin"), any ? number(s.min) : QJsonValue());
        r.insert(QStringLiteral("powerAverage"), any ? number(s.avg) : QJsonValue());
        const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds, figures);
        r.insert(QStringLiteral("dose"), figure(UvFigures::toMilliJoulePerCm2(f.dose)));
        r.insert(QStringLiteral("peak"), any ? number(float(f.peak)) : QJsonValue());
        r.insert(QStringLiteral("peakTimeSeconds"), any ? figure(f.peakTime) : QJsonValue());
        r.insert(QStringLiteral("mean"), any ? figure(f.mean) : QJsonValue());
        r.insert(QStringLiteral("windowStartSeconds"),
                 f.hasWindow ? figure(f.windowStart) : QJsonValue());
        r.insert(QStringLiteral("windowEndSeconds"),
                 f.hasWindow ? figure(f.windowEnd) : QJsonValue());
        r.insert(QStringLiteral("windowDose"),
                 f.hasWindow ? figure(UvFigures::toMilliJoulePerCm2(f.windowDose)) : QJsonValue());
        QJsonArray samples;
        for (float v : run.samples)
            samples.append(number(v));
        r.insert(QStringLiteral("samples"), samples);
        list.append(r);
    }
    o.insert(QStringLiteral("runs"), list);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QByteArray toJson(const MeterData &data, const QString &notes)
{
    QJsonObject o = header("meter", data.instrument, notes);
    const QString power = MeterUnits::powerUnitText(data.unit);
    o.insert(QStringLiteral("powerUnit"), power.isEmpty() ? QJsonValue() : QJsonValue(power));
    o.insert(QStringLiteral("energyUnit"),
             power.isEmpty() ? QJsonValue() : QJsonValue(MeterUnits::energyUnitText(data.unit)));
    o.insert(QStringLiteral("decimals"), data.decimals);
    QJsonArray list;
    for (int i = 0; i < data.records.size(); ++i) {
        const MeterReading &r = data.records.at(i);
        QJsonObject record;
        record.insert(QStringLiteral("number"), data.numberAt(i));
        record.insert(QStringLiteral("energy"), number(r.energy));
        record.insert(QStringLiteral("durationSeconds"), number(r.duration));
        record.insert(QStringLiteral("powerRealTime"), number(r.powerRt));
        record.insert(QStringLiteral("powerMax"), number(r.powerMax));
        record.insert(QStringLiteral("powerMin"), number(r.powerMin));
        record.insert(QStringLiteral("powerAverage"), number(r.powerAvg));
        list.append(record);
    }
    o.insert(QStringLiteral("records"), list);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool fromJson(const QByteArray &bytes, Measurement *out, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (document.isNull()) {
        *error =
            tr("This is no JSON file (at byte %1: %2).").arg(parse.offset).arg(parse.errorString());
        return false;
    }
    const QJsonObject o = document.object();
    const QJsonValue format = o.value(QStringLiteral("format"));
    const QString family = o.value(QStringLiteral("family")).toString();
    if (!document.isObject() ||
        (format.isUndefined() && family != QLatin1String("logger") &&
         family != QLatin1String("meter")) ||
        (!format.isUndefined() && format.toString() != QLatin1String(FormatName))) {
        *error = tr("This JSON file was not written by Vantrel.");
        return false;
    }
    // Files of the first version carry no formatVersion; a file that does
    // names it as a whole JSON number. Anything else ("2", 2.5, true, a
    // number past int) is no version, never one rounded or defaulted to 1.
    const QJsonValue versionValue = o.value(QStringLiteral("formatVersion"));
    int version = 1;
    if (!versionValue.isUndefined()) {
        const double d = versionValue.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!versionValue.isDouble() || !(d >= 1 && d <= std::numeric_limits<int>::max()) ||
            d != std::floor(d)) {
            *error = tr("The file is damaged: %1.")
                         .arg(QStringLiteral("formatVersion: ") +
                              Reader::tr("not a whole number from %1 to %2")
                                  .arg(1)
                                  .arg(std::numeric_limits<int>::max()));
            return false;
        }
        version = int(d);
    }
    if (version > FormatVersion) {
        *error = tr("This file was written by a newer Vantrel (format version %1); this "
                    "version reads format version %2.")
                     .arg(version)
                     .arg(FormatVersion);
        return false;
    }
    Measurement m;
    Reader r;
    m.notes = o.value(QStringLiteral("notes")).toString();
    if (family == QLatin1String("logger")) {
        m.family = Measurement::Family::Logger;
        readLogger(o, &r, &m.logger);
    } else if (family == QLatin1String("meter")) {
        m.family = Measurement::Family::Meter;
        readMeter(o, &r, &m.meter);
    } else {
        r.fail(QStringLiteral("family"), tr("neither \"logger\" nor \"meter\""));
    }
    if (!r.ok()) {
        *error = tr("The file is damaged: %1.").arg(r.error);
        return false;
    }
    *out = m;
    return true;
}

} // namespace MeasurementFile
