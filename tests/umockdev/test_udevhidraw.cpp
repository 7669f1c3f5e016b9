// The program as a user runs it: the hidapi transport and the udev watcher
// that the entry point installs, against emulated instruments (hidraw nodes
// served by the simulator, with udev's arrival and removal notices). ctest
// runs it under umockdev-wrapper.
#include "app/instrumentaccess.h"
#include "app/mainwindow.h"
#include "download/loggerdownload.h"
#include "download/meterdownload.h"
#include "download/mythread.h"
#include "gui/uiseam.h"
#include "hidrawtestbed.h"
#include "link/clinkerusb.h"
#include "link/hidapitransport.h"
#include "link/udevdevicewatcher.h"
#include "loggersupport.h"
#include "meter/firstpageformeter.h"
#include "metertestsupport.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "session/metersession.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTableWidget>
#include <QtTest>

#include <poll.h>

Q_DECLARE_METATYPE(SimProfile)
Q_DECLARE_METATYPE(MainWindow::Family)

namespace {

using Family = MainWindow::Family;
constexpr quint16 kVid = 0x2047;
constexpr quint16 kPid = 0x0301;

QVector<float> ramp(int count)
{
    QVector<float> v(count);
    for (int i = 0; i < count; ++i)
        v[i] = 0.5f + float(i % 41) * 0.25f;
    return v;
}

// A Logger with one run of 300 samples: its answer spans many reports.
SimProfile logger(const QString &usbSerial = QStringLiteral("VT23110042"))
{
    SimProfile p = LoggerSupport::loggerProfile(
        {LoggerSupport::run(QDateTime(QDate(2024, 5, 6), QTime(9, 30)), ramp(300))});
    p.usbSerial = usbSerial;
    return p;
}

SimProfile meter(const QString &usbSerial = QStringLiteral("VT23110043"))
{
    SimProfile p = MeterTest::meterProfile(MeterTest::kProfile1Code, 1,
                                           {MeterTest::workedRecord(),
                                            MeterTest::record(1.5f, 2.5f, 0.5f, 1.25f, 30.f, 20.f),
                                            MeterTest::record(3.f, 4.f, 2.f, 3.f, 12.f, 4.f)});
    p.usbSerial = usbSerial;
    return p;
}

SimProfile withUnplug(SimProfile p, quint32 address, int bytesFirst)
{
    p.faults << SimFault::make(SimFault::Kind::Unplug, 0x42, address, bytesFirst);
    return p;
}

} // namespace

class UdevHidrawTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void plugRecogniseDownloadUnplug_data();
    void plugRecogniseDownloadUnplug();
    void unplugDuringDownloadThenReplug_data();
    void unplugDuringDownloadThenReplug();
    void twoInstruments_data();
    void twoInstruments();
    void accessRetryAfterArrival_data();
    void accessRetryAfterArrival();
    void readFailsWithoutWatcher_data();
    void readFailsWithoutWatcher();
    void cleanupTestCase();

private:
    bool lampOn() const;
    // Runs the download of the recognised family's page; the number of
    // runs or records it shows.
    int download(Family family);
    QString linkPath() const;

    HidrawTestbed *testbed = nullptr;
    MainWindow *window = nullptr;
    UdevDeviceWatcher *watcher = nullptr;
    std::unique_ptr<DialogRecorder> dialogs;
};

bool UdevHidrawTest::lampOn() const
{
    const QLabel *lamp = window->findChild<QLabel *>(QStringLiteral("LinkStatusLabel"));
    const QPixmap shown = lamp->pixmap(Qt::ReturnByValue);
    return !shown.isNull() && shown.toImage() == QPixmap(":/image/led_on.png").toImage();
}

int UdevHidrawTest::download(Family family)
{
    if (family == Family::Logger) {
        LoggerSupport::invoke("on_GetDataBtn_clicked");
        return LoggerSupport::rows();
    }
    MeterTest::button("GetDataBtn")->click();
    if (!MeterTest::waitUntilIdle(12000))
        return -1;
    return MeterTest::table()->rowCount();
}

QString UdevHidrawTest::linkPath() const
{
    const auto *usb = dynamic_cast<CLinkerUSB *>(window->link());
    return usb ? usb->path() : QString();
}

