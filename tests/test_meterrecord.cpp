// Meter record decoding, formatting, buffer walking and control profiles.
#include "frames.h"
#include "download/meterdownload.h"
#include "download/meterrecord.h"
#include "protocol/frame.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// 34-byte answer around 24 record bytes.
QByteArray answerWith(const QByteArray &record)
{
    return hexBytes("AB 42 F0 00 00 00 40 00") + record + hexBytes("00 00");
}

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray out;
    for (float v : values) {
        char raw[4];
        std::memcpy(raw, &v, 4); // the test machine is little-endian like the instrument
        out.append(raw, 4);
    }
    return out;
}

const QByteArray kWorkedRecord = hexBytes("00 00 4A 41 00 00 A0 41 00 00 AC 40 00 00 30 41 "
                                          "00 00 09 43 00 00 28 41");

} // namespace

class MeterRecordTest : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void rowTexts_data();
    void rowTexts();
    void profiles_data();
    void profiles();
    void decimals_data();
    void decimals();
    void recordRequest_data();
    void recordRequest();
    void split_data();
    void split();
    void probeNotice_data();
    void probeNotice();
    void downloadStream_data();
    void downloadStream();
    void unitFragments_data();
    void unitFragments();
};

void MeterRecordTest::decode_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<float>("rt");
    QTest::addColumn<float>("energy");
    QTest::addColumn<float>("duration");
    QTest::newRow("worked example")
        << answerWith(kWorkedRecord) << true << 12.625f << 137.f << 10.5f;
    QTest::newRow("without trailer")
        << answerWith(kWorkedRecord).left(32) << true << 12.625f << 137.f << 10.5f;
    QTest::newRow("one byte short")
        << answerWith(kWorkedRecord).left(31) << false << 0.f << 0.f << 0.f;
    QTest::newRow("header only") << hexBytes("AB 42 F0 00 00 00 40 00") << false << 0.f << 0.f
                                 << 0.f;
    QTest::newRow("empty") << QByteArray() << false << 0.f << 0.f << 0.f;
}

void MeterRecordTest::decode()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    MeterReading r;
    r.powerRt = -1;
    QCOMPARE(MeterRecord::decodeAnswer(answer, &r), ok);
    if (!ok) {
        QCOMPARE(r.powerRt, -1.f); // untouched
        return;
    }
    QFETCH(float, rt);
    QFETCH(float, energy);
    QFETCH(float, duration);
    QCOMPARE(r.powerRt, rt);
    QCOMPARE(r.powerMax, 20.f);
    QCOMPARE(r.powerMin, 5.375f);
    QCOMPARE(r.powerAvg, 11.f);
    QCOMPARE(r.energy, energy);
    QCOMPARE(r.duration, duration);
}

void MeterRecordTest::rowTexts_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("profile 1, mW/cm2")
        << kWorkedRecord << "QX102" << 1 << 1
        << QStringList{"1", "137.0000", "10.5", "12.6250", "20.0000", "5.3750", "11.0000"};
    QTest::newRow("profile 2, W/m2") << kWorkedRecord << "QX101" << 3 << 1
                                     << QStringList{"1", "137", "10.5", "13", "20", "5", "11"};
    QTest::newRow("profile 1, uW/cm2")
        << kWorkedRecord << "QX118" << 0 << 7
        << QStringList{"7", "137.0", "10.5", "12.6", "20.0", "5.4", "11.0"};
    QTest::newRow("profile 3, mW/cm2")
        << kWorkedRecord << "QX112" << 1 << 2
        << QStringList{"2", "137.0", "10.5", "12.6", "20.0", "5.4", "11.0"};
    QTest::newRow("profile 2, W/cm2")
        << kWorkedRecord << "QX117" << 2 << 3
        << QStringList{"3", "137.000", "10.5", "12.625", "20.000", "5.375", "11.000"};
    QTest::newRow("unit the model lacks")
        << kWorkedRecord << "QX102" << 2 << 4 << QStringList{"4", "", "10.5", "", "", "", ""};
    QTest::newRow("unlisted model")
        << kWorkedRecord << "UnKnow" << 1 << 5 << QStringList{"5", "", "10.5", "", "", "", ""};
    QTest::newRow("no unit checked")
        << kWorkedRecord << "QX102" << -1 << 6 << QStringList{"6", "", "10.5", "", "", "", ""};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("not a number and infinite")
        << floats({nan, inf, -inf, 1.f, nan, inf}) << "QX102" << 1 << 1
        << QStringList{"1", "nan", "inf", "nan", "inf", "-inf", "1.0000"};
    QTest::newRow("largest single")
        << floats({std::numeric_limits<float>::max(), 0, 0, 0, 0, 0.04f}) << "QX101" << 1 << 1
        << QStringList{"1", "0", "0.0", "340282346638528859811704183484516925440", "0", "0", "0"};
}

