#include "files/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SafeFile::FaultHook &faultHook()
{
    static SafeFile::FaultHook hook;
    return hook;
}

// errno to fake for this step, 0 for none.
int injected(SafeFile::Step step)
{
    const SafeFile::FaultHook &hook = faultHook();
    return hook ? hook(step) : 0;
}

constexpr int bufferSize = 64 * 1024;

} // namespace

void SafeFile::setFaultHook(FaultHook hook)
{
    faultHook() = std::move(hook);
}

SafeFile::SafeFile(const QString &target) : m_target(target) {}

SafeFile::~SafeFile()
{
    cancel();
}

bool SafeFile::fail(const QString &what, int error)
{
    m_error = error ? QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(error)))
                    : what;
    m_failed = true;
    cancel();
    return false;
}

bool SafeFile::open()
{
    cancel();
    m_failed = false;
    m_error.clear();
    if (m_target.isEmpty())
        return fail(QStringLiteral("no file name"), 0);
    QFileInfo info(m_target);
    mode_t mode = 0;
    bool replacing = false;
    if (info.isSymLink()) {
        const QString pointee = info.symLinkTarget();
        info = QFileInfo(pointee);
    }
    m_finalPath = info.absoluteFilePath();
    struct stat st;
    if (::stat(QFile::encodeName(m_finalPath).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("%1 is not a plain file").arg(m_finalPath), 0);
        mode = st.st_mode & 07777;
        replacing = true;
    }
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("folder %1 does not exist").arg(folder), 0);

    m_tempPath = QFile::encodeName(folder + QLatin1Char('/') + QLatin1Char('.') +
                                   info.fileName() + QStringLiteral(".XXXXXX"));
    int error = injected(Step::Open);
    int fd = -1;
    if (!error) {
        fd = ::mkostemp(m_tempPath.data(), O_CLOEXEC);
        if (fd < 0)
            error = errno;
    }
    if (fd < 0) {
        m_tempPath.clear();
        return fail(QStringLiteral("cannot create a file in %1").arg(folder), error);
    }
    m_fd = fd;
    if (!replacing) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(m_fd, mode);
    m_buffer.reserve(bufferSize);
    return true;
}

bool SafeFile::flushBuffer()
{
    const char *data = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const int error = injected(Step::Write);
        if (error)
            return fail(QStringLiteral("cannot write"), error);
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(QStringLiteral("cannot write"), errno);
        }
        if (written == 0)
            return fail(QStringLiteral("cannot write"), ENOSPC);
        data += written;
        left -= written;
    }
    m_buffer.clear();
    return true;
}

bool SafeFile::write(const char *data, qint64 size)
{
    if (m_fd < 0) {
        if (!m_failed)
            m_error = QStringLiteral("file not open");
        return false;
    }
    if (m_buffer.size() + size > bufferSize && !flushBuffer())
        return false;
    if (size >= bufferSize) {
        m_buffer = QByteArray::fromRawData(data, int(size));
        const bool ok = flushBuffer();
        m_buffer = QByteArray();
        m_buffer.reserve(bufferSize);
        return ok;
    }
    m_buffer.append(data, int(size));
    return true;
}

bool SafeFile::commit()
{
    if (m_fd < 0) {
        if (!m_failed)
            m_error = QStringLiteral("file not open");
        return false;
    }
    if (!flushBuffer())
        return false;
    int error = injected(Step::Sync);
    if (!error && ::fsync(m_fd) != 0)
        error = errno;
    if (error)
        return fail(QStringLiteral("cannot write to the disk"), error);
    // close() can report the failure of a write that the file system kept
    // back (NFS, quotas).
    error = injected(Step::Close);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        return fail(QStringLiteral("cannot close"), error);
    error = injected(Step::Rename);
    if (!error && ::rename(m_tempPath.constData(), QFile::encodeName(m_finalPath).constData()) != 0)
        error = errno;
    if (error)
        return fail(QStringLiteral("cannot replace %1").arg(m_finalPath), error);
    m_tempPath.clear();
    // The new name itself is on the disk once the folder is synced; some
    // file systems cannot sync a folder, which loses nothing written.
    const int dir = ::open(QFile::encodeName(QFileInfo(m_finalPath).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void SafeFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.isEmpty()) {
        ::unlink(m_tempPath.constData());
        m_tempPath.clear();
    }
    m_buffer.clear();
}

bool SafeFile::writeFile(const QString &target, const QByteArray &bytes, QString *error)
{
    SafeFile file(target);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}
