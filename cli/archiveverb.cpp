#include "cli/archiveverb.h"

#include "archive/archive.h"
#include "archive/archivequeue.h"
#include "cli/commandline.h"
#include "cli/heldoutput.h"
#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/safefile.h"
#include "files/workbookfile.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"
#include "measurement/instrumentclock.h"
#include "measurement/uvfigures.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace Cli {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

int fail(QTextStream &err, int code, const QString &message)
{
    err << "vantrel-cli: " << message << '\n';
    err.flush();
    return code;
}

bool openArchive(const CommandLine &line, Archive *archive, QTextStream &err, int *exit)
{
    const QString refused = databaseRefusal(line);
    if (!refused.isEmpty()) {
        *exit = fail(err, Usage, refused);
        return false;
    }
    QString error;
    if (archive->open(line.value("database"), &error))
        return true;
    *exit = fail(err, ArchiveError, error);
    return false;
}

// DATE or DATE'T'TIME; a date alone as until means the end of that day.
QDateTime parseBound(const QString &text, bool endOfDay)
{
    const QDateTime t = InstrumentClock::fromText(text);
    if (t.isValid() && text.at(10) == QLatin1Char('T'))
        return t;
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        return QDateTime();
    return InstrumentClock::at(d, endOfDay ? QTime(23, 59, 59) : QTime(0, 0));
}

QString number(double value)
{
    return QString::number(value, 'g', 9);
}

QString idText(qint64 id)
{
    return id > 0 ? QString::number(id) : QString();
}

bool inFilter(const Archive::Filter &filter, quint32 serial, const QDateTime &time)
{
    if (filter.hasSerial && serial != filter.serial)
        return false;
    if (filter.since.isValid() && (!time.isValid() || time < filter.since))
        return false;
    return !filter.until.isValid() || (time.isValid() && time <= filter.until);
}

// The queued downloads as the archive would list them once sent: no id yet,
// runs by their start, records by the time they were queued.
void pendingEntries(const ArchiveQueue &queue, const Archive::Filter &filter,
                    QList<Archive::RunEntry> *runs, QList<Archive::RecordEntry> *records)
{
    for (const ArchiveQueue::Entry &e : queue.entries()) {
        const QString source = QStringLiteral("%1, queued %2").arg(e.source, e.queuedAt);
        if (e.measurement.family == Measurement::Family::Logger) {
            const LoggerData &d = e.measurement.logger;
            for (const LoggerRunData &run : d.runs) {
                if (run.isEmpty() || !inFilter(filter, d.instrument.serialNumber, run.start))
                    continue;
                const UvFigures::Figures figures =
                    UvFigures::compute(run.samples, run.intervalSeconds);
                Archive::RunEntry r;
                r.model = d.instrument.model;
                r.serial = d.instrument.serialNumber;
                r.start = run.start;
                r.intervalSeconds = run.intervalSeconds;
                r.number = run.number;
                r.samples = run.samples.size();
                r.durationSeconds = run.durationSeconds();
                r.dose = figures.dose;
                r.peak = figures.peak;
                r.source = source;
                *runs << r;
            }
        } else {
            const MeterData &d = e.measurement.meter;
            if (!inFilter(filter, d.instrument.serialNumber, InstrumentClock::fromText(e.queuedAt)))
                continue;
            for (int i = 0; i < d.records.size(); ++i) {
                Archive::RecordEntry r;
                r.model = d.instrument.model;
                r.serial = d.instrument.serialNumber;
                r.number = d.numberAt(i);
                r.unit = d.unit;
                r.decimals = d.decimals;
                r.reading = d.records.at(i);
                r.source = source;
                *records << r;
            }
        }
    }
}

