#include "protocol/settings.h"

#include "measurement/meterdata.h"

#include <QSet>

namespace {

// Bytes written where the blocks hold no setting.
constexpr int kFillerTen = 10;
constexpr int kFillerZero = 0;

struct Choice
{
    const char *text; // as shown and accepted
    int value;
};

const Choice kOnOff[] = {{"off", 0}, {"on", 1}};
const Choice kYesNo[] = {{"no", 0}, {"yes", 1}, {"off", 0}, {"on", 1}};
const Choice kSmoothing[] = {{"off", 0}, {"50hz", 1}, {"60hz", 2}, {"50", 1}, {"60", 2}};
const Choice kInterval[] = {{"1s", 0}, {"10s", 1}, {"60s", 2}, {"1", 0}, {"10", 1}, {"60", 2}};

template <size_t N> int choiceValue(const Choice (&choices)[N], const QString &text)
{
    const QString t = text.trimmed().toLower();
    for (const Choice &c : choices) {
        if (t == QLatin1String(c.text))
            return c.value;
    }
    return -1;
}

template <size_t N> QString choiceText(const Choice (&choices)[N], int value)
{
    for (const Choice &c : choices) {
        if (c.value == value)
            return QLatin1String(c.text);
    }
    return QStringLiteral("unknown");
}

// The shown choices, for messages: the first entry of every value.
template <size_t N> QString choiceList(const Choice (&choices)[N])
{
    QStringList texts;
    QSet<int> seen;
    for (const Choice &c : choices) {
        if (!seen.contains(c.value)) {
            seen.insert(c.value);
            texts << QLatin1String(c.text);
        }
    }
    return texts.join(QLatin1String(", "));
}

bool inRange(int value, int first, int last)
{
    return value >= first && value <= last;
}

// Splits "key=value" assignments; false with a reason for a malformed one or
// a key given twice.
bool splitAssignments(const QStringList &assignments, QList<QPair<QString, QString>> *out,
                      QString *error)
{
    QSet<QString> seen;
    for (const QString &a : assignments) {
        const int eq = a.indexOf(QLatin1Char('='));
        if (eq <= 0 || eq == a.size() - 1) {
            *error = QStringLiteral("\"%1\" is not a setting; write KEY=VALUE").arg(a);
            return false;
        }
        const QString key = a.left(eq).trimmed().toLower();
        if (seen.contains(key)) {
            *error = QStringLiteral("%1 is given twice").arg(key);
            return false;
        }
        seen.insert(key);
        out->append({key, a.mid(eq + 1).trimmed()});
    }
    return true;
}

QString unknownKey(const QString &key, const QStringList &keys, const char *family)
{
    return QStringLiteral("unknown setting \"%1\"; the %2 has %3")
        .arg(key, QLatin1String(family), keys.join(QLatin1String(", ")));
}

} // namespace

// ---- Meter -----------------------------------------------------------------

void MeterSettings::takeBlock80(const ConfigBlock &block)
{
    if (inRange(block[0], 0, 1))
        autoOff = block[0];
    if (inRange(block[3], 0, 1))
        energyDisplay = block[3];
}

void MeterSettings::takeBlock60(const ConfigBlock &block)
{
    if (inRange(block[2], 0, 2))
        smoothing = block[2];
    if (inRange(block[3], 0, MeterUnits::kUnitCount - 1))
        unit = block[3];
}

void MeterSettings::takeBadBlock80()
{
    autoOff = 1;
    energyDisplay = 0;
}

void MeterSettings::takeBadBlock60()
{
    smoothing = 0;
    unit = MeterUnits::MicroWattPerCm2;
}

ConfigBlock MeterSettings::block80() const
{
    return {autoOff, kFillerTen, kFillerZero, energyDisplay};
}

ConfigBlock MeterSettings::block60() const
{
    return {kFillerZero, kFillerTen, smoothing, unit};
}

bool MeterSettings::smoothingSelectable(const QString &model)
{
    const MeterUnits::ControlProfile *profile = MeterUnits::profileForModel(model);
    return !profile || profile->smoothUsable;
}

bool MeterSettings::unitSelectable(const QString &model, int unit)
{
    if (!inRange(unit, 0, MeterUnits::kUnitCount - 1))
        return false;
    const MeterUnits::ControlProfile *profile = MeterUnits::profileForModel(model);
    return !profile || profile->unitUsable[unit];
}

