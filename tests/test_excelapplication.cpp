// The in-process spreadsheet application behind "Excel.Application": the
// members the engine uses, what it stores for assigned values, addresses,
// ranges, and what becomes of workbooks on Save, Close and Quit.

#include "export/automationobject.h"
#include "export/spreadsheetobject.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include "xlscheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestExcelApplication : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheSpreadsheetProgIdIsServed();
    void assignedValues_data();
    void assignedValues();
    void cellAddresses_data();
    void cellAddresses();
    void newEmptyFileHasOneSheet();
    void worksheetIndexBeyondTheWorkbookIsNull_data();
    void worksheetIndexBeyondTheWorkbookIsNull();
    void usedRange_data();
    void usedRange();
    void rangeValueBlock();
    void rangePastTheLastRowIsWrittenUpToIt();
    void unknownMembersGiveNothing();
    void closeSavesAndNullsItsObjects();
    void unchangedWorkbookIsNotRewritten();
    void quitDropsUnsavedWork();
    void fileThatIsNotAWorkbookDoesNotOpen();

private:
    QString newFile(const QString &name, const XlsWorkbook &book)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        XlsWriter::save(book, path);
        return path;
    }

    QTemporaryDir m_dir;
};

void TestExcelApplication::onlyTheSpreadsheetProgIdIsServed()
{
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    QVERIFY(excel);
    QVERIFY(!excel->isNull());
    QVERIFY(!AutomationObject::create("Word.Application"));
    QVERIFY(!AutomationObject::create(""));
}

void TestExcelApplication::assignedValues_data()
{
    QTest::addColumn<QVariant>("assigned");
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("integer text") << QVariant("12") << QVariant(12.0);
    QTest::newRow("negative decimal text") << QVariant("-0.5") << QVariant(-0.5);
    QTest::newRow("one decimal") << QVariant("1.0") << QVariant(1.0);
    QTest::newRow("exponent") << QVariant("1e3") << QVariant(1000.0);
    QTest::newRow("leading zeros") << QVariant("007") << QVariant(7.0);
    QTest::newRow("point first") << QVariant(".25") << QVariant(0.25);
    QTest::newRow("date and time stays text")
        << QVariant("2024-12-31 23:59:59") << QVariant("2024-12-31 23:59:59");
    QTest::newRow("trailing blank stays text") << QVariant("12 ") << QVariant("12 ");
    QTest::newRow("decimal comma stays text") << QVariant("1,5") << QVariant("1,5");
    QTest::newRow("unit stays text") << QVariant("30S") << QVariant("30S");
    QTest::newRow("nan text stays text") << QVariant("nan") << QVariant("nan");
    QTest::newRow("16 significant digits stay text")
        << QVariant("1234567890123456") << QVariant("1234567890123456");
    QTest::newRow("15 significant digits become a number")
        << QVariant("0.00123456789012345") << QVariant(0.00123456789012345);
    QTest::newRow("Chinese text") << QVariant("μW/cm² 中文") << QVariant("μW/cm² 中文");
    QTest::newRow("empty text clears") << QVariant("") << QVariant();
    QTest::newRow("number stays number") << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("infinite number becomes text")
        << QVariant(qInf()) << QVariant(QStringLiteral("inf"));
}

void TestExcelApplication::assignedValues()
{
    QFETCH(QVariant, assigned);
    QFETCH(QVariant, stored);
    QCOMPARE(SpreadsheetObject::cellValue(assigned), stored);
}

void TestExcelApplication::cellAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("A1") << "A1" << true << 1 << 1;
    QTest::newRow("B35") << "B35" << true << 35 << 2;
    QTest::newRow("Z2") << "Z2" << true << 2 << 26;
    QTest::newRow("AA10") << "AA10" << true << 10 << 27;
    QTest::newRow("IV65536") << "IV65536" << true << 65536 << 256;
    QTest::newRow("lower case") << "aa3" << true << 3 << 27;
    QTest::newRow("absolute") << "$C$4" << true << 4 << 3;
    QTest::newRow("row 0") << "A0" << false << 0 << 0;
    QTest::newRow("no row") << "AB" << false << 0 << 0;
    QTest::newRow("no column") << "12" << false << 0 << 0;
    QTest::newRow("blank inside") << "A 1" << false << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0;
}

void TestExcelApplication::cellAddresses()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, row);
    QFETCH(int, column);
    int r = 0, c = 0;
    QCOMPARE(SpreadsheetObject::parseCellAddress(text, &r, &c), valid);
    if (valid) {
        QCOMPARE(r, row);
        QCOMPARE(c, column);
    }
}

void TestExcelApplication::newEmptyFileHasOneSheet()
{
    const QString path = m_dir.filePath("empty.xls");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    QVERIFY(book);
    QCOMPARE(book->querySubObject("WorkSheets")->property("Count").toInt(), 1);
    QVERIFY(book->querySubObject("WorkSheets(int)", 1u));
    QVERIFY(!book->querySubObject("WorkSheets(int)", 2u));
    // Closing turns the empty file into a real workbook.
    QVERIFY(book->dynamicCall("Close(bool)", true).toBool());
    const FreeXlBook read = readWithFreeXl(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.size(), 1);
    QCOMPARE(read.sheets.at(0).name, QStringLiteral("Sheet1"));
}

