#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way the program writes an output file (workbooks, CSV, ...).
//
// The content goes to a new temporary file in the target's folder
// (".NAME.XXXXXX"); every write is checked, the data is flushed and synced
// to the disk, the file closed, and only then is it renamed over the target.
// Until commit() succeeds the target is untouched, byte for byte; on any
// failure, on cancel() and when the object is destroyed uncommitted, the
// temporary file is removed. A target that is a symbolic link is replaced
// where the link points; one that exists but is not a plain file (a folder,
// a device) is refused. A replaced file keeps its permission bits; a new one
// gets the usual ones (0666 less the umask).
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
    static bool writeFile(const QString &target, const QByteArray &bytes,
                          QString *error = nullptr);

    // Test seam: the steps of a save, each of which a test can make fail
    // with the errno the hook returns (0 lets it run).
    enum class Step
    {
        Open,
        Write,
        Sync,
        Close,
        Rename
    };
    using FaultHook = std::function<int(Step)>;
    static void setFaultHook(FaultHook hook);

private:
    bool fail(const QString &what, int error);
    bool flushBuffer();

    QString m_target;     // as given
    QString m_finalPath;  // where the rename goes (symbolic links followed)
    QByteArray m_tempPath;
    QByteArray m_buffer;
    QString m_error;
    int m_fd = -1;
    bool m_failed = false;
};
