#include "plot/loggerreport.h"

#include <QCoreApplication>

namespace LoggerReport {

namespace {

const QString unitText = QString::fromUtf8("μW/cm<sup>2</sup>");

void identityRow(QString &h, const QString &labelWidth, const QString &label1,
                 const QString &value1, const QString &label2, const QString &value2)
{
    h += QLatin1String("<tr>");
    h += QLatin1String("<td width=\"") + labelWidth + QLatin1String("\">") + label1
         + QLatin1String("</td>");
    h += QLatin1String("<td width=\"33%\">") + value1 + QLatin1String("<hr/>")
         + QLatin1String("</td>");
    h += QLatin1String("<td width=\"3%\">") + QLatin1String("</td>");
    h += QLatin1String("<td width=\"") + labelWidth + QLatin1String("\">") + label2
         + QLatin1String("</td>");
    h += QLatin1String("<td width=\"33%\">") + value2 + QLatin1String("<hr/>")
         + QLatin1String("</td>");
    h += QLatin1String("</tr>");
}

// The third cell of every data row stays open, as the instrument's report
// always had it; the rich-text view closes it itself.
void dataRow(QString &h, const QString &item, const QString &value, const QString &unit)
{
    const QLatin1String cell("<td width=\"15%\" align=\"center\">");
    h += QLatin1String("<tr>");
    h += cell + item + QLatin1String("</td>");
    h += cell + value + QLatin1String("</td>");
    h += cell + unit;
    h += QLatin1String("</tr>");
}

} // namespace

QString html(const Fields &f, bool chineseLayout, const QString &picturePath,
             const QDateTime &stamp)
{
    QString h;
    h += QLatin1String(
        "<html><head><meta http-equiv=Content-Type content=\"text/html;charset=gb2312\"><title>");
    h += QLatin1String("Report_") + stamp.toString(QStringLiteral("yyyyMMddhhmmss"));
    h += QLatin1String("</title></head><body>");

    const QLatin1String headingStart(
        "<p class=\"MsoNormal\" align=\"center\" style=\"text-align: center\">");
    h += headingStart;
    h += QLatin1String("<span lang=\"EN-US\" style=\"font-size: 25.0pt\">");
    if (chineseLayout) {
        h += QCoreApplication::translate("ReportPageForLogger", "Test Report1");
        h += QLatin1String("</span></p>");
        h += headingStart;
        h += QLatin1String("<span lang=\"EN-US\" style=\"font-size: 18.0pt\">");
        h += QCoreApplication::translate("ReportPageForLogger", "Test Report");
    } else {
        h += QCoreApplication::translate("ReportPageForLogger", "Test Report");
    }
    h += QLatin1String("</span></p>");
    h += QLatin1String("<br />");

    const QString labelWidth = chineseLayout ? QStringLiteral("15%") : QStringLiteral("13%");
    h += QLatin1String("<table width=\"100%\" border=\"0\" cellspacing=0>");
    identityRow(h, labelWidth, QCoreApplication::translate("ReportPageForLogger", "Device: "),
                f.device, QCoreApplication::translate("ReportPageForLogger", "SN:"), f.serialNo);
    identityRow(h, labelWidth, QCoreApplication::translate("ReportPageForLogger", "StartTime:"),
                f.startTime, QCoreApplication::translate("ReportPageForLogger", "Duration:"),
                f.duration);
    identityRow(h, labelWidth, QCoreApplication::translate("ReportPageForLogger", "Test Light:"),
                f.testLight, QCoreApplication::translate("ReportPageForLogger", "Company:"),
                f.company);
    h += QLatin1String("</table>");
    h += QLatin1String("<br />");

    h += QLatin1String("<p>") + QCoreApplication::translate("ReportPageForLogger", "Test Data")
         + QLatin1String("</p>");
    h += QLatin1String("<table width=\"100%\" border=\"1\" cellspacing=0>");
    dataRow(h, QCoreApplication::translate("ReportPageForLogger", "Item"),
            QCoreApplication::translate("ReportPageForLogger", "Value"),
            QCoreApplication::translate("ReportPageForLogger", "Unit"));
    dataRow(h, QCoreApplication::translate("ReportPageForLogger", "Power(REC)"), f.powerRec,
            unitText);
    dataRow(h, QCoreApplication::translate("ReportPageForLogger", "Power(MAX)"), f.powerMax,
            unitText);
    dataRow(h, QCoreApplication::translate("ReportPageForLogger", "Power(MIN)"), f.powerMin,
            unitText);
    dataRow(h, QCoreApplication::translate("ReportPageForLogger", "Power(AVG)"), f.powerAvg,
            unitText);
    h += QLatin1String("<tr>");
    h += QLatin1String("<td width=\"100%\" colspan=\"3\">");
    h += QLatin1String("<p><img border=\"0\" src=\"");
    h += picturePath;
    h += QLatin1String("\" width=\"500\" height=\"200\"></p>");
    h += QLatin1String("</td>");
    h += QLatin1String("</tr>");
    h += QLatin1String("</table>");
    h += QLatin1String("<br /><br /><br />");

    const QString tester = QCoreApplication::translate("ReportPageForLogger", " Tester:");
    const QString auditor = QCoreApplication::translate("ReportPageForLogger", " Auditor:");
    h += QLatin1String("<table width=\"100%\" border=\"0\" cellspacing=0>");
    h += QLatin1String("<tr>");
    if (chineseLayout) {
        h += QLatin1String("<td width=\"50%\">") + tester + QLatin1String("</td>");
        h += QLatin1String("<td width=\"26%\" align=\"center\">") + f.tester
             + QLatin1String("<hr/>") + QLatin1String("</td>");
        h += QLatin1String("</tr>");
        h += QLatin1String("<tr>");
        h += QLatin1String("<td width=\"50%\">") + auditor + QLatin1String("</td>");
        h += QLatin1String("<td width=\"25%\" align=\"center\">") + f.auditor
             + QLatin1String("<hr/>") + QLatin1String("</td>");
    } else {
        h += QLatin1String("<td width=\"10%\">") + tester + QLatin1String("</td>");
        h += QLatin1String("<td width=\"26%\" align=\"center\">") + f.tester
             + QLatin1String("<hr/>") + QLatin1String("</td>");
        h += QLatin1String("<td width=\"12%\">") + QLatin1String("</td>");
        h += QLatin1String("<td width=\"11%\">") + auditor + QLatin1String("</td>");
        h += QLatin1String("<td width=\"25%\" align=\"center\">") + f.auditor
             + QLatin1String("<hr/>") + QLatin1String("</td>");
    }
    h += QLatin1String("</tr>");
    h += QLatin1String("</table>");
    h += QLatin1String("</body></html>");
    return h;
}

} // namespace LoggerReport
