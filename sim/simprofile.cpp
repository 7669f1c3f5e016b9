#include "sim/simprofile.h"

#include "measurement/instrumentclock.h"
#include "protocol/identity.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kMaxProfileBytes = 4 << 20;

void appendFloat(QByteArray &bytes, float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char le[4];
    qToLittleEndian(bits, le);
    bytes.append(le, 4);
}

struct KindName
{
    SimFault::Kind kind;
    const char *name;
};

const KindName kindNames[] = {
    {SimFault::Kind::NoAnswer, "noAnswer"},
    {SimFault::Kind::BadTrailer, "badTrailer"},
    {SimFault::Kind::WrongHeader, "wrongHeader"},
    {SimFault::Kind::BadBlockCheck, "badBlockCheck"},
    {SimFault::Kind::StrayBytes, "strayBytes"},
    {SimFault::Kind::Split, "split"},
    {SimFault::Kind::Merge, "merge"},
    {SimFault::Kind::Delay, "delay"},
    {SimFault::Kind::Unplug, "unplug"},
    {SimFault::Kind::MissingEndPacket, "missingEndPacket"},
    {SimFault::Kind::Babble, "babble"},
    {SimFault::Kind::Refusal, "refusal"},
    {SimFault::Kind::ForeignReport, "foreignReport"},
    {SimFault::Kind::WriteTimeout, "writeTimeout"},
    {SimFault::Kind::Hold, "hold"},
    {SimFault::Kind::StrayFrame, "strayFrame"},
    {SimFault::Kind::WrongAddress, "wrongAddress"},
    {SimFault::Kind::ShortAnswer, "shortAnswer"},
};

QString kindName(SimFault::Kind kind)
{
    for (const KindName &k : kindNames)
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    return QString();
}

bool kindFromName(const QString &name, SimFault::Kind *kind)
{
    for (const KindName &k : kindNames) {
        if (name == QLatin1String(k.name)) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

// Whole numbers may be written as JSON numbers or as text ("0x47"). False
// unless the value is a whole number in min..max (both within ±2^53, so that
// a double holds them exactly). A JSON number is compared as a double before
// it is converted, since converting one outside the range of qint64 (1e100)
// is undefined; NaN fails every comparison.
bool numberOf(const QJsonValue &value, qint64 min, qint64 max, qint64 *out)
{
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (!(d >= double(min) && d <= double(max)) || d != std::trunc(d))
            return false;
        *out = qint64(d);
        return true;
    }
    if (value.isString()) {
        bool ok = false;
        const qint64 n = value.toString().toLongLong(&ok, 0);
        if (!ok || n < min || n > max)
            return false;
        *out = n;
        return true;
    }
    return false;
}

QString wholeNumberRange(const char *key, qint64 min, qint64 max)
{
    return QStringLiteral("\"%1\" must be a whole number in %2..%3").arg(key).arg(min).arg(max);
}

// Measured values are stored as single-precision floats; a double beyond
// the float range (or NaN) has no float to become.
bool floatOf(const QJsonValue &value, float *out)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    const double limit = double(std::numeric_limits<float>::max());
    // Up to half a unit above the largest float, a number rounds to it (as
    // a file's "3.40282347e+38" does); from there on it would be infinite.
    const double roundsToLimit = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (!(std::fabs(d) < roundsToLimit))
        return false;
    *out = std::fabs(d) > limit ? std::copysign(std::numeric_limits<float>::max(), float(d > 0 ? 1 : -1))
                                : float(d);
    return true;
}

QString floatRange()
{
    const QString limit = QString::number(double(std::numeric_limits<float>::max()), 'g', 7);
    return QStringLiteral("-%1..%1").arg(limit);
}

// A key of the wrong JSON type is refused rather than read as its default:
// "records": "abc" is not an empty list, "probeConnected": "yes" not false.
struct KeyType
{
    const char *key;
    QJsonValue::Type type;
};

QString typeName(QJsonValue::Type type)
{
    switch (type) {
    case QJsonValue::String:
        return QStringLiteral("a text");
    case QJsonValue::Bool:
        return QStringLiteral("true or false");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    default:
        return QStringLiteral("a number");
    }
}

// True when every key of types that o holds has its type; where names the
// object in the message ("" for the profile itself, " (record 2)" ...).
bool typesOk(const QJsonObject &o, std::initializer_list<KeyType> types, const QString &where,
             QString *error)
{
    for (const KeyType &t : types) {
        const QJsonValue v = o.value(QLatin1String(t.key));
        if (!v.isUndefined() && v.type() != t.type) {
            *error = QStringLiteral("\"%1\"%2 must be %3").arg(t.key, where, typeName(t.type));
            return false;
        }
    }
    return true;
}

