#include "archive/archive.h"

#include "files/privatefile.h"
#include "files/workbooklayout.h"
#include "measurement/instrumentclock.h"
#include "measurement/uvfigures.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

#include <csignal>
#include <cstring>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The schema's steps: step k brings a database of version k - 1 to version
// k. %ID% and %BLOB% stand for the two types the engines spell differently.
const QStringList kStep1 = {
    QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
    QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"),
    QStringLiteral("CREATE TABLE instruments (id %ID%, family TEXT NOT NULL, model TEXT NOT NULL, "
                   "serial BIGINT NOT NULL, UNIQUE (family, model, serial))"),
    QStringLiteral(
        "CREATE TABLE logger_runs (id %ID%, instrument_id BIGINT NOT NULL REFERENCES "
        "instruments (id), start TEXT NOT NULL, interval_s INTEGER NOT NULL, content_hash TEXT "
        "NOT NULL, run_number INTEGER NOT NULL, samples_count INTEGER NOT NULL, duration_s BIGINT "
        "NOT NULL, dose_uj_cm2 DOUBLE PRECISION NOT NULL, peak_uw_cm2 DOUBLE PRECISION NOT NULL, "
        "samples %BLOB% NOT NULL, imported_at TEXT NOT NULL, "
        "UNIQUE (instrument_id, start, interval_s, content_hash))"),
    QStringLiteral(
        "CREATE TABLE meter_records (id %ID%, instrument_id BIGINT NOT NULL REFERENCES "
        "instruments (id), record_number INTEGER NOT NULL, content_hash TEXT NOT NULL, unit "
        "INTEGER NOT NULL, decimals INTEGER NOT NULL, power_rt DOUBLE PRECISION NOT NULL, "
        "power_max DOUBLE PRECISION NOT NULL, power_min DOUBLE PRECISION NOT NULL, power_avg "
        "DOUBLE PRECISION NOT NULL, energy DOUBLE PRECISION NOT NULL, duration_s DOUBLE PRECISION "
        "NOT NULL, imported_at TEXT NOT NULL, "
        "UNIQUE (instrument_id, record_number, content_hash))"),
};
// Version 2: where each row came from, and the index the listings and the
// trend read runs by.
const QStringList kStep2 = {
    QStringLiteral("ALTER TABLE logger_runs ADD COLUMN source TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE meter_records ADD COLUMN source TEXT NOT NULL DEFAULT ''"),
    QStringLiteral("CREATE INDEX logger_runs_by_start ON logger_runs (instrument_id, start)"),
};
const QList<QStringList> kSteps = {kStep1, kStep2};
static_assert(Archive::SchemaVersion == 2, "a schema version needs its step in kSteps");

const char *kSqliteHeader = "SQLite format 3";

// A server that cannot be reached ends the wait after 10 s; libpq waits for
// the system's TCP time-out otherwise, minutes. Given as libpq's default from
// the environment, so that a limit in the connection string or in the
// service file still wins; set while the program starts, before any thread.
[[maybe_unused]] const bool kConnectTimeoutDefault = [] {
    if (qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT"))
        qputenv("PGCONNECT_TIMEOUT", "10");
    return true;
}();

QAtomicInt connectionCount;

// A time as the archive stores it, "yyyy-MM-ddTHH:mm:ss"; invalid for any
// other text. QDateTime::fromString with a format is slow enough to be most
// of the cost of a long listing.
QDateTime storedTime(const QString &text)
{
    if (text.size() != 19 || text.at(10) != QLatin1Char('T'))
        return QDateTime();
    return InstrumentClock::fromText(text);
}

} // namespace

QString Archive::defaultLocation()
{
    // The window's data folder (~/.local/share/vantrel), whichever program
    // asks: vantrel-cli goes by another name but shares the archive.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("vantrel/archive.sqlite"));
}

namespace {

bool isKeywordStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
}

