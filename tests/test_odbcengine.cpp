// ExcelEngineODBC: connection strings, the exact statement texts, the
// in-process SQL driver that takes them, and the .xls file it writes.

#include "export/excelengineodbc.h"
#include "export/xlssqldriver.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include "xlscheck.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Texts = ExcelEngineODBC::Texts;

namespace {

const QString none = QStringLiteral("\x01"); // stands for a missing item in test tables

Texts texts(const QStringList &list)
{
    Texts result;
    for (const QString &s : list)
        result.push_back(s == none ? std::nullopt : std::optional<QString>(s));
    return result;
}

std::unique_ptr<QTableWidget> makeTable(const QStringList &headers, const QList<QStringList> &rows)
{
    auto table = std::make_unique<QTableWidget>(rows.size(), headers.size());
    for (int c = 0; c < headers.size(); ++c) {
        if (headers.at(c) != none)
            table->setHorizontalHeaderItem(c, new QTableWidgetItem(headers.at(c)));
    }
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c) {
            if (rows.at(r).at(c) != none)
                table->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
        }
    }
    return table;
}

XlsSqlDriver *inProcessDriver()
{
    return qobject_cast<XlsSqlDriver *>(
        QSqlDatabase::database(QStringLiteral("excelexport"), false).driver());
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestOdbcEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void connectionString_data();
    void connectionString();
    void statementTexts_data();
    void statementTexts();
    void writeTable_data();
    void writeTable();
    void cancelCommitsRowsInsertedSoFar_data();
    void cancelCommitsRowsInsertedSoFar();
    void refusedTables();
    void openConnectionFailures_data();
    void openConnectionFailures();
    void existingWorkbookKeepsItsSheets();
    void failedCommitIsReported();
    void rollbackWritesNothing();
    void statementsOutsideATransactionAreWrittenOnClose();
    void droppingTheEngineClosesTheConnection();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOdbcEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestOdbcEngine::connectionString_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    const QString both = "DRIVER={Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)};DSN='';"
                         "FIRSTROWHASNAMES=1;READONLY=TRUE;DBQ=";
    const QString xls = "DRIVER={Microsoft Excel Driver (*.xls)};DSN='';"
                        "FIRSTROWHASNAMES=1;READONLY=TRUE;DBQ=";
    QTest::newRow("xlsx") << "/data/NO1_20241231235959.xlsx"
                          << both + "/data/NO1_20241231235959.xlsx";
    QTest::newRow("XLSX is not xlsx") << "/data/run.XLSX" << xls + "/data/run.XLSX";
    QTest::newRow("xls") << "/data/run.xls" << xls + "/data/run.xls";
    QTest::newRow("last dot counts") << "/data/a.xlsx.xls" << xls + "/data/a.xlsx.xls";
    QTest::newRow("no suffix") << "/data/run" << xls + "/data/run";
    QTest::newRow("name kept as it stands")
        << "C:\\runs\\a;b %1.xlsx" << both + "C:\\runs\\a;b %1.xlsx";
}

void TestOdbcEngine::connectionString()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(ExcelEngineODBC::connectionString(file), expected);
    QCOMPARE(XlsSqlDriver::fileNameOf(expected), file);
}

