#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Wire format on the socket: a QDataStream QString (a big-endian 32-bit
// length in bytes, 0xFFFFFFFF for a null text, then the text in UTF-16),
// answered by one byte 'A' once the first copy has taken it.

namespace {

// A folder of this user's own that nobody else may enter. The name itself
// must be the folder: a link to one is not followed. tighten: a folder of
// this user's that others may enter is closed to them.
bool isOwnPrivateFolder(const QByteArray &path, bool tighten)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) == 0)
        return true;
    return tighten && ::chmod(path.constData(), 0700) == 0;
}

// A lock file that is not a plain file of this user's was not made by a copy
// of this program started by this user: it is removed (the folder is ours)
// rather than taken for a running copy. False when it stays.
bool removeForeignLock(const QByteArray &path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
        return true;
    return ::unlink(path.constData()) == 0;
}

} // namespace

QString SingleInstance::privateFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isOwnPrivateFolder(runtime, false))
        return QFile::decodeName(runtime);
    const QString own =
        QDir::tempPath() + QStringLiteral("/vantrel-") + QString::number(uint(::geteuid()));
    const QByteArray path = QFile::encodeName(own);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    return isOwnPrivateFolder(path, true) ? own : QString();
}

SingleInstance::SingleInstance(const QString &id, QObject *parent) : QObject(parent), id_(id)
{
    if (id_.isEmpty()) {
        const QByteArray who = QCoreApplication::applicationFilePath().toUtf8() + '|' +
                               QByteArray::number(uint(getuid()));
        id_ = QStringLiteral("vantrel-") +
              QString::fromLatin1(
                  QCryptographicHash::hash(who, QCryptographicHash::Sha1).toHex().left(16));
    }
    // Without a folder of our own this copy runs unguarded: a name in a shared
    // folder could be taken by anyone and would stop this user's start.
    const QString folder = privateFolder();
    if (folder.isEmpty()) {
        qWarning("vantrel: no private folder for the single-instance lock; running without it");
        return;
    }
    lockPath_ = folder + QLatin1Char('/') + id_ + QStringLiteral(".lock");
    serverName_ = folder + QLatin1Char('/') + id_;
    if (!removeForeignLock(QFile::encodeName(lockPath_))) {
        qWarning("vantrel: cannot remove a foreign lock file; running without the lock");
        return;
    }
    // Held for as long as this copy runs; a copy that crashed holds nothing.
    // A lock file left by an older copy of the program is taken over as it is.
    lockFd_ = ::open(QFile::encodeName(lockPath_).constData(),
                     O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        // A lock that cannot be made at all (a full disk) does not stop the start.
        qWarning("vantrel: cannot make the single-instance lock (%s); running without it",
                 std::strerror(errno));
        return;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        running_ = errno == EWOULDBLOCK;
        ::close(lockFd_);
        lockFd_ = -1;
        return;
    }
    // For whoever looks: the process that holds it.
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(lockFd_, 0) != 0 || ::write(lockFd_, pid.constData(), size_t(pid.size())) < 0)
        qWarning("vantrel: cannot write the single-instance lock");
    if (!listen())
        qWarning("vantrel: cannot listen on %s: %s", qPrintable(serverName_), std::strerror(errno));
}

SingleInstance::~SingleInstance()
{
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        delete it->notifier;
        ::close(it.key());
    }
    if (serverFd_ >= 0) {
        delete serverNotifier_;
        ::close(serverFd_);
        ::unlink(QFile::encodeName(serverName_).constData());
    }
    // The file stays: removing it could let a copy starting now lock a file
    // that the next copy no longer finds.
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

namespace {

bool socketAddress(const QString &name, sockaddr_un *address)
{
    const QByteArray path = QFile::encodeName(name);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, path.constData(), size_t(path.size()));
    return true;
}

// Waits until fd is ready for events or the time has run out.
bool waitFor(int fd, short events, const QElapsedTimer &clock, int timeoutMs)
{
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(left));
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

