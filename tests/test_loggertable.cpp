// The Logger page's table and row actions against the simulated Logger:
// curve windows, test reports, the "EXCEL" and "Save Data" workbooks, Clear
// and the language switch.

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "app/mainwindow.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"
#include "frames.h"
#include "gui/doseunitchoice.h"
#include "gui/tableopwidget.h"
#include "gui/uiseam.h"
#include "logger/informationpageforlogger.h"
#include "logger/reportpageforlogger.h"
#include "logger/uvpowercurvepageforlogger.h"
#include "loggersupport.h"
#include "plot/limitsets.h"
#include "savefaults.h"
#include "simsetup.h"
#include "testenv.h"
#include "xlscheck.h"

#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTextDocument>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <qcustomplot.h>

using namespace LoggerSupport;

namespace {

const QDateTime kLastSecond(QDate(2024, 12, 31), QTime(23, 59, 59));

template <class T>
QList<T *> windowsOf(QWidget *parent)
{
    // Windows of the row actions (the download's progress dialog is not one).
    QList<T *> windows;
    for (T *w : parent->findChildren<T *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QProgressDialog *>(w))
            windows << w;
    }
    return windows;
}

// Cell texts with numbers in one spelling: the spreadsheet keeps "2.0" that
// looks like a number as the number 2, as the spreadsheet application does.
QStringList values(const QStringList &cells)
{
    QStringList out;
    for (const QString &c : cells) {
        bool ok = false;
        const double d = c.toDouble(&ok);
        out << (ok ? QString::number(d, 'g', 15) : c);
    }
    return out;
}

QList<QStringList> values(const QList<QStringList> &rows)
{
    QList<QStringList> out;
    for (const QStringList &r : rows)
        out << values(r);
    return out;
}

TableOpWidget *actionsOf(int row)
{
    return qobject_cast<TableOpWidget *>(child<QTableWidget>("tbData")->cellWidget(row, 7));
}

} // namespace

class LoggerTableTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void curveOfTheRowsRun();
    void sortedByTheFigures();
    void curvePoints_data();
    void curvePoints();
    void autoSet();
    void reportCopiesTheRow();
    void reportPicture();
    void reportEntryDialog();
    void reportChineseLayout();
    void reportPrinting();
    void excelExport();
    void excelReplacesExistingFile();
    void saveData();
    void saveDataOverExistingFile_data();
    void saveDataOverExistingFile();
    void saveFailureKeepsOlderFile_data();
    void saveFailureKeepsOlderFile();
    void clearKeepsChosenRun();
    void languageSwitch();

private:
    std::unique_ptr<DialogRecorder> dialogs;
    QTemporaryDir dir;
    QStringList opened;
    std::shared_ptr<SimInstrument> download(const QList<SimLoggerRun> &runs,
                                            const QByteArray &block80 = QByteArray());
};

std::shared_ptr<SimInstrument> LoggerTableTest::download(const QList<SimLoggerRun> &runs,
                                                        const QByteArray &block80)
{
    SimProfile p = loggerProfile(runs);
    for (int i = 0; i < block80.size(); ++i)
        p.block80[i] = quint8(block80.at(i));
    auto sim = SimSetup::replug(p);
    invoke("on_GetDataBtn_clicked");
    dialogs->clear();
    return sim;
}

void LoggerTableTest::initTestCase()
{
    QVERIFY(dir.isValid());
    dialogs = std::make_unique<DialogRecorder>();
    FirstPageForLogger::setDataTemplatePath(QStringLiteral(VANTREL_BINARY_DIR "/Data.xls"));
    QVERIFY2(QFile::exists(FirstPageForLogger::dataTemplatePath()), "the build makes Data.xls");
    FirstPageForLogger::setFileOpener([this](const QString &name) { opened << name; });
    SimSetup::install(loggerProfile());
    SimSetup::startWindow();
    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
}

void LoggerTableTest::init()
{
    dialogs->clear();
    dialogs->fileNames.clear();
    dialogs->saveCaptions.clear();
    dialogs->saveDirs.clear();
    dialogs->saveFilters.clear();
    opened.clear();
}

void LoggerTableTest::cleanup()
{
    // Windows opened by the row actions belong to the page; close them.
    for (QDialog *d : windowsOf<QDialog>(page()))
        delete d;
}

