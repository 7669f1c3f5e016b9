#include "download/mythread.h"

#include "protocol/instrumentlink.h"

#include <QElapsedTimer>
#include <QThread>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

namespace {

// Tell the thread checker of an ordering it cannot see (nothing elsewhere).
void acquired(const void *key)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void *>(key));
#else
    Q_UNUSED(key)
#endif
}

void released(const void *key)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void *>(key));
#else
    Q_UNUSED(key)
#endif
}

} // namespace

void MyThread::noteLocked(QMutex *mutex) { acquired(mutex); }
void MyThread::noteUnlocking(QMutex *mutex) { released(mutex); }
void MyThread::noteFinishing(const QThread *thread) { released(thread); }
void MyThread::noteJoined(const QThread *thread) { acquired(thread); }

void MyThread::wakePass()
{
    m_woken.store(true);
    if (m_link)
        wakeListener(m_link);
}

void MyThread::wakeListener(InstrumentLink *link)
{
    link->wakeListener();
}

void MyThread::startThreadSlot()
{
    for (;;) {
        while (waitingForLock.load() > 0 && !stopFlag.load())
            QThread::yieldCurrentThread();
        lock.lock();
        noteLocked(&lock);
        if (stopFlag.load()) {
            noteUnlocking(&lock);
            lock.unlock();
            noteFinishing(thread());
            break;
        }
        // One listening pass. What arrives is handed on report by report,
        // so that the page sees the end of a download (or a probe notice) as
        // soon as it is there; a page waiting for the lock ends the pass at
        // the next arrival, or wakes it out of its wait.
        QByteArray data;
        int handed = 0;
        QElapsedTimer pass;
        pass.start();
        int r = -1;
        if (m_link) {
            r = m_link->listen(
                data,
                [this, &handed](const QByteArray &buffer) {
                    emit senddata(buffer.mid(handed));
                    handed = buffer.size();
                    return waitingForLock.load() > 0 || stopFlag.load();
                },
                m_listenMs.load());
        }
        if (handed > 0)
            emit passEnded();
        noteUnlocking(&lock);
        lock.unlock();
        // Nothing came and nothing woke the pass, yet it ended at once (a
        // failed device, a link that cannot wait): rest before listening
        // again, outside the lock, instead of spinning.
        const bool woken = m_woken.exchange(false);
        if (handed == 0 && !woken && !stopFlag.load() && (r < 0 || pass.elapsed() < kPauseMs))
            QThread::msleep(kPauseMs);
    }
}
