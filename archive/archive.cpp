#include "archive/archive.h"

#include "measurement/instrumentclock.h"
#include "measurement/uvfigures.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QtEndian>

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

QString serverOptions(const QString &connection)
{
    // QPSQL hands its connect options to libpq after turning ';' into
    // spaces; a connection string never needs a ';' of its own.
    return connection.simplified();
}

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

bool Archive::isServer(const QString &connection)
{
    static const QRegularExpression keyValue(QStringLiteral("^\\s*[a-z_]+\\s*="));
    return keyValue.match(connection).hasMatch();
}

QString Archive::refusal(const QString &connection)
{
    if (!isServer(connection) ||
        !QRegularExpression(QStringLiteral("(^|\\s)password\\s*=")).match(connection).hasMatch())
        return QString();
    return tr("The archive connection holds a password. Keep it in the password file "
              "(~/.pgpass) or the service file instead.");
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

QString Archive::failure(const QString &what) const
{
    const QSqlError e = QSqlDatabase::database(m_name, false).lastError();
    return e.isValid() ? QStringLiteral("%1 (%2)").arg(what, e.text()) : what;
}

namespace {

QString queryError(const QSqlQuery &q)
{
    const QSqlError e = q.lastError();
    return e.databaseText().isEmpty() ? e.text() : e.databaseText();
}

} // namespace

bool Archive::open(const QString &connection, QString *error)
{
    close();
    m_server = isServer(connection);
    m_readOnly = false;
    if (m_server) {
        const QString refused = refusal(connection);
        if (!refused.isEmpty()) {
            *error = refused;
            return false;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        if (!db.isValid()) {
            *error = tr("This computer has no PostgreSQL driver for Qt (libqt5sql5-psql).");
            db = QSqlDatabase();
            close();
            return false;
        }
        db.setConnectOptions(serverOptions(connection));
        if (!db.open()) {
            *error = tr("Cannot connect to the archive server: %1")
                         .arg(db.lastError().databaseText().trimmed());
            db = QSqlDatabase();
            close();
            return false;
        }
    } else {
        const QString path = connection.isEmpty() ? defaultLocation() : connection;
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
        } else if (!QDir().mkpath(info.absolutePath())) {
            *error = tr("Cannot create the folder %1.").arg(info.absolutePath());
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
    return true;
}

bool Archive::begin()
{
    m_rowsInTransaction = 0;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    // SQLite: the write lock at once, so that two writers wait for each
    // other instead of failing on a lock upgrade.
    return q.exec(m_server || m_readOnly ? QStringLiteral("BEGIN")
                                         : QStringLiteral("BEGIN IMMEDIATE"));
}

bool Archive::commit()
{
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    return q.exec(QStringLiteral("COMMIT"));
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
        *error = tr("The instrument cannot be archived: %1").arg(queryError(q));
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
    if (commit())
        return true;
    *error = failure(tr("The archive cannot be written"));
    rollback();
    return false;
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
            *error = tr("Run %1 cannot be archived: %2").arg(run.number).arg(queryError(q));
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
                tr("Record %1 cannot be archived: %2").arg(data.numberAt(i)).arg(queryError(q));
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
