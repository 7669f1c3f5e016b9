// ExcelEngine: the automation calls it makes, the Meter save and the Logger
// export as the pages run them, cancel, block writes, bad files and
// templates, and that nothing reaches the file before saveBook().

#include "export/automationobject.h"
#include "export/excelengine.h"
#include "export/spreadsheetobject.h"
#include "files/compoundfile.h"
#include "files/workbooklayout.h"
#include "files/workbooktemplate.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include "testenv.h"
#include "xlscheck.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString describe(const QVariant &v)
{
    return QStringLiteral("%1:%2").arg(QString::fromLatin1(v.typeName()), v.toString());
}

// Wraps the real application and writes every call into a log.
class Recorder : public AutomationObject
{
public:
    Recorder(AutomationObject *inner, QStringList *log, QObject *parent = nullptr)
        : AutomationObject(parent), m_inner(inner), m_log(log)
    {
        inner->setParent(this);
    }

    AutomationObject *querySubObject(const char *name, const QVariant &v1, const QVariant &v2,
                                     const QVariant &v3, const QVariant &v4, const QVariant &v5,
                                     const QVariant &v6, const QVariant &v7,
                                     const QVariant &v8) override
    {
        m_log->append(QStringLiteral("query ") + name +
                      arguments({v1, v2, v3, v4, v5, v6, v7, v8}));
        AutomationObject *sub = m_inner->querySubObject(name, v1, v2, v3, v4, v5, v6, v7, v8);
        return sub ? new Recorder(sub, m_log, this) : nullptr;
    }
    QVariant dynamicCall(const char *name, const QVariant &v1, const QVariant &v2,
                         const QVariant &v3, const QVariant &v4, const QVariant &v5,
                         const QVariant &v6, const QVariant &v7, const QVariant &v8) override
    {
        m_log->append(QStringLiteral("call ") + name + arguments({v1, v2, v3, v4, v5, v6, v7, v8}));
        return m_inner->dynamicCall(name, v1, v2, v3, v4, v5, v6, v7, v8);
    }
    QVariant property(const char *name) const override
    {
        m_log->append(QStringLiteral("property ") + name);
        return m_inner->property(name);
    }
    bool setProperty(const char *name, const QVariant &value) override
    {
        m_log->append(QStringLiteral("set ") + name);
        return m_inner->setProperty(name, value);
    }
    bool isNull() const override { return m_inner->isNull(); }

private:
    static QString arguments(const QVariantList &values)
    {
        QStringList parts;
        for (const QVariant &v : values) {
            if (v.isValid())
                parts << describe(v);
        }
        return parts.isEmpty() ? QString() : QStringLiteral(" [") + parts.join(", ") + "]";
    }

    AutomationObject *m_inner;
    QStringList *m_log;
};

// Installs a factory that records every call and restores the old one.
class RecordingFactory
{
public:
    RecordingFactory()
    {
        m_previous = AutomationObject::setFactory(
            [this](const QString &progId, QObject *parent) -> AutomationObject * {
                log.append(QStringLiteral("create ") + progId);
                if (refuse || progId != QLatin1String("Excel.Application"))
                    return nullptr;
                return new Recorder(SpreadsheetObject::createApplication(), &log, parent);
            });
    }
    ~RecordingFactory() { AutomationObject::setFactory(m_previous); }

    int count(const QString &entry) const { return log.count(entry); }

    QStringList log;
    bool refuse = false;

private:
    AutomationObject::Factory m_previous;
};

struct TableSpec
{
    QStringList headers;     // "" = no header item
    QList<QStringList> rows; // "\x01" = no item
};

std::unique_ptr<QTableWidget> makeTable(const TableSpec &layout)
{
    auto table = std::make_unique<QTableWidget>(layout.rows.size(), layout.headers.size());
    for (int c = 0; c < layout.headers.size(); ++c) {
        if (!layout.headers.at(c).isEmpty())
            table->setHorizontalHeaderItem(c, new QTableWidgetItem(layout.headers.at(c)));
    }
    for (int r = 0; r < layout.rows.size(); ++r) {
        for (int c = 0; c < layout.rows.at(r).size(); ++c) {
            if (layout.rows.at(r).at(c) != QLatin1String("\x01"))
                table->setItem(r, c, new QTableWidgetItem(layout.rows.at(r).at(c)));
        }
    }
    return table;
}

// What a cell holds after the application stored a text written to it.
QVariant storedText(const QString &text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && !text.contains(' ') ? QVariant(number) : QVariant(text);
}

// Checks a sheet read by FreeXL against a table written by writeTable.
void checkTableSheet(const FreeXlBook &book, int sheet, const TableSpec &layout, int rowsWritten)
{
    QVERIFY2(book.ok, qPrintable(book.error));
    for (int c = 0; c < layout.headers.size(); ++c) {
        const QVariant expected =
            layout.headers.at(c).isEmpty() ? QVariant() : storedText(layout.headers.at(c));
        QCOMPARE(book.cell(sheet, 0, c), expected);
    }
    for (int r = 0; r < layout.rows.size(); ++r) {
        for (int c = 0; c < layout.headers.size(); ++c) {
            const QString item = layout.rows.at(r).value(c, QStringLiteral("\x01"));
            const QVariant expected =
                (r >= rowsWritten || item == QLatin1String("\x01")) ? QVariant() : storedText(item);
            QCOMPARE(book.cell(sheet, r + 1, c), expected);
        }
    }
}

