#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QSocketNotifier;
class QWidget;

// One copy of the program per user and program file. The first copy holds a
// lock on a file (flock: the system lets it go when the copy ends, however it
// ends) and listens on a local socket; a later copy finds the lock taken and
// hands its message to the first one through the socket. Plain system calls:
// the check runs before the window is made, on every start.
//
// Lock and socket live in a folder that only this user can enter (see
// privateFolder()), so no other user can take the lock or answer in the
// first copy's place. A message is a QDataStream QString of at most
// kMaxMessageBytes bytes of text.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxMessageBytes = 64 * 1024;

    // id: the instance identity; empty means derived from the program's path
    // and the user.
    explicit SingleInstance(const QString &id = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    bool isRunning() const { return running_; }
    // Sends text to the running copy; false when it could not be delivered
    // within timeoutMs.
    bool sendMessage(const QString &text, int timeoutMs);
    // The window is shown, raised and activated on every message.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    QString id() const { return id_; }
    // Full paths of the lock file and the local socket; empty when no private
    // folder could be had.
    QString lockPath() const { return lockPath_; }
    QString serverName() const { return serverName_; }

    // The user's runtime folder (XDG_RUNTIME_DIR) when it is a folder of this
    // user that nobody else may enter; otherwise "vantrel-UID" in the
    // temporary folder, created or kept private (0700). Empty when that name
    // is taken by something that is not this user's own folder: such a folder
    // is never used.
    static QString privateFolder();

signals:
    void messageReceived(const QString &message);

private:
    // A client's connection: what it has sent so far.
    struct Client
    {
        QSocketNotifier *notifier = nullptr;
        QByteArray received;
    };
    bool listen();
    void acceptClients();
    void readClient(int fd);
    void dropClient(int fd);
    void activateWindow();

    QString id_;
    QString lockPath_;
    QString serverName_;
    int lockFd_ = -1;
    int serverFd_ = -1;
    QSocketNotifier *serverNotifier_ = nullptr;
    QHash<int, Client> clients_;
    QPointer<QWidget> window_;
    bool activateOnMessage_ = false;
    bool running_ = false;
};
