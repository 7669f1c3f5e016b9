#pragma once

#include <QDialog>

class ReportPageForMeter;

namespace Ui {
class InformationPageForMeter;
}

// Edits the four free-text entries of a Meter report (test light, company,
// tester, auditor); "Ok" hands them to the report, which rebuilds itself.
class InformationPageForMeter : public QDialog
{
    Q_OBJECT
public:
    explicit InformationPageForMeter(ReportPageForMeter *report);
    ~InformationPageForMeter() override;

private slots:
    void on_Okbtn_clicked();
    void on_Cancelbtn_clicked();

private:
    Ui::InformationPageForMeter *ui = nullptr;
    ReportPageForMeter *m_report = nullptr;
};
