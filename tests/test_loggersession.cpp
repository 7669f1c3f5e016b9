// LoggerSession on the simulated Logger, without any window: how a run
// download ends, which runs it delivers, and which requests reached the
// instrument.
#include "measurement/instrumentclock.h"
#include "download/loggerrun.h"
#include "frames.h"
#include "link/clinker.h"
#include "loggersupport.h"
#include "protocol/frame.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "session/loggersession.h"
#include "sim/simenvironment.h"

#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace LoggerSupport;

namespace {

const QDateTime kStart = InstrumentClock::at(QDate(2024, 12, 31), QTime(23, 59, 59));

// What the test does while the download runs.
enum class Action
{
    None,
    CancelAtRun2, // cancel() as the instrument receives the request of run 2
    ClearAtRun2,  // clear() then
    TellRemoval,  // instrumentRemoved() once the instrument has gone, as a window does
};

// The addresses of the requests with this command byte, in the order received.
QList<quint32> addressesOf(const std::shared_ptr<SimInstrument> &sim, int command)
{
    QList<quint32> addresses;
    for (const QByteArray &frame : requestsWith(sim, command)) {
        quint32 a = 0;
        Frame::le32At(frame, 2, &a);
        addresses << a;
    }
    return addresses;
}

// A simulated Logger with its link and commands, as vantrel-cli opens one.
struct Plugged
{
    explicit Plugged(const SimProfile &profile)
        : sim(env.plugIn(profile)), link(env.openLink(0x2047, 0x0301))
    {
        instrumentLink.setLink(link.get());
        sim->clearLogs();
    }
    SimEnvironment env;
    std::shared_ptr<SimInstrument> sim;
    std::unique_ptr<CLinker> link;
    InstrumentLink instrumentLink;
    InstrumentCommands commands{&instrumentLink};
};

} // namespace

Q_DECLARE_METATYPE(SimFault)
Q_DECLARE_METATYPE(Action)

class LoggerSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void outcomes_data();
    void outcomes();
    void workerGoesWithTheSession();
};

void LoggerSessionTest::initTestCase()
{
    qRegisterMetaType<LoggerSession::Outcome>();
    qRegisterMetaType<LoggerRunData>();
}

void LoggerSessionTest::outcomes_data()
{
    QTest::addColumn<QList<SimFault>>("faults");
    QTest::addColumn<Action>("action");
    QTest::addColumn<LoggerSession::Outcome>("outcome");
    QTest::addColumn<QList<int>>("samples"); // of each run delivered, runs numbered from 1
    QTest::addColumn<int>("kept");           // runs the session holds afterwards
    QTest::addColumn<int>("requested");      // run requests the instrument received
    QTest::addColumn<int>("stepReads");      // block 0x80 reads it received
    using O = LoggerSession::Outcome;
    using K = SimFault::Kind;
    const quint32 run2 = LoggerRun::runAddress(1);

    QTest::newRow("complete: three runs, the second a start time and part of a sample")
        << QList<SimFault>{} << Action::None << O::Complete << QList<int>{2, 0, 1} << 3 << 3 << 3;
    QTest::newRow("step read after run 2 answered wrongly: run 1 kept")
        << QList<SimFault>{SimFault::make(K::WrongHeader, 0x41, 0x80).after(1)} << Action::None
        << O::StepUnreadable << QList<int>{2} << 1 << 2 << 2;
    QTest::newRow("run 2 refused: silence ends it, run 1 kept")
        << QList<SimFault>{SimFault::make(K::Refusal, 0x42, run2)} << Action::None << O::Silent
        << QList<int>{2} << 1 << 2 << 1;
    QTest::newRow("run 2 without its end packet: silence ends it")
        << QList<SimFault>{SimFault::make(K::MissingEndPacket, 0x42, run2)} << Action::None
        << O::Silent << QList<int>{2} << 1 << 2 << 1;
    QTest::newRow("unplugged during run 2: the link is lost, run 1 kept")
        << QList<SimFault>{SimFault::make(K::Unplug, 0x42, run2, 8)} << Action::None << O::LinkLost
        << QList<int>{2} << 1 << 2 << 1;
    QTest::newRow("unplugged during run 2 and the removal told: Removed, run 1 kept")
        << QList<SimFault>{SimFault::make(K::Unplug, 0x42, run2, 8)} << Action::TellRemoval
        << O::Removed << QList<int>{2} << 1 << 2 << 1;
    QTest::newRow("cancel as run 2 is asked for: run 2 arrives whole, run 3 never asked for")
        << QList<SimFault>{} << Action::CancelAtRun2 << O::Cancelled << QList<int>{2, 0} << 2 << 2
        << 2;
    QTest::newRow("cancel while run 2 never ends: its part is dropped")
        << QList<SimFault>{SimFault::make(K::MissingEndPacket, 0x42, run2)} << Action::CancelAtRun2
        << O::Cancelled << QList<int>{2} << 1 << 2 << 1;
    QTest::newRow("clear while run 2 never ends: the download ends, then its runs go")
        << QList<SimFault>{SimFault::make(K::MissingEndPacket, 0x42, run2)} << Action::ClearAtRun2
        << O::Cancelled << QList<int>{2} << 0 << 2 << 1;
}