// Entry i (from 0) of a list must be an object.
bool entryIsObject(const QJsonArray &list, int i, const char *what, QString *error)
{
    if (list.at(i).isObject())
        return true;
    *error = QStringLiteral("%1 %2 must be an object {...}").arg(what).arg(i + 1);
    return false;
}

QJsonArray bytesArray(const quint8 *bytes, int count)
{
    QJsonArray a;
    for (int i = 0; i < count; ++i)
        a.append(bytes[i]);
    return a;
}

bool readBytesArray(const QJsonValue &value, quint8 *bytes, int count, QString *error,
                    const char *key)
{
    const QJsonArray a = value.toArray();
    if (a.size() != count) {
        *error = QStringLiteral("\"%1\" needs %2 numbers").arg(key).arg(count);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const int v = a.at(i).toInt(-1);
        if (v < 0 || v > 255) {
            *error = QStringLiteral("\"%1\" holds a value outside 0..255").arg(key);
            return false;
        }
        bytes[i] = quint8(v);
    }
    return true;
}

QVector<float> curve(int count, float base, float swing, float drift, int phase)
{
    QVector<float> samples;
    samples.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double x = (i + phase) / 9.0;
        samples.append(float(std::round((base + swing * std::sin(x) + drift * i) * 10.0) / 10.0));
    }
    return samples;
}

} // namespace

SimFault SimFault::make(Kind kind, int command, qint64 address, int value, int delayMs, int times)
{
    SimFault f;
    f.kind = kind;
    f.command = command;
    f.address = address;
    f.value = value;
    f.delayMs = delayMs;
    f.times = times;
    return f;
}

QByteArray SimMeterRecord::bytes() const
{
    if (!raw.isEmpty())
        return raw.left(24).leftJustified(24, '\0');
    QByteArray b;
    for (float v : {realTime, maximum, minimum, average, energy, duration})
        appendFloat(b, v);
    return b;
}

QByteArray SimLoggerRun::payload() const
{
    if (!raw.isEmpty())
        return raw;
    QByteArray b = Identity::encodeClock(start);
    for (float v : samples)
        appendFloat(b, v);
    return b;
}

SimProfile SimProfile::meter()
{
    SimProfile p;
    p.name = QStringLiteral("meter");
    p.family = Family::Meter;
    p.typeCode = 24430108; // QX102
    p.serialNumber = 23110042;
    p.usbSerial = QStringLiteral("VT23110042");
    p.firmware = 21;
    p.block80[0] = 1;
    p.block80[1] = 10;
    p.block80[2] = 0;
    p.block80[3] = 1;
    p.block60[0] = 0;
    p.block60[1] = 10;
    p.block60[2] = 0;
    p.block60[3] = 1; // mW/cm²
    const float values[][6] = {
        {12.625f, 20.0f, 5.375f, 11.0f, 137.0f, 10.5f},
        {35.2f, 41.8f, 30.1f, 36.4f, 1092.5f, 30.0f},
        {8.75f, 9.5f, 8.0f, 8.8f, 52.8f, 6.0f},
        {102.4f, 118.3f, 96.2f, 104.9f, 6294.0f, 60.0f},
        {0.42f, 0.61f, 0.33f, 0.45f, 2.7f, 6.0f},
    };
    for (const auto &v : values) {
        SimMeterRecord r;
        r.realTime = v[0];
        r.maximum = v[1];
        r.minimum = v[2];
        r.average = v[3];
        r.energy = v[4];
        r.duration = v[5];
        p.records.append(r);
    }
    return p;
}

SimProfile SimProfile::logger()
{
    SimProfile p;
    p.name = QStringLiteral("logger");
    p.family = Family::Logger;
    p.typeCode = 24430097; // QX101
    p.serialNumber = 24030117;
    p.usbSerial = QStringLiteral("VT24030117");
    p.firmware = 23;
    p.block80[0] = 0;
    p.block80[1] = 10;
    p.block80[2] = 1;
    p.block80[3] = 0; // off, 10 min, 10 s
    SimLoggerRun a;
    a.start = InstrumentClock::at(QDate(2024, 5, 6), QTime(9, 30, 0));
    a.samples = curve(120, 850.0f, 120.0f, 0.5f, 0);
    SimLoggerRun b;
    b.start = InstrumentClock::at(QDate(2024, 5, 6), QTime(13, 15, 20));
    b.samples = curve(300, 1540.0f, 260.0f, -0.8f, 7);
    SimLoggerRun c;
    c.start = InstrumentClock::at(QDate(2024, 5, 7), QTime(8, 2, 45));
    c.samples = curve(600, 420.0f, 60.0f, 0.2f, 3);
    p.runs = {a, b, c};
    return p;
}

