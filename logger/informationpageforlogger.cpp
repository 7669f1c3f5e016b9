#include "logger/informationpageforlogger.h"

#include "logger/reportpageforlogger.h"
#include "ui_informationpageforlogger.h"

InformationPageForLogger::InformationPageForLogger(ReportPageForLogger *parent)
    : QDialog(parent), ui(new Ui::InformationPageForLogger), m_report(parent)
{
    ui->setupUi(this);
    // The report waits for its entries: no second entry dialog, no printing
    // of the report half edited.
    setWindowModality(Qt::WindowModal);
    if (m_report) {
        const LoggerReport::Fields &f = m_report->fields();
        ui->DeviceEdit->setText(f.device);
        ui->serialNoEdit->setText(f.serialNo);
        ui->StartTimeEdit->setText(f.startTime);
        ui->DurationEdit->setText(f.duration);
    }
}

InformationPageForLogger::~InformationPageForLogger() { delete ui; }

void InformationPageForLogger::on_Okbtn_clicked()
{
    if (m_report)
        m_report->setFreeTexts(ui->TestLightEdit->text(), ui->CompanyEdit->text(),
                               ui->TesterEdit->text(), ui->AuditorEdit->text());
    close();
}

void InformationPageForLogger::on_Cancelbtn_clicked() { close(); }
