#include "measurement/runcomparison.h"

#include <QCoreApplication>
#include <QtMath>

#include <algorithm>

namespace RunComparison {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RunComparison", text);
}

// The reference on straight lines between its samples at time t (s on its
// own axis); false where it has no value.
bool referenceAt(const QVector<float> &reference, double interval, double t, double *value)
{
    const int m = reference.size();
    if (m == 0 || t < 0)
        return false;
    if (m == 1 || interval <= 0) {
        if (t != 0)
            return false;
        *value = double(reference.first());
        return qIsFinite(*value);
    }
    const double position = t / interval;
    if (position > m - 1)
        return false;
    const int j = qMin(int(position), m - 2);
    const double a = double(reference.at(j));
    const double b = double(reference.at(j + 1));
    *value = a + (b - a) * (position - j);
    return qIsFinite(*value);
}

} // namespace

Span between(const QVector<float> &samples, double interval, double from, double to,
             UvFigures::DoseRule rule)
{
    Span s;
    const double end = UvFigures::curveEnd(samples.size(), interval, rule);
    if (from > to)
        std::swap(from, to);
    s.from = qBound(0.0, from, end);
    s.to = qBound(0.0, to, end);
    s.seconds = s.to - s.from;
    s.dose = UvFigures::doseBetween(samples, interval, rule, s.from, s.to);
    s.mean = s.seconds > 0 ? s.dose / s.seconds : 0;
    for (int i = 0; i < samples.size(); ++i) {
        const double t = i * interval;
        // A held sample counts where its interval meets the span.
        const bool inside = rule == UvFigures::DoseRule::SampleHold
                                ? t < s.to && t + interval > s.from
                                : t >= s.from && t <= s.to;
        const double v = double(samples.at(i));
        if (inside && qIsFinite(v) && (!s.hasPeak || v > s.peak)) {
            s.peak = v;
            s.hasPeak = true;
        }
    }
    return s;
}

double offset(const QVector<float> &samples, double interval, Alignment alignment)
{
    if (alignment == Alignment::Start)
        return 0;
    const UvFigures::Figures f = UvFigures::compute(samples, interval);
    return f.hasWindow ? -f.windowStart : 0;
}

bool compare(const QVector<float> &run, double runInterval, const QVector<float> &reference,
             double referenceInterval, double tolerancePercent, Alignment alignment, Band *band,
             QString *error)
{
    if (!(tolerancePercent > 0)) {
        *error = tr("The tolerance must be more than 0 %.");
        return false;
    }
    if (!(runInterval > 0) || !(referenceInterval > 0)) {
        *error = tr("A run without a storage interval cannot be compared.");
        return false;
    }
    if (reference.isEmpty()) {
        *error = tr("The reference run has no samples.");
        return false;
    }
    Band b;
    const double runOffset = offset(run, runInterval, alignment);
    const double referenceOffset = offset(reference, referenceInterval, alignment);
    bool leaving = false;
    for (int i = 0; i < run.size(); ++i) {
        const double t = i * runInterval;
        double r = 0;
        if (!referenceAt(reference, referenceInterval, t + runOffset - referenceOffset, &r)) {
            leaving = false;
            continue;
        }
        ++b.compared;
        const double v = double(run.at(i));
        const bool inside = qIsFinite(v) && qAbs(v - r) <= qAbs(r) * tolerancePercent / 100.0;
        if (inside) {
            ++b.inside;
            leaving = false;
        } else if (leaving) {
            b.excursions.last().second = t + runInterval;
        } else {
            b.excursions.append({t, t + runInterval});
            leaving = true;
        }
    }
    b.insideShare = b.compared > 0 ? double(b.inside) / b.compared : 0;
    *band = b;
    return true;
}

} // namespace RunComparison