bool isKeywordChar(QChar c)
{
    return isKeywordStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// The keywords that carry a secret: the server's password, and the one of
// the client's key for SSL.
bool isSecret(const QString &keyword)
{
    return keyword == QLatin1String("password") || keyword == QLatin1String("sslpassword");
}

// A value as libpq reads it in a key=value word: bare when it can be.
QString quotedValue(const QString &value)
{
    bool bare = !value.isEmpty();
    for (const QChar c : value)
        bare = bare && !c.isSpace() && c != QLatin1Char('\'') && c != QLatin1Char('\\');
    if (bare)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

struct Words
{
    QStringList words; // key=value, keys in lower case, secrets left out
    bool hasSecret = false;
};

void addWord(Words *w, const QString &key, const QString &value)
{
    const QString keyword = key.toLower();
    if (isSecret(keyword))
        w->hasSecret = true;
    else
        w->words << keyword + QLatin1Char('=') + quotedValue(value);
}

// libpq's key=value connection string: words "keyword = value", the value
// bare (up to a space) or in single quotes, a backslash escaping the next
// character in both. False when the text is not one whole.
bool parseWords(const QString &text, Words *out)
{
    int i = 0;
    const int n = text.size();
    auto skipSpace = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    skipSpace();
    if (i == n)
        return false;
    while (i < n) {
        if (!isKeywordStart(text.at(i)))
            return false;
        const int from = i;
        while (i < n && isKeywordChar(text.at(i)))
            ++i;
        const QString key = text.mid(from, i - from);
        skipSpace();
        if (i == n || text.at(i) != QLatin1Char('='))
            return false;
        ++i;
        skipSpace();
        QString value;
        if (i < n && text.at(i) == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('\\') && i < n) {
                    value += text.at(i++);
                } else if (c == QLatin1Char('\'')) {
                    closed = true;
                    break;
                } else {
                    value += c;
                }
            }
            if (!closed)
                return false;
        } else {
            while (i < n && !text.at(i).isSpace()) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('\\') && i < n)
                    value += text.at(i++);
                else
                    value += c;
            }
        }
        addWord(out, key, value);
        if (i < n && !text.at(i).isSpace())
            return false;
        skipSpace();
    }
    return true;
}

QString percentDecoded(const QString &part)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

// libpq's address postgresql://[user[:password]@][host[:port][,...]][/dbname][?key=value&...]
// (after its scheme) as key=value words. False when it is none.
bool parseAddress(const QString &rest, Words *out)
{
    QString authority = rest;
    QString query;
    QString database;
    const int question = authority.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        query = authority.mid(question + 1);
        authority.truncate(question);
    }
    const int slash = authority.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        database = authority.mid(slash + 1);
        authority.truncate(slash);
    }
    // The last '@': a password holding one unencoded stays a password.
    const int at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString user = authority.left(at);
        const int colon = user.indexOf(QLatin1Char(':'));
        if (colon >= 0)
            out->hasSecret = true;
        const QString name = percentDecoded(colon >= 0 ? user.left(colon) : user);
        if (!name.isEmpty())
            addWord(out, QStringLiteral("user"), name);
        authority = authority.mid(at + 1);
    }
    QStringList hosts;
    QStringList ports;
    bool anyPort = false;
    if (!authority.isEmpty()) {
        for (const QString &hostAndPort : authority.split(QLatin1Char(','))) {
            QString host = hostAndPort;
            QString port;
            if (host.startsWith(QLatin1Char('['))) {
                const int close = host.indexOf(QLatin1Char(']'));
                if (close < 0)
                    return false;
                port = host.mid(close + 1);
                host = host.mid(1, close - 1);
                if (!port.isEmpty() && !port.startsWith(QLatin1Char(':')))
                    return false;
                port = port.mid(1);
            } else {
                const int colon = host.indexOf(QLatin1Char(':'));
                if (colon >= 0) {
                    port = host.mid(colon + 1);
                    host.truncate(colon);
                }
            }
            for (const QChar c : qAsConst(port)) {
                if (!c.isDigit())
                    return false;
            }
            anyPort = anyPort || !port.isEmpty();
            hosts << percentDecoded(host);
            ports << port;
        }
        if (!hosts.join(QString()).isEmpty())
            addWord(out, QStringLiteral("host"), hosts.join(QLatin1Char(',')));
        if (anyPort)
            addWord(out, QStringLiteral("port"), ports.join(QLatin1Char(',')));
    }
    if (!database.isEmpty())
        addWord(out, QStringLiteral("dbname"), percentDecoded(database));
    if (!query.isEmpty()) {
        for (const QString &pair : query.split(QLatin1Char('&'))) {
            const int equals = pair.indexOf(QLatin1Char('='));
            const QString key = percentDecoded(pair.left(equals));
            if (equals <= 0 || key.isEmpty() || !isKeywordStart(key.at(0)) ||
                !std::all_of(key.begin(), key.end(), isKeywordChar))
                return false;
            addWord(out, key, percentDecoded(pair.mid(equals + 1)));
        }
    }
    return true;
}

} // namespace