void MeterRecordTest::rowTexts()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, model);
    QFETCH(int, unit);
    QFETCH(int, number);
    QFETCH(QStringList, texts);
    MeterReading r;
    QVERIFY(MeterRecord::decodeAnswer(answerWith(record), &r));
    const int d = MeterUnits::decimals(MeterUnits::profileForModel(model), unit);
    QCOMPARE(MeterData::rowTexts(number, r, d), texts);
}

void MeterRecordTest::profiles_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("profile");
    for (const char *m :
         {"QX102", "QX105", "QX108", "QX109", "QX110", "QX111", "QX115", "QX116", "QX118", "QX119"})
        QTest::newRow(m) << m << 1;
    for (const char *m : {"QX101", "QX103", "QX104", "QX106", "QX107", "QX113", "QX114", "QX117"})
        QTest::newRow(m) << m << 2;
    QTest::newRow("QX112") << "QX112" << 3;
    QTest::newRow("UnKnow") << "UnKnow" << 0;
    QTest::newRow("lower case") << "qx102" << 0;
    QTest::newRow("empty") << "" << 0;
}

void MeterRecordTest::profiles()
{
    QFETCH(QString, model);
    QFETCH(int, profile);
    QCOMPARE(MeterUnits::profileNumber(model), profile);
    const MeterUnits::ControlProfile *p = MeterUnits::profileForModel(model);
    QCOMPARE(p != nullptr, profile != 0);
    if (!p)
        return;
    // The units a profile leaves empty are exactly the ones its page greys.
    for (int u = 0; u < MeterUnits::kUnitCount; ++u)
        QCOMPARE(p->unitUsable[u], p->decimals[u] >= 0);
    QCOMPARE(p->smoothUsable, profile != 1);
}

void MeterRecordTest::decimals_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QList<int>>("byUnit");
    QTest::newRow("profile 1") << "QX102" << QList<int>{1, 4, -1, 3};
    QTest::newRow("profile 2") << "QX101" << QList<int>{-1, 0, 3, 0};
    QTest::newRow("profile 3") << "QX112" << QList<int>{-1, 1, -1, 0};
    QTest::newRow("unlisted") << "UnKnow" << QList<int>{-1, -1, -1, -1};
}

void MeterRecordTest::decimals()
{
    QFETCH(QString, model);
    QFETCH(QList<int>, byUnit);
    const MeterUnits::ControlProfile *p = MeterUnits::profileForModel(model);
    for (int u = 0; u < 4; ++u)
        QCOMPARE(MeterUnits::decimals(p, u), byUnit[u]);
    QCOMPARE(MeterUnits::decimals(p, -1), -1);
    QCOMPARE(MeterUnits::decimals(p, 4), -1);
}

void MeterRecordTest::recordRequest_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("onTheWire");
    QTest::newRow("first") << 0 << hexBytes("AB 42 F0 00 00 00 40 00 4C F4");
    QTest::newRow("second") << 1 << hexBytes("AB 42 08 01 00 00 40 00 64 8C");
    QTest::newRow("third") << 2 << withTrailer("AB 42 20 01 00 00 40 00");
    QTest::newRow("last of 255") << 254 << withTrailer("AB 42 C0 18 00 00 40 00");
}