void LoggerTableTest::curveOfTheRowsRun()
{
    download({run(kLastSecond, {1, 2}), run(kLastSecond, {5, 6, 7}), run(kLastSecond, {9})});
    QCOMPARE(rows(), 3);
    QCOMPARE(rowTexts(0).value(0), QString("1"));
    QCOMPARE(cell(2, 0), QString("3"));
    QTest::mouseClick(actionsOf(1)->curveBtn, Qt::LeftButton);
    QList<UVPowerCurvePageForLogger *> curves = windowsOf<UVPowerCurvePageForLogger>(page());
    QCOMPARE(curves.size(), 1);
    QCOMPARE(curves.first()->powerData(), page()->runPayload(1));
    QCOMPARE(page()->GetPowerData(), page()->runPayload(1));
    QVERIFY(curves.first()->isVisible());
    QCOMPARE(curves.first()->windowTitle(), QString("UV Power Curve"));
    QCOMPARE(curves.first()->size(), QSize(1220, 673));

    // Every click opens one more window; an open window keeps its run.
    QTest::mouseClick(actionsOf(1)->curveBtn, Qt::LeftButton);
    QTest::mouseClick(actionsOf(2)->curveBtn, Qt::LeftButton);
    curves = windowsOf<UVPowerCurvePageForLogger>(page());
    QCOMPARE(curves.size(), 3);
    download({run(kLastSecond, {100, 200})});
    QCOMPARE(curves.first()->powerData().size(), 6 + 4 * 3);
    QCOMPARE(curves.first()->plot()->graph(0)->dataCount(), 3);
}

// The whole run's figures are columns the table sorts by; a sorted row's
// buttons and a selection of sorted rows still mean their own runs, and the
// doses follow the unit chosen.
void LoggerTableTest::sortedByTheFigures()
{
    download({run(kLastSecond, {9}), run(kLastSecond, {1, 2}), run(kLastSecond, {5, 6, 7})});
    auto *table = child<QTableWidget>("tbData");
    QCOMPARE(table->columnCount(), 11);
    QCOMPARE(table->horizontalHeaderItem(8)->text(), QString::fromUtf8("Dose in mJ/cm²"));
    // Smallest dose first: 3, 9 and 18 intervals of 1 μW/cm².
    QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(table->horizontalHeader()->sectionViewportPosition(8) + 5, 5));
    table->sortByColumn(8, Qt::AscendingOrder);
    QCOMPARE((QStringList{cell(0, 0), cell(1, 0), cell(2, 0)}), (QStringList{"2", "1", "3"}));
    QTest::mouseClick(actionsOf(0)->curveBtn, Qt::LeftButton);
    const QList<UVPowerCurvePageForLogger *> curves = windowsOf<UVPowerCurvePageForLogger>(page());
    QCOMPARE(curves.size(), 1);
    QCOMPARE(curves.first()->powerData(), page()->runPayload(1));
    // Rows 2 and 3 as shown are runs 1 and 3, in the order they were taken.
    table->clearSelection();
    table->selectRow(1);
    table->setSelectionMode(QAbstractItemView::MultiSelection);
    table->selectRow(2);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QList<LoggerRunData> selected = page()->selectedRuns();
    QCOMPARE(selected.size(), 2);
    QCOMPARE(selected.at(0).samples, QVector<float>{9});
    QCOMPARE(selected.at(1).samples, (QVector<float>{5, 6, 7}));

    const QString mJ = cell(2, 8);
    DoseUnitChoice::instance()->setUnit(DoseUnit::Unit::JoulePerM2);
    auto restore =
        qScopeGuard([] { DoseUnitChoice::instance()->setUnit(DoseUnit::Unit::MilliJoulePerCm2); });
    QCOMPARE(table->horizontalHeaderItem(8)->text(), QString::fromUtf8("Dose in J/m²"));
    // 1 mJ/cm² is 10 J/m².
    QCOMPARE(cell(2, 8).toDouble(), mJ.toDouble() * 10);
}

void LoggerTableTest::curvePoints_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("extra");
    QTest::newRow("10 samples") << 10 << 0;
    QTest::newRow("one trailing byte ignored") << 4 << 1;
    QTest::newRow("three trailing bytes ignored") << 4 << 3;
    QTest::newRow("start time only") << 0 << 0;
    QTest::newRow("start time and a partial sample") << 0 << 3;
}