Archive::Connection Archive::parse(const QString &connection)
{
    Connection c;
    const QString text = connection.trimmed();
    auto startsWith = [&text](const char *prefix) {
        return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
    };
    Words words;
    bool server = false;
    if (text.isEmpty()) {
        c.kind = Connection::Kind::File;
        c.path = defaultLocation();
        return c;
    }
    if (startsWith("postgresql://") || startsWith("postgres://")) {
        server = parseAddress(text.mid(text.indexOf(QLatin1String("://")) + 3), &words);
        if (!server)
            c.refusal = tr("The archive connection is a postgresql:// address that cannot be "
                           "read.");
    } else if (startsWith("/") || startsWith("./") || startsWith("../")) {
        c.kind = Connection::Kind::File;
        c.path = text;
        return c;
    } else if (startsWith("~/")) {
        c.kind = Connection::Kind::File;
        c.path = QDir::home().filePath(text.mid(2));
        return c;
    } else if (isKeywordStart(text.at(0))) {
        int i = 0;
        while (i < text.size() && isKeywordChar(text.at(i)))
            ++i;
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        if (i < text.size() && text.at(i) == QLatin1Char('=')) {
            server = parseWords(text, &words);
            if (!server)
                c.refusal = tr("The archive connection looks like a connection string "
                               "(key=value) but cannot be read: a quote is not closed or a "
                               "word is not key=value.");
        }
    }
    if (server) {
        c.options = words.words.join(QLatin1Char(' '));
        c.hasPassword = words.hasSecret;
        if (c.hasPassword) {
            c.refusal = tr("The archive connection holds a password. Keep it in the password "
                           "file (~/.pgpass) or the service file instead.");
            return c;
        }
        c.kind = Connection::Kind::Server;
        return c;
    }
    if (c.refusal.isEmpty() && !text.contains(QLatin1String("://")) &&
        (text.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive) ||
         text.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))) {
        c.kind = Connection::Kind::File;
        c.path = text;
        return c;
    }
    if (c.refusal.isEmpty())
        c.refusal = tr("The archive connection is neither a PostgreSQL database nor an SQLite "
                       "file.");
    c.refusal += QLatin1Char(' ') +
                 tr("A PostgreSQL database is given by key=value words (\"service=lab\", "
                    "\"host=db.lab dbname=vantrel\") or by a postgresql:// address; an SQLite "
                    "file by an absolute path, a path starting with ./ or ~/, or a name ending "
                    "in .sqlite or .db.");
    return c;
}

bool Archive::isServer(const QString &connection)
{
    return parse(connection).kind == Connection::Kind::Server;
}

QString Archive::refusal(const QString &connection)
{
    return parse(connection).refusal;
}

QString Archive::keepable(const QString &connection)
{
    const Connection c = parse(connection);
    if (c.kind == Connection::Kind::Server || c.hasPassword)
        return c.options;
    return c.kind == Connection::Kind::File ? connection.trimmed() : QString();
}

QString Archive::describe(const QString &connection)
{
    const Connection c = parse(connection);
    switch (c.kind) {
    case Connection::Kind::File:
        return tr("the SQLite file %1").arg(QFileInfo(c.path).absoluteFilePath());
    case Connection::Kind::Server:
        return tr("the PostgreSQL database %1").arg(c.options);
    case Connection::Kind::Refused:
        break;
    }
    return QString();
}

Archive::Archive()
    : m_name(QStringLiteral("vantrel-archive-%1").arg(connectionCount.fetchAndAddRelaxed(1)))
{
    bool ok = false;
    const int kill = qEnvironmentVariableIntValue(KillSeamVariable, &ok);
    if (ok && kill >= 0)
        m_killAfterRows = kill;
}

Archive::~Archive()
{
    close();
}

void Archive::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Archive::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

