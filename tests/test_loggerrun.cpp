// Decoding of Logger runs: request addresses, packet walk, payload, start
// time, statistics and the row texts, on their own.

#include "frames.h"
#include "download/loggerrun.h"
#include "protocol/crc16.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

QByteArray packet(const QByteArray &data, quint32 address = 0x180)
{
    QByteArray p = hexBytes("AB 42");
    for (int i = 0; i < 4; ++i)
        p.append(char((address >> (8 * i)) & 0xFF));
    appendLe16(p, quint16(data.size()));
    p.append(data);
    p.append(hexBytes("12 34")); // trailers are not looked at
    return p;
}

QByteArray endPacket() { return packet(QByteArray()); }

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray out;
    for (float v : values) {
        quint32 raw;
        std::memcpy(&raw, &v, 4);
        for (int i = 0; i < 4; ++i)
            out.append(char((raw >> (8 * i)) & 0xFF));
    }
    return out;
}

const QByteArray kStart = hexBytes("18 0C 1F 17 3B 3B"); // 2024-12-31 23:59:59
const float kNaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

class LoggerRunTest : public QObject
{
    Q_OBJECT
private slots:
    void request_data();
    void request();
    void walk_data();
    void walk();
    void startTime_data();
    void startTime();
    void sampleCount_data();
    void sampleCount();
    void statistics_data();
    void statistics();
    void singlePrecisionSum();
    void step_data();
    void step();
    void rowTexts_data();
    void rowTexts();
    void sampleRows();
};

void LoggerRunTest::request_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("run 0 at 0x180") << 0 << hexBytes("AB 42 80 01 00 00 40 00");
    QTest::newRow("run 1 at 0xB00") << 1 << hexBytes("AB 42 00 0B 00 00 40 00");
    QTest::newRow("run 24 at 0xE580") << 24 << hexBytes("AB 42 80 E5 00 00 40 00");
}

void LoggerRunTest::request()
{
    QFETCH(int, run);
    QFETCH(QByteArray, expected);
    QCOMPARE(LoggerRun::runRequest(run), expected);
}

void LoggerRunTest::walk_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<bool>("ended");
    QTest::addColumn<bool>("whole"); // the end packet's trailer has come too
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("dropped");

    const QByteArray d1 = kStart + floats({1.0f});
    const QByteArray d2 = floats({2.0f, 3.0f});
    // The worked example: one 14-byte packet, then the end packet.
    QTest::newRow("14-byte payload")
        << (hexBytes("AB 42 80 01 00 00 0E 00 18 0C 1F 17 3B 3B 00 00 80 3F 00 00 00 40 77 88")
            + hexBytes("AB 42 80 01 00 00 00 00 99 AA"))
        << true << true << (kStart + floats({1.0f, 2.0f})) << 0;
    QTest::newRow("two packets") << (packet(d1) + packet(d2) + endPacket()) << true << true
                                 << (d1 + d2) << 0;
    QTest::newRow("stray bytes before and between")
        << (hexBytes("00 AB 5A") + packet(d1) + hexBytes("AB 5A 42 01") + packet(d2) + endPacket())
        << true << true << (d1 + d2) << 0;
    QTest::newRow("AB 42 inside the data is not a packet")
        << (packet(kStart + hexBytes("AB 42 00 00 00 00 00 00")) + endPacket()) << true << true
        << (kStart + hexBytes("AB 42 00 00 00 00 00 00")) << 0;
    QTest::newRow("end packet header only") << (packet(d1) + hexBytes("AB 42 80 01 00 00 00 00"))
                                            << true << false << d1 << 0;
    QTest::newRow("end packet header one byte short")
        << (packet(d1) + hexBytes("AB 42 80 01 00 00 00")) << false << false << d1 << 0;
    QTest::newRow("no end packet yet") << (packet(d1) + packet(d2)) << false << false << d1 << 1;
    QTest::newRow("bytes after the end packet ignored")
        << (packet(d1) + endPacket() + packet(d2)) << true << true << d1 << 0;
    QTest::newRow("packet running past the end is dropped")
        << (packet(d1) + hexBytes("AB 42 80 01 00 00 FF 00 01 02 03")) << false << false << d1 << 1;
    QTest::newRow("nothing") << QByteArray() << false << false << QByteArray() << 0;
}