QString MeterSettings::unitText(int unit) { return MeterUnits::powerUnitText(unit); }

QString MeterSettings::energyUnitText(int unit) { return MeterUnits::energyUnitText(unit); }

QString MeterSettings::unitAsciiText(int unit)
{
    return unitText(unit)
        .replace(QStringLiteral("μ"), QStringLiteral("u"))
        .replace(QStringLiteral("²"), QStringLiteral("2"));
}

int MeterSettings::unitFromText(const QString &text)
{
    QString t = text.trimmed();
    // Micro as the Greek letter, the micro sign or u; squared as ² or 2.
    t.replace(QChar(0x00B5), QLatin1Char('u')).replace(QChar(0x03BC), QLatin1Char('u'));
    t.replace(QChar(0x00B2), QLatin1Char('2'));
    t = t.toLower();
    for (int u = 0; u < MeterUnits::kUnitCount; ++u) {
        if (t == unitAsciiText(u).toLower())
            return u;
    }
    return -1;
}

QStringList MeterSettings::keys()
{
    return {QStringLiteral("auto-off"), QStringLiteral("smoothing"), QStringLiteral("unit"),
            QStringLiteral("energy-display")};
}

QStringList MeterSettings::toText() const
{
    return {QStringLiteral("auto-off=") + choiceText(kOnOff, autoOff),
            QStringLiteral("smoothing=") + choiceText(kSmoothing, smoothing),
            QStringLiteral("unit=") + (unit < 0 ? QStringLiteral("unknown") : unitText(unit)),
            QStringLiteral("energy-display=") + choiceText(kYesNo, energyDisplay)};
}

bool MeterSettings::apply(const QStringList &assignments, const QString &model, QString *error)
{
    QList<QPair<QString, QString>> pairs;
    if (!splitAssignments(assignments, &pairs, error))
        return false;
    MeterSettings next = *this;
    QSet<QString> given;
    for (const auto &[key, value] : qAsConst(pairs)) {
        given.insert(key);
        if (key == QLatin1String("auto-off")) {
            next.autoOff = choiceValue(kOnOff, value);
            if (next.autoOff < 0) {
                *error = QStringLiteral("auto-off must be on or off, not \"%1\"").arg(value);
                return false;
            }
        } else if (key == QLatin1String("energy-display")) {
            next.energyDisplay = choiceValue(kYesNo, value);
            if (next.energyDisplay < 0) {
                *error = QStringLiteral("energy-display must be yes or no, not \"%1\"").arg(value);
                return false;
            }
        } else if (key == QLatin1String("smoothing")) {
            next.smoothing = choiceValue(kSmoothing, value);
            if (next.smoothing < 0) {
                *error = QStringLiteral("smoothing must be one of %1, not \"%2\"")
                             .arg(choiceList(kSmoothing), value);
                return false;
            }
            if (!smoothingSelectable(model)) {
                *error = QStringLiteral("the %1 has no smoothing setting").arg(model);
                return false;
            }
        } else if (key == QLatin1String("unit")) {
            next.unit = unitFromText(value);
            if (next.unit < 0) {
                *error =
                    QStringLiteral("unit must be one of uW/cm2, mW/cm2, W/cm2, W/m2, not \"%1\"")
                        .arg(value);
                return false;
            }
            if (!unitSelectable(model, next.unit)) {
                *error =
                    QStringLiteral("the %1 does not measure in %2").arg(model, unitText(next.unit));
                return false;
            }
        } else {
            *error = unknownKey(key, keys(), "Meter");
            return false;
        }
    }
    // What the instrument held and cannot be written back as it was.
    if (next.autoOff < 0 || next.energyDisplay < 0 || next.unit < 0 ||
        (next.smoothing < 0 && smoothingSelectable(model))) {
        const QString missing = next.autoOff < 0         ? QStringLiteral("auto-off")
                                : next.energyDisplay < 0 ? QStringLiteral("energy-display")
                                : next.unit < 0          ? QStringLiteral("unit")
                                                         : QStringLiteral("smoothing");
        *error =
            QStringLiteral("the instrument's %1 could not be read; give %1=VALUE").arg(missing);
        return false;
    }
    *this = next;
    return true;
}

// ---- Logger ----------------------------------------------------------------

