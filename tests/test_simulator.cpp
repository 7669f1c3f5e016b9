// The simulated instruments, spoken to through the real HID and link layers:
// every command of the table, stored data, probe notices, faults, pacing and
// profiles.
#include "measurement/instrumentclock.h"
#include "frames.h"
#include "link/clinkerusb.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/identity.h"
#include "sim/simenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(SimFault)
Q_DECLARE_METATYPE(const Frame::Command *)
Q_DECLARE_METATYPE(SimProfile)

namespace {

struct Exchange
{
    int written = 0;
    int received = 0;
    int judged = 0;
    QByteArray answer;
};

// What the main window's sendFrame/receiveFrame and a command do, without
// the window: request + trailer out, answer in, trailer and header judged.
Exchange exchange(CLinker *link, const Frame::Command &command,
                  const QByteArray &data = QByteArray())
{
    Exchange e;
    QByteArray request = command.request + data;
    Frame::appendTrailer(request);
    e.written = link->write(request, 1000);
    e.received = link->read(e.answer, command.timeoutMs, command.answerLength);
    int r = e.received;
    if (r >= 1) {
        if (Frame::byteAt(e.answer, 2) == 0x04 ||
            !Frame::trailerMatches(e.answer, command.answerLength))
            r = -1;
    }
    e.judged = Frame::judgeAnswer(command, r, e.answer);
    return e;
}

QByteArray recordRequest(quint32 address)
{
    QByteArray r = Frame::longRequest(0x42, address, 0x40);
    Frame::appendTrailer(r);
    return r;
}

// Splits a run's answer stream into its packets' data; false if anything
// but whole packets (and exactly one end packet, at the end) is in it.
bool splitPackets(const QByteArray &stream, QList<QByteArray> *packets, bool *ended)
{
    *ended = false;
    int p = 0;
    while (p < stream.size()) {
        quint16 n = 0;
        if (Frame::byteAt(stream, p) != 0xAB || Frame::byteAt(stream, p + 1) != 0x42 ||
            !Frame::le16At(stream, p + 6, &n) || p + n + 10 > stream.size())
            return false;
        if (!Frame::trailerMatches(stream.mid(p, n + 10), n + 10))
            return false;
        if (n == 0) {
            *ended = true;
            return p + 10 == stream.size();
        }
        packets->append(stream.mid(p + 8, n));
        p += n + 10;
    }
    return true;
}

// Collects a run: collection passes until nothing comes for a while.
QByteArray collect(CLinker *link, int quietPasses = 2)
{
    QByteArray all;
    int quiet = 0;
    while (quiet < quietPasses) {
        QByteArray chunk;
        if (link->read(chunk, 0, 8890) > 0) {
            all += chunk;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return all;
}

float floatAt(const QByteArray &b, int i)
{
    float v = 0;
    Frame::floatAt(b, i, &v);
    return v;
}

} // namespace

class SimulatorTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commandTable_data();
    void commandTable();
    void blocksKeptAndReadBack_data();
    void blocksKeptAndReadBack();
    void blockWriteWithBadCheckRefused();
    void clockSetAndRunningOn();
    void recordCount_data();
    void recordCount();
    void meterRecords();
    void loggerRuns_data();
    void loggerRuns();
    void loggerRunMissingEndPacket();
    void probeNotices();
    void faults_data();
    void faults();
    void faultOnlyAsOftenAsAsked();
    void erasedProductionBlock();
    void pacing();
    void profileRoundTrip();
    void shippedProfilesLoad();
    void badProfiles_data();
    void badProfiles();

private:
    void plug(const SimProfile &profile);
    SimEnvironment *env = nullptr;
    std::shared_ptr<SimInstrument> sim;
    CLinker *link = nullptr;
};

void SimulatorTest::init()
{
    env = new SimEnvironment;
}

void SimulatorTest::cleanup()
{
    delete link;
    link = nullptr;
    sim.reset();
    delete env;
}

void SimulatorTest::plug(const SimProfile &profile)
{
    sim = env->plugIn(profile);
    link = env->openLink(0x2047, 0x0301);
    QVERIFY(link);
}

void SimulatorTest::commandTable_data()
{
    using namespace Frame::Commands;
    QTest::addColumn<bool>("logger");
    QTest::addColumn<const Frame::Command *>("command");
    QTest::addColumn<QByteArray>("data");
    const QByteArray block4 = Frame::block(hexBytes("01 0A 02 00"));
    const QByteArray clock = Identity::encodeClock(QDateTime(QDate(2024, 3, 4), QTime(5, 6, 7)));
    for (bool logger : {false, true}) {
        const char *f = logger ? "logger" : "meter";
        QTest::addRow("%s key info", f) << logger << &keyInfo() << QByteArray();
        QTest::addRow("%s software version", f) << logger << &softwareVersion() << QByteArray();
        QTest::addRow("%s read clock", f) << logger << &readClock() << QByteArray();
        QTest::addRow("%s write clock", f) << logger << &writeClock() << clock;
        QTest::addRow("%s production info", f) << logger << &productionInfo() << QByteArray();
        QTest::addRow("%s calibration date", f) << logger << &calibrationDate() << QByteArray();
        QTest::addRow("%s read block 60", f) << logger << &readBlock60() << QByteArray();
        QTest::addRow("%s write block 60", f) << logger << &writeBlock60() << block4;
        QTest::addRow("%s read block 80", f) << logger << &readBlock80() << QByteArray();
        QTest::addRow("%s write block 80", f) << logger << &writeBlock80() << block4;
        QTest::addRow("%s record count", f) << logger << &powerGroupCount() << QByteArray();
    }
}

void SimulatorTest::commandTable()
{
    QFETCH(bool, logger);
    QFETCH(const Frame::Command *, command);
    QFETCH(QByteArray, data);
    plug(logger ? SimProfile::logger() : SimProfile::meter());
    const Exchange e = exchange(link, *command, data);
    QCOMPARE(e.written, command->request.size() + data.size() + 2);
    QCOMPARE(e.received, command->answerLength);
    QCOMPARE(e.judged, 1);
    // The answer repeats the request's header.
    const int header = command->request.at(1) == 0x20 || command->request.at(1) == 0x21 ? 6 : 8;
    QCOMPARE(e.answer.left(header), command->request.left(header));
}

void SimulatorTest::blocksKeptAndReadBack_data()
{
    QTest::addColumn<bool>("logger");
    QTest::addColumn<bool>("block60");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Meter block 60: 50 Hz, W/m2") << false << true << hexBytes("00 0A 01 03");
    QTest::newRow("Meter block 80: on, 7 minutes, 10 s") << false << false << hexBytes("01 07 01 00");
    QTest::newRow("Meter block 80: 0xFF bytes") << false << false << hexBytes("FF 0A 00 FF");
    QTest::newRow("Logger block 80: off, 5 minutes, 60 s") << true << false << hexBytes("00 05 02 00");
}

void SimulatorTest::blocksKeptAndReadBack()
{
    QFETCH(bool, logger);
    QFETCH(bool, block60);
    QFETCH(QByteArray, bytes);
    plug(logger ? SimProfile::logger() : SimProfile::meter());
    const Frame::Command &write =
        block60 ? Frame::Commands::writeBlock60() : Frame::Commands::writeBlock80();
    const Frame::Command &read =
        block60 ? Frame::Commands::readBlock60() : Frame::Commands::readBlock80();
    QCOMPARE(exchange(link, write, Frame::block(bytes)).judged, 1);
    QCOMPARE(block60 ? sim->block60() : sim->block80(), bytes);
    const Exchange e = exchange(link, read);
    QCOMPARE(e.judged, 1);
    QCOMPARE(e.answer.mid(8, 4), bytes);
    // The other block is untouched.
    if (!logger)
        QCOMPARE(block60 ? sim->block80() : sim->block60(),
                 block60 ? hexBytes("01 0A 00 01") : hexBytes("00 0A 00 01"));
    // New parameters (block 80) clear the stored records or runs; block 60
    // keeps them.
    const Exchange count = exchange(link, Frame::Commands::powerGroupCount());
    QCOMPARE(count.judged, 1);
    QCOMPARE(quint8(count.answer.at(8)), quint8(block60 ? 5 : 0));
}

void SimulatorTest::blockWriteWithBadCheckRefused()
{
    plug(SimProfile::meter());
    QByteArray damaged = Frame::block(hexBytes("00 0A 02 02"));
    damaged[4] = char(damaged.at(4) ^ 0x01);
    Frame::Command quick = Frame::Commands::writeBlock60();
    quick.timeoutMs = 200; // the refusal is seen when the time-out has run out
    const Exchange e = exchange(link, quick, damaged);
    QCOMPARE(e.judged, -5);
    QCOMPARE(sim->block60(), hexBytes("00 0A 00 01"));
}

void SimulatorTest::clockSetAndRunningOn()
{
    plug(SimProfile::logger());
    const QDateTime set = InstrumentClock::at(QDate(2009, 3, 4), QTime(5, 6, 7));
    Exchange e = exchange(link, Frame::Commands::writeClock(), Identity::encodeClock(set));
    QElapsedTimer sinceSet;
    sinceSet.start();
    QCOMPARE(e.judged, 1);
    QCOMPARE(e.answer.size(), 8);
    e = exchange(link, Frame::Commands::readClock());
    QCOMPARE(e.judged, 1);
    QDateTime read;
    QVERIFY(Identity::decodeClock(e.answer, 6, &read));
    QVERIFY2(qAbs(set.secsTo(read)) <= 1, qPrintable(read.toString(Qt::ISODate)));
    QTest::qWait(1100);
    e = exchange(link, Frame::Commands::readClock());
    QVERIFY(Identity::decodeClock(e.answer, 6, &read));
    // Whole seconds of a clock that runs on: at least the second waited,
    // at most what really passed (a slow machine waits longer) and one more.
    const qint64 ran = set.secsTo(read);
    QVERIFY2(ran >= 1 && ran <= sinceSet.elapsed() / 1000 + 1,
             qPrintable(read.toString(Qt::ISODate)));
}

void SimulatorTest::recordCount_data()
{
    QTest::addColumn<SimProfile>("profile");
    QTest::addColumn<QByteArray>("countBytes");
    QTest::newRow("meter, five records") << SimProfile::meter() << hexBytes("05 00");
    QTest::newRow("logger, three runs") << SimProfile::logger() << hexBytes("03 00");
    SimProfile many = SimProfile::meter();
    many.recordCount = 300;
    QTest::newRow("300: one byte of count, high byte next") << many << hexBytes("FF 01");
    SimProfile none = SimProfile::logger();
    none.runs.clear();
    QTest::newRow("no runs") << none << hexBytes("00 00");
}

void SimulatorTest::recordCount()
{
    QFETCH(SimProfile, profile);
    QFETCH(QByteArray, countBytes);
    plug(profile);
    const Exchange e = exchange(link, Frame::Commands::powerGroupCount());
    QCOMPARE(e.judged, 1);
    QCOMPARE(e.answer.mid(8, 2), countBytes);
}

void SimulatorTest::meterRecords()
{
    plug(SimProfile::meter());
    // Requests for records 0, 1, 2 back to back; the answers come as one stream.
    for (quint32 k = 0; k < 3; ++k)
        QCOMPARE(link->write(recordRequest(0xF0 + 24 * k), 1000), 10);
    QCOMPARE(sim->requests().first(), hexBytes("AB 42 F0 00 00 00 40 00 4C F4"));
    QCOMPARE(sim->requests().at(1), hexBytes("AB 42 08 01 00 00 40 00 64 8C"));
    const QByteArray all = collect(link);
    QCOMPARE(all.size(), 3 * 34);
    const SimProfile p = SimProfile::meter();
    for (int k = 0; k < 3; ++k) {
        const QByteArray a = all.mid(34 * k, 34);
        QCOMPARE(a.left(2), hexBytes("AB 42"));
        QCOMPARE(a.mid(8, 24), p.records.at(k).bytes());
        QVERIFY(Frame::trailerMatches(a, 34));
    }
    QCOMPARE(floatAt(all, 8), 12.625f);
    QCOMPARE(floatAt(all, 24), 137.0f);
    QCOMPARE(floatAt(all, 28), 10.5f);
    // A record that is not stored is refused.
    QCOMPARE(link->write(recordRequest(0xF0 + 24 * 5), 1000), 10);
    const QByteArray refused = collect(link);
    QCOMPARE(refused.mid(1, 2), hexBytes("C7 08"));
    // An address between records is refused too.
    QCOMPARE(link->write(recordRequest(0xF0 + 12), 1000), 10);
    QCOMPARE(collect(link).mid(1, 2), hexBytes("C7 08"));
}

void SimulatorTest::loggerRuns_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("usbFrames");
    QTest::newRow("run 0 at 0x180") << 0 << quint32(0x180) << 120 << false;
    QTest::newRow("run 1 at 0xB00") << 1 << quint32(0xB00) << 300 << false;
    QTest::newRow("run 2, 600 samples") << 2 << quint32(0x1480) << 600 << false;
    QTest::newRow("run 24 not stored: end packet only") << 24 << quint32(0xE580) << -1 << false;
    QTest::newRow("run 1 in USB frames: the same stream, one report a frame counted")
        << 1 << quint32(0xB00) << 300 << true;
}

