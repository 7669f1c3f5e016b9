#include "measurement/uvfigures.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtMath>

#include <algorithm>
#include <vector>

namespace UvFigures {

namespace {

// One piece of the curve: from (t0, a) to (t1, b) in a straight line.
struct Piece
{
    double t0, t1, a, b;
    double valueAt(double t) const { return t1 > t0 ? a + (b - a) * (t - t0) / (t1 - t0) : a; }
    // The time in [t0, t1] where the line reaches level (a != b).
    double crossing(double level) const { return t0 + (level - a) / (b - a) * (t1 - t0); }
};

// A sample as the figures take it: not a number is a gap (no value),
// below zero is 0 (the instrument measures no negative irradiance; such a
// value is its detector's dark offset).
bool usable(float v)
{
    return !qIsNaN(v);
}

double valueOf(float v)
{
    return v > 0 ? double(v) : 0.0;
}

std::vector<Piece> curve(const QVector<float> &samples, double dt, DoseRule rule)
{
    std::vector<Piece> pieces;
    const int n = samples.size();
    pieces.reserve(size_t(n));
    if (rule == DoseRule::SampleHold) {
        for (int i = 0; i < n; ++i) {
            if (usable(samples[i]))
                pieces.push_back({i * dt, (i + 1) * dt, valueOf(samples[i]), valueOf(samples[i])});
        }
    } else if (n == 1) {
        if (usable(samples[0]))
            pieces.push_back({0, 0, valueOf(samples[0]), valueOf(samples[0])});
    } else {
        // A line needs both its ends: a gap takes the lines on either side.
        for (int i = 0; i + 1 < n; ++i) {
            if (usable(samples[i]) && usable(samples[i + 1]))
                pieces.push_back(
                    {i * dt, (i + 1) * dt, valueOf(samples[i]), valueOf(samples[i + 1])});
        }
    }
    return pieces;
}

double integral(const std::vector<Piece> &pieces, double from, double to)
{
    double sum = 0;
    for (const Piece &p : pieces) {
        const double s = std::max(from, p.t0);
        const double e = std::min(to, p.t1);
        if (e > s)
            sum += (p.valueAt(s) + p.valueAt(e)) / 2 * (e - s);
    }
    return sum;
}

double timeAbove(const std::vector<Piece> &pieces, double level)
{
    double total = 0;
    for (const Piece &p : pieces) {
        const bool aAbove = p.a > level;
        const bool bAbove = p.b > level;
        if (aAbove && bAbove)
            total += p.t1 - p.t0;
        else if (aAbove != bAbove)
            total += aAbove ? p.crossing(level) - p.t0 : p.t1 - p.crossing(level);
    }
    return total;
}

} // namespace

QString warningText(const Figures &figures)
{
    QStringList parts;
    if (figures.gaps > 0)
        parts << QCoreApplication::translate("UvFigures",
                                             "%n sample(s) were no number and are left out as gaps",
                                             nullptr, figures.gaps);
    if (figures.negatives > 0)
        parts << QCoreApplication::translate(
            "UvFigures", "%n sample(s) were below zero and count as 0", nullptr, figures.negatives);
    if (parts.isEmpty())
        return QString();
    return QCoreApplication::translate("UvFigures", "Figures of this run: %1.")
        .arg(parts.join(QStringLiteral("; ")));
}

QString ruleName(DoseRule rule)
{
    return rule == DoseRule::Trapezoid ? QStringLiteral("trapezoid")
                                       : QStringLiteral("sample-and-hold");
}

bool ruleFromName(const QString &name, DoseRule *rule)
{
    for (DoseRule r : {DoseRule::SampleHold, DoseRule::Trapezoid}) {
        if (name == ruleName(r)) {
            *rule = r;
            return true;
        }
    }
    return false;
}

double doseBetween(const QVector<float> &samples, double intervalSeconds, DoseRule rule,
                   double from, double to)
{
    return integral(curve(samples, intervalSeconds > 0 ? intervalSeconds : 0, rule), from, to);
}

double curveEnd(int samples, double intervalSeconds, DoseRule rule)
{
    if (samples <= 0)
        return 0;
    return (rule == DoseRule::SampleHold ? samples : samples - 1) * intervalSeconds;
}

Figures compute(const QVector<float> &samples, double intervalSeconds, const Options &options)
{
    Figures f;
    f.samples = samples.size();
    const double dt = intervalSeconds > 0 ? intervalSeconds : 0;
    int valid = 0;
    double sum = 0;
    bool peakFound = false;
    for (int i = 0; i < samples.size(); ++i) {
        const float v = samples[i];
        if (!usable(v)) {
            ++f.gaps;
            continue;
        }
        if (v < 0)
            ++f.negatives;
        ++valid;
        const double value = valueOf(v);
        sum += value;
        if (!peakFound || value > f.peak) {
            f.peak = value;
            f.peakTime = i * dt;
            peakFound = true;
        }
    }
    f.mean = valid > 0 ? sum / valid : 0;
    f.covered = options.rule == DoseRule::SampleHold ? valid * dt : 0;
    const std::vector<Piece> pieces = curve(samples, dt, options.rule);
    if (pieces.empty()) {
        if (options.hasThreshold)
            f.aboveThreshold = 0;
        return f;
    }
    if (options.rule == DoseRule::Trapezoid) {
        for (const Piece &p : pieces)
            f.covered += p.t1 - p.t0;
    }
    const double end = pieces.back().t1;
    f.dose = integral(pieces, 0, end);
    if (options.hasThreshold)
        f.aboveThreshold = timeAbove(pieces, options.threshold);

    if (f.peak > 0) {
        const double percent = qBound(0.0, options.windowPercent, 100.0);
        const double level = f.peak * percent / 100.0;
        auto reaches = [level](double v) { return v >= level; };
        bool started = false;
        for (const Piece &p : pieces) {
            if (!reaches(p.a) && !reaches(p.b))
                continue;
            if (!started) {
                f.windowStart = reaches(p.a) ? p.t0 : p.crossing(level);
                started = true;
            }
            f.windowEnd = reaches(p.b) ? p.t1 : p.crossing(level);
        }
        f.hasWindow = started;
        f.windowDose = integral(pieces, f.windowStart, f.windowEnd);
    }
    return f;
}

} // namespace UvFigures
