#pragma once

#include <QDialog>

namespace Ui {
class InformationPageForLogger;
}

class ReportPageForLogger;

// Entry dialog of the Logger report: shows device, serial number, start time
// and duration, and edits test light, company, tester and auditor. OK hands
// the four texts to the report, which rebuilds itself.
class InformationPageForLogger : public QDialog
{
    Q_OBJECT
public:
    // parent is the report window whose values are shown.
    explicit InformationPageForLogger(ReportPageForLogger *parent);
    ~InformationPageForLogger() override;

private slots:
    void on_Okbtn_clicked();
    void on_Cancelbtn_clicked();

private:
    Ui::InformationPageForLogger *ui = nullptr;
    ReportPageForLogger *m_report = nullptr;
};
