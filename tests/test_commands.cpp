// The command exchange end to end over a scripted link: requests on the wire,
// result codes, decoding and the messages the user sees.
#include "measurement/instrumentclock.h"
#include "gui/commandfailures.h"
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "frames.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/instrumentcommands.h"
#include "scriptedlink.h"

#include <QtTest>

class CommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void readBlock80Results_data();
    void readBlock80Results();
    void identityMessages_data();
    void identityMessages();
    void keyInfoRefusedThenDecoded();
    void writeBlockRequest();
    void writeClockRequest();
    void countAndClockDecoding();
    void failedWriteIsReported();
    void noLinkMeansNotSent();
    void receiveFrameRules_data();
    void receiveFrameRules();
    void delayWaitsAtLeast();

private:
    ScriptedLink *link = nullptr;
    MainWindow *window = nullptr;
};

void CommandsTest::initTestCase()
{
    MainWindow::setLinkOpener([this](quint16, quint16) {
        link = new ScriptedLink;
        return link;
    });
    DialogRecorder quiet; // the recognition at start finds no answers
    window = MainWindow::instance();
    QTRY_VERIFY(window->link() != nullptr);
    // The window starts in Chinese when it finds the translation; the
    // messages below are checked in the program's source language.
    QVERIFY(QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked"));
}

void CommandsTest::init()
{
    link->chunks.clear();
    link->written.clear();
    link->writeResults.clear();
    link->open = true;
}

void CommandsTest::readBlock80Results_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("messages");
    const QByteArray good = longAnswer(0x41, 0x80, hexBytes("01 0A 00 01"));
    QByteArray badTrailer = good;
    badTrailer[15] = char(badTrailer[15] ^ 0x55);
    QByteArray badBlock = good;
    badBlock[11] = 0;
    badBlock = withTrailer(badBlock.left(14));

    QTest::newRow("success") << QByteArrayList{good} << 1 << QStringList();
    QTest::newRow("stray bytes before the answer")
        << QByteArrayList{hexBytes("00 00") + good} << 1 << QStringList();
    QTest::newRow("answer in two pieces")
        << QByteArrayList{good.left(5), good.mid(5)} << 1 << QStringList();
    QTest::newRow("nothing") << QByteArrayList() << -2 << QStringList();
    QTest::newRow("trailer wrong")
        << QByteArrayList{badTrailer} << -2 << QStringList{"Message format error！"};
    QTest::newRow("refused") << QByteArrayList{hexBytes("AB C7 08 00 00 00")} << -5
                             << QStringList();
    QTest::newRow("block check value wrong") << QByteArrayList{badBlock} << -4 << QStringList();
    QTest::newRow("wrong header")
        << QByteArrayList{withTrailer("AB 41 81 00 00 00 07 00 01 0A 00 01 00 00")} << -3
        << QStringList();
}

void CommandsTest::readBlock80Results()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, result);
    QFETCH(QStringList, messages);
    DialogRecorder dialogs;
    link->chunks = chunks;
    int b0 = -7, b1 = -7, b2 = -7, b3 = -7;
    QCOMPARE(MainWindow::instance()->commands()->readBlock80(b0, b1, b2, b3), result);
    QCOMPARE(link->written.value(0).toHex(' '), QByteArray("ab 41 80 00 00 00 06 00 46 a4"));
    QCOMPARE(dialogs.texts(), messages);
    if (result == 1)
        QCOMPARE((QList<int>{b0, b1, b2, b3}), (QList<int>{1, 10, 0, 1}));
    else
        QCOMPARE((QList<int>{b0, b1, b2, b3}), (QList<int>{-7, -7, -7, -7}));
}

