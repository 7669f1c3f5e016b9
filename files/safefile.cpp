#include "files/safefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SafeFile::CallHook &callHook()
{
    static SafeFile::CallHook hook;
    return hook;
}

long systemCall(SafeFile::Step step, const SafeFile::SystemCall &real)
{
    const SafeFile::CallHook &hook = callHook();
    return hook ? hook(step, real) : real();
}

thread_local bool lastReplaceFailed = false;

constexpr int bufferSize = 64 * 1024;

// The temporary file's name: "." NAME "." marker, or "." marker alone where
// the name would be too long; mkostemp fills the six X with [A-Za-z0-9].
constexpr char marker[] = "vantrel-XXXXXX";
constexpr size_t markerSize = sizeof(marker) - 1;
constexpr size_t markerPrefix = markerSize - 6;

// A temporary file that no save has touched for this long is a leftover.
constexpr time_t staleAfterSeconds = 3600;

bool isTemporaryName(const char *name)
{
    const size_t n = std::strlen(name);
    if (n < markerSize + 1 || name[0] != '.')
        return false;
    const char *tail = name + n - markerSize;
    if (std::strncmp(tail, marker, markerPrefix) != 0 || tail[-1] != '.')
        return false;
    for (size_t i = markerPrefix; i < markerSize; ++i) {
        const char c = tail[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    // ".vantrel-XXXXXX" or "." NAME ".vantrel-XXXXXX" with a name.
    return n == markerSize + 1 || n > markerSize + 2;
}

// Removes the temporary files that saves of this user left in the folder
// when they were killed before the rename: plain files of ours by their name,
// an hour old, that no save holds locked (a live save keeps its file
// locked).
void removeLeftovers(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        struct stat named;
        if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode) || named.st_uid != ::geteuid() ||
            now - named.st_mtime < staleAfterSeconds)
            continue;
        const int fd = ::openat(dirFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened;
        if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev &&
            opened.st_ino == named.st_ino && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Gives the temporary file the owner and group of the file it replaces, as
// far as the saver may: a user who is not root cannot give a file away
// (EPERM), but keeps a group of the file that they belong to. Returns 0 or
// the errno of a failure that is not a lack of permission.
int keepOwner(int fd, const struct stat &target)
{
    struct stat made;
    if (::fstat(fd, &made) != 0)
        return errno;
    const uid_t uid = target.st_uid;
    const gid_t gid = target.st_gid;
    if (made.st_uid == uid && made.st_gid == gid)
        return 0;
    // EINVAL: an owner that does not exist in this user namespace.
    const auto notPermitted = [](int error) { return error == EPERM || error == EINVAL; };
    const auto giveAll = [&] { return long(::fchown(fd, uid, gid)); };
    const auto giveGroup = [&] { return long(::fchown(fd, uid_t(-1), gid)); };
    long result = systemCall(SafeFile::Step::Chown, giveAll);
    if (result != 0 && notPermitted(errno) && made.st_gid != gid)
        result = systemCall(SafeFile::Step::Chown, giveGroup);
    return result == 0 || notPermitted(errno) ? 0 : errno;
}

} // namespace

void SafeFile::setCallHook(CallHook hook)
{
    callHook() = std::move(hook);
}

bool SafeFile::lastFailureWasReplace()
{
    return lastReplaceFailed;
}

SafeFile::SafeFile(const QString &target) : m_target(target) {}

SafeFile::~SafeFile()
{
    cancel();
}

bool SafeFile::fail(const QString &what, int error)
{
    m_error =
        error ? QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(error))) : what;
    m_failed = true;
    cancel();
    return false;
}

bool SafeFile::open()
{
    cancel();
    m_failed = false;
    m_replacing = false;
    m_error.clear();
    lastReplaceFailed = false;
    if (m_target.isEmpty())
        return fail(QStringLiteral("no file name"), 0);
    const QByteArray target = QFile::encodeName(m_target);
    struct stat st;
    struct stat link;
    if (::lstat(target.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // The file is written where the whole chain of links ends.
        if (::stat(target.constData(), &st) != 0) {
            const int error = errno;
            if (error == ELOOP)
                return fail(QStringLiteral("%1 is a chain of links that loops").arg(m_target), 0);
            if (error == ENOENT)
                return fail(QStringLiteral("%1 is a link to nothing").arg(m_target), 0);
            return fail(QStringLiteral("cannot follow the link %1").arg(m_target), error);
        }
        char *resolved = ::realpath(target.constData(), nullptr);
        if (!resolved)
            return fail(QStringLiteral("cannot follow the link %1").arg(m_target), errno);
        m_finalPath = QFile::decodeName(resolved);
        std::free(resolved);
        m_replacing = true;
    } else {
        m_finalPath = QFileInfo(m_target).absoluteFilePath();
        m_replacing = ::stat(target.constData(), &st) == 0;
    }
    if (m_replacing && !S_ISREG(st.st_mode))
        return fail(QStringLiteral("%1 is not a plain file").arg(m_finalPath), 0);
    const QFileInfo info(m_finalPath);
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("folder %1 does not exist").arg(folder), 0);

    const QByteArray folderName = QFile::encodeName(folder);
    removeLeftovers(folderName);
    const QByteArray name = QFile::encodeName(info.fileName());
    long nameMax = ::pathconf(folderName.constData(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = NAME_MAX;
    m_tempPath = folderName + "/.";
    if (name.size() + 2 + long(markerSize) <= nameMax)
        m_tempPath += name + '.';
    m_tempPath += marker;
    const long fd =
        systemCall(Step::Open, [this] { return long(::mkostemp(m_tempPath.data(), O_CLOEXEC)); });
    if (fd < 0) {
        const int error = errno;
        m_tempPath.clear();
        return fail(QStringLiteral("cannot create a file in %1").arg(folder), error);
    }
    m_fd = int(fd);
    // Held until the file is closed: another save into this folder never
    // takes it for a leftover.
    ::flock(m_fd, LOCK_EX | LOCK_NB);

    mode_t mode = 0;
    if (m_replacing) {
        mode = st.st_mode & 07777;
        // The owner first: a change of owner clears the set-ID bits.
        if (const int error = keepOwner(m_fd, st))
            return fail(QStringLiteral("cannot give the file the owner of %1").arg(m_finalPath),
                        error);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // File systems without Unix permissions (FAT) refuse this; the file is
    // then as they make it.
    ::fchmod(m_fd, mode);
    m_buffer.reserve(bufferSize);
    return true;
}

bool SafeFile::flushBuffer()
{
    const char *data = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const long written = systemCall(
            Step::Write, [this, data, left] { return long(::write(m_fd, data, size_t(left))); });
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
    if (systemCall(Step::Sync, [this] { return long(::fsync(m_fd)); }) != 0)
        return fail(QStringLiteral("cannot write to the disk"), errno);
    // close() can report the failure of a write that the file system kept
    // back (NFS, quotas). The descriptor is gone whatever it returns.
    const int fd = m_fd;
    m_fd = -1;
    if (systemCall(Step::Close, [fd] { return long(::close(fd)); }) != 0)
        return fail(QStringLiteral("cannot close"), errno);
    const QByteArray finalPath = QFile::encodeName(m_finalPath);
    if (systemCall(Step::Rename, [this, &finalPath] {
            return long(::rename(m_tempPath.constData(), finalPath.constData()));
        }) != 0) {
        const int error = errno;
        lastReplaceFailed = m_replacing;
        return fail(
            (m_replacing ? QStringLiteral("cannot replace %1") : QStringLiteral("cannot create %1"))
                .arg(m_finalPath),
            error);
    }
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
