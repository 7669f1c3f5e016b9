// Saved measurements open in the window without the instrument: each kind of
// file fills its family's page, the row actions work on what was opened, a
// bad file leaves the page as it was, and "Get Data" replaces the file.
#include "app/mainwindow.h"
#include "download/loggerrun.h"
#include "files/recordexport.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"
#include "gui/openedfilebar.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "logger/uvpowercurvepageforlogger.h"
#include "loggersupport.h"
#include "meter/firstpageformeter.h"
#include "protocol/modeltable.h"
#include "simdata.h"
#include "simsetup.h"

#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QtTest>

class TestOpenFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void opens_data();
    void opens();
    void badFileLeavesThePage();
    void getDataReplacesTheFile();
    void otherFamilyStaysOffline();
    void droppedFileOpens();

private:
    QString write(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
    DialogRecorder dialogs;
    MainWindow *window = nullptr;
};

namespace {

LoggerData loggerData()
{
    return SimData::logger();
}
MeterData meterData()
{
    return SimData::meter();
}

// The serial number field of the Logger page itself (report windows, children
// of the page, have one of their own).
QString serialShown()
{
    for (QLineEdit *e :
         MainWindow::instance()->loggerPage()->findChildren<QLineEdit *>("serialNoEdit")) {
        if (e->window() == MainWindow::instance())
            return e->text();
    }
    return QStringLiteral("(none)");
}

QTableWidget *tableOf(QWidget *page)
{
    return page->findChild<QTableWidget *>("tbData");
}

QString tableText(QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

} // namespace

QString TestOpenFile::write(const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

void TestOpenFile::initTestCase()
{
    QVERIFY(dir.isValid());
    SimSetup::install(SimProfile::logger(), false);
    window = SimSetup::startWindow();
    QVERIFY(!window->isLinkOpen());
}

void TestOpenFile::opens_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("logger");
    QTest::addColumn<QString>("source"); // what the strip below the table says
    QString why;
    const LoggerData logger = loggerData();
    const MeterData meter = meterData();
    QTest::newRow("Logger JSON") << "runs.json" << LoggerFiles::json(logger) << true
                                 << "QX101, serial number 24030117";
    QTest::newRow("Logger CSV") << "runs.csv" << Csv::withByteOrderMark(LoggerFiles::csv(logger))
                                << true << "QX101, serial number 24030117";
    QTest::newRow("Logger .xlsx") << "runs.xlsx"
                                  << XlsxWriter::toBytes(LoggerFiles::workbook(logger, true), &why)
                                  << true << "QX101, serial number 24030117";
    QTest::newRow("Meter JSON") << "records.json" << MeterFiles::json(meter) << false
                                << "QX102, serial number 23110042";
    QTest::newRow("Meter .xls") << "records.xls" << XlsWriter::toBytes(MeterFiles::workbook(meter))
                                << false << "QX102, serial number 23110042";
}

void TestOpenFile::opens()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, logger);
    QFETCH(QString, source);
    const QString path = write(name, bytes);
    dialogs.clear();
    // Through the page's "Open..." button, as the user does it.
    QWidget *page = logger ? static_cast<QWidget *>(window->loggerPage())
                           : static_cast<QWidget *>(window->meterPage());
    OpenedFileBar *bar = page->findChild<OpenedFileBar *>();
    QVERIFY(bar);
    dialogs.fileNames = QStringList{path};
    bar->openButton()->click();
    QCOMPARE(dialogs.texts(), QStringList());
    QCOMPARE(window->findChild<QStackedWidget *>()->currentWidget(), page);
    QVERIFY(!window->isLinkOpen());

    // The table shows what the instrument's download shows.
    QTableWidget *table = tableOf(page);
    if (logger) {
        QCOMPARE(table->rowCount(), loggerData().runs.size());
        QStringList expected;
        for (const LoggerRunData &run : loggerData().runs)
            expected << run.rowTexts().join(QLatin1Char('|'));
        QCOMPARE(tableText(table), expected.join(QLatin1Char('\n')));
        // The row actions work on the opened runs: the curve of run 2.
        LoggerSupport::invoke("on_CurveBtn_clicked", 1);
        UVPowerCurvePageForLogger *curve = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *c = qobject_cast<UVPowerCurvePageForLogger *>(w))
                curve = c;
        }
        QVERIFY(curve);
        QCOMPARE(curve->run().samples, loggerData().runs.at(1).samples);
        curve->close();
        delete curve;
    } else {
        QCOMPARE(table->rowCount(), meterData().records.size());
        QCOMPARE(table->item(0, 3)->text(),
                 MeterData::rowTexts(1, meterData().records.first(), meterData().decimals)[3]);
    }
    const QString shown = bar->findChild<QLabel *>("openedFileLabel")->text();
    QVERIFY2(shown.contains(QDir::toNativeSeparators(path)) && shown.contains(source),
             qPrintable(shown));
}

