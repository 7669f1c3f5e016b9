#include "plot/loggerreport.h"

#include "plot/reportcurve.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace LoggerReport {

const QLatin1String kCurveName("vantrel-report-curve");

namespace {

const QString unitText = QString::fromUtf8("μW/cm<sup>2</sup>");
const QString doseUnitText = QString::fromUtf8("mJ/cm<sup>2</sup>");

QString tr(const char *text)
{
    return QCoreApplication::translate("LoggerReport", text);
}

// A value as text in an underlined cell: escaped, and a blank for an empty
// one, so the line stays where it was.
QString cellText(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("&nbsp;") : value.toHtmlEscaped();
}

void identityRow(QString &h, const QString &labelWidth, const QString &label1,
                 const QString &value1, const QString &label2, const QString &value2)
{
    h += QLatin1String("<tr>");
    h += QLatin1String("<td width=\"") + labelWidth + QLatin1String("\">") + label1
         + QLatin1String("</td>");
    h += QLatin1String("<td width=\"33%\">") + cellText(value1) + QLatin1String("<hr/>") +
         QLatin1String("</td>");
    h += QLatin1String("<td width=\"3%\">") + QLatin1String("</td>");
    h += QLatin1String("<td width=\"") + labelWidth + QLatin1String("\">") + label2
         + QLatin1String("</td>");
    h += QLatin1String("<td width=\"33%\">") + cellText(value2) + QLatin1String("<hr/>") +
         QLatin1String("</td>");
    h += QLatin1String("</tr>");
}

// The third cell of every data row stays open, as the instrument's report
// always had it; the rich-text view closes it itself.
void dataRow(QString &h, const QString &item, const QString &value, const QString &unit)
{
    const QLatin1String cell("<td width=\"15%\" align=\"center\">");
    h += QLatin1String("<tr>");
    h += cell + item + QLatin1String("</td>");
    h += cell + value.toHtmlEscaped() + QLatin1String("</td>");
    h += cell + unit;
    h += QLatin1String("</tr>");
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// A row of the figures and checks tables: cells already markup; the first
// column takes what the others leave.
void figureRow(QString &h, const QStringList &cells)
{
    const int width = cells.size() > 3 ? 13 : 20;
    h += QLatin1String("<tr>");
    for (int i = 0; i < cells.size(); ++i)
        h += QStringLiteral("<td width=\"%1%\" align=\"center\">")
                 .arg(i == 0 ? 100 - width * (cells.size() - 1) : width) +
             cells.at(i) + QLatin1String("</td>");
    h += QLatin1String("</tr>");
}

// The figures of the run and, with limits, each check and the verdict.
void figuresPart(QString &h, const Analysis &a)
{
    const UvFigures::Figures &f = a.figures;
    const QString seconds = tr("s");
    h += QLatin1String("<p>") + tr("UV Figures") + QLatin1String("</p>");
    h += QLatin1String("<table width=\"100%\" border=\"1\" cellspacing=0>");
    figureRow(h, {tr("Item"), tr("Value"), tr("Unit")});
    // The dose in the unit chosen for every window.
    QString chosenUnit = DoseUnit::text(a.doseUnit).toHtmlEscaped();
    chosenUnit.replace(QString::fromUtf8("²"), QLatin1String("<sup>2</sup>"));
    figureRow(h, {tr("Dose (%1)").arg(ruleText(a.options.rule)),
                  number(DoseUnit::fromMicroJoulePerCm2(f.dose, a.doseUnit),
                         DoseUnit::decimals(a.doseUnit)),
                  chosenUnit});
    figureRow(h, {tr("Peak"), number(f.peak, 1), unitText});
    figureRow(h, {tr("Exposure window (%1% of the peak)").arg(a.options.windowPercent),
                  f.hasWindow
                      ? number(f.windowStart, 1) + QStringLiteral(" – ") + number(f.windowEnd, 1)
                      : QStringLiteral("–"),
                  seconds});
    if (a.options.hasThreshold)
        figureRow(h, {tr("Time above %1 %2").arg(number(a.options.threshold, 1), unitText),
                      number(qMax(0.0, f.aboveThreshold), 1), seconds});
    h += QLatin1String("</table>");
    // What the figures rest on, where it is less than the instrument gave.
    QStringList notes;
    if (a.roundedSamples)
        notes << tr("The samples come from a file that keeps them with one decimal: these "
                    "figures are of rounded samples.");
    if (f.needsWarning())
        notes << UvFigures::warningText(f);
    for (const QString &note : qAsConst(notes))
        h += QLatin1String("<p style=\"color: #c62828\">") + note.toHtmlEscaped() +
             QLatin1String("</p>");
    if (!a.limits.any())
        return;

    h += QLatin1String("<p>") + tr("Limits") + QLatin1String("</p>");
    h += QLatin1String("<table width=\"100%\" border=\"1\" cellspacing=0>");
    figureRow(h, {tr("Check"), tr("Measured"), tr("Limit"), tr("Unit"), tr("Result")});
    for (const Verdict::Check &c : a.verdict.checks) {
        QString what;
        QString unit = unitText;
        if (c.key == QLatin1String("dose-min") || c.key == QLatin1String("dose-max")) {
            what = c.key.endsWith(QLatin1String("min")) ? tr("Dose minimum") : tr("Dose maximum");
            unit = doseUnitText;
        } else if (c.key == QLatin1String("peak-min")) {
            what = tr("Peak minimum");
        } else if (c.key == QLatin1String("peak-max")) {
            what = tr("Peak maximum");
        } else {
            what = tr("Minimum time above %1 %2").arg(number(a.limits.threshold, 1), unitText);
            unit = seconds;
        }
        // The figures as they were compared: the measured one at its
        // samples' precision, the limit as typed.
        figureRow(h, {what, Verdict::figureText(c.measured), QString::number(c.limit, 'g', 12),
                      unit, c.passed ? tr("PASS") : tr("FAIL")});
    }
    h += QLatin1String("</table>");
    h += QLatin1String("<p style=\"font-size: 16pt\"><b>") + tr("Verdict:") + QLatin1Char(' ') +
         (a.verdict.pass ? QLatin1String("<span style=\"color: #1a7f37\">") + tr("PASS")
                         : QLatin1String("<span style=\"color: #c62828\">") + tr("FAIL")) +
         QLatin1String("</span></b></p>");
}

} // namespace

QString ruleText(UvFigures::DoseRule rule)
{
    return rule == UvFigures::DoseRule::Trapezoid ? tr("trapezoid") : tr("sample-and-hold");
}


Analysis analyse(const LoggerRunData &run, UvFigures::DoseRule rule, const Verdict::Limits &limits)
{
    Analysis a;
    a.options.rule = rule;
    a.options.hasThreshold = limits.thresholdSet || limits.timeAboveMin.has_value();
    a.options.threshold = limits.threshold;
    a.figures = UvFigures::compute(run.samples, run.intervalSeconds, a.options);
    a.limits = limits;
    if (limits.any())
        a.verdict = Verdict::judge(a.figures, limits);
    return a;
}

QString html(const Fields &f, bool chineseLayout, const QDateTime &stamp, const Analysis *analysis)
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
    h += kCurveName;
    h += QLatin1String("\" width=\"500\" height=\"200\"></p>");
    h += QLatin1String("</td>");
    h += QLatin1String("</tr>");
    h += QLatin1String("</table>");
    if (analysis)
        figuresPart(h, *analysis);
    h += QLatin1String("<br /><br /><br />");