void LoggerTableTest::curvePoints()
{
    QFETCH(int, samples);
    QFETCH(int, extra);
    QByteArray payload = hexBytes("18 0C 1F 17 3B 3B");
    for (int i = 0; i < samples; ++i)
        payload += floatBytes({float(i * i) + 0.5f});
    payload += QByteArray(extra, '\x7F');
    download({rawRun(payload)});
    QCOMPARE(page()->runPayload(0), payload);
    invoke("on_CurveBtn_clicked", 0);
    const QList<UVPowerCurvePageForLogger *> curves = windowsOf<UVPowerCurvePageForLogger>(page());
    QCOMPARE(curves.size(), 1);
    QCustomPlot *plot = curves.first()->plot();
    QCOMPARE(plot->graphCount(), 1);
    QCPGraph *graph = plot->graph(0);
    QCOMPARE(graph->dataCount(), samples);
    // Seconds since the start along the bottom axis.
    const int interval = curves.first()->run().intervalSeconds;
    for (int i = 0; i < samples; ++i) {
        QCOMPARE(graph->data()->at(i)->key, double(i * interval));
        QCOMPARE(graph->data()->at(i)->value, double(float(i * i) + 0.5f));
    }
    QCOMPARE(int(plot->interactions()), 11);
    if (samples >= 2) {
        QCOMPARE(plot->xAxis->range().lower, 0.0);
        QCOMPARE(plot->xAxis->range().upper, double((samples - 1) * interval));
        QCOMPARE(plot->yAxis->range().upper, double(float((samples - 1) * (samples - 1)) + 0.5f));
    } else {
        // Nothing to fit: the first minute, 0 to 100.
        QCOMPARE(plot->xAxis->range(), QCPRange(0, 60));
        QCOMPARE(plot->yAxis->range(), QCPRange(0, 100));
    }
}

void LoggerTableTest::autoSet()
{
    download({run(kLastSecond, {3, 9, 4, 12, 1})});
    invoke("on_CurveBtn_clicked", 0);
    UVPowerCurvePageForLogger *curve = windowsOf<UVPowerCurvePageForLogger>(page()).value(0);
    QVERIFY(curve);
    QCustomPlot *plot = curve->plot();
    const QCPRange x = plot->xAxis->range();
    const QCPRange y = plot->yAxis->range();
    QCOMPARE(x, QCPRange(0, 4 * curve->run().intervalSeconds));
    QCOMPARE(y, QCPRange(1, 12));
    plot->xAxis->scaleRange(0.25, 2);
    plot->yAxis->moveRange(40);
    QVERIFY(plot->xAxis->range() != x);
    QTest::mouseClick(curve->findChild<QPushButton *>("autosetBtn"), Qt::LeftButton);
    QCOMPARE(plot->xAxis->range(), x);
    QCOMPARE(plot->yAxis->range(), y);
}

void LoggerTableTest::reportCopiesTheRow()
{
    download({run(kLastSecond.addDays(-1), {8}), run(kLastSecond, {1, 3, 2})});
    QTest::mouseClick(actionsOf(1)->reportBtn, Qt::LeftButton);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    QCOMPARE(page()->reportDuration, QString("30S"));
    QCOMPARE(page()->reportStartTime, QString("2024-12-31 23:59:59"));
    ReportPageForLogger *report = windowsOf<ReportPageForLogger>(page()).value(0);
    QVERIFY(report);
    QVERIFY(report->isVisible());
    QCOMPARE(report->windowTitle(), QString("Report"));
    QCOMPARE(report->width(), 700);
    const LoggerReport::Fields &f = report->fields();
    QCOMPARE(f.device, QString("QX101 Vantrel"));
    QCOMPARE(f.serialNo, QString("24030117"));
    QCOMPARE(f.startTime, QString("2024-12-31 23:59:59"));
    QCOMPARE(f.duration, QString("30S"));
    QCOMPARE((QStringList{f.powerRec, f.powerMax, f.powerMin, f.powerAvg}),
             (QStringList{"2.0", "3.0", "1.0", "2.0"}));
    QCOMPARE(f.testLight, QString());
    QCOMPARE(f.auditor, QString());
    QVERIFY(report->html().contains("<td width=\"33%\">30S<hr/></td>"));
    QVERIFY(report->textBrowser()->toPlainText().contains("30S"));
    QVERIFY(report->textBrowser()->toPlainText().contains(QString::fromUtf8("μW/cm2")));
    // Ten points of a ten-sample run at 0..90 s in the hidden plot.
    download({run(kLastSecond, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})});
    invoke("on_ReportBtn_clicked", 0);
    ReportPageForLogger *second = windowsOf<ReportPageForLogger>(page()).value(1);
    QVERIFY(second);
    QCOMPARE(second->plot()->graph(0)->dataCount(), 10);
    QCOMPARE(second->plot()->graph(0)->data()->at(9)->key, 90.0);
    QVERIFY(second->plot()->isHidden());
}

