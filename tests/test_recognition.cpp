// The main window against simulated instruments: opening and closing the
// link, device notices, and the recognition that picks the family page.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "download/mythread.h"
#include "link/clinker.h"
#include "meter/firstpageformeter.h"
#include "protocol/instrumentcommands.h"
#include "protocol/modeltable.h"
#include "loggersupport.h"
#include "simsetup.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QtTest>
#include <QCursor>
#include <QTimer>

Q_DECLARE_METATYPE(SimProfile)
Q_DECLARE_METATYPE(MainWindow::Family)

namespace {

using Family = MainWindow::Family;

const QStringList kRecognitionMessages = {
    QStringLiteral("Read key infomation fail!"), QStringLiteral("No probe connection!"),
    QStringLiteral("The instrument is not configured production information!")};

SimProfile withCode(SimProfile p, quint32 code)
{
    p.typeCode = code;
    return p;
}

SimProfile withFault(SimProfile p, SimFault::Kind kind, int command, qint64 address, int value = 0)
{
    p.faults << SimFault::make(kind, command, address, value, 0, -1);
    return p;
}

SimProfile refusingKeyInfo(SimProfile p)
{
    p.keyInfoSupported = false;
    return p;
}

// Holds the Meter worker's lock the way the Meter page does around its own
// exchanges with the instrument, so that the worker, which reads the link
// pass after pass on its own thread, does not read it at the same time.
// Nothing while no worker runs.
class WorkerLock
{
public:
    explicit WorkerLock(MyThread *worker) : worker_(worker)
    {
        if (!worker_)
            return;
        worker_->askForLock();
        worker_->lock.lock();
        --worker_->waitingForLock;
        MyThread::noteLocked(&worker_->lock);
    }
    ~WorkerLock()
    {
        if (!worker_)
            return;
        MyThread::noteUnlocking(&worker_->lock);
        worker_->lock.unlock();
    }
    WorkerLock(const WorkerLock &) = delete;
    WorkerLock &operator=(const WorkerLock &) = delete;

private:
    MyThread *worker_;
};

} // namespace

class RecognitionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void startWithoutInstrument();
    void closeWithoutLink();
    void arrivalOpensAndRecognises();
    void secondArrivalIgnored();
    void unrelatedRemovalKeepsLink();
    void removalClosesLink_data();
    void removalClosesLink();
    void instrumentVanishesBeforeOpen();
    void unplugDuringCommand_data();
    void unplugDuringCommand();
    void recognition_data();
    void recognition();
    void identityFromInstrument_data();
    void identityFromInstrument();
    void modelTable_data();
    void modelTable();
    void windowPaintsWhileAnAnswerIsAwaited();

private:
    int pageIndex() const;
    bool lampOn() const;

    MainWindow *window = nullptr;
    DialogRecorder *dialogs = nullptr;
};

int RecognitionTest::pageIndex() const
{
    return window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentIndex();
}

bool RecognitionTest::lampOn() const
{
    const QLabel *lamp = window->findChild<QLabel *>(QStringLiteral("LinkStatusLabel"));
    const QPixmap shown = lamp->pixmap(Qt::ReturnByValue);
    if (shown.isNull())
        return false;
    const QImage on = QPixmap(QStringLiteral(":/image/led_on.png")).toImage();
    const QImage off = QPixmap(QStringLiteral(":/image/led_off.png")).toImage();
    const QImage now = shown.toImage();
    if (now == off)
        return false;
    return now == on;
}

void RecognitionTest::initTestCase()
{
    dialogs = new DialogRecorder;
    SimSetup::install(SimProfile::logger(), false); // start with nothing plugged in
    window = SimSetup::startWindow();
    // Messages are compared in the source language.
    QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked", Qt::DirectConnection);
}

void RecognitionTest::init()
{
    dialogs->shown.clear();
}

void RecognitionTest::startWithoutInstrument()
{
    QVERIFY(SimSetup::environment()->watcher()->started());
    QVERIFY(!window->link());
    QVERIFY(!lampOn());
    QCOMPARE(pageIndex(), 0);
    QCOMPARE(window->currentFamily(), Family::None);
    QVERIFY(dialogs->shown.isEmpty());
}

