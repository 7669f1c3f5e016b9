#pragma once

// vantrel-cli plot: Logger runs drawn to a picture (PNG, JPEG) or a vector
// file (SVG, PDF), one run or several overlaid, optionally against a
// reference run with a tolerance band. The runs come from the instrument or
// a saved measurement file; reading them is the verbs' business, choosing
// and drawing them is this file's.

#include "measurement/loggerdata.h"
#include "plot/plotexport.h"
#include "plot/runplot.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Cli {

struct CommandLine;

struct PlotRequest
{
    QList<int> runs; // --run numbers in their order; empty: the first run (all with --overlay)
    bool overlay = false;
    int referenceRun = 0;     // --reference-run; 0 for none
    QString referenceFile;    // --reference: the first run of this file is the reference
    RunPlot::Options options; // time axis, alignment, tolerance
    PlotExport::Size size;
    PlotExport::Format format = PlotExport::Format::Svg;
    QString output;
    QString source; // the measurement file to read; empty: the instrument

    // The run numbers to read from the source, in the order they are
    // drawn; empty for all of them.
    QList<int> sourceRuns() const;
};

// The plot command line, checked before any instrument or file is opened.
// False with the message for a wrong one.
bool parsePlot(const CommandLine &line, PlotRequest *request, QString *error);

struct PlotResult
{
    int exit = 0;         // Cli::Exit
    QString error;        // why it failed
    QStringList warnings; // what was drawn other than asked
    QStringList lines;    // for standard output: each run's share inside the band
};

// Chooses the runs to draw from those read (source) and the reference file's
// runs (reference, when --reference was given), draws them offscreen and
// writes the file.
PlotResult drawPlot(const PlotRequest &request, const LoggerData &source,
                    const LoggerData &reference);

} // namespace Cli