void SimulatorTest::loggerRuns()
{
    QFETCH(int, run);
    QFETCH(quint32, address);
    QFETCH(int, samples);
    QFETCH(bool, usbFrames);
    SimProfile p = SimProfile::logger();
    p.usbFrames = usbFrames;
    plug(p);
    sim->clearLogs();
    QCOMPARE(link->write(recordRequest(address), 1000), 10);
    const QByteArray stream = collect(link);
    // The frames the exchange took: one output report, and every input
    // report the stream came in (62 bytes each, the last one shorter).
    QCOMPARE(sim->writtenReports().size(), 1);
    QCOMPARE(sim->reportsRead(), int(stream.size() + 61) / 62);
    QList<QByteArray> packets;
    bool ended = false;
    QVERIFY(splitPackets(stream, &packets, &ended));
    QVERIFY(ended);
    QByteArray payload;
    for (const QByteArray &data : packets) {
        QVERIFY(data.size() <= 64);
        payload += data;
    }
    if (samples < 0) {
        QVERIFY(packets.isEmpty());
        return;
    }
    QCOMPARE(payload, p.runs.at(run).payload());
    QCOMPARE((payload.size() - 6) / 4, samples);
    QDateTime start;
    QVERIFY(Identity::decodeClock(payload, 0, &start));
    QCOMPARE(start, p.runs.at(run).start);
    QCOMPARE(floatAt(payload, 6), p.runs.at(run).samples.first());
}

