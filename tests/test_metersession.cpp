// The Meter session without any window: its worker, the record requests and
// the end of a download against the simulated Meter, one row per outcome.
#include "download/mythread.h"
#include "link/clinker.h"
#include "protocol/frame.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "session/metersession.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(SimFault)

namespace {

// Generous: only ends a hung test. The time-out row waits the session's 10 s.
constexpr int kHangMs = 30000;

enum class Act
{
    Nothing,
    CancelOnceTwoArrived, // cancel() once the answers of two records are in
    // Once two are in, the removal comes while the third answer is still on
    // its way from the stopped worker (posted, not yet delivered).
    RemoveWithLastAnswerPosted,
    // Once it has ended and the worker sleeps on the device (a pass far
    // longer than the hang limit), the lock for a second download.
    AgainRightAfter
};

} // namespace

Q_DECLARE_METATYPE(Act)
Q_DECLARE_METATYPE(MeterData)

class MeterSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<MeterData>(); }
    void outcomes_data();
    void outcomes();
};

void MeterSessionTest::outcomes_data()
{
    QTest::addColumn<QList<SimFault>>("faults");
    QTest::addColumn<Act>("act");
    QTest::addColumn<MeterSession::Outcome>("outcome");
    QTest::addColumn<QList<int>>("numbers"); // of the records delivered
    QTest::addColumn<QList<int>>("missing");
    QTest::addColumn<QList<int>>("asked"); // the records requested, in order
    const QList<int> each{1, 2, 3};

    QTest::newRow("complete: all three records")
        << QList<SimFault>{} << Act::Nothing << MeterSession::Outcome::Complete
        << QList<int>{1, 2, 3} << QList<int>{} << each;
    QTest::newRow("record 2 refused: the others kept, 2 named")
        << QList<SimFault>{SimFault::make(SimFault::Kind::Refusal, 0x42, 0x108)} << Act::Nothing
        << MeterSession::Outcome::Complete << QList<int>{1, 3} << QList<int>{2} << each;
    QTest::newRow("unplugged while record 3 arrives: ends at once with 1 and 2")
        << QList<SimFault>{SimFault::make(SimFault::Kind::Unplug, 0x42, 0x120, 10)} << Act::Nothing
        << MeterSession::Outcome::Removed << QList<int>{1, 2} << QList<int>{3} << each;
    QTest::newRow("cancelled while record 3 is held")
        << QList<SimFault>{SimFault::make(SimFault::Kind::Hold, 0x42, 0x120)}
        << Act::CancelOnceTwoArrived << MeterSession::Outcome::Cancelled << QList<int>{1, 2}
        << QList<int>{3} << each;
    QTest::newRow("removed while the last answer is on its way: complete, told once")
        << QList<SimFault>{SimFault::make(SimFault::Kind::Hold, 0x42, 0x120)}
        << Act::RemoveWithLastAnswerPosted << MeterSession::Outcome::Complete << QList<int>{1, 2, 3}
        << QList<int>{} << each;
    QTest::newRow("record 2 not answered once: asked again, all three")
        << QList<SimFault>{SimFault::make(SimFault::Kind::NoAnswer, 0x42, 0x108)} << Act::Nothing
        << MeterSession::Outcome::Complete << QList<int>{1, 2, 3} << QList<int>{}
        << QList<int>{1, 2, 3, 2};
    QTest::newRow("record 2 failing its check value twice: left out, named")
        << QList<SimFault>{SimFault::make(SimFault::Kind::BadTrailer, 0x42, 0x108, 0, 0, 2)}
        << Act::Nothing << MeterSession::Outcome::Complete << QList<int>{1, 3} << QList<int>{2}
        << QList<int>{1, 2, 3, 2};
    QTest::newRow("record 2 never answered: asked again, timed out with the others")
        << QList<SimFault>{SimFault::make(SimFault::Kind::NoAnswer, 0x42, 0x108, 0, 0, -1)}
        << Act::Nothing << MeterSession::Outcome::TimedOut << QList<int>{1, 3} << QList<int>{2}
        << QList<int>{1, 2, 3, 2};
    QTest::newRow("a second download right after: the worker gives the lock at once")
        << QList<SimFault>{} << Act::AgainRightAfter << MeterSession::Outcome::Complete
        << QList<int>{1, 2, 3} << QList<int>{} << each;
}

