#include "plot/runplot.h"

#include <QCoreApplication>
#include <QtMath>

#include <qcustomplot.h>

namespace RunPlot {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RunPlot", text);
}

// Twelve hues that stay apart on screen and printed in grey; runs 13 to 25
// take them again with dashed lines.
const QRgb kPalette[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b,
                         0xe377c2, 0x17becf, 0x7f7f7f, 0xbcbd22, 0x000080, 0x006400};
constexpr int kPaletteSize = int(sizeof(kPalette) / sizeof(kPalette[0]));

// Lines of 1.5 px while each run has a hue of its own; beyond that thin
// lines, which keep crowded curves apart and draw faster.
QPen runPen(int i, int count)
{
    QPen pen(QColor::fromRgb(kPalette[i % kPaletteSize]));
    pen.setWidthF(count > kPaletteSize ? 1 : 1.5);
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
    pen.setStyle(styles[(i / kPaletteSize) % 3]);
    return pen;
}

// The instrument's clock keeps no zone: its wall-clock reading is laid on
// the axis as if it were UTC, and the axis shows it back in UTC, so the
// time on the axis is the time the instrument recorded whatever this
// computer's zone.
bool clockKey(const QDateTime &start, double *key)
{
    if (!start.isValid())
        return false;
    *key = double(QDateTime(start.date(), start.time(), Qt::UTC).toSecsSinceEpoch());
    return true;
}

QString runName(const LoggerRunData &run)
{
    if (!run.start.isValid())
        return QCoreApplication::translate("RunPlot", "Run %1").arg(run.number);
    return QCoreApplication::translate("RunPlot", "Run %1, %2")
        .arg(run.number)
        .arg(LoggerText::startTime(run.start));
}

// Up to this many runs the legend sits in the plot's top right corner;
// more runs would cover the curves, and it goes below the plot in columns.
constexpr int kLegendInside = 8;
constexpr int kLegendColumns = 4;
// Below the plot the legend takes at most this many entries (seven rows,
// as the window's 25 runs with a reference band need): beyond them the
// runs' names would take the picture's whole height and leave no room for
// the curves. The last entry then says how many more runs are drawn.
constexpr int kLegendEntries = 28;

void placeLegend(QCustomPlot *plot, int runs)
{
    QCPLegend *legend = plot->legend;
    QCPLayoutGrid *outer = plot->plotLayout();
    QCPLayoutInset *inset = plot->axisRect()->insetLayout();
    const bool below = runs > kLegendInside;
    if (below && legend->layout() == inset) {
        inset->take(legend);
        outer->addElement(outer->rowCount(), 0, legend);
        // The row gets the legend's own height, the plot the rest.
        outer->setRowStretchFactor(outer->rowCount() - 1, 0.001);
    } else if (!below && legend->layout() == outer) {
        outer->take(legend);
        outer->simplify();
        inset->addElement(legend, Qt::AlignTop | Qt::AlignRight);
    }
    legend->setWrap(below ? kLegendColumns : 0);
    legend->setFillOrder(below ? QCPLayoutGrid::foColumnsFirst : QCPLayoutGrid::foRowsFirst);
    QFont font = legend->font();
    font.setPointSizeF(below ? 7.5 : 9);
    legend->setFont(font);
    legend->setVisible(runs > 1);
}

} // namespace

void clear(QCustomPlot *plot)
{
    // The legend's entries first, all at once: each cell emptied where it
    // is, the grid made small once.
    if (QCPLegend *legend = plot->legend) {
        for (int i = 0; i < legend->elementCount(); ++i) {
            if (legend->elementAt(i))
                delete legend->takeAt(i);
        }
        legend->simplify();
    }
    // Then the graphs from the first: each is found at the front of the
    // plot's and its layer's lists (from the last, each removal would search
    // the whole list).
    while (plot->graphCount() > 0)
        plot->removeGraph(0);
    plot->clearPlottables();
    plot->clearItems();
}