XlsWorkbook templateWith(int sheets)
{
    XlsWorkbook book;
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    return book;
}

} // namespace

Q_DECLARE_METATYPE(TableSpec)
Q_DECLARE_METATYPE(SheetTable)
Q_DECLARE_METATYPE(ExcelEngine::Failure)

class TestExcelEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void columnLetters_data();
    void columnLetters();
    void openSheetCallOrder();
    void setCellCallOrder();
    void meterSave_data();
    void meterSave();
    void widgetAndValuesWriteTheSameCells_data();
    void widgetAndValuesWriteTheSameCells();
    void cancelKeepsRowsWritten_data();
    void cancelKeepsRowsWritten();
    void loggerExport();
    void writeRowsRange_data();
    void writeRowsRange();
    void writeRowsRefused();
    void writeRowsStopsAtTheLastRow();
    void runBlockAsEnteredTexts();
    void openSheetRefusesBadFiles_data();
    void openSheetRefusesBadFiles();
    void noApplication();
    void failedSaveIsReported();
    void droppingTheEngineCloses();
    void emptyNewFileHasOneSheet();
    void builtTemplateServesTheLoggerExport();
    void templatesFromOtherPrograms_data();
    void templatesFromOtherPrograms();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void TestExcelEngine::init()
{
    // "./template.xls" is looked up in the current directory.
    m_dir = std::make_unique<QTemporaryDir>();
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void TestExcelEngine::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    m_dir.reset();
}

void TestExcelEngine::columnLetters_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1") << 1 << ""
                       << "A";
    QTest::newRow("2") << 2 << "35"
                       << "B35";
    QTest::newRow("26") << 26 << ""
                        << "Z";
    QTest::newRow("27") << 27 << ""
                        << "AA";
    QTest::newRow("28") << 28 << ""
                        << "AB";
    QTest::newRow("52") << 52 << ""
                        << "AZ";
    QTest::newRow("53") << 53 << ""
                        << "BA";
    QTest::newRow("256") << 256 << ""
                         << "IV";
    QTest::newRow("702") << 702 << ""
                         << "ZZ";
    QTest::newRow("703") << 703 << "1"
                         << "AAA1";
    QTest::newRow("16384") << 16384 << ""
                           << "XFD";
    QTest::newRow("0 adds nothing") << 0 << "7"
                                    << "7";
}

void TestExcelEngine::columnLetters()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ExcelEngine::columnLetters(n, text);
    QCOMPARE(text, expected);
}

void TestExcelEngine::openSheetCallOrder()
{
    RecordingFactory recorder;
    const QString templatePath = path("Data.xls");
    QVERIFY(XlsWriter::save(templateWith(3), templatePath));
    const QString file = path("order.xls");
    ExcelEngine engine(file, templatePath);
    QVERIFY(engine.openSheet(2));
    const QStringList selectSheet{
        "query UsedRange", "query Rows",     "query Columns",  "property Row",
        "property Column", "property Count", "property Count",
    };
    QCOMPARE(recorder.log,
             QStringList({
                 "create Excel.Application",
                 "query WorkBooks",
                 "query Open(QString, QVariant) [QString:" + templatePath + ", int:0]",
                 "query WorkSheets(int) [uint:2]",
                 "query WorkSheets",
             }) + selectSheet);
    // Another worksheet of the same workbook: nothing is started or closed.
    recorder.log.clear();
    QVERIFY(engine.openSheet(1));
    QCOMPARE(recorder.log, QStringList{"query WorkSheets(int) [uint:1]"} + selectSheet);
    recorder.log.clear();
    engine.closeBook();
    QCOMPARE(recorder.log, (QStringList{"call Close(bool) [bool:false]", "call Quit()"}));
    QVERIFY(!engine.isOpen());
    QVERIFY(!QFile::exists(file)); // never saved
}

void TestExcelEngine::setCellCallOrder()
{
    RecordingFactory recorder;
    const QString file = path("cell.xls");
    ExcelEngine engine(file);
    QVERIFY(engine.openSheet(1));
    recorder.log.clear();
    QVERIFY(engine.setCell(3, 2, QStringLiteral("12.5")));
    QCOMPARE(recorder.log, (QStringList{
                               "query Cells(int,int) [uint:3, uint:2]",
                               "call SetHorizontalAlignment(const QVariant&) [int:-4108]",
                               "call SetValue(const QVariant&) [QString:12.5]",
                           }));
    QVERIFY(!engine.setCell(65537, 1, QStringLiteral("beyond the sheet")));
    QVERIFY(engine.saveBook());
    engine.closeBook();

    XlsWorkbook book;
    QCOMPARE(XlsReader::load(file, &book), XlsReader::Result::Ok);
    QCOMPARE(book.sheets.at(0).value(2, 1), QVariant(12.5));
    QVERIFY(book.sheets.at(0).cell(2, 1)->centred);
    QCOMPARE(book.sheets.at(0).cellCount(), 1);
}

