#pragma once

// Reading a curve: the figures between two markers, a run held against a
// reference run within a tolerance, and limits that give a run a verdict.

#include "measurement/uvfigures.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

namespace RunComparison {

// The figures of the part of a run between two times (s from its start, in
// either order), under the rule: span, mean over the span (dose / span),
// the highest sample inside, and the dose. Times outside the run are taken
// to its ends; a span of 0 has no mean.
struct Span
{
    double from = 0;
    double to = 0;
    double seconds = 0;
    double dose = 0; // μJ/cm²
    double mean = 0; // μW/cm²
    double peak = 0; // μW/cm²; 0 without a sample inside
    bool hasPeak = false;
};
Span between(const QVector<float> &samples, double interval, double from, double to,
             UvFigures::DoseRule rule = UvFigures::DoseRule::SampleHold);

// How a run is laid over a reference: both from their starts, or both from
// the start of their exposure windows.
enum class Alignment
{
    Start,
    ExposureWindow
};

// The seconds to add to a run's own times to place it on the common axis.
double offset(const QVector<float> &samples, double interval, Alignment alignment);

// The run held against the reference within +-tolerance percent of the
// reference's value at each of the run's samples (the reference read on
// straight lines between its own samples, on the common axis). Samples
// where the reference has no value (before its start, after its end) are
// outside the comparison. Each compared sample counts for one interval.
struct Band
{
    int compared = 0;
    int inside = 0;
    double insideShare = 0; // inside / compared; 0 when nothing was compared
    // Where the run leaves the band: from, to in s on the run's own axis.
    QList<QPair<double, double>> excursions;
};
// False (and *error) for a tolerance of 0 or less, an interval of 0, or a
// reference without samples.
bool compare(const QVector<float> &run, double runInterval, const QVector<float> &reference,
             double referenceInterval, double tolerancePercent, Alignment alignment, Band *band,
             QString *error);

} // namespace RunComparison