void LoggerTableTest::reportPicture()
{
    // Each window draws its own run into its own document, as a curve
    // object where the picture was; no picture file is written.
    const QStringList tempBefore = QDir::temp().entryList({"vantrel-curve-*"});
    for (const QString &name : LimitSets::names())
        LimitSets::remove(name);
    download({run(kLastSecond, {1, 3, 2}), run(kLastSecond, {4, 5})});
    invoke("on_ReportBtn_clicked", 0);
    invoke("on_ReportBtn_clicked", 1);
    QList<ReportPageForLogger *> reports = windowsOf<ReportPageForLogger>(page());
    QCOMPARE(reports.size(), 2);
    QVERIFY(reports.at(0)->document() != reports.at(1)->document());
    QCOMPARE(reports.at(0)->textBrowser()->document(), reports.at(0)->document());
    QCOMPARE(reports.at(0)->plot()->graph(0)->dataCount(), 3);
    QCOMPARE(reports.at(1)->plot()->graph(0)->dataCount(), 2);
    QVERIFY(reports.at(0)->html().contains(
        "<img border=\"0\" src=\"vantrel-report-curve\" width=\"500\" height=\"200\">"));
    QCOMPARE(reports.at(0)->document()->toPlainText().count(QChar::ObjectReplacementCharacter), 1);
    QCOMPARE(QDir::temp().entryList({"vantrel-curve-*"}), tempBefore);

    // Limits set in the window judge the run; a saved set comes back in the
    // next report window.
    ReportPageForLogger *report = reports.at(0);
    auto *peakMax = report->findChild<QCheckBox *>("peakMax");
    auto *peakMaxValue = report->findChild<QDoubleSpinBox *>("peakMaxValue");
    QVERIFY(peakMax && peakMaxValue);
    peakMax->setChecked(true);
    peakMaxValue->setValue(2.5);
    QVERIFY2(report->html().contains("FAIL</span>"), qPrintable(report->html()));
    peakMaxValue->setValue(3.0);
    QVERIFY2(report->html().contains("PASS</span>"), qPrintable(report->html()));
    auto *sets = report->findChild<QComboBox *>("limitSets");
    sets->setEditText("lamp 365");
    QTest::mouseClick(report->findChild<QPushButton *>("saveLimitSet"), Qt::LeftButton);
    invoke("on_ReportBtn_clicked", 1);
    ReportPageForLogger *third = windowsOf<ReportPageForLogger>(page()).value(2);
    QVERIFY(third);
    auto *thirdSets = third->findChild<QComboBox *>("limitSets");
    QCOMPARE(thirdSets->findText("lamp 365"), 0);
    QVERIFY(!third->html().contains("Verdict:"));
    thirdSets->setCurrentIndex(0);
    emit thirdSets->activated(0);
    QVERIFY(third->findChild<QCheckBox *>("peakMax")->isChecked());
    QVERIFY2(third->html().contains("FAIL</span>"), qPrintable(third->html())); // 5 > 3
    QTest::mouseClick(third->findChild<QPushButton *>("deleteLimitSet"), Qt::LeftButton);
    QCOMPARE(thirdSets->findText("lamp 365"), -1);
    QVERIFY(LimitSets::names().isEmpty());
}

