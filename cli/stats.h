#pragma once

// vantrel-cli stats: the UV figures of Logger runs as JSON or CSV.

#include "measurement/doseunit.h"
#include "measurement/loggerdata.h"
#include "measurement/uvfigures.h"

#include <QByteArray>

namespace Cli {

struct StatsOptions
{
    UvFigures::Options figures;
    DoseUnit::Unit doseUnit = DoseUnit::Unit::MilliJoulePerCm2;
};

// {"runs": [{"run", "start", "interval_s", "unit", "samples", "dose",
// "dose_unit", "dose_rule", "peak", "peak_time", "mean", "window_start",
// "window_end", "window_dose"[, "above_threshold_s"], "rounded_samples",
// "gaps", "negative_samples"}, ...]}; times in seconds from the run's start,
// the start as the instrument's clock gives it.
QByteArray statsJson(const LoggerData &data, const StatsOptions &options);
// The same fields as a CSV table, one row per run.
QByteArray statsCsv(const LoggerData &data, const StatsOptions &options);

} // namespace Cli