void TestExcelEngine::meterSave_data()
{
    QTest::addColumn<TableSpec>("layout");
    const QStringList headers{"NO", "Real(μW/cm²)", "Max(μW/cm²)", "时间", "Energy(mJ/cm²)"};
    QTest::newRow("records with units and Chinese")
        << TableSpec{headers,
                     {{"1", "12.3", "15.0", "2024-12-31 23:59:59", "0.512"},
                      {"2", "0.0", "-1.5", "无", "1234.5"},
                      {"3", "1e3", "007", "30S", "μ²"}}};
    QTest::newRow("no rows: header only") << TableSpec{headers, {}};
    QTest::newRow("header item missing in one column")
        << TableSpec{{"NO", "", "VAL"}, {{"1", "a", "b"}, {"2", "c", "d"}}};
    QTest::newRow("cell items missing")
        << TableSpec{{"NO", "A", "B"}, {{"1", "\x01", "x"}, {"\x01", "y", "\x01"}}};
}

void TestExcelEngine::meterSave()
{
    QFETCH(TableSpec, layout);
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    const QString file = path("Data261206154000.xls"); // no template: a new workbook

    // As the Meter page saves its table.
    auto engine = std::make_unique<ExcelEngine>(file);
    QVERIFY(engine->openSheet(1));
    QProgressDialog progress(QStringLiteral("Saving Excel data, please wait"),
                             QStringLiteral("Cancel"), 0, table->rowCount() + 1);
    QVERIFY(engine->writeTable(table.get(), &progress));
    progress.setValue(table->rowCount() + 1);
    QVERIFY(!progress.wasCanceled());
    QVERIFY(engine->saveBook());
    engine->closeBook();
    engine.reset();

    const FreeXlBook read = readWithFreeXl(file);
    checkTableSheet(read, 0, layout, layout.rows.size());
    QCOMPARE(read.sheets.size(), 1);

    // Every written cell is centred.
    XlsWorkbook book;
    QCOMPARE(XlsReader::load(file, &book), XlsReader::Result::Ok);
    for (const XlsSheet::Entry &entry : book.sheets.at(0).cells())
        QVERIFY(entry.cell.centred);
}

void TestExcelEngine::widgetAndValuesWriteTheSameCells_data()
{
    // In the widget's texts "\x01" stands for no item, "\x02" for an item
    // without any text; in the values a null text for no cell.
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<SheetTable>("values");
    QTest::addColumn<QStringList>("cells"); // "row,column:value", all centred

    QTest::newRow("missing header item and empty header text")
        << QStringList{"NO", "\x01", ""} << QList<QStringList>{{"1", "a", "b"}}
        << SheetTable{{"NO", QString(), ""}, {{"1", "a", "b"}}}
        << QStringList{"0,0:NO", "0,2:", "1,0:1", "1,1:a", "1,2:b"};
    QTest::newRow("missing item and empty text in the middle")
        << QStringList{"A", "B", "C"} << QList<QStringList>{{"1", "\x01", "3"}, {"4", "", "6"}}
        << SheetTable{{"A", "B", "C"}, {{"1", QString(), "3"}, {"4", "", "6"}}}
        << QStringList{"0,0:A", "0,1:B", "0,2:C", "1,0:1", "1,2:3", "2,0:4", "2,1:", "2,2:6"};
    QTest::newRow("item without any text is an empty cell")
        << QStringList{"A"} << QList<QStringList>{{"\x02"}} << SheetTable{{"A"}, {{""}}}
        << QStringList{"0,0:A", "1,0:"};
    QTest::newRow("last item missing: a shorter row")
        << QStringList{"A", "B"} << QList<QStringList>{{"1", "\x01"}, {"2", "3"}}
        << SheetTable{{"A", "B"}, {{"1"}, {"2", "3", "past the headers"}}}
        << QStringList{"0,0:A", "0,1:B", "1,0:1", "2,0:2", "2,1:3"};
}

void TestExcelEngine::widgetAndValuesWriteTheSameCells()
{
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, rows);
    QFETCH(SheetTable, values);
    QFETCH(QStringList, cells);
    const auto item = [](const QString &text) -> QTableWidgetItem * {
        if (text == QLatin1String("\x01"))
            return nullptr;
        return text == QLatin1String("\x02") ? new QTableWidgetItem : new QTableWidgetItem(text);
    };
    QTableWidget table(rows.size(), headers.size());
    for (int c = 0; c < headers.size(); ++c)
        table.setHorizontalHeaderItem(c, item(headers.at(c)));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c)
            table.setItem(r, c, item(rows.at(r).at(c)));
    }

    for (const bool fromWidget : {true, false}) {
        const QString file = path(fromWidget ? "widget.xls" : "values.xls");
        ExcelEngine engine(file);
        QVERIFY(engine.openSheet(1));
        QVERIFY(fromWidget ? engine.writeTable(&table) : engine.writeTable(values));
        QVERIFY(engine.saveBook());
        engine.closeBook();

        XlsWorkbook book;
        QCOMPARE(XlsReader::load(file, &book), XlsReader::Result::Ok);
        QStringList written;
        for (const XlsSheet::Entry &entry : book.sheets.at(0).cells()) {
            QVERIFY(entry.cell.centred);
            written << QStringLiteral("%1,%2:%3")
                           .arg(XlsSheet::rowOf(entry.key))
                           .arg(XlsSheet::columnOf(entry.key))
                           .arg(entry.cell.value.toString());
        }
        QCOMPARE(written, cells);
    }
}