void RecognitionTest::closeWithoutLink()
{
    QVERIFY(!window->link());
    QMetaObject::invokeMethod(window, "CloseUSB", Qt::DirectConnection);
    QVERIFY(!window->link());
    QCOMPARE(pageIndex(), 0);
    QVERIFY(!lampOn());
    QVERIFY(dialogs->shown.isEmpty());
}

void RecognitionTest::arrivalOpensAndRecognises()
{
    SimSetup::environment()->plugIn(SimProfile::logger()); // raises the arrival notice
    QVERIFY(!window->link());
    SimSetup::deliverNotices();
    QVERIFY(window->link());
    QVERIFY(window->isLinkOpen());
    QVERIFY(lampOn());
    QCOMPARE(window->currentFamily(), Family::Logger);
    QCOMPARE(pageIndex(), 0);
    for (const QString &m : kRecognitionMessages)
        QVERIFY(!dialogs->texts().contains(m));
}

void RecognitionTest::secondArrivalIgnored()
{
    auto sim = SimSetup::replug(SimProfile::meter());
    QVERIFY(window->link());
    CLinker *link = window->link();
    QTest::qWait(100);
    sim->clearLogs();
    SimSetup::environment()->watcher()->announceArrival();
    SimSetup::deliverNotices();
    QCOMPARE(window->link(), link);
    // No second recognition: nothing but the Meter worker's reads reached the instrument.
    for (const QByteArray &request : sim->requests())
        QVERIFY2(quint8(request.at(1)) != 0x20, request.toHex(' ').constData());
    QCOMPARE(window->currentFamily(), Family::Meter);
    // The Meter worker and the page's own exchanges never read at once.
    QCOMPARE(sim->readersPeak(), 1);
}

void RecognitionTest::unrelatedRemovalKeepsLink()
{
    SimSetup::replug(SimProfile::logger());
    CLinker *link = window->link();
    QVERIFY(link);
    SimSetup::environment()->watcher()->announceRemoval(); // a USB stick, say
    SimSetup::deliverNotices();
    QCOMPARE(window->link(), link);
    QVERIFY(window->isLinkOpen());
    QVERIFY(lampOn());
}

void RecognitionTest::removalClosesLink_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<Family>("family");
    QTest::newRow("Logger") << SimProfile::logger() << Family::Logger;
    QTest::newRow("Meter, worker running") << SimProfile::meter() << Family::Meter;
}

void RecognitionTest::removalClosesLink()
{
    QFETCH(SimProfile, profile);
    QFETCH(Family, family);
    auto sim = SimSetup::replug(profile);
    QVERIFY(window->link());
    QCOMPARE(window->currentFamily(), family);
    QCOMPARE(sim->readersPeak(), 1);
    sim->unplug();
    SimSetup::deliverNotices();
    QVERIFY(!window->link());
    QVERIFY(!lampOn());
    // The family stays until the next recognition.
    QCOMPARE(window->currentFamily(), family);
    // Plugged in again: opened and recognised again.
    sim->plug();
    SimSetup::deliverNotices();
    QVERIFY(window->link());
    QVERIFY(lampOn());
}

void RecognitionTest::instrumentVanishesBeforeOpen()
{
    SimSetup::unplugAll();
    SimEnvironment *env = SimSetup::environment();
    auto sim = env->plugIn(SimProfile::meter());
    int opens = 0;
    env->transport()->setBeforeOpen([&](const QString &) {
        if (++opens == 3)
            sim->unplug();
    });
    SimSetup::deliverNotices();
    env->transport()->setBeforeOpen(nullptr);
    QVERIFY(opens >= 3);
    QVERIFY(!window->link());
    QVERIFY(!lampOn());
    QVERIFY(dialogs->shown.isEmpty());
    SimSetup::deliverNotices(); // the removal notice finds no link
    QVERIFY(!window->link());
}

void RecognitionTest::unplugDuringCommand_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::newRow("Logger") << SimProfile::logger();
    QTest::newRow("Meter") << SimProfile::meter();
}

