// One copy per user and program: a later copy finds the first one and hands
// it a message, which brings the first copy's window forward.
#include "app/singleinstance.h"

#include <QtTest>

#include <QUuid>
#include <QWidget>

#include <atomic>
#include <thread>

class SingleInstanceTest : public QObject
{
    Q_OBJECT
private slots:
    void secondCopyHandsOverItsMessage();
    void firstCopyGoneFreesTheIdentity();
    void sendWithoutListenerGivesUp();
    void defaultIdentityIsStable();
};

static QString uniqueId()
{
    return "vantrel-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
}

void SingleInstanceTest::secondCopyHandsOverItsMessage()
{
    const QString id = uniqueId();
    SingleInstance first(id);
    QVERIFY(!first.isRunning());
    QWidget window;
    window.setWindowState(Qt::WindowMinimized);
    first.setActivationWindow(&window, true);
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    SingleInstance second(id);
    QVERIFY(second.isRunning());
    // The second copy blocks in sendMessage; the first copy's event loop must
    // run meanwhile, so the send happens on another thread.
    std::atomic<int> delivered{-1};
    std::thread sender([&] {
        SingleInstance other(id);
        delivered = other.sendMessage("active!!!!!", 5000) ? 1 : 0;
    });
    QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 5000);
    sender.join();
    QCOMPARE(received.at(0).at(0).toString(), QString("active!!!!!"));
    QCOMPARE(delivered.load(), 1);
    QVERIFY(window.isVisible());
    QVERIFY(!(window.windowState() & Qt::WindowMinimized));
}

void SingleInstanceTest::firstCopyGoneFreesTheIdentity()
{
    const QString id = uniqueId();
    {
        SingleInstance first(id);
        QVERIFY(!first.isRunning());
    }
    SingleInstance next(id);
    QVERIFY(!next.isRunning());
}

void SingleInstanceTest::sendWithoutListenerGivesUp()
{
    const QString id = uniqueId();
    SingleInstance first(id);
    SingleInstance second(id);
    QVERIFY(second.isRunning());
    QElapsedTimer clock;
    clock.start();
    // Nobody serves the first copy's socket on this thread while we block:
    // the send must end by its time-out instead of hanging.
    std::atomic<bool> result{true};
    std::thread sender([&] {
        SingleInstance other(id);
        result = other.sendMessage("active!!!!!", 300);
    });
    sender.join();
    QVERIFY(!result.load());
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(!first.sendMessage("x", 100)); // the first copy has nobody to send to
}

void SingleInstanceTest::defaultIdentityIsStable()
{
    SingleInstance a;
    SingleInstance b;
    QCOMPARE(a.id(), b.id());
    QVERIFY(a.id().startsWith("vantrel-"));
    QVERIFY(b.isRunning());
}

QTEST_MAIN(SingleInstanceTest)
#include "test_singleinstance.moc"
