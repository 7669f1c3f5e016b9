#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QWidget;

// One copy of the program per user and program file. The first copy holds a
// lock file and listens on a local socket; a later copy finds the lock taken
// and hands its message to the first one through the socket.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
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

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();
    void activateWindow();

    QString id_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer *server_ = nullptr;
    QPointer<QWidget> window_;
    bool activateOnMessage_ = false;
    bool running_ = false;
};