void RecognitionTest::unplugDuringCommand()
{
    QFETCH(SimProfile, profile);
    auto sim = SimSetup::replug(profile);
    QVERIFY(window->link());
    dialogs->shown.clear();
    sim->addFault(SimFault::make(SimFault::Kind::Unplug, 0x41, 0x80, 5));
    // A recognised Meter has its page's worker listening on the link.
    MyThread *worker = window->findChild<FirstPageForMeter *>()->worker();
    QCOMPARE(worker != nullptr, profile.family == SimProfile::Family::Meter);
    int b0 = -1, b1 = -1, b2 = -1, b3 = -1;
    QElapsedTimer clock;
    int result = 0;
    {
        WorkerLock locked(worker);
        clock.start();
        result = MainWindow::instance()->commands()->readBlock80(b0, b1, b2, b3);
    }
    // Gone, not "no answer", and before the answer's 6 s time-out: the dead
    // device ended the wait, and the removal is what the user hears of.
    QCOMPARE(result, InstrumentCommands::Gone);
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(b0, -1);
    SimSetup::deliverNotices();
    QVERIFY(!window->link());
    QVERIFY(!lampOn());
    QCOMPARE(dialogs->texts(), QStringList{"The instrument was disconnected."});
}

void RecognitionTest::recognition_data()
{
    QTest::addColumn<SimProfile>("before"); // recognised first
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<int>("page");
    QTest::addColumn<Family>("family");
    QTest::addColumn<QStringList>("messages"); // shown, in this order
    QTest::addColumn<QString>("deviceName");   // on the page shown, "" = not checked

    const SimProfile meter = SimProfile::meter();
    const SimProfile logger = SimProfile::logger();
    QTest::newRow("Logger code from key information")
        << meter << logger << 0 << Family::Logger << QStringList() << "QX101";
    QTest::newRow("Meter code from key information")
        << logger << meter << 1 << Family::Meter << QStringList() << "QX102";
    QTest::newRow("6120035 opens the Logger page")
        << meter << withCode(logger, 6120035) << 0 << Family::Logger << QStringList() << "QX107";
    QTest::newRow("24430108 opens the Meter page")
        << logger << withCode(meter, 24430108) << 1 << Family::Meter << QStringList() << "QX102";
    QTest::newRow("unknown code 1 opens the Meter page")
        << logger << withCode(meter, 1) << 1 << Family::Meter << QStringList() << "UnKnow";
    QTest::newRow("Meter page code on a Logger-like instrument")
        << logger << withCode(logger, 24420064) << 1 << Family::Meter << QStringList() << "QX105";
    QTest::newRow("key information refused, production information read")
        << meter << refusingKeyInfo(withCode(logger, 6120035)) << 0 << Family::Logger
        << QStringList() << "QX107";
    QTest::newRow("key information refused, Meter from production information")
        << logger << refusingKeyInfo(meter) << 1 << Family::Meter << QStringList() << "QX102";

    SimProfile noProbe = refusingKeyInfo(meter);
    noProbe.probeConnected = false;
    QTest::newRow("both refused: no probe, Meter page")
        << logger << noProbe << 1 << Family::Meter << QStringList{"No probe connection!"} << "";

    SimProfile erased = refusingKeyInfo(logger);
    erased.productionInfoErased = true;
    QTest::newRow("erased production block: nothing changes")
        << meter << erased << 1 << Family::Meter
        << QStringList{"读取生产信息checksum错误！",
                       "The instrument is not configured production information!"}
        << "";
    // A loaded PC: the answer comes later than one report wait, well within
    // the protocol's limit.
    SimProfile lateLogger = logger;
    lateLogger.faults << SimFault::make(SimFault::Kind::Delay, 0x20, 0x05, 0, 300);
    QTest::newRow("key information answered late: recognised")
        << meter << lateLogger << 0 << Family::Logger << QStringList() << "QX101";
    SimProfile lateRefusal = refusingKeyInfo(meter);
    lateRefusal.faults << SimFault::make(SimFault::Kind::Delay, 0x20, 0x05, 0, 300);
    QTest::newRow("key information refused late: Meter from production information")
        << logger << lateRefusal << 1 << Family::Meter << QStringList() << "QX102";
    QTest::newRow("key information unanswered: nothing changes")
        << logger << withFault(meter, SimFault::Kind::NoAnswer, 0x20, 0x05) << 0 << Family::Logger
        << QStringList{"Read key infomation fail!"} << "";
    QTest::newRow("key information with wrong header")
        << meter << withFault(logger, SimFault::Kind::WrongHeader, 0x20, 0x05) << 1 << Family::Meter
        << QStringList{"Read key infomation fail!"} << "";
    QTest::newRow("key information with bad trailer")
        << meter << withFault(logger, SimFault::Kind::BadTrailer, 0x20, 0x05) << 1 << Family::Meter
        << QStringList{"Message format error！", "Read key infomation fail!"} << "";
    QTest::newRow("production information with wrong header")
        << logger << withFault(refusingKeyInfo(meter), SimFault::Kind::WrongHeader, 0x47, 0) << 0
        << Family::Logger << QStringList{"读取生产信息接收的报文格式错误！"} << "";
    QTest::newRow("key information after stray bytes")
        << meter << withFault(logger, SimFault::Kind::StrayBytes, 0x20, 0x05, 3) << 1
        << Family::Meter << QStringList{"Message format error！", "Read key infomation fail!"}
        << "";
}

