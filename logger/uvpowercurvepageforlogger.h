#pragma once

#include "measurement/loggerdata.h"

#include <QByteArray>
#include <QDialog>

class QCustomPlot;

namespace Ui {
class UVPowerCurvePageForLogger;
}

// A window plotting the power samples of one Logger run: sample number along
// the bottom axis, irradiance (uW/cm2) along the left axis. The run is
// copied from the Logger page when the window opens; later downloads do not
// change it. The plot can be dragged, zoomed and fitted again with "Auto Set".
class UVPowerCurvePageForLogger : public QDialog
{
    Q_OBJECT
public:
    // parent is the Logger page, whose chosenRun() supplies the run.
    explicit UVPowerCurvePageForLogger(QWidget *parent = nullptr);
    ~UVPowerCurvePageForLogger() override;

    QCustomPlot *plot() const;
    // The run's payload as it arrived.
    const QByteArray &powerData() const { return m_run.payload; }
    // The run the curve shows.
    const LoggerRunData &run() const { return m_run; }

public slots:
    void on_btnUpdateCurve_clicked();
    void autoset_yaxis();

protected:
    // Follows the program's language while open.
    void changeEvent(QEvent *event) override;

private:
    Ui::UVPowerCurvePageForLogger *ui = nullptr;
    LoggerRunData m_run;
};