QByteArray SimProfile::toJson() const
{
    QJsonObject o;
    o["name"] = name;
    o["family"] = family == Family::Logger ? "logger" : "meter";
    o["typeCode"] = qint64(typeCode);
    o["serialNumber"] = qint64(serialNumber);
    o["usbSerial"] = usbSerial;
    o["productionDate"] = productionDate.toString(Qt::ISODate);
    o["calibrationDate"] = calibrationDate.toString(Qt::ISODate);
    o["firmware"] = firmware;
    o["keyInfoMarker"] = keyInfoMarker;
    o["keyInfoSupported"] = keyInfoSupported;
    o["productionInfoErased"] = productionInfoErased;
    o["probeConnected"] = probeConnected;
    o["block60"] = bytesArray(block60, 4);
    o["block80"] = bytesArray(block80, 4);
    if (clock.isValid())
        o["clock"] = InstrumentClock::isoText(clock);
    o["recordCount"] = recordCount;
    o["interfaces"] = interfaces;
    o["reportLength"] = reportLength;
    o["reportIntervalUs"] = reportIntervalUs;
    o["usbFrames"] = usbFrames;
    QJsonArray recs;
    for (const SimMeterRecord &r : records) {
        QJsonObject ro;
        if (!r.raw.isEmpty()) {
            ro["raw"] = QString::fromLatin1(r.raw.toHex(' '));
        } else {
            ro["realTime"] = r.realTime;
            ro["maximum"] = r.maximum;
            ro["minimum"] = r.minimum;
            ro["average"] = r.average;
            ro["energy"] = r.energy;
            ro["duration"] = r.duration;
        }
        recs.append(ro);
    }
    o["records"] = recs;
    QJsonArray rs;
    for (const SimLoggerRun &r : runs) {
        QJsonObject ro;
        if (!r.raw.isEmpty()) {
            ro["raw"] = QString::fromLatin1(r.raw.toHex(' '));
        } else {
            ro["start"] = InstrumentClock::isoText(r.start);
            QJsonArray s;
            for (float v : r.samples)
                s.append(double(v));
            ro["samples"] = s;
        }
        rs.append(ro);
    }
    o["runs"] = rs;
    QJsonArray fs;
    for (const SimFault &f : faults) {
        QJsonObject fo;
        fo["kind"] = kindName(f.kind);
        fo["command"] = f.command;
        fo["address"] = f.address;
        fo["skip"] = f.skip;
        fo["times"] = f.times;
        fo["value"] = f.value;
        fo["delayMs"] = f.delayMs;
        fs.append(fo);
    }
    o["faults"] = fs;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool SimProfile::fromJson(const QByteArray &json, SimProfile *out, QString *error)
{
    QString dummy;
    if (!error)
        error = &dummy;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("not JSON: %1 at byte %2")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    if (!doc.isObject()) {
        *error = QStringLiteral("a profile is one JSON object {...}, not an array");
        return false;
    }
    const QJsonObject o = doc.object();
    const auto S = QJsonValue::String;
    const auto B = QJsonValue::Bool;
    const auto A = QJsonValue::Array;
    if (!typesOk(o,
                 {{"name", S},
                  {"family", S},
                  {"base", S},
                  {"usbSerial", S},
                  {"productionDate", S},
                  {"calibrationDate", S},
                  {"clock", S},
                  {"keyInfoSupported", B},
                  {"productionInfoErased", B},
                  {"probeConnected", B},
                  {"block60", A},
                  {"block80", A},
                  {"records", A},
                  {"runs", A},
                  {"faults", A}},
                 QString(), error))
        return false;
    const QString family = o.value("family").toString(o.value("base").toString("meter"));
    SimProfile p;
    if (family == QLatin1String("logger")) {
        p = logger();
    } else if (family == QLatin1String("meter")) {
        p = meter();
    } else {
        *error = QStringLiteral("unknown family \"%1\"").arg(family);
        return false;
    }
    // A file that lists its own stored data replaces the built-in data.
    if (o.contains("records"))
        p.records.clear();
    if (o.contains("runs"))
        p.runs.clear();

    qint64 n = 0;
    auto number = [&](const char *key, qint64 min, qint64 max, auto setter) {
        if (!o.contains(key))
            return true;
        if (!numberOf(o.value(key), min, max, &n)) {
            *error = wholeNumberRange(key, min, max);
            return false;
        }
        setter(n);
        return true;
    };
    auto date = [&](const char *key, QDate *d) {
        if (!o.contains(key))
            return true;
        const QDate parsed = QDate::fromString(o.value(key).toString(), Qt::ISODate);
        if (!parsed.isValid()) {
            *error = QStringLiteral("\"%1\" must be a date yyyy-mm-dd").arg(key);
            return false;
        }
        *d = parsed;
        return true;
    };

    if (o.contains("name"))
        p.name = o.value("name").toString();
    if (!number("typeCode", 0, 0xFFFFFFFFLL, [&](qint64 v) { p.typeCode = quint32(v); }) ||
        !number("serialNumber", 0, 0xFFFFFFFFLL, [&](qint64 v) { p.serialNumber = quint32(v); }) ||
        !number("firmware", 0, 0xFFFF, [&](qint64 v) { p.firmware = quint16(v); }) ||
        !number("keyInfoMarker", 0, 0xFF, [&](qint64 v) { p.keyInfoMarker = quint8(v); }) ||
        !number("recordCount", -1, 0xFFFF, [&](qint64 v) { p.recordCount = int(v); }) ||
        !number("interfaces", 1, 16, [&](qint64 v) { p.interfaces = int(v); }) ||
        !number("reportLength", 3, 4096, [&](qint64 v) { p.reportLength = int(v); }) ||
        !number("reportIntervalUs", 0, 1000000, [&](qint64 v) { p.reportIntervalUs = int(v); }) ||
        !date("productionDate", &p.productionDate) || !date("calibrationDate", &p.calibrationDate))
        return false;
    if (o.contains("usbSerial"))
        p.usbSerial = o.value("usbSerial").toString();
    if (o.contains("keyInfoSupported"))
        p.keyInfoSupported = o.value("keyInfoSupported").toBool();
    if (o.contains("productionInfoErased"))
        p.productionInfoErased = o.value("productionInfoErased").toBool();
    if (o.contains("probeConnected"))
        p.probeConnected = o.value("probeConnected").toBool();
    if (o.contains("usbFrames"))
        p.usbFrames = o.value("usbFrames").toBool();
    if (o.contains("block60") &&
        !readBytesArray(o.value("block60"), p.block60, 4, error, "block60"))
        return false;
    if (o.contains("block80") &&
        !readBytesArray(o.value("block80"), p.block80, 4, error, "block80"))
        return false;
    if (o.contains("clock")) {
        p.clock = InstrumentClock::reading(
            QDateTime::fromString(o.value("clock").toString(), Qt::ISODate));
        if (!p.clock.isValid()) {
            *error = QStringLiteral("\"clock\" must be a date-time yyyy-mm-ddThh:mm:ss");
            return false;
        }
    }

    const QJsonArray records = o.value("records").toArray();
    for (int i = 0; i < records.size(); ++i) {
        if (!entryIsObject(records, i, "record", error))
            return false;
        const QJsonObject ro = records.at(i).toObject();
        if (!typesOk(ro, {{"raw", S}}, QStringLiteral(" of record %1").arg(i + 1), error))
            return false;
        SimMeterRecord r;
        if (ro.contains("raw")) {
            r.raw = QByteArray::fromHex(ro.value("raw").toString().toLatin1());
            if (r.raw.size() != 24) {
                *error = QStringLiteral("a raw record needs 24 bytes");
                return false;
            }
        } else {
            const std::pair<const char *, float *> fields[] = {
                {"realTime", &r.realTime}, {"maximum", &r.maximum}, {"minimum", &r.minimum},
                {"average", &r.average},   {"energy", &r.energy},   {"duration", &r.duration}};
            for (const auto &[key, field] : fields) {
                // A value left out is 0.
                if (ro.contains(QLatin1String(key)) && !floatOf(ro.value(key), field)) {
                    *error = QStringLiteral("\"%1\" of record %2 must be a number in %3")
                                 .arg(key)
                                 .arg(i + 1)
                                 .arg(floatRange());
                    return false;
                }
            }
        }
        p.records.append(r);
    }
    const QJsonArray runs = o.value("runs").toArray();
    for (int i = 0; i < runs.size(); ++i) {
        if (!entryIsObject(runs, i, "run", error))
            return false;
        const QJsonObject ro = runs.at(i).toObject();
        if (!typesOk(ro, {{"raw", S}, {"start", S}, {"samples", A}},
                     QStringLiteral(" of run %1").arg(i + 1), error))
            return false;
        SimLoggerRun r;
        if (ro.contains("raw")) {
            r.raw = QByteArray::fromHex(ro.value("raw").toString().toLatin1());
        } else {
            r.start = InstrumentClock::reading(
                QDateTime::fromString(ro.value("start").toString(), Qt::ISODate));
            if (!r.start.isValid()) {
                *error = QStringLiteral("a run needs \"start\" as yyyy-mm-ddThh:mm:ss");
                return false;
            }
            for (const QJsonValue &s : ro.value("samples").toArray()) {
                float sample = 0;
                if (!floatOf(s, &sample)) {
                    *error = QStringLiteral("\"samples\" of run %1 holds a value outside %2")
                                 .arg(i + 1)
                                 .arg(floatRange());
                    return false;
                }
                r.samples.append(sample);
            }
        }
        p.runs.append(r);
    }
    const QJsonArray faults = o.value("faults").toArray();
    for (int i = 0; i < faults.size(); ++i) {
        if (!entryIsObject(faults, i, "fault", error))
            return false;
        const QJsonObject fo = faults.at(i).toObject();
        if (!typesOk(fo, {{"kind", S}}, QStringLiteral(" of fault %1").arg(i + 1), error))
            return false;
        SimFault f;
        if (!kindFromName(fo.value("kind").toString(), &f.kind)) {
            *error = QStringLiteral("unknown fault kind \"%1\"").arg(fo.value("kind").toString());
            return false;
        }
        // -1 stands for any command, any address, every matching request.
        struct Field
        {
            const char *key;
            qint64 min, max;
            std::function<void(qint64)> set;
        };
        const Field fields[] = {
            {"command", -1, 0xFF, [&](qint64 x) { f.command = int(x); }},
            {"address", -1, 0xFFFFFFFFLL, [&](qint64 x) { f.address = x; }},
            {"skip", 0, std::numeric_limits<int>::max(), [&](qint64 x) { f.skip = int(x); }},
            {"times", -1, std::numeric_limits<int>::max(), [&](qint64 x) { f.times = int(x); }},
            {"value", 0, 0xFFFF, [&](qint64 x) { f.value = int(x); }},
            {"delayMs", 0, 600000, [&](qint64 x) { f.delayMs = int(x); }},
        };
        for (const Field &field : fields) {
            if (!fo.contains(field.key))
                continue;
            qint64 x = 0;
            if (!numberOf(fo.value(field.key), field.min, field.max, &x)) {
                *error = wholeNumberRange(field.key, field.min, field.max) +
                         QStringLiteral(" (fault %1)").arg(i + 1);
                return false;
            }
            field.set(x);
        }
        p.faults.append(f);
    }
    *out = p;
    return true;
}

bool SimProfile::load(const QString &nameOrPath, SimProfile *out, QString *error)
{
    if (nameOrPath == QLatin1String("meter")) {
        *out = meter();
        return true;
    }
    if (nameOrPath == QLatin1String("logger")) {
        *out = logger();
        return true;
    }
    // Only a regular file is a profile. A FIFO would hold the open until
    // some writer comes, a device would be read from without end: opened
    // without waiting, they are refused by what the descriptor is.
    const int fd =
        ::open(QFile::encodeName(nameOrPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("cannot read profile %1: %2")
                         .arg(nameOrPath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        if (error)
            *error = QStringLiteral("profile %1 is not a regular file").arg(nameOrPath);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error)
            *error =
                QStringLiteral("cannot read profile %1: %2").arg(nameOrPath, file.errorString());
        return false;
    }
    // A profile is a few kilobytes; a huge file is not read whole.
    const QByteArray json = file.read(kMaxProfileBytes + 1);
    if (json.size() > kMaxProfileBytes) {
        if (error)
            *error = QStringLiteral("profile %1 is larger than %2 MiB")
                         .arg(nameOrPath)
                         .arg(kMaxProfileBytes >> 20);
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error =
                QStringLiteral("cannot read profile %1: %2").arg(nameOrPath, file.errorString());
        return false;
    }
    QString why;
    if (!fromJson(json, out, &why)) {
        if (error)
            *error = QStringLiteral("profile %1: %2").arg(nameOrPath, why);
        return false;
    }
    if (out->name.isEmpty())
        out->name = nameOrPath;
    return true;
}
