#include "savefaults.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace SaveFaults {

Injected::Injected(Fault fault) : m_fault(fault)
{
    if (fault == Fault::DiskFull) {
        m_mount = m_dir.filePath(QStringLiteral("small"));
        QDir().mkpath(m_mount);
        if (::mount("tmpfs", QFile::encodeName(m_mount).constData(), "tmpfs", 0, "size=64k") != 0) {
            m_available = false;
            m_mount.clear();
        }
        return;
    }
    // The fault takes the place of the real call's result; a temporary file
    // that is not to be made and a rename that is not to happen are not
    // called at all.
    SafeFile::setCallHook([fault](SafeFile::Step step, const SafeFile::SystemCall &real) -> long {
        struct Made
        {
            Fault fault;
            SafeFile::Step step;
            int error;
            bool calls;
        };
        static const Made faults[] = {
            {Fault::Open, SafeFile::Step::Open, EACCES, false},
            {Fault::Write, SafeFile::Step::Write, ENOSPC, true},
            {Fault::Chown, SafeFile::Step::Chown, EIO, true},
            {Fault::Sync, SafeFile::Step::Sync, EIO, true},
            {Fault::Close, SafeFile::Step::Close, EDQUOT, true},
            {Fault::Rename, SafeFile::Step::Rename, EBUSY, false},
        };
        for (const Made &made : faults) {
            if (made.fault != fault || made.step != step)
                continue;
            if (made.calls)
                real();
            errno = made.error;
            return -1;
        }
        return real();
    });
}

Injected::~Injected()
{
    SafeFile::setCallHook(nullptr);
    if (!m_mount.isEmpty())
        ::umount2(QFile::encodeName(m_mount).constData(), MNT_DETACH);
}

bool Injected::fillLeaving(qint64 free)
{
    if (m_mount.isEmpty())
        return true;
    struct statvfs fs;
    if (::statvfs(QFile::encodeName(m_mount).constData(), &fs) != 0)
        return false;
    const qint64 available = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    if (available <= free)
        return true;
    return putFile(m_mount + QStringLiteral("/filler"), QByteArray(int(available - free), 'x'));
}

QString Injected::folder() const
{
    return m_mount.isEmpty() ? m_dir.path() : m_mount;
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList leftovers(const QString &folder, const QString &name)
{
    return QDir(folder).entryList(
        {QLatin1Char('.') + name + QLatin1Char('*'), QStringLiteral(".vantrel-*")},
        QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace SaveFaults
