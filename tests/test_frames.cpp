#include "measurement/instrumentclock.h"
#include "frames.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/identity.h"

#include <QtTest>

using Frame::Command;

Q_DECLARE_METATYPE(const Command *)

class FramesTest : public QObject
{
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void requestFrames_data();
    void requestFrames();
    void trailer_data();
    void trailer();
    void judge_data();
    void judge();
    void boundsCheckedReaders();
    void clockBytes();
    void identityDecoders_data();
    void identityDecoders();
};

void FramesTest::crc_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("check string 1..9") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("no bytes") << QByteArray() << 0xFFFF;
    QTest::newRow("key info request") << hexBytes("AB 20 05 00 12 00") << 0x6B94;
    QTest::newRow("production info request") << hexBytes("AB 47 00 00 00 00 14 00") << 0xC433;
    QTest::newRow("one zero byte") << hexBytes("00") << 0x40BF;
}

void FramesTest::crc()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(int(crc16(bytes)), expected);
}

void FramesTest::requestFrames_data()
{
    QTest::addColumn<const Command *>("command");
    QTest::addColumn<QByteArray>("onTheWire");
    QTest::newRow("production info") << &Frame::Commands::productionInfo()
                                     << hexBytes("AB 47 00 00 00 00 14 00 33 C4");
    QTest::newRow("key info") << &Frame::Commands::keyInfo() << hexBytes("AB 20 05 00 12 00 94 6B");
    QTest::newRow("software version")
        << &Frame::Commands::softwareVersion() << hexBytes("AB 20 1C 00 02 00 9E F7");
    QTest::newRow("block 0x80") << &Frame::Commands::readBlock80()
                                << hexBytes("AB 41 80 00 00 00 06 00 46 A4");
    QTest::newRow("calibration date")
        << &Frame::Commands::calibrationDate() << hexBytes("AB 47 24 00 00 00 06 00 39 80");
}

void FramesTest::requestFrames()
{
    QFETCH(const Command *, command);
    QFETCH(QByteArray, onTheWire);
    QByteArray frame = command->request;
    Frame::appendTrailer(frame);
    QCOMPARE(frame.toHex(' '), onTheWire.toHex(' '));
}

void FramesTest::trailer_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("matches");
    const QByteArray answer = withTrailer("AB 20 1C 00 02 00 15 00");
    QTest::newRow("exact") << answer << 10 << true;
    QTest::newRow("longer than expected: two answers back to back") << answer + answer << 10 << true;
    QTest::newRow("one byte short") << answer.left(9) << 10 << false;
    QByteArray damaged = answer;
    damaged[6] = 0x16;
    QTest::newRow("damaged data") << damaged << 10 << false;
    QTest::newRow("positions from expected length, not buffer length")
        << answer + hexBytes("AB") << 11 << false;
}

void FramesTest::trailer()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, expected);
    QFETCH(bool, matches);
    QCOMPARE(Frame::trailerMatches(buffer, expected), matches);
}

void FramesTest::judge_data()
{
    using namespace Frame::Commands;
    QTest::addColumn<const Command *>("command");
    QTest::addColumn<int>("receiveResult");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("expected");

    const QByteArray block80 = longAnswer(0x41, 0x80, hexBytes("01 0A 00 01"));
    QTest::newRow("block 0x80 good") << &readBlock80() << block80.size() << block80 << 1;
    QByteArray badBlock = block80;
    badBlock[12] = char(badBlock[12] ^ 0x01);
    QTest::newRow("block 0x80 check value wrong") << &readBlock80() << 16 << badBlock << -4;
    QTest::newRow("refusal C7 08 to a 0x41 read")
        << &readBlock80() << -1 << hexBytes("AB C7 08 00") << -5;
    QTest::newRow("refusal C7 08 to a 0x77 write")
        << &writeBlock60() << 0 << hexBytes("AB C7 08") << -5;
    QTest::newRow("nothing arrived") << &readBlock80() << 0 << QByteArray() << -2;
    QTest::newRow("two bytes never match a pattern")
        << &readBlock80() << 0 << hexBytes("AB C7") << -2;
    QTest::newRow("key info refusal A0 04")
        << &keyInfo() << -1 << hexBytes("AB A0 04 00 00 00") << -5;
    QTest::newRow("key info pattern is not the long-header one")
        << &productionInfo() << -1 << hexBytes("AB A0 04 00") << -2;
    QTest::newRow("software version has no refusal")
        << &softwareVersion() << -1 << hexBytes("AB C7 08") << -2;

    QByteArray addressOnlyInLength = longAnswer(0x41, 0x81, hexBytes("01 0A 00 01"));
    QTest::newRow("header matches only in the length byte")
        << &readBlock80() << 16 << addressOnlyInLength << 1;
    QByteArray wrongHeader = longAnswer(0x41, 0x81, hexBytes("01 0A 00 01 00 00"));
    QTest::newRow("header matches in neither byte") << &readBlock80() << 18 << wrongHeader << -3;

    QTest::newRow("software version accepted on byte 1 alone")
        << &softwareVersion() << 10 << withTrailer("AB 20 1C 00 07 00 15 00") << 1;
    QTest::newRow("software version accepted on byte 4 alone")
        << &softwareVersion() << 10 << withTrailer("AB 21 1C 00 02 00 15 00") << 1;
    QTest::newRow("software version wrong header")
        << &softwareVersion() << 10 << withTrailer("AB 21 1C 00 03 00 15 00") << -3;
    QTest::newRow("clock accepted")
        << &readClock() << 14 << withTrailer("AB 20 61 00 06 00 18 0C 1F 17 3B 3B") << 1;
    QTest::newRow("write clock wrong header")
        << &writeClock() << 8 << withTrailer("AB 21 22 00 07 00") << -3;
    const QByteArray count = longAnswer(0x41, 0xE0, hexBytes("03 00"));
    QTest::newRow("power group count") << &powerGroupCount() << 14 << count << 1;
    QByteArray erased(30, char(0xFF));
    erased.replace(0, 8, hexBytes("AB 47 00 00 00 00 14 00"));
    QTest::newRow("erased production block") << &productionInfo() << 30 << erased << -4;
    QTest::newRow("block check on a short buffer is not read past the end")
        << &readBlock80() << 12 << block80.left(12) << -4;
}