void UdevHidrawTest::initTestCase()
{
    testbed = new HidrawTestbed; // before the watcher's udev monitor
    if (!testbed->active())
        VANTREL_SKIP_UNLESS_CI("not under umockdev-wrapper (ctest runs this program under it)");
    dialogs = std::make_unique<DialogRecorder>();
    // What the entry point installs when not simulating.
    QString error;
    QVERIFY2(configureInstrumentAccess({QStringLiteral("vantrel")}, this, &error),
             qPrintable(error));
    watcher = findChild<UdevDeviceWatcher *>();
    QVERIFY(watcher);
    window = MainWindow::instance();
    QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked", Qt::DirectConnection);
    // The start-up (watcher, first open) has run once the lamp shows.
    QTRY_VERIFY(
        !window->findChild<QLabel *>("LinkStatusLabel")->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!window->link());
}

void UdevHidrawTest::cleanup()
{
    HidrawTestbed::refuseOpens(0);
    testbed->removeAll();
    QTRY_VERIFY(!window->link());
    // The removal notices are all in the monitor's socket by now: deliver
    // every one, so that none is counted by the next test.
    const auto *notifier = watcher->findChild<QSocketNotifier *>();
    QVERIFY(notifier);
    pollfd pending{int(notifier->socket()), POLLIN, 0};
    while (poll(&pending, 1, 0) > 0)
        QCoreApplication::processEvents();
    dialogs->clear();
}

void UdevHidrawTest::cleanupTestCase()
{
    delete testbed;
}

void UdevHidrawTest::plugRecogniseDownloadUnplug_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<Family>("family");
    QTest::addColumn<int>("items");
    QTest::newRow("Logger: one run of 300 samples") << logger() << Family::Logger << 1;
    QTest::newRow("Meter: three records") << meter() << Family::Meter << 3;
    // Opened by its stand-in name "SerNum 0".
    QTest::newRow("Logger without a USB serial number") << logger(QString()) << Family::Logger << 1;
    // As on a loaded PC: the identity answer comes later than one report wait.
    SimProfile late = logger(QString());
    late.faults << SimFault::make(SimFault::Kind::Delay, 0x20, 0x05, 0, 300);
    QTest::newRow("Logger whose identity answer comes late") << late << Family::Logger << 1;
}

void UdevHidrawTest::plugRecogniseDownloadUnplug()
{
    QFETCH(SimProfile, profile);
    QFETCH(Family, family);
    QFETCH(int, items);
    HidrawInstrument *instrument = testbed->plugIn(profile);
    QVERIFY(!window->link()); // opened by the arrival notice, not before
    QTRY_VERIFY(window->link());
    QCOMPARE(linkPath(), instrument->node());
    QVERIFY(lampOn());
    QCOMPARE(window->currentFamily(), family);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));

    QCOMPARE(download(family), items);
    if (family == Family::Logger)
        QCOMPARE(LoggerSupport::page()->runPayload(0), profile.runs.first().payload());
    else
        QCOMPARE(MeterTest::row(2),
                 (QStringList{"3", "12.0000", "4.0", "3.0000", "4.0000", "2.0000", "3.0000"}));
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    if (family == Family::Meter) {
        // "Get Data" again once the worker sleeps on the node, far longer than
        // the hang limit: the page's lock wakes it (the eventfd beside the node).
        constexpr int kHangMs = 30000;
        MeterTest::page()->worker()->setListenMs(2 * kHangMs);
        QTRY_VERIFY_WITH_TIMEOUT(!MeterTest::page()->session()->passOpen(), kHangMs);
        QElapsedTimer asked;
        asked.start();
        MeterTest::button("GetDataBtn")->click(); // returns once the requests are out
        QVERIFY2(asked.elapsed() < kHangMs, "the worker's read was not woken for the lock");
        QVERIFY(MeterTest::waitUntilIdle(12000));
        QCOMPARE(MeterTest::table()->rowCount(), items);
    }

    // Pulled out: the removal notice closes the link and the user is told.
    instrument->unplug();
    QVERIFY(window->link());
    QTRY_VERIFY(!window->link());
    QVERIFY(!lampOn());
    QCOMPARE(dialogs->shown.size(), 1);
}

void UdevHidrawTest::unplugDuringDownloadThenReplug_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<Family>("family");
    QTest::addColumn<int>("items");
    QTest::addColumn<bool>("glitch"); // plugged in again before the download has ended
    // The instrument pulls out after part of the answer has come.
    QTest::newRow("Logger: in the middle of the run")
        << withUnplug(logger(), 0x180, 700) << Family::Logger << 1 << false;
    QTest::newRow("Meter: in the second record")
        << withUnplug(meter(), 0x108, 10) << Family::Meter << 3 << false;
    // A loose plug: out and in again while the run is being read (its answer
    // stops for 5 s after 700 bytes, and the plug goes then: the pause is
    // long enough for any machine to see it, short of the 10 s silence limit).
    SimProfile pausing = logger();
    pausing.faults << SimFault::make(SimFault::Kind::Split, 0x42, 0x180, 700, 5000);
    QTest::newRow("Logger: out and in again during the run")
        << pausing << Family::Logger << 1 << true;
}

