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
    SafeFile::setFaultHook([fault](SafeFile::Step step) {
        switch (fault) {
        case Fault::Open:
            return step == SafeFile::Step::Open ? EACCES : 0;
        case Fault::Write:
            return step == SafeFile::Step::Write ? ENOSPC : 0;
        case Fault::Sync:
            return step == SafeFile::Step::Sync ? EIO : 0;
        case Fault::Close:
            return step == SafeFile::Step::Close ? EDQUOT : 0;
        case Fault::Rename:
            return step == SafeFile::Step::Rename ? EBUSY : 0;
        default:
            return 0;
        }
    });
}

Injected::~Injected()
{
    SafeFile::setFaultHook(nullptr);
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
    return QDir(folder).entryList({QLatin1Char('.') + name + QLatin1Char('*')},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace SaveFaults
