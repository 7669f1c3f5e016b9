#pragma once

// The archive's local queue: a download that cannot be archived (the server
// down or out of reach, the archive locked by another program for longer
// than the wait, a full disk, a damaged or read-only archive) waits here
// until the archive can be written again, and is then sent, oldest first.
// A queued download is removed once the transaction that took it has
// committed; one sent again after a kill between the commit and the removal
// is known to the archive and adds nothing, so each goes in once.
//
// Where: one folder per archive, ~/.local/share/vantrel/archive-queue/HASH,
// HASH naming the archive (the SQLite file's absolute path or the server's
// words, never a password), so that no address becomes a file name and the
// window and vantrel-cli share one queue for one archive. Folder and files
// are their owner's alone (0700, 0600). Each download is one file, the
// program's measurement JSON (it opens in the window like a saved file)
// with the bits of every value added, so that a NaN or an infinity the
// instrument sent comes back as it was sent, and when and from what it was
// queued. A file is written under a hidden name through the safe write path
// and renamed into place whole: a kill leaves a whole file or none. One
// sender at a time per folder (a lock file in it); adding needs no lock.

#include "archive/archive.h"
#include "files/measurementfile.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class ArchiveQueue
{
    Q_DECLARE_TR_FUNCTIONS(ArchiveQueue)

public:
    // The queue of the archive the connection names (see Archive::parse).
    explicit ArchiveQueue(const QString &connection);

    // The folder holding every archive's queue.
    static QString root();
    // This archive's folder; empty for a connection that names no archive.
    QString folder() const { return m_folder; }

    struct Entry
    {
        QString file;     // the entry's file name in the folder
        QString queuedAt; // yyyy-MM-ddTHH:mm:ss, this computer's local time
        QString source;   // "download", as the archive's source column
        Measurement measurement;
    };
    struct Count
    {
        int downloads = 0;
        int runs = 0;
        int records = 0;
        int unreadable = 0; // files that are no queued download
    };

    // Queues one download (a whole file, private). False with a message.
    bool add(const Measurement &download, const QString &source, QString *error);
    // The queued downloads, oldest first; the names of files that cannot be
    // read go to *unreadable with the reason.
    QList<Entry> entries(QStringList *unreadable = nullptr) const;
    Count count() const;

    // What became of a download handed to the archive, or of a sync.
    struct Outcome
    {
        bool archived = false; // the download went into the archive
        bool queued = false;   // the download waits in the queue
        Archive::Added added;  // what the archive took, queued downloads included
        int sent = 0;          // queued downloads sent
        Archive::Failure failure = Archive::Failure::None;
        QString error; // why something was not archived (or not queued); empty when all went in
        Count waiting; // the queue afterwards
    };
    // Opens the archive, sends what waits in its queue, then archives the
    // download (none: only the queue, as at start-up and "archive sync").
    // Whatever cannot be archived waits in the queue: the download is added
    // to it, and a queued download stays. Nothing is queued for a
    // connection that names no archive.
    static Outcome deliver(const QString &connection, const Measurement *download,
                           const QString &source = QStringLiteral("download"));

private:
    // Sends the queued downloads oldest first; stops at the first that the
    // archive cannot take for a reason that holds for the rest (locked,
    // full, out of reach), skips one it refuses for itself.
    bool send(Archive *archive, Outcome *outcome);
    void removeStaleParts() const;

    QString m_folder;
};
