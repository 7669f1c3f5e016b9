// The Meter record table: clearing, saving through the spreadsheet engine,
// the per-row report and the language change, driven on the real page.
#include "app/lookandfeel.h"
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"
#include "gui/rowbuttondelegate.h"
#include "gui/tableopwidget.h"
#include "meter/firstpageformeter.h"
#include "meter/reportpageformeter.h"
#include "metertestsupport.h"
#include "savefaults.h"
#include "sim/siminstrument.h"
#include "testenv.h"
#include "xlscheck.h"

#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <freexl.h>

using namespace MeterTest;

namespace {

QString lineEdit(const char *name)
{
    return page()->findChild<QLineEdit *>(QLatin1String(name))->text();
}

// Every text cell of the first worksheet, row by row, as FreeXL reads it.
QList<QStringList> readWorkbook(const QString &path)
{
    QList<QStringList> rows;
    const void *handle = nullptr;
    if (freexl_open(path.toLocal8Bit().constData(), &handle) != FREEXL_OK)
        return rows;
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_select_active_worksheet(handle, 0) == FREEXL_OK &&
        freexl_worksheet_dimensions(handle, &rowCount, &columnCount) == FREEXL_OK) {
        for (unsigned int r = 0; r < rowCount; ++r) {
            QStringList texts;
            for (unsigned short c = 0; c < columnCount; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK)
                    texts << QStringLiteral("<error>");
                else if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT)
                    texts << QString::fromUtf8(v.value.text_value);
                else if (v.type == FREEXL_CELL_NULL)
                    texts << QString();
                else if (v.type == FREEXL_CELL_INT)
                    texts << QStringLiteral("#") + QString::number(v.value.int_value);
                else if (v.type == FREEXL_CELL_DOUBLE)
                    texts << QStringLiteral("#") + QString::number(v.value.double_value, 'g', 17);
                else
                    texts << QStringLiteral("<not text>");
            }
            rows << texts;
        }
    }
    freexl_close(handle);
    return rows;
}

// The spreadsheet application takes a text that reads as a number as that
// number ("#" marks one): the cell then holds the table text's value.
bool sameCell(const QString &cell, const QString &text)
{
    if (!cell.startsWith(QLatin1Char('#')))
        return cell == text;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value == cell.mid(1).toDouble();
}

QList<ReportPageForMeter *> reportWindows()
{
    return page()->findChildren<ReportPageForMeter *>(QString(), Qt::FindDirectChildrenOnly);
}

void closeReports()
{
    for (ReportPageForMeter *r : reportWindows())
        delete r;
}

} // namespace

class MeterTableTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void rowsHaveOnlyTheReportButton();
    void emptySaveRefused();
    void saveDialogCancelled();
    void saveWritesTheTable();
    void saveToABareName();
    void saveToAFileThatCannotBeOpened();
    void saveOverAnOlderWorkbook_data();
    void saveOverAnOlderWorkbook();
    void saveFromATemplate_data();
    void saveFromATemplate();
    void reportCopiesTheRow();
    void clearKeepsHeadersAndDevice();
    void clearAlsoEmptiesTheDevice();
    void languageChangeKeepsTheUnitHeaders();
    void languageChangeWithoutRecords();
    void busyRefusals();

private:
    void download(int unit);
    void pressReport(int row);
    DialogRecorder dialogs;
    QTemporaryDir dir;
};

void MeterTableTest::initTestCase()
{
    startWindow(SimProfile::meter());
}

void MeterTableTest::init()
{
    dialogs.clear();
    dialogs.fileNames.clear();
    dialogs.saveCaptions.clear();
    dialogs.saveDirs.clear();
    dialogs.saveFilters.clear();
    closeReports();
}

void MeterTableTest::download(int unit)
{
    replug(meterProfile(kProfile1Code, unit,
                        {workedRecord(), record(1, 2, 3, 4, 5, 6), record(7, 8, 9, 10, 11, 12)}));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
    dialogs.clear();
}