namespace {

QString queryError(const QSqlQuery &q)
{
    const QSqlError e = q.lastError();
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

// SQLite's result codes (sqlite3.h), as Qt's driver gives them, and
// PostgreSQL's SQLSTATE classes, as its driver does.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteFull = 13;

Archive::Failure kindOf(const QSqlError &e, bool server)
{
    const QString code = e.nativeErrorCode();
    if (server) {
        // 53: insufficient resources (53100 disk full); 08: the connection;
        // 55P03 a lock not granted, 40P01 a deadlock. A connection lost
        // gives no SQLSTATE at all.
        if (code.startsWith(QLatin1String("53")))
            return Archive::Failure::Full;
        if (code == QLatin1String("55P03") || code == QLatin1String("40P01"))
            return Archive::Failure::Locked;
        if (code.startsWith(QLatin1String("08")) || e.type() == QSqlError::ConnectionError ||
            (code.isEmpty() && e.isValid()))
            return Archive::Failure::Unreachable;
        return Archive::Failure::Other;
    }
    bool ok = false;
    const int sqlite = code.toInt(&ok) & 0xff; // an extended code's primary part
    if (ok && (sqlite == kSqliteBusy || sqlite == kSqliteLocked))
        return Archive::Failure::Locked;
    if (ok && sqlite == kSqliteFull)
        return Archive::Failure::Full;
    return Archive::Failure::Other;
}

} // namespace

QString Archive::explained(const QSqlError &e, const QString &what, const QString &detail)
{
    m_failure = kindOf(e, m_server);
    switch (m_failure) {
    case Failure::Locked:
        return m_server ? tr("The archive is locked by another program: %1").arg(detail)
                        : tr("The archive %1 is locked by another program, which held it longer "
                             "than the program waits: %2")
                              .arg(m_path, detail);
    case Failure::Full:
        return m_server ? tr("The archive server's disk is full: %1").arg(detail)
                        : tr("The disk holding the archive %1 is full: %2").arg(m_path, detail);
    case Failure::Unreachable:
        return tr("The archive server cannot be reached any more: %1").arg(detail);
    case Failure::None:
    case Failure::Refused:
    case Failure::Other:
        break;
    }
    return what;
}

QString Archive::failure(const QString &what)
{
    // BEGIN and COMMIT are statements: their error is the statement's.
    const QSqlError e = m_statementError.isValid()
                            ? m_statementError
                            : QSqlDatabase::database(m_name, false).lastError();
    const QString plain = e.isValid() ? QStringLiteral("%1 (%2)").arg(what, e.text()) : what;
    return explained(e, plain, e.text());
}

QString Archive::writeError(const QSqlQuery &q)
{
    return explained(q.lastError(), queryError(q), queryError(q));
}

bool Archive::open(const QString &connection, QString *error)
{
    close();
    const Connection parsed = parse(connection);
    m_failure = Failure::Other;
    if (parsed.kind == Connection::Kind::Refused) {
        m_failure = Failure::Refused;
        *error = parsed.refusal;
        return false;
    }
    m_server = parsed.kind == Connection::Kind::Server;
    m_readOnly = false;
    if (m_server) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        if (!db.isValid()) {
            *error = tr("This computer has no PostgreSQL driver for Qt: install the package "
                        "libqt5sql5-psql (sudo apt install libqt5sql5-psql).");
            db = QSqlDatabase();
            close();
            return false;
        }
        db.setConnectOptions(parsed.options);
        if (!db.open()) {
            m_failure = Failure::Unreachable;
            *error = tr("Cannot connect to the archive server: %1")
                         .arg(db.lastError().databaseText().trimmed());
            db = QSqlDatabase();
            close();
            return false;
        }
    } else {
        const QString path = parsed.path;
        const QFileInfo info(path);
        if (info.exists() && !info.isFile()) {
            *error = tr("The archive %1 is not a file.").arg(path);
            return false;
        }
        if (info.exists() && info.size() > 0) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                *error = tr("Cannot read the archive %1: %2").arg(path, file.errorString());
                return false;
            }
            if (file.read(16) != QByteArray(kSqliteHeader, 16)) {
                *error = tr("%1 is no archive: it is not an SQLite database. It was left as it "
                            "was.")
                             .arg(path);
                return false;
            }
        } else {
            // A new archive is its owner's alone, and so is its folder when
            // made for it; SQLite gives the WAL and shared-memory files the
            // mode of the archive.
            if (!PrivateFile::makeFolder(info.absolutePath(), error) ||
                !PrivateFile::create(path, error))
                return false;
        }
        m_path = path;
        m_readOnly = info.exists() && info.size() > 0 && !info.isWritable();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (m_readOnly) {
            // A copy on a read-only share: nobody writes it, and its folder
            // may not take the WAL's shared-memory file, without which
            // SQLite reads such a file only when told it never changes.
            QString uri = QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
            if (!QFileInfo(info.absolutePath()).isWritable())
                uri += QStringLiteral("?immutable=1");
            db.setDatabaseName(uri);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        } else {
            db.setDatabaseName(path);
            // Another program (the window, vantrel-cli) may be writing.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        }
        if (!db.open()) {
            *error = tr("Cannot open the archive %1: %2").arg(path, db.lastError().text());
            db = QSqlDatabase();
            close();
            return false;
        }
        // A new archive: pages that hold three runs of 606 samples where 4 KiB
        // pages hold one.
        if (!info.exists() || info.size() == 0)
            QSqlQuery(db).exec(QStringLiteral("PRAGMA page_size=8192"));
        // Nothing is written before the file has shown itself whole.
        QSqlQuery check(db);
        if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next() ||
            check.value(0).toString() != QLatin1String("ok")) {
            *error =
                tr("The archive %1 is damaged (%2). It was left as it was.")
                    .arg(path, check.isActive() ? check.value(0).toString() : queryError(check));
            check = QSqlQuery();
            db = QSqlDatabase();
            close();
            return false;
        }
        check.finish();
        bool ok = false;
        const int maxPages = qEnvironmentVariableIntValue(MaxPagesSeamVariable, &ok);
        if (ok && maxPages > 0 && !m_readOnly)
            QSqlQuery(db).exec(QStringLiteral("PRAGMA max_page_count=%1").arg(maxPages));
    }
    if (!prepareSchema(error)) {
        close();
        return false;
    }
    if (!m_server && !m_readOnly) {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        q.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    }
    m_failure = Failure::None;
    return true;
}

