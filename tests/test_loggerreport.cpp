// The Logger report's HTML, piece by piece, in both layouts.

#include "plot/loggerreport.h"

#include <QtTest>

class LoggerReportTest : public QObject
{
    Q_OBJECT
private slots:
    void englishDocument();
    void layoutDifferences_data();
    void layoutDifferences();
    void valuesAsMarkup();
};

namespace {

LoggerReport::Fields sampleFields()
{
    LoggerReport::Fields f;
    f.device = "QX101 Vantrel";
    f.serialNo = "23110042";
    f.startTime = "2024-12-31 23:59:59";
    f.duration = "30S";
    f.powerRec = "2.0";
    f.powerMax = "3.0";
    f.powerMin = "1.0";
    f.powerAvg = "2.0";
    return f;
}

const QDateTime kStamp(QDate(2025, 1, 2), QTime(3, 4, 5));

} // namespace

void LoggerReportTest::englishDocument()
{
    const QString expected = QString::fromUtf8(
        "<html><head><meta http-equiv=Content-Type content=\"text/html;charset=gb2312\"><title>"
        "Report_20250102030405"
        "</title></head><body>"
        "<p class=\"MsoNormal\" align=\"center\" style=\"text-align: center\">"
        "<span lang=\"EN-US\" style=\"font-size: 25.0pt\">Test Report</span></p>"
        "<br />"
        "<table width=\"100%\" border=\"0\" cellspacing=0>"
        "<tr><td width=\"13%\">Device: </td><td width=\"33%\">QX101 Vantrel<hr/></td>"
        "<td width=\"3%\"></td><td width=\"13%\">SN:</td><td width=\"33%\">23110042<hr/></td></tr>"
        "<tr><td width=\"13%\">StartTime:</td><td width=\"33%\">2024-12-31 23:59:59<hr/></td>"
        "<td width=\"3%\"></td><td width=\"13%\">Duration:</td><td width=\"33%\">30S<hr/></td></tr>"
        "<tr><td width=\"13%\">Test Light:</td><td width=\"33%\">&nbsp;<hr/></td>"
        "<td width=\"3%\"></td><td width=\"13%\">Company:</td><td width=\"33%\">&nbsp;<hr/></td></tr>"
        "</table><br />"
        "<p>Test Data</p>"
        "<table width=\"100%\" border=\"1\" cellspacing=0>"
        "<tr><td width=\"15%\" align=\"center\">Item</td><td width=\"15%\" align=\"center\">Value</td>"
        "<td width=\"15%\" align=\"center\">Unit</tr>"
        "<tr><td width=\"15%\" align=\"center\">Power(REC)</td><td width=\"15%\" align=\"center\">2.0</td>"
        "<td width=\"15%\" align=\"center\">μW/cm<sup>2</sup></tr>"
        "<tr><td width=\"15%\" align=\"center\">Power(MAX)</td><td width=\"15%\" align=\"center\">3.0</td>"
        "<td width=\"15%\" align=\"center\">μW/cm<sup>2</sup></tr>"
        "<tr><td width=\"15%\" align=\"center\">Power(MIN)</td><td width=\"15%\" align=\"center\">1.0</td>"
        "<td width=\"15%\" align=\"center\">μW/cm<sup>2</sup></tr>"
        "<tr><td width=\"15%\" align=\"center\">Power(AVG)</td><td width=\"15%\" align=\"center\">2.0</td>"
        "<td width=\"15%\" align=\"center\">μW/cm<sup>2</sup></tr>"
        "<tr><td width=\"100%\" colspan=\"3\">"
        "<p><img border=\"0\" src=\"/tmp/curve.png\" width=\"500\" height=\"200\"></p>"
        "</td></tr></table><br /><br /><br />"
        "<table width=\"100%\" border=\"0\" cellspacing=0><tr>"
        "<td width=\"10%\"> Tester:</td><td width=\"26%\" align=\"center\">&nbsp;<hr/></td>"
        "<td width=\"12%\"></td>"
        "<td width=\"11%\"> Auditor:</td><td width=\"25%\" align=\"center\">&nbsp;<hr/></td>"
        "</tr></table>"
        "</body></html>");
    QCOMPARE(LoggerReport::html(sampleFields(), false, "/tmp/curve.png", kStamp), expected);
}

void LoggerReportTest::layoutDifferences_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("absent");
    const QString heading18 = "<p class=\"MsoNormal\" align=\"center\" style=\"text-align: "
                              "center\"><span lang=\"EN-US\" style=\"font-size: 18.0pt\">Test "
                              "Report</span></p>";
    const QString twoSignatureRows =
        "<tr><td width=\"50%\"> Tester:</td><td width=\"26%\" align=\"center\">&nbsp;<hr/></td>"
        "</tr><tr><td width=\"50%\"> Auditor:</td><td width=\"25%\" "
        "align=\"center\">&nbsp;<hr/></td></tr></table>";
    QTest::newRow("chinese: second heading line") << true << heading18 << QString();
    QTest::newRow("chinese: first heading is its own label")
        << true << "style=\"font-size: 25.0pt\">Test Report1</span></p>" << QString();
    QTest::newRow("chinese: identity labels 15%")
        << true << "<tr><td width=\"15%\">StartTime:</td>" << "<td width=\"13%\">";
    QTest::newRow("chinese: signatures on two rows") << true << twoSignatureRows
                                                     << "<td width=\"12%\">";
    QTest::newRow("english: one heading line") << false << QString() << heading18;
    QTest::newRow("english: signatures on one row") << false << "<td width=\"12%\"></td>"
                                                    << "<td width=\"50%\">";
}

void LoggerReportTest::layoutDifferences()
{
    QFETCH(bool, chinese);
    QFETCH(QString, present);
    QFETCH(QString, absent);
    const QString h = LoggerReport::html(sampleFields(), chinese, "/tmp/curve.png", kStamp);
    if (!present.isEmpty())
        QVERIFY2(h.contains(present), qPrintable(h));
    if (!absent.isEmpty())
        QVERIFY2(!h.contains(absent), qPrintable(h));
}

void LoggerReportTest::valuesAsMarkup()
{
    LoggerReport::Fields f = sampleFields();
    f.tester = "<b>Ann</b>";
    f.company = QString();
    const QString h = LoggerReport::html(f, false, "p.png", kStamp);
    QVERIFY(h.contains("<td width=\"26%\" align=\"center\"><b>Ann</b><hr/></td>"));
    QVERIFY(h.contains("Company:</td><td width=\"33%\"><hr/></td>"));
}

QTEST_GUILESS_MAIN(LoggerReportTest)
#include "test_loggerreport.moc"
