#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QProgressDialog;
class QTableWidget;

// Writes a table widget into a spreadsheet file through the SQL layer: the
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

    explicit ExcelEngineODBC(const QString &fileName);
    ~ExcelEngineODBC() override;

    bool openConnection();
    // True when Sheet1 was created and every row was inserted and committed
    // (a cancel keeps and commits the rows inserted so far and is no failure).
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
    QSqlDatabase m_database;
};
