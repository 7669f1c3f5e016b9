// CLinkerUSB on the simulated transport: collection passes, resynchronisation
// on 0xAB, time-outs, writes and the trace lines.
#include "frames.h"
#include "link/clinkerusb.h"
#include "protocol/frame.h"
#include "sim/simenvironment.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

QStringList traces;

void recordTrace(QtMsgType, const QMessageLogContext &, const QString &message)
{
    traces << message;
}

SimProfile meterProfile()
{
    SimProfile p = SimProfile::meter();
    p.usbSerial = QStringLiteral("M1");
    return p;
}

const QByteArray kKeyInfoRequest = withTrailer("AB 20 05 00 12 00");
const QByteArray kBlock80Request = withTrailer("AB 41 80 00 00 00 06 00");

} // namespace

Q_DECLARE_METATYPE(SimFault)

class LinkUsbTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openTraces();
    void answerWithStrayBytes_data();
    void answerWithStrayBytes();
    void noStartByteRunsToTimeOut();
    void timeoutZeroReturnsRaw();
    void timeoutZeroEndsAtGap();
    void passEndsWhenTheAnswerIsWhole();
    void answerSplitOverAGapIsAssembled();
    void twoAnswersBackToBack();
    void wantedLengthBeyondWorkArea();
    void writeFailure();
    void unplugDuringAnswer();
    void removedAndOpenFlags();

private:
    SimEnvironment *env = nullptr;
    std::shared_ptr<SimInstrument> sim;
    CLinker *link = nullptr;
    QtMessageHandler previous = nullptr;
};

void LinkUsbTest::init()
{
    traces.clear();
    previous = qInstallMessageHandler(recordTrace);
    env = new SimEnvironment;
    sim = env->plugIn(meterProfile());
    link = env->openLink(0x2047, 0x0301);
    QVERIFY(link);
}

void LinkUsbTest::cleanup()
{
    delete link;
    link = nullptr;
    sim.reset();
    delete env;
    qInstallMessageHandler(previous);
}

void LinkUsbTest::openTraces()
{
    QCOMPARE(traces, QStringList{"hidDevice Open success!\n"});
    env->removeAll();
    traces.clear();
    QVERIFY(!env->openLink(0x2047, 0x0301));
    QCOMPARE(traces, QStringList{"hidDevice Open error!\n"});
}

void LinkUsbTest::answerWithStrayBytes_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::newRow("two stray bytes") << SimFault::make(SimFault::Kind::StrayBytes, 0x41, 0x80, 2);
    QTest::newRow("a report of stray bytes")
        << SimFault::make(SimFault::Kind::StrayBytes, 0x41, 0x80, 62);
    QTest::newRow("split after the header")
        << SimFault::make(SimFault::Kind::Split, 0x41, 0x80, 8, 10);
    QTest::newRow("split into a report of one byte")
        << SimFault::make(SimFault::Kind::Split, 0x41, 0x80, 1, 0);
    QTest::newRow("foreign report first")
        << SimFault::make(SimFault::Kind::ForeignReport, 0x41, 0x80);
    QTest::newRow("late answer") << SimFault::make(SimFault::Kind::Delay, 0x41, 0x80, 0, 300);
}

void LinkUsbTest::answerWithStrayBytes()
{
    QFETCH(SimFault, fault);
    sim->addFault(fault);
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QByteArray buffer;
    const int r = link->read(buffer, 6000, 16);
    QCOMPARE(r, 16);
    QCOMPARE(buffer, longAnswer(0x41, 0x80, sim->block80()));
}

void LinkUsbTest::noStartByteRunsToTimeOut()
{
    sim->queueStream(QByteArray(40, char(0x11)));
    QByteArray buffer;
    QElapsedTimer clock;
    clock.start();
    const int r = link->read(buffer, 200, 16);
    QVERIFY(buffer.isEmpty());
    QVERIFY(clock.elapsed() >= 200);
    QCOMPARE(r, 0); // the last pass found nothing
    QVERIFY(traces.contains(QStringLiteral("hidDevice ReadMessage error!\n")));
}

void LinkUsbTest::timeoutZeroReturnsRaw()
{
    sim->addFault(SimFault::make(SimFault::Kind::StrayBytes, 0x41, 0x80, 3));
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QByteArray buffer("xy");
    const int r = link->read(buffer, 0, 142090);
    QCOMPARE(r, 2 + 3 + 16);
    QCOMPARE(buffer.left(5), QByteArray("xy\x5A\x5A\x5A"));
    QCOMPARE(buffer.mid(5), longAnswer(0x41, 0x80, sim->block80()));
    // Nothing more: 0 and the buffer untouched.
    QCOMPARE(link->read(buffer, 0, 16), 0);
    QCOMPARE(buffer.size(), 21);
}

