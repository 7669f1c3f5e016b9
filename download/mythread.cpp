#include "download/mythread.h"

#include "protocol/instrumentlink.h"

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
        // One collection pass. What arrives is handed on report by report,
        // so that the page sees the end of a download as soon as it is
        // there; a page waiting for the lock ends the pass at the next
        // arrival. While nothing comes the pass listens only kListenMs, so
        // that a page wanting the lock never waits long for it.
        QByteArray data;
        int handed = 0;
        if (m_link) {
            m_link->collect(
                data,
                [this, &handed](const QByteArray &buffer) {
                    emit senddata(buffer.mid(handed));
                    handed = buffer.size();
                    return waitingForLock.load() > 0 || stopFlag.load();
                },
                kListenMs);
        }
        if (handed > 0)
            emit passEnded();
        noteUnlocking(&lock);
        lock.unlock();
        // Nothing came: rest before listening again, outside the lock so
        // that the page never waits for the pause.
        if (handed == 0 && !stopFlag.load())
            QThread::msleep(kPauseMs);
    }
}