int list(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString format = line.has("format") ? line.value("format") : QStringLiteral("csv");
    if (format != QLatin1String("csv") && format != QLatin1String("json"))
        return fail(err, Usage, QStringLiteral("archive list takes --format csv or json"));
    Archive::Filter filter;
    if (line.has("serial")) {
        bool ok = false;
        filter.serial = line.value("serial").toUInt(&ok);
        if (!ok)
            return fail(err, Usage,
                        QStringLiteral("--serial takes the instrument's serial "
                                       "number"));
        filter.hasSerial = true;
    }
    for (const char *key : {"since", "until"}) {
        if (!line.has(key))
            continue;
        const QDateTime t = parseBound(line.value(key), key[0] == 'u');
        if (!t.isValid())
            return fail(err, Usage,
                        QStringLiteral("--%1 takes YYYY-MM-DD or "
                                       "YYYY-MM-DDTHH:MM:SS")
                            .arg(QLatin1String(key)));
        (key[0] == 'u' ? filter.until : filter.since) = t;
    }
    QList<Archive::RunEntry> runs;
    QList<Archive::RecordEntry> records;
    if (line.has("pending")) {
        // What waits in the queue: read from its files, the archive left
        // alone (it may be the very thing that cannot be reached).
        const QString refused = databaseRefusal(line);
        if (!refused.isEmpty())
            return fail(err, Usage, refused);
        pendingEntries(ArchiveQueue(line.value("database")), filter, &runs, &records);
    } else {
        Archive archive;
        int failed = Ok;
        if (!openArchive(line, &archive, err, &failed))
            return failed;
        QString error;
        if (!archive.listRuns(filter, &runs, &error) ||
            !archive.listRecords(filter, &records, &error))
            return fail(err, ArchiveError, error);
    }

    if (format == QLatin1String("json")) {
        QJsonArray runArray;
        for (const Archive::RunEntry &r : qAsConst(runs)) {
            runArray.append(
                QJsonObject{{"id", r.id > 0 ? QJsonValue(r.id) : QJsonValue()},
                            {"model", r.model},
                            {"serial", qint64(r.serial)},
                            {"start", r.start.isValid() ? QJsonValue(r.start.toString(kTimeFormat))
                                                        : QJsonValue()},
                            {"interval_s", r.intervalSeconds},
                            {"run", r.number},
                            {"samples", r.samples},
                            {"duration_s", r.durationSeconds},
                            {"dose_mj_cm2", UvFigures::toMilliJoulePerCm2(r.dose)},
                            {"peak_uw_cm2", RecordExport::floatText(float(r.peak)).toDouble()},
                            {"archived", r.importedAt},
                            {"source", r.source}});
        }
        QJsonArray recordArray;
        for (const Archive::RecordEntry &r : qAsConst(records)) {
            recordArray.append(QJsonObject{{"id", r.id > 0 ? QJsonValue(r.id) : QJsonValue()},
                                           {"model", r.model},
                                           {"serial", qint64(r.serial)},
                                           {"record", r.number},
                                           {"unit", MeterUnits::powerUnitText(r.unit)},
                                           {"rt", double(r.reading.powerRt)},
                                           {"max", double(r.reading.powerMax)},
                                           {"min", double(r.reading.powerMin)},
                                           {"avg", double(r.reading.powerAvg)},
                                           {"energy", double(r.reading.energy)},
                                           {"duration_s", double(r.reading.duration)},
                                           {"archived", r.importedAt},
                                           {"source", r.source}});
        }
        out << QJsonDocument(QJsonObject{{"runs", runArray}, {"records", recordArray}})
                   .toJson(QJsonDocument::Indented);
        return Ok;
    }
    out.flush();
    QByteArray csv = Csv::row({"kind", "id", "model", "serial", "number", "start", "interval_s",
                               "samples", "duration_s", "dose_mj_cm2", "peak_uw_cm2", "unit", "rt",
                               "max", "min", "avg", "energy", "archived", "source"});
    for (const Archive::RunEntry &r : qAsConst(runs)) {
        csv += Csv::row(
            {"run", idText(r.id), r.model, QString::number(r.serial), QString::number(r.number),
             r.start.isValid() ? r.start.toString(kTimeFormat) : QString(),
             QString::number(r.intervalSeconds), QString::number(r.samples),
             QString::number(r.durationSeconds), number(UvFigures::toMilliJoulePerCm2(r.dose)),
             RecordExport::floatText(float(r.peak)), LoggerUnits::powerUnitText(), QString(),
             QString(), QString(), QString(), QString(), r.importedAt, r.source});
    }
    for (const Archive::RecordEntry &r : qAsConst(records)) {
        csv +=
            Csv::row({"record", idText(r.id), r.model, QString::number(r.serial),
                      QString::number(r.number), QString(), QString(), QString(),
                      RecordExport::floatText(r.reading.duration), QString(), QString(),
                      MeterUnits::powerUnitText(r.unit), RecordExport::floatText(r.reading.powerRt),
                      RecordExport::floatText(r.reading.powerMax),
                      RecordExport::floatText(r.reading.powerMin),
                      RecordExport::floatText(r.reading.powerAvg),
                      RecordExport::floatText(r.reading.energy), r.importedAt, r.source});
    }
    out.device()->write(csv);
    return Ok;
}

