#pragma once

#include "files/sheettable.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QProgressDialog;
class QTableWidget;

// Writes a table into a spreadsheet file through the SQL layer: the
// file is opened as a database (connection "excelexport"), a table Sheet1 is
// created with one text column per table column, and each table row becomes
// one INSERT. The system's ODBC spreadsheet driver is used where it exists;
// otherwise (always on Linux) the in-process XlsSqlDriver takes the same
// statements and writes Sheet1 into a real .xls file named by DBQ.
class ExcelEngineODBC : public QObject
{
    Q_OBJECT
public:
    // One optional text per column: std::nullopt stands for a missing item.
    using Texts = std::vector<std::optional<QString>>;

    enum class Target
    {
        Update, // add the sheet to the workbook the file holds
        Replace // write a new workbook over the file
    };

    explicit ExcelEngineODBC(const QString &fileName, Target target = Target::Update);
    ~ExcelEngineODBC() override;

    bool openConnection();
    // True when Sheet1 was created and every row was inserted and committed.
    // A cancel is no failure: Update keeps and commits the rows inserted so
    // far, Replace rolls back, so the file stays as it was. A null text of
    // the table (see SheetTable) is a missing item, left out of the
    // statement; false also for a table without rows or columns.
    bool writeTable(const SheetTable &table, QProgressDialog *progress);
    // The table widget's header and item texts, read by sheetTableOf().
    bool writeTable(QTableWidget *table, QProgressDialog *progress);
    void closeConnection();

    // The statement texts, built from header and item texts.
    static QString connectionString(const QString &fileName);
    static QString createText(const Texts &headers);
    static QString insertPrefix(const Texts &headers);
    static QString insertText(const QString &prefix, const Texts &items);
    // A text as it goes between single quotes: every ' doubled.
    static QString quoted(const QString &text);

    static const char *const connectionName; // "excelexport"

private:
    QString m_fileName;
    Target m_target = Target::Update;
    QSqlDatabase m_database;
};