void MeterRecordTest::recordRequest()
{
    QFETCH(int, k);
    QFETCH(QByteArray, onTheWire);
    QByteArray request = MeterRecord::recordRequest(k);
    QCOMPARE(request.size(), 8);
    Frame::appendTrailer(request);
    QCOMPARE(request.toHex(' '), onTheWire.toHex(' '));
}

void MeterRecordTest::split_data()
{
    const QByteArray a = answerWith(kWorkedRecord);
    const QByteArray b = answerWith(floats({1, 2, 3, 4, 5, 6}));
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<QByteArrayList>("answers");
    QTest::addColumn<bool>("partialTail");
    QTest::newRow("empty") << QByteArray() << QByteArrayList{} << false;
    QTest::newRow("two back to back") << a + b << QByteArrayList{a, b} << false;
    QTest::newRow("stray bytes before")
        << hexBytes("00 5A AB 00") + a << QByteArrayList{a} << false;
    QTest::newRow("stray bytes between")
        << a + hexBytes("5A 5A 5A") + b << QByteArrayList{a, b} << false;
    QTest::newRow("probe notice between")
        << a + withTrailer("AB 22 0D 00 01 00 01") + b << QByteArrayList{a, b} << false;
    QTest::newRow("answer one byte short at the end")
        << a + b.left(33) << QByteArrayList{a} << true;
    QTest::newRow("AB 42 as the last two bytes")
        << a + hexBytes("AB 42") << QByteArrayList{a} << true;
    QTest::newRow("AB as the last byte") << a + hexBytes("AB") << QByteArrayList{a} << false;
    QTest::newRow("AB 42 inside an answer is not a start")
        << answerWith(hexBytes("AB 42") + QByteArray(22, '\0')) + b
        << QByteArrayList{answerWith(hexBytes("AB 42") + QByteArray(22, '\0')), b} << false;
}

void MeterRecordTest::split()
{
    QFETCH(QByteArray, buffer);
    QFETCH(QByteArrayList, answers);
    QFETCH(bool, partialTail);
    const MeterRecord::Split s = MeterRecord::splitAnswers(buffer);
    QCOMPARE(QByteArrayList(s.answers), answers);
    QCOMPARE(s.partialTail, partialTail);
}

