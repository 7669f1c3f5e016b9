// The Logger report's HTML, piece by piece, in both layouts, and the
// document made of it: entries as text, the UV figures and the verdict.

#include "plot/loggerreport.h"
#include "plot/reportcurve.h"

#include <QAbstractTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <memory>

class LoggerReportTest : public QObject
{
    Q_OBJECT
private slots:
    void englishDocument();
    void layoutDifferences_data();
    void layoutDifferences();
    void valuesAsMarkup();
    void document_data();
    void document();
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
        "<p><img border=\"0\" src=\"vantrel-report-curve\" width=\"500\" height=\"200\"></p>"
        "</td></tr></table><br /><br /><br />"
        "<table width=\"100%\" border=\"0\" cellspacing=0><tr>"
        "<td width=\"10%\"> Tester:</td><td width=\"26%\" align=\"center\">&nbsp;<hr/></td>"
        "<td width=\"12%\"></td>"
        "<td width=\"11%\"> Auditor:</td><td width=\"25%\" align=\"center\">&nbsp;<hr/></td>"
        "</tr></table>"
        "</body></html>");
    QCOMPARE(LoggerReport::html(sampleFields(), false, kStamp), expected);
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
    const QString h = LoggerReport::html(sampleFields(), chinese, kStamp);
    if (!present.isEmpty())
        QVERIFY2(h.contains(present), qPrintable(h));
    if (!absent.isEmpty())
        QVERIFY2(!h.contains(absent), qPrintable(h));
}

void LoggerReportTest::valuesAsMarkup()
{
    // Typed entries are text: escaped, and an empty one keeps its blank.
    LoggerReport::Fields f = sampleFields();
    f.tester = "<b>Ann</b>";
    f.company = QString();
    const QString h = LoggerReport::html(f, false, kStamp);
    QVERIFY(h.contains("<td width=\"26%\" align=\"center\">&lt;b&gt;Ann&lt;/b&gt;<hr/></td>"));
    QVERIFY(h.contains("Company:</td><td width=\"33%\">&nbsp;<hr/></td>"));
}

namespace {

LoggerRunData sampleRun()
{
    LoggerRunData run;
    run.number = 3;
    run.hasStartBytes = true;
    run.start = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 0));
    run.intervalSeconds = 10;
    run.samples = {0, 100, 400, 800, 600, 200, 0};
    return run;
}

QString fixed(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

} // namespace

void LoggerReportTest::document_data()
{
    QTest::addColumn<QString>("tester");
    QTest::addColumn<QString>("limits"); // KEY=VALUE text; "" none
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<bool>("emptyRun"); // the run has a start and no sample

    const LoggerRunData run = sampleRun();
    UvFigures::Options options;
    const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds, options);
    const QString dose = fixed(UvFigures::toMilliJoulePerCm2(f.dose), 3);
    const QString figures = "Dose (sample-and-hold)\n" + dose;
    const QString window =
        fixed(f.windowStart, 1) + QString::fromUtf8(" – ") + fixed(f.windowEnd, 1);
    options.hasThreshold = true;
    options.threshold = 300;
    const double above =
        UvFigures::compute(run.samples, run.intervalSeconds, options).aboveThreshold;
    const QString verdict = "Verdict: ";
    auto judged = [&](const QString &text) {
        Verdict::Limits l;
        QString error;
        if (!Verdict::parse(text, &l, &error))
            qFatal("%s", qPrintable(error));
        UvFigures::Options o;
        o.hasThreshold = l.thresholdSet;
        o.threshold = l.threshold;
        const UvFigures::Figures judgedFigures =
            UvFigures::compute(run.samples, run.intervalSeconds, o);
        return Verdict::judge(judgedFigures, l).pass ? verdict + "PASS" : verdict + "FAIL";
    };

    QTest::newRow("markup typed in an entry shows as text")
        << "<b>x</b>" << "" << QStringList{"<b>x</b>"} << QStringList{} << false;
    QTest::newRow("figures with the rule, no verdict without limits")
        << "" << "" << QStringList{figures, "Peak\n800.0", window}
        << QStringList{verdict, "Time above"} << false;
    QTest::newRow("a threshold alone adds the time above it")
        << "" << "threshold=300"
        << QStringList{QString::fromUtf8("Time above 300.0 μW/cm2\n") + fixed(above, 1)}
        << QStringList{verdict} << false;
    const QString holding = "dose-min=" + fixed(UvFigures::toMilliJoulePerCm2(f.dose) - 1, 3) +
                            ",peak-max=800,time-above-min=" + fixed(above, 0) + ",threshold=300";
    QTest::newRow("limits that hold: PASS")
        << "" << holding << QStringList{judged(holding), "Dose minimum", "PASS"}
        << QStringList{"FAIL"} << false;
    const QString failing = "peak-max=799.9,dose-max=1000";
    QTest::newRow("a peak above its maximum: FAIL")
        << "" << failing << QStringList{judged(failing), "Peak maximum\n800\n799.9"}
        << QStringList{verdict + "PASS"} << false;
    QTest::newRow("too short above the threshold: FAIL")
        << "" << "time-above-min=" + fixed(above + 10, 0) + ",threshold=300"
        << QStringList{verdict + "FAIL"} << QStringList{verdict + "PASS"} << false;
    QTest::newRow("a run without samples: figures of nothing, no window")
        << "" << "dose-min=0.001,threshold=1"
        << QStringList{"Dose (sample-and-hold)\n0.000", "Peak\n0.0", QString::fromUtf8("peak)\n–"),
                       verdict + "FAIL"}
        << QStringList{verdict + "PASS"} << true;
}

void LoggerReportTest::document()
{
    QFETCH(QString, tester);
    QFETCH(QString, limits);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(bool, emptyRun);

    LoggerReport::Report report;
    report.fields = sampleFields();
    report.fields.tester = tester;
    report.run = sampleRun();
    if (emptyRun)
        report.run.samples.clear();
    report.stamp = kStamp;
    QString error;
    QVERIFY2(Verdict::parse(limits, &report.limits, &error), qPrintable(error));
    const std::unique_ptr<QTextDocument> doc(LoggerReport::document(report));
    // Cells end in paragraph breaks: one line a cell.
    const QString text = doc->toPlainText().replace(QChar::ParagraphSeparator, '\n');
    for (const QString &p : present)
        QVERIFY2(text.contains(p), qPrintable(p + " not in:\n" + text));
    for (const QString &a : absent)
        QVERIFY2(!text.contains(a), qPrintable(a + " in:\n" + text));
    if (!tester.isEmpty()) {
        const QTextCursor found = doc->find(tester);
        QVERIFY(!found.isNull());
        QCOMPARE(found.charFormat().fontWeight(), int(QFont::Normal));
    }
    // The curve is the document's one object, where the picture was, drawn
    // by the curve's handler the picture's size.
    const QString plain = doc->toPlainText();
    QCOMPARE(plain.count(QChar::ObjectReplacementCharacter), 1);
    QTextCursor object(doc.get());
    object.setPosition(plain.indexOf(QChar::ObjectReplacementCharacter) + 1);
    QCOMPARE(object.charFormat().objectType(), int(ReportCurve::kObjectType));
    auto *handler = doc->documentLayout()->handlerForObject(ReportCurve::kObjectType);
    QVERIFY(handler);
    QCOMPARE(handler->intrinsicSize(doc.get(), object.position() - 1, object.charFormat()),
             QSizeF(500, 200));
}

QTEST_MAIN(LoggerReportTest)
#include "test_loggerreport.moc"
