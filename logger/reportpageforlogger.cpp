#include "logger/reportpageforlogger.h"

#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "logger/informationpageforlogger.h"
#include "ui_reportpageforlogger.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryFile>
#include <qcustomplot.h>

namespace {

// A fresh, unique file name for one window's curve picture. The program's
// own directory is not writable once installed, and several report windows
// may be open at once.
QString newPicturePath()
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("vantrel-curve-XXXXXX.png")));
    file.setAutoRemove(false);
    if (!file.open())
        return QDir::temp().filePath(QStringLiteral("PcustomPlot.png"));
    return file.fileName();
}

} // namespace

ReportPageForLogger::ReportPageForLogger(QWidget *parent)
    : QDialog(parent), ui(new Ui::ReportPageForLogger), m_picturePath(newPicturePath())
{
    ui->setupUi(this);

    QCustomPlot *plot = ui->PcustomPlot;
    plot->addGraph(plot->xAxis, plot->yAxis);
    plot->graph(0)->setPen(QPen(Qt::black));
    plot->xAxis->setRange(1, 61440);
    plot->yAxis->setRange(0, 600);
    plot->xAxis->setTickLabels(false);
    plot->yAxis->setTickLabels(false);

    m_fields.testLight = m_fields.company = m_fields.tester = m_fields.auditor =
        QStringLiteral("&nbsp;");
    loadCurve();
    rebuild();

    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(700, screen ? screen->availableGeometry().height() - 40 : 600);
}

ReportPageForLogger::~ReportPageForLogger()
{
    removePicture();
    delete ui;
}

QCustomPlot *ReportPageForLogger::plot() const { return ui->PcustomPlot; }

QTextBrowser *ReportPageForLogger::textBrowser() const { return ui->textBrowser; }

void ReportPageForLogger::loadCurve()
{
    m_run = LoggerRunData();
    if (auto *page = qobject_cast<FirstPageForLogger *>(parentWidget())) {
        m_fields.device = page->reportDeviceName + QStringLiteral(" Vantrel");
        m_fields.serialNo = page->reportSerialNo;
        m_fields.startTime = page->reportStartTime;
        m_fields.duration = page->reportDuration;
        m_fields.powerRec = page->reportRec;
        m_fields.powerMax = page->reportMax;
        m_fields.powerMin = page->reportMin;
        m_fields.powerAvg = page->reportAvg;
        m_chineseLayout = page->chineseLayout;
        m_run = page->chosenRun();
    }
    const QVector<double> values = m_run.sampleValues();
    QVector<double> keys(values.size());
    for (int i = 0; i < keys.size(); ++i)
        keys[i] = i;
    const QCP::Interactions interactions = QCP::iRangeDrag | QCP::iRangeZoom
                                           | QCP::iSelectPlottables;
    QCustomPlot *plot = ui->PcustomPlot;
    plot->graph(0)->setData(keys, values);
    plot->replot();
    plot->setInteractions(interactions);
    plot->rescaleAxes();
    plot->replot();
    plot->setInteractions(interactions);
}

void ReportPageForLogger::rebuild()
{
    ui->PcustomPlot->savePng(m_picturePath, 500, 200, 1.0, -1, 96);
    ui->PcustomPlot->hide();
    m_html = LoggerReport::html(m_fields, m_chineseLayout, m_picturePath,
                                QDateTime::currentDateTime());
    ui->textBrowser->clear();
    ui->textBrowser->setHtml(m_html);
}

void ReportPageForLogger::setFreeTexts(const QString &testLight, const QString &company,
                                       const QString &tester, const QString &auditor)
{
    m_fields.testLight = testLight;
    m_fields.company = company;
    m_fields.tester = tester;
    m_fields.auditor = auditor;
    rebuild();
}

void ReportPageForLogger::on_PrintReportbtn_clicked()
{
    UiSeam::print(this, ui->textBrowser->document());
}

void ReportPageForLogger::on_Informationbtn_clicked()
{
    auto *dialog = new InformationPageForLogger(this);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void ReportPageForLogger::closeEvent(QCloseEvent *event)
{
    removePicture();
    QDialog::closeEvent(event);
}

void ReportPageForLogger::done(int result)
{
    removePicture();
    QDialog::done(result);
}

void ReportPageForLogger::removePicture()
{
    if (!m_picturePath.isEmpty())
        QFile::remove(m_picturePath);
}
