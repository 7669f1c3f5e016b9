#pragma once

// A run's verdict against limits: the dose within a minimum and a maximum,
// the peak within its own, and a minimum time above a threshold. Each limit
// is optional; a run passes when every limit given holds (no limit: PASS).

#include "measurement/uvfigures.h"

#include <QList>
#include <QString>

#include <optional>

namespace Verdict {

struct Limits
{
    std::optional<double> doseMin; // mJ/cm², under the rule of the figures judged
    std::optional<double> doseMax;
    std::optional<double> peakMin; // μW/cm²
    std::optional<double> peakMax;
    std::optional<double> timeAboveMin; // s above `threshold`
    double threshold = 0;               // μW/cm²
    // The threshold was given: the time above it is shown even without
    // timeAboveMin.
    bool thresholdSet = false;
    bool any() const { return doseMin || doseMax || peakMin || peakMax || timeAboveMin; }
};

// A figure is judged at the precision its samples carry: the instrument's
// single-precision values hold 7 significant decimal digits, and every
// figure made of them (dose, peak, time above) is rounded to 7 significant
// digits before it is compared with the limit as typed. A value shown as
// 1005.4 thus meets a maximum and a minimum of 1005.4, whatever binary
// fraction the sample 1005.4 is stored as. One rule for the window, the
// report, vantrel-cli and the archive.
constexpr int kSignificantDigits = 7;
double atSamplePrecision(double value);
// The figure as compared, in fixed notation without trailing zeros
// ("1005.4", "1058.304").
QString figureText(double value);

struct Check
{
    QString key;     // "dose-min", "peak-max", ... as in the limits' text
    double measured; // in the limit's unit, at the precision compared
    double limit;
    bool passed;
};

struct Result
{
    bool pass = true;
    QList<Check> checks; // in the order of the keys above
};

// The figures must have been computed with the threshold set when
// timeAboveMin is given (UvFigures::Options::hasThreshold).
Result judge(const UvFigures::Figures &figures, const Limits &limits);

// "dose-min=10,dose-max=50,peak-min=..,peak-max=..,time-above-min=..,threshold=..":
// any of the keys, each at most once, separated by commas. False with a
// message for an unknown key, a value that is no number, a key given twice,
// a minimum above its maximum, or time-above-min without a threshold.
bool parse(const QString &text, Limits *limits, QString *error);
// The limits back in that form (keys in the order above).
QString toText(const Limits &limits);

} // namespace Verdict
