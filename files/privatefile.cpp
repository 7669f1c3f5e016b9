#include "files/privatefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFile {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PrivateFile", text);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool makeFolder(const QString &path, QString *error)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // The missing folders, the outermost first.
    QStringList missing;
    for (QString folder = absolute; !QFileInfo::exists(folder); folder = QFileInfo(folder).path()) {
        missing.prepend(folder);
        if (folder == QFileInfo(folder).path())
            break;
    }
    for (const QString &folder : qAsConst(missing)) {
        const QByteArray name = QFile::encodeName(folder);
        if (::mkdir(name.constData(), kFolderMode) != 0 && errno != EEXIST) {
            *error = tr("Cannot create the folder %1: %2").arg(folder, systemError(errno));
            return false;
        }
        if (::chmod(name.constData(), kFolderMode) != 0) {
            *error = tr("Cannot make the folder %1 private: %2").arg(folder, systemError(errno));
            return false;
        }
    }
    if (!QFileInfo(absolute).isDir()) {
        *error = tr("%1 is not a folder.").arg(absolute);
        return false;
    }
    return true;
}

bool create(const QString &path, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        if (errno == EEXIST)
            return true;
        *error = tr("Cannot create %1: %2").arg(path, systemError(errno));
        return false;
    }
    const bool restricted = ::fchmod(fd, kFileMode) == 0;
    const int fchmodError = errno;
    ::close(fd);
    if (!restricted) {
        ::unlink(name.constData());
        *error = tr("Cannot make %1 private: %2").arg(path, systemError(fchmodError));
        return false;
    }
    return true;
}

bool restrict(const QString &path, QString *error)
{
    if (::chmod(QFile::encodeName(path).constData(), kFileMode) != 0) {
        *error = tr("Cannot make %1 private: %2").arg(path, systemError(errno));
        return false;
    }
    return true;
}

} // namespace PrivateFile
