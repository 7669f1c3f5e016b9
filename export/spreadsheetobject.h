#pragma once

#include "export/automationobject.h"

#include <memory>

class XlsWorkbook;

// The in-process spreadsheet application served for "Excel.Application".
// It keeps every opened workbook as an XlsWorkbook read from its .xls file
// (XlsReader) and writes it back on Save()/Close(true), as an Excel 97-2003
// workbook or, for a name ending in .xlsx, an Office Open XML one
// (WorkbookFile::save).
//
// Members understood (signatures compared after Qt's normalisation):
//   application:  sub-object "WorkBooks"; call "Quit()"
//   workbooks:    sub-objects "Open(QString, QVariant)", "Add()" (a new
//                 workbook with one worksheet and no file); property "Count"
//   workbook:     sub-objects "WorkSheets(int)" (1-based; none beyond the
//                 last sheet), "WorkSheets"; calls "Save()", "Close(bool)",
//                 "SaveAs(const QString&)" (each returns whether the file
//                 was written; after SaveAs the workbook is that file)
//   worksheets:   property "Count"
//   worksheet:    sub-objects "UsedRange", "Cells(int,int)" (1-based),
//                 "Range(const QString&)" ("A1", "A1:B35"); property "Name"
//   range:        sub-objects "Rows", "Columns"; properties "Row", "Column",
//                 "Value" (read and write; a list of row lists for a block);
//                 calls "SetHorizontalAlignment(const QVariant&)" (-4108
//                 centres), "SetValue(const QVariant&)", "Clear()" (values
//                 and formats)
//   rows/columns: property "Count"
// Anything else gives nullptr or an invalid variant.
//
// As in the spreadsheet application, a text that reads as a plain decimal
// number ("12", "-0.5", "1e3") is stored as a number, any other text as
// text; a number written with decimals ("137.0000") also gives its cell a
// number format with as many, so that it shows as it was written. An empty (0-byte) file opens as a
// new workbook with one worksheet "Sheet1"; a file that is not a workbook does not open. A
// worksheet holds 65536 rows and 256 columns: cells beyond are not addressable, and a block that
// reaches past the last row is written up to it and reported as failed.
class SpreadsheetObject : public AutomationObject
{
    Q_OBJECT
public:
    static SpreadsheetObject *createApplication(QObject *parent = nullptr);
    ~SpreadsheetObject() override;

    AutomationObject *
    querySubObject(const char *name, const QVariant &v1 = QVariant(),
                   const QVariant &v2 = QVariant(), const QVariant &v3 = QVariant(),
                   const QVariant &v4 = QVariant(), const QVariant &v5 = QVariant(),
                   const QVariant &v6 = QVariant(), const QVariant &v7 = QVariant(),
                   const QVariant &v8 = QVariant()) override;
    QVariant dynamicCall(const char *name, const QVariant &v1 = QVariant(),
                         const QVariant &v2 = QVariant(), const QVariant &v3 = QVariant(),
                         const QVariant &v4 = QVariant(), const QVariant &v5 = QVariant(),
                         const QVariant &v6 = QVariant(), const QVariant &v7 = QVariant(),
                         const QVariant &v8 = QVariant()) override;
    QVariant property(const char *name) const override;
    bool setProperty(const char *name, const QVariant &value) override;
    bool isNull() const override;

    // The value a cell receives for what was assigned to it.
    static QVariant cellValue(const QVariant &assigned);
    // "B35" -> row 35, column 2 (1-based); false for anything else.
    static bool parseCellAddress(const QString &text, int *row, int *column);

    enum class Kind
    {
        Application,
        Workbooks,
        Workbook,
        Worksheets,
        Worksheet,
        Range,
        RowCount,
        ColumnCount
    };
    Kind kind() const { return m_kind; }

    struct Book;
    struct Session;

private:
    SpreadsheetObject(Kind kind, std::shared_ptr<Session> session, QObject *parent);
    SpreadsheetObject *child(Kind kind);

    Kind m_kind;
    std::shared_ptr<Session> m_session;
    std::shared_ptr<Book> m_book;
    int m_sheet = -1; // 0-based
    // Range: 0-based first row/column, counts.
    int m_row = 0;
    int m_column = 0;
    int m_rows = 0;
    int m_columns = 0;
    bool m_clipped = false; // the range reached past the grid
    int m_count = 0;        // Rows/Columns: their count
};