void TestExcelEngine::cancelKeepsRowsWritten_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::newRow("after the first row") << 1;
    QTest::newRow("after the third row") << 3;
    QTest::newRow("after the last row") << 5;
}

void TestExcelEngine::cancelKeepsRowsWritten()
{
    QFETCH(int, cancelAt);
    TableSpec layout{{"NO", "VAL"}, {}};
    for (int r = 0; r < 5; ++r)
        layout.rows.append(QStringList{QString::number(r + 1), QStringLiteral("v%1").arg(r)});
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    const QString file = path("cancel.xls");
    const QByteArray older = XlsWriter::toBytes(templateWith(2));
    QVERIFY(writeBytes(file, older));

    ExcelEngine engine(file);
    QVERIFY(engine.openSheet(1));
    QProgressDialog progress(QStringLiteral("Saving"), QStringLiteral("Cancel"), 0, 6);
    auto *bar = new QProgressBar;
    progress.setBar(bar);
    // The user presses Cancel when the dialog shows cancelAt rows done.
    connect(bar, &QProgressBar::valueChanged, &progress, [&](int value) {
        if (value == cancelAt)
            progress.cancel();
    });
    QVERIFY(engine.writeTable(table.get(), &progress));
    QVERIFY(progress.wasCanceled());
    // Nothing reaches the file before saveBook(): the Meter page, which
    // closes after a cancel, leaves the older file as it was.
    QCOMPARE(fileBytes(file), older);
    // The workbook holds the rows written up to the cancel, and no more.
    QVERIFY(engine.saveBook());
    engine.closeBook();
    checkTableSheet(readWithFreeXl(file), 0, layout, cancelAt);
}

void TestExcelEngine::loggerExport()
{
    RecordingFactory recorder;
    const int runs = 3;
    const QString templatePath = path("Data.xls");
    QVERIFY(XlsWriter::save(templateWith(runs + 2), templatePath));
    const QString file = path("Data241231235959.xls");

    const TableSpec layout{{"NO", "Start time", "Duration(S)", "Rec", "Max", "Min", "Avg"},
                         {{"1", "2024-12-31 23:59:59", "30", "1.5", "2.5", "0.5", "1.25"},
                          {"2", "2025-01-01 00:00:10", "10", "3", "4", "2", "3"},
                          {"3", "2025-01-01 00:01:00", "60", "0", "0", "0", "0"}}};
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    QList<QList<QList<QVariant>>> samples;
    for (int run = 0; run < runs; ++run) {
        QList<QList<QVariant>> rows{{QStringLiteral("NUM"), QStringLiteral("VAL")}};
        for (int i = 0; i < 10 + run * 7; ++i)
            rows.append({QString::number(i + 1), QString::number((run * 100 + i) / 10.0, 'f', 1)});
        samples.append(rows);
    }

    // As the Logger page exports all runs.
    ExcelEngine engine(file, templatePath);
    QVERIFY(engine.openSheet(1));
    QVERIFY(engine.writeTable(table.get()));
    for (int run = 0; run < runs; ++run) {
        QVERIFY(engine.openSheet(run + 2));
        QVERIFY(engine.writeRows(samples.at(run)));
    }
    QVERIFY(!QFile::exists(file));
    QVERIFY(engine.saveBook());
    engine.closeBook();

    // One application for the whole workbook, written once and closed
    // without saving again.
    QCOMPARE(recorder.count("create Excel.Application"), 1);
    QCOMPARE(recorder.count("call SaveAs(const QString&) [QString:" + file + "]"), 1);
    QCOMPARE(recorder.count("call Close(bool) [bool:false]"), 1);
    QCOMPARE(recorder.count("call Quit()"), 1);
    QCOMPARE(fileBytes(templatePath), XlsWriter::toBytes(templateWith(runs + 2)));
    for (int run = 0; run < runs; ++run)
        QCOMPARE(recorder.count(QStringLiteral("query WorkSheets(int) [uint:%1]").arg(run + 2)), 1);
    int created = 0;
    for (const QString &entry : qAsConst(recorder.log)) {
        if (entry == "create Excel.Application")
            ++created;
        if (entry == "call Quit()")
            --created;
        QVERIFY(created == 0 || created == 1);
    }

    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), runs + 2);
    checkTableSheet(read, 0, layout, layout.rows.size());
    for (int run = 0; run < runs; ++run) {
        const QList<QList<QVariant>> &rows = samples.at(run);
        QCOMPARE(int(read.sheets.at(run + 1).rows), rows.size());
        QCOMPARE(read.cell(run + 1, 0, 0), QVariant("NUM"));
        QCOMPARE(read.cell(run + 1, 0, 1), QVariant("VAL"));
        for (int i = 1; i < rows.size(); ++i) {
            QCOMPARE(read.cell(run + 1, i, 0), QVariant(double(i)));
            QCOMPARE(read.cell(run + 1, i, 1), QVariant(rows.at(i).at(1).toString().toDouble()));
        }
    }
    QVERIFY(read.sheets.last().cells.isEmpty());

    // The table's centring survives the switch to each run's worksheet.
    XlsWorkbook book;
    QCOMPARE(XlsReader::load(file, &book), XlsReader::Result::Ok);
    QVERIFY(book.sheets.at(0).cell(0, 0)->centred);
    QVERIFY(book.sheets.at(0).cell(3, 6)->centred);
    QVERIFY(!book.sheets.at(1).cell(0, 0)->centred);
}

