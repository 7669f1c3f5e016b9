// The curve window's markers with 25 overlaid runs of 606 samples: one step
// of a marker drag (the mouse move, the readout of the span between the
// markers, the window painted again) against a full replot of the same
// window, which a step would cost if it drew the curves again. The markers
// have a buffered layer of their own: the target is half the full replot plus
// 1 ms for the readout's texts.
// Usage: bench_curvewindow [steps]

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "logger/uvpowercurvepageforlogger.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <qcustomplot.h>

namespace {

constexpr int kRuns = 25;
constexpr int kSamplesPerRun = 606;


void send(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    const int steps = argc > 1 ? qMax(5, atoi(argv[1])) : 200;

    UVPowerCurvePageForLogger window;
    window.setRuns(Bench::overlaidRuns(kRuns, kSamplesPerRun));
    window.resize(1220, 673);
    window.show();
    QCustomPlot *plot = window.plot();
    QCoreApplication::processEvents();
    plot->replot();

    QVector<double> plain;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer clock;
        clock.start();
        plot->replot(QCustomPlot::rpImmediateRefresh);
        plain << clock.nsecsElapsed() / 1e6;
    }

    // Take the first marker and walk it across the plot and back.
    const RunPlot::Layout layout = window.layout();
    const QRect area = plot->axisRect()->rect();
    const int y = area.center().y();
    const int x0 = int(qRound(
        plot->xAxis->coordToPixel(layout.origin + layout.offsets.value(0) + window.markerFrom())));
    const double start = window.markerFrom();
    send(plot, QEvent::MouseButtonPress, QPoint(x0, y), Qt::LeftButton);
    QVector<double> moves;
    for (int i = 0; i < steps; ++i) {
        const int x = area.left() + 1 + (i * 7) % (area.width() - 2);
        QElapsedTimer clock;
        clock.start();
        send(plot, QEvent::MouseMove, QPoint(x, y), Qt::LeftButton);
        // The window painted again, the new readout shown.
        QCoreApplication::processEvents();
        moves << clock.nsecsElapsed() / 1e6;
    }
    send(plot, QEvent::MouseButtonRelease, QPoint(area.left() + 1, y), Qt::NoButton);
    if (window.markerFrom() == start)
        qFatal("the marker did not move");

    Bench::target("curve-marker-move-25x606", Bench::median(moves), 0.5 * Bench::median(plain) + 1);
    return 0;
}