void LinkUsbTest::timeoutZeroEndsAtGap()
{
    // One pass ends at the first pause of 50 ms; the rest comes with the next.
    sim->addFault(SimFault::make(SimFault::Kind::Split, 0x41, 0x80, 5, 3000));
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QByteArray buffer;
    QCOMPARE(link->read(buffer, 0, 16), 5);
    QVERIFY(QTest::qWaitFor([&] { return link->read(buffer, 0, 16) == 16; }, 30000));
    QCOMPARE(buffer, longAnswer(0x41, 0x80, sim->block80()));
}

void LinkUsbTest::passEndsWhenTheAnswerIsWhole()
{
    // Two answers back to back: a pass told what makes the first one whole
    // stops there and leaves the second to the next read; drain() then
    // discards it, so that it cannot be taken for the answer to a new request.
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    const QByteArray answer = longAnswer(0x41, 0x80, sim->block80());
    QTRY_COMPARE(sim->pendingReports(), 2);
    QByteArray buffer;
    int asked = 0;
    QCOMPARE(link->collect(buffer, [&asked](const QByteArray &b) { ++asked; return b.size() >= 16; }),
             16);
    QCOMPARE(buffer, answer);
    QCOMPARE(asked, 1);
    link->drain();
    QCOMPARE(link->read(buffer, 0, 16), 0);
    QCOMPARE(buffer, answer);
    // Without a test the pass takes everything up to the pause.
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    buffer.clear();
    QCOMPARE(link->collect(buffer, nullptr), 32);
    QCOMPARE(buffer, answer + answer);
}

void LinkUsbTest::answerSplitOverAGapIsAssembled()
{
    sim->addFault(SimFault::make(SimFault::Kind::Split, 0x20, 0x05, 10, 150));
    QCOMPARE(link->write(kKeyInfoRequest, 1000), kKeyInfoRequest.size());
    QByteArray buffer;
    QCOMPARE(link->read(buffer, 1000, 26), 26);
    QVERIFY(Frame::trailerMatches(buffer, 26));
}

void LinkUsbTest::twoAnswersBackToBack()
{
    // The first answer is held back and sent together with the second.
    sim->addFault(SimFault::make(SimFault::Kind::Merge, 0x41, 0x80));
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    const QByteArray answer = longAnswer(0x41, 0x80, sim->block80());
    QByteArray buffer;
    QCOMPARE(link->read(buffer, 6000, 16), 16);
    QCOMPARE(buffer, answer);
    QCOMPARE(sim->pendingReports(), 0);
    // The second answer waits in the HID layer's left-overs.
    buffer.clear();
    QCOMPARE(link->read(buffer, 6000, 16), 16);
    QCOMPARE(buffer, answer);
    // After stray bytes the pass may take in more than one answer: the
    // surplus stays in the buffer for the caller.
    sim->queueStream(hexBytes("01 02 03 04"));
    sim->addFault(SimFault::make(SimFault::Kind::Merge, 0x41, 0x80));
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    buffer.clear();
    QCOMPARE(link->read(buffer, 6000, 16), 28);
    QCOMPARE(buffer, answer + answer.left(12));
}

void LinkUsbTest::wantedLengthBeyondWorkArea()
{
    QByteArray stream = QByteArray(1, char(0xAB)) + QByteArray(13999, char(0x22));
    sim->queueStream(stream);
    QByteArray buffer;
    QCOMPARE(link->read(buffer, 3000, 14000), 14000);
    QCOMPARE(buffer, stream);
}

void LinkUsbTest::writeFailure()
{
    sim->addFault(SimFault::make(SimFault::Kind::WriteTimeout, 0x41));
    QCOMPARE(link->write(kBlock80Request, 1000), -1);
    QVERIFY(traces.contains(QStringLiteral("hidDevice WriteMessage error! ret = 0\n")));
    QCOMPARE(link->write(kBlock80Request, 1000), kBlock80Request.size());
    // An empty write sends nothing and is not counted as written.
    traces.clear();
    const int before = sim->writtenReports().size();
    QCOMPARE(link->write(QByteArray(), 1000), 0);
    QCOMPARE(sim->writtenReports().size(), before);
}

void LinkUsbTest::unplugDuringAnswer()
{
    sim->addFault(SimFault::make(SimFault::Kind::Unplug, 0x47, 0x00, 12));
    const QByteArray request = withTrailer("AB 47 00 00 00 00 14 00");
    QCOMPARE(link->write(request, 1000), request.size());
    QByteArray buffer;
    QElapsedTimer clock;
    clock.start();
    const int r = link->read(buffer, 6000, 30);
    QVERIFY(r <= 0);
    QVERIFY(buffer.size() < 30);
    // A dead device ends the wait instead of spinning to the time-out.
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(link->deviceRemoved());
    QCOMPARE(link->write(request, 1000), -1);
}

void LinkUsbTest::removedAndOpenFlags()
{
    QVERIFY(link->isOpen());
    QVERIFY(!link->deviceRemoved());
    link->close();
    QVERIFY(!link->isOpen());
    QCOMPARE(link->write(kBlock80Request, 1000), -1);
    QByteArray buffer;
    QCOMPARE(link->read(buffer, 0, 16), 0);
}

QTEST_GUILESS_MAIN(LinkUsbTest)
#include "test_linkusb.moc"