    const QString tester = QCoreApplication::translate("ReportPageForLogger", " Tester:");
    const QString auditor = QCoreApplication::translate("ReportPageForLogger", " Auditor:");
    h += QLatin1String("<table width=\"100%\" border=\"0\" cellspacing=0>");
    h += QLatin1String("<tr>");
    if (chineseLayout) {
        h += QLatin1String("<td width=\"50%\">") + tester + QLatin1String("</td>");
        h += QLatin1String("<td width=\"26%\" align=\"center\">") + cellText(f.tester) +
             QLatin1String("<hr/>") + QLatin1String("</td>");
        h += QLatin1String("</tr>");
        h += QLatin1String("<tr>");
        h += QLatin1String("<td width=\"50%\">") + auditor + QLatin1String("</td>");
        h += QLatin1String("<td width=\"25%\" align=\"center\">") + cellText(f.auditor) +
             QLatin1String("<hr/>") + QLatin1String("</td>");
    } else {
        h += QLatin1String("<td width=\"10%\">") + tester + QLatin1String("</td>");
        h += QLatin1String("<td width=\"26%\" align=\"center\">") + cellText(f.tester) +
             QLatin1String("<hr/>") + QLatin1String("</td>");
        h += QLatin1String("<td width=\"12%\">") + QLatin1String("</td>");
        h += QLatin1String("<td width=\"11%\">") + auditor + QLatin1String("</td>");
        h += QLatin1String("<td width=\"25%\" align=\"center\">") + cellText(f.auditor) +
             QLatin1String("<hr/>") + QLatin1String("</td>");
    }
    h += QLatin1String("</tr>");
    h += QLatin1String("</table>");
    h += QLatin1String("</body></html>");
    return h;
}

QString html(const Report &report)
{
    Analysis analysis = analyse(report.run, report.rule, report.limits);
    analysis.roundedSamples = report.roundedSamples;
    analysis.doseUnit = report.doseUnit;
    return html(report.fields, report.chineseLayout, report.stamp, &analysis);
}

QTextDocument *document(const Report &report, QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    Analysis analysis = analyse(report.run, report.rule, report.limits);
    analysis.roundedSamples = report.roundedSamples;
    analysis.doseUnit = report.doseUnit;
    doc->setHtml(html(report.fields, report.chineseLayout, report.stamp, &analysis));

    auto *curve = new ReportCurve(report.run, analysis.options, doc);
    doc->documentLayout()->registerHandler(ReportCurve::kObjectType, curve);
    // The image the HTML names becomes the curve object, with the image's
    // size; nothing is ever loaded under that name.
    QList<QPair<int, QTextCharFormat>> curves;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || format.toImageFormat().name() != kCurveName)
                continue;
            format.setObjectType(ReportCurve::kObjectType);
            curves.append({fragment.position(), format});
        }
    }
    for (const auto &c : qAsConst(curves)) {
        QTextCursor cursor(doc);
        cursor.setPosition(c.first);
        cursor.setPosition(c.first + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(c.second);
    }
    return doc;
}

QByteArray pdf(QTextDocument *document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        // The resolution the window's printer has (QPrinter::ScreenResolution).
        writer.setResolution(ReportCurve::kDpi);
        writer.setCreator(QStringLiteral("Vantrel"));
        writer.setTitle(document->metaInformation(QTextDocument::DocumentTitle));
        document->print(&writer);
    }
    buffer.close();
    return bytes.startsWith("%PDF") ? bytes : QByteArray();
}

} // namespace LoggerReport
