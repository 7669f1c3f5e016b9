#include "measurement/verdict.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtMath>

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

Result judge(const UvFigures::Figures &f, const Limits &limits)
{
    Result r;
    const double dose = UvFigures::toMilliJoulePerCm2(f.dose);
    const double timeAbove = qMax(0.0, f.aboveThreshold);
    const double measured[] = {dose, dose, f.peak, f.peak, timeAbove};
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
