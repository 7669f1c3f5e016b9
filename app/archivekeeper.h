#pragma once

// Keeps every completed download of the window in the archive: the Logger
// page's runs and the Meter page's records, once each (archive/archive.h).
// A setting turns it off; it is remembered with the window's other settings
// and shown as a checkable entry of the window's archive menu, next to the
// History view. A download the archive cannot take (a full disk, a server
// that is down or refuses the login, an archive locked by another program)
// waits in the archive's local queue (archive/archivequeue.h) and is sent
// at the next download and when the window starts; the message says why
// and the archive button how many runs and records wait. The download
// stays on its page and can still be saved. The archive is written on a
// thread of its own, one download after the other, so that the window goes
// on at once: a server may take its connection time-out to answer.

#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"
#include "session/loggersession.h"
#include "session/metersession.h"

#include <QObject>
#include <QThreadPool>

class ArchiveConnectionDialog;
struct Measurement;
class FirstPageForLogger;
class FirstPageForMeter;
class QAction;
class QToolButton;
class QWidget;

class ArchiveKeeper : public QObject
{
    Q_OBJECT
public:
    explicit ArchiveKeeper(QWidget *window);
    ~ArchiveKeeper() override;

    // On unless turned off (key "archive/automatic").
    static bool automatic();
    static void setAutomatic(bool on);
    // The archive chosen (key "archive/connection"): an SQLite file or a
    // PostgreSQL connection string without a password; empty: the user's
    // own archive.sqlite.
    static QString connection();
    // Kept without any password, in a settings file made its owner's alone
    // first; false with a message when it cannot be made so (nothing is
    // written then).
    static bool setConnection(const QString &connection, QString *error = nullptr);
    // The "Archive connection..." entry: the dialog, open (not waited for);
    // OK keeps the connection and announces it.
    ArchiveConnectionDialog *chooseConnection();

    // Archives each page's completed downloads (the window makes its Meter
    // page when first needed, and hands it over then).
    void watch(FirstPageForLogger *logger);
    void watch(FirstPageForMeter *meter);
    // The archive button of the window's title bar with its menu.
    QToolButton *button() const { return m_button; }
    void retranslate();

    // Archives one download after those handed over before it; a failure is
    // told once it is known.
    void keep(const Measurement &download);
    // Sends what waits in the queue of the chosen archive (the window does
    // at its start; nothing is opened when nothing waits).
    void sendQueued();
    // Returns once every download handed over is archived and any failure
    // told (the program's end waits for it as well).
    void waitUntilArchived();
    // Runs and records waiting in the queue, as last counted.
    int waiting() const { return m_waiting; }

signals:
    void historyRequested();
    // A new connection was chosen: the History view reads from it now.
    void connectionChanged(const QString &connection);

private:
    void loggerFinished(LoggerSession::Outcome outcome);
    void meterFinished(MeterSession::Outcome outcome, const MeterData &records);
    void tell(const QString &error);
    void told(bool queued, const QString &error, int waiting);
    void showWaiting();

    QWidget *m_window = nullptr;
    FirstPageForLogger *m_logger = nullptr;
    FirstPageForMeter *m_meter = nullptr;
    QToolButton *m_button = nullptr;
    QAction *m_automatic = nullptr;
    QAction *m_history = nullptr;
    QAction *m_choose = nullptr;
    QThreadPool m_writer; // one thread: downloads are archived in turn
    int m_waiting = 0;
    QString m_waitingWhy;
};