void MeterRecordTest::downloadStream_data()
{
    // The answer to record k: 8 header bytes naming its address 0xF0 + 24 k,
    // the 24 bytes of the record, the check value over all 32.
    const auto answerAt = [](quint32 address, char fill, int data = 24) {
        return withTrailer(
            Frame::longRequest(0x42, address, quint16(data), QByteArray(data, fill)));
    };
    const auto answer = [&](int k) { return answerAt(0xF0 + 24 * quint32(k), char(k + 1)); };
    const auto damaged = [&](int k) {
        QByteArray a = answer(k);
        a[31] = char(a.at(31) ^ 0xFF);
        return a;
    };
    const QByteArray refusal = withTrailer("AB C7 08 00 00 00");
    // What an instrument that keeps talking sends after its answer.
    const QByteArray babble =
        withTrailer(Frame::longRequest(0x42, 0xF0, 64, QByteArray(64, char(0x11))));
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("askedAgain"); // the second round, if any
    QTest::addColumn<QList<int>>("right");      // records taken
    QTest::addColumn<QList<int>>("refused");
    QTest::addColumn<QList<int>>("again"); // records to ask again
    QTest::addColumn<bool>("settled");
    const QList<int> none;
    QTest::newRow("in order") << answer(0) + answer(1) + answer(2) << 3 << none
                              << QList<int>{0, 1, 2} << none << none << true;
    QTest::newRow("a refusal between") << answer(0) + refusal + answer(2) << 3 << none
                                       << QList<int>{0, 2} << QList<int>{1} << none << true;
    QTest::newRow("last answer still arriving")
        << answer(0) + answer(1) + answer(2).left(20) << 3 << none << QList<int>{0, 1} << none
        << none << false;
    QTest::newRow("refusal still arriving")
        << answer(0) + refusal.left(5) << 2 << none << QList<int>{0} << none << none << false;
    QTest::newRow("stray bytes and a probe notice between")
        << hexBytes("5A 5A") + answer(0) + withTrailer("AB 22 0D 00 01 00 00") + answer(1) << 2
        << none << QList<int>{0, 1} << none << none << true;
    QTest::newRow("an answer naming a record beyond the count is passed over")
        << answer(0) + answer(1) + answer(2) << 2 << none << QList<int>{0, 1} << none << none
        << true;
    QTest::newRow("nothing") << QByteArray() << 1 << none << none << none << none << false;
    QTest::newRow("one not answered: asked again")
        << answer(0) + answer(2) << 3 << none << QList<int>{0, 2} << none << QList<int>{1} << true;
    QTest::newRow("out of order: the late ones are not taken")
        << answer(2) + answer(0) + answer(1) << 3 << none << QList<int>{2} << none
        << QList<int>{0, 1} << true;
    QTest::newRow("failed check value: asked again")
        << answer(0) + damaged(1) + answer(2) << 3 << none << QList<int>{0, 2} << none
        << QList<int>{1} << true;
    QTest::newRow("failed check value of the last: asked again at once")
        << answer(0) + damaged(1) << 2 << none << QList<int>{0} << none << QList<int>{1} << true;
    QTest::newRow("short answer between: asked again")
        << answer(0) + answerAt(0x108, 2, 10) + answer(2) << 3 << none << QList<int>{0, 2} << none
        << QList<int>{1} << true;
    QTest::newRow("short answer last: asked again at once")
        << answer(0) + answerAt(0x108, 2, 10) << 2 << none << QList<int>{0} << none << QList<int>{1}
        << true;
    QTest::newRow("record 2's answer naming record 3: both asked again")
        << answer(0) + answerAt(0x120, 2) + answer(2) << 3 << none << QList<int>{0} << none
        << QList<int>{1, 2} << true;
    QTest::newRow("a second, different answer for a record: asked again")
        << answer(0) + answer(1) + answerAt(0xF0, 9) + answer(2) + answer(3) << 4 << none
        << QList<int>{1, 2, 3} << none << QList<int>{0} << true;
    QTest::newRow("the same answer twice is harmless")
        << answer(0) + answer(0) + answer(1) << 2 << none << QList<int>{0, 1} << none << none
        << true;
    QTest::newRow("a stray frame naming no record is passed over")
        << answer(0) + answerAt(0x5A5A, 0x5A) + answer(1) + answer(2) << 3 << none
        << QList<int>{0, 1, 2} << none << none << true;
    QTest::newRow("an address between records names none")
        << answerAt(0xF0 + 24 * 2 + 1, 3) << 3 << none << none << none << none << false;
    QTest::newRow("a stray frame in the last answer's place: asked again")
        << answer(0) + answerAt(0x5A5A, 0x5A) << 2 << none << QList<int>{0} << none << QList<int>{1}
        << true;
    QTest::newRow("babble after an answer is passed over")
        << answer(0) + babble + babble + answer(1) << 2 << none << QList<int>{0, 1} << none << none
        << true;
    QTest::newRow("asked again: the second round's answer taken")
        << answer(0) + damaged(1) + answer(2) + answer(1) << 3 << QList<int>{1}
        << QList<int>{0, 1, 2} << none << none << true;
    QTest::newRow("wrong when asked again: left out, not asked a third time")
        << answer(0) + damaged(1) + answer(2) + damaged(1) << 3 << QList<int>{1} << QList<int>{0, 2}
        << none << none << true;
    QTest::newRow("asked again, its answer still on its way")
        << answer(0) + damaged(1) + answer(2) << 3 << QList<int>{1} << QList<int>{0, 2} << none
        << none << false;
}