void SimulatorTest::loggerRunMissingEndPacket()
{
    SimProfile p = SimProfile::logger();
    SimLoggerRun small;
    small.raw = hexBytes("18 0C 1F 17 3B 3B 00 00 80 3F 00 00 00 40");
    p.runs = {small};
    p.faults << SimFault::make(SimFault::Kind::MissingEndPacket, 0x42);
    plug(p);
    QCOMPARE(link->write(recordRequest(0x180), 1000), 10);
    QList<QByteArray> packets;
    bool ended = true;
    QVERIFY(splitPackets(collect(link), &packets, &ended));
    QVERIFY(!ended);
    QCOMPARE(packets, QList<QByteArray>{small.raw});
    // Only once: the next request gets its end packet.
    QCOMPARE(link->write(recordRequest(0x180), 1000), 10);
    packets.clear();
    QVERIFY(splitPackets(collect(link), &packets, &ended));
    QVERIFY(ended);
}

void SimulatorTest::probeNotices()
{
    plug(SimProfile::meter());
    sim->setProbeConnected(false);
    QByteArray notice;
    QVERIFY(link->read(notice, 0, 0) > 0);
    QCOMPARE(notice.left(3), hexBytes("AB 22 0D"));
    QCOMPARE(Frame::byteAt(notice, 6), 0);
    // Without probe: every long-header command refused, the key information still read.
    for (const Frame::Command *c :
         {&Frame::Commands::productionInfo(), &Frame::Commands::calibrationDate(),
          &Frame::Commands::readBlock60(), &Frame::Commands::readBlock80(),
          &Frame::Commands::powerGroupCount()}) {
        QElapsedTimer clock;
        clock.start();
        // A refusal is shorter than the answer: short time-out to keep the test quick.
        Frame::Command quick = *c;
        quick.timeoutMs = 200;
        const Exchange e = exchange(link, quick);
        QVERIFY2(e.judged == -5, c->name);
        QCOMPARE(e.answer.mid(1, 2), hexBytes("C7 08"));
    }
    QCOMPARE(link->write(recordRequest(0xF0), 1000), 10);
    QCOMPARE(collect(link).mid(1, 2), hexBytes("C7 08"));
    QCOMPARE(exchange(link, Frame::Commands::keyInfo()).judged, 1);
    sim->setProbeConnected(true);
    notice.clear();
    QVERIFY(link->read(notice, 0, 0) > 0);
    QCOMPARE(notice.left(3), hexBytes("AB 22 0D"));
    QCOMPARE(Frame::byteAt(notice, 6), 1);
    QCOMPARE(exchange(link, Frame::Commands::readBlock60()).judged, 1);
}