void TestExcelEngine::writeRowsRange_data()
{
    QTest::addColumn<int>("valuesPerRow");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("range");
    QTest::newRow("2 values, 35 rows") << 2 << 35 << "A1:B35";
    QTest::newRow("26 values") << 26 << 3 << "A1:Z3";
    QTest::newRow("27 values") << 27 << 4 << "A1:AA4";
    QTest::newRow("one value") << 1 << 1 << "A1:A1";
}

void TestExcelEngine::writeRowsRange()
{
    QFETCH(int, valuesPerRow);
    QFETCH(int, rows);
    QFETCH(QString, range);
    RecordingFactory recorder;
    const QString templatePath = path("Data.xls");
    QVERIFY(XlsWriter::save(templateWith(2), templatePath));
    const QString file = path("rows.xls");
    QList<QList<QVariant>> block;
    for (int r = 0; r < rows; ++r) {
        QList<QVariant> row;
        for (int c = 0; c < valuesPerRow; ++c)
            row.append(QStringLiteral("r%1c%2").arg(r).arg(c));
        block.append(row);
    }
    ExcelEngine engine(file, templatePath);
    QVERIFY(engine.openSheet(2));
    recorder.log.clear();
    QVERIFY(engine.writeRows(block));
    // The block's columns are cleared down to the last row first.
    QString columns = QStringLiteral("65536");
    ExcelEngine::columnLetters(valuesPerRow, columns);
    QCOMPARE(
        recorder.log,
        (QStringList{"query Range(const QString&) [QString:A1:" + columns + "]", "call Clear()",
                     "query Range(const QString&) [QString:" + range + "]", "set Value"}));
    QVERIFY(engine.saveBook());
    engine.closeBook();

    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(int(read.sheets.at(1).rows), rows);
    QCOMPARE(int(read.sheets.at(1).columns), valuesPerRow);
    QCOMPARE(read.cell(1, rows - 1, valuesPerRow - 1),
             QVariant(QStringLiteral("r%1c%2").arg(rows - 1).arg(valuesPerRow - 1)));
    QVERIFY(read.sheets.at(0).cells.isEmpty());
}

void TestExcelEngine::writeRowsRefused()
{
    const QString file = path("refused.xls");
    ExcelEngine engine(file);
    QVERIFY(!engine.writeRows({{1, 2}})); // nothing open
    QVERIFY(engine.openSheet(1));
    QVERIFY(!engine.writeRows({}));
    QTableWidget table(1, 1);
    QVERIFY(!engine.writeTable(nullptr));
    engine.closeBook();
    QVERIFY(!engine.writeTable(&table));
    QVERIFY(!engine.writeRows({{1, 2}}));
}

void TestExcelEngine::writeRowsStopsAtTheLastRow()
{
    const QString file = path("full.xls");
    QList<QList<QVariant>> block;
    for (int r = 0; r < XlsSheet::maxRows + 10; ++r)
        block.append({r + 1});
    ExcelEngine engine(file);
    QVERIFY(engine.openSheet(1));
    QVERIFY(!engine.writeRows(block)); // reported, not silently cut
    QVERIFY(engine.saveBook());
    engine.closeBook();
    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(int(read.sheets.at(0).rows), XlsSheet::maxRows);
    QCOMPARE(read.cell(0, XlsSheet::maxRows - 1, 0), QVariant(double(XlsSheet::maxRows)));
}

