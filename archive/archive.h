#pragma once

// The measurement archive: every Logger run and Meter record downloaded or
// imported, kept once, in an SQLite file of the user's (the default) or in a
// shared PostgreSQL database.
//
// Schema (version 2; the table schema_version holds the version, one row):
//   instruments   (id, family 'logger'|'meter', model, serial)
//                 unique (family, model, serial); model "" and serial 0 stand
//                 for an instrument the file did not name (CSV, workbooks)
//   logger_runs   (id, instrument_id, start 'yyyy-MM-ddTHH:mm:ss' or '',
//                 interval_s, content_hash, run_number, samples_count,
//                 duration_s, dose_uj_cm2, peak_uw_cm2, samples, imported_at,
//                 source [version 2])
//                 unique (instrument_id, start, interval_s, content_hash)
//   meter_records (id, instrument_id, record_number, content_hash, unit,
//                 decimals, power_rt, power_max, power_min, power_avg, energy,
//                 duration_s, imported_at, source [version 2])
//                 unique (instrument_id, record_number, content_hash)
// A run is the same run when its instrument, start time, storage interval
// and samples are: content_hash is the SHA-256 (hex) of the samples as
// stored, float32 little-endian, which is also the form of the samples
// column. The run's number on the instrument is kept but is no part of its
// identity, since it changes when runs are taken or cleared. A Meter record
// is the same when its instrument, number and values (the SHA-256 of the
// unit code and its six float32 values) are. Inserts skip what exists
// (INSERT ... ON CONFLICT DO NOTHING), so the same memory downloaded again
// adds nothing, and two programs importing into one server at once neither
// lose nor double a row. Times are the instrument's local time; imported_at
// is this computer's local time.
//
// One transaction per download or import: all of it is kept or none.
// SQLite runs in WAL mode. A file that is not SQLite, is damaged, holds
// other tables or comes from a newer program is refused and left as it was.

#include "files/measurementfile.h"
#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>

class QSqlQuery;

class Archive
{
    Q_DECLARE_TR_FUNCTIONS(Archive)

public:
    static constexpr int SchemaVersion = 2;
    // Test seam: the number of rows after which an import kills its own
    // process (SIGKILL) inside its transaction.
    static constexpr const char *KillSeamVariable = "VANTREL_TEST_ARCHIVE_KILL_AFTER_ROWS";
    // Test seam: an SQLite archive may grow to no more than this many pages
    // (PRAGMA max_page_count; never less than it has), so that an import
    // runs out of room as on a full disk.
    static constexpr const char *MaxPagesSeamVariable = "VANTREL_TEST_ARCHIVE_MAX_PAGES";

    // The SQLite file used when no connection is chosen: archive.sqlite in
    // the user's data folder (~/.local/share/vantrel), the same for the
    // window and vantrel-cli.
    static QString defaultLocation();
    // What a connection text names, read strictly so that nothing meant
    // for a server ever becomes a file name:
    //   empty                          the default SQLite file
    //   key=value words (libpq's,      a PostgreSQL database: "service=lab",
    //   keywords in any case)          "HOST=db.lab dbname=vantrel"
    //   postgresql://... postgres://...  a PostgreSQL database by its address
    //   /path, ./path, ../path, ~/path,  an SQLite file
    //   or a name ending .sqlite or .db
    // Anything else is refused, and so is a password anywhere in it: the
    // program keeps none (the server's password file ~/.pgpass does).
    struct Connection
    {
        enum class Kind
        {
            Refused,
            File,
            Server
        };
        Kind kind = Kind::Refused;
        QString path; // File: the SQLite file
        // Server: libpq key=value words, keywords in lower case; also for a
        // server refused for its password, with the password left out.
        QString options;
        QString refusal; // Refused: why and which forms are taken (never the text itself)
        bool hasPassword = false;
    };
    static Connection parse(const QString &connection);
    static bool isServer(const QString &connection);
    // Why the connection is refused before any attempt; empty when it is not.
    static QString refusal(const QString &connection);
    // The connection as it may be kept in a settings file: a server's
    // without its password; a text refused for anything else is not kept
    // (empty: it may hold a password where it could not be read).
    static QString keepable(const QString &connection);
    // Which database the connection names, in words for a message ("the
    // SQLite file /home/lab/archive.sqlite"); never a password.
    static QString describe(const QString &connection);