void RecognitionTest::recognition()
{
    QFETCH(SimProfile, before);
    QFETCH(SimProfile, profile);
    QFETCH(int, page);
    QFETCH(Family, family);
    QFETCH(QStringList, messages);
    QFETCH(QString, deviceName);

    SimSetup::replug(before);
    QVERIFY(window->currentFamily() != Family::None);
    QCOMPARE(pageIndex(), window->currentFamily() == Family::Logger ? 0 : 1);
    dialogs->shown.clear();

    SimSetup::replug(profile);
    QVERIFY(window->link());
    QVERIFY(lampOn());
    QCOMPARE(pageIndex(), page);
    QCOMPARE(window->currentFamily(), family);

    // The recognition's own messages, exactly these and in this order.
    QStringList seen;
    for (const QString &text : dialogs->texts())
        if (kRecognitionMessages.contains(text) || messages.contains(text))
            seen << text;
    QCOMPARE(seen, messages);
    for (const DialogRecorder::Shown &s : dialogs->shown) {
        if (kRecognitionMessages.contains(s.text)) {
            QCOMPARE(s.title, QStringLiteral("Warn"));
            QCOMPARE(s.parent.data(), static_cast<QWidget *>(window));
        }
    }

    if (!deviceName.isEmpty()) {
        QWidget *shown =
            window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget();
        const QLineEdit *name = shown->findChild<QLineEdit *>(QStringLiteral("DeviceNameEdit"));
        QVERIFY(name);
        QCOMPARE(name->text(), deviceName);
    }
}

void RecognitionTest::identityFromInstrument_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<QString>("version");
    SimProfile p = SimProfile::logger();
    p.firmware = 21;
    QTest::newRow("firmware 2.1") << p << "2.1";
    p.firmware = 105;
    QTest::newRow("firmware 10.5") << p << "10.5";
    p.firmware = 100;
    p.keyInfoSupported = false;
    QTest::newRow("firmware 10.0, production information") << p << "10.0";
}

void RecognitionTest::identityFromInstrument()
{
    QFETCH(SimProfile, profile);
    QFETCH(QString, version);
    SimSetup::replug(profile);
    InstrumentCommands *commands = MainWindow::instance()->commands();
    quint16 tenths = 0;
    QCOMPARE(commands->readSoftwareVersion(tenths), 1);
    QCOMPARE(tenths, profile.firmware);
    QCOMPARE(Identity::versionText(tenths), version);

    KeyInfo key;
    ProductionInfo production;
    if (profile.keyInfoSupported) {
        QCOMPARE(commands->readKeyInfo(key), 1);
        QCOMPARE(key.serialNumber, profile.serialNumber);
        QCOMPARE(key.deviceType, profile.typeCode);
        QCOMPARE(key.productionDate, profile.productionDate);
        QCOMPARE(key.marker, quint8(0xA5));
    } else {
        QCOMPARE(commands->readKeyInfo(key), -5);
        QCOMPARE(commands->readProductionInfo(production), 1);
        QCOMPARE(production.serialNumber, profile.serialNumber);
        QCOMPARE(production.deviceType, profile.typeCode);
        QCOMPARE(production.productionDate, profile.productionDate);
    }
    QDate calibration;
    QCOMPARE(commands->readCalibrationDate(calibration), 1);
    QCOMPARE(calibration, profile.calibrationDate);

    QWidget *shown =
        window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget();
    const QLineEdit *firmware =
        shown->findChild<QLineEdit *>(QStringLiteral("FirmwareVersionEdit"));
    QVERIFY(firmware);
    QCOMPARE(firmware->text(), version);
}