void SimulatorTest::faults_data()
{
    using namespace Frame::Commands;
    using K = SimFault::Kind;
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<const Frame::Command *>("command");
    QTest::addColumn<int>("judged");
    QTest::newRow("no answer to key info")
        << SimFault::make(K::NoAnswer, 0x20, 0x05) << &keyInfo() << -2;
    QTest::newRow("refused key info") << SimFault::make(K::Refusal, 0x20, 0x05) << &keyInfo() << -5;
    QTest::newRow("bad trailer") << SimFault::make(K::BadTrailer, 0x41, 0x80) << &readBlock80()
                                 << -2;
    QTest::newRow("wrong header, long")
        << SimFault::make(K::WrongHeader, 0x47, 0x24) << &calibrationDate() << -3;
    QTest::newRow("wrong header, version")
        << SimFault::make(K::WrongHeader, 0x20, 0x1C) << &softwareVersion() << -3;
    QTest::newRow("wrong header, key info")
        << SimFault::make(K::WrongHeader, 0x20, 0x05) << &keyInfo() << -3;
    QTest::newRow("bad block check")
        << SimFault::make(K::BadBlockCheck, 0x41, 0xE0) << &powerGroupCount() << -4;
    QTest::newRow("bad block check, production")
        << SimFault::make(K::BadBlockCheck, 0x47, 0x00) << &productionInfo() << -4;
    QTest::newRow("stray bytes") << SimFault::make(K::StrayBytes, 0x47, 0x60, 5) << &readBlock60()
                                 << 1;
    QTest::newRow("split answer") << SimFault::make(K::Split, 0x47, 0x00, 17, 5)
                                  << &productionInfo() << 1;
    QTest::newRow("late answer") << SimFault::make(K::Delay, 0x20, 0x61, 0, 200) << &readClock()
                                 << 1;
    QTest::newRow("foreign report first")
        << SimFault::make(K::ForeignReport, 0x20, 0x1C) << &softwareVersion() << 1;
    QTest::newRow("fault for another address")
        << SimFault::make(K::NoAnswer, 0x47, 0x60) << &calibrationDate() << 1;
}

