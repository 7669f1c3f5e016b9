#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <unistd.h>

// Wire format on the socket: a QDataStream QString, answered by one byte 'A'
// once the first copy has taken it.

SingleInstance::SingleInstance(const QString &id, QObject *parent) : QObject(parent), id_(id)
{
    if (id_.isEmpty()) {
        const QByteArray who = QCoreApplication::applicationFilePath().toUtf8() + '|'
                               + QByteArray::number(uint(getuid()));
        id_ = QStringLiteral("vantrel-")
              + QString::fromLatin1(QCryptographicHash::hash(who, QCryptographicHash::Sha1)
                                        .toHex()
                                        .left(16));
    }
    lock_ = std::make_unique<QLockFile>(QDir::temp().filePath(id_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0); // stale only when its process has gone
    if (!lock_->tryLock(0)) {
        lock_->removeStaleLockFile();
        if (!lock_->tryLock(0)) {
            running_ = true;
            return;
        }
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(id_); // left behind by a copy that crashed
    server_->listen(id_);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
}

bool SingleInstance::sendMessage(const QString &text, int timeoutMs)
{
    if (!running_)
        return false;
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    // The first copy may be starting at this very moment: retry until the time runs out.
    for (;;) {
        socket.connectToServer(id_);
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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QString text;
            in >> text;
            if (!in.commitTransaction())
                return; // wait for the rest
            socket->write("A");
            socket->flush();
            if (activateOnMessage_)
                activateWindow();
            emit messageReceived(text);
        });
    }
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