void MeterRecordTest::downloadStream()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, count);
    QFETCH(QList<int>, askedAgain);
    QFETCH(QList<int>, right);
    QFETCH(QList<int>, refused);
    QFETCH(QList<int>, again);
    QFETCH(bool, settled);
    MeterDownload::Rounds asked = MeterDownload::firstRound(count);
    if (!askedAgain.isEmpty())
        asked << askedAgain;
    const MeterDownload::Collected c = MeterDownload::collect(stream, asked, count);
    QCOMPARE(c.answers.keys(), right);
    QCOMPARE(c.refused, refused);
    QCOMPARE(c.again, again);
    QCOMPARE(c.settled, settled);
    QCOMPARE(c.complete(), settled && again.isEmpty());
    // Each answer is taken whole, and is the one its record was sent with.
    for (auto it = c.answers.cbegin(); it != c.answers.cend(); ++it) {
        QCOMPARE(it.value().size(), MeterRecord::kAnswerLength);
        QVERIFY(Frame::trailerMatches(it.value(), MeterRecord::kAnswerLength));
        QCOMPARE(it.value().mid(8, 24), QByteArray(24, char(it.key() + 1)));
    }
}

void MeterRecordTest::probeNotice_data()
{
    using N = MeterRecord::ProbeNotice;
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("notice");
    QTest::newRow("plugged") << withTrailer("AB 22 0D 00 01 00 01") << int(N::Plugged);
    QTest::newRow("pulled") << withTrailer("AB 22 0D 00 01 00 00") << int(N::Pulled);
    QTest::newRow("after stray bytes")
        << hexBytes("01 02 AB") + withTrailer("AB 22 0D 00 01 00 00") << int(N::Pulled);
    QTest::newRow("state byte 2") << withTrailer("AB 22 0D 00 01 00 02") << int(N::None);
    QTest::newRow("state byte not yet arrived") << hexBytes("AB 22 0D 00 01 00") << int(N::None);
    QTest::newRow("exactly seven bytes") << hexBytes("AB 22 0D 00 01 00 01") << int(N::Plugged);
    QTest::newRow("other selector") << withTrailer("AB 22 0E 00 01 00 01") << int(N::None);
    QTest::newRow("record answer") << answerWith(kWorkedRecord) << int(N::None);
    QTest::newRow("first of two counts")
        << withTrailer("AB 22 0D 00 01 00 01") + withTrailer("AB 22 0D 00 01 00 00")
        << int(N::Plugged);
}

void MeterRecordTest::probeNotice()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, notice);
    QCOMPARE(int(MeterRecord::findProbeNotice(buffer)), notice);
}

void MeterRecordTest::unitFragments_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("power");
    QTest::addColumn<QString>("energy");
    QTest::newRow("uW/cm2") << 0 << QString::fromUtf8("μW/cm<sup>2</sup>")
                            << QString::fromUtf8("μJ/cm<sup>2</sup>");
    QTest::newRow("mW/cm2") << 1 << "mW/cm<sup>2</sup>"
                            << "mJ/cm<sup>2</sup>";
    QTest::newRow("W/cm2") << 2 << "W/cm<sup>2</sup>"
                           << "J/cm<sup>2</sup>";
    QTest::newRow("W/m2") << 3 << "W/m<sup>2</sup>"
                          << "J/m<sup>2</sup>";
    QTest::newRow("none") << -1 << ""
                          << "";
}

void MeterRecordTest::unitFragments()
{
    QFETCH(int, unit);
    QFETCH(QString, power);
    QFETCH(QString, energy);
    QCOMPARE(MeterUnits::powerUnitFragment(unit), power);
    QCOMPARE(MeterUnits::energyUnitFragment(unit), energy);
}

QTEST_GUILESS_MAIN(MeterRecordTest)
#include "test_meterrecord.moc"