bool Archive::begin()
{
    m_rowsInTransaction = 0;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    // SQLite: the write lock at once, so that two writers wait for each
    // other instead of failing on a lock upgrade.
    const bool begun = q.exec(m_server || m_readOnly ? QStringLiteral("BEGIN")
                                                     : QStringLiteral("BEGIN IMMEDIATE"));
    m_statementError = begun ? QSqlError() : q.lastError();
    return begun;
}

bool Archive::commit()
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    const bool committed = q.exec(QStringLiteral("COMMIT"));
    m_statementError = committed ? QSqlError() : q.lastError();
    return committed;
}

void Archive::rollback()
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.exec(QStringLiteral("ROLLBACK"));
}

bool Archive::writable(QString *error) const
{
    if (!isOpen()) {
        *error = tr("The archive is not open.");
        return false;
    }
    if (m_readOnly) {
        *error = tr("The archive %1 is read-only: it can be listed and its runs exported, but it "
                    "takes no imports.")
                     .arg(m_path);
        return false;
    }
    return true;
}

void Archive::countRow()
{
    ++m_rowsInTransaction;
    if (m_killAfterRows >= 0 && m_rowsInTransaction >= m_killAfterRows)
        std::raise(SIGKILL);
}

bool Archive::prepareSchema(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!begin()) {
        *error = failure(tr("The archive cannot be written"));
        return false;
    }
    QSqlQuery q(db);
    // Two programs starting on a new server database create it once.
    if (m_server && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7463285)"))) {
        *error = tr("The archive cannot be prepared: %1").arg(queryError(q));
        rollback();
        return false;
    }
    const QStringList tables = db.tables(QSql::Tables);
    int version = 0;
    if (tables.contains(QStringLiteral("schema_version"))) {
        if (!q.exec(QStringLiteral("SELECT version FROM schema_version")) || !q.next()) {
            *error = tr("The archive's version cannot be read: %1").arg(queryError(q));
            rollback();
            return false;
        }
        version = q.value(0).toInt();
        q.finish();
        if (version > SchemaVersion) {
            *error = tr("The archive was written by a newer version of the program (archive "
                        "version %1, this program knows up to %2). It was left as it was.")
                         .arg(version)
                         .arg(SchemaVersion);
            rollback();
            return false;
        }
    } else if (!tables.isEmpty()) {
        *error = tr("The database holds tables of another program; it is no archive. It was "
                    "left as it was.");
        rollback();
        return false;
    }
    if (version < SchemaVersion && m_readOnly) {
        *error = tr("The archive %1 is read-only and of an older version (%2): it can be read "
                    "once a program that may write it has brought it up to date.")
                     .arg(m_path)
                     .arg(version);
        rollback();
        return false;
    }
    if (version < SchemaVersion && !migrate(version, error)) {
        rollback();
        return false;
    }
    if (!commit()) {
        *error = failure(tr("The archive cannot be written"));
        rollback();
        return false;
    }
    return true;
}

