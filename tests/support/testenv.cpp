#include "testenv.h"

#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

ReadOnlyFolder::ReadOnlyFolder(const QString &path) : m_path(path)
{
    const QByteArray native = QFile::encodeName(path);
    if (geteuid() == 0) {
        if (::mount(native.constData(), native.constData(), nullptr, MS_BIND, nullptr) != 0)
            return;
        m_mounted = true;
        m_readOnly = ::mount(nullptr, native.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                             nullptr) == 0;
        return;
    }
    m_readOnly = QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    else if (m_readOnly)
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
}