Layout show(QCustomPlot *plot, const QList<LoggerRunData> &runs, const Options &options)
{
    Layout layout;
    clear(plot);
    // Legend entries are added below, as many as the legend shows (adding
    // each graph's would also cost the square of the runs).
    const bool autoLegend = plot->autoAddPlottableToLegend();
    plot->setAutoAddPlottableToLegend(false);

    // Where each run lies when laid over the others: its own alignment
    // offset, counted from the first run's (in clock time the first run with
    // a start stays at the time it recorded; the others are laid over it).
    QList<double> own;
    for (const LoggerRunData &run : runs)
        own << RunComparison::offset(run.samples, run.intervalSeconds, options.alignment);
    int anchor = -1;
    if (options.time == TimeAxis::Clock) {
        for (int i = 0; i < runs.size() && anchor < 0; ++i) {
            if (clockKey(runs.at(i).start, &layout.origin))
                anchor = i;
        }
    }
    layout.time = anchor >= 0 ? TimeAxis::Clock : TimeAxis::Elapsed;
    if (options.time == TimeAxis::Clock && anchor < 0 && !runs.isEmpty())
        layout.timeNote = tr("No run has a start time: the time axis shows the time since "
                             "the start.");
    if (anchor < 0)
        layout.origin = 0;
    // Laid over one another, the runs share the anchor run's clock: the axis
    // says so, or a later run would seem to have been recorded at that time.
    if (anchor >= 0 && runs.size() > 1)
        layout.timeNote = tr("The time axis is the clock of run %1; the other runs are laid over "
                             "it.")
                              .arg(runs.at(anchor).number);
    for (int i = 0; i < runs.size(); ++i)
        layout.offsets << own.at(i) - (anchor >= 0 ? own.at(anchor) : 0);

    double first = 0;
    double last = 0;
    bool any = false;
    QCPGraph *band = nullptr; // the reference band's upper edge, named in the legend
    for (int i = 0; i < runs.size(); ++i) {
        const LoggerRunData &run = runs.at(i);
        QCPGraph *graph = plot->addGraph();
        graph->setName(runName(run));
        QPen pen = runPen(i, runs.size());
        if (i == options.reference)
            pen.setWidthF(2.5);
        graph->setPen(pen);
        const double base = layout.origin + layout.offsets.at(i);
        QVector<double> keys(run.samples.size());
        QVector<double> values(run.samples.size());
        for (int k = 0; k < run.samples.size(); ++k) {
            keys[k] = base + double(k) * run.intervalSeconds;
            values[k] = double(run.samples.at(k));
        }
        graph->setData(keys, values, true);
        if (!keys.isEmpty()) {
            first = any ? qMin(first, keys.first()) : keys.first();
            last = any ? qMax(last, keys.last()) : keys.last();
            any = true;
        }
    }

    // The reference: the band around it, each other run's share inside it
    // and the stretches where it leaves it.
    if (options.reference >= 0) {
        if (options.reference >= runs.size()) {
            layout.error =
                tr("There is no run %1 to take as the reference.").arg(options.reference + 1);
        } else {
            const LoggerRunData &reference = runs.at(options.reference);
            QList<RunComparison::Band> bands;
            for (int i = 0; i < runs.size() && layout.error.isEmpty(); ++i) {
                RunComparison::Band band;
                QString error;
                // The reference against itself checks the tolerance and the
                // reference when it is the only run.
                if (!RunComparison::compare(runs.at(i).samples, runs.at(i).intervalSeconds,
                                            reference.samples, reference.intervalSeconds,
                                            options.tolerancePercent, options.alignment, &band,
                                            &error))
                    layout.error = error;
                bands << (i == options.reference ? RunComparison::Band() : band);
            }
            if (layout.error.isEmpty()) {
                layout.bands = bands;
                const double base = layout.origin + layout.offsets.at(options.reference);
                const int n = reference.samples.size();
                QVector<double> keys(n);
                QVector<double> upper(n);
                QVector<double> lower(n);
                for (int k = 0; k < n; ++k) {
                    const double v = double(reference.samples.at(k));
                    const double d = qAbs(v) * options.tolerancePercent / 100.0;
                    keys[k] = base + double(k) * reference.intervalSeconds;
                    upper[k] = v + d;
                    lower[k] = v - d;
                }
                QCPGraph *high = plot->addGraph();
                QCPGraph *low = plot->addGraph();
                const QPen edge(QColor(120, 120, 120), 0.8, Qt::DotLine);
                high->setPen(edge);
                low->setPen(edge);
                high->setData(keys, upper, true);
                low->setData(keys, lower, true);
                low->setBrush(QColor(150, 150, 150, 70));
                low->setChannelFillGraph(high);
                high->setName(tr("Reference band ±%1 %").arg(options.tolerancePercent));
                band = high;
                // Drawn under the runs.
                high->setLayer(QStringLiteral("grid"));
                low->setLayer(QStringLiteral("grid"));

                for (int i = 0; i < runs.size(); ++i) {
                    const RunComparison::Band &band = layout.bands.at(i);
                    if (band.excursions.isEmpty())
                        continue;
                    const LoggerRunData &run = runs.at(i);
                    const double runBase = layout.origin + layout.offsets.at(i);
                    QVector<double> outKeys;
                    QVector<double> outValues;
                    for (const auto &stretch : band.excursions) {
                        double held = qQNaN();
                        for (int k = 0; k < run.samples.size(); ++k) {
                            const double t = double(k) * run.intervalSeconds;
                            if (t >= stretch.first && t < stretch.second) {
                                outKeys << runBase + t;
                                outValues << double(run.samples.at(k));
                                held = outValues.last();
                            }
                        }
                        // The last sample holds to the stretch's end (so a
                        // stretch of one sample shows), then a gap.
                        outKeys << runBase + stretch.second << runBase + stretch.second;
                        outValues << held << qQNaN();
                    }
                    // A translucent red stroke under the run's own line.
                    QCPGraph *out = plot->addGraph();
                    out->setPen(QPen(QColor(230, 0, 0, 110), 5));
                    out->setData(outKeys, outValues, true);
                    out->setLayer(QStringLiteral("grid"));
                }
            }
        }
    }
    if (!layout.error.isEmpty())
        layout.bands.clear();

    if (options.threshold) {
        auto *line = new QCPItemStraightLine(plot);
        line->point1->setCoords(0, *options.threshold);
        line->point2->setCoords(1, *options.threshold);
        line->setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
    }

    // The axes.
    if (layout.time == TimeAxis::Clock) {
        QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
        ticker->setDateTimeSpec(Qt::UTC);
        ticker->setDateTimeFormat(last - first > 86400 ? QStringLiteral("yyyy-MM-dd\nhh:mm")
                                                       : QStringLiteral("hh:mm:ss"));
        plot->xAxis->setTicker(ticker);
        plot->xAxis->setLabel(last - first > 86400 ? tr("Clock time")
                                                   : tr("Clock time (hh:mm:ss)"));
    } else {
        const bool windows = options.alignment == RunComparison::Alignment::ExposureWindow;
        if (last - first > 3600) {
            QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
            ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
            plot->xAxis->setTicker(ticker);
            plot->xAxis->setLabel(windows ? tr("Time since the exposure window's start (h:mm:ss)")
                                          : tr("Time since the start (h:mm:ss)"));
        } else {
            plot->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
            plot->xAxis->setLabel(windows ? tr("Time since the exposure window's start (s)")
                                          : tr("Time since the start (s)"));
        }
    }
    plot->yAxis->setLabel(tr("Irradiance (%1)").arg(LoggerUnits::powerUnitText()));

    // The legend: each run (the reference always), then the band; where
    // they are too many, the first runs and a last entry saying how many
    // more are drawn.
    const int named = runs.size() + (band ? 1 : 0) > kLegendEntries
                          ? kLegendEntries - 1 - (band ? 1 : 0) - (options.reference >= 0 ? 1 : 0)
                          : runs.size();
    int left = 0;
    for (int i = 0; i < runs.size(); ++i) {
        if (i < named || i == options.reference)
            plot->graph(i)->addToLegend();
        else
            ++left;
    }
    if (band)
        band->addToLegend();
    if (left > 0) {
        QCPGraph *more = plot->addGraph();
        more->setPen(Qt::NoPen);
        more->setName(tr("... and %1 more runs").arg(left));
        more->addToLegend();
    }
    plot->setAutoAddPlottableToLegend(autoLegend);
    placeLegend(plot, runs.size());

    plot->rescaleAxes();
    if (options.threshold) {
        const QCPRange y = plot->yAxis->range();
        plot->yAxis->setRange(qMin(y.lower, *options.threshold), qMax(y.upper, *options.threshold));
    }
    if (!any) {
        plot->xAxis->setRange(layout.origin, layout.origin + 60);
        plot->yAxis->setRange(0, 100);
    }
    return layout;
}

} // namespace RunPlot