void MeterTableTest::rowsHaveOnlyTheReportButton()
{
    download(1);
    // The buttons are drawn by the column's delegate: no widget and no item
    // in the column, so that nothing of them goes into a saved table.
    auto *buttons = qobject_cast<RowButtonDelegate *>(table()->itemDelegateForColumn(7));
    QVERIFY(buttons);
    QCOMPARE(buttons->text(), QStringLiteral("Report"));
    for (int r = 0; r < table()->rowCount(); ++r) {
        QVERIFY(!table()->cellWidget(r, 7));
        QVERIFY(!table()->item(r, 7));
    }
    for (int c = 0; c < 7; ++c)
        QCOMPARE(table()->item(0, c)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));

    // Under the application's style sheet, whose push buttons are padded, the
    // Report buttons are as compact as the row buttons of the Logger's table.
    QString qss, colour;
    QVERIFY(LookAndFeel::loadStyleSheet(":/qss/psblue.css", &qss, &colour));
    qApp->setStyleSheet(qss);
    auto plain = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    QTableWidget loggerTable;
    TableOpWidget::styleTable(&loggerTable);
    auto *loggerRow = new TableOpWidget(&loggerTable);
    loggerRow->ensurePolished();
    QStyleOptionViewItem cell;
    cell.initFrom(table());
    const QSize drawn = buttons->sizeHint(cell, table()->model()->index(0, 7));
    QCOMPARE(drawn, loggerRow->reportBtn->sizeHint() + QSize(4, 4));
}

void MeterTableTest::pressReport(int row)
{
    const QRect cell = table()->visualRect(table()->model()->index(row, 7));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                      RowButtonDelegate::buttonRect(cell).center());
}

void MeterTableTest::emptySaveRefused()
{
    replug(meterProfile(kProfile1Code, 1, {}));
    button("pushButton_clear")->click();
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Please get data first!"});
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("information"));
    QVERIFY(dialogs.saveCaptions.isEmpty());
}

void MeterTableTest::saveDialogCancelled()
{
    download(1);
    button("pushButton_saveData")->click(); // no file name queued: cancelled
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(dialogs.saveCaptions, QStringList{"Storing data to Excel"});
    QCOMPARE(dialogs.saveFilters,
             QStringList{"Excel file (*.xls);;Excel file (*.xlsx);;CSV (*.csv)"});
    QVERIFY2(QRegularExpression("^Data\\d{12}$").match(dialogs.saveDirs.value(0)).hasMatch(),
             qPrintable(dialogs.saveDirs.value(0)));
    QCOMPARE(table()->rowCount(), 3);
}

void MeterTableTest::saveWritesTheTable()
{
    download(1);
    const QString path = dir.filePath(QStringLiteral("records.xls"));
    dialogs.fileNames << path;
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Save file success!"});
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("information"));
    const QList<QStringList> sheet = readWorkbook(path);
    QCOMPARE(sheet.size(), 4);
    QCOMPARE(sheet[0].mid(0, 7), headers());
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 7; ++c)
            QVERIFY2(sameCell(sheet[r + 1].value(c), row(r).at(c)),
                     qPrintable(QString("row %1 column %2: %3 for %4")
                                    .arg(r)
                                    .arg(c)
                                    .arg(sheet[r + 1].value(c), row(r).at(c))));
    }
    QCOMPARE(sheet[1].mid(0, 7),
             (QStringList{"#1", "#137", "#10.5", "#12.625", "#20", "#5.375", "#11"}));
    // The numbers show the table's decimals: 137 as the table's "137.0000".
    XlsWorkbook saved;
    QCOMPARE(XlsReader::load(path, &saved), XlsReader::Result::Ok);
    QCOMPARE(row(0).at(1), QStringLiteral("137.0000"));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 7; ++c) {
            const QString text = row(r).at(c);
            const int point = text.indexOf('.');
            QCOMPARE(int(saved.sheets[0].cell(r + 1, c)->decimals),
                     point < 0 ? -1 : text.size() - point - 1);
        }
    }
    QCOMPARE(table()->rowCount(), 3);
}

