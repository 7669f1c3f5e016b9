#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>

#include <atomic>

class InstrumentLink;
class QThread;

// Listens on the instrument link for the Meter page. Runs on a thread of its
// own and, pass after pass, makes one collection read on the instrument link,
// handing the bytes to the page through senddata as they arrive (in order);
// after a pass that brought nothing it pauses 30 ms. Each pass holds the
// lock, so a page that takes the lock for its own request/answer exchange
// keeps the worker from consuming its answer; a page waiting for the lock
// ends the pass at the next arrival. An idle pass listens 15 ms for a first
// report (so a page waits at most that long for the lock); once reports
// come, the pass goes on until 50 ms of silence.
class MyThread : public QObject
{
    Q_OBJECT
public:
    explicit MyThread(InstrumentLink *link = nullptr) : m_link(link) {}

    // Held by the worker for each pass and by the page around its own
    // exchanges with the instrument.
    QMutex lock;
    // A mutex does not queue its waiters: the worker, taking the lock again
    // right after releasing it, would win over a page that has been waiting
    // for the whole pass. A page raises this count before it waits for the
    // lock and lowers it once it holds it; the worker lets it in first.
    std::atomic<int> waitingForLock{0};

    // Asks the loop to end at its next check; does not take the lock.
    void stop() { stopFlag.store(true); }
    bool stopRequested() const { return stopFlag.load(); }

    static constexpr int kPauseMs = 30;
    // How long an idle pass listens for the first report.
    static constexpr int kListenMs = 15;

    // A contended QMutex is handed over inside the Qt library, where the
    // thread checker (ThreadSanitizer builds) cannot see it; whoever takes or
    // releases this lock says so here. Nothing in other builds.
    static void noteLocked(QMutex *mutex);
    static void noteUnlocking(QMutex *mutex);
    // The same for the end of the worker's thread: QThread::wait() orders
    // everything the worker did before whatever follows the wait, but it
    // does so inside the Qt library too.
    static void noteFinishing(const QThread *thread);
    static void noteJoined(const QThread *thread);

signals:
    void senddata(const QByteArray &baData);
    // After the last senddata of a pass that brought bytes.
    void passEnded();

public slots:
    void startThreadSlot();

private:
    std::atomic<bool> stopFlag{false};
    InstrumentLink *m_link;
};