void CommandsTest::identityMessages_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QList<int>>("writeResults");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("messages");
    QByteArray erased(30, char(0xFF));
    erased.replace(0, 8, hexBytes("AB 47 00 00 00 00 14 00"));
    erased = withTrailer(erased.left(28));

    QTest::newRow("production: not sent")
        << "production" << QByteArrayList() << QList<int>{-1} << -1
        << QStringList{"Send data Error！", "读取生产信息写端口失败！"};
    QTest::newRow("production: no answer")
        << "production" << QByteArrayList() << QList<int>() << -2
        << QStringList{"读取生产信息接收端口报文失败！"};
    QTest::newRow("production: wrong header")
        << "production"
        << QByteArrayList{withTrailer(hexBytes("AB 47 01 00 00 00 15 00") + QByteArray(20, 'x'))}
        << QList<int>() << -3 << QStringList{"读取生产信息接收的报文格式错误！"};
    QTest::newRow("production: erased block")
        << "production" << QByteArrayList{erased} << QList<int>() << -4
        << QStringList{"读取生产信息checksum错误！"};
    QTest::newRow("production: refused, no message")
        << "production" << QByteArrayList{hexBytes("AB C7 08 00")} << QList<int>() << -5
        << QStringList();
    QTest::newRow("calibration: no answer")
        << "calibration" << QByteArrayList() << QList<int>() << -2
        << QStringList{"读取调校日期接收端口报文失败！"};
    QTest::newRow("calibration: block check")
        << "calibration"
        << QByteArrayList{withTrailer(hexBytes("AB 47 24 00 00 00 06 00 E8 07 01 02 00 00"))}
        << QList<int>() << -4 << QStringList{"读取调校日期checksum错误！"};
    QTest::newRow("calibration: not sent")
        << "calibration" << QByteArrayList() << QList<int>{3} << -1
        << QStringList{"Send data Error！", "读取调校日期写端口失败！"};
    QTest::newRow("calibration: wrong header")
        << "calibration"
        << QByteArrayList{withTrailer(hexBytes("AB 47 25 00 00 00 07 00") + QByteArray(6, 1))}
        << QList<int>() << -3 << QStringList{"读取调校日期接收的报文格式错误！"};
    QTest::newRow("version: no answer") << "version" << QByteArrayList() << QList<int>() << -2
                                        << QStringList{"读取软件版本接收端口报文失败！"};
    QTest::newRow("version: wrong header")
        << "version" << QByteArrayList{withTrailer("AB 21 1C 00 03 00 15 00")} << QList<int>()
        << -3 << QStringList{"读取软件版本接收的报文格式错误！"};
    QTest::newRow("version: not sent") << "version" << QByteArrayList() << QList<int>{-1} << -1
                                       << QStringList{"Send data Error！", "读取软件版本写端口失败！"};
    QTest::newRow("version: C7 08 is no refusal for it")
        << "version" << QByteArrayList{hexBytes("AB C7 08")} << QList<int>() << -2
        << QStringList{"读取软件版本接收端口报文失败！"};
}

void CommandsTest::identityMessages()
{
    QFETCH(QString, command);
    QFETCH(QByteArrayList, chunks);
    QFETCH(QList<int>, writeResults);
    QFETCH(int, result);
    QFETCH(QStringList, messages);
    DialogRecorder dialogs;
    link->chunks = chunks;
    link->writeResults = writeResults;
    InstrumentCommands *c = MainWindow::instance()->commands();
    int r = 0;
    if (command == "production") {
        ProductionInfo info;
        info.serialNumber = 77;
        r = c->readProductionInfo(info);
        QCOMPARE(info.serialNumber, 77u); // untouched on failure
    } else if (command == "calibration") {
        QDate date(2001, 1, 1);
        r = c->readCalibrationDate(date);
        QCOMPARE(date, QDate(2001, 1, 1));
    } else {
        quint16 version = 5;
        r = c->readSoftwareVersion(version);
        QCOMPARE(version, quint16(5));
    }
    QCOMPARE(r, result);
    // The command only returns its result; the page shows what it means.
    CommandTexts::showFailure(nullptr, r,
                              command == "production"    ? CommandTexts::productionInfo
                              : command == "calibration" ? CommandTexts::calibrationDate
                                                         : CommandTexts::softwareVersion);
    QCOMPARE(dialogs.texts(), messages);
    for (const DialogRecorder::Shown &s : dialogs.shown) {
        if (s.text.startsWith(QString::fromUtf8("读取"))) {
            QCOMPARE(s.title, QString::fromUtf8("提示"));
            QVERIFY(!s.hadParent);
        } else {
            QCOMPARE(s.title, QString("information"));
        }
    }
}

void CommandsTest::keyInfoRefusedThenDecoded()
{
    DialogRecorder dialogs;
    link->chunks = {withTrailer("AB A0 04 00 00 00")};
    KeyInfo key;
    QCOMPARE(MainWindow::instance()->commands()->readKeyInfo(key), -5);
    QVERIFY(dialogs.shown.isEmpty());

    const QByteArray production = longAnswer(
        0x47, 0x00, hexBytes("07 00 E8 07 0C 1F 40 E2 01 00 63 62 5D 00 34 12 05 06"));
    link->chunks = {production};
    ProductionInfo info;
    QCOMPARE(MainWindow::instance()->commands()->readProductionInfo(info), 1);
    QCOMPARE(info.serialNumber, 123456u);
    QCOMPARE(info.deviceType, 6120035u);
    QCOMPARE(info.productionDate, QDate(2024, 12, 31));
    QCOMPARE(info.firstValue, 7);
    QCOMPARE(info.value16, quint16(0x1234));
    QCOMPARE(info.byteValue1, quint8(5));
    QCOMPARE(info.byteValue2, quint8(6));
    QVERIFY(dialogs.shown.isEmpty());
}

