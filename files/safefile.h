#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way the program writes an output file (workbooks, CSV, ...).
//
// The content goes to a new temporary file in the target's folder,
// ".NAME.vantrel-XXXXXX" (".vantrel-XXXXXX" where NAME is too long for
// that), locked (flock) while it is written; every write is checked, the
// data is flushed and synced to the disk, the file closed, and only then is
// it renamed over the target. Until commit() succeeds the target is
// untouched, byte for byte; on any failure, on cancel() and when the object
// is destroyed uncommitted, the temporary file is removed.
//
// A target that is a symbolic link is written where the chain of links ends,
// and the links stay links; a chain that loops or ends at nothing is
// refused, and so is a target that exists but is not a plain file (a folder,
// a device). A replaced file keeps its permission bits, and its owner and
// group where the saver may give them (root may; another user keeps at
// least a group of the file that they belong to). A new file gets the usual
// bits (0666 less the umask). The new content is a new file: a target with
// other hard links is split from them, and the other names keep the old
// content.
//
// A save that was killed between writing and renaming leaves its temporary
// file behind. Each save removes such files of this user from the folder it
// writes into, once they are an hour old and no save holds them locked.
class SafeFile
{
public:
    explicit SafeFile(const QString &target);
    ~SafeFile();
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Flush, sync, close, rename. False (and the target as it was) on any
    // failure.
    bool commit();
    void cancel();

    bool isOpen() const { return m_fd >= 0; }
    // Why the last step failed, in plain English.
    QString errorString() const { return m_error; }

    // The whole file in one go.
    static bool writeFile(const QString &target, const QByteArray &bytes, QString *error = nullptr);

    // Whether the latest save made on this thread failed where the complete
    // new file was to take the place of an existing one (the rename), rather
    // than while it was made or written: the file is there but cannot be
    // overwritten. Like errno, read it right after the save that failed.
    static bool lastFailureWasReplace();

    // Test seam: every system call of a save goes through the hook, which
    // makes the real call (real(): its result, -1 with errno on failure) or
    // not, and returns what the save is to see, the real result or a fault
    // in its place (-1 with errno set).
    enum class Step
    {
        Open,  // making the temporary file
        Write, // one write of the content
        Chown, // giving the replaced file's owner and group
        Sync,
        Close,
        Rename
    };
    using SystemCall = std::function<long()>;
    using CallHook = std::function<long(Step, const SystemCall &real)>;
    static void setCallHook(CallHook hook);

private:
    bool fail(const QString &what, int error);
    bool flushBuffer();

    QString m_target;    // as given
    QString m_finalPath; // where the rename goes (symbolic links followed)
    QByteArray m_tempPath;
    QByteArray m_buffer;
    QString m_error;
    int m_fd = -1;
    bool m_failed = false;
    bool m_replacing = false;
};