bool Archive::migrate(int from, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    for (int step = from + 1; step <= SchemaVersion; ++step) {
        for (QString statement : kSteps.at(step - 1)) {
            statement.replace(
                QLatin1String("%ID%"),
                m_server ? QLatin1String("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                         : QLatin1String("INTEGER PRIMARY KEY"));
            statement.replace(QLatin1String("%BLOB%"),
                              m_server ? QLatin1String("BYTEA") : QLatin1String("BLOB"));
            if (!q.exec(statement)) {
                *error = tr("The archive cannot be brought to version %1: %2")
                             .arg(step)
                             .arg(queryError(q));
                return false;
            }
        }
        q.prepare(QStringLiteral("UPDATE schema_version SET version = ?"));
        q.addBindValue(step);
        if (!q.exec()) {
            *error =
                tr("The archive cannot be brought to version %1: %2").arg(step).arg(queryError(q));
            return false;
        }
    }
    return true;
}

QByteArray Archive::sampleBytes(const QVector<float> &samples)
{
    QByteArray bytes(samples.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < samples.size(); ++i) {
        quint32 bits;
        std::memcpy(&bits, &samples.at(i), 4);
        qToLittleEndian(bits, bytes.data() + 4 * i);
    }
    return bytes;
}

QVector<float> Archive::samplesFromBytes(const QByteArray &bytes)
{
    QVector<float> samples(bytes.size() / 4);
    for (int i = 0; i < samples.size(); ++i) {
        const quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + 4 * i);
        std::memcpy(&samples[i], &bits, 4);
    }
    return samples;
}

QString Archive::contentHash(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

namespace {

// A null text binds as NULL, which the NOT NULL columns refuse: no name is
// the empty name.
QString notNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

bool Archive::instrumentId(const QString &family, const QString &name, quint32 serial, qint64 *id,
                           QString *error)
{
    // A file that does not name the instrument gives a null text, which
    // would bind as NULL: it is the instrument "" like any other unnamed one.
    const QString model = notNull(name);
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral("INSERT INTO instruments (family, model, serial) VALUES (?, ?, ?) "
                             "ON CONFLICT DO NOTHING"));
    q.addBindValue(family);
    q.addBindValue(model);
    q.addBindValue(qint64(serial));
    if (!q.exec()) {
        *error = tr("The instrument cannot be archived: %1").arg(writeError(q));
        return false;
    }
    q.prepare(
        QStringLiteral("SELECT id FROM instruments WHERE family = ? AND model = ? AND serial = ?"));
    q.addBindValue(family);
    q.addBindValue(model);
    q.addBindValue(qint64(serial));
    if (!q.exec() || !q.next()) {
        *error = tr("The instrument cannot be archived: %1").arg(queryError(q));
        return false;
    }
    *id = q.value(0).toLongLong();
    return true;
}

bool Archive::beginImport(const QString &family, const InstrumentIdentity &info, qint64 *instrument,
                          QString *error)
{
    m_failure = Failure::Other;
    if (!writable(error))
        return false;
    if (!begin()) {
        *error = failure(tr("The archive cannot be written"));
        return false;
    }
    if (!instrumentId(family, info.model, info.serialNumber, instrument, error)) {
        rollback();
        return false;
    }
    return true;
}

bool Archive::finishImport(QString *error)
{
    if (commit()) {
        m_failure = Failure::None;
        return true;
    }
    *error = failure(tr("The archive cannot be written"));
    rollback();
    return false;
}

namespace {

// A sample as a workbook that keeps one decimal holds it, read back.
float oneDecimal(float v)
{
    const CellBlock::Cell cell = WorkbookLayout::sampleCell(v);
    return cell.text.isNull() ? float(cell.number) : v;
}

bool isOneDecimal(const QVector<float> &samples)
{
    for (float v : samples) {
        if (!qIsNaN(v) && oneDecimal(v) != v)
            return false;
    }
    return true;
}

// The same run read from a file that keeps one decimal (an .xls) and from
// one that keeps the instrument's values: one side's samples are all of one
// decimal, and the other's round to them.
bool sameRoundedRun(const QVector<float> &a, const QVector<float> &b)
{
    if (a.size() != b.size() || (!isOneDecimal(a) && !isOneDecimal(b)))
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const bool bothNaN = qIsNaN(a.at(i)) && qIsNaN(b.at(i));
        if (!bothNaN && oneDecimal(a.at(i)) != oneDecimal(b.at(i)))
            return false;
    }
    return true;
}

} // namespace

bool Archive::holdsRoundedRun(qint64 instrument, const LoggerRunData &run, bool *holds,
                              QString *error)
{
    *holds = false;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral("SELECT samples FROM logger_runs WHERE instrument_id = ? AND "
                             "start = ? AND interval_s = ? AND samples_count = ?"));
    q.addBindValue(instrument);
    q.addBindValue(run.start.isValid() ? InstrumentClock::isoText(run.start) : QString(""));
    q.addBindValue(run.intervalSeconds);
    q.addBindValue(run.samples.size());
    if (!q.exec()) {
        *error = tr("Run %1 cannot be archived: %2").arg(run.number).arg(writeError(q));
        return false;
    }
    while (q.next() && !*holds)
        *holds = sameRoundedRun(samplesFromBytes(q.value(0).toByteArray()), run.samples);
    return true;
}

