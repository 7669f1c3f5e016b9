#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>

#include <atomic>

class InstrumentLink;
class QThread;

// Listens on the instrument link for the Meter page. Runs on a thread of its
// own and, pass after pass, makes one listening read on the instrument link,
// handing the bytes to the page through senddata as they arrive (in order).
// Each pass holds the lock, so a page that takes the lock for its own
// request/answer exchange keeps the worker from consuming its answer. An
// idle pass sleeps on the device up to kListenMs for a first report (the
// probe notice is handed on as it comes); once reports come, the pass goes
// on until 50 ms of silence. A page asking for the lock (askForLock) or
// stop() wakes the pass, which then ends at once. A pass that found nothing
// at once and was not woken (a link that cannot wait) is followed by a
// pause of kPauseMs, outside the lock.
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

    // Before waiting for the lock: counts the caller in waitingForLock (the
    // caller lowers it once it holds the lock) and wakes the pass under way.
    void askForLock()
    {
        ++waitingForLock;
        wakePass();
    }

    // Asks the loop to end at its next check and wakes the pass under way;
    // does not take the lock. Once the flag is up the worker may end and be
    // deleted at any moment: nothing of it is touched after that.
    void stop()
    {
        InstrumentLink *link = m_link;
        m_woken.store(true);
        stopFlag.store(true);
        if (link)
            wakeListener(link);
    }
    bool stopRequested() const { return stopFlag.load(); }

    static constexpr int kPauseMs = 30;
    // How long an idle pass sleeps on the device for the first report, and
    // a longer sleep for a test to see that nothing waits it out.
    static constexpr int kListenMs = 5000;
    void setListenMs(int ms) { m_listenMs.store(ms); }

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
    void wakePass();
    static void wakeListener(InstrumentLink *link);

    std::atomic<bool> stopFlag{false};
    // A wake was asked since the last pass ended: a pass that ended at once
    // was woken, not on a link that cannot wait.
    std::atomic<bool> m_woken{false};
    std::atomic<int> m_listenMs{kListenMs};
    InstrumentLink *m_link;
};