void UdevHidrawTest::unplugDuringDownloadThenReplug()
{
    QFETCH(SimProfile, profile);
    QFETCH(Family, family);
    QFETCH(int, items);
    QFETCH(bool, glitch);
    HidrawInstrument *instrument = testbed->plugIn(profile);
    QTRY_VERIFY(window->link());
    QCOMPARE(window->currentFamily(), family);
    const QString firstNode = instrument->node();

    bool replugged = false;
    LoggerSupport::Ticker ticker([&] {
        if (glitch && !replugged && instrument->sim()->pendingReports() > 0 &&
            !LoggerSupport::requestsWith(instrument->sim(), 0x42).isEmpty()) {
            replugged = true;
            instrument->unplug();
            instrument->plug();
        }
    });
    QElapsedTimer clock;
    clock.start();
    const int got = download(family);
    // The read ends with the unplug, not after the 10 s silence limit.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(got < items);
    QVERIFY(!dialogs->shown.isEmpty()); // the user is told
    QCOMPARE(replugged, glitch);
    if (!glitch) {
        QTRY_VERIFY(!window->link()); // the removal path has run
        QVERIFY(!lampOn());
        // The failed read closes the link at once; the emulation takes the
        // devices out of sysfs from its own queued call.
        QTRY_VERIFY(!instrument->isPlugged());
        // Plugged in again: a new node, opened, recognised and downloaded.
        instrument->sim()->clearFaults();
        instrument->plug();
    }
    QVERIFY(instrument->node() != firstNode);
    QTRY_COMPARE(linkPath(), instrument->node());
    QCOMPARE(window->currentFamily(), family);
    QVERIFY(lampOn());
    QCOMPARE(download(family), items);
}

void UdevHidrawTest::twoInstruments_data()
{
    QTest::addColumn<bool>("heldListedFirst"); // the window's instrument comes first in the listing
    QTest::addColumn<bool>("pullOpened");
    QTest::newRow("held one listed first, the other pulled out: the link stays") << true << false;
    QTest::newRow("held one listed last, the open one pulled out: the link closes")
        << false << true;
}

void UdevHidrawTest::twoInstruments()
{
    QFETCH(bool, heldListedFirst);
    QFETCH(bool, pullOpened);
    QSignalSpy arrivals(watcher, &DeviceWatcher::deviceArrived);
    QSignalSpy removals(watcher, &DeviceWatcher::deviceRemoveComplete);
    // Each instrument is heard twice, as its USB device and as its hidraw
    // node; its USB interface and HID device are not.
    testbed->setNextNode(heldListedFirst ? 20 : 31);
    HidrawInstrument *first = testbed->plugIn(logger(QStringLiteral("VT-A1")));
    QTRY_COMPARE(arrivals.count(), 2);
    QVERIFY(window->link());
    QCOMPARE(linkPath(), first->node());

    // A second instrument: its arrival is heard, the open link is kept.
    testbed->setNextNode(heldListedFirst ? 21 : 30);
    HidrawInstrument *second = testbed->plugIn(meter(QStringLiteral("VT-B2")));
    QTRY_COMPARE(arrivals.count(), 4);
    QCOMPARE(linkPath(), first->node());
    QCOMPARE(window->currentFamily(), Family::Logger);

    // The other instrument is found by its serial number over hidapi,
    // wherever the busy one stands in the listing; the one the window holds
    // cannot be opened a second time.
    HidapiTransport transport;
    QCOMPARE(transport.enumerate(kVid, kPid).first().path,
             heldListedFirst ? first->node() : second->node());
    const libHidDevice::SerialList serials =
        libHidDevice::collectSerialNumbers(&transport, kVid, kPid);
    QCOMPARE(serials.texts, QStringList{"VT-B2"});
    CLinkerUSB other(&transport);
    QCOMPARE(other.open(kVid, kPid, QStringLiteral("VT-A1")), -1);
    QCOMPARE(other.open(kVid, kPid, QStringLiteral("VT-B2")), 0);
    QCOMPARE(other.path(), second->node());
    other.close();
    CLinkerUSB any(&transport);
    QCOMPARE(any.open(kVid, kPid), 0);
    QCOMPARE(any.path(), second->node());
    any.close();

    HidrawInstrument *pulled = pullOpened ? first : second;
    pulled->unplug();
    QTRY_COMPARE(removals.count(), 2);
    QCOMPARE(!window->link(), pullOpened);
    if (!pullOpened) {
        // The link to the first instrument still works.
        QCOMPARE(linkPath(), first->node());
        QVERIFY(!window->link()->deviceRemoved());
        QCOMPARE(download(Family::Logger), 1);
    }
}

