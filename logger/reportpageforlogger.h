#pragma once

#include "plot/loggerreport.h"
#include "measurement/loggerdata.h"

#include <QDialog>

class QCustomPlot;
class QTextBrowser;
class QTextDocument;
class ReportLimitsPanel;

namespace Ui {
class ReportPageForLogger;
}

// The printable test report of one Logger run: identity, start time,
// duration, the four power values and the power curve, the run's UV figures,
// plus four free-text entries edited in InformationPageForLogger. Limits set
// in the window add their checks and a PASS or FAIL verdict. The document is
// LoggerReport::document, the one vantrel-cli report writes; its curve is a
// text object that the printer draws as vectors.
class ReportPageForLogger : public QDialog
{
    Q_OBJECT
public:
    // parent is the Logger page; its report texts, run and language flag are
    // copied now.
    explicit ReportPageForLogger(QWidget *parent = nullptr);
    ~ReportPageForLogger() override;

    const LoggerReport::Fields &fields() const { return m_fields; }
    bool chineseLayout() const { return m_chineseLayout; }
    QString html() const { return m_html; }
    // The plot the report's curve is drawn from (never shown).
    QCustomPlot *plot() const;
    QTextBrowser *textBrowser() const;
    QTextDocument *document() const { return m_document; }
    ReportLimitsPanel *limitsPanel() const { return m_limits; }

    // From the entry dialog's OK: the four free texts, then a rebuild.
    void setFreeTexts(const QString &testLight, const QString &company, const QString &tester,
                      const QString &auditor);
    // Makes the document again from the fields, the run and the limits.
    void rebuild();

private slots:
    void on_PrintReportbtn_clicked();
    void on_Informationbtn_clicked();

private:
    void loadRun();

    Ui::ReportPageForLogger *ui = nullptr;
    LoggerReport::Fields m_fields;
    LoggerRunData m_run;
    bool m_roundedSamples = false;
    bool m_chineseLayout = false;
    Verdict::Limits m_limitValues;
    QString m_html;
    QTextDocument *m_document = nullptr;
    ReportLimitsPanel *m_limits = nullptr;
};
