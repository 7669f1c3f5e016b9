#pragma once

// Faults for the tests of saving: a step of the safe write path that fails,
// or a real file system that is nearly full.

#include "files/safefile.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QTemporaryDir>

namespace SaveFaults {

// How a save is made to fail: the result of the real system call is
// replaced (the temporary file and the rename are not made at all).
enum class Fault
{
    None,
    Open,     // the temporary file cannot be made
    Write,    // a write fails (no space)
    Chown,    // giving the file its owner fails (I/O error)
    Sync,     // fsync fails (I/O error)
    Close,    // close reports a failed write
    Rename,   // the rename over the target fails (busy)
    DiskFull, // a real 64 KiB tmpfs with about 4 KiB free
};

// Makes the given step of every save fail while it lives; DiskFull mounts
// the tmpfs (folder()), or isAvailable() is false where mounting is not
// allowed.
class Injected
{
public:
    explicit Injected(Fault fault);
    ~Injected();
    bool isAvailable() const { return m_available; }
    // The folder to save into: the tmpfs for DiskFull, else a temporary one.
    QString folder() const;
    // DiskFull: fills the tmpfs with a file until about `free` bytes are left.
    bool fillLeaving(qint64 free);

private:
    Fault m_fault;
    bool m_available = true;
    QTemporaryDir m_dir;
    QString m_mount;
};

// A file of the given bytes in folder; false if it cannot be made.
bool putFile(const QString &path, const QByteArray &bytes);
QByteArray fileBytes(const QString &path);
// Temporary files in folder left behind by a save of name: hidden files whose
// names start with "." + name, and those of the short form (".vantrel-").
QStringList leftovers(const QString &folder, const QString &name);

} // namespace SaveFaults

Q_DECLARE_METATYPE(SaveFaults::Fault)