void LoggerSessionTest::outcomes()
{
    QFETCH(QList<SimFault>, faults);
    QFETCH(Action, action);
    QFETCH(LoggerSession::Outcome, outcome);
    QFETCH(QList<int>, samples);
    QFETCH(int, kept);
    QFETCH(int, requested);
    QFETCH(int, stepReads);

    SimProfile profile = loggerProfile(
        {run(kStart, {1, 2}), rawRun(hexBytes("18 0C 1F 17 3B 3B 01 02 03")), run(kStart, {6})});
    profile.faults = faults;
    Plugged plugged(profile);
    QVERIFY(plugged.link);
    const std::shared_ptr<SimInstrument> &sim = plugged.sim;
    LoggerSession session(&plugged.commands);
    // Short, so that a silent instrument ends its row soon; the silence it
    // measures is counted from the instrument's last bytes.
    session.setSilenceLimitMs(300);
    sim->setRequestObserver([&](const QByteArray &frame) {
        quint32 address = 0;
        if (Frame::byteAt(frame, 1) != 0x42 || !Frame::le32At(frame, 2, &address) ||
            address != LoggerRun::runAddress(1))
            return;
        if (action == Action::CancelAtRun2)
            session.cancel();
        else if (action == Action::ClearAtRun2)
            session.clear();
    });
    QObject::connect(&session, &LoggerSession::waiting, [&] {
        if (action == Action::TellRemoval && !sim->isPlugged())
            QVERIFY(session.instrumentRemoved());
    });
    QSignalSpy ready(&session, &LoggerSession::runReady);
    // Run requests the instrument had received as each run was handed on.
    QList<int> requestsAtReady;
    connect(&session, &LoggerSession::runReady, this,
            [&] { requestsAtReady << addressesOf(sim, 0x42).size(); });
    QSignalSpy finished(&session, &LoggerSession::finished);
    QSignalSpy progress(&session, &LoggerSession::progress);
    QSignalSpy cleared(&session, &LoggerSession::cleared);

    int held = 0;
    QVERIFY(session.readRunCount(&held) >= 0);
    QCOMPARE(held, 3);
    QCOMPARE(session.download(held), outcome);
    sim->setRequestObserver(nullptr);

    QVERIFY(!session.downloading());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).value<LoggerSession::Outcome>(), outcome);
    QCOMPARE(finished.at(0).at(1).toInt(), samples.size());
    QCOMPARE(finished.at(0).at(2).toInt(), 3);
    // Each run delivered once, in order, decoded with the instrument's step.
    QCOMPARE(ready.size(), samples.size());
    for (int i = 0; i < samples.size(); ++i) {
        const LoggerRunData run = ready.at(i).at(0).value<LoggerRunData>();
        QCOMPARE(run.number, i + 1);
        QCOMPARE(run.samples.size(), samples.at(i));
        QCOMPARE(run.intervalSeconds, 10);
        QCOMPARE(run.start, kStart);
    }
    // A run is handed on once the next one is asked for (its row is made
    // while that run comes), the last one at the end.
    for (int i = 0; i < requestsAtReady.size(); ++i)
        QCOMPARE(requestsAtReady.at(i), qMin(i + 2, requested));
    // The progress counts every answer byte that came, rising, the last
    // run's last bytes included (they are shown with the run); a failed
    // run's answer is not kept, its bytes were counted as they came.
    int answerBytes = 0;
    for (int k = 0; k < requested; ++k)
        answerBytes += session.answerBytes(k).size();
    int shown = 0;
    for (const QList<QVariant> &step : qAsConst(progress)) {
        QVERIFY(step.at(0).toInt() > shown);
        shown = step.at(0).toInt();
    }
    if (requested == kept && action != Action::ClearAtRun2)
        QCOMPARE(shown, answerBytes);
    else
        QVERIFY(shown >= answerBytes);
    QCOMPARE(session.runs().size(), kept);
    // Dropped at the start of the download, and once more by a clear.
    QCOMPARE(cleared.size(), action == Action::ClearAtRun2 ? 2 : 1);
    if (kept > 0)
        QCOMPARE(session.run(0).samples, (QVector<float>{1, 2}));
    QVERIFY(session.run(kept).payload.isEmpty());

    QList<quint32> addresses;
    for (int k = 0; k < requested; ++k)
        addresses << LoggerRun::runAddress(k);
    QCOMPARE(addressesOf(sim, 0x42), addresses);
    // The run count, then block 0x80 after each run whose end packet arrived.
    QList<quint32> reads{0xE0};
    for (int k = 0; k < stepReads; ++k)
        reads << 0x80;
    QCOMPARE(addressesOf(sim, 0x41), reads);
}

void LoggerSessionTest::workerGoesWithTheSession()
{
    Plugged plugged(loggerProfile());
    QVERIFY(plugged.link);
    auto *session = new LoggerSession(&plugged.commands);
    QVERIFY(!session->startWorker());
    QPointer<QThread> first = session->workerThread();
    QVERIFY(first && first->isRunning());
    // A second start replaces the worker: never two threads on one link.
    session->startWorker();
    QVERIFY(!first || first->isFinished());
    QPointer<QThread> second = session->workerThread();
    QVERIFY(second && second != first && second->isRunning());
    delete session;
    QVERIFY(!second || second->isFinished());
}

QTEST_MAIN(LoggerSessionTest)
#include "test_loggersession.moc"