void TestOdbcEngine::statementTexts_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("insert");

    QTest::newRow("Logger run") << QStringList{"NUM", "VAL"} << QStringList{"1", "0.5"}
                                << "create table Sheet1 (NUM VARCHAR(200), VAL VARCHAR(200)) "
                                << "INSERT INTO Sheet1 (NUM, VAL) VALUES( '1', '0.5') ";
    QTest::newRow("one column") << QStringList{"h"} << QStringList{"v"}
                                << "create table Sheet1 (h VARCHAR(200)) "
                                << "INSERT INTO Sheet1 (h) VALUES( 'v') ";
    QTest::newRow("missing header item in the middle")
        << QStringList{"A", none, "C"} << QStringList{"1", "2", "3"}
        << "create table Sheet1 (A VARCHAR(200), C VARCHAR(200)) "
        << "INSERT INTO Sheet1 (A, C) VALUES( '1', '2', '3') ";
    QTest::newRow("missing last header item")
        << QStringList{"A", "B", none} << QStringList{"1", "2", "3"}
        << "create table Sheet1 (A VARCHAR(200), B VARCHAR(200), ) "
        << "INSERT INTO Sheet1 (A, B, ) VALUES( '1', '2', '3') ";
    QTest::newRow("missing item in the middle")
        << QStringList{"A", "B", "C"} << QStringList{"1", none, "3"}
        << "create table Sheet1 (A VARCHAR(200), B VARCHAR(200), C VARCHAR(200)) "
        << "INSERT INTO Sheet1 (A, B, C) VALUES( '1', '3') ";
    QTest::newRow("missing last-column item")
        << QStringList{"NUM", "VAL"} << QStringList{"1", none}
        << "create table Sheet1 (NUM VARCHAR(200), VAL VARCHAR(200)) "
        << "INSERT INTO Sheet1 (NUM, VAL) VALUES( '1', )";
    QTest::newRow("apostrophes doubled")
        << QStringList{"Operator's", "VAL"} << QStringList{"it's", "'); drop table Sheet1; --"}
        << "create table Sheet1 (Operator''s VARCHAR(200), VAL VARCHAR(200)) "
        << "INSERT INTO Sheet1 (Operator''s, VAL) VALUES( 'it''s', '''); drop table Sheet1; --') ";
    QTest::newRow("Chinese and units")
        << QStringList{"功率", "μW/cm²"} << QStringList{"中文", "1.5"}
        << "create table Sheet1 (功率 VARCHAR(200), μW/cm² VARCHAR(200)) "
        << "INSERT INTO Sheet1 (功率, μW/cm²) VALUES( '中文', '1.5') ";
}

void TestOdbcEngine::statementTexts()
{
    QFETCH(QStringList, headers);
    QFETCH(QStringList, items);
    QFETCH(QString, create);
    QFETCH(QString, insert);
    QCOMPARE(ExcelEngineODBC::createText(texts(headers)), create);
    QCOMPARE(
        ExcelEngineODBC::insertText(ExcelEngineODBC::insertPrefix(texts(headers)), texts(items)),
        insert);
}

void TestOdbcEngine::writeTable_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<QStringList>>("sheet"); // what Sheet1 holds, row by row; empty: no file

    QTest::newRow("Logger run of 3 samples")
        << QStringList{"NUM", "VAL"} << QList<QStringList>{{"1", "1.0"}, {"2", "3.0"}, {"3", "2.0"}}
        << true << QList<QStringList>{{"NUM", "VAL"}, {"1", "1.0"}, {"2", "3.0"}, {"3", "2.0"}};
    QTest::newRow("one column") << QStringList{"h"} << QList<QStringList>{{"a"}, {"b"}} << true
                                << QList<QStringList>{{"h"}, {"a"}, {"b"}};
    QTest::newRow("apostrophes and Chinese kept as they stand")
        << QStringList{"Operator's", "备注"}
        << QList<QStringList>{{"O'Brien", "'); drop table Sheet1; --"}, {"中文", "μW/cm²"}} << true
        << QList<QStringList>{{"Operator's", "备注"},
                              {"O'Brien", "'); drop table Sheet1; --"},
                              {"中文", "μW/cm²"}};
    QTest::newRow("empty text is a value, not a missing item")
        << QStringList{"A", "B"} << QList<QStringList>{{"", "2"}} << true
        << QList<QStringList>{{"A", "B"}, {"", "2"}};
    // A row the driver refuses is skipped; the others are kept and the
    // result says that the file is incomplete.
    QTest::newRow("missing item in the middle")
        << QStringList{"A", "B", "C"} << QList<QStringList>{{"1", "2", "3"}, {"4", none, "6"}}
        << false << QList<QStringList>{{"A", "B", "C"}, {"1", "2", "3"}};
    QTest::newRow("missing last-column item")
        << QStringList{"NUM", "VAL"} << QList<QStringList>{{"1", none}, {"2", "0.5"}} << false
        << QList<QStringList>{{"NUM", "VAL"}, {"2", "0.5"}};
    QTest::newRow("missing header item in the middle")
        << QStringList{"A", none, "C"} << QList<QStringList>{{"1", "2", "3"}} << false
        << QList<QStringList>{{"A", "C"}};
    QTest::newRow("missing last header item: create refused")
        << QStringList{"A", none} << QList<QStringList>{{"1", "2"}} << false
        << QList<QStringList>{};
}

