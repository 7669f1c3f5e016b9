#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class AutomationObject;
class QProgressDialog;
class QTableWidget;
struct SheetTable;

// Writes a table widget, or a block of rows, into one worksheet of an .xls
// workbook by driving the spreadsheet application ("Excel.Application")
// through the automation interface. On this platform the application is the
// in-process one of AutomationObject::create(), which reads the workbook file
// and writes it back as a real Excel 97-2003 workbook.
//
// Typical use (the Meter page): ExcelEngine e(name); e.openSheet(1);
// e.writeTable(table, &progress); e.saveBook(); e.closeBook();
// The Logger page opens one worksheet after the other with openSheet(k + 1),
// which closes and saves the workbook before it opens it again.
//
// Replace mode makes a new file instead: the workbook starts from a template
// (or as a new workbook with one sheet), stays open in memory across
// openSheet() of its worksheets, and only saveBook() writes it, whole, over
// the file (through a temporary file renamed into place). Without that
// saveBook(), as after a cancel or a failure, the file stays as it was.
// The template gives the sheets, their formats and any cells beside the
// data, such as a header block; the columns a table or block of rows spans
// hold only it, from the first row down: nothing of the template shows
// where measurements belong.
class ExcelEngine : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        Update, // edit the file in place, saving at every switch
        Replace // write a new file over it, once
    };
    // Why the last openSheet() failed.
    enum class Failure
    {
        None,
        File,            // the file, its folder, or no application
        Template,        // the template is no workbook that can be kept
        TemplateTooLarge // the template is larger than maxTemplateSize
    };
    // Templates are read whole into memory; a larger one is refused unread.
    static constexpr qint64 maxTemplateSize = 8 * 1024 * 1024;

    explicit ExcelEngine(const QString &fileName);
    // templatePath: the workbook to start from in Replace mode ("" or a
    // missing file: a new workbook with one sheet).
    ExcelEngine(const QString &fileName, Mode mode, const QString &templatePath = QString());
    ~ExcelEngine() override;

    // Starts the application, opens the workbook file (made from
    // "./template.xls" or created empty when it does not exist) and selects
    // the 1-based worksheet. False when the file cannot be used, is not a
    // workbook, has fewer worksheets than sheetIndex, or when saving the
    // previously open workbook failed. In Replace mode a later call only
    // selects another worksheet of the open workbook.
    bool openSheet(int sheetIndex);
    // Writes one cell (1-based), centred.
    bool setCell(int row, int column, const QVariant &value);
    // Header texts into row 1, item texts below, then (Update mode) saves
    // the workbook. True also after a cancel; false when nothing is open or
    // the save failed.
    bool writeTable(QTableWidget *table);
    bool writeTable(QTableWidget *table, QProgressDialog *progress);
    bool writeTable(const SheetTable &table, QProgressDialog *progress = nullptr);
    // Writes rows into the block A1:<last column><row count> in one call.
    bool writeRows(const QList<QList<QVariant>> &rows);
    // Saves the workbook; returns whether it was written (true when there
    // is no workbook or nothing changed). In Replace mode it writes the
    // whole file.
    bool saveBook();
    // Closes the workbook and quits the application: saving changes in
    // Update mode, dropping what saveBook() did not write in Replace mode.
    void closeBook();

    // Makes sure the workbook file exists and can be opened for reading and
    // writing.
    static bool prepareFile(const QString &fileName);
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
    Mode m_mode = Mode::Update;
    QString m_templatePath;
    int m_sheetIndex = 0;
    int m_usedRows = 0;
    int m_usedColumns = 0;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    bool m_open = false;
    bool m_applicationPresent = false;
    bool m_lastCloseSaved = true;
    Failure m_failure = Failure::None;

    void releaseApplication();
    bool selectSheet(int sheetIndex);
    bool clearColumns(int columns);
};
