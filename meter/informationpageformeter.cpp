#include "meter/informationpageformeter.h"

#include "meter/reportpageformeter.h"
#include "ui_informationpageformeter.h"

InformationPageForMeter::InformationPageForMeter(ReportPageForMeter *report)
    : QDialog(report), ui(new Ui::InformationPageForMeter), m_report(report)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The report waits for its entries: no second entry dialog, no printing
    // of the report half edited.
    setWindowModality(Qt::WindowModal);
    ui->DeviceEdit->setText(report->device);
    ui->serialNoEdit->setText(report->serialNumber);
}

InformationPageForMeter::~InformationPageForMeter()
{
    delete ui;
}

void InformationPageForMeter::on_Okbtn_clicked()
{
    m_report->setEntries(ui->TestLightEdit->text(), ui->CompanyEdit->text(), ui->TesterEdit->text(),
                         ui->AuditorEdit->text());
    close();
}

void InformationPageForMeter::on_Cancelbtn_clicked()
{
    close();
}