void TestOdbcEngine::writeTable()
{
    QFETCH(QStringList, headers);
    QFETCH(QList<QStringList>, rows);
    QFETCH(bool, result);
    QFETCH(QList<QStringList>, sheet);
    const std::unique_ptr<QTableWidget> table = makeTable(headers, rows);
    // The same table as values: a null text where the widget has no item,
    // and a row without its missing last items (a shorter row).
    const auto values = [](QStringList texts) {
        for (QString &text : texts) {
            if (text == none)
                text = QString();
        }
        return texts;
    };
    SheetTable sheetTable{values(headers), {}};
    for (const QStringList &row : rows) {
        QStringList texts = values(row);
        while (!texts.isEmpty() && texts.last().isNull())
            texts.removeLast();
        sheetTable.rows.append(texts);
    }

    for (const bool fromWidget : {true, false}) {
        const QString file = path(fromWidget ? "NO1_20241231235959.xls" : "NO2_20241231235959.xls");

        // As the Logger page exports one run.
        ExcelEngineODBC engine(file);
        QVERIFY(engine.openConnection());
        XlsSqlDriver *driver = inProcessDriver();
        QVERIFY(driver); // no spreadsheet ODBC driver here
        QProgressDialog progress(QStringLiteral("Storing data,please wait..."),
                                 QStringLiteral("cancel"), 0, rows.size() + 1);
        QCOMPARE(fromWidget ? engine.writeTable(table.get(), &progress)
                            : engine.writeTable(sheetTable, &progress),
                 result);
        engine.closeConnection();

        // The engine ran exactly its texts.
        const Texts headerTexts = texts(headers);
        QStringList expected{ExcelEngineODBC::createText(headerTexts)};
        if (!sheet.isEmpty()) {
            for (const QStringList &row : rows)
                expected << ExcelEngineODBC::insertText(ExcelEngineODBC::insertPrefix(headerTexts),
                                                        texts(row));
        }
        QCOMPARE(driver->statements(), expected);

        if (sheet.isEmpty()) {
            QVERIFY(!QFile::exists(file));
            QVERIFY(!QSqlDatabase::database("excelexport", false).isOpen());
            continue;
        }
        const FreeXlBook read = readWithFreeXl(file);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.sheets.size(), 1);
        QCOMPARE(read.sheets.at(0).name, QStringLiteral("Sheet1"));
        QCOMPARE(int(read.sheets.at(0).rows), sheet.size());
        for (int r = 0; r < sheet.size(); ++r) {
            // Text cells; an empty text leaves its cell empty.
            for (int c = 0; c < sheet.at(r).size(); ++c) {
                const QString &text = sheet.at(r).at(c);
                QCOMPARE(read.cell(0, r, c), text.isEmpty() ? QVariant() : QVariant(text));
            }
        }
    }
}

void TestOdbcEngine::cancelCommitsRowsInsertedSoFar_data()
{
    QTest::addColumn<int>("cancelAt");
    QTest::newRow("before the first row") << 0;
    QTest::newRow("before the fourth row") << 3;
}