// "Save Data" hands the samples over as the numbers their texts become
// (WorkbookLayout::sampleCell) with the VAL column's one decimal, not as
// texts: every cell and the whole file must be what the texts gave.
void TestExcelEngine::runBlockAsEnteredTexts()
{
    const auto same = [](float f) {
        const QString text = LoggerText::power(f);
        const QVariant entered = XlsSheet::enteredValue(text);
        const CellBlock::Cell cell = WorkbookLayout::sampleCell(f);
        if ((entered.type() == QVariant::Double) != cell.text.isNull())
            return false;
        if (!cell.text.isNull())
            return entered == QVariant(cell.text);
        const double a = entered.toDouble(), b = cell.number;
        return std::memcmp(&a, &b, sizeof a) == 0 && XlsSheet::enteredDecimals(text) == 1;
    };
    // Every 4099th float of either sign, and the ties the text rounds away
    // from zero, the edges of 15 digits, minus zero, NaN and infinities.
    for (quint64 u = 0; u <= 0xFFFFFFFFu; u += 4099) {
        const quint32 bits = quint32(u);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        QVERIFY2(same(f), qPrintable(LoggerText::power(f)));
    }
    const float edges[] = {0.25f, -0.25f, 12.25f, 0.05f, -0.04f, -0.0f, 0.0f, 1e-40f,
                           99999999999999.9f, 1e14f, 1e15f, 3.4e38f, float(qQNaN()),
                           float(qInf()), float(-qInf())};
    for (float f : edges)
        QVERIFY2(same(f), qPrintable(LoggerText::power(f)));

    LoggerRunData run;
    for (float f : edges)
        run.samples.append(f);
    for (int i = 0; i < 50; ++i)
        run.samples.append(i * 0.25f - 3);
    QList<QByteArray> files;
    for (bool typed : {false, true}) {
        const QString templatePath = path(QStringLiteral("Data%1.xls").arg(typed));
        const QString file = path(QStringLiteral("Out%1.xls").arg(typed));
        QVERIFY(XlsWriter::save(templateWith(2), templatePath));
        ExcelEngine engine(file, templatePath);
        QVERIFY(engine.openSheet(2));
        QVERIFY(typed ? engine.writeBlock(WorkbookLayout::runBlock(run))
                      : engine.writeRows(run.sampleRows()));
        QVERIFY(engine.saveBook());
        engine.closeBook();
        files << fileBytes(file);
    }
    QVERIFY(!files.first().isEmpty());
    QCOMPARE(files.last(), files.first());
}

void TestExcelEngine::openSheetRefusesBadFiles_data()
{
    using Failure = ExcelEngine::Failure;
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<Failure>("failure");
    QTest::newRow("folder does not exist") << "no folder" << 1 << Failure::File;
    QTest::newRow("template not a workbook") << "text" << 1 << Failure::Template;
    QTest::newRow("truncated template") << "truncated" << 1 << Failure::Template;
    QTest::newRow("template cut in the middle of the stream") << "half" << 1 << Failure::Template;
    QTest::newRow("fewer worksheets than asked") << "workbook" << 4 << Failure::File;
    QTest::newRow("sheet 0") << "workbook" << 0 << Failure::File;
    QTest::newRow("empty file name") << "no name" << 1 << Failure::File;
    QTest::newRow("folder not writable") << "read-only" << 1 << Failure::File;
}

void TestExcelEngine::openSheetRefusesBadFiles()
{
    QFETCH(QString, situation);
    QFETCH(int, sheet);
    QFETCH(ExcelEngine::Failure, failure);
    QString file = path("user.xls");
    XlsWorkbook three = templateWith(3);
    three.sheets[0].setValue(0, 0, QStringLiteral("the user's data"));
    const QByteArray good = XlsWriter::toBytes(three);
    QByteArray older = good; // the file the user chose to replace
    QByteArray templateBytes = good;
    if (situation == "no folder") {
        file = path("missing/user.xls");
        older.clear();
    } else if (situation == "no name") {
        file.clear();
        older.clear();
    } else if (situation == "text") {
        templateBytes = "NUM,VAL\n1,0.5\n";
    } else if (situation == "truncated") {
        templateBytes = good.left(good.size() - 512);
    } else if (situation == "half") {
        templateBytes = good.left(good.size() / 2);
    } else if (situation == "read-only") {
        QVERIFY(QDir(m_dir->path()).mkdir("ro"));
        file = path("ro/user.xls");
    }
    if (!older.isEmpty())
        QVERIFY(writeBytes(file, older));
    QVERIFY(QDir(m_dir->path()).mkdir("templates"));
    const QString templatePath = path("templates/Data.xls");
    QVERIFY(writeBytes(templatePath, templateBytes));
    std::unique_ptr<ReadOnlyFolder> readOnly;
    if (situation == "read-only") {
        readOnly = std::make_unique<ReadOnlyFolder>(path("ro"));
        if (!readOnly->isReadOnly())
            VANTREL_SKIP_UNLESS_CI("no read-only folder can be made here");
    }

    {
        ExcelEngine engine(file, templatePath);
        QVERIFY(!engine.openSheet(sheet));
        QCOMPARE(engine.failure(), failure);
        QVERIFY(!engine.isOpen());
        QTableWidget table(1, 1);
        table.setItem(0, 0, new QTableWidgetItem("x"));
        QVERIFY(!engine.writeTable(&table));
        QVERIFY(!engine.writeRows({{1}}));
        QVERIFY(!engine.saveBook());
        engine.closeBook();
    }
    if (older.isEmpty())
        QVERIFY(file.isEmpty() || !QFile::exists(file));
    else
        QCOMPARE(fileBytes(file), older);
    QCOMPARE(fileBytes(templatePath), templateBytes);
    // Nothing beside it either (no temporary file left behind).
    const QString folder = older.isEmpty() ? m_dir->path() : QFileInfo(file).path();
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), older.isEmpty() ? 0 : 1);
}