void UdevHidrawTest::accessRetryAfterArrival_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("opened");
    QTest::newRow("access granted after two refusals") << 2 << true;
    QTest::newRow("never granted: given up, no link") << 1000 << false;
}

void UdevHidrawTest::accessRetryAfterArrival()
{
    QFETCH(int, refusals);
    QFETCH(bool, opened);
    QSignalSpy arrivals(watcher, &DeviceWatcher::deviceArrived);
    HidrawTestbed::refuseOpens(refusals);
    HidrawInstrument *instrument = testbed->plugIn(logger());
    // Both arrivals (USB device, hidraw node) have been handled by the window.
    QTRY_COMPARE(arrivals.count(), 2);
    QCOMPARE(window->link() != nullptr, opened);
    if (opened) {
        QCOMPARE(HidrawTestbed::refusedOpens(), refusals);
        QCOMPARE(linkPath(), instrument->node());
        QCOMPARE(window->currentFamily(), Family::Logger);
        return;
    }
    // Each arrival's open tried 7 times (about 300 ms), then gave up.
    QCOMPARE(HidrawTestbed::refusedOpens(), 2 * 7);
    // Access given, the next plug-in opens it.
    HidrawTestbed::refuseOpens(0);
    instrument->unplug();
    instrument->plug();
    QTRY_COMPARE(linkPath(), instrument->node());
}

void UdevHidrawTest::readFailsWithoutWatcher_data()
{
    // What the command line does: its own link on the real transport, no
    // device watcher and no event loop while it waits, so nothing but the
    // failed read of the pulled instrument can end the wait. Pulled out
    // after `bytes` bytes of the answer to the request.
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("bytes");
    QTest::newRow("a command: gone, well before its 6 s answer time-out")
        << logger() << 0x41 << 0x80 << 5;
    QTest::newRow("a Logger run: lost, not silent for 10 s") << logger() << 0x42 << 0x180 << 700;
    // (In the last record, so that every request has gone out before.)
    QTest::newRow("Meter records: lost, not timed out after 10 s")
        << meter() << 0x42 << 0x120 << 10;
}

void UdevHidrawTest::readFailsWithoutWatcher()
{
    QFETCH(SimProfile, profile);
    QFETCH(int, command);
    QFETCH(int, address);
    QFETCH(int, bytes);
    HidrawInstrument *instrument = testbed->plugIn(profile);
    QTRY_VERIFY(window->link());
    // The window lets go of it; the test's link takes it.
    QMetaObject::invokeMethod(window, "CloseUSB", Qt::DirectConnection);
    HidapiTransport transport;
    CLinkerUSB usb(&transport);
    QCOMPARE(usb.open(kVid, kPid), 0);
    QCOMPARE(usb.path(), instrument->node());
    InstrumentLink link;
    link.setLink(&usb);
    InstrumentCommands commands(&link);
    instrument->sim()->addFault(
        SimFault::make(SimFault::Kind::Unplug, command, quint32(address), bytes));

    QElapsedTimer clock;
    clock.start();
    if (command != 0x42) {
        int b0 = 0, b1 = 0, b2 = 0, b3 = 0;
        QCOMPARE(commands.readBlock80(b0, b1, b2, b3), InstrumentCommands::Gone);
        // (Generous: the mark is the answer time-out, 6 s.)
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    } else if (profile.family == SimProfile::Family::Logger) {
        LoggerDownload download(&commands);
        LoggerDownload::Run run;
        QCOMPARE(download.downloadRun(0, &run), LoggerDownload::Outcome::LinkLost);
    } else {
        MeterDownload download(&link);
        MeterDownload::Collected collected;
        QCOMPARE(download.run(3, &collected), MeterDownload::Result::LinkLost);
    }
    QVERIFY(usb.deviceRemoved());
    usb.close();
}

QTEST_MAIN(UdevHidrawTest)
#include "test_udevhidraw.moc"
