#pragma once

// Runs of a Logger drawn on a QCustomPlot: one graph per run on a time axis
// (elapsed seconds or the clock time the instrument recorded), optionally
// laid over a reference run with a tolerance band, and a threshold line.
// The window's curve page, the report and vantrel-cli draw through it.

#include "measurement/loggerdata.h"
#include "measurement/runcomparison.h"

#include <QList>
#include <QString>

#include <optional>

class QCustomPlot;

namespace RunPlot {

enum class TimeAxis
{
    Elapsed,
    Clock
};

struct Options
{
    TimeAxis time = TimeAxis::Elapsed;
    RunComparison::Alignment alignment = RunComparison::Alignment::Start;
    int reference = -1;              // index in runs of the reference; -1: none
    double tolerancePercent = 5;     // the band around the reference
    std::optional<double> threshold; // μW/cm², drawn as a horizontal line
};

// Where show() put each run, for markers and readouts:
// key of second t of run i = origin + offsets[i] + t.
struct Layout
{
    // 0 (Elapsed) or the start of the first run that has one, as seconds
    // since the epoch of its wall-clock reading taken as UTC (Clock); runs
    // are aligned to that run.
    double origin = 0;
    QList<double> offsets; // per run
    // Per run against the reference, one for each run (an empty Band for the
    // reference itself); no entries without a reference or with an error.
    QList<RunComparison::Band> bands;
    QString error; // why the reference band is not drawn; empty otherwise
    // The axis drawn: Elapsed where Clock was asked but no run has a start
    // time, which timeNote then says.
    TimeAxis time = TimeAxis::Elapsed;
    QString timeNote;
};

// Clears the plot and shows the runs: graph i is run i, distinct colours,
// named by run number and start time; bottom axis elapsed seconds or clock
// time, left axis irradiance, both titled with units in the current
// language; a legend when more than one run; the reference band and the
// excursions when a reference is chosen; the threshold line.
// After the runs' graphs come the band's upper and lower edge, then one
// graph per run that leaves the band (its excursions), neither in the
// legend. The plot's items (markers, the threshold line) are cleared too:
// add markers after show(). Interactions are left as they are. With more
// than 8 runs the legend sits below the axis rectangle, else in its top
// right corner. It holds at most 28 entries: with more runs it names the
// first ones (and the reference) and ends with an entry "... and N more
// runs", the name of one more graph, last and empty. The work is linear in
// the runs and their samples.
Layout show(QCustomPlot *plot, const QList<LoggerRunData> &runs, const Options &options);

// Empties the plot of its graphs, items and legend entries in time linear
// in their number. QCustomPlot on its own (clearGraphs, and its destructor)
// takes each graph's legend entry out alone and lays every remaining entry
// out again after each: with thousands of runs that is minutes. A plot
// that may hold many runs is cleared with this before it is destroyed.
void clear(QCustomPlot *plot);

} // namespace RunPlot