void TestExcelEngine::noApplication()
{
    RecordingFactory recorder;
    recorder.refuse = true;
    const QString file = path("none.xls");
    ExcelEngine engine(file);
    QVERIFY(!engine.openSheet(1));
    QVERIFY(!engine.isOpen());
    QCOMPARE(recorder.log, QStringList{"create Excel.Application"});
}

void TestExcelEngine::failedSaveIsReported()
{
    const QString file = path("vanishing.xls");
    const TableSpec layout{{"NO"}, {{"1"}}};
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    ExcelEngine engine(file);
    QVERIFY(engine.openSheet(1));
    // The file's place is taken by a folder: the workbook cannot be saved.
    QVERIFY(QDir(m_dir->path()).mkdir("vanishing.xls"));
    QVERIFY(engine.writeTable(table.get()));
    QVERIFY(!engine.saveBook());
    engine.closeBook();
    QVERIFY(QFileInfo(file).isDir());
}

void TestExcelEngine::droppingTheEngineCloses()
{
    RecordingFactory recorder;
    const QString file = path("dropped.xls");
    const QByteArray older = XlsWriter::toBytes(templateWith(1));
    QVERIFY(writeBytes(file, older));
    {
        ExcelEngine engine(file);
        QVERIFY(engine.openSheet(1));
        QVERIFY(engine.writeRows({{QStringLiteral("NUM"), QStringLiteral("VAL")}, {1, 0.5}}));
    }
    // Closed and quit, and what saveBook() did not write is dropped.
    QCOMPARE(recorder.count("call Close(bool) [bool:false]"), 1);
    QCOMPARE(recorder.count("call Quit()"), 1);
    QCOMPARE(fileBytes(file), older);
}

void TestExcelEngine::emptyNewFileHasOneSheet()
{
    // As the Meter page saves where there is no "./template.xls".
    const QString file = path("new.xls");
    ExcelEngine engine(file, QStringLiteral("./template.xls"));
    QVERIFY(engine.openSheet(1));
    QVERIFY(!engine.openSheet(2));
    QVERIFY(!QFile::exists(file)); // not yet saved
    QVERIFY(engine.saveBook());
    engine.closeBook();
    // A real workbook with one sheet.
    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), 1);
}

void TestExcelEngine::builtTemplateServesTheLoggerExport()
{
    // Made by the build next to the program (here: the test program).
    const QString templatePath = dataWorkbookTemplatePath();
    QCOMPARE(templatePath, QCoreApplication::applicationDirPath() + "/Data.xls");
    QVERIFY(QFileInfo(QStringLiteral(VANTREL_BINARY_DIR "/Data.xls")).isFile());
    const FreeXlBook blank = readWithFreeXl(templatePath);
    QVERIFY2(blank.ok, qPrintable(blank.error));
    QCOMPARE(blank.sheets.size(), 26);

    // The run table and 25 runs.
    const QString file = path("Data250101000000.xls");
    TableSpec layout{{"NO", "VAL"}, {}};
    for (int run = 0; run < 25; ++run)
        layout.rows.append({QString::number(run + 1), QString::number(run * 0.5)});
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    ExcelEngine engine(file, templatePath);
    QVERIFY(engine.openSheet(1));
    QVERIFY(engine.writeTable(table.get()));
    for (int run = 0; run < 25; ++run) {
        QVERIFY(engine.openSheet(run + 2));
        QVERIFY(engine.writeRows({{QStringLiteral("NUM"), QStringLiteral("VAL")},
                                  {QStringLiteral("1"), QString::number(run, 'f', 1)}}));
    }
    QVERIFY(!engine.openSheet(27)); // a 26th run would not fit
    QVERIFY(engine.saveBook());
    engine.closeBook();
    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), 26);
    checkTableSheet(read, 0, layout, 25);
    for (int run = 0; run < 25; ++run)
        QCOMPARE(read.cell(run + 1, 1, 1), QVariant(double(run)));
}

