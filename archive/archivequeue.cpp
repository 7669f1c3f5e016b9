#include "archive/archivequeue.h"

#include "files/privatefile.h"
#include "files/safefile.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
const QString kPartSuffix = QStringLiteral(".part");
const QString kQueueKey = QStringLiteral("archiveQueue");
// A hidden file left by a writer killed before its rename is taken for
// abandoned once it is this old.
constexpr qint64 kStalePartSeconds = 3600;

QAtomicInt entryCounter;

// The archive a connection names, as the same text for every spelling of
// it: the SQLite file's absolute path or the server's words (which never
// hold a password). Empty for a connection that names none.
QString archiveKey(const QString &connection)
{
    const Archive::Connection c = Archive::parse(connection);
    switch (c.kind) {
    case Archive::Connection::Kind::File:
        return QStringLiteral("file:") + QDir::cleanPath(QFileInfo(c.path).absoluteFilePath());
    case Archive::Connection::Kind::Server:
        return QStringLiteral("server:") + c.options;
    case Archive::Connection::Kind::Refused:
        break;
    }
    return QString();
}

QString recordBits(const MeterData &data)
{
    QByteArray bytes;
    for (const MeterReading &r : data.records)
        bytes += Archive::sampleBytes(
            {r.powerRt, r.powerMax, r.powerMin, r.powerAvg, r.energy, r.duration});
    return QString::fromLatin1(bytes.toBase64());
}

// The values as they were sent, where the entry's bits agree with what the
// JSON holds (the same number of values); the JSON's own values otherwise.
void restoreBits(const QJsonObject &queue, Measurement *m)
{
    if (m->family == Measurement::Family::Logger) {
        const QJsonArray bits = queue.value(QStringLiteral("sampleBits")).toArray();
        if (bits.size() != m->logger.runs.size())
            return;
        for (int i = 0; i < bits.size(); ++i) {
            const QVector<float> samples =
                Archive::samplesFromBytes(QByteArray::fromBase64(bits.at(i).toString().toLatin1()));
            if (samples.size() == m->logger.runs.at(i).samples.size())
                m->logger.runs[i].samples = samples;
        }
    } else if (m->family == Measurement::Family::Meter) {
        const QVector<float> values = Archive::samplesFromBytes(QByteArray::fromBase64(
            queue.value(QStringLiteral("recordBits")).toString().toLatin1()));
        if (values.size() != 6 * m->meter.records.size())
            return;
        for (int i = 0; i < m->meter.records.size(); ++i) {
            const float *v = values.constData() + 6 * i;
            m->meter.records[i] = MeterReading{v[0], v[1], v[2], v[3], v[4], v[5]};
        }
    }
}

bool syncFolder(const QString &folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool holdsForTheRest(Archive::Failure failure)
{
    return failure == Archive::Failure::Unreachable || failure == Archive::Failure::Locked ||
           failure == Archive::Failure::Full;
}

} // namespace

ArchiveQueue::ArchiveQueue(const QString &connection)
{
    const QString key = archiveKey(connection);
    if (!key.isEmpty())
        m_folder = QDir(root()).filePath(QString::fromLatin1(
            QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(24)));
}

QString ArchiveQueue::root()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("vantrel/archive-queue"));
}

bool ArchiveQueue::add(const Measurement &download, const QString &source, QString *error)
{
    if (m_folder.isEmpty()) {
        *error = tr("The archive connection names no archive: nothing can wait for it.");
        return false;
    }
    QByteArray json;
    QJsonObject queue{
        {QStringLiteral("queuedAt"), QDateTime::currentDateTime().toString(kTimeFormat)},
        {QStringLiteral("source"), source}};
    if (download.family == Measurement::Family::Logger) {
        json = MeasurementFile::toJson(download.logger, download.notes);
        QJsonArray bits;
        for (const LoggerRunData &run : download.logger.runs)
            bits.append(QString::fromLatin1(Archive::sampleBytes(run.samples).toBase64()));
        queue.insert(QStringLiteral("sampleBits"), bits);
    } else if (download.family == Measurement::Family::Meter) {
        json = MeasurementFile::toJson(download.meter, download.notes);
        queue.insert(QStringLiteral("recordBits"), recordBits(download.meter));
    } else {
        *error = tr("The download holds no measurement.");
        return false;
    }
    QJsonObject o = QJsonDocument::fromJson(json).object();
    o.insert(kQueueKey, queue);
    const QByteArray bytes = QJsonDocument(o).toJson(QJsonDocument::Indented);

    if (!PrivateFile::makeFolder(m_folder, error))
        return false;
    removeStaleParts();
    // Named by the time it was queued (milliseconds, so that the names sort
    // oldest first), the program and a count within it.
    const QString name = QStringLiteral("%1-%2-%3.json")
                             .arg(QDateTime::currentMSecsSinceEpoch(), 15, 10, QLatin1Char('0'))
                             .arg(QCoreApplication::applicationPid())
                             .arg(entryCounter.fetchAndAddRelaxed(1));
    const QString target = QDir(m_folder).filePath(name);
    const QString hidden = QDir(m_folder).filePath(QLatin1Char('.') + name + kPartSuffix);
    QString why;
    // Made private first: the safe write keeps the mode of the file it
    // replaces.
    if (!PrivateFile::create(hidden, &why) || !SafeFile::writeFile(hidden, bytes, &why)) {
        QFile::remove(hidden);
        *error = tr("The download cannot be queued in %1: %2").arg(m_folder, why);
        return false;
    }
    if (std::rename(QFile::encodeName(hidden).constData(), QFile::encodeName(target).constData()) !=
        0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(hidden);
        *error = tr("The download cannot be queued in %1: %2").arg(m_folder, why);
        return false;
    }
    syncFolder(m_folder);
    return true;
}