bool Archive::importLogger(const LoggerData &data, const QString &source, Added *added,
                           QString *error)
{
    qint64 instrument = 0;
    if (!beginImport(QStringLiteral("logger"), data.instrument, &instrument, error))
        return false;
    Added counts;
    const QString now = QDateTime::currentDateTime().toString(kTimeFormat);
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral(
        "INSERT INTO logger_runs (instrument_id, start, interval_s, content_hash, run_number, "
        "samples_count, duration_s, dose_uj_cm2, peak_uw_cm2, samples, imported_at, source) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
    for (const LoggerRunData &run : data.runs) {
        if (run.isEmpty())
            continue;
        // The run kept with one decimal (or in full) is the run already
        // archived in full (or with one decimal): it is archived once.
        bool known = false;
        if (!holdsRoundedRun(instrument, run, &known, error)) {
            rollback();
            return false;
        }
        if (known) {
            ++counts.runsKnown;
            continue;
        }
        const QByteArray bytes = sampleBytes(run.samples);
        const UvFigures::Figures figures = UvFigures::compute(run.samples, run.intervalSeconds);
        q.addBindValue(instrument);
        q.addBindValue(run.start.isValid() ? run.start.toString(kTimeFormat) : QString(""));
        q.addBindValue(run.intervalSeconds);
        q.addBindValue(contentHash(bytes));
        q.addBindValue(run.number);
        q.addBindValue(run.samples.size());
        q.addBindValue(run.durationSeconds());
        q.addBindValue(figures.dose);
        q.addBindValue(figures.peak);
        q.addBindValue(bytes);
        q.addBindValue(now);
        q.addBindValue(notNull(source));
        if (!q.exec()) {
            *error = tr("Run %1 cannot be archived: %2").arg(run.number).arg(writeError(q));
            rollback();
            return false;
        }
        if (q.numRowsAffected() > 0)
            ++counts.runsAdded;
        else
            ++counts.runsKnown;
        countRow();
    }
    if (!finishImport(error))
        return false;
    if (added) {
        added->runsAdded += counts.runsAdded;
        added->runsKnown += counts.runsKnown;
    }
    return true;
}

namespace {

// A value as a column keeps it. SQLite holds no NaN as a number (it binds as
// NULL, which the NOT NULL columns refuse, and the whole download with it):
// a NaN the instrument sent is kept as the text "NaN", which reads back as
// NaN, as PostgreSQL's double precision takes and gives it.
QVariant storedReal(float v)
{
    return qIsNaN(v) ? QVariant(QStringLiteral("NaN")) : QVariant(double(v));
}

QByteArray recordBytes(int unit, const MeterReading &r)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(qint32(unit), bytes.data());
    bytes +=
        Archive::sampleBytes({r.powerRt, r.powerMax, r.powerMin, r.powerAvg, r.energy, r.duration});
    return bytes;
}

} // namespace