void LoggerSettings::takeBlock80(const ConfigBlock &block)
{
    if (inRange(block[0], 0, 1))
        autoOff = block[0];
    shutdownMinutes = block[1];
    if (inRange(block[2], 0, 2))
        interval = block[2];
}

LoggerSettings LoggerSettings::afterBadBlock()
{
    LoggerSettings s;
    s.autoOff = 1;
    s.shutdownMinutes = 3;
    s.interval = 0;
    return s;
}

ConfigBlock LoggerSettings::block80() const
{
    return {autoOff, shutdownMinutes, interval, kFillerZero};
}

int LoggerSettings::minutesFromText(const QString &text)
{
    bool ok = false;
    const int minutes = text.toInt(&ok, 10);
    return ok ? minutes : 0;
}

int LoggerSettings::intervalSeconds(int code)
{
    switch (code) {
    case 0:
        return 1;
    case 1:
        return 10;
    case 2:
        return 60;
    default:
        return 0;
    }
}

QStringList LoggerSettings::keys()
{
    return {QStringLiteral("auto-off"), QStringLiteral("auto-off-minutes"),
            QStringLiteral("interval")};
}

QStringList LoggerSettings::toText() const
{
    return {QStringLiteral("auto-off=") + choiceText(kOnOff, autoOff),
            QStringLiteral("auto-off-minutes=") + QString::number(shutdownMinutes),
            QStringLiteral("interval=") + choiceText(kInterval, interval)};
}

bool LoggerSettings::apply(const QStringList &assignments, QString *error)
{
    QList<QPair<QString, QString>> pairs;
    if (!splitAssignments(assignments, &pairs, error))
        return false;
    LoggerSettings next = *this;
    bool minutesGiven = false;
    bool intervalGiven = false;
    bool autoOffGiven = false;
    for (const auto &[key, value] : qAsConst(pairs)) {
        if (key == QLatin1String("auto-off")) {
            autoOffGiven = true;
            next.autoOff = choiceValue(kOnOff, value);
            if (next.autoOff < 0) {
                *error = QStringLiteral("auto-off must be on or off, not \"%1\"").arg(value);
                return false;
            }
        } else if (key == QLatin1String("auto-off-minutes")) {
            minutesGiven = true;
            bool ok = false;
            next.shutdownMinutes = value.toInt(&ok, 10);
            if (!ok || !minutesValid(next.shutdownMinutes)) {
                *error = QStringLiteral("auto-off-minutes must be a whole number from %1 to %2, "
                                        "not \"%3\"")
                             .arg(MinMinutes)
                             .arg(MaxMinutes)
                             .arg(value);
                return false;
            }
        } else if (key == QLatin1String("interval")) {
            intervalGiven = true;
            next.interval = choiceValue(kInterval, value);
            if (next.interval < 0) {
                *error = QStringLiteral("interval must be one of %1, not \"%2\"")
                             .arg(choiceList(kInterval), value);
                return false;
            }
        } else {
            *error = unknownKey(key, keys(), "Logger");
            return false;
        }
    }
    if (next.autoOff < 0) {
        *error = QStringLiteral("the instrument's auto-off could not be read; give auto-off=on or "
                                "auto-off=off");
        return false;
    }
    if (next.autoOff == 1) {
        if (intervalGiven) {
            *error = QStringLiteral("the storage interval can only be chosen with auto-off=off");
            return false;
        }
        if (!minutesValid(next.shutdownMinutes)) {
            *error = QStringLiteral("the instrument holds auto-off-minutes=%1; give "
                                    "auto-off-minutes=%2..%3")
                         .arg(next.shutdownMinutes)
                         .arg(MinMinutes)
                         .arg(MaxMinutes);
            return false;
        }
        // Not in use while auto off is on: 1 s, as the page starts.
        if (next.interval < 0)
            next.interval = 0;
    } else {
        if (minutesGiven) {
            *error = QStringLiteral("auto-off-minutes can only be set with auto-off=on");
            return false;
        }
        // Switching auto off off puts 10 minutes in, as the page's OFF button
        // does; so does a minutes byte that the page would refuse to write.
        if ((autoOffGiven && autoOff != 0) || !minutesValid(next.shutdownMinutes))
            next.shutdownMinutes = MinutesWhileOff;
        if (next.interval < 0) {
            *error = QStringLiteral("the instrument's interval could not be read; give "
                                    "interval=1s, 10s or 60s");
            return false;
        }
    }
    *this = next;
    return true;
}
