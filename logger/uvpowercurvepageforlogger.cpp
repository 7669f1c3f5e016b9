#include "logger/uvpowercurvepageforlogger.h"

#include "logger/firstpageforlogger.h"
#include "ui_uvpowercurvepageforlogger.h"

#include <QEvent>

#include <qcustomplot.h>

namespace {
const QCP::Interactions curveInteractions = QCP::iRangeDrag | QCP::iRangeZoom
                                            | QCP::iSelectPlottables;
}

UVPowerCurvePageForLogger::UVPowerCurvePageForLogger(QWidget *parent)
    : QDialog(parent), ui(new Ui::UVPowerCurvePageForLogger)
{
    ui->setupUi(this);
    ui->customPlot->addGraph();
    ui->customPlot->xAxis->setRange(1, 61440);
    ui->customPlot->yAxis->setRange(0, 600);
    on_btnUpdateCurve_clicked();
    connect(ui->autosetBtn, &QPushButton::clicked, this, &UVPowerCurvePageForLogger::autoset_yaxis);
}

UVPowerCurvePageForLogger::~UVPowerCurvePageForLogger() { delete ui; }

QCustomPlot *UVPowerCurvePageForLogger::plot() const { return ui->customPlot; }

void UVPowerCurvePageForLogger::on_btnUpdateCurve_clicked()
{
    m_run = LoggerRunData();
    if (auto *page = qobject_cast<FirstPageForLogger *>(parentWidget()))
        m_run = page->chosenRun();
    qDebug("on_btnUpdateCurve_clicked= %d\n", int(m_run.payload.size()));

    const QVector<double> values = m_run.sampleValues();
    QVector<double> keys(values.size());
    for (int i = 0; i < keys.size(); ++i)
        keys[i] = i;
    ui->customPlot->graph(0)->setData(keys, values);
    ui->customPlot->replot(QCustomPlot::rpRefreshHint);
    ui->customPlot->setInteractions(curveInteractions);
    ui->customPlot->rescaleAxes();
    ui->customPlot->replot(QCustomPlot::rpRefreshHint);
    ui->customPlot->setInteractions(curveInteractions);
}

void UVPowerCurvePageForLogger::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void UVPowerCurvePageForLogger::autoset_yaxis()
{
    ui->customPlot->rescaleAxes();
    ui->customPlot->replot(QCustomPlot::rpRefreshHint);
    ui->customPlot->setInteractions(curveInteractions);
}