void MeterTableTest::saveToABareName()
{
    download(1);
    dialogs.fileNames << dir.filePath(QStringLiteral("bare"));
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Save file success!"});
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bare"))));
    QCOMPARE(readWorkbook(dir.filePath(QStringLiteral("bare.xls"))).size(), 4);
    // With the .xlsx filter chosen the name gets ".xlsx".
    dialogs.clear();
    dialogs.fileNames << dir.filePath(QStringLiteral("bare2"));
    dialogs.selectedFilters << QStringLiteral("Excel file (*.xlsx)");
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Save file success!"});
    QVERIFY(SaveFaults::fileBytes(dir.filePath(QStringLiteral("bare2.xlsx"))).startsWith("PK"));
}

void MeterTableTest::saveToAFileThatCannotBeOpened()
{
    download(1);
    dialogs.fileNames << dir.filePath(QStringLiteral("no/such/folder/records.xls"));
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Storing data failed, Can't open file!"});
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Storing data"));
    QCOMPARE(table()->rowCount(), 3);
}

void MeterTableTest::saveOverAnOlderWorkbook_data()
{
    using SaveFaults::Fault;
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("name");
    const QString open = "Storing data failed, Can't open file!";
    const QString fail = "Save data file fail!";
    const QString inUse = "Can't overwrite this file, maybe the file is in use!";
    QTest::newRow("saved: no row of the older file left") << Fault::None << "Save file success!"
                                                          << "records.xls";
    QTest::newRow("no file can be made") << Fault::Open << open << "records.xls";
    QTest::newRow("write fails") << Fault::Write << fail << "records.xls";
    QTest::newRow("sync fails") << Fault::Sync << fail << "records.xls";
    QTest::newRow("close fails") << Fault::Close << fail << "records.xls";
    QTest::newRow("older file cannot be replaced") << Fault::Rename << inUse << "records.xls";
    QTest::newRow("disk full") << Fault::DiskFull << fail << "records.xls";
    QTest::newRow("xlsx saved") << Fault::None << "Save file success!"
                                << "records.xlsx";
    QTest::newRow("xlsx: no file can be made") << Fault::Open << open << "records.xlsx";
    QTest::newRow("xlsx: write fails") << Fault::Write << fail << "records.xlsx";
    QTest::newRow("xlsx: older file cannot be replaced")
        << Fault::Rename << inUse << "records.xlsx";
    QTest::newRow("csv: older file cannot be replaced") << Fault::Rename << inUse << "records.csv";
    QTest::newRow("xlsx: disk full") << Fault::DiskFull << fail << "records.xlsx";
}

void MeterTableTest::saveOverAnOlderWorkbook()
{
    QFETCH(SaveFaults::Fault, fault);
    QFETCH(QString, message);
    QFETCH(QString, name);
    download(1);
    SaveFaults::Injected injected(fault);
    if (!injected.isAvailable())
        VANTREL_SKIP_UNLESS_CI("no tmpfs can be mounted here");
    // An older, longer workbook the user chose to replace.
    XlsWorkbook older = XlsWorkbook::withOneSheet();
    for (int r = 0; r < 40; ++r)
        older.sheets[0].setValue(r, 0, QStringLiteral("older %1").arg(r));
    const QString path = injected.folder() + QLatin1Char('/') + name;
    const QByteArray before = XlsWriter::toBytes(older);
    QVERIFY(SaveFaults::putFile(path, before));
    QVERIFY(injected.fillLeaving(4096));

    dialogs.fileNames << path;
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{message});
    if (fault == SaveFaults::Fault::Rename)
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("error"));
    QCOMPARE(SaveFaults::leftovers(injected.folder(), name), QStringList());
    if (fault == SaveFaults::Fault::None && name.endsWith(".xlsx")) {
        // Read back by openpyxl in test_xlsfile; here: a new zip file.
        QVERIFY(SaveFaults::fileBytes(path).startsWith("PK\x03\x04"));
    } else if (fault == SaveFaults::Fault::None) {
        const QList<QStringList> sheet = readWorkbook(path);
        QCOMPARE(sheet.size(), 4);
        QCOMPARE(sheet[0].mid(0, 7), headers());
    } else {
        QVERIFY(SaveFaults::fileBytes(path) == before);
    }
    QCOMPARE(table()->rowCount(), 3);
}