void LoggerTableTest::reportEntryDialog()
{
    download({run(kLastSecond, {1, 3, 2})});
    invoke("on_ReportBtn_clicked", 0);
    ReportPageForLogger *report = windowsOf<ReportPageForLogger>(page()).value(0);
    QVERIFY(report);
    QTest::mouseClick(report->findChild<QPushButton *>("Informationbtn"), Qt::LeftButton);
    InformationPageForLogger *entry = windowsOf<InformationPageForLogger>(report).value(0);
    QVERIFY(entry);
    QCOMPARE(entry->windowTitle(), QString("Report"));
    // While it is open the report takes no clicks (sent as the window system
    // sends them): no second entry dialog.
    QVERIFY(QTest::qWaitForWindowExposed(report));
    QVERIFY(QTest::qWaitForWindowExposed(entry));
    auto *information = report->findChild<QPushButton *>("Informationbtn");
    QTest::mouseClick(report->windowHandle(), Qt::LeftButton, {},
                      information->mapTo(report, information->rect().center()));
    QCOMPARE(windowsOf<InformationPageForLogger>(report).size(), 1);
    auto edit = [&](const char *name) { return entry->findChild<QLineEdit *>(name); };
    QCOMPARE(edit("DeviceEdit")->text(), QString("QX101 Vantrel"));
    QCOMPARE(edit("serialNoEdit")->text(), QString("24030117"));
    QCOMPARE(edit("StartTimeEdit")->text(), QString("2024-12-31 23:59:59"));
    QCOMPARE(edit("DurationEdit")->text(), QString("30S"));
    for (const char *name : {"DeviceEdit", "serialNoEdit", "StartTimeEdit", "DurationEdit"})
        QVERIFY2(edit(name)->isReadOnly(), name);
    for (const char *name : {"TestLightEdit", "CompanyEdit", "TesterEdit", "AuditorEdit"}) {
        QVERIFY2(!edit(name)->isReadOnly(), name);
        QVERIFY2(edit(name)->text().isEmpty(), name);
    }

    // Cancel changes nothing.
    edit("TesterEdit")->setText("Nobody");
    const QString testerBefore = report->fields().tester;
    QTest::mouseClick(entry->findChild<QPushButton *>("Cancelbtn"), Qt::LeftButton);
    QCOMPARE(report->fields().tester, testerBefore);

    // OK copies the four texts and makes the document again.
    QTest::mouseClick(report->findChild<QPushButton *>("Informationbtn"), Qt::LeftButton);
    entry = windowsOf<InformationPageForLogger>(report).value(1);
    QVERIFY(entry);
    QVERIFY(edit("TesterEdit")->text().isEmpty());
    edit("TestLightEdit")->setText("UV LED 365");
    edit("TesterEdit")->setText("Li Lei");
    const QTextDocument *before = report->document();
    QTest::mouseClick(entry->findChild<QPushButton *>("Okbtn"), Qt::LeftButton);
    QCOMPARE(report->fields().testLight, QString("UV LED 365"));
    QCOMPARE(report->fields().tester, QString("Li Lei"));
    QCOMPARE(report->fields().company, QString()); // empty replaces &nbsp;
    QVERIFY(report->document() != before);
    QVERIFY(report->textBrowser()->toPlainText().contains("Li Lei"));
    QVERIFY(!entry->isVisible());
}

void LoggerTableTest::reportChineseLayout()
{
    download({run(kLastSecond, {1, 3, 2})});
    page()->chineseLayout = true;
    invoke("on_ReportBtn_clicked", 0);
    page()->chineseLayout = false;
    invoke("on_ReportBtn_clicked", 0);
    const QList<ReportPageForLogger *> reports = windowsOf<ReportPageForLogger>(page());
    QCOMPARE(reports.size(), 2);
    QVERIFY(reports.at(0)->chineseLayout());
    QVERIFY(reports.at(0)->html().contains("font-size: 18.0pt"));
    QVERIFY(reports.at(0)->html().contains("<td width=\"50%\">"));
    QVERIFY(!reports.at(1)->html().contains("font-size: 18.0pt"));
}

void LoggerTableTest::reportPrinting()
{
    download({run(kLastSecond, {1, 3, 2})});
    invoke("on_ReportBtn_clicked", 0);
    ReportPageForLogger *report = windowsOf<ReportPageForLogger>(page()).value(0);
    QVERIFY(report);
    auto *print = report->findChild<QPushButton *>("PrintReportbtn");
    const QString pdf = dir.filePath("report.pdf");
    dialogs->printPdfPath = pdf;
    dialogs->acceptPrint = false;
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(dialogs->printDialogs, 1);
    QVERIFY(!QFile::exists(pdf));
    dialogs->acceptPrint = true;
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(dialogs->printDialogs, 2);
    QVERIFY(QFileInfo(pdf).size() > 1000);
}

void LoggerTableTest::excelExport()
{
    download({run(kLastSecond, {1, 3, 2}), run(kLastSecond, {4})});
    // A name typed without a suffix gets ".xls".
    const QString file = dir.filePath("run1.xls");
    dialogs->fileNames << dir.filePath("run1");
    ProgressWatcher progress(page());
    QTest::mouseClick(actionsOf(0)->excelBtn, Qt::LeftButton);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    QCOMPARE(dialogs->saveDirs, QStringList{"NO1_20241231235959"});
    QCOMPARE(dialogs->saveCaptions, QStringList{"Storing data to Excel"});
    QCOMPARE(dialogs->saveFilters,
             QStringList{"excel file (*.xls);;excel file (*.xlsx);;CSV (*.csv)"});
    QCOMPARE(page()->exportRunNo, QString("1"));
    QCOMPARE(opened, QStringList{file});
    QCOMPARE(progress.dialogs, 1);
    QCOMPARE(progress.modality, Qt::WindowModal);
    QCOMPARE(progress.label, QString("Storing data,please wait..."));
    QCOMPARE(progress.maximum, 3 + 1);
    QCOMPARE(progress.values.value(0), 0);
    QCOMPARE(progress.values.last(), 3 + 1);
    const QList<QList<QStringList>> book = readWorkbook(file);
    QVERIFY(!book.isEmpty());
    QCOMPARE(values(book.first()), values(QList<QStringList>{{"NUM", "VAL"}, {"1", "1.0"},
                                                             {"2", "3.0"}, {"3", "2.0"}}));

    // Cancelled in the save dialog: nothing happens.
    init();
    QTest::mouseClick(actionsOf(1)->excelBtn, Qt::LeftButton);
    QCOMPARE(dialogs->saveDirs, QStringList{"NO2_20241231235959"});
    QVERIFY(opened.isEmpty());
}