void FramesTest::judge()
{
    QFETCH(const Command *, command);
    QFETCH(int, receiveResult);
    QFETCH(QByteArray, answer);
    QFETCH(int, expected);
    QCOMPARE(Frame::judgeAnswer(*command, receiveResult, answer), expected);
}

void FramesTest::boundsCheckedReaders()
{
    const QByteArray b = hexBytes("01 02 03 04 05");
    QCOMPARE(Frame::byteAt(b, 4), 5);
    QCOMPARE(Frame::byteAt(b, 5), -1);
    QCOMPARE(Frame::byteAt(b, -1), -1);
    quint16 v16 = 0xBEEF;
    QVERIFY(Frame::le16At(b, 3, &v16));
    QCOMPARE(v16, quint16(0x0504));
    QVERIFY(!Frame::le16At(b, 4, &v16));
    QCOMPARE(v16, quint16(0x0504));
    quint32 v32 = 0;
    QVERIFY(Frame::le32At(b, 1, &v32));
    QCOMPARE(v32, quint32(0x05040302));
    QVERIFY(!Frame::le32At(b, 2, &v32));
    float f = 0;
    QVERIFY(Frame::floatAt(hexBytes("00 00 80 3F"), 0, &f));
    QCOMPARE(f, 1.0f);
    QVERIFY(!Frame::floatAt(hexBytes("00 00 80"), 0, &f));
}

void FramesTest::clockBytes()
{
    const QDateTime when = InstrumentClock::at(QDate(2009, 3, 4), QTime(5, 6, 7));
    QCOMPARE(Identity::encodeClock(when).toHex(' '), QByteArray("09 03 04 05 06 07"));
    QDateTime back;
    QVERIFY(Identity::decodeClock(withTrailer("AB 20 61 00 06 00 09 03 04 05 06 07"), 6, &back));
    QCOMPARE(back, when);
    QVERIFY(!Identity::decodeClock(hexBytes("AB 20 61 00 06 00 09 03 04 05 06"), 6, &back));
    QCOMPARE(Identity::versionText(21), QString("2.1"));
    QCOMPARE(Identity::versionText(100), QString("10.0"));
}

void FramesTest::identityDecoders_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("decodes");
    QTest::addColumn<uint>("serial");
    QTest::addColumn<uint>("type");
    QTest::addColumn<QDate>("date");
    // Key information: marker A5, date 2024-12-31, serial 123456, type 6120035.
    QByteArray key = hexBytes("AB 20 05 00 12 00 A5 00 E8 07 0C 1F 40 E2 01 00 63 62 5D 00 "
                              "01 00 02 00");
    QTest::newRow("key info") << withTrailer(key) << true << 123456u << 6120035u
                              << QDate(2024, 12, 31);
    QTest::newRow("key info one byte short") << key.left(23) << false << 0u << 0u << QDate();
}

void FramesTest::identityDecoders()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, decodes);
    KeyInfo info;
    info.serialNumber = 0;
    QCOMPARE(Identity::decodeKeyInfo(answer, &info), decodes);
    if (!decodes)
        return;
    QTEST(uint(info.serialNumber), "serial");
    QTEST(uint(info.deviceType), "type");
    QTEST(info.productionDate, "date");
    QCOMPARE(info.marker, quint8(0xA5));
    QCOMPARE(info.spare1, quint16(1));
    QCOMPARE(info.spare2, quint16(2));
}

QTEST_GUILESS_MAIN(FramesTest)
#include "test_frames.moc"
