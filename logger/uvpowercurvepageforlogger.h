#pragma once

#include "measurement/loggerdata.h"
#include "measurement/runcomparison.h"
#include "plot/runplot.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

class QCPItemStraightLine;
class QCustomPlot;
class QMouseEvent;

namespace Ui {
class UVPowerCurvePageForLogger;
}

// A window plotting the irradiance of Logger runs against time (elapsed
// seconds or the instrument's clock), one curve per run, drawn by RunPlot.
// The runs are copied from the Logger page when the window opens; later
// downloads do not change them. The plot can be dragged, zoomed and fitted
// again with "Auto Set".
//
// Two vertical markers, dragged with the mouse, bound a span of the run
// chosen for the readout: its length, mean, peak and dose under the rule
// named. A threshold set by value draws its line and gives the run's time
// above it. One run (shown, or read from a measurement file) may be the
// reference: the others are held against it within a tolerance, and each
// one's share of time inside the band is listed. "Export..." writes the plot
// as PNG, JPEG, SVG or PDF at a size the window remembers.
class UVPowerCurvePageForLogger : public QDialog
{
    Q_OBJECT
public:
    // parent is the Logger page, whose chosenRun() supplies the run.
    explicit UVPowerCurvePageForLogger(QWidget *parent = nullptr);
    ~UVPowerCurvePageForLogger() override;

    QCustomPlot *plot() const;
    // The first run's payload as it arrived.
    const QByteArray &powerData() const { return m_run.payload; }
    // The first run the curve shows.
    const LoggerRunData &run() const { return m_run; }
    // Shows these runs, one curve each, in place of the chosen run.
    void setRuns(const QList<LoggerRunData> &runs);
    const QList<LoggerRunData> &runs() const { return m_runs; }
    // Where the markers stand, in seconds of the readout run from its start.
    void setMarkers(double from, double to);
    double markerFrom() const { return m_markerTime[0]; }
    double markerTo() const { return m_markerTime[1]; }
    // The figures the readout shows, of the run chosen for it.
    const RunComparison::Span &span() const { return m_span; }
    // Where the last drawing put each curve; its error says why no band is
    // drawn.
    const RunPlot::Layout &layout() const { return m_layout; }

public slots:
    void on_btnUpdateCurve_clicked();
    void autoset_yaxis();

protected:
    // Follows the program's language while open.
    void changeEvent(QEvent *event) override;

private:
    enum class Fit
    {
        Keep,
        Rescale
    };
    // Draws the runs (and a reference read from a file) with the window's
    // choices, then the markers.
    void redraw(Fit fit);
    void placeMarkers();
    void updateReadout();
    void updateBandList();
    void fillRunCombos();
    // "FILE, run N" in the current language.
    QString fileRunName(int i) const;
    void retranslate();
    void chooseReferenceFile();
    void exportPlot();
    // The marker within a few pixels of the press, or -1.
    int markerAt(const QPoint &pos) const;
    void pressed(QMouseEvent *event);
    void moved(QMouseEvent *event);
    void released(QMouseEvent *event);
    int readoutRun() const;
    // Key on the plot of second t of shown run i, and back.
    double keyOf(int run, double t) const;
    double timeOf(int run, double key) const;

    Ui::UVPowerCurvePageForLogger *ui = nullptr;
    LoggerRunData m_run;
    // The first run came from a file that keeps one decimal.
    bool m_roundedSamples = false;
    QList<LoggerRunData> m_runs;
    // Runs read from files to serve as the reference, after the shown ones
    // in the reference list.
    QList<LoggerRunData> m_fileRuns;
    QStringList m_fileRunSources; // the files' names
    RunPlot::Layout m_layout;
    // Drawing the runs deletes the plot's items: the markers are made again.
    QCPItemStraightLine *m_marker[2] = {nullptr, nullptr};
    double m_markerTime[2] = {0, 0};
    int m_dragged = -1;
    int m_readout = 0; // the run the marker times belong to
    RunComparison::Span m_span;
    bool m_filling = false;
};