void LoggerTableTest::excelReplacesExistingFile()
{
    download({run(kLastSecond, {7, 8})});
    const QString file = dir.filePath("existing.xls");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
    }
    dialogs->fileNames << file;
    invoke("on_EXCELBtn_clicked", 0);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    QCOMPARE(values(readWorkbook(file).value(0)),
             values(QList<QStringList>{{"NUM", "VAL"}, {"1", "7.0"}, {"2", "8.0"}}));
    QVERIFY(!QFile::exists(file + ".previous~"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).filter("existing").size(), 1);
}

void LoggerTableTest::saveData()
{
    download({run(kLastSecond, {1, 3, 2}), run(kLastSecond.addSecs(60), {4.25f, 5})});
    const QString file = dir.filePath("all.xls");
    dialogs->fileNames << file;
    ProgressWatcher progress(page());
    QTest::mouseClick(child<QPushButton>("pushButton_saveData"), Qt::LeftButton);
    QCOMPARE(dialogs->texts(), QStringList{"Save file success!"});
    QCOMPARE(dialogs->saveCaptions, QStringList{"Storing data to Excel"});
    QCOMPARE(dialogs->saveFilters,
             QStringList{"Excel file (*.xls);;Excel file (*.xlsx);;CSV (*.csv)"});
    QVERIFY2(QRegularExpression("^Data\\d{12}$").match(dialogs->saveDirs.value(0)).hasMatch(),
             qPrintable(dialogs->saveDirs.value(0)));
    QCOMPARE(progress.dialogs, 1);
    QCOMPARE(progress.modality, Qt::WindowModal);
    QCOMPARE(progress.label, QString("Saving Excel data, please wait"));
    QCOMPARE(progress.values, (QList<int>{0, 1, 2, 3}));

    const QList<QList<QStringList>> book = readWorkbook(file);
    QVERIFY(book.size() >= 3);
    const QList<QStringList> table = book.at(0);
    QCOMPARE(table.value(0).mid(0, 7),
             (QStringList{"NO", "StartTime", "Duration(S)", QString::fromUtf8("Power(REC) (μW/cm²)"),
                          QString::fromUtf8("Power(MAX) (μW/cm²)"),
                          QString::fromUtf8("Power(MIN) (μW/cm²)"),
                          QString::fromUtf8("Power(AVG) (μW/cm²)")}));
    QCOMPARE(values(table.value(1).mid(0, 7)), values(rowTexts(0)));
    QCOMPARE(values(table.value(2).mid(0, 7)), values(rowTexts(1)));
    QCOMPARE(cell(1, 5), QString("4.3"));
    QCOMPARE(values(book.at(1)), values(QList<QStringList>{{"NUM", "VAL"}, {"1", "1.0"},
                                                           {"2", "3.0"}, {"3", "2.0"}}));
    QCOMPARE(values(book.at(2)),
             values(QList<QStringList>{{"NUM", "VAL"}, {"1", "4.3"}, {"2", "5.0"}}));
}

void LoggerTableTest::saveDataOverExistingFile_data()
{
    QTest::addColumn<QByteArray>("templateBytes"); // empty: the built Data.xls; "none"
    QTest::addColumn<QString>("message");          // %1: the template's full name
    QTest::addColumn<QString>("title");
    const QString information = "information";
    // The user confirmed the replacement in the file dialog: the new
    // workbook takes the file's place, nothing of the old one left.
    QTest::newRow("replaced") << QByteArray() << "Save file success!" << information;
    QTest::newRow("template missing: file kept")
        << QByteArray("none") << "Create data file fail!" << information;
    QTest::newRow("template saved by LibreOffice: replaced")
        << TemplateFiles::libreOffice("libreoffice-Data.xls") << "Save file success!"
        << information;
    QTest::newRow("template that cannot be used: file kept")
        << TemplateFiles::libreOffice("libreoffice-shape.xls")
        << "Storing data failed, the template %1 cannot be used!"
        << "Storing data";
}

