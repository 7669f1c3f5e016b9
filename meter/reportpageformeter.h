#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class ReportPageForMeter;
}

// The printable test report of one Meter record: an HTML document built from
// the instrument's identity, the record's six values and four free-text
// entries (test light, company, tester, auditor) edited in
// InformationPageForMeter. Its parent is the Meter page, whose report data it
// copies at construction.
class ReportPageForMeter : public QDialog
{
    Q_OBJECT
public:
    explicit ReportPageForMeter(QWidget *parent = nullptr);
    ~ReportPageForMeter() override;

    QString device;
    QString serialNumber;
    QString energy;
    QString duration;
    // The four entries as the report's HTML holds them: escaped text, or
    // "&nbsp;" until the user gives them.
    QString testLight;
    QString company;
    QString tester;
    QString auditor;
    QString powerRt;
    QString powerMax;
    QString powerMin;
    QString powerAvg;
    QString powerUnit;
    QString energyUnit;
    bool chineseLayout = false;

    // The report document; the title carries the current local time.
    QString reportHtml() const;
    // Replaces the four entries and shows the rebuilt report.
    void setEntries(const QString &light, const QString &companyName, const QString &testerName,
                    const QString &auditorName);
    QString shownHtml() const;

private slots:
    void on_PrintReportbtn_clicked();
    void on_Informationbtn_clicked();

private:
    void showReport();

    Ui::ReportPageForMeter *ui = nullptr;
};
