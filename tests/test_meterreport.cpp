// The Meter test report: its HTML in both heading layouts, the entry dialog
// and printing.
#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "meter/informationpageformeter.h"
#include "meter/reportpageformeter.h"
#include "reportlines.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

namespace {

// The document as the report is specified to read, with the labels given.
QString expectedHtml(bool chinese, const QString &light, const QString &company,
                     const QString &tester, const QString &auditor)
{
    const QString p = "<p class=\"MsoNormal\" align=\"center\" style=\"text-align: center\">";
    QString h = "<html><head><meta http-equiv=Content-Type content=\"text/html;charset=gb2312\">"
                "<title>Report_TIME</title></head><body>";
    if (chinese)
        h += p + "<span lang=\"EN-US\" style=\"font-size: 25.0pt\">Test Report1</span></p>" + p +
             "<span lang=\"EN-US\" style=\"font-size: 18.0pt\">Test Report</span></p>";
    else
        h += p + "<span lang=\"EN-US\" style=\"font-size: 25.0pt\">Test Report</span></p>";
    h += "<br /><table width=\"100%\" border=\"0\" cellspacing=0>"
         "<tr><td width=\"13%\">Device: </td><td width=\"60%\">QX112  Vantrel<hr/></td></tr>"
         "<tr><td width=\"13%\">SN:</td><td width=\"60%\">23110042<hr/></td></tr>"
         "<tr><td width=\"13%\">Test Light:</td><td width=\"60%\">" +
         light +
         "<hr/></td></tr>"
         "<tr><td width=\"13%\">Company:</td><td width=\"60%\">" +
         company +
         "<hr/></td></tr></table><br /><p>Test Data</p>"
         "<table width=\"100%\" border=\"1\" cellspacing=0>";
    auto row = [](const QString &a, const QString &b, const QString &c) {
        return "<tr><td width=\"15%\" align=\"center\">" + a +
               "</td><td width=\"30%\" align=\"center\">" + b +
               "</td><td width=\"30%\" align=\"center\">" + c + "</td></tr>";
    };
    h += row("Item", "Value", "Unit") + row("Energy", "137.0", "mJ/cm<sup>2</sup>") +
         row("Duration", "10.5", "S") + row("Power(RT)", "12.6", "mW/cm<sup>2</sup>") +
         row("Power(MAX)", "20.0", "mW/cm<sup>2</sup>") +
         row("Power(MIN)", "5.4", "mW/cm<sup>2</sup>") +
         row("Power(AVG)", "11.0", "mW/cm<sup>2</sup>");
    h += "</table><br /><br /><br /><table width=\"100%\" border=\"0\" cellspacing=0><tr>";
    h += QString("<td width=\"%1\"> Tester:</td>").arg(chinese ? "18%" : "10%");
    h += "<td width=\"26%\" align=\"center\">" + tester + "<hr/></td><td width=\"3%\"></td>";
    h += QString("<td width=\"%1\"> Auditor:</td>").arg(chinese ? "20%" : "10%");
    h += "<td width=\"25%\" align=\"center\">" + auditor + "<hr/></td></tr></table></body></html>";
    return h;
}

QString withoutTime(QString html)
{
    static const QRegularExpression stamp("Report_\\d{14}</title>");
    return html.replace(stamp, "Report_TIME</title>");
}

} // namespace

class MeterReportTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void html_data();
    void html();
    void titleCarriesTheTime();
    void entryDialog();
    void emptyFieldsKeepTheirRows_data();
    void emptyFieldsKeepTheirRows();
    void cancelLeavesTheReport();
    void markupIsRendered();
    void printing();

private:
    ReportPageForMeter *openReport(bool chinese);
    FirstPageForMeter *page = nullptr;
    DialogRecorder dialogs;
};

void MeterReportTest::init()
{
    page = new FirstPageForMeter();
    MeterReportData &d = page->reportData;
    d.deviceName = "QX112";
    d.serialNumber = "23110042";
    d.energy = "137.0";
    d.duration = "10.5";
    d.powerRt = "12.6";
    d.powerMax = "20.0";
    d.powerMin = "5.4";
    d.powerAvg = "11.0";
    d.powerUnit = "mW/cm<sup>2</sup>";
    d.energyUnit = "mJ/cm<sup>2</sup>";
}

void MeterReportTest::cleanup()
{
    delete page; // takes its report windows with it
    page = nullptr;
}

ReportPageForMeter *MeterReportTest::openReport(bool chinese)
{
    page->chineseLayout = chinese;
    return new ReportPageForMeter(page);
}

void MeterReportTest::html_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::newRow("English: one heading") << false;
    QTest::newRow("Chinese: two headings, wider signature labels") << true;
}

void MeterReportTest::html()
{
    QFETCH(bool, chinese);
    ReportPageForMeter *report = openReport(chinese);
    const QString blank = "&nbsp;";
    QCOMPARE(withoutTime(report->reportHtml()), expectedHtml(chinese, blank, blank, blank, blank));
    QCOMPARE(report->windowTitle(), QStringLiteral("Report"));
    QCOMPARE(report->width(), 700);
    // A later language change does not change an open report.
    page->chineseLayout = !chinese;
    QCOMPARE(withoutTime(report->reportHtml()), expectedHtml(chinese, blank, blank, blank, blank));
}

void MeterReportTest::titleCarriesTheTime()
{
    ReportPageForMeter *report = openReport(false);
    const QDateTime before = QDateTime::currentDateTime();
    const QString html = report->reportHtml();
    const QRegularExpressionMatch m = QRegularExpression("Report_(\\d{14})</title>").match(html);
    QVERIFY(m.hasMatch());
    const QDateTime stamp = QDateTime::fromString(m.captured(1), "yyyyMMddhhmmss");
    QVERIFY(qAbs(stamp.secsTo(before)) <= 2);
}

