// The archive's speed and size.
//
// archive-import-25x606: archiving a Logger download of 25 runs x 606
// samples into a new SQLite archive (one transaction, hashes and figures
// included). The bound is the sqlite3 command-line tool running one SQL
// script that inserts the same rows (the same tables, the samples as hex
// blobs) into a new database of the same schema: the cost of the rows alone.
// archive-list-10000: listing 10,000 archived runs (no samples read); the
// target is 100 ms. archive-open-10000: opening that archive,
// which checks the whole file first (PRAGMA quick_check); the same target.
// archive-size-per-1000-runs: the file's size per 1,000 runs of 606
// samples; the bound is the samples' own bytes (1,000 x 606 x 4).
#include "bench/benchreport.h"

#include "archive/archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtMath>

namespace {

LoggerData download(int runs, int offset)
{
    LoggerData data;
    data.instrument.model = QStringLiteral("QX101");
    data.instrument.serialNumber = 24030117;
    for (int k = 0; k < runs; ++k) {
        LoggerRunData run;
        run.number = k + 1;
        run.start = QDateTime(QDate(2024, 5, 6), QTime(9, 30, 0)).addSecs((offset + k) * 7200);
        run.hasStartBytes = true;
        run.intervalSeconds = 10;
        for (int i = 0; i < 606; ++i)
            run.samples << float(900 + 400 * qSin(i / 40.0 + k) + (i % 7) * 0.25);
        data.runs << run;
    }
    return data;
}

double ms(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const LoggerData runs = download(25, 0);

    // The same rows as one SQL script for the sqlite3 tool, into the
    // archive's own schema (taken from an empty archive).
    QString error;
    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    {
        Archive a;
        if (!a.open(empty, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    QByteArray script = "BEGIN;\nINSERT INTO instruments (family, model, serial) VALUES "
                        "('logger', 'QX101', 24030117);\n";
    for (const LoggerRunData &run : runs.runs) {
        const QByteArray bytes = Archive::sampleBytes(run.samples);
        script += QStringLiteral("INSERT INTO logger_runs (instrument_id, start, interval_s, "
                                 "content_hash, run_number, samples_count, duration_s, "
                                 "dose_uj_cm2, peak_uw_cm2, samples, imported_at, source) "
                                 "VALUES (1, '%1', 10, '%2', %3, 606, 6060, 1.0, 2.0, x'%4', "
                                 "'2026-01-01T00:00:00', 'download');\n")
                      .arg(run.start.toString(Qt::ISODate), Archive::contentHash(bytes))
                      .arg(run.number)
                      .arg(QString::fromLatin1(bytes.toHex()))
                      .toUtf8();
    }
    script += "COMMIT;\n";

    QVector<double> ours, tool;
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    for (int r = 0; r < 7; ++r) {
        const QString file = dir.filePath(QStringLiteral("import-%1.sqlite").arg(r));
        ours << ms([&] {
            Archive a;
            Archive::Added added;
            if (!a.open(file, &error) ||
                !a.importLogger(runs, QStringLiteral("download"), &added, &error))
                std::fprintf(stderr, "%s\n", qPrintable(error));
        });
        if (sqlite3.isEmpty())
            continue;
        const QString copy = dir.filePath(QStringLiteral("tool-%1.sqlite").arg(r));
        QFile::copy(empty, copy);
        tool << ms([&] {
            QProcess p;
            p.start(sqlite3, {copy});
            p.write(script);
            p.closeWriteChannel();
            p.waitForFinished(60000);
        });
    }
    Bench::report("archive-import-25x606", Bench::median(ours), Bench::median(tool));
    if (sqlite3.isEmpty())
        std::fprintf(stderr, "sqlite3 is not installed: no bound for the import\n");

    // 10,000 runs: 400 downloads of 25.
    const QString big = dir.filePath(QStringLiteral("big.sqlite"));
    {
        Archive a;
        if (!a.open(big, &error))
            return 1;
        for (int d = 0; d < 400; ++d) {
            Archive::Added added;
            if (!a.importLogger(download(25, 25 * d), QStringLiteral("download"), &added, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
    }
    QVector<double> opening, listing;
    int listed = 0;
    for (int r = 0; r < 5; ++r) {
        Archive a;
        opening << ms([&] { a.open(big, &error); });
        listing << ms([&] {
            QList<Archive::RunEntry> all;
            if (a.listRuns({}, &all, &error))
                listed = all.size();
        });
    }
    if (listed != 10000)
        std::fprintf(stderr, "listed %d runs, not 10000\n", listed);
    Bench::target("archive-list-10000", Bench::median(listing), 100.0);
    // Opening checks the whole file (quick_check) before anything is read.
    Bench::target("archive-open-10000", Bench::median(opening), 100.0);

    // Size: the file after a checkpoint, per 1,000 runs.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("s"));
        db.setDatabaseName(big);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("s"));
    const double kib = QFileInfo(big).size() / 1024.0 / 10.0;
    Bench::report("archive-size-per-1000-runs", kib, 1000.0 * 606 * 4 / 1024.0, "KiB");
    return 0;
}
