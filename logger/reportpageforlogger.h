#pragma once

#include "plot/loggerreport.h"
#include "measurement/loggerdata.h"

#include <QDialog>

class QCustomPlot;
class QTextBrowser;

namespace Ui {
class ReportPageForLogger;
}

// The printable test report of one Logger run: identity, start time,
// duration, the four power values and a picture of the power curve, plus four
// free-text entries edited in InformationPageForLogger. The curve is drawn by
// a hidden plot into a PNG file of the window's own in the temporary
// directory; closing the window removes it.
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
    QString picturePath() const { return m_picturePath; }
    QString html() const { return m_html; }
    QCustomPlot *plot() const;
    QTextBrowser *textBrowser() const;

    // From the entry dialog's OK: the four free texts, then a rebuild.
    void setFreeTexts(const QString &testLight, const QString &company, const QString &tester,
                      const QString &auditor);
    // Renders the picture, hides the plot and sets the HTML again.
    void rebuild();

private slots:
    void on_PrintReportbtn_clicked();
    void on_Informationbtn_clicked();

public slots:
    // Escape and the window's own close both end here or in closeEvent.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void loadCurve();
    void removePicture();

    Ui::ReportPageForLogger *ui = nullptr;
    LoggerReport::Fields m_fields;
    LoggerRunData m_run;
    bool m_chineseLayout = false;
    QString m_picturePath;
    QString m_html;
};
