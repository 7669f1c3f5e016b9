// The Meter page's background worker on a link whose reads the test controls.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "download/mythread.h"
#include "meter/firstpageformeter.h"
#include "meterlinks.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QtTest>

namespace {
// Collects the worker's batches on the GUI thread (a QSignalSpy would record
// them on the worker's thread, under the test's feet).
struct BatchLog : QObject
{
    explicit BatchLog(MyThread *worker)
    {
        connect(worker, &MyThread::senddata, this,
                [this](const QByteArray &batch) { batches << batch; });
    }
    QByteArrayList batches;
};
} // namespace

class MyThreadTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void emptyReadsSendNothing();
    void passesArriveInOrder_data();
    void passesArriveInOrder();
    void pageLockWaitsForThePass();
    void pageIsLetInAtTheEndOfEachPass();
    void stopEndsWithinAPass();
    void stopRightAfterStart();
    void freshWorkerAfterRestart();
    void closeWithoutWorker();
    void startWhileRunningReplacesTheWorker();

private:
    FirstPageForMeter *page() { return MainWindow::instance()->meterPage(); }
    DialogRecorder dialogs;
    MeterGatedLink *link = nullptr;
};

void MyThreadTest::initTestCase()
{
    link = new MeterGatedLink(50);
    MainWindow::setLinkOpener([this](quint16, quint16) -> CLinker * { return link; });
    MainWindow::instance();
    // The start-up recognition finds no answer to its key information read.
    QTRY_VERIFY(MainWindow::instance()->isLinkOpen());
    QTRY_COMPARE(dialogs.shown.size(), 1);
    QTest::qWait(20);
}

void MyThreadTest::init()
{
    dialogs.clear();
    link->setReadWaitMs(50);
    page()->session()->receiveBuffer.clear();
}

void MyThreadTest::cleanup()
{
    page()->closeThreadSlot();
    QTest::qWait(1);
}

void MyThreadTest::emptyReadsSendNothing()
{
    page()->openThreadSlot();
    BatchLog log(page()->worker());
    const int readsBefore = link->reads();
    // The worker keeps reading.
    QTRY_VERIFY_WITH_TIMEOUT(link->reads() - readsBefore >= 3, 30000);
    QCOMPARE(log.batches.size(), 0);
    QVERIFY(page()->session()->receiveBuffer.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
}

void MyThreadTest::passesArriveInOrder_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::newRow("one pass") << QByteArrayList{"\x01\x02\x03"};
    QTest::newRow("three passes") << QByteArrayList{"first-", "second-", "third"};
    QTest::newRow("record split over passes") << QByteArrayList{
        QByteArray("\xAB\x42", 2), QByteArray(20, '\x11'), QByteArray(12, '\x22')};
}

void MyThreadTest::passesArriveInOrder()
{
    QFETCH(QByteArrayList, chunks);
    page()->openThreadSlot();
    BatchLog log(page()->worker());
    for (const QByteArray &chunk : chunks)
        link->queue(chunk);
    QTRY_COMPARE(log.batches, chunks);
    QTRY_COMPARE(page()->session()->receiveBuffer, chunks.join());
}

void MyThreadTest::pageLockWaitsForThePass()
{
    link->setReadWaitMs(60);
    page()->openThreadSlot();
    MyThread *worker = page()->worker();
    // Catch the worker inside a read that will find nothing.
    QTRY_VERIFY_WITH_TIMEOUT(link->inRead(), 30000);
    const int readsBefore = link->reads();
    ++worker->waitingForLock; // as the page does
    worker->lock.lock();
    MyThread::noteLocked(&worker->lock);
    --worker->waitingForLock;
    // At most the rest of the read: no further read began before the page
    // had the lock.
    QCOMPARE(link->reads(), readsBefore);
    const int readsWhileHeld = link->reads();
    link->queue("held back");
    QThread::msleep(250);
    QCOMPARE(link->reads(), readsWhileHeld);
    MyThread::noteUnlocking(&worker->lock);
    worker->lock.unlock();
    QTRY_COMPARE(page()->session()->receiveBuffer, QByteArray("held back"));
}