void LoggerRunTest::walk()
{
    QFETCH(QByteArray, frames);
    QFETCH(bool, ended);
    QFETCH(bool, whole);
    QFETCH(QByteArray, payload);
    QFETCH(int, dropped);
    QCOMPARE(LoggerRun::endPacketSeen(frames), ended);
    QCOMPARE(LoggerRun::answerComplete(frames), whole);
    QList<quint16> lengths;
    QCOMPARE(LoggerRun::extractPayload(frames, &lengths), payload);
    QCOMPARE(lengths.size(), dropped);
}

void LoggerRunTest::startTime_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("expected");
    QTest::newRow("last second of 2024") << kStart << "2024-12-31 23:59:59";
    QTest::newRow("with samples") << (kStart + floats({1.0f})) << "2024-12-31 23:59:59";
    QTest::newRow("plain bytes, not BCD") << hexBytes("09 03 04 05 06 07") << "2009-03-04 05:06:07";
    QTest::newRow("one byte short") << kStart.left(5) << "";
    QTest::newRow("month 13") << hexBytes("18 0D 01 00 00 00") << "";
    QTest::newRow("hour 24") << hexBytes("18 01 01 18 00 00") << "";
}

void LoggerRunTest::startTime()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, expected);
    const QDateTime start = LoggerRun::startTime(payload);
    QCOMPARE(start.toString("yyyy-MM-dd hh:mm:ss"), expected);
    QCOMPARE(start.isValid(), !expected.isEmpty());
}

void LoggerRunTest::sampleCount_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("shorter than the start time") << 5 << 0;
    QTest::newRow("start time only") << 6 << 0;
    QTest::newRow("three bytes of a sample") << 9 << 0;
    QTest::newRow("one sample") << 10 << 1;
    QTest::newRow("one sample and a partial one") << 13 << 1;
    QTest::newRow("two samples") << 14 << 2;
    QTest::newRow("a full run") << 6 + 4 * 606 << 606;
}

void LoggerRunTest::sampleCount()
{
    QFETCH(int, size);
    QFETCH(int, count);
    const QByteArray payload(size, '\x01');
    QCOMPARE(LoggerRun::sampleCount(payload), count);
    QCOMPARE(LoggerRun::sampleValues(payload).size(), count);
}

void LoggerRunTest::statistics_data()
{
    QTest::addColumn<QByteArray>("samples");
    QTest::addColumn<int>("count");
    QTest::addColumn<float>("rec");
    QTest::addColumn<float>("max");
    QTest::addColumn<float>("min");
    QTest::addColumn<float>("avg");

    QTest::newRow("1 3 2") << floats({1, 3, 2}) << 3 << 2.0f << 3.0f << 1.0f << 2.0f;
    QTest::newRow("1 2") << floats({1, 2}) << 2 << 2.0f << 2.0f << 1.0f << 1.5f;
    QTest::newRow("one sample") << floats({7.5f}) << 1 << 7.5f << 7.5f << 7.5f << 7.5f;
    QTest::newRow("negative only") << floats({-2, -5, -1}) << 3 << -1.0f << -1.0f << -5.0f
                                   << float(-8.0f / 3.0f);
    QTest::newRow("ties keep") << floats({4, 4, 4}) << 3 << 4.0f << 4.0f << 4.0f << 4.0f;
    QTest::newRow("NaN in the middle replaces neither")
        << floats({1, kNaN, 3}) << 3 << 3.0f << 3.0f << 1.0f << kNaN;
    QTest::newRow("NaN first sets both") << floats({kNaN, 1, 3}) << 3 << 3.0f << kNaN << kNaN
                                         << kNaN;
    QTest::newRow("no sample") << QByteArray() << 0 << 0.0f << 0.0f << 0.0f << 0.0f;
}