void TestExcelApplication::worksheetIndexBeyondTheWorkbookIsNull_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<bool>("exists");
    QTest::newRow("first") << QVariant(1u) << true;
    QTest::newRow("last") << QVariant(3u) << true;
    QTest::newRow("one past the last") << QVariant(4u) << false;
    QTest::newRow("zero") << QVariant(0u) << false;
    QTest::newRow("not a number") << QVariant("x") << false;
}

void TestExcelApplication::worksheetIndexBeyondTheWorkbookIsNull()
{
    QFETCH(QVariant, index);
    QFETCH(bool, exists);
    XlsWorkbook three;
    for (int i = 1; i <= 3; ++i)
        three.sheets.append(XlsSheet(QStringLiteral("S%1").arg(i)));
    const QString path = newFile("three.xls", three);
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    QVERIFY(book);
    AutomationObject *sheet = book->querySubObject("WorkSheets(int)", index);
    QCOMPARE(sheet != nullptr, exists);
    if (sheet)
        QCOMPARE(sheet->property("Name").toString(), QStringLiteral("S%1").arg(index.toInt()));
}

void TestExcelApplication::usedRange_data()
{
    QTest::addColumn<QList<QPoint>>("cells"); // (column, row), 0-based
    QTest::addColumn<QList<int>>("expected"); // Row, Column, row count, column count
    QTest::newRow("empty sheet is A1") << QList<QPoint>{} << QList<int>{1, 1, 1, 1};
    QTest::newRow("one cell at C5") << QList<QPoint>{{2, 4}} << QList<int>{5, 3, 1, 1};
    QTest::newRow("block B2:D10") << QList<QPoint>{{1, 1}, {3, 9}, {2, 5}}
                                  << QList<int>{2, 2, 9, 3};
}

void TestExcelApplication::usedRange()
{
    QFETCH(QList<QPoint>, cells);
    QFETCH(QList<int>, expected);
    XlsWorkbook book;
    XlsSheet sheet(QStringLiteral("S"));
    for (const QPoint &p : cells)
        sheet.setValue(p.y(), p.x(), 1.0);
    book.sheets.append(sheet);
    const QString path = newFile("used.xls", book);
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *range = excel->querySubObject("WorkBooks")
                                  ->querySubObject("Open(QString, QVariant)", path, 0)
                                  ->querySubObject("WorkSheets(int)", 1u)
                                  ->querySubObject("UsedRange");
    QVERIFY(range);
    QCOMPARE(QList<int>({range->property("Row").toInt(), range->property("Column").toInt(),
                         range->querySubObject("Rows")->property("Count").toInt(),
                         range->querySubObject("Columns")->property("Count").toInt()}),
             expected);
}

void TestExcelApplication::rangeValueBlock()
{
    const QString path = newFile("block.xls", XlsWorkbook::withOneSheet());
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    AutomationObject *sheet = book->querySubObject("WorkSheets(int)", 1u);
    AutomationObject *range = sheet->querySubObject("Range(const QString&)", QString("B2:C4"));
    QVERIFY(range);
    QCOMPARE(range->property("Row").toInt(), 2);
    QCOMPARE(range->property("Column").toInt(), 2);
    // Rows longer than the range are cut, a missing row stays empty.
    const QVariantList block{QVariant(QVariantList{"a", "1", "ignored"}),
                             QVariant(QVariantList{"b", "2.5"})};
    QVERIFY(range->setProperty("Value", block));
    const QVariantList back = range->property("Value").toList();
    QCOMPARE(back.size(), 3);
    QCOMPARE(back.at(0).toList(), (QVariantList{"a", 1.0}));
    QCOMPARE(back.at(1).toList(), (QVariantList{"b", 2.5}));
    QCOMPARE(back.at(2).toList(), (QVariantList{QVariant(), QVariant()}));
    AutomationObject *outside = sheet->querySubObject("Cells(int,int)", 2u, 4u);
    QVERIFY(!outside->property("Value").isValid());

    // Cells addresses 1-based, single value written centred.
    AutomationObject *cell = sheet->querySubObject("Cells(int,int)", 1u, 1u);
    cell->dynamicCall("SetHorizontalAlignment(const QVariant&)", -4108);
    cell->dynamicCall("SetValue(const QVariant&)", QString("head"));
    QVERIFY(book->dynamicCall("Save()").toBool());

    XlsWorkbook reread;
    QCOMPARE(XlsReader::load(path, &reread), XlsReader::Result::Ok);
    const XlsSheet &s = reread.sheets.at(0);
    QCOMPARE(s.value(0, 0), QVariant("head"));
    QVERIFY(s.cell(0, 0)->centred);
    QCOMPARE(s.value(1, 1), QVariant("a"));
    QVERIFY(!s.cell(1, 1)->centred);
    QCOMPARE(s.value(2, 2), QVariant(2.5));
    QVERIFY(!s.cell(1, 3));
}