void SimulatorTest::faults()
{
    QFETCH(SimFault, fault);
    QFETCH(const Frame::Command *, command);
    QFETCH(int, judged);
    SimProfile p = SimProfile::meter();
    p.faults << fault;
    plug(p);
    Frame::Command quick = *command;
    if (quick.timeoutMs > 0)
        quick.timeoutMs = 500; // failures show up at the time-out
    QCOMPARE(exchange(link, quick).judged, judged);
}

void SimulatorTest::faultOnlyAsOftenAsAsked()
{
    SimProfile p = SimProfile::meter();
    p.faults << SimFault::make(SimFault::Kind::NoAnswer, 0x20, 0x05, 0, 0, 2);
    p.faults << SimFault::make(SimFault::Kind::WriteTimeout, 0x41, -1, 0, 0, 1);
    plug(p);
    QCOMPARE(exchange(link, Frame::Commands::keyInfo()).judged, -2);
    QCOMPARE(exchange(link, Frame::Commands::keyInfo()).judged, -2);
    QCOMPARE(exchange(link, Frame::Commands::keyInfo()).judged, 1);
    Frame::Command quick = Frame::Commands::readBlock80();
    quick.timeoutMs = 200;
    QCOMPARE(exchange(link, quick).written, -1);
    QCOMPARE(exchange(link, quick).judged, 1);
}

void SimulatorTest::erasedProductionBlock()
{
    SimProfile p = SimProfile::meter();
    p.productionInfoErased = true;
    plug(p);
    const Exchange e = exchange(link, Frame::Commands::productionInfo());
    QCOMPARE(e.judged, -4);
    QCOMPARE(e.answer.mid(8, 20), QByteArray(20, char(0xFF)));
}

