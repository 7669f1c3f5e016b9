#pragma once

#include "files/sheettable.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class AutomationObject;
class QProgressDialog;
class QTableWidget;

// Writes tables and blocks of rows into the worksheets of a new .xls
// workbook by driving the spreadsheet application ("Excel.Application")
// through the automation interface. On this platform the application is the
// in-process one of AutomationObject::create(), which writes the workbook as
// a real Excel 97-2003 workbook (or Office Open XML for a name ending .xlsx).
//
// The workbook starts from a template (or as a new workbook with one sheet)
// and stays open in memory across openSheet() of its worksheets; only
// saveBook() writes it, whole, over the file (through a temporary file
// renamed into place). Without that saveBook(), as after a cancel or a
// failure, the file stays as it was. The template gives the sheets, their
// formats and any cells beside the data, such as a header block; the columns
// a table or block of rows spans hold only it, from the first row down:
// nothing of the template shows where measurements belong.
//
// Use: ExcelEngine e(name, templatePath); e.openSheet(1); e.writeTable(t);
// e.openSheet(2); e.writeRows(rows); ...; e.saveBook(); e.closeBook();
class ExcelEngine : public QObject
{
    Q_OBJECT
public:
    // Why the last openSheet() failed.
    enum class Failure
    {
        None,
        File,            // the file, its folder, the worksheet, or no application
        Template,        // the template is no workbook that can be kept
        TemplateTooLarge // the template is larger than maxTemplateSize
    };
    // Templates are read whole into memory; a larger one is refused unread.
    static constexpr qint64 maxTemplateSize = 8 * 1024 * 1024;

    // templatePath: the workbook to start from ("" or a missing file: a new
    // workbook with one sheet). Nothing starts and no file is touched here.
    explicit ExcelEngine(const QString &fileName, const QString &templatePath = QString());
    ~ExcelEngine() override;

    // The first call starts the application, makes the workbook and selects
    // the 1-based worksheet; a later call only selects another worksheet of
    // the same workbook. False when no new file can be written in place of
    // the file (Failure::File), the template is refused (Failure::Template,
    // Failure::TemplateTooLarge) or the workbook has fewer worksheets than
    // sheetIndex (Failure::File).
    bool openSheet(int sheetIndex);
    // Adds a worksheet of this name after the last one and selects it;
    // false when nothing is open or the name is no sheet name.
    bool appendSheet(const QString &name);
    // Writes one cell (1-based), centred.
    bool setCell(int row, int column, const QVariant &value);
    // Header texts into row 1, the rows' texts below, each cell centred,
    // after clearing the table's columns; a null text writes no cell (see
    // SheetTable). With a progress dialog: its value is the number of rows
    // written, and a cancel stops after the current row. True also after a
    // cancel; false when nothing is open.
    bool writeTable(const SheetTable &table, QProgressDialog *progress = nullptr);
    // The table widget's header and item texts, read by sheetTableOf(): a
    // missing item writes no cell, an item with empty text an empty one.
    bool writeTable(QTableWidget *table);
    bool writeTable(QTableWidget *table, QProgressDialog *progress);
    // Writes rows into the block A1:<last column><row count> in one call,
    // after clearing the block's columns.
    bool writeRows(const QList<QList<QVariant>> &rows);
    // The same for a block held in one array, its numbers with their
    // columns' decimals.
    bool writeBlock(const CellBlock &block);
    // Writes the whole workbook over the file; returns whether it was
    // written (false when no workbook is open).
    bool saveBook();
    // Closes the workbook, dropping what saveBook() did not write, and quits
    // the application.
    void closeBook();

    // Whether a new file can be written in place of fileName.
    static bool canReplace(const QString &fileName);
    // Puts the letters of the 1-based column n (A, Z, AA, AZ, AAA, ...) in
    // front of text.
    static void columnLetters(int n, QString &text);

    bool isOpen() const { return m_open; }
    Failure failure() const { return m_failure; }

private:
    AutomationObject *m_application = nullptr;
    AutomationObject *m_workbooks = nullptr;
    AutomationObject *m_workbook = nullptr;
    AutomationObject *m_worksheets = nullptr;
    AutomationObject *m_worksheet = nullptr;
    QString m_fileName;
    QString m_templatePath;
    int m_sheetIndex = 0;
    int m_usedRows = 0;
    int m_usedColumns = 0;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    bool m_open = false;
    bool m_applicationPresent = false;
    Failure m_failure = Failure::None;

    void releaseApplication();
    bool selectSheet(int sheetIndex);
    bool clearColumns(int columns);
    bool writeRange(int rows, int columns, const QVariant &value);
};
