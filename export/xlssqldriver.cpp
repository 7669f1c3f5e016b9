#include "export/xlssqldriver.h"

#include "files/safefile.h"
#include "files/workbookfile.h"
#include "files/xlsreader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

namespace {

class XlsSqlResult : public QSqlResult
{
public:
    explicit XlsSqlResult(const QSqlDriver *driver) : QSqlResult(driver) {}

protected:
    bool reset(const QString &query) override
    {
        setActive(false);
        setAt(QSql::BeforeFirstRow);
        setSelect(false);
        // The driver runs the statements of its own connection.
        auto *xls = const_cast<XlsSqlDriver *>(static_cast<const XlsSqlDriver *>(driver()));
        QString error;
        if (!xls->execute(query, &error)) {
            setLastError(
                QSqlError(QStringLiteral("statement refused"), error, QSqlError::StatementError));
            return false;
        }
        m_affected = 1;
        setActive(true);
        return true;
    }
    QVariant data(int) override { return QVariant(); }
    bool isNull(int) override { return true; }
    bool fetch(int) override { return false; }
    bool fetchFirst() override { return false; }
    bool fetchLast() override { return false; }
    int size() override { return -1; }
    int numRowsAffected() override { return m_affected; }

private:
    int m_affected = 0;
};

// Undoes the doubling of single quotes in a name.
QString unquotedName(const QString &text)
{
    QString name = text.trimmed();
    name.replace(QLatin1String("''"), QLatin1String("'"));
    return name;
}

} // namespace

XlsSqlDriver::XlsSqlDriver(QObject *parent) : QSqlDriver(parent) {}

bool XlsSqlDriver::hasFeature(DriverFeature feature) const
{
    return feature == Transactions || feature == Unicode;
}

QString XlsSqlDriver::fileNameOf(const QString &connectionString)
{
    // DBQ= is the last item: the name runs to the end, ';' included.
    const int at = connectionString.indexOf(QLatin1String("DBQ="), 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : connectionString.mid(at + 4);
}

bool XlsSqlDriver::open(const QString &db, const QString &, const QString &, const QString &, int,
                        const QString &options)
{
    auto fail = [this](const QString &reason) {
        setLastError(QSqlError(QStringLiteral("cannot open"), reason, QSqlError::ConnectionError));
        setOpenError(true);
        return false;
    };
    if (isOpen())
        close();
    m_fileName = fileNameOf(db);
    m_book = XlsWorkbook();
    m_book.sheets.clear();
    m_tables.clear();
    m_dirty = false;
    m_inTransaction = false;
    m_statements.clear();

    if (m_fileName.isEmpty())
        return fail(QStringLiteral("no DBQ= file name"));
    const QFileInfo info(m_fileName);
    // The file is written in the format its name asks for; macro-enabled
    // and binary workbooks cannot be written.
    if (WorkbookFile::formatOf(m_fileName) == WorkbookFile::Format::Unwritable)
        return fail(QStringLiteral("only .xls and .xlsx workbooks can be written"));
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("folder does not exist"));
    const bool replace =
        options.split(QLatin1Char(';')).contains(QLatin1String(replaceOption), Qt::CaseInsensitive);
    if (info.exists()) {
        if (!info.isFile())
            return fail(QStringLiteral("not a file"));
        if (info.size() > 0 && !replace) {
            QString error;
            if (XlsReader::load(m_fileName, &m_book, &error) != XlsReader::Result::Ok)
                return fail(error);
            for (int s = 0; s < m_book.sheets.size(); ++s) {
                const XlsSheet &sheet = m_book.sheets.at(s);
                Table table;
                table.sheet = s;
                for (int c = 0; c < sheet.endColumn(); ++c)
                    table.columns.append(sheet.value(0, c).toString());
                table.nextRow = qMax(1, sheet.endRow());
                m_tables.insert(sheet.name.toCaseFolded(), table);
            }
        }
    }
    if (replace) {
        // The temporary file the commit will write is made and removed
        // again: a read-only folder shows now, not after the inserts.
        SafeFile probe(m_fileName);
        if (!probe.open())
            return fail(probe.errorString());
    }
    setOpen(true);
    setOpenError(false);
    return true;
}

void XlsSqlDriver::close()
{
    if (!isOpen())
        return;
    // Statements run outside a transaction take effect now; those of an
    // unfinished transaction are dropped.
    if (m_inTransaction)
        rollbackTransaction();
    if (m_dirty) {
        QString error;
        writeFile(&error);
    }
    setOpen(false);
    setOpenError(false);
}

QSqlResult *XlsSqlDriver::createResult() const
{
    return new XlsSqlResult(this);
}

bool XlsSqlDriver::beginTransaction()
{
    if (!isOpen() || m_inTransaction)
        return false;
    m_savedBook = m_book;
    m_savedTables = m_tables;
    m_savedDirty = m_dirty;
    m_inTransaction = true;
    return true;
}

bool XlsSqlDriver::commitTransaction()
{
    if (!isOpen() || !m_inTransaction)
        return false;
    m_inTransaction = false;
    QString error;
    if (m_dirty && !writeFile(&error)) {
        setLastError(
            QSqlError(QStringLiteral("commit failed"), error, QSqlError::TransactionError));
        return false;
    }
    return true;
}

bool XlsSqlDriver::rollbackTransaction()
{
    if (!isOpen() || !m_inTransaction)
        return false;
    m_book = m_savedBook;
    m_tables = m_savedTables;
    m_dirty = m_savedDirty;
    m_inTransaction = false;
    return true;
}

