#include "download/mythread.h"

#include "protocol/instrumentlink.h"
#include "protocol/instrumentcommands.h"

#include <QThread>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

void MyThread::noteLocked(QMutex *mutex)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(mutex);
#else
    Q_UNUSED(mutex)
#endif
}

void MyThread::noteUnlocking(QMutex *mutex)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(mutex);
#else
    Q_UNUSED(mutex)
#endif
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
            break;
        }
        QByteArray data;
        // Time-out 0: exactly one collection pass, no trailer check.
        const int r = m_link ? m_link->receiveFrame(data, 0, kExpectedLength, false) : -1;
        if (r > 0 && !data.isEmpty())
            emit senddata(data);
        InstrumentCommands::delay(kPauseMs); // still under the lock
        noteUnlocking(&lock);
        lock.unlock();
    }
}
