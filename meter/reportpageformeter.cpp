#include "meter/reportpageformeter.h"

#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "meter/informationpageformeter.h"
#include "ui_reportpageformeter.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>

ReportPageForMeter::ReportPageForMeter(QWidget *parent)
    : QDialog(parent), ui(new Ui::ReportPageForMeter)
{
    ui->setupUi(this);
    // Each press of "Report" opens another window; a closed one goes away.
    setAttribute(Qt::WA_DeleteOnClose);
    if (auto *page = qobject_cast<FirstPageForMeter *>(parent)) {
        const MeterReportData &d = page->reportData;
        device = d.deviceName + QStringLiteral("  Vantrel");
        serialNumber = d.serialNumber;
        energy = d.energy;
        duration = d.duration;
        powerRt = d.powerRt;
        powerMax = d.powerMax;
        powerMin = d.powerMin;
        powerAvg = d.powerAvg;
        powerUnit = d.powerUnit;
        energyUnit = d.energyUnit;
        chineseLayout = page->chineseLayout;
    }
    const QString blank = QStringLiteral("&nbsp;");
    testLight = blank;
    company = blank;
    tester = blank;
    auditor = blank;
    showReport();
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(700, screen ? screen->availableGeometry().height() - 40 : 600);
}

ReportPageForMeter::~ReportPageForMeter()
{
    delete ui;
}

QString ReportPageForMeter::reportHtml() const
{
    QString h;
    h += QStringLiteral("<html><head><meta http-equiv=Content-Type "
                        "content=\"text/html;charset=gb2312\"><title>");
    h += QStringLiteral("Report_") +
         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    h += QStringLiteral("</title></head><body>");

    const QString paragraph =
        QStringLiteral("<p class=\"MsoNormal\" align=\"center\" style=\"text-align: center\">");
    if (chineseLayout) {
        h += paragraph + QStringLiteral("<span lang=\"EN-US\" style=\"font-size: 25.0pt\">") +
             tr("Test Report1") + QStringLiteral("</span></p>");
        h += paragraph + QStringLiteral("<span lang=\"EN-US\" style=\"font-size: 18.0pt\">") +
             tr("Test Report") + QStringLiteral("</span></p>");
    } else {
        h += paragraph + QStringLiteral("<span lang=\"EN-US\" style=\"font-size: 25.0pt\">") +
             tr("Test Report") + QStringLiteral("</span></p>");
    }
    h += QStringLiteral("<br />");

    // A field left empty holds a blank: without one, its line rises to the
    // top of the row and reads as the line of the label below.
    const auto field = [](const QString &value) {
        return value.isEmpty() ? QStringLiteral("&nbsp;") : value;
    };
    h += QStringLiteral("<table width=\"100%\" border=\"0\" cellspacing=0>");
    // The instrument's name and serial are text, whatever a file brought.
    const QString identity[][2] = {{tr("Device: "), device.toHtmlEscaped()},
                                   {tr("SN:"), serialNumber.toHtmlEscaped()},
                                   {tr("Test Light:"), testLight},
                                   {tr("Company:"), company}};
    for (const auto &row : identity) {
        h += QStringLiteral("<tr>") + QStringLiteral("<td width=\"13%\">") + row[0] +
             QStringLiteral("</td>") + QStringLiteral("<td width=\"60%\">") + field(row[1]) +
             QStringLiteral("<hr/>") + QStringLiteral("</td>") + QStringLiteral("</tr>");
    }
    h += QStringLiteral("</table>") + QStringLiteral("<br />");

    h += QStringLiteral("<p>") + tr("Test Data") + QStringLiteral("</p>");
    h += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=0>");
    auto dataRow = [](const QString &a, const QString &b, const QString &c) {
        return QStringLiteral("<tr>") + QStringLiteral("<td width=\"15%\" align=\"center\">") + a +
               QStringLiteral("</td>") + QStringLiteral("<td width=\"30%\" align=\"center\">") + b +
               QStringLiteral("</td>") + QStringLiteral("<td width=\"30%\" align=\"center\">") + c +
               QStringLiteral("</td>") + QStringLiteral("</tr>");
    };
    h += dataRow(tr("Item"), tr("Value"), tr("Unit"));
    h += dataRow(tr("Energy"), energy, energyUnit);
    h += dataRow(tr("Duration"), duration, tr("S"));
    h += dataRow(tr("Power(RT)"), powerRt, powerUnit);
    h += dataRow(tr("Power(MAX)"), powerMax, powerUnit);
    h += dataRow(tr("Power(MIN)"), powerMin, powerUnit);
    h += dataRow(tr("Power(AVG)"), powerAvg, powerUnit);
    h += QStringLiteral("</table>") + QStringLiteral("<br /><br /><br />");

    const QString testerWidth = chineseLayout ? QStringLiteral("18%") : QStringLiteral("10%");
    const QString auditorWidth = chineseLayout ? QStringLiteral("20%") : QStringLiteral("10%");
    h += QStringLiteral("<table width=\"100%\" border=\"0\" cellspacing=0>") +
         QStringLiteral("<tr>");
    h += QStringLiteral("<td width=\"%1\">").arg(testerWidth) + tr(" Tester:") +
         QStringLiteral("</td>");
    h += QStringLiteral("<td width=\"26%\" align=\"center\">") + field(tester) +
         QStringLiteral("<hr/>") + QStringLiteral("</td>");
    h += QStringLiteral("<td width=\"3%\">") + QStringLiteral("</td>");
    h += QStringLiteral("<td width=\"%1\">").arg(auditorWidth) + tr(" Auditor:") +
         QStringLiteral("</td>");
    h += QStringLiteral("<td width=\"25%\" align=\"center\">") + field(auditor) +
         QStringLiteral("<hr/>") + QStringLiteral("</td>");
    h += QStringLiteral("</tr>") + QStringLiteral("</table>");
    h += QStringLiteral("</body></html>");
    return h;
}

void ReportPageForMeter::showReport()
{
    ui->textBrowser->clear();
    ui->textBrowser->setHtml(reportHtml());
}

QString ReportPageForMeter::shownHtml() const
{
    return ui->textBrowser->toHtml();
}

void ReportPageForMeter::setEntries(const QString &light, const QString &companyName,
                                    const QString &testerName, const QString &auditorName)
{
    // What the user typed is shown as text, never read as markup.
    testLight = light.toHtmlEscaped();
    company = companyName.toHtmlEscaped();
    tester = testerName.toHtmlEscaped();
    auditor = auditorName.toHtmlEscaped();
    showReport();
}

void ReportPageForMeter::on_PrintReportbtn_clicked()
{
    UiSeam::print(this, ui->textBrowser->document());
}

void ReportPageForMeter::on_Informationbtn_clicked()
{
    auto *info = new InformationPageForMeter(this);
    info->show();
    info->raise();
    info->activateWindow();
}