void MyThreadTest::pageIsLetInAtTheEndOfEachPass()
{
    // The worker takes the lock again right after a pass; a waiting page must
    // still get it then rather than after some later pass.
    page()->openThreadSlot();
    MyThread *worker = page()->worker();
    int mostReads = 0;
    for (int i = 0; i < 15; ++i) {
        const int readsBefore = link->reads();
        ++worker->waitingForLock;
        worker->lock.lock();
        MyThread::noteLocked(&worker->lock);
        --worker->waitingForLock;
        // The read under way, or one that began as the page asked.
        mostReads = qMax(mostReads, link->reads() - readsBefore);
        MyThread::noteUnlocking(&worker->lock);
        worker->lock.unlock();
        QThread::msleep(7 * i % 40); // land at different points of a pass
    }
    QVERIFY2(mostReads <= 1, qPrintable(QString("%1 reads began while the page waited").arg(mostReads)));
}

void MyThreadTest::stopEndsWithinAPass()
{
    page()->openThreadSlot();
    const int readsAtStart = link->reads();
    QTRY_VERIFY_WITH_TIMEOUT(link->reads() > readsAtStart, 30000);
    const int readsBefore = link->reads();
    QVERIFY(page()->closeThreadSlot());
    // The pass under way ends, and no other begins.
    QVERIFY2(link->reads() - readsBefore <= 1, qPrintable(QString::number(link->reads() - readsBefore)));
}

void MyThreadTest::stopRightAfterStart()
{
    // The quit request may come before the thread's event loop runs; it must
    // not be lost, or the wait would never end.
    for (int i = 0; i < 5; ++i) {
        page()->openThreadSlot();
        QPointer<QThread> thread = page()->workerThread();
        QVERIFY(page()->closeThreadSlot());
        QVERIFY(thread->isFinished());
    }
}

void MyThreadTest::freshWorkerAfterRestart()
{
    page()->openThreadSlot();
    QPointer<QThread> firstThread = page()->workerThread();
    QPointer<MyThread> firstWorker = page()->worker();
    QVERIFY(firstThread && firstWorker);
    QVERIFY(page()->closeThreadSlot());
    QVERIFY(firstThread->isFinished());
    // The worker went with its thread; the thread object goes at the next
    // turn of the event loop.
    QVERIFY(firstWorker.isNull());
    QTRY_VERIFY(firstThread.isNull());
    QVERIFY(!page()->workerThread());

    page()->openThreadSlot();
    QVERIFY(page()->workerThread()->isRunning());
    QVERIFY(!page()->worker()->stopRequested());
    QCOMPARE(page()->worker()->thread(), page()->workerThread());
    link->queue("again");
    QTRY_COMPARE(page()->session()->receiveBuffer, QByteArray("again"));
}

void MyThreadTest::closeWithoutWorker()
{
    QVERIFY(!page()->closeThreadSlot());
    page()->openThreadSlot();
    QVERIFY(page()->closeThreadSlot());
    QVERIFY(!page()->closeThreadSlot());
}

void MyThreadTest::startWhileRunningReplacesTheWorker()
{
    page()->openThreadSlot();
    QPointer<MyThread> first = page()->worker();
    QPointer<QThread> firstThread = page()->workerThread();
    page()->openThreadSlot();
    // Never two readers on one link.
    QVERIFY(first.isNull());
    QVERIFY(!firstThread || firstThread->isFinished());
    BatchLog log(page()->worker());
    link->queue("only one reader");
    QTRY_COMPARE(log.batches.size(), 1);
    QTRY_COMPARE(page()->session()->receiveBuffer, QByteArray("only one reader"));
}

QTEST_MAIN(MyThreadTest)
#include "test_mythread.moc"