bool SingleInstance::listen()
{
    sockaddr_un address;
    if (!socketAddress(serverName_, &address)) {
        errno = ENAMETOOLONG;
        return false;
    }
    serverFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (serverFd_ < 0)
        return false;
    // A socket left by a copy that crashed (the lock says none runs).
    ::unlink(address.sun_path);
    if (::bind(serverFd_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(serverFd_, 8) != 0) {
        const int error = errno;
        ::close(serverFd_);
        serverFd_ = -1;
        errno = error;
        return false;
    }
    serverNotifier_ = new QSocketNotifier(serverFd_, QSocketNotifier::Read, this);
    connect(serverNotifier_, &QSocketNotifier::activated, this, &SingleInstance::acceptClients);
    return true;
}

bool SingleInstance::sendMessage(const QString &text, int timeoutMs)
{
    if (!running_ || qint64(text.size()) * 2 > kMaxMessageBytes)
        return false;
    sockaddr_un address;
    if (!socketAddress(serverName_, &address))
        return false;
    QElapsedTimer clock;
    clock.start();
    int fd = -1;
    auto closeSocket = qScopeGuard([&fd] {
        if (fd >= 0)
            ::close(fd);
    });
    // The first copy may be starting at this very moment: retry until the time runs out.
    for (;;) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return false;
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
            break;
        ::close(fd);
        fd = -1;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << text;
    for (qint64 sent = 0; sent < payload.size();) {
        const ssize_t n = ::send(fd, payload.constData() + sent, size_t(payload.size() - sent),
                                 MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, clock, timeoutMs))
            continue;
        else
            return false;
    }
    char answer = 0;
    for (;;) {
        if (!waitFor(fd, POLLIN, clock, timeoutMs))
            return false;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n == 1)
            return answer == 'A';
        if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return false;
    }
}

void SingleInstance::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return; // none left (EAGAIN), or one that went away meanwhile
        Client &client = clients_[fd];
        client.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(client.notifier, &QSocketNotifier::activated, this,
                [this, fd] { readClient(fd); });
    }
}

void SingleInstance::readClient(int fd)
{
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return;
    QByteArray &received = it->received;
    // Never more than one message's worth in memory, whatever a client sends;
    // the length decides at once, the text is decoded once, when it is whole.
    constexpr qint64 head = 4;
    char chunk[4096];
    const qint64 room = qMin<qint64>(sizeof chunk, head + kMaxMessageBytes - received.size());
    const ssize_t n = ::recv(fd, chunk, size_t(room), 0);
    if (n > 0)
        received.append(chunk, int(n));
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        dropClient(fd); // gone before its message was whole
        return;
    }
    if (received.size() < head)
        return;
    const quint32 length = qFromBigEndian<quint32>(received.constData());
    const qint64 size = length == 0xFFFFFFFFu ? 0 : qint64(length);
    if (size > kMaxMessageBytes || size % 2 != 0) {
        dropClient(fd);
        return;
    }
    if (received.size() < head + size)
        return;
    QDataStream in(received.left(int(head + size)));
    QString text;
    in >> text;
    // The answer is one byte on an empty socket; the client ends the talk.
    if (::send(fd, "A", 1, MSG_NOSIGNAL) != 1)
        qWarning("vantrel: cannot answer a later copy");
    dropClient(fd);
    if (activateOnMessage_)
        activateWindow();
    emit messageReceived(text);
}

void SingleInstance::dropClient(int fd)
{
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return;
    it->notifier->setEnabled(false);
    it->notifier->deleteLater(); // it may be the one whose signal runs now
    clients_.erase(it);
    ::close(fd);
}

void SingleInstance::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    window_ = window;
    activateOnMessage_ = activateOnMessage;
}

void SingleInstance::activateWindow()
{
    if (!window_)
        return;
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}