void MeterSessionTest::outcomes()
{
    QFETCH(QList<SimFault>, faults);
    QFETCH(Act, act);
    QFETCH(MeterSession::Outcome, outcome);
    QFETCH(QList<int>, numbers);
    QFETCH(QList<int>, missing);
    QFETCH(QList<int>, asked);

    SimProfile p = SimProfile::meter();
    p.records = p.records.mid(0, 3);
    for (int k = 0; k < p.records.size(); ++k)
        p.records[k].duration = 10.f + k; // every record different
    p.faults << faults;
    SimEnvironment env;
    env.watcher()->start();
    std::shared_ptr<SimInstrument> sim = env.plugIn(p);
    std::unique_ptr<CLinker> link(env.openLink(0x2047, 0x0301));
    QVERIFY(link);
    InstrumentLink instrumentLink;
    instrumentLink.setLink(link.get());
    InstrumentCommands commands(&instrumentLink);

    MeterSession session;
    session.setInstrument(&commands);
    // What the main window and vantrel-cli do when the instrument goes.
    connect(env.watcher(), &DeviceWatcher::deviceRemoveComplete, &session, [&session] {
        session.stopWorker();
        session.instrumentRemoved();
    });
    QSignalSpy progress(&session, &MeterSession::progress);
    QSignalSpy finished(&session, &MeterSession::finished);
    session.startWorker();
    if (act == Act::AgainRightAfter)
        session.worker()->setListenMs(2 * kHangMs);
    sim->clearLogs();

    MeterData header;
    header.unit = 1;
    QVERIFY(session.startDownload(3, header));
    QVERIFY(session.isDownloading);
    if (act == Act::CancelOnceTwoArrived || act == Act::RemoveWithLastAnswerPosted) {
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty() && progress.last().at(0).toInt() >= 68,
                                 kHangMs);
        QCOMPARE(progress.last().at(1).toInt(), 102);
    }
    if (act == Act::CancelOnceTwoArrived)
        session.cancel();
    if (act == Act::RemoveWithLastAnswerPosted) {
        QByteArray answer = Frame::longRequest(0x42, 0x120, 24, p.records.at(2).bytes());
        Frame::appendTrailer(answer);
        QMetaObject::invokeMethod(&session, "takeBytes", Qt::QueuedConnection,
                                  Q_ARG(QByteArray, answer));
        QVERIFY(!session.instrumentRemoved()); // nothing was cut short
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kHangMs);

    QCOMPARE(finished[0].at(0).value<MeterSession::Outcome>(), outcome);
    const MeterData data = finished[0].at(1).value<MeterData>();
    QCOMPARE(data.numbers, numbers);
    QCOMPARE(data.records.size(), numbers.size());
    QCOMPARE(data.unit, 1);
    for (int i = 0; i < numbers.size(); ++i) {
        const SimMeterRecord &sent = p.records.at(numbers[i] - 1);
        QCOMPARE(data.records[i].duration, sent.duration);
        QCOMPARE(data.records[i].energy, sent.energy);
        QCOMPARE(data.records[i].powerAvg, sent.average);
    }
    QCOMPARE(finished[0].at(2).value<QList<int>>(), missing);
    QVERIFY(!session.isDownloading);
    QVERIFY(!session.ticking());
    QVERIFY(session.receiveBuffer.isEmpty());

    // The three record requests back to back, and a record asked again only
    // when its answer was wrong or missing.
    QList<int> requested;
    for (const QByteArray &frame : sim->requests()) {
        quint32 address = 0;
        QCOMPARE(Frame::byteAt(frame, 1), 0x42);
        Frame::le32At(frame, 2, &address);
        requested << int(address - 0xF0) / 24 + 1;
    }
    QCOMPARE(requested, asked);
    sim->releaseHeld();

    if (act == Act::AgainRightAfter) {
        // The pass that brought the records has ended; the next one sleeps
        // on the device.
        QTRY_VERIFY_WITH_TIMEOUT(!session.passOpen() && sim->readersNow() == 1, kHangMs);
        QElapsedTimer asked;
        asked.start();
        {
            MeterSession::ExchangeLock lock(&session);
            QVERIFY2(asked.elapsed() < kHangMs, "the worker's pass was not woken for the lock");
        }
        sim->clearLogs();
        QVERIFY(session.startDownload(3, header));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, kHangMs);
        QCOMPARE(finished[1].at(0).value<MeterSession::Outcome>(), outcome);
        QCOMPARE(finished[1].at(1).value<MeterData>().numbers, numbers);
        QCOMPARE(sim->requests().size(), 3);
    }
}

QTEST_MAIN(MeterSessionTest)
#include "test_metersession.moc"