void TestExcelApplication::rangePastTheLastRowIsWrittenUpToIt()
{
    const QString path = newFile("full.xls", XlsWorkbook::withOneSheet());
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    AutomationObject *sheet = book->querySubObject("WorkSheets(int)", 1u);
    QVERIFY(!sheet->querySubObject("Cells(int,int)", 65537u, 1u));
    QVERIFY(!sheet->querySubObject("Cells(int,int)", 1u, 257u));
    QVERIFY(!sheet->querySubObject("Range(const QString&)", QString("A65537:B65540")));
    AutomationObject *range =
        sheet->querySubObject("Range(const QString&)", QString("A65535:A65540"));
    QVERIFY(range);
    QVariantList rows;
    for (int i = 0; i < 6; ++i)
        rows.append(QVariant(QVariantList{i + 1}));
    QVERIFY(!range->setProperty("Value", rows)); // reported: not all rows fit
    QVERIFY(book->dynamicCall("Close(bool)", true).toBool());
    const FreeXlBook read = readWithFreeXl(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.sheets.at(0).rows, 65536u);
    QCOMPARE(read.cell(0, 65534, 0), QVariant(1.0));
    QCOMPARE(read.cell(0, 65535, 0), QVariant(2.0));
}

void TestExcelApplication::unknownMembersGiveNothing()
{
    const QString path = newFile("unknown.xls", XlsWorkbook::withOneSheet());
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    QVERIFY(!excel->querySubObject("Workbooks.Add"));
    AutomationObject *books = excel->querySubObject("WorkBooks");
    QVERIFY(!books->querySubObject("Open(QString)", path));
    AutomationObject *book = books->querySubObject("Open(QString, QVariant)", path, 0);
    QVERIFY(!book->dynamicCall("SaveAs(QString, int)", path, 56).isValid());
    QVERIFY(!book->querySubObject("Sheets(int)", 1u));
    QVERIFY(!book->setProperty("Value", 1));
}

void TestExcelApplication::closeSavesAndNullsItsObjects()
{
    const QString path = newFile("close.xls", XlsWorkbook::withOneSheet());
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    AutomationObject *sheet = book->querySubObject("WorkSheets(int)", 1u);
    AutomationObject *cell = sheet->querySubObject("Cells(int,int)", 3u, 2u);
    cell->dynamicCall("SetValue(const QVariant&)", QString("kept"));
    QVERIFY(book->dynamicCall("Close(bool)", true).toBool());
    QVERIFY(book->isNull());
    QVERIFY(sheet->isNull());
    QVERIFY(cell->isNull());
    QVERIFY(!sheet->querySubObject("Cells(int,int)", 1u, 1u));
    QVERIFY(!cell->setProperty("Value", 5));
    QCOMPARE(readWithFreeXl(path).cell(0, 2, 1), QVariant("kept"));
}

void TestExcelApplication::unchangedWorkbookIsNotRewritten()
{
    XlsWorkbook book = XlsWorkbook::withOneSheet();
    book.sheets[0].setValue(0, 0, QStringLiteral("x"));
    const QString path = newFile("clean.xls", book);
    // Trailing bytes that a rewrite would drop show whether it was rewritten.
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(QByteArray(512, '\0'));
    f.close();
    const QByteArray before = fileBytes(path);
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *opened =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    QVERIFY(opened);
    QVERIFY(opened->dynamicCall("Save()").toBool());
    QVERIFY(opened->dynamicCall("Close(bool)", true).toBool());
    QCOMPARE(fileBytes(path), before);
}

void TestExcelApplication::quitDropsUnsavedWork()
{
    const QString path = newFile("quit.xls", XlsWorkbook::withOneSheet());
    const QByteArray before = fileBytes(path);
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *book =
        excel->querySubObject("WorkBooks")->querySubObject("Open(QString, QVariant)", path, 0);
    book->querySubObject("WorkSheets(int)", 1u)
        ->querySubObject("Cells(int,int)", 1u, 1u)
        ->dynamicCall("SetValue(const QVariant&)", 1);
    excel->dynamicCall("Quit()");
    QVERIFY(excel->isNull());
    QVERIFY(book->isNull());
    QCOMPARE(fileBytes(path), before);
}

void TestExcelApplication::fileThatIsNotAWorkbookDoesNotOpen()
{
    const QString path = m_dir.filePath("notes.xls");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("NUM,VAL\n");
    f.close();
    std::unique_ptr<AutomationObject> excel(AutomationObject::create("Excel.Application"));
    AutomationObject *books = excel->querySubObject("WorkBooks");
    QVERIFY(!books->querySubObject("Open(QString, QVariant)", path, 0));
    QVERIFY(!books->querySubObject("Open(QString, QVariant)", m_dir.filePath("missing.xls"), 0));
    QCOMPARE(books->property("Count").toInt(), 0);
    QCOMPARE(fileBytes(path), QByteArray("NUM,VAL\n"));
}

QTEST_GUILESS_MAIN(TestExcelApplication)
#include "test_excelapplication.moc"
