// One copy per user and program: a later copy finds the first one and hands
// it a message, which brings the first copy's window forward. Nothing another
// user leaves behind stops a start, and nothing sent on the socket keeps the
// first copy busy.
#include "app/singleinstance.h"

#include <QtTest>

#include <QLocalSocket>
#include <QUuid>
#include <QWidget>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

class SingleInstanceTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondCopyHandsOverItsMessage();
    void firstCopyGoneFreesTheIdentity();
    void sendWithoutListenerGivesUp();
    void defaultIdentityIsStable();
    void lockAndSocket_data();
    void lockAndSocket();

private:
    QTemporaryDir runtime_;
};

static QString uniqueId()
{
    return "vantrel-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
}

void SingleInstanceTest::initTestCase()
{
    // The user's runtime folder, as a desktop session provides it (0700).
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
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

static QByteArray message(const QString &text)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << text;
    return bytes;
}

void SingleInstanceTest::lockAndSocket_data()
{
    // plant: what is found before the first copy starts. folder: where lock
    // and socket must be ("runtime": the user's runtime folder; "own": the
    // user's own private folder in the temporary folder). sent: the bytes a
    // client writes on the first copy's socket. delivered: the text comes
    // through and is answered; otherwise the first copy drops the connection
    // at once.
    QTest::addColumn<QString>("plant");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("delivered");
    const QByteArray active = message("active!!!!!");
    QTest::newRow("normal message") << ""
                                    << "runtime" << active << true;
    QTest::newRow("huge length prefix dropped at once")
        << ""
        << "runtime" << QByteArray::fromHex("7ffffff0") + QByteArray(64 * 1024, 'x') << false;
    QTest::newRow("junk in the lock: not a running copy") << "junk lock"
                                                          << "runtime" << active << true;
    QTest::newRow("lock of another user: not ours") << "foreign lock"
                                                    << "runtime" << active << true;
    QTest::newRow("runtime folder of another user: not used") << "foreign runtime folder"
                                                              << "own" << active << true;
}

void SingleInstanceTest::lockAndSocket()
{
    QFETCH(QString, plant);
    QFETCH(QString, folder);
    QFETCH(QByteArray, sent);
    QFETCH(bool, delivered);
    const bool root = ::geteuid() == 0;
    if (plant == "foreign lock" && !root)
        QSKIP("only root can leave a file of another user in this user's folder");

    QTemporaryDir runtime;
    QTemporaryDir temp;
    QVERIFY(runtime.isValid() && temp.isValid());
    const QByteArray runtimePath = QFile::encodeName(runtime.path());
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qputenv("XDG_RUNTIME_DIR", runtimePath);
    const QString id = uniqueId();
    const QByteArray lockPath = runtimePath + '/' + QFile::encodeName(id) + ".lock";
    int held = -1; // a descriptor that holds the planted lock, as its live owner would
    auto restore = qScopeGuard([&] {
        if (held >= 0)
            ::close(held);
        if (::chown(runtimePath.constData(), ::geteuid(), ::getegid()) != 0)
            qWarning("could not take the runtime folder back");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
        qunsetenv("TMPDIR");
    });
    if (plant == "junk lock" || plant == "foreign lock") {
        QFile lock(QFile::decodeName(lockPath));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(plant == "junk lock" ? QByteArray("\x01\xfe junk\n")
                                        : QByteArray("1\nvantrel\n\n"));
        lock.close();
        if (plant == "foreign lock") {
            QCOMPARE(::chown(lockPath.constData(), 65534, 65534), 0);
            held = ::open(lockPath.constData(), O_RDONLY);
            QVERIFY(held >= 0);
            QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
        }
    } else if (plant == "foreign runtime folder") {
        // Root gives the folder away; any other user meets one of root's.
        if (root)
            QCOMPARE(::chown(runtimePath.constData(), 65534, 65534), 0);
        else
            qputenv("XDG_RUNTIME_DIR", "/");
    }

    SingleInstance first(id);
    QVERIFY(!first.isRunning());
    const QString expectedFolder = folder == "runtime"
                                       ? runtime.path()
                                       : temp.path() + "/vantrel-" + QString::number(::geteuid());
    QCOMPARE(QFileInfo(first.lockPath()).path(), expectedFolder);
    QCOMPARE(QFileInfo(first.serverName()).path(), expectedFolder);
    struct stat st;
    QCOMPARE(::lstat(QFile::encodeName(expectedFolder).constData(), &st), 0);
    QVERIFY(S_ISDIR(st.st_mode));
    QCOMPARE(st.st_uid, ::geteuid());
    QCOMPARE(st.st_mode & 077, 0u);
    // The lock is now the first copy's: a later copy finds it running.
    SingleInstance second(id);
    QVERIFY(second.isRunning());

    QSignalSpy received(&first, &SingleInstance::messageReceived);
    QLocalSocket client;
    client.connectToServer(first.serverName());
    QVERIFY(client.waitForConnected(10000));
    client.write(sent);
    if (delivered) {
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QCOMPARE(received.at(0).at(0).toString(), QString("active!!!!!"));
        QTRY_VERIFY_WITH_TIMEOUT(client.bytesAvailable() > 0, 20000);
        QCOMPARE(client.read(1), QByteArray("A"));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 20000);
        QCOMPARE(received.count(), 0);
    }
}

QTEST_MAIN(SingleInstanceTest)
#include "test_singleinstance.moc"