void MeterTableTest::saveFromATemplate_data()
{
    QTest::addColumn<QByteArray>("templateBytes"); // ./template.xls
    QTest::addColumn<QString>("message");          // %1: its full name
    QTest::newRow("cells under the table: only the table there")
        << TemplateFiles::withForeignCells() << "Save file success!";
    QTest::newRow("cannot be used: the template is named")
        << TemplateFiles::libreOffice("libreoffice-shape.xls")
        << "Storing data failed, the template %1 cannot be used!";
    QTest::newRow("too large: refused unread")
        << TemplateFiles::huge() << "Storing data failed, the template %1 is larger than 8 MB!";
}

void MeterTableTest::saveFromATemplate()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, message);
    download(1);
    // "./template.xls" is looked up in the current folder.
    QTemporaryDir current;
    const QString oldCurrent = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(oldCurrent); });
    QVERIFY(QDir::setCurrent(current.path()));
    const QString templatePath = QDir::current().absoluteFilePath(QStringLiteral("template.xls"));
    QVERIFY(SaveFaults::putFile(templatePath, templateBytes));
    const QString path = current.filePath(QStringLiteral("records.xls"));
    const QByteArray before = XlsWriter::toBytes(XlsWorkbook::withOneSheet());
    QVERIFY(SaveFaults::putFile(path, before));

    dialogs.fileNames << path;
    button("pushButton_saveData")->click();
    QCOMPARE(dialogs.texts(), QStringList{message.replace(QLatin1String("%1"), templatePath)});
    QCOMPARE(dialogs.shown[0].title,
             message == "Save file success!" ? "information" : "Storing data");
    QCOMPARE(SaveFaults::fileBytes(templatePath), templateBytes);
    if (message != "Save file success!") {
        QCOMPARE(SaveFaults::fileBytes(path), before);
        return;
    }
    // The template's values 999 and up in the table's columns are gone;
    // its header block beside the table (J1:K2) is kept.
    const QList<QStringList> sheet = readWorkbook(path);
    QCOMPARE(sheet.size(), 4);
    QCOMPARE(sheet[0].mid(0, 7), headers());
    QCOMPARE(sheet[0].mid(9, 2), (QStringList{"Lab", "UV-7"}));
    QCOMPARE(sheet[1].mid(9, 1), QStringList{"Operator"});
}

void MeterTableTest::reportCopiesTheRow()
{
    download(3);
    // A click outside the button's face (the cell's margin) is no press.
    const QRect cell = table()->visualRect(table()->model()->index(1, 7));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(1, 1));
    QCOMPARE(reportWindows().size(), 0);
    pressReport(1);
    const MeterReportData &d = page()->reportData;
    QCOMPARE(d.deviceName, QStringLiteral("QX102"));
    QCOMPARE(d.serialNumber, QStringLiteral("23110042"));
    QCOMPARE((QStringList{d.energy, d.duration, d.powerRt, d.powerMax, d.powerMin, d.powerAvg}),
             row(1).mid(1));
    QCOMPARE(d.powerUnit, QStringLiteral("W/m<sup>2</sup>"));
    QCOMPARE(reportWindows().size(), 1);
    ReportPageForMeter *report = reportWindows().first();
    QVERIFY(report->isVisible());
    QCOMPARE(report->device, QStringLiteral("QX102  Vantrel"));
    QCOMPARE(report->powerRt, row(1).at(3));
    QCOMPARE(report->energyUnit, QStringLiteral("J/m<sup>2</sup>"));
    // A second press, from the keyboard on another row, opens a second window.
    table()->setCurrentCell(2, 7);
    QTest::keyClick(table(), Qt::Key_Space);
    QCOMPARE(reportWindows().size(), 2);
    QCOMPARE(page()->reportData.energy, row(2).at(1));
}