    Archive();
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    // Opens the archive, creating it or bringing an older one up to date;
    // false with a message when it cannot be reached or is refused. An
    // SQLite file this program cannot write (a copy on a read-only share)
    // is opened read-only: it is listed and exported, imports are refused.
    bool open(const QString &connection, QString *error);
    void close();
    bool isOpen() const;
    bool isServerConnection() const { return m_server; }
    bool isReadOnly() const { return m_readOnly; }

    // Why the last open or import failed, as far as it tells: a server that
    // cannot be reached (down, no network, the connection lost), an archive
    // another program holds locked for longer than the wait, a disk (or a
    // server's disk) that is full. Refused: the connection text names no
    // archive, which no later attempt changes. Other: anything else (a
    // damaged or newer archive, a read-only copy, a missing driver).
    enum class Failure
    {
        None,
        Unreachable,
        Locked,
        Full,
        Refused,
        Other
    };
    Failure lastFailure() const { return m_failure; }

    struct Added
    {
        int runsAdded = 0;
        int runsKnown = 0;
        int recordsAdded = 0;
        int recordsKnown = 0;
    };
    // One transaction each. source says where the data came from ("download"
    // or a file's name).
    bool importLogger(const LoggerData &data, const QString &source, Added *added, QString *error);
    bool importMeter(const MeterData &data, const QString &source, Added *added, QString *error);
    bool importMeasurement(const Measurement &measurement, const QString &source, Added *added,
                           QString *error);

    struct Filter
    {
        bool hasSerial = false;
        quint32 serial = 0;
        QDateTime since; // inclusive; invalid: no bound
        QDateTime until; // inclusive; invalid: no bound
    };
    struct Instrument
    {
        qint64 id = 0;
        QString family; // "logger", "meter"
        QString model;
        quint32 serial = 0;
        int entries = 0; // runs or records
    };
    struct RunEntry
    {
        qint64 id = 0;
        QString model;
        quint32 serial = 0;
        QDateTime start; // invalid when the run gave none
        int intervalSeconds = 0;
        int number = 0;
        int samples = 0;
        qint64 durationSeconds = 0;
        double dose = 0; // μJ/cm², sample-and-hold
        double peak = 0; // μW/cm²
        QString importedAt;
        QString source;
    };
    struct RecordEntry
    {
        qint64 id = 0;
        QString model;
        quint32 serial = 0;
        int number = 0;
        int unit = -1;
        int decimals = -1;
        MeterReading reading;
        QString importedAt;
        QString source;
    };
    bool listInstruments(QList<Instrument> *out, QString *error);
    // Runs by start time (records by number within their archiving time);
    // since and until select runs by their start, records by when they were
    // archived, since they carry no time of their own.
    bool listRuns(const Filter &filter, QList<RunEntry> *out, QString *error);
    bool listRecords(const Filter &filter, QList<RecordEntry> *out, QString *error);
    // The run as a download of one run: its instrument and the run with its
    // number, start, interval and samples.
    bool loadRun(qint64 id, LoggerData *out, QString *error);

    // Samples as the archive stores them, and the hash that identifies them.
    static QByteArray sampleBytes(const QVector<float> &samples);
    static QVector<float> samplesFromBytes(const QByteArray &bytes);
    static QString contentHash(const QByteArray &bytes);

private:
    bool prepareSchema(QString *error);
    bool migrate(int from, QString *error);
    bool begin();
    bool commit();
    void rollback();
    bool instrumentId(const QString &family, const QString &model, quint32 serial, qint64 *id,
                      QString *error);
    // One download's transaction, begun with its instrument's row (made when
    // new), or ended by its commit; on failure rolled back with *error set.
    bool beginImport(const QString &family, const InstrumentIdentity &info, qint64 *instrument,
                     QString *error);
    bool finishImport(QString *error);
    void countRow();
    // Whether the archive holds this run of the instrument as another file
    // kept it (rounded to one decimal, or in full).
    bool holdsRoundedRun(qint64 instrument, const LoggerRunData &run, bool *holds, QString *error);
    // The database's last error after a failed begin or commit: what, or
    // the message of its kind (locked, full, unreachable); remembered as the
    // last failure.
    QString failure(const QString &what);
    // A statement's error, the same way.
    QString writeError(const QSqlQuery &q);
    QString explained(const QSqlError &e, const QString &what, const QString &detail);
    bool writable(QString *error) const;

    QString m_name; // the QSqlDatabase connection name
    bool m_server = false;
    bool m_readOnly = false;
    QString m_path; // the SQLite file
    int m_killAfterRows = -1;
    int m_rowsInTransaction = 0;
    Failure m_failure = Failure::None;
    QSqlError m_statementError; // of the last BEGIN or COMMIT that failed
};