void MeterReportTest::entryDialog()
{
    ReportPageForMeter *report = openReport(false);
    report->show();
    QVERIFY(QTest::qWaitForWindowExposed(report));
    report->findChild<QPushButton *>("Informationbtn")->click();
    auto *info = report->findChild<InformationPageForMeter *>();
    QVERIFY(info);
    // While it is open the report takes no clicks (sent as the window system
    // sends them): no second entry dialog.
    QVERIFY(QTest::qWaitForWindowExposed(info));
    auto *button = report->findChild<QPushButton *>("Informationbtn");
    QTest::mouseClick(report->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(report, button->rect().center()));
    QCOMPARE(report->findChildren<InformationPageForMeter *>().size(), 1);
    QCOMPARE(info->findChild<QLineEdit *>("DeviceEdit")->text(), QStringLiteral("QX112  Vantrel"));
    QCOMPARE(info->findChild<QLineEdit *>("serialNoEdit")->text(), QStringLiteral("23110042"));
    QVERIFY(info->findChild<QLineEdit *>("DeviceEdit")->isReadOnly());
    QVERIFY(info->findChild<QLineEdit *>("TestLightEdit")->text().isEmpty());
    info->findChild<QLineEdit *>("TestLightEdit")->setText("UV lamp 365 nm");
    info->findChild<QLineEdit *>("CompanyEdit")->setText("Test <b>lab</b> & co");
    info->findChild<QLineEdit *>("TesterEdit")->setText("A. Tester");
    info->findChild<QLineEdit *>("AuditorEdit")->setText("B. Auditor");
    info->findChild<QPushButton *>("Okbtn")->click();
    QCOMPARE(withoutTime(report->reportHtml()),
             expectedHtml(false, "UV lamp 365 nm", "Test &lt;b&gt;lab&lt;/b&gt; &amp; co",
                          "A. Tester", "B. Auditor"));
    const QString shown = report->findChild<QTextBrowser *>("textBrowser")->toPlainText();
    QVERIFY(shown.contains("UV lamp 365 nm"));
    // Typed markup is text: shown as typed, nothing in bold.
    QVERIFY(shown.contains("Test <b>lab</b> & co"));
    QVERIFY(!report->shownHtml().contains("font-weight:600"));
    QVERIFY(shown.contains("B. Auditor"));
    QVERIFY(!info->isVisible());
}

void MeterReportTest::emptyFieldsKeepTheirRows_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::newRow("English") << false;
    QTest::newRow("Chinese") << true;
}

void MeterReportTest::emptyFieldsKeepTheirRows()
{
    // A file without a serial number, and entries confirmed empty: each line
    // still lies under its own label, on screen and on the printed page.
    QFETCH(bool, chinese);
    QTranslator translator;
    if (chinese) {
        QVERIFY(translator.load(QStringLiteral("Vantrel_zh"), QStringLiteral(VANTREL_BINARY_DIR)));
        QCoreApplication::installTranslator(&translator);
    }
    page->reportData.serialNumber.clear();
    ReportPageForMeter *report = openReport(chinese);
    report->findChild<QPushButton *>("Informationbtn")->click();
    report->findChild<InformationPageForMeter *>()->findChild<QPushButton *>("Okbtn")->click();
    const QTextDocument &shown = *report->findChild<QTextBrowser *>("textBrowser")->document();
    for (int width : {480, 700})
        QCOMPARE(ReportLines::misplaced(shown, width), QString());
}

void MeterReportTest::cancelLeavesTheReport()
{
    ReportPageForMeter *report = openReport(false);
    report->findChild<QPushButton *>("Informationbtn")->click();
    auto *info = report->findChild<InformationPageForMeter *>();
    info->findChild<QLineEdit *>("CompanyEdit")->setText("ignored");
    info->findChild<QPushButton *>("Cancelbtn")->click();
    QCOMPARE(report->company, QStringLiteral("&nbsp;"));
    QVERIFY(!report->shownHtml().contains("ignored"));
}

void MeterReportTest::markupIsRendered()
{
    page->reportData.powerRt = "<b>12.6</b>";
    ReportPageForMeter *report = openReport(false);
    QTextBrowser *browser = report->findChild<QTextBrowser *>("textBrowser");
    QVERIFY(browser->toPlainText().contains("12.6"));
    QVERIFY(!browser->toPlainText().contains("<b>"));
    // The unit fragments' superscript 2 is a real superscript.
    QVERIFY(browser->toHtml().contains("vertical-align:super"));
    QVERIFY(!browser->toPlainText().contains("<sup>"));
}

void MeterReportTest::printing()
{
    QTemporaryDir dir;
    ReportPageForMeter *report = openReport(false);
    dialogs.printPdfPath = dir.filePath("report.pdf");
    dialogs.acceptPrint = false;
    report->findChild<QPushButton *>("PrintReportbtn")->click();
    QCOMPARE(dialogs.printDialogs, 1);
    QVERIFY(!QFile::exists(dialogs.printPdfPath));
    dialogs.acceptPrint = true;
    report->findChild<QPushButton *>("PrintReportbtn")->click();
    QCOMPARE(dialogs.printDialogs, 2);
    QVERIFY(QFileInfo(dialogs.printPdfPath).size() > 0);
}

QTEST_MAIN(MeterReportTest)
#include "test_meterreport.moc"