void MeterTableTest::clearKeepsHeadersAndDevice()
{
    download(0);
    const QStringList before = headers();
    QCOMPARE(before.at(1), QString::fromUtf8("Energy μJ/cm²"));
    button("pushButton_clear")->click();
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(headers(), before);
    QCOMPARE(lineEdit("serialNoEdit"), QStringLiteral("23110042"));
    QCOMPARE(lineEdit("FirmwareVersionEdit"), QStringLiteral("2.1"));
    QVERIFY(page()->reportData.powerUnit.isEmpty());
    QVERIFY(page()->reportData.energyUnit.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
}

void MeterTableTest::clearAlsoEmptiesTheDevice()
{
    download(1);
    page()->clear();
    QCOMPARE(table()->rowCount(), 0);
    for (const char *name : {"serialNoEdit", "DeviceNameEdit", "FirmwareVersionEdit"})
        QCOMPARE(lineEdit(name), QString());
    for (const char *name : {"ProductionDateEdit", "CalibrationeDateEdit"})
        QCOMPARE(page()->findChild<QDateEdit *>(QLatin1String(name))->date(), QDate(2000, 1, 1));
}

void MeterTableTest::languageChangeKeepsTheUnitHeaders()
{
    download(0);
    // The unit checked now does not matter: the headers follow the records.
    radio("mwcmBtn")->setChecked(true);
    MarkingTranslator marking;
    QCoreApplication::installTranslator(&marking);
    page()->languageChange();
    const QString micro = QString::fromUtf8("μW/cm²");
    const QString unitText = MarkingTranslator::mark(micro);
    QCOMPARE(headers(), (QStringList{MarkingTranslator::mark("NO"),
                                     MarkingTranslator::mark("Energy ") +
                                         MarkingTranslator::mark(QString::fromUtf8("μJ/cm²")),
                                     MarkingTranslator::mark("Duration(S)"),
                                     MarkingTranslator::mark("Power(RT) ") + unitText,
                                     MarkingTranslator::mark("Power(MAX) ") + unitText,
                                     MarkingTranslator::mark("Power(MIN) ") + unitText,
                                     MarkingTranslator::mark("Power(AVG) ") + unitText}));
    QCOMPARE(button("GetDataBtn")->text(), MarkingTranslator::mark("Get Data"));
    QCOMPARE(qobject_cast<RowButtonDelegate *>(table()->itemDelegateForColumn(7))->text(),
             MarkingTranslator::mark("Report"));
    // The device fields survive the retranslation.
    QCOMPARE(lineEdit("serialNoEdit"), QStringLiteral("23110042"));
    QCOMPARE(lineEdit("DeviceNameEdit"), QStringLiteral("QX102"));
    QCOMPARE(lineEdit("FirmwareVersionEdit"), QStringLiteral("2.1"));

    QCoreApplication::removeTranslator(&marking);
    page()->languageChange();
    QCOMPARE(headers().at(3), QString::fromUtf8("Power(RT) μW/cm²"));
    QCOMPARE(qobject_cast<RowButtonDelegate *>(table()->itemDelegateForColumn(7))->text(),
             QStringLiteral("Report"));
}

void MeterTableTest::languageChangeWithoutRecords()
{
    download(3);
    page()->unitIndex = -1; // as after start, before any record was decoded
    page()->languageChange();
    QCOMPARE(headers(), (QStringList{"NO", "Energy", "Duration(S)", "Power(RT)", "Power(MAX) ",
                                     "Power(MIN)", "Power(AVG)"}));
}

void MeterTableTest::busyRefusals()
{
    download(1);
    page()->session()->isDownloading = true;
    pressReport(0);
    button("pushButton_clear")->click();
    button("pushButton_saveData")->click();
    page()->clear();
    page()->session()->isDownloading = false;
    QStringList refusals;
    for (int i = 0; i < 4; ++i)
        refusals << QStringLiteral("Getting data,please wait...");
    QCOMPARE(dialogs.texts(), refusals);
    QCOMPARE(table()->rowCount(), 3);
    QVERIFY(reportWindows().isEmpty());
    QVERIFY(dialogs.saveCaptions.isEmpty());
}

QTEST_MAIN(MeterTableTest)
#include "test_metertable.moc"
