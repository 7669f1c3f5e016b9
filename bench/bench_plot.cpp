// Plot export benchmarks: 25 overlaid runs of 606 samples written as SVG,
// PNG and PDF through RunPlot::show and PlotExport::write (layout, the
// drawing into memory, the safe write), each against a plain QCustomPlot
// export of the same 25 graphs (QSvgGenerator + toPainter, savePng,
// savePdf), which is the least any export of these curves can cost. The
// target is 1.5 x the plain export plus 20 ms for the safe write's sync.
// Usage: bench_plot [repetitions]

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "plot/plotexport.h"
#include "plot/runplot.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSvgGenerator>
#include <QTemporaryDir>

#include <qcustomplot.h>

namespace {

constexpr int kRuns = 25;
constexpr int kSamplesPerRun = 606;


// The same curves on a plain plot: one graph per run, nothing else.
void plain(QCustomPlot *plot, const QList<LoggerRunData> &runs)
{
    for (int r = 0; r < runs.size(); ++r) {
        QCPGraph *graph = plot->addGraph();
        QVector<double> keys;
        QVector<double> values;
        for (int i = 0; i < runs.at(r).samples.size(); ++i) {
            keys << i;
            values << runs.at(r).samples.at(i);
        }
        graph->setData(keys, values, true);
        graph->setPen(QPen(QColor::fromHsv(r * 360 / kRuns, 255, 200)));
    }
    plot->rescaleAxes();
}


} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QList<LoggerRunData> runs = Bench::overlaidRuns(kRuns, kSamplesPerRun);
    const PlotExport::Size size{1000, 500, 96};

    QCustomPlot reference;
    plain(&reference, runs);
    QCustomPlot ours;
    auto export_ = [&](PlotExport::Format format, const char *suffix) {
        return [&, format, suffix] {
            RunPlot::show(&ours, runs, RunPlot::Options());
            QString error;
            if (!PlotExport::write(&ours, dir.filePath(QStringLiteral("ours.") + suffix), format,
                                   size, &error))
                qFatal("export failed: %s", qPrintable(error));
        };
    };

    const double plainSvg = Bench::medianTime(repetitions, [&] {
        QSvgGenerator generator;
        generator.setFileName(dir.filePath(QStringLiteral("plain.svg")));
        generator.setSize(QSize(size.width, size.height));
        generator.setViewBox(QRect(0, 0, size.width, size.height));
        QCPPainter painter;
        painter.begin(&generator);
        reference.toPainter(&painter, size.width, size.height);
        painter.end();
    });
    const double plainPng = Bench::medianTime(repetitions, [&] {
        reference.savePng(dir.filePath(QStringLiteral("plain.png")), size.width, size.height);
    });
    const double plainPdf = Bench::medianTime(repetitions, [&] {
        reference.savePdf(dir.filePath(QStringLiteral("plain.pdf")), size.width, size.height);
    });
    const double svg = Bench::medianTime(repetitions, export_(PlotExport::Format::Svg, "svg"));
    const double png = Bench::medianTime(repetitions, export_(PlotExport::Format::Png, "png"));
    const double pdf = Bench::medianTime(repetitions, export_(PlotExport::Format::Pdf, "pdf"));

    Bench::target("plot-export-svg-25x606", svg, 1.5 * plainSvg + 20);
    Bench::target("plot-export-png-25x606", png, 1.5 * plainPng + 20);
    Bench::target("plot-export-pdf-25x606", pdf, 1.5 * plainPdf + 20);
    return 0;
}
