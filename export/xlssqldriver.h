#pragma once

#include "files/xlsworkbook.h"

#include <QMap>
#include <QSqlDriver>
#include <QSqlResult>
#include <QStringList>

// An in-process Qt SQL driver that stands in for the ODBC spreadsheet
// driver: the database name is the ODBC connection string, whose DBQ= part
// (the rest of the string) names the workbook file. It accepts
//   create table <name> (<column> VARCHAR(<n>), ...)
//   INSERT INTO <name> (<column>, ...) VALUES( '<text>', ...)
// (keywords in any case, texts in single quotes with '' for a quote, column
// names with '' for a quote), and transactions. Each table is a worksheet of
// that name whose first row holds the column names (FIRSTROWHASNAMES=1);
// every insert fills the next row with text cells. The file is written (via a
// temporary file renamed into place) on commit, or on close when statements
// ran outside a transaction. Rollback forgets everything since the
// transaction began. An existing workbook keeps its worksheets; a file that
// is not a workbook is never opened, so it is never overwritten. With the
// connect option "REPLACE=1" the workbook starts empty whatever the file
// holds, and the first write replaces the file. A name ending in .xlsx gets
// an Office Open XML workbook, any other an Excel 97-2003 one; names ending
// in .xlsm or .xlsb are refused (WorkbookFile). Only .xls files can be read:
// an existing .xlsx is opened with REPLACE=1 alone.
class XlsSqlDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit XlsSqlDriver(QObject *parent = nullptr);

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &db, const QString &user, const QString &password, const QString &host,
              int port, const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;

    static constexpr const char *replaceOption = "REPLACE=1";

    // The file named by DBQ= in a connection string ("" when there is none).
    static QString fileNameOf(const QString &connectionString);

    // Runs one statement; false with a reason for anything not accepted.
    bool execute(const QString &statement, QString *error);
    // Every statement run on this connection, accepted or not.
    QStringList statements() const { return m_statements; }

private:
    struct Table
    {
        int sheet = 0;
        QStringList columns;
        int nextRow = 1;
    };

    bool create(const QString &table, const QString &definitions, QString *error);
    bool insert(const QString &table, const QString &columns, const QString &values,
                QString *error);
    bool writeFile(QString *error);

    QString m_fileName;
    XlsWorkbook m_book;
    QMap<QString, Table> m_tables; // by case-folded name
    bool m_dirty = false;
    bool m_inTransaction = false;
    XlsWorkbook m_savedBook;
    QMap<QString, Table> m_savedTables;
    bool m_savedDirty = false;
    QStringList m_statements;
};