void RecognitionTest::modelTable_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("meterName");
    QTest::addColumn<QString>("loggerName");
    QTest::addColumn<bool>("logger");
    struct Row
    {
        quint32 code;
        const char *name;
        bool logger;
        bool m;
        bool l;
    };
    const Row rows[] = {
        {4410018, "QX117", false, true, false},
        {4410029, "QX118", false, true, false},
        {4410031, "QX107", true, false, true},
        {4410042, "QX119", false, true, false},
        {6120013, "QX116", false, true, false},
        {6120024, "QX113", false, true, false},
        {6120035, "QX107", true, false, true},
        {6120046, "QX114", false, true, false},
        {6120057, "QX115", false, true, false},
        {6120068, "QX112", false, true, false},
        {6120079, "QX109", false, true, false},
        {6120081, "QX110", false, true, false},
        {6120092, "QX111", false, true, false},
        {6120103, "QX108", false, true, false},
        {24410018, "QX117", true, true, true},
        {24410029, "QX118", false, true, false},
        {24410031, "QX107", true, true, true},
        {24410042, "QX119", false, true, false},
        {24420053, "QX104", true, true, true},
        {24420064, "QX105", false, true, false},
        {24420075, "QX106", true, true, true},
        {24430086, "QX103", true, true, true},
        {24430097, "QX101", true, true, true},
        {24430108, "QX102", false, true, false},
        {26120013, "QX116", false, true, false},
        {26120024, "QX113", false, true, false},
        {26120046, "QX114", false, true, false},
        {26120057, "QX115", false, true, false},
        {26120068, "QX112", false, true, false},
        {26120079, "QX109", false, true, false},
        {26120081, "QX110", false, true, false},
        {26120092, "QX111", false, true, false},
        {26120103, "QX108", false, true, false},
        // Not in the table: unknown to both pages, and a Meter to the main window.
        {1, "UnKnow", false, false, false},
        {0, "UnKnow", false, false, false},
        {26120035, "UnKnow", false, false, false},
        {4410030, "UnKnow", false, false, false},
        {0xFFFFFFFFu, "UnKnow", false, false, false},
    };
    for (const Row &r : rows)
        QTest::addRow("%u", r.code) << r.code << QString::fromLatin1(r.m ? r.name : "UnKnow")
                                    << QString::fromLatin1(r.l ? r.name : "UnKnow") << r.logger;
    int count = 0;
    ModelTable::models(&count);
    QCOMPARE(count, 33);
}

void RecognitionTest::modelTable()
{
    QFETCH(quint32, code);
    QFETCH(QString, meterName);
    QFETCH(QString, loggerName);
    QFETCH(bool, logger);
    QCOMPARE(ModelTable::meterName(code), meterName);
    QCOMPARE(ModelTable::loggerName(code), loggerName);
    QCOMPARE(ModelTable::isLoggerCode(code), logger);
    QCOMPARE(ModelTable::family(code) == ModelTable::Family::Logger, logger);
}

void RecognitionTest::windowPaintsWhileAnAnswerIsAwaited()
{
    // A Logger that is slow to answer the software version read: the window
    // keeps painting, with a busy cursor, while the page's device read waits.
    SimProfile silent = SimProfile::logger();
    silent.faults << SimFault::make(SimFault::Kind::Hold, 0x20, 0x1C);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    struct Watch : QObject
    {
        int paints = 0;
        int busyPaints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                ++paints;
                const QCursor *cursor = QApplication::overrideCursor();
                if (cursor && cursor->shape() == Qt::BusyCursor)
                    ++busyPaints;
            }
            return false;
        }
    } watch;
    window->installEventFilter(&watch);
    // The key information's answer is held back until the window has been
    // painted three times with the busy cursor during the wait for it.
    LoggerSupport::Ticker repaint([&watch] {
        MainWindow::instance()->update();
        auto sim = SimSetup::instrument();
        if (sim && sim->heldAnswers() > 0 && watch.busyPaints >= 3)
            sim->releaseHeld();
    }, 20);
    SimSetup::replug(silent);
    repaint.timer.stop();
    window->removeEventFilter(&watch);
    window->hide();
    QVERIFY2(watch.busyPaints >= 3, qPrintable(QString::number(watch.busyPaints)));
    QCOMPARE(window->currentFamily(), MainWindow::Family::Logger);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(RecognitionTest)
#include "test_recognition.moc"