bool Archive::importMeter(const MeterData &data, const QString &source, Added *added,
                          QString *error)
{
    qint64 instrument = 0;
    if (!beginImport(QStringLiteral("meter"), data.instrument, &instrument, error))
        return false;
    Added counts;
    const QString now = QDateTime::currentDateTime().toString(kTimeFormat);
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral(
        "INSERT INTO meter_records (instrument_id, record_number, content_hash, unit, decimals, "
        "power_rt, power_max, power_min, power_avg, energy, duration_s, imported_at, source) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
    for (int i = 0; i < data.records.size(); ++i) {
        const MeterReading &r = data.records.at(i);
        q.addBindValue(instrument);
        q.addBindValue(data.numberAt(i));
        q.addBindValue(contentHash(recordBytes(data.unit, r)));
        q.addBindValue(data.unit);
        q.addBindValue(data.decimals);
        for (float v : {r.powerRt, r.powerMax, r.powerMin, r.powerAvg, r.energy, r.duration})
            q.addBindValue(storedReal(v));
        q.addBindValue(now);
        q.addBindValue(notNull(source));
        if (!q.exec()) {
            *error =
                tr("Record %1 cannot be archived: %2").arg(data.numberAt(i)).arg(writeError(q));
            rollback();
            return false;
        }
        if (q.numRowsAffected() > 0)
            ++counts.recordsAdded;
        else
            ++counts.recordsKnown;
        countRow();
    }
    if (!finishImport(error))
        return false;
    if (added) {
        added->recordsAdded += counts.recordsAdded;
        added->recordsKnown += counts.recordsKnown;
    }
    return true;
}

bool Archive::importMeasurement(const Measurement &measurement, const QString &source, Added *added,
                                QString *error)
{
    switch (measurement.family) {
    case Measurement::Family::Logger:
        return importLogger(measurement.logger, source, added, error);
    case Measurement::Family::Meter:
        return importMeter(measurement.meter, source, added, error);
    case Measurement::Family::None:
        break;
    }
    *error = tr("The file holds no measurement.");
    return false;
}

namespace {

// The WHERE clause of a filter on column timeColumn, and its values in
// order.
QString where(const Archive::Filter &filter, const QString &timeColumn, QVariantList *values)
{
    QStringList parts;
    if (filter.hasSerial) {
        parts << QStringLiteral("i.serial = ?");
        *values << qint64(filter.serial);
    }
    if (filter.since.isValid()) {
        parts << timeColumn + QStringLiteral(" >= ?");
        *values << filter.since.toString(kTimeFormat);
    }
    if (filter.until.isValid()) {
        parts << timeColumn + QStringLiteral(" <= ?");
        *values << filter.until.toString(kTimeFormat);
    }
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(" AND ");
}

// Runs select + the filter's WHERE clause + order on q, read forward only.
bool selectFiltered(QSqlQuery &q, const QString &select, const Archive::Filter &filter,
                    const QString &timeColumn, const QString &order, QString *error)
{
    QVariantList values;
    q.setForwardOnly(true);
    q.prepare(select + where(filter, timeColumn, &values) + order);
    for (const QVariant &v : qAsConst(values))
        q.addBindValue(v);
    if (!q.exec()) {
        *error = Archive::tr("The archive cannot be read: %1").arg(queryError(q));
        return false;
    }
    return true;
}

} // namespace

bool Archive::listInstruments(QList<Instrument> *out, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.setForwardOnly(true);
    if (!q.exec(
            QStringLiteral("SELECT i.id, i.family, i.model, i.serial, "
                           "(SELECT COUNT(*) FROM logger_runs r WHERE r.instrument_id = i.id) + "
                           "(SELECT COUNT(*) FROM meter_records m WHERE m.instrument_id = i.id) "
                           "FROM instruments i ORDER BY i.serial, i.model, i.family"))) {
        *error = tr("The archive cannot be read: %1").arg(queryError(q));
        return false;
    }
    out->clear();
    while (q.next()) {
        Instrument i;
        i.id = q.value(0).toLongLong();
        i.family = q.value(1).toString();
        i.model = q.value(2).toString();
        i.serial = quint32(q.value(3).toLongLong());
        i.entries = q.value(4).toInt();
        *out << i;
    }
    return true;
}

bool Archive::listRuns(const Filter &filter, QList<RunEntry> *out, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    if (!selectFiltered(q,
                        QStringLiteral("SELECT r.id, i.model, i.serial, r.start, r.interval_s, "
                                       "r.run_number, r.samples_count, r.duration_s, "
                                       "r.dose_uj_cm2, r.peak_uw_cm2, r.imported_at, r.source "
                                       "FROM logger_runs r JOIN instruments i ON i.id = "
                                       "r.instrument_id"),
                        filter, QStringLiteral("r.start"),
                        QStringLiteral(" ORDER BY i.serial, r.start, r.id"), error))
        return false;
    out->clear();
    while (q.next()) {
        RunEntry e;
        e.id = q.value(0).toLongLong();
        e.model = q.value(1).toString();
        e.serial = quint32(q.value(2).toLongLong());
        e.start = storedTime(q.value(3).toString());
        e.intervalSeconds = q.value(4).toInt();
        e.number = q.value(5).toInt();
        e.samples = q.value(6).toInt();
        e.durationSeconds = q.value(7).toLongLong();
        e.dose = q.value(8).toDouble();
        e.peak = q.value(9).toDouble();
        e.importedAt = q.value(10).toString();
        e.source = q.value(11).toString();
        *out << e;
    }
    return true;
}

bool Archive::listRecords(const Filter &filter, QList<RecordEntry> *out, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    if (!selectFiltered(q,
                        QStringLiteral("SELECT m.id, i.model, i.serial, m.record_number, m.unit, "
                                       "m.decimals, m.power_rt, m.power_max, m.power_min, "
                                       "m.power_avg, m.energy, m.duration_s, m.imported_at, "
                                       "m.source FROM meter_records m JOIN instruments i ON "
                                       "i.id = m.instrument_id"),
                        filter, QStringLiteral("m.imported_at"),
                        QStringLiteral(" ORDER BY i.serial, m.imported_at, m.record_number, m.id"),
                        error))
        return false;
    out->clear();
    while (q.next()) {
        RecordEntry e;
        e.id = q.value(0).toLongLong();
        e.model = q.value(1).toString();
        e.serial = quint32(q.value(2).toLongLong());
        e.number = q.value(3).toInt();
        e.unit = q.value(4).toInt();
        e.decimals = q.value(5).toInt();
        e.reading.powerRt = q.value(6).toFloat();
        e.reading.powerMax = q.value(7).toFloat();
        e.reading.powerMin = q.value(8).toFloat();
        e.reading.powerAvg = q.value(9).toFloat();
        e.reading.energy = q.value(10).toFloat();
        e.reading.duration = q.value(11).toFloat();
        e.importedAt = q.value(12).toString();
        e.source = q.value(13).toString();
        *out << e;
    }
    return true;
}

bool Archive::loadRun(qint64 id, LoggerData *out, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral("SELECT i.model, i.serial, r.start, r.interval_s, r.run_number, "
                             "r.samples FROM logger_runs r JOIN instruments i ON i.id = "
                             "r.instrument_id WHERE r.id = ?"));
    q.addBindValue(id);
    if (!q.exec()) {
        *error = tr("The archive cannot be read: %1").arg(queryError(q));
        return false;
    }
    if (!q.next()) {
        *error = tr("The archive holds no run %1.").arg(id);
        return false;
    }
    LoggerData data;
    data.instrument.model = q.value(0).toString();
    data.instrument.serialNumber = quint32(q.value(1).toLongLong());
    LoggerRunData run;
    run.start = storedTime(q.value(2).toString());
    run.hasStartBytes = run.start.isValid();
    run.intervalSeconds = q.value(3).toInt();
    run.number = q.value(4).toInt();
    run.samples = samplesFromBytes(q.value(5).toByteArray());
    data.runs << run;
    *out = data;
    return true;
}