QList<ArchiveQueue::Entry> ArchiveQueue::entries(QStringList *unreadable) const
{
    QList<Entry> out;
    if (m_folder.isEmpty())
        return out;
    QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &name : qAsConst(names)) {
        Entry e;
        e.file = name;
        QFile file(QDir(m_folder).filePath(name));
        QString why;
        QByteArray bytes;
        if (file.size() > MeasurementFile::MaxFileSize)
            why = tr("larger than a download");
        else if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else
            bytes = file.readAll();
        if (why.isEmpty() && MeasurementFile::fromJson(bytes, &e.measurement, &why)) {
            const QJsonObject queue =
                QJsonDocument::fromJson(bytes).object().value(kQueueKey).toObject();
            e.queuedAt = queue.value(QStringLiteral("queuedAt")).toString();
            e.source = queue.value(QStringLiteral("source")).toString();
            restoreBits(queue, &e.measurement);
            out << e;
        } else if (unreadable) {
            *unreadable << QStringLiteral("%1: %2").arg(file.fileName(), why);
        }
    }
    return out;
}

ArchiveQueue::Count ArchiveQueue::count() const
{
    Count c;
    QStringList unreadable;
    for (const Entry &e : entries(&unreadable)) {
        ++c.downloads;
        if (e.measurement.family == Measurement::Family::Logger) {
            c.runs += int(std::count_if(e.measurement.logger.runs.begin(),
                                        e.measurement.logger.runs.end(),
                                        [](const LoggerRunData &r) { return !r.isEmpty(); }));
        } else {
            c.records += e.measurement.meter.records.size();
        }
    }
    c.unreadable = unreadable.size();
    return c;
}

void ArchiveQueue::removeStaleParts() const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList parts = QDir(m_folder).entryInfoList(
        {QLatin1Char('.') + QStringLiteral("*") + kPartSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &part : parts) {
        if (part.lastModified().toUTC().secsTo(now) > kStalePartSeconds)
            QFile::remove(part.absoluteFilePath());
    }
}

bool ArchiveQueue::send(Archive *archive, Outcome *outcome)
{
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        return true;
    // One sender at a time: another program sending this queue is waited
    // for (its downloads are gone then). A lock whose program has died is
    // taken over, however old.
    QLockFile lock(QDir(m_folder).filePath(QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    if (!lock.lock()) {
        outcome->failure = Archive::Failure::Other;
        outcome->error = tr("The queue %1 cannot be locked.").arg(m_folder);
        return false;
    }
    removeStaleParts();
    QStringList unreadable;
    const QList<Entry> waiting = entries(&unreadable);
    bool all = unreadable.isEmpty();
    if (!all) {
        outcome->failure = Archive::Failure::Other;
        outcome->error =
            tr("A queued download cannot be read: %1").arg(unreadable.join(QLatin1String("; ")));
    }
    for (const Entry &e : waiting) {
        QString error;
        Archive::Added added;
        if (!archive->importMeasurement(e.measurement, e.source, &added, &error)) {
            all = false;
            outcome->failure = archive->lastFailure();
            outcome->error = error;
            if (holdsForTheRest(outcome->failure))
                return false;
            continue;
        }
        // In the archive now: a removal lost to a kill sends it once more,
        // and the archive knows it then.
        QFile::remove(QDir(m_folder).filePath(e.file));
        ++outcome->sent;
        outcome->added.runsAdded += added.runsAdded;
        outcome->added.runsKnown += added.runsKnown;
        outcome->added.recordsAdded += added.recordsAdded;
        outcome->added.recordsKnown += added.recordsKnown;
    }
    syncFolder(m_folder);
    return all;
}

ArchiveQueue::Outcome ArchiveQueue::deliver(const QString &connection, const Measurement *download,
                                            const QString &source)
{
    Outcome o;
    ArchiveQueue queue(connection);
    Archive archive;
    QString error;
    const bool opened = archive.open(connection, &error);
    bool blocked = !opened;
    if (!opened) {
        o.failure = archive.lastFailure();
        o.error = error;
    } else if (!queue.send(&archive, &o)) {
        blocked = holdsForTheRest(o.failure);
    }
    if (download) {
        Archive::Added added;
        if (!blocked && archive.importMeasurement(*download, source, &added, &error)) {
            o.archived = true;
            o.added.runsAdded += added.runsAdded;
            o.added.runsKnown += added.runsKnown;
            o.added.recordsAdded += added.recordsAdded;
            o.added.recordsKnown += added.recordsKnown;
        } else {
            if (!blocked) {
                o.failure = archive.lastFailure();
                o.error = error;
            }
            if (o.failure != Archive::Failure::Refused) {
                QString why;
                o.queued = queue.add(*download, source, &why);
                if (!o.queued)
                    o.error += QLatin1Char(' ') + tr("It cannot be queued either: %1").arg(why);
            }
        }
    }
    archive.close();
    o.waiting = queue.count();
    return o;
}
