#include "frames.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"

#include <QtTest>

class FramesTest : public QObject
{
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
};

void FramesTest::crc_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("check string 1..9") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("key info request") << hexBytes("AB 20 05 00 12 00") << 0x6B94;
    QTest::newRow("production info request") << hexBytes("AB 47 00 00 00 00 14 00") << 0xC433;
}

void FramesTest::crc()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QCOMPARE(int(crc16(bytes)), expected);
}

QTEST_GUILESS_MAIN(FramesTest)
#include "test_frames.moc"
