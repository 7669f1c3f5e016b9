#include "logger/reportpageforlogger.h"

#include "gui/doseunitchoice.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "logger/informationpageforlogger.h"
#include "logger/reportlimitspanel.h"
#include "plot/reportcurve.h"
#include "ui_reportpageforlogger.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>

ReportPageForLogger::ReportPageForLogger(QWidget *parent)
    : QDialog(parent), ui(new Ui::ReportPageForLogger)
{
    ui->setupUi(this);
    m_limits = new ReportLimitsPanel(this);
    ui->gridLayout->addWidget(m_limits, 1, 0, 1, 3);
    connect(m_limits, &ReportLimitsPanel::changed, this, [this] {
        Verdict::Limits limits;
        QString error;
        // Contradicting limits are shown in the panel; the report keeps the
        // last ones that made sense.
        if (!m_limits->limits(&limits, &error))
            return;
        m_limitValues = limits;
        rebuild();
    });

    loadRun();
    rebuild();

    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(700, screen ? screen->availableGeometry().height() - 40 : 600);
}

ReportPageForLogger::~ReportPageForLogger()
{
    delete ui;
}

QCustomPlot *ReportPageForLogger::plot() const
{
    auto *curve = dynamic_cast<ReportCurve *>(
        m_document->documentLayout()->handlerForObject(ReportCurve::kObjectType));
    return curve ? curve->plot() : nullptr;
}

QTextBrowser *ReportPageForLogger::textBrowser() const { return ui->textBrowser; }

void ReportPageForLogger::loadRun()
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
        m_roundedSamples = page->samplesRounded();
    }
}

void ReportPageForLogger::rebuild()
{
    LoggerReport::Report report;
    report.fields = m_fields;
    report.run = m_run;
    report.chineseLayout = m_chineseLayout;
    report.stamp = QDateTime::currentDateTime();
    report.limits = m_limitValues;
    report.roundedSamples = m_roundedSamples;
    report.doseUnit = DoseUnitChoice::instance()->unit();
    m_html = LoggerReport::html(report);
    // The view stays where it was while limits or entries change.
    QScrollBar *scroll = ui->textBrowser->verticalScrollBar();
    const int position = scroll->value();
    QTextDocument *previous = m_document;
    m_document = LoggerReport::document(report, this);
    ui->textBrowser->setDocument(m_document);
    delete previous;
    scroll->setValue(position);
}

void ReportPageForLogger::setFreeTexts(const QString &testLight, const QString &company,
                                       const QString &tester, const QString &auditor)
{
    m_fields.testLight = testLight;
    m_fields.company = company;
    m_fields.tester = tester;
    m_fields.auditor = auditor;
    connect(DoseUnitChoice::instance(), &DoseUnitChoice::changed, this, [this] { rebuild(); });
    rebuild();
}

void ReportPageForLogger::on_PrintReportbtn_clicked()
{
    UiSeam::print(this, m_document);
}

void ReportPageForLogger::on_Informationbtn_clicked()
{
    auto *dialog = new InformationPageForLogger(this);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
