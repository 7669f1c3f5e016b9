#include "export/mythread.h"

#include "app/mainwindow.h"
#include "protocol/instrumentcommands.h"

#include <QThread>

void MyThread::startThreadSlot()
{
    for (;;) {
        while (waitingForLock.load() > 0 && !stopFlag.load())
            QThread::yieldCurrentThread();
        QMutexLocker locker(&lock);
        if (stopFlag.load())
            break; // the locker releases the lock on the way out
        QByteArray data;
        // Time-out 0: exactly one collection pass, no trailer check.
        const int r = MainWindow::instance()->receiveFrame(data, 0, kExpectedLength, false);
        if (r > 0 && !data.isEmpty())
            emit senddata(data);
        InstrumentCommands::delay(kPauseMs); // still under the lock
    }
}