QString addedText(const Archive::Added &a)
{
    QStringList parts;
    if (a.runsAdded + a.runsKnown > 0)
        parts << QStringLiteral("%1 runs added, %2 already archived")
                     .arg(a.runsAdded)
                     .arg(a.runsKnown);
    if (a.recordsAdded + a.recordsKnown > 0 || parts.isEmpty())
        parts << QStringLiteral("%1 records added, %2 already archived")
                     .arg(a.recordsAdded)
                     .arg(a.recordsKnown);
    return parts.join(QStringLiteral("; "));
}

int import(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    if (line.positional.isEmpty())
        return fail(err, Usage, QStringLiteral("archive import needs at least one FILE"));
    Archive archive;
    int failed = Ok;
    if (!openArchive(line, &archive, err, &failed))
        return failed;
    int exit = Ok;
    // Each file is one transaction: a file that cannot be read or archived
    // leaves the others as they are.
    for (const QString &file : line.positional) {
        Measurement m;
        QString error;
        if (!MeasurementReader::read(file, &m, &error)) {
            fail(err, FileError, QStringLiteral("%1: %2").arg(file, error));
            exit = exit == Ok ? FileError : exit;
            continue;
        }
        Archive::Added added;
        if (!archive.importMeasurement(m, QFileInfo(file).fileName(), &added, &error)) {
            fail(err, ArchiveError, QStringLiteral("%1: %2").arg(file, error));
            exit = ArchiveError;
            continue;
        }
        out << file << ": " << addedText(added) << '\n';
        // Said as soon as it is done: after a kill or a power cut, the lines
        // tell which files went in.
        HeldOutput::release(out);
    }
    return exit;
}

// "3 runs", "1 record", "2 runs and 4 records" of a queue.
QString waitingText(const ArchiveQueue::Count &c)
{
    QStringList parts;
    if (c.runs > 0 || c.records == 0)
        parts << QStringLiteral("%1 run%2").arg(c.runs).arg(c.runs == 1 ? "" : "s");
    if (c.records > 0)
        parts << QStringLiteral("%1 record%2").arg(c.records).arg(c.records == 1 ? "" : "s");
    return parts.join(QStringLiteral(" and "));
}

int sync(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    if (!line.positional.isEmpty())
        return fail(err, Usage, QStringLiteral("unexpected \"%1\"").arg(line.positional.first()));
    const QString refused = databaseRefusal(line);
    if (!refused.isEmpty())
        return fail(err, Usage, refused);
    const ArchiveQueue::Outcome o = ArchiveQueue::deliver(line.value("database"), nullptr);
    QString sent = QStringLiteral("%1 queued download%2").arg(o.sent).arg(o.sent == 1 ? "" : "s");
    if (o.sent > 0)
        sent += QStringLiteral(", ") + addedText(o.added);
    if (o.waiting.downloads == 0 && o.waiting.unreadable == 0) {
        out << "sent: " << sent << '\n';
        return Ok;
    }
    return fail(err, ArchiveError,
                QStringLiteral("%1 still queued for the archive (sent: %2): %3")
                    .arg(waitingText(o.waiting), sent, o.error));
}

