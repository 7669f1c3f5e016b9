#pragma once

// The figures UV users check a Logger run with: the dose (radiant exposure,
// the time integral of irradiance), the peak and when it came, the mean,
// the time above a threshold and the exposure window.
//
// A run's samples are irradiance in μW/cm² taken every `interval` seconds;
// sample i belongs to the time i x interval from the start. Doses come in
// μW/cm² x s = μJ/cm² and are shown in mJ/cm² (or J/m²).
//
// Two rules say what the irradiance is between samples; every figure that
// depends on time follows the rule chosen, and the rule is named wherever a
// dose is shown:
//   sample-and-hold (the default): each sample holds for one interval, so a
//     run of n samples covers n x interval, the duration the table shows;
//     its curve changes only at sample edges, where its crossings lie.
//   trapezoid: straight lines between the samples, covering (n - 1) x
//     interval; crossings of a level are interpolated on those lines.
// Samples that are not numbers or are negative, one rule for every figure:
//   - a sample that is not a number (the instrument sent no valid value) is
//     a gap: no figure counts it. It holds no time under sample-and-hold;
//     under the trapezoid the lines to and from it are left out. The dose,
//     the mean, the peak, the window and the time above all skip it, so the
//     dose is the mean times the time covered.
//   - a negative sample counts as 0 irradiance in every figure: the
//     instrument measures no negative irradiance; such a value is its
//     detector's dark offset. A dose is never negative.
// The figures say how many of each a run had (gaps, negatives): figures
// from such a run are shown with a warning.

#include <QString>
#include <QVector>

namespace UvFigures {

enum class DoseRule
{
    SampleHold,
    Trapezoid
};

// "sample-and-hold", "trapezoid": the names files and the command line use.
QString ruleName(DoseRule rule);
// The rule of a name (either of the above); false for any other text.
bool ruleFromName(const QString &name, DoseRule *rule);

struct Options
{
    DoseRule rule = DoseRule::SampleHold;
    // The exposure window runs from the first to the last crossing of this
    // share of the peak, in percent (0 < p <= 100).
    double windowPercent = 10.0;
    // Time above this irradiance (μW/cm²) is computed when set.
    bool hasThreshold = false;
    double threshold = 0.0;
};

struct Figures
{
    int samples = 0;
    double dose = 0;     // μJ/cm², over the whole run
    double peak = 0;     // μW/cm²; 0 for a run without a valid sample
    double peakTime = 0; // s from the start, of the first sample at the peak
    double mean = 0;     // μW/cm², of the valid samples
    // The exposure window, s from the start; empty (start == end == 0,
    // dose 0) when the run has no sample above 0.
    bool hasWindow = false;
    double windowStart = 0;
    double windowEnd = 0;
    double windowDose = 0; // μJ/cm², inside the window
    // s with the irradiance strictly above the threshold; -1 without one.
    double aboveThreshold = -1;
    // Samples that were no number (gaps) and below zero (taken as 0).
    int gaps = 0;
    int negatives = 0;
    // s of the run the rule's curve covers, gaps left out.
    double covered = 0;
    bool needsWarning() const { return gaps > 0 || negatives > 0; }
};

// The warning figures of such a run carry, in the current language; empty
// when the run had neither.
QString warningText(const Figures &figures);

Figures compute(const QVector<float> &samples, double intervalSeconds,
                const Options &options = Options());

// The dose between two times (s from the start, from <= to) under the rule;
// the parts outside the run count nothing.
double doseBetween(const QVector<float> &samples, double intervalSeconds, DoseRule rule,
                   double from, double to);
// Where the rule's curve ends: n x interval (sample-and-hold) or (n - 1) x
// interval (trapezoid); 0 without samples.
double curveEnd(int samples, double intervalSeconds, DoseRule rule);

// μJ/cm² in mJ/cm² (the other units: measurement/doseunit.h).
inline double toMilliJoulePerCm2(double microJoulePerCm2)
{
    return microJoulePerCm2 / 1000.0;
}

} // namespace UvFigures