void TestOdbcEngine::cancelCommitsRowsInsertedSoFar()
{
    QFETCH(int, cancelAt);
    QList<QStringList> rows;
    for (int i = 0; i < 6; ++i)
        rows.append({QString::number(i + 1), QString::number(i * 0.5, 'f', 1)});
    const std::unique_ptr<QTableWidget> table = makeTable({"NUM", "VAL"}, rows);
    const QString file = path("cancel.xls");
    ExcelEngineODBC engine(file);
    QVERIFY(engine.openConnection());
    QProgressDialog progress(QStringLiteral("Storing"), QStringLiteral("cancel"), 0, 7);
    auto *bar = new QProgressBar;
    progress.setBar(bar);
    // The dialog is set to r before row r; the user cancels at cancelAt
    // (the value 0 is set before the first row, when it starts at -1).
    connect(bar, &QProgressBar::valueChanged, &progress, [&](int value) {
        if (value == cancelAt)
            progress.cancel();
    });
    QVERIFY(engine.writeTable(table.get(), &progress));
    engine.closeConnection();
    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(int(read.sheets.at(0).rows), cancelAt + 1);
    for (int r = 0; r < cancelAt; ++r)
        QCOMPARE(read.cell(0, r + 1, 0), QVariant(QString::number(r + 1)));
}

void TestOdbcEngine::refusedTables()
{
    const QString file = path("refused.xls");
    ExcelEngineODBC engine(file);
    QTableWidget table(2, 2);
    QVERIFY(!engine.writeTable(&table, nullptr)); // not open
    QVERIFY(engine.openConnection());
    QVERIFY(!engine.writeTable(nullptr, nullptr));
    QTableWidget noRows(0, 2);
    QVERIFY(!engine.writeTable(&noRows, nullptr));
    QTableWidget noColumns(2, 0);
    QVERIFY(!engine.writeTable(&noColumns, nullptr));
    QVERIFY(inProcessDriver()->statements().isEmpty());
    engine.closeConnection();
    QVERIFY(!QFile::exists(file));
}

void TestOdbcEngine::openConnectionFailures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("empty file name") << "no name";
    QTest::newRow("folder does not exist") << "no folder";
    QTest::newRow("existing file that is not a workbook") << "text";
    QTest::newRow("truncated workbook") << "truncated";
    QTest::newRow("macro-enabled workbook name") << "xlsm";
}

void TestOdbcEngine::openConnectionFailures()
{
    QFETCH(QString, situation);
    QString file = path("run.xls");
    QByteArray bytes;
    if (situation == "no name")
        file.clear();
    else if (situation == "no folder")
        file = path("missing/run.xls");
    else if (situation == "xlsm")
        file = path("run.XLSM");
    else if (situation == "text")
        bytes = "not a workbook";
    else
        bytes = XlsWriter::toBytes(XlsWorkbook::withOneSheet()).left(3000);
    if (!bytes.isEmpty()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    {
        ExcelEngineODBC engine(file);
        QVERIFY(!engine.openConnection());
        QTableWidget table(1, 1);
        QVERIFY(!engine.writeTable(&table, nullptr));
    }
    QVERIFY(QSqlDatabase::contains("excelexport"));
    if (!bytes.isEmpty())
        QCOMPARE(fileBytes(file), bytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), bytes.isEmpty() ? 0 : 1);
}