bool XlsSqlDriver::writeFile(QString *error)
{
    if (m_book.sheets.isEmpty()) {
        m_dirty = false;
        return true;
    }
    if (!WorkbookFile::save(m_book, m_fileName, error))
        return false;
    m_dirty = false;
    return true;
}

bool XlsSqlDriver::execute(const QString &statement, QString *error)
{
    m_statements.append(statement);
    if (!isOpen()) {
        *error = QStringLiteral("not open");
        return false;
    }
    static const QRegularExpression createPattern(
        QStringLiteral("^\\s*create\\s+table\\s+(\\w+)\\s*\\((.*)\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression insertPattern(
        QStringLiteral(
            "^\\s*insert\\s+into\\s+(\\w+)\\s*\\(([^)]*)\\)\\s*values\\s*\\((.*)\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch match = createPattern.match(statement);
    if (match.hasMatch())
        return create(match.captured(1), match.captured(2), error);
    match = insertPattern.match(statement);
    if (match.hasMatch())
        return insert(match.captured(1), match.captured(2), match.captured(3), error);
    *error = QStringLiteral("syntax error");
    return false;
}

bool XlsSqlDriver::create(const QString &name, const QString &definitions, QString *error)
{
    if (m_tables.contains(name.toCaseFolded())) {
        *error = QStringLiteral("table %1 exists already").arg(name);
        return false;
    }
    // name VARCHAR(n), name VARCHAR(n), ... and nothing else.
    static const QRegularExpression column(
        QStringLiteral("\\G\\s*(.+?)\\s+VARCHAR\\s*\\(\\s*[0-9]+\\s*\\)\\s*(,|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QStringList columns;
    int pos = 0;
    while (pos < definitions.size()) {
        const QRegularExpressionMatch match = column.match(definitions, pos);
        if (!match.hasMatch() || match.capturedLength(0) == 0)
            break;
        const QString columnName = unquotedName(match.captured(1));
        for (const QString &existing : qAsConst(columns)) {
            if (existing.compare(columnName, Qt::CaseInsensitive) == 0) {
                *error = QStringLiteral("column %1 twice").arg(columnName);
                return false;
            }
        }
        columns.append(columnName);
        pos = match.capturedEnd(0);
        if (match.captured(2).isEmpty())
            break;
        if (pos >= definitions.size()) {
            pos = -1; // a comma with no column after it
            break;
        }
    }
    if (columns.isEmpty() || pos != definitions.size() || columns.size() > XlsSheet::maxColumns) {
        *error = QStringLiteral("syntax error in the column list");
        return false;
    }
    Table table;
    table.sheet = m_book.sheets.size();
    table.columns = columns;
    XlsSheet sheet(name);
    for (int c = 0; c < columns.size(); ++c)
        sheet.setValue(0, c, columns.at(c));
    m_book.sheets.append(sheet);
    m_tables.insert(name.toCaseFolded(), table);
    m_dirty = true;
    return true;
}

bool XlsSqlDriver::insert(const QString &name, const QString &columnList, const QString &valueList,
                          QString *error)
{
    auto it = m_tables.find(name.toCaseFolded());
    if (it == m_tables.end()) {
        *error = QStringLiteral("no table %1").arg(name);
        return false;
    }
    QVector<int> targets;
    const QStringList names = columnList.split(QLatin1Char(','));
    for (const QString &raw : names) {
        const QString columnName = unquotedName(raw);
        int index = -1;
        for (int c = 0; c < it->columns.size(); ++c) {
            if (it->columns.at(c).compare(columnName, Qt::CaseInsensitive) == 0)
                index = c;
        }
        if (index < 0) {
            *error = QStringLiteral("no column %1").arg(columnName);
            return false;
        }
        targets.append(index);
    }

    // 'text', 'text', ... with '' standing for one quote.
    QStringList values;
    int i = 0;
    const int n = valueList.size();
    auto skipSpace = [&]() {
        while (i < n && valueList.at(i).isSpace())
            ++i;
    };
    skipSpace();
    while (i < n) {
        if (valueList.at(i) != QLatin1Char('\'')) {
            *error = QStringLiteral("syntax error in the value list");
            return false;
        }
        ++i;
        QString value;
        bool closed = false;
        while (i < n) {
            if (valueList.at(i) == QLatin1Char('\'')) {
                if (i + 1 < n && valueList.at(i + 1) == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            value += valueList.at(i++);
        }
        if (!closed) {
            *error = QStringLiteral("unterminated text");
            return false;
        }
        values.append(value);
        skipSpace();
        if (i < n) {
            if (valueList.at(i) != QLatin1Char(',')) {
                *error = QStringLiteral("syntax error in the value list");
                return false;
            }
            ++i;
            skipSpace();
            if (i >= n) {
                *error = QStringLiteral("syntax error in the value list");
                return false;
            }
        }
    }
    if (values.size() != targets.size()) {
        *error = QStringLiteral("%1 values for %2 columns").arg(values.size()).arg(targets.size());
        return false;
    }
    if (it->nextRow >= XlsSheet::maxRows) {
        *error = QStringLiteral("the worksheet is full");
        return false;
    }
    XlsSheet &sheet = m_book.sheets[it->sheet];
    for (int k = 0; k < values.size(); ++k)
        sheet.setValue(it->nextRow, targets.at(k), values.at(k));
    ++it->nextRow;
    m_dirty = true;
    return true;
}