void SimulatorTest::pacing()
{
    SimProfile p = SimProfile::logger();
    p.reportIntervalUs = 1000;
    plug(p);
    // The instrument paces its reports from the moment it takes the request,
    // so the clock starts before the write: a write slowed down (sanitizer
    // builds, a busy machine) must not count its reports as early.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(link->write(recordRequest(0x1480), 1000), 10); // 600 samples
    const QByteArray stream = collect(link, 1);
    // Less the two 50 ms waits that end the data pass and the quiet pass.
    const qint64 paced = clock.elapsed() - 100;
    const int reports = (stream.size() + 61) / 62;
    QVERIFY(stream.size() > 2400);
    // At 1 ms per report the run cannot arrive faster than its report count.
    QVERIFY2(paced >= reports - 2,
             qPrintable(QStringLiteral("%1 reports in %2 ms").arg(reports).arg(paced)));
    qInfo("paced at 1 ms: %d bytes in %d reports took %lld ms", int(stream.size()), reports, paced);

    // Unpaced, every report of the answer can be read at once, without
    // waiting.
    sim->setReportIntervalUs(0);
    QCOMPARE(link->write(recordRequest(0x1480), 1000), 10);
    int readable = 0;
    unsigned char report[64];
    while (sim->readReport(sim->generation(), report, sizeof report, 0) > 0)
        ++readable;
    QCOMPARE(readable, reports);
}

void SimulatorTest::profileRoundTrip()
{
    SimProfile p = SimProfile::logger();
    p.clock = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 30));
    p.usbSerial.clear();
    p.block80[1] = 7;
    SimLoggerRun raw;
    raw.raw = hexBytes("18 0C 1F 17 3B 3B 00 00 80 3F");
    p.runs.append(raw);
    p.faults << SimFault::make(SimFault::Kind::Split, 0x42, 0x180, 37, 20, -1);
    SimProfile back;
    QString error;
    QVERIFY2(SimProfile::fromJson(p.toJson(), &back, &error), qPrintable(error));
    QCOMPARE(back.toJson(), p.toJson());
    QCOMPARE(back.runs.size(), 4);
    QCOMPARE(back.runs.at(2).payload(), p.runs.at(2).payload());
    QCOMPARE(back.runs.at(3).payload(), raw.raw);
    QCOMPARE(back.faults.size(), 1);
    QCOMPARE(back.faults.first().address, qint64(0x180));

    SimProfile m = SimProfile::meter();
    QVERIFY(SimProfile::fromJson(m.toJson(), &back, &error));
    QCOMPARE(back.records.size(), 5);
    QCOMPARE(back.records.at(0).bytes(), m.records.at(0).bytes());
}

void SimulatorTest::shippedProfilesLoad()
{
    const QDir dir(QStringLiteral(VANTREL_SOURCE_DIR "/sim/profiles"));
    const QStringList files = dir.entryList({QStringLiteral("*.json")}, QDir::Files);
    QVERIFY(files.size() >= 3);
    for (const QString &f : files) {
        SimProfile p;
        QString error;
        QVERIFY2(SimProfile::load(dir.filePath(f), &p, &error), qPrintable(error));
        // Each one plugs in and answers.
        auto instrument = env->plugIn(p);
        CLinker *l = env->openLink(0x2047, 0x0301);
        QVERIFY2(l, qPrintable(f));
        QVERIFY(exchange(l, Frame::Commands::softwareVersion()).judged == 1);
        delete l;
        env->removeAll();
    }
    SimProfile builtin;
    QVERIFY(SimProfile::load(QStringLiteral("logger"), &builtin, nullptr));
    QCOMPARE(builtin.family, SimProfile::Family::Logger);
    QVERIFY(!builtin.runs.isEmpty());
    QVERIFY(SimProfile::load(QStringLiteral("meter"), &builtin, nullptr));
    QCOMPARE(builtin.family, SimProfile::Family::Meter);
    QVERIFY(!builtin.records.isEmpty());
}

