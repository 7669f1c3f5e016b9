#include "measurement/verdict.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtMath>

#include <cmath>

namespace Verdict {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Verdict", text);
}

struct Key
{
    const char *name;
    std::optional<double> Limits::*field;
};

const Key kKeys[] = {{"dose-min", &Limits::doseMin},
                     {"dose-max", &Limits::doseMax},
                     {"peak-min", &Limits::peakMin},
                     {"peak-max", &Limits::peakMax},
                     {"time-above-min", &Limits::timeAboveMin}};

} // namespace

double atSamplePrecision(double value)
{
    if (!qIsFinite(value) || value == 0)
        return value;
    // The nearest double of the 7-digit decimal: two figures equal to 7
    // digits become the same double, and so does a limit typed as that
    // decimal, however the figure's binary value lay about it.
    return QString::number(value, 'g', kSignificantDigits).toDouble();
}

QString figureText(double value)
{
    if (!qIsFinite(value))
        return QString::number(value);
    const double rounded = atSamplePrecision(value);
    if (rounded == 0)
        return QStringLiteral("0");
    // Fixed notation with the decimals the 7 digits reach, without the
    // zeros at the end: 1005.4, 1058.304, 0.0001234567.
    const int integerDigits = int(std::floor(std::log10(std::fabs(rounded)))) + 1;
    QString text = QString::number(rounded, 'f', qBound(0, kSignificantDigits - integerDigits, 30));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

Result judge(const UvFigures::Figures &f, const Limits &limits)
{
    Result r;
    const double dose = atSamplePrecision(UvFigures::toMilliJoulePerCm2(f.dose));
    const double peak = atSamplePrecision(f.peak);
    const double timeAbove = atSamplePrecision(qMax(0.0, f.aboveThreshold));
    const double measured[] = {dose, dose, peak, peak, timeAbove};
    for (int i = 0; i < 5; ++i) {
        const std::optional<double> &limit = limits.*(kKeys[i].field);
        if (!limit)
            continue;
        // A minimum is met from it upwards, a maximum up to it.
        const bool isMax = i == 1 || i == 3;
        const bool passed = isMax ? measured[i] <= *limit : measured[i] >= *limit;
        r.checks << Check{QLatin1String(kKeys[i].name), measured[i], *limit, passed};
        r.pass = r.pass && passed;
    }
    return r;
}

bool parse(const QString &text, Limits *limits, QString *error)
{
    Limits l;
    bool thresholdGiven = false;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        const QString key = part.left(eq).trimmed();
        bool ok = false;
        const double value = eq < 0 ? 0 : part.mid(eq + 1).trimmed().toDouble(&ok);
        if (!ok || !qIsFinite(value)) {
            *error = tr("\"%1\" is no limit KEY=NUMBER.").arg(part.trimmed());
            return false;
        }
        if (key == QLatin1String("threshold")) {
            if (thresholdGiven) {
                *error = tr("The limit %1 is given twice.").arg(key);
                return false;
            }
            thresholdGiven = true;
            l.threshold = value;
            l.thresholdSet = true;
            continue;
        }
        const Key *found = nullptr;
        for (const Key &k : kKeys) {
            if (key == QLatin1String(k.name))
                found = &k;
        }
        if (!found) {
            *error = tr("There is no limit \"%1\"; the limits are dose-min, dose-max, peak-min, "
                        "peak-max, time-above-min and threshold.")
                         .arg(key);
            return false;
        }
        if (l.*(found->field)) {
            *error = tr("The limit %1 is given twice.").arg(key);
            return false;
        }
        l.*(found->field) = value;
    }
    if ((l.doseMin && l.doseMax && *l.doseMin > *l.doseMax) ||
        (l.peakMin && l.peakMax && *l.peakMin > *l.peakMax)) {
        *error = tr("A minimum is above its maximum.");
        return false;
    }
    if (l.timeAboveMin && !thresholdGiven) {
        *error = tr("time-above-min needs a threshold.");
        return false;
    }
    *limits = l;
    return true;
}

QString toText(const Limits &limits)
{
    QStringList parts;
    for (const Key &k : kKeys) {
        if (const std::optional<double> &v = limits.*(k.field))
            parts << QStringLiteral("%1=%2").arg(QLatin1String(k.name)).arg(*v, 0, 'g', 12);
    }
    if (limits.timeAboveMin || limits.thresholdSet)
        parts << QStringLiteral("threshold=%1").arg(limits.threshold, 0, 'g', 12);
    return parts.join(QLatin1Char(','));
}

} // namespace Verdict