void TestOpenFile::badFileLeavesThePage()
{
    QVERIFY(window->openMeasurementFile(write("good.json", LoggerFiles::json(loggerData()))));
    QTableWidget *table = tableOf(window->loggerPage());
    const QString before = tableText(table);
    dialogs.clear();
    const QString bad = write("edited.csv", "record,NO,StartTime\r\nrun,x\r\n");
    QVERIFY(!window->openMeasurementFile(bad));
    QCOMPARE(dialogs.texts().size(), 1);
    QVERIFY2(dialogs.texts().first().contains("not written by Vantrel"),
             qPrintable(dialogs.texts().first()));
    QCOMPARE(tableText(table), before);
}

void TestOpenFile::getDataReplacesTheFile()
{
    SimProfile fewer = SimProfile::logger();
    fewer.runs = fewer.runs.mid(0, 1);
    fewer.serialNumber = 555;
    SimSetup::replug(fewer);
    QTRY_COMPARE_WITH_TIMEOUT(serialShown(), "555", 30000);
    QVERIFY(window->openMeasurementFile(write("old.json", LoggerFiles::json(loggerData()))));
    // The device fields stay the connected instrument's.
    QCOMPARE(serialShown(), "555");
    dialogs.clear();
    LoggerSupport::invoke("on_GetDataBtn_clicked");
    QTRY_VERIFY_WITH_TIMEOUT(!window->loggerPage()->downloading(), 30000);
    QCOMPARE(tableOf(window->loggerPage())->rowCount(), 1);
    QCOMPARE(serialShown(), "555");
    OpenedFileBar *bar = window->loggerPage()->findChild<OpenedFileBar *>();
    QCOMPARE(bar->fileName(), QString());
    SimSetup::unplugAll();
}

// A Meter file opened while a Logger is plugged in: the Meter page shows it
// and sends the Logger nothing.
void TestOpenFile::otherFamilyStaysOffline()
{
    auto logger = SimSetup::replug(SimProfile::logger());
    QCOMPARE(window->currentFamily(), MainWindow::Family::Logger);
    QVERIFY(window->openMeasurementFile(write("meter.json", MeterFiles::json(meterData()))));
    QCOMPARE(window->findChild<QStackedWidget *>()->currentWidget(), window->meterPage());
    const int requests = logger->requests().size();
    dialogs.clear();
    QMetaObject::invokeMethod(window->meterPage(), "on_GetDataBtn_clicked");
    QCOMPARE(dialogs.texts(), QStringList{"Please Connecting instrument!"});
    QCOMPARE(logger->requests().size(), requests);
    QCOMPARE(tableOf(window->meterPage())->rowCount(), meterData().records.size());
    // The way back to the Logger's page, offered only there and while the
    // Logger is connected.
    QPushButton *back = window->meterPage()->openedFileBar()->backButton();
    QVERIFY(!back->isHidden());
    QVERIFY(window->loggerPage()->openedFileBar()->backButton()->isHidden());
    back->click();
    QCOMPARE(window->findChild<QStackedWidget *>()->currentWidget(), window->loggerPage());
    QVERIFY(back->isHidden());
    QVERIFY(window->openMeasurementFile(write("meter.json", MeterFiles::json(meterData()))));
    QVERIFY(!back->isHidden());
    SimSetup::unplugAll();
    QTRY_VERIFY(back->isHidden());
}

// A measurement file dragged from a file manager onto the window opens; a
// drag of anything else is not taken.
void TestOpenFile::droppedFileOpens()
{
    const QString path = write("dropped.json", MeterFiles::json(meterData()));
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(path)});
    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent enterText(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(window, &enterText);
    QVERIFY(!enterText.isAccepted());
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    QTRY_COMPARE_WITH_TIMEOUT(window->meterPage()->openedFileBar()->fileName(), path, 30000);
    QCOMPARE(tableOf(window->meterPage())->rowCount(), meterData().records.size());
}

QTEST_MAIN(TestOpenFile)
#include "test_openfile.moc"