void TestExcelEngine::templatesFromOtherPrograms_data()
{
    using Failure = ExcelEngine::Failure;
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<Failure>("failure");

    const QByteArray csv = TemplateFiles::libreOffice("libreoffice-csv.xls");
    QTest::newRow("LibreOffice-saved Data.xls")
        << TemplateFiles::libreOffice("libreoffice-Data.xls") << Failure::None;
    QTest::newRow("LibreOffice CSV conversion") << csv << Failure::None;
    {
        // A header block beside the table, outside the DIMENSIONS record.
        XlsWorkbook book = XlsWorkbook::withOneSheet();
        book.sheets[0].setValue(0, 9, QStringLiteral("Lab"));
        book.sheets[0].setValue(1, 10, 1.5);
        QByteArray stream = XlsWriter::workbookStream(book);
        const int at = stream.indexOf(QByteArray::fromHex("00020E00"));
        qToLittleEndian<quint32>(1, stream.data() + at + 8);  // rwMac 2 -> 1
        qToLittleEndian<quint16>(1, stream.data() + at + 14); // colMac 11 -> 1
        QTest::newRow("cells beyond DIMENSIONS") << CompoundFile::wrap(stream) << Failure::None;
    }
    QTest::newRow("foreign cells under the table")
        << TemplateFiles::withForeignCells() << Failure::None;
    QTest::newRow("huge template") << TemplateFiles::huge() << Failure::TemplateTooLarge;
    // Real drawings are still refused: the workbook is written back from
    // values, and they would be lost.
    QTest::newRow("LibreOffice drawing with a shape")
        << TemplateFiles::libreOffice("libreoffice-shape.xls") << Failure::Template;
    // The CSV conversion's empty drawing, its group made an ordinary shape
    // (flags 0x0A00), or its drawing group counting a second shape.
    QTest::newRow("a shape in the sheet's drawing")
        << TemplateFiles::patched(csv, QByteArray::fromHex("02000AF008000000"), 12,
                                  QByteArray::fromHex("000A0000"))
        << Failure::Template;
    QTest::newRow("a drawing group counting shapes")
        << TemplateFiles::patched(csv, QByteArray::fromHex("000006F018000000"), 16,
                                  QByteArray::fromHex("02000000"))
        << Failure::Template;
}

void TestExcelEngine::templatesFromOtherPrograms()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(ExcelEngine::Failure, failure);
    QVERIFY(!templateBytes.isEmpty());
    const QString templatePath = path("template.xls");
    QVERIFY(writeBytes(templatePath, templateBytes));
    // Refused are the workbooks the reader refuses, and files too large.
    XlsWorkbook before;
    QCOMPARE(XlsReader::read(templateBytes, &before) == XlsReader::Result::Ok,
             failure != ExcelEngine::Failure::Template);

    // As the pages save: the table on sheet 1 (Meter and Logger), a run's
    // samples on sheet 2 (Logger) where the template has one.
    const QString file = path("saved.xls");
    const TableSpec layout{{"NO", "VAL"}, {{"1", "0.5"}, {"2", "1.5"}, {"3", "2.5"}}};
    const std::unique_ptr<QTableWidget> table = makeTable(layout);
    const QList<QList<QVariant>> samples{{"NUM", "VAL"}, {1, 0.5}};
    ExcelEngine engine(file, templatePath);
    QCOMPARE(engine.openSheet(1), failure == ExcelEngine::Failure::None);
    QCOMPARE(engine.failure(), failure);
    if (failure != ExcelEngine::Failure::None) {
        QVERIFY(!QFile::exists(file));
        return;
    }
    QVERIFY(engine.writeTable(table.get()));
    const bool runSheet = before.sheets.size() > 1;
    if (runSheet) {
        QVERIFY(engine.openSheet(2));
        QVERIFY(engine.writeRows(samples));
    }
    QVERIFY(engine.saveBook());
    engine.closeBook();
    QCOMPARE(fileBytes(templatePath), templateBytes);
    checkTableSheet(readWithFreeXl(file), 0, layout, layout.rows.size());

    // The table's columns hold the table alone, from the header down; every
    // other cell of the template is kept as it was.
    XlsWorkbook saved;
    QCOMPARE(XlsReader::load(file, &saved), XlsReader::Result::Ok);
    QCOMPARE(saved.sheets.size(), before.sheets.size());
    for (int s = 0; s < saved.sheets.size(); ++s) {
        const bool owned = s == 0 || (s == 1 && runSheet);
        const int rowsWritten = s == 0 ? layout.rows.size() + 1 : samples.size();
        const auto outside = [&](const XlsSheet &sheet) {
            XlsSheet::Cells cells;
            for (const XlsSheet::Entry &entry : sheet.cells()) {
                if (!owned || XlsSheet::columnOf(entry.key) >= 2)
                    cells.push_back(entry);
            }
            return cells;
        };
        for (const XlsSheet::Entry &entry : saved.sheets.at(s).cells()) {
            QVERIFY2(!owned || XlsSheet::columnOf(entry.key) >= 2 ||
                         XlsSheet::rowOf(entry.key) < rowsWritten,
                     qPrintable(QStringLiteral("sheet %1 row %2 column %3: %4")
                                    .arg(s)
                                    .arg(XlsSheet::rowOf(entry.key))
                                    .arg(XlsSheet::columnOf(entry.key))
                                    .arg(entry.cell.value.toString())));
        }
        const XlsSheet::Cells kept = outside(saved.sheets.at(s));
        const XlsSheet::Cells wanted = outside(before.sheets.at(s));
        QCOMPARE(kept.size(), wanted.size());
        for (size_t i = 0; i < kept.size(); ++i) {
            QCOMPARE(kept[i].key, wanted[i].key);
            QCOMPARE(kept[i].cell.value, wanted[i].cell.value);
            QCOMPARE(kept[i].cell.centred, wanted[i].cell.centred);
        }
    }
}

QTEST_MAIN(TestExcelEngine)
#include "test_excelengine.moc"