void LoggerRunTest::statistics()
{
    QFETCH(QByteArray, samples);
    QFETCH(int, count);
    QFETCH(float, rec);
    QFETCH(float, max);
    QFETCH(float, min);
    QFETCH(float, avg);
    auto same = [](float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
    const LoggerRun::Statistics s = LoggerRun::statistics(kStart + samples);
    QCOMPARE(s.samples, count);
    QVERIFY2(same(s.rec, rec), qPrintable(QString::number(s.rec)));
    QVERIFY2(same(s.max, max), qPrintable(QString::number(s.max)));
    QVERIFY2(same(s.min, min), qPrintable(QString::number(s.min)));
    QVERIFY2(same(s.avg, avg), qPrintable(QString::number(s.avg)));
}

void LoggerRunTest::singlePrecisionSum()
{
    // 2^24 + 1 + 1 is 2^24 in single precision: the ones are lost one by one,
    // where a double sum would keep them.
    const LoggerRun::Statistics s = LoggerRun::statistics(kStart + floats({16777216.0f, 1, 1}));
    QCOMPARE(s.sum, 16777216.0f);
    QCOMPARE(s.avg, 16777216.0f / 3.0f);
}

void LoggerRunTest::step_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("b0");
    QTest::addColumn<int>("b2");
    QTest::addColumn<int>("step");
    QTest::newRow("off, 1 s") << 1 << 0 << 0 << 1;
    QTest::newRow("off, 10 s") << 1 << 0 << 1 << 10;
    QTest::newRow("off, 60 s") << 1 << 0 << 2 << 60;
    QTest::newRow("off, unknown code") << 1 << 0 << 3 << 1;
    QTest::newRow("auto off on overrides 60 s") << 1 << 1 << 2 << 1;
    QTest::newRow("wrong block check value") << -4 << 0 << 2 << 1;
    QTest::newRow("other Auto Off value keeps the interval") << 1 << 2 << 1 << 10;
}

void LoggerRunTest::step()
{
    QFETCH(int, result);
    QFETCH(int, b0);
    QFETCH(int, b2);
    QFETCH(int, step);
    QCOMPARE(LoggerRun::stepSeconds(result, b0, b2), step);
}

void LoggerRunTest::rowTexts_data()
{
    QTest::addColumn<int>("run");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("1 3 2 at 10 s")
        << 0 << (kStart + floats({1, 3, 2})) << 10
        << QStringList{"1", "2024-12-31 23:59:59", "30", "2.0", "3.0", "1.0", "2.0"};
    QTest::newRow("same run, step 1")
        << 0 << (kStart + floats({1, 3, 2})) << 1
        << QStringList{"1", "2024-12-31 23:59:59", "3", "2.0", "3.0", "1.0", "2.0"};
    QTest::newRow("one decimal") << 4 << (kStart + floats({12.34f, 0.0f, 0.06f})) << 60
                                 << QStringList{"5", "2024-12-31 23:59:59", "180", "0.1", "12.3",
                                                "0.0", "4.1"};
    QTest::newRow("start time without sample")
        << 1 << (kStart + hexBytes("01 02 03")) << 10
        << QStringList{"2", "2024-12-31 23:59:59", "0", "", "", "", ""};
    QTest::newRow("shorter than the start time")
        << 2 << hexBytes("18 0C 1F") << 10 << QStringList{"3", "", "", "", "", "", ""};
    QTest::newRow("empty payload") << 0 << QByteArray() << 1
                                   << QStringList{"1", "", "", "", "", "", ""};
}

void LoggerRunTest::rowTexts()
{
    QFETCH(int, run);
    QFETCH(QByteArray, payload);
    QFETCH(int, step);
    QFETCH(QStringList, texts);
    QCOMPARE(LoggerRun::rowTexts(run, payload, step), texts);
}

void LoggerRunTest::sampleRows()
{
    const QList<QVariantList> rows = LoggerRun::sampleRows(kStart + floats({1, 3, 2.26f}) + "x");
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(0), (QVariantList{"NUM", "VAL"}));
    QCOMPARE(rows.at(1), (QVariantList{"1", "1.0"}));
    QCOMPARE(rows.at(2), (QVariantList{"2", "3.0"}));
    QCOMPARE(rows.at(3), (QVariantList{"3", "2.3"}));
    QCOMPARE(LoggerRun::sampleRows(kStart).size(), 1);
}

QTEST_GUILESS_MAIN(LoggerRunTest)
#include "test_loggerrun.moc"
