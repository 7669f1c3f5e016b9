#include "export/excelengineodbc.h"

#include "export/sheettablewidget.h"
#include "export/xlssqldriver.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <QSqlError>
#include <QSqlQuery>

const char *const ExcelEngineODBC::connectionName = "excelexport";

ExcelEngineODBC::ExcelEngineODBC(const QString &fileName, Target target)
    : m_fileName(fileName), m_target(target)
{
}

ExcelEngineODBC::~ExcelEngineODBC()
{
    closeConnection();
}

QString ExcelEngineODBC::connectionString(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    const QString text =
        suffix == QLatin1String("xlsx")
            ? QStringLiteral(
                  "DRIVER={Microsoft Excel Driver (*.xls, *.xlsx, *.xlsm, *.xlsb)};DSN='';"
                  "FIRSTROWHASNAMES=1;READONLY=TRUE;DBQ=%1")
            : QStringLiteral("DRIVER={Microsoft Excel Driver (*.xls)};DSN='';"
                             "FIRSTROWHASNAMES=1;READONLY=TRUE;DBQ=%1");
    // Plain concatenation: arg() would also replace a "%1" inside the name.
    return text.left(text.size() - 2) + fileName;
}

bool ExcelEngineODBC::openConnection()
{
    const QString name = QLatin1String(connectionName);
    // A new registration replaces the earlier one (removed first, which
    // spares the duplicate-name warning).
    m_database = QSqlDatabase();
    if (QSqlDatabase::contains(name))
        QSqlDatabase::removeDatabase(name);
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    const bool odbcDriver = m_database.isValid();
    if (odbcDriver && m_database.isOpen())
        return true;
    if (m_fileName.isEmpty())
        return false;

    const QString connection = connectionString(m_fileName);
    if (odbcDriver) {
        m_database.setDatabaseName(connection);
        if (m_database.open())
            return true;
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    // No spreadsheet ODBC driver on this system: the in-process driver takes
    // the same connection string and statements.
    m_database = QSqlDatabase::addDatabase(new XlsSqlDriver, name);
    m_database.setDatabaseName(connection);
    if (m_target == Target::Replace)
        m_database.setConnectOptions(QLatin1String(XlsSqlDriver::replaceOption));
    return m_database.open();
}

QString ExcelEngineODBC::quoted(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\''), QLatin1String("''"));
    return result;
}

QString ExcelEngineODBC::createText(const Texts &headers)
{
    QString text = QStringLiteral("create table Sheet1 (");
    const int n = int(headers.size());
    for (int c = 0; c < n - 1; ++c) {
        if (headers[c])
            text += quoted(*headers[c]) + QLatin1String(" VARCHAR(200), ");
    }
    if (n > 0 && headers[n - 1])
        text += quoted(*headers[n - 1]) + QLatin1String(" VARCHAR(200)) ");
    else
        text += QLatin1String(") ");
    return text;
}

QString ExcelEngineODBC::insertPrefix(const Texts &headers)
{
    QString text = QStringLiteral("INSERT INTO Sheet1 (");
    const int n = int(headers.size());
    for (int c = 0; c < n - 1; ++c) {
        if (headers[c])
            text += quoted(*headers[c]) + QLatin1String(", ");
    }
    if (n > 0 && headers[n - 1])
        text += quoted(*headers[n - 1]);
    text += QLatin1String(") VALUES( ");
    return text;
}

QString ExcelEngineODBC::insertText(const QString &prefix, const Texts &items)
{
    QString text = prefix;
    const int n = int(items.size());
    for (int c = 0; c < n - 1; ++c) {
        if (items[c])
            text += QLatin1Char('\'') + quoted(*items[c]) + QLatin1String("', ");
    }
    if (n > 0 && items[n - 1])
        text += QLatin1Char('\'') + quoted(*items[n - 1]) + QLatin1String("') ");
    else
        text += QLatin1String(")");
    return text;
}

bool ExcelEngineODBC::writeTable(QTableWidget *table, QProgressDialog *progress)
{
    return table && writeTable(sheetTableOf(*table), progress);
}

bool ExcelEngineODBC::writeTable(const SheetTable &table, QProgressDialog *progress)
{
    const int n = table.headers.size();
    const int m = table.rows.size();
    if (!m_database.isOpen() || m == 0 || n == 0)
        return false;

    QSqlQuery query(m_database);
    m_database.transaction();

    // A null text is a missing item (see SheetTable).
    const auto optionalText = [](const QString &text) {
        return text.isNull() ? std::nullopt : std::optional<QString>(text);
    };
    Texts headers(n);
    for (int c = 0; c < n; ++c)
        headers[c] = optionalText(table.headers.at(c));
    const QString prefix = insertPrefix(headers);

    if (!query.exec(createText(headers))) {
        m_database.rollback();
        m_database.close();
        return false;
    }

    // A row the driver refuses is skipped and the others are still written,
    // but the result tells that the file is incomplete.
    bool allInserted = true;
    Texts items(n);
    for (int r = 0; r < m; ++r) {
        if (progress) {
            progress->setValue(r);
            if (progress->wasCanceled()) {
                if (m_target == Target::Replace) {
                    m_database.rollback();
                    return true;
                }
                break;
            }
        }
        const QStringList &texts = table.rows.at(r);
        for (int c = 0; c < n; ++c)
            items[c] = c < texts.size() ? optionalText(texts.at(c)) : std::nullopt;
        if (!query.exec(insertText(prefix, items)))
            allInserted = false;
    }
    const bool committed = m_database.commit();
    return committed && allInserted;
}

void ExcelEngineODBC::closeConnection()
{
    if (m_database.isOpen())
        m_database.close();
}