int exportRun(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    bool ok = false;
    const qint64 id = line.value("run").toLongLong(&ok);
    if (!line.has("run") || !ok || id < 1)
        return fail(err, Usage, QStringLiteral("archive export needs --run ID (see archive list)"));
    const QString output = line.output();
    QString format = line.outputFormat();
    if (!QStringList{"csv", "json", "xls", "xlsx"}.contains(format))
        return fail(err, Usage,
                    QStringLiteral("archive export takes --format csv, json, xls or "
                                   "xlsx"));
    if (format.startsWith(QLatin1String("xls")) && output == QLatin1String("-"))
        return fail(err, Usage, QStringLiteral("an %1 workbook needs -o FILE").arg(format));
    Archive archive;
    int failed = Ok;
    if (!openArchive(line, &archive, err, &failed))
        return failed;
    LoggerData data;
    QString error;
    if (!archive.loadRun(id, &data, &error))
        return fail(err, ArchiveError, error);
    QByteArray bytes;
    if (format == QLatin1String("xlsx"))
        bytes = XlsxWriter::toBytes(LoggerFiles::workbook(data, true), &error);
    else if (format == QLatin1String("xls"))
        bytes = XlsWriter::toBytes(LoggerFiles::workbook(data));
    else
        bytes = format == QLatin1String("json") ? LoggerFiles::json(data) : LoggerFiles::csv(data);
    if (output == QLatin1String("-")) {
        out.flush();
        out.device()->write(bytes);
        return Ok;
    }
    const bool written = format.startsWith(QLatin1String("xls"))
                             ? !bytes.isEmpty() && WorkbookFile::writeBytes(output, bytes, &error)
                             : SafeFile::writeFile(output, bytes, &error);
    if (!written)
        return fail(err, FileError, QStringLiteral("cannot write %1: %2").arg(output, error));
    return Ok;
}

} // namespace

QString databaseRefusal(const CommandLine &line)
{
    return Archive::refusal(line.value("database"));
}

int archiveVerb(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    if (line.action == QLatin1String("list")) {
        if (!line.positional.isEmpty())
            return fail(err, Usage,
                        QStringLiteral("unexpected \"%1\"").arg(line.positional.first()));
        return list(line, out, err);
    }
    if (line.action == QLatin1String("import"))
        return import(line, out, err);
    if (line.action == QLatin1String("sync"))
        return sync(line, out, err);
    if (!line.positional.isEmpty())
        return fail(err, Usage, QStringLiteral("unexpected \"%1\"").arg(line.positional.first()));
    return exportRun(line, out, err);
}

int archiveDownload(const CommandLine &line, const Measurement &download, QTextStream &out,
                    QTextStream &err)
{
    const QString refused = databaseRefusal(line);
    if (!refused.isEmpty())
        return fail(err, Usage, refused);
    // What waits in the queue goes first, then the download; what cannot be
    // archived waits (nothing is lost, and the exit code says so).
    const ArchiveQueue::Outcome o = ArchiveQueue::deliver(line.value("database"), &download);
    if (o.archived) {
        out << "archived: " << addedText(o.added);
        if (o.sent > 0)
            out << " (" << o.sent << " queued download" << (o.sent == 1 ? "" : "s")
                << " sent with it)";
        out << '\n';
        out.flush();
        if (!o.error.isEmpty())
            err << "vantrel-cli: warning: " << waitingText(o.waiting)
                << " still queued for the archive: " << o.error << '\n';
        return Ok;
    }
    if (!o.queued)
        return fail(err, ArchiveError, o.error);
    ArchiveQueue::Count mine;
    if (download.family == Measurement::Family::Logger)
        mine.runs = int(std::count_if(download.logger.runs.begin(), download.logger.runs.end(),
                                      [](const LoggerRunData &r) { return !r.isEmpty(); }));
    else
        mine.records = download.meter.records.size();
    return fail(err, ArchiveError,
                QStringLiteral("%1 queued for the archive (%2 waiting in all): %3")
                    .arg(waitingText(mine), waitingText(o.waiting), o.error));
}

} // namespace Cli
