#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <sys/stat.h>
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
    lock_ = std::make_unique<QLockFile>(lockPath_);
    lock_->setStaleLockTime(0); // stale only when its process has gone
    if (!lock_->tryLock(0)) {
        // Removed unless a live process holds it, whatever the file says: a
        // lock left by a copy that crashed, or one that holds junk.
        lock_->removeStaleLockFile();
        if (!lock_->tryLock(0)) {
            // Another copy holds it; a lock that cannot be made at all (a
            // full disk) does not stop the start either.
            running_ = lock_->error() == QLockFile::LockFailedError;
            return;
        }
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName_); // left behind by a copy that crashed
    server_->listen(serverName_);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
}

bool SingleInstance::sendMessage(const QString &text, int timeoutMs)
{
    if (!running_ || qint64(text.size()) * 2 > kMaxMessageBytes)
        return false;
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    // The first copy may be starting at this very moment: retry until the time runs out.
    for (;;) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(qMax(1, timeoutMs - int(clock.elapsed()))))
            break;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << text;
    socket.write(payload);
    if (!socket.waitForBytesWritten(qMax(1, timeoutMs - int(clock.elapsed()))))
        return false;
    if (!socket.waitForReadyRead(qMax(1, timeoutMs - int(clock.elapsed()))))
        return false;
    return socket.read(1) == "A";
}

void SingleInstance::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    window_ = window;
    activateOnMessage_ = activateOnMessage;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        // Never more than one message's worth in memory, whatever a client sends.
        socket->setReadBufferSize(4 + kMaxMessageBytes);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
    }
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    // The length decides at once; the text is decoded once, when it is whole.
    char head[4];
    if (socket->peek(head, sizeof head) < qint64(sizeof head))
        return;
    const quint32 length = qFromBigEndian<quint32>(head);
    const qint64 size = length == 0xFFFFFFFFu ? 0 : qint64(length);
    if (size > kMaxMessageBytes || size % 2 != 0) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(sizeof head) + size)
        return;
    QDataStream in(socket->read(qint64(sizeof head) + size));
    QString text;
    in >> text;
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write("A");
    socket->flush();
    if (activateOnMessage_)
        activateWindow();
    emit messageReceived(text);
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