void TestOdbcEngine::existingWorkbookKeepsItsSheets()
{
    XlsWorkbook book;
    book.sheets.append(XlsSheet(QStringLiteral("Notes")));
    book.sheets[0].setValue(0, 0, QStringLiteral("keep me"));
    const QString file = path("existing.xls");
    QVERIFY(XlsWriter::save(book, file));
    const std::unique_ptr<QTableWidget> table = makeTable({"NUM", "VAL"}, {{"1", "2.0"}});
    {
        ExcelEngineODBC engine(file);
        QVERIFY(engine.openConnection());
        QVERIFY(engine.writeTable(table.get(), nullptr));
    }
    FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), 2);
    QCOMPARE(read.cell(0, 0, 0), QVariant("keep me"));
    QCOMPARE(read.sheets.at(1).name, QStringLiteral("Sheet1"));

    // A second export into the same file finds Sheet1 there already: the
    // create is refused and the file stays as it was.
    const QByteArray before = fileBytes(file);
    {
        ExcelEngineODBC engine(file);
        QVERIFY(engine.openConnection());
        QVERIFY(!engine.writeTable(table.get(), nullptr));
    }
    QCOMPARE(fileBytes(file), before);
}

void TestOdbcEngine::failedCommitIsReported()
{
    const QString file = path("taken.xls");
    const std::unique_ptr<QTableWidget> table = makeTable({"NUM", "VAL"}, {{"1", "2.0"}});
    ExcelEngineODBC engine(file);
    QVERIFY(engine.openConnection());
    QVERIFY(QDir(m_dir->path()).mkdir("taken.xls")); // the file's place is taken
    QVERIFY(!engine.writeTable(table.get(), nullptr));
    QVERIFY(QFileInfo(file).isDir());
}

void TestOdbcEngine::rollbackWritesNothing()
{
    const QString file = path("rollback.xls");
    QSqlDatabase db = QSqlDatabase::addDatabase(new XlsSqlDriver, "rollbacktest");
    db.setDatabaseName(ExcelEngineODBC::connectionString(file));
    QVERIFY(db.open());
    QVERIFY(db.transaction());
    QSqlQuery query(db);
    QVERIFY(query.exec("create table Sheet1 (NUM VARCHAR(200)) "));
    QVERIFY(query.exec("INSERT INTO Sheet1 (NUM) VALUES( '1') "));
    QVERIFY(!query.exec("INSERT INTO Sheet2 (NUM) VALUES( '1') "));
    QVERIFY(!query.exec("drop table Sheet1"));
    QVERIFY(!query.exec("INSERT INTO Sheet1 (NUM) VALUES( 'unterminated) "));
    QVERIFY(db.rollback());
    db.close();
    QVERIFY(!QFile::exists(file));
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("rollbacktest");
}

void TestOdbcEngine::statementsOutsideATransactionAreWrittenOnClose()
{
    const QString file = path("autocommit.xls");
    QSqlDatabase db = QSqlDatabase::addDatabase(new XlsSqlDriver, "autocommittest");
    db.setDatabaseName(ExcelEngineODBC::connectionString(file));
    QVERIFY(db.open());
    QSqlQuery query(db);
    QVERIFY(query.exec("CREATE TABLE Sheet1 (a VARCHAR(10), b VARCHAR(10))"));
    QVERIFY(query.exec("insert into sheet1 (b, a) values ('B', 'A')"));
    QVERIFY(query.exec("insert into Sheet1 (a, b) values ('', 'second')"));
    query.clear();
    db.close();
    const FreeXlBook read = readWithFreeXl(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.cell(0, 1, 0), QVariant("A"));
    QCOMPARE(read.cell(0, 1, 1), QVariant("B"));
    QCOMPARE(read.cell(0, 2, 0), QVariant()); // an empty text is no cell
    QCOMPARE(read.cell(0, 2, 1), QVariant("second"));
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("autocommittest");
}

void TestOdbcEngine::droppingTheEngineClosesTheConnection()
{
    const QString file = path("dropped.xls");
    {
        ExcelEngineODBC engine(file);
        QVERIFY(engine.openConnection());
        QVERIFY(QSqlDatabase::database("excelexport", false).isOpen());
    }
    QVERIFY(!QSqlDatabase::database("excelexport", false).isOpen());
}

QTEST_MAIN(TestOdbcEngine)
#include "test_odbcengine.moc"