void LoggerTableTest::saveDataOverExistingFile()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, message);
    QFETCH(QString, title);
    download({run(kLastSecond, {1, 3, 2})});
    const QString file = dir.filePath("taken.xls");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    QTemporaryDir templateDir;
    const QString templatePath = templateDir.filePath("Data.xls");
    if (templateBytes == "none") {
        FirstPageForLogger::setDataTemplatePath(dir.filePath("no-such-template.xls"));
    } else if (!templateBytes.isEmpty()) {
        QFile f(templatePath);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(templateBytes) == templateBytes.size());
        f.close();
        FirstPageForLogger::setDataTemplatePath(templatePath);
    }
    dialogs->fileNames << file;
    invoke("on_pushButton_saveData_clicked");
    FirstPageForLogger::setDataTemplatePath(QStringLiteral(VANTREL_BINARY_DIR "/Data.xls"));
    QCOMPARE(dialogs->texts(), QStringList{message.replace("%1", templatePath)});
    QCOMPARE(dialogs->shown.first().title, title);
    if (message == "Save file success!") {
        QCOMPARE(values(readWorkbook(file).value(1)),
                 values(QList<QStringList>{{"NUM", "VAL"}, {"1", "1.0"}, {"2", "3.0"}, {"3", "2.0"}}));
    } else {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("mine"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("taken").size(), 1);
}

void LoggerTableTest::saveFailureKeepsOlderFile_data()
{
    using SaveFaults::Fault;
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("name");
    const QByteArray save = "on_pushButton_saveData_clicked";
    const QByteArray excel = "on_EXCELBtn_clicked";
    const QString cantOpen = "Storing data failed, Can't open file!";
    const QString saveFailed = "Save data file fail!";
    const QString exportFailed = "Export data failed!";
    const QString inUse = "Can't overwrite this file, maybe the file is in use!";
    const QString xls = "runs.xls";
    const QString xlsx = "runs.xlsx";
    QTest::newRow("Save Data: no file can be made") << save << Fault::Open << cantOpen << xls;
    QTest::newRow("Save Data: write fails") << save << Fault::Write << saveFailed << xls;
    QTest::newRow("Save Data: sync fails") << save << Fault::Sync << saveFailed << xls;
    QTest::newRow("Save Data: older file cannot be replaced")
        << save << Fault::Rename << inUse << xls;
    QTest::newRow("Save Data: disk full") << save << Fault::DiskFull << saveFailed << xls;
    QTest::newRow("EXCEL: no file can be made") << excel << Fault::Open << cantOpen << xls;
    QTest::newRow("EXCEL: write fails") << excel << Fault::Write << exportFailed << xls;
    QTest::newRow("EXCEL: close fails") << excel << Fault::Close << exportFailed << xls;
    QTest::newRow("EXCEL: disk full") << excel << Fault::DiskFull << exportFailed << xls;
    QTest::newRow("EXCEL: older file cannot be replaced") << excel << Fault::Rename << inUse << xls;
    QTest::newRow("EXCEL .csv: older file cannot be replaced")
        << excel << Fault::Rename << inUse << "runs.csv";
    QTest::newRow("Save Data .csv: older file cannot be replaced")
        << save << Fault::Rename << inUse << "runs.csv";
    QTest::newRow("Save Data .xlsx: no file can be made")
        << save << Fault::Open << cantOpen << xlsx;
    QTest::newRow("Save Data .xlsx: write fails") << save << Fault::Write << saveFailed << xlsx;
    QTest::newRow("EXCEL .xlsx: disk full") << excel << Fault::DiskFull << exportFailed << xlsx;
}

void LoggerTableTest::saveFailureKeepsOlderFile()
{
    QFETCH(QByteArray, slot);
    QFETCH(SaveFaults::Fault, fault);
    QFETCH(QString, message);
    QFETCH(QString, name);
    download({run(kLastSecond, {1, 3, 2}), run(kLastSecond.addSecs(60), {4.25f, 5})});
    SaveFaults::Injected injected(fault);
    if (!injected.isAvailable())
        VANTREL_SKIP_UNLESS_CI("no tmpfs can be mounted here");
    XlsWorkbook older = XlsWorkbook::withOneSheet();
    older.sheets[0].setValue(0, 0, QStringLiteral("older"));
    const QString path = injected.folder() + QLatin1Char('/') + name;
    const QByteArray before = XlsWriter::toBytes(older);
    QVERIFY(SaveFaults::putFile(path, before));
    QVERIFY(injected.fillLeaving(4096));

    dialogs->fileNames << path;
    if (slot == "on_EXCELBtn_clicked")
        invoke(slot.constData(), 0);
    else
        invoke(slot.constData());
    QCOMPARE(dialogs->texts(), QStringList{message});
    if (fault == SaveFaults::Fault::Rename)
        QCOMPARE(dialogs->shown[0].title, QStringLiteral("error"));
    QVERIFY(SaveFaults::fileBytes(path) == before);
    QCOMPARE(SaveFaults::leftovers(injected.folder(), name), QStringList());
    QCOMPARE(rows(), 2);
}

