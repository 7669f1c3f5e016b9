// One reader thread and one writer thread on one simulated instrument, as the
// Meter worker and the GUI use the link during a record download. Run under
// ThreadSanitizer (-DVANTREL_TSAN=ON) to check the transport's locking.
#include "link/clinkerusb.h"
#include "protocol/frame.h"
#include "sim/simenvironment.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <thread>

class SimThreadsTest : public QObject
{
    Q_OBJECT
private slots:
    void readerAndWriter_data();
    void readerAndWriter();
    void unplugWhileReading();
    void overlappingReadersAreSeen();
};

void SimThreadsTest::readerAndWriter_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("intervalUs");
    QTest::newRow("200 records, unpaced") << 200 << 0;
    QTest::newRow("120 records, full speed") << 120 << 1000;
}

void SimThreadsTest::readerAndWriter()
{
    QFETCH(int, records);
    QFETCH(int, intervalUs);
    SimProfile p = SimProfile::meter();
    p.reportIntervalUs = intervalUs;
    const QList<SimMeterRecord> five = p.records;
    p.records.clear();
    for (int k = 0; k < records; ++k) {
        SimMeterRecord r = five.at(k % five.size());
        r.duration = float(k); // every answer different
        p.records.append(r);
    }
    SimEnvironment env;
    env.plugIn(p);
    std::unique_ptr<CLinker> link(env.openLink(0x2047, 0x0301));
    QVERIFY(link);

    QByteArray expected;
    for (int k = 0; k < records; ++k) {
        QByteArray answer =
            Frame::longRequest(0x42, quint32(0xF0 + 24 * k), 24, p.records.at(k).bytes());
        Frame::appendTrailer(answer);
        expected += answer;
    }

    // The worker's loop: one collection pass, a short pause, again.
    QByteArray received;
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        QElapsedTimer clock;
        clock.start();
        while (!stop.load() && received.size() < expected.size() && clock.elapsed() < 20000) {
            QByteArray chunk;
            if (link->read(chunk, 0, 142090) > 0)
                received += chunk;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    // The GUI sends every request without waiting, asking the link's state
    // as the pages do.
    int sent = 0;
    for (int k = 0; k < records; ++k) {
        QByteArray request = Frame::longRequest(0x42, quint32(0xF0 + 24 * k), 0x40);
        Frame::appendTrailer(request);
        if (link->isOpen() && !link->deviceRemoved() && link->write(request, 1000) == 10)
            ++sent;
        if (k % 16 == 0)
            std::this_thread::yield();
    }
    reader.join();
    stop = true;
    QCOMPARE(sent, records);
    QCOMPARE(received.size(), expected.size());
    QCOMPARE(received, expected);
    QCOMPARE(env.instrument()->readersPeak(), 1);
}

void SimThreadsTest::unplugWhileReading()
{
    SimProfile p = SimProfile::logger();
    p.reportIntervalUs = 200;
    SimEnvironment env;
    auto sim = env.plugIn(p);
    std::unique_ptr<CLinker> link(env.openLink(0x2047, 0x0301));
    QVERIFY(link);
    std::atomic<int> passes{0};
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop.load()) {
            QByteArray chunk;
            link->read(chunk, 0, 142090);
            ++passes;
        }
    });
    for (int k = 0; k < 3; ++k) {
        QByteArray request = Frame::longRequest(0x42, quint32(0x180 + 0x980 * k), 0x40);
        Frame::appendTrailer(request);
        QCOMPARE(link->write(request, 1000), 10);
    }
    QTest::qWait(20);
    sim->unplug(); // from this thread, while the reader waits for reports
    QElapsedTimer clock;
    clock.start();
    while (passes.load() < 3 && clock.elapsed() < 2000)
        QTest::qWait(5);
    QVERIFY(link->deviceRemoved());
    QByteArray request = Frame::longRequest(0x41, 0x80, 6);
    Frame::appendTrailer(request);
    QCOMPARE(link->write(request, 1000), -1);
    stop = true;
    reader.join();
}

void SimThreadsTest::overlappingReadersAreSeen()
{
    // What the readers' peak exists to catch: two threads reading at once
    // (here through two shared handles, so that nothing else races).
    SimEnvironment env;
    auto sim = env.plugIn(SimProfile::meter());
    const QString path = env.transport()->enumerate(0x2047, 0x0301).first().path;
    HidTransport::OpenError error = HidTransport::OpenError::None;
    auto a = env.transport()->open(path, false, &error);
    auto b = env.transport()->open(path, false, &error);
    QVERIFY(a && b);
    QCOMPARE(sim->readersPeak(), 0);
    auto readOnce = [](HidTransport::Handle *h) {
        unsigned char report[64];
        h->readReport(report, 64, 300);
    };
    std::thread first(readOnce, a.get());
    std::thread second(readOnce, b.get());
    first.join();
    second.join();
    QCOMPARE(sim->readersPeak(), 2);
}

QTEST_GUILESS_MAIN(SimThreadsTest)
#include "test_simthreads.moc"