void CommandsTest::writeBlockRequest()
{
    link->chunks = {withTrailer("AB 77 60 00 00 00 06 00")};
    QCOMPARE(MainWindow::instance()->commands()->writeBlock60(0, 10, 2, 3), 1);
    QByteArray expected = hexBytes("AB 77 60 00 00 00 06 00 00 0A 02 03");
    appendLe16(expected, crc16(hexBytes("00 0A 02 03")));
    QCOMPARE(link->written.value(0).left(14).toHex(' '), expected.toHex(' '));
    QCOMPARE(link->written.value(0).size(), 16);
    QCOMPARE(link->written.value(0), withTrailer(expected));
}

void CommandsTest::writeClockRequest()
{
    link->chunks = {withTrailer("AB 21 21 00 06 00")};
    const QDateTime when(QDate(2009, 3, 4), QTime(5, 6, 7));
    QCOMPARE(MainWindow::instance()->commands()->writeClock(when), 1);
    QCOMPARE(link->written.value(0), withTrailer("AB 21 21 00 06 00 09 03 04 05 06 07"));
}

void CommandsTest::countAndClockDecoding()
{
    link->chunks = {longAnswer(0x41, 0xE0, hexBytes("19 07")),
                    withTrailer("AB 20 61 00 06 00 18 0C 1F 17 3B 3B")};
    int count = -1;
    QCOMPARE(MainWindow::instance()->commands()->readPowerGroupCount(count), 1);
    QCOMPARE(count, 25);
    QDateTime when;
    QCOMPARE(MainWindow::instance()->commands()->readClock(when), 1);
    QCOMPARE(when, InstrumentClock::at(QDate(2024, 12, 31), QTime(23, 59, 59)));
}

void CommandsTest::failedWriteIsReported()
{
    DialogRecorder dialogs;
    link->writeResults = {-1};
    int count = 0;
    QCOMPARE(MainWindow::instance()->commands()->readPowerGroupCount(count), -1);
    QCOMPARE(dialogs.texts(), QStringList{"Send data Error！"});
    QCOMPARE(dialogs.shown.value(0).parent.data(), static_cast<QWidget *>(window));
}

void CommandsTest::noLinkMeansNotSent()
{
    DialogRecorder dialogs;
    link->open = false;
    int b = 0;
    QCOMPARE(MainWindow::instance()->commands()->readBlock60(b, b, b, b), -1);
    QVERIFY(link->written.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
    QByteArray frame = hexBytes("AB 20");
    QCOMPARE(window->sendFrame(frame, 1000), -1);
    QCOMPARE(frame.size(), 2);
}

void CommandsTest::receiveFrameRules_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<int>("result");
    const QByteArray answer = withTrailer("AB 20 1C 00 02 00 15 00");
    QTest::newRow("accepted") << answer << 10 << true << 10;
    QTest::newRow("two answers back to back keep the longer length")
        << answer + answer << 10 << true << 20;
    QTest::newRow("byte 2 is 04: refused without message")
        << withTrailer("AB A0 04 00 00 00") << 8 << true << -1;
    QTest::newRow("partial answer fails the check")
        << answer.left(8) << 10 << true << -1;
    QTest::newRow("not verified: taken as it is") << hexBytes("01 02 03") << 0 << false << 3;
    QTest::newRow("nothing") << QByteArray() << 10 << true << 0;
}

void CommandsTest::receiveFrameRules()
{
    QFETCH(QByteArray, chunk);
    QFETCH(int, expectedLength);
    QFETCH(bool, verify);
    QFETCH(int, result);
    DialogRecorder dialogs;
    link->chunks = {chunk};
    QByteArray buffer;
    QCOMPARE(window->receiveFrame(buffer, verify ? 0 : 0, expectedLength, verify), result);
    const bool formatMessage = dialogs.texts().contains("Message format error！");
    QCOMPARE(formatMessage, result == -1 && Frame::byteAt(chunk, 2) != 0x04);
}

void CommandsTest::delayWaitsAtLeast()
{
    QElapsedTimer t;
    t.start();
    InstrumentCommands::delay(30);
    QVERIFY(t.elapsed() > 30);
}

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