void LoggerTableTest::clearKeepsChosenRun()
{
    download({run(kLastSecond, {1, 3, 2})});
    invoke("on_CurveBtn_clicked", 0);
    const QByteArray chosen = page()->GetPowerData();
    QVERIFY(!chosen.isEmpty());
    QTest::mouseClick(child<QPushButton>("pushButton_clear"), Qt::LeftButton);
    QCOMPARE(rows(), 0);
    QVERIFY(page()->runPayload(0).isEmpty());
    QCOMPARE(page()->GetPowerData(), chosen);
    dialogs->fileNames << dir.filePath("after-clear.xls");
    QTest::mouseClick(child<QPushButton>("pushButton_saveData"), Qt::LeftButton);
    QCOMPARE(dialogs->texts(), QStringList{"Please get data first!"});
    QVERIFY(dialogs->saveDirs.isEmpty());
    // The curve of the last chosen run still opens.
    invoke("on_UVPowerCurveBtn_clicked");
    QCOMPARE(windowsOf<UVPowerCurvePageForLogger>(page()).size(), 2);
}

void LoggerTableTest::languageSwitch()
{
    download({run(kLastSecond, {1, 3, 2})});
    child<QLineEdit>("ShutdownEdit")->setText("6");
    const QString serial = child<QLineEdit>("serialNoEdit")->text();
    const QString firmware = child<QLineEdit>("FirmwareVersionEdit")->text();
    QVERIFY(!serial.isEmpty());
    QVERIFY(!firmware.isEmpty());
    const QStringList row = rowTexts(0);
    auto *table = child<QTableWidget>("tbData");
    // An open curve window follows the switch (a posted LanguageChange).
    QTest::mouseClick(actionsOf(0)->curveBtn, Qt::LeftButton);
    QCOMPARE(windowsOf<UVPowerCurvePageForLogger>(page()).size(), 1);
    UVPowerCurvePageForLogger *curve = windowsOf<UVPowerCurvePageForLogger>(page()).first();
    auto *autoSet = curve->findChild<QPushButton *>("autosetBtn");
    QVERIFY(autoSet);

    // The translations lie in the build directory, not where the tests run.
    QVERIFY2(QFile::exists(QStringLiteral(VANTREL_BINARY_DIR "/Vantrel_zh.qm")),
             "Vantrel_zh.qm has not been built");
    const QString here = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(VANTREL_BINARY_DIR));
    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageZh_clicked");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QVERIFY(page()->chineseLayout);
    QCOMPARE(autoSet->text(), QString::fromUtf8("自动设置"));
    QCOMPARE(curve->windowTitle(), QString::fromUtf8("紫外功率曲线"));
    QCOMPARE(child<QLineEdit>("serialNoEdit")->text(), serial);
    QCOMPARE(child<QLineEdit>("FirmwareVersionEdit")->text(), firmware);
    QCOMPARE(child<QLineEdit>("ShutdownEdit")->text(), QString("6"));
    QCOMPARE(rowTexts(0), row);
    QCOMPARE(actionsOf(0)->curveBtn->text(), QString::fromUtf8("曲线"));
    QCOMPARE(table->horizontalHeaderItem(3)->text(),
             QCoreApplication::translate("FirstPageForLogger", "Power(REC) (μW/cm²)"));
    QCOMPARE(child<QPushButton>("GetDataBtn")->text(),
             QCoreApplication::translate("FirstPageForLogger", "Get Data"));

    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QDir::setCurrent(here);
    QVERIFY(!page()->chineseLayout);
    QCOMPARE(autoSet->text(), QString("Auto Set"));
    QCOMPARE(curve->windowTitle(), QString("UV Power Curve"));
    QCOMPARE(actionsOf(0)->curveBtn->text(), QString("Curve"));
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QString::fromUtf8("Power(REC) (μW/cm²)"));
    QCOMPARE(child<QPushButton>("GetDataBtn")->text(), QString("Get Data"));
    QCOMPARE(child<QLineEdit>("ShutdownEdit")->text(), QString("6"));
    QCOMPARE(rowTexts(0), row);
}

QTEST_MAIN(LoggerTableTest)
#include "test_loggertable.moc"