void SimulatorTest::badProfiles_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("not JSON") << QByteArray("{family: meter") << "not JSON: ";
    QTest::newRow("unknown family") << QByteArray(R"({"family":"scope"})") << "scope";
    QTest::newRow("block of three") << QByteArray(R"({"block60":[1,2,3]})") << "block60";
    QTest::newRow("byte out of range") << QByteArray(R"({"block80":[1,2,3,256]})") << "block80";
    QTest::newRow("bad date") << QByteArray(R"({"calibrationDate":"2024-13-01"})")
                              << "calibrationDate";
    QTest::newRow("negative type code") << QByteArray(R"({"typeCode":-1})") << "typeCode";
    QTest::newRow("short raw record") << QByteArray(R"({"records":[{"raw":"00 01"}]})") << "24";
    QTest::newRow("run without start")
        << QByteArray(R"({"family":"logger","runs":[{"samples":[1]}]})") << "start";
    QTest::newRow("unknown fault")
        << QByteArray(R"({"faults":[{"kind":"gremlins"}]})") << "gremlins";
    QTest::newRow("report too short") << QByteArray(R"({"reportLength":2})") << "reportLength";
    // Numbers beyond the range of the field's type, or not whole, are refused
    // rather than converted (a huge JSON number has no 64-bit integer value).
    QTest::newRow("serial number 1e100")
        << QByteArray(R"({"serialNumber":1e100})")
        << R"("serialNumber" must be a whole number in 0..4294967295)";
    QTest::newRow("firmware as a fraction")
        << QByteArray(R"({"firmware":2.1})") << R"("firmware" must be a whole number in 0..65535)";
    QTest::newRow("fault delay 1e20")
        << QByteArray(R"({"faults":[{"kind":"delay","delayMs":1e20}]})")
        << R"("delayMs" must be a whole number in 0..600000 (fault 1))";
    QTest::newRow("fault command beyond a byte")
        << QByteArray(R"({"faults":[{"kind":"noAnswer"},{"kind":"refusal","command":"0x147"}]})")
        << R"("command" must be a whole number in -1..255 (fault 2))";
    QTest::newRow("record value beyond float")
        << QByteArray(R"({"records":[{"energy":1},{"energy":1e39}]})")
        << R"("energy" of record 2 must be a number in -3.402823e+38..3.402823e+38)";
    QTest::newRow("run sample beyond float")
        << QByteArray(
               R"({"family":"logger","runs":[{"start":"2024-05-06T09:30:00","samples":[1,-1e300]}]})")
        << R"("samples" of run 1 holds a value outside -3.402823e+38..3.402823e+38)";
    // A key of the wrong JSON type is refused, not read as its default.
    QTest::newRow("a JSON array") << QByteArray(R"([{"family":"meter"}])")
                                  << "a profile is one JSON object {...}, not an array";
    QTest::newRow("family as a list")
        << QByteArray(R"({"family":["meter"],"records":"abc","runs":{},"faults":7})")
        << R"("family" must be a text)";
    QTest::newRow("records as a text")
        << QByteArray(R"({"records":"abc"})") << R"("records" must be an array)";
    QTest::newRow("runs as an object")
        << QByteArray(R"({"family":"logger","runs":{}})") << R"("runs" must be an array)";
    QTest::newRow("faults as a number")
        << QByteArray(R"({"faults":7})") << R"("faults" must be an array)";
    QTest::newRow("a flag as a text")
        << QByteArray(R"({"probeConnected":"yes"})") << R"("probeConnected" must be true or false)";
    QTest::newRow("a record that is a number")
        << QByteArray(R"({"records":[{"energy":1},5]})") << "record 2 must be an object";
    QTest::newRow("a record value as a text") << QByteArray(R"({"records":[{"energy":"137"}]})")
                                              << R"("energy" of record 1 must be a number)";
    QTest::newRow("samples as a text")
        << QByteArray(
               R"({"family":"logger","runs":[{"start":"2024-05-06T09:30:00","samples":"1"}]})")
        << R"("samples" of run 1 must be an array)";
    QTest::newRow("a sample as a text")
        << QByteArray(
               R"({"family":"logger","runs":[{"start":"2024-05-06T09:30:00","samples":["1"]}]})")
        << R"("samples" of run 1 holds a value outside)";
    QTest::newRow("a fault that is a text")
        << QByteArray(R"({"faults":["noAnswer"]})") << "fault 1 must be an object";
    QTest::newRow("a fault kind as a number")
        << QByteArray(R"({"faults":[{"kind":1}]})") << R"("kind" of fault 1 must be a text)";
}

void SimulatorTest::badProfiles()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, mentions);
    SimProfile p;
    p.name = QStringLiteral("untouched");
    QString error;
    QVERIFY(!SimProfile::fromJson(json, &p, &error));
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QCOMPARE(p.name, QStringLiteral("untouched"));
    QVERIFY(!SimProfile::load(QStringLiteral("/nonexistent/profile.json"), &p, &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent/profile.json")));
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "test_simulator.moc"
