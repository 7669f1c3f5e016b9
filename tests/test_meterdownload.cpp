// "Get Data" on the Meter page against the simulated instrument: the record
// requests, the worker's collection, decoding into table rows, probe notices
// and what goes wrong on the way.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "metertestsupport.h"
#include "protocol/frame.h"
#include "sim/siminstrument.h"
#include "simsetup.h"

#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <cstring>
#include <limits>

using namespace MeterTest;

namespace {

QList<quint32> addresses(const QByteArrayList &frames)
{
    QList<quint32> out;
    for (const QByteArray &f : frames) {
        quint32 a = 0;
        Frame::le32At(f, 2, &a);
        out << a;
    }
    return out;
}

QString serialShown()
{
    return page()->findChild<QLineEdit *>(QStringLiteral("serialNoEdit"))->text();
}

QList<SimMeterRecord> threeRecords()
{
    return {workedRecord(), record(1.5f, 2.5f, 0.5f, 1.25f, 30.f, 20.f),
            record(100.f, 200.f, 50.f, 125.f, 9000.f, 60.f)};
}

} // namespace

class MeterDownloadTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void countOfThree();
    void decoding_data();
    void decoding();
    void countZero();
    void countFailures_data();
    void countFailures();
    void answersWithStrayBytes();
    void answerSplitAcrossPasses();
    void notANumberAndInfinite();
    void probeNoticesOutsideADownload();
    void probePulledDuringADownload();
    void busyWhileDownloading();
    void requestCannotBeSent();
    void unplugMidDownload();
    void cancelKeepsWhatArrived();
    void noLink();
    void faultProfiles_data();
    void faultProfiles();

private:
    DialogRecorder dialogs;
};

void MeterDownloadTest::initTestCase()
{
    startWindow(SimProfile::meter());
}

void MeterDownloadTest::init()
{
    dialogs.clear();
}

void MeterDownloadTest::cleanup()
{
    QVERIFY(waitUntilIdle(12000));
    QVERIFY(!page()->session()->ticking());
}

void MeterDownloadTest::countOfThree()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->clearLogs();
    page()->addRecordRow("9", "", "", "", "", "", ""); // emptied by the download
    button("GetDataBtn")->click();
    QVERIFY(page()->session()->isDownloading);
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(addresses(requests(sim, 0x42)), (QList<quint32>{0xF0, 0x108, 0x120}));
    QCOMPARE(requests(sim, 0x42).first().toHex(' '), QByteArray("ab 42 f0 00 00 00 40 00 4c f4"));
    QCOMPARE(page()->progressDialog->maximum(), 102);
    QVERIFY(page()->progressDialog->isVisible());
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        QCOMPARE(row(r).first(), QString::number(r + 1));
    QCOMPARE(row(1), (QStringList{"2", "30.0000", "20.0", "1.5000", "2.5000", "0.5000", "1.2500"}));
    QVERIFY(!page()->progressDialog->isVisible());
    QVERIFY(page()->session()->receiveBuffer.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::decoding_data()
{
    QTest::addColumn<quint32>("typeCode");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("headerTexts");
    QTest::addColumn<QString>("powerUnit");
    QTest::newRow("profile 1, mW/cm2")
        << kProfile1Code << 1
        << QStringList{"1", "137.0000", "10.5", "12.6250", "20.0000", "5.3750", "11.0000"}
        << QStringList{"NO",
                       "Energy mJ/cm²",
                       "Duration(S)",
                       "Power(RT) mW/cm²",
                       "Power(MAX) mW/cm²",
                       "Power(MIN) mW/cm²",
                       "Power(AVG) mW/cm²"}
        << "mW/cm<sup>2</sup>";
    QTest::newRow("profile 2, W/m2")
        << kProfile2Code << 3 << QStringList{"1", "137", "10.5", "13", "20", "5", "11"}
        << QStringList{"NO",
                       "Energy J/m²",
                       "Duration(S)",
                       "Power(RT) W/m²",
                       "Power(MAX) W/m²",
                       "Power(MIN) W/m²",
                       "Power(AVG) W/m²"}
        << "W/m<sup>2</sup>";
    QTest::newRow("profile 1, uW/cm2")
        << kProfile1Code << 0 << QStringList{"1", "137.0", "10.5", "12.6", "20.0", "5.4", "11.0"}
        << QStringList{"NO",
                       QString::fromUtf8("Energy μJ/cm²"),
                       "Duration(S)",
                       QString::fromUtf8("Power(RT) μW/cm²"),
                       QString::fromUtf8("Power(MAX) μW/cm²"),
                       QString::fromUtf8("Power(MIN) μW/cm²"),
                       QString::fromUtf8("Power(AVG) μW/cm²")}
        << QString::fromUtf8("μW/cm<sup>2</sup>");
    QTest::newRow("profile 2, W/cm2")
        << kProfile2Code << 2
        << QStringList{"1", "137.000", "10.5", "12.625", "20.000", "5.375", "11.000"}
        << QStringList{"NO",
                       "Energy J/cm²",
                       "Duration(S)",
                       "Power(RT) W/cm²",
                       "Power(MAX) W/cm²",
                       "Power(MIN) W/cm²",
                       "Power(AVG) W/cm²"}
        << "W/cm<sup>2</sup>";
    QTest::newRow("unlisted type code")
        << kUnlistedCode << 1 << QStringList{"1", "", "10.5", "", "", "", ""}
        << QStringList{"NO",
                       "Energy mJ/cm²",
                       "Duration(S)",
                       "Power(RT) mW/cm²",
                       "Power(MAX) mW/cm²",
                       "Power(MIN) mW/cm²",
                       "Power(AVG) mW/cm²"}
        << "mW/cm<sup>2</sup>";
}

void MeterDownloadTest::decoding()
{
    QFETCH(quint32, typeCode);
    QFETCH(int, unit);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, headerTexts);
    QFETCH(QString, powerUnit);
    replug(meterProfile(typeCode, unit, {workedRecord()}));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 1);
    QCOMPARE(row(0), texts);
    QCOMPARE(headers(), headerTexts);
    QCOMPARE(page()->unitIndex, unit);
    QCOMPARE(page()->reportData.powerUnit, powerUnit);
    QCOMPARE(page()->reportData.energyUnit,
             QString(powerUnit).replace(QStringLiteral("W/"), QStringLiteral("J/")));
}

void MeterDownloadTest::countZero()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, {}));
    page()->addRecordRow("1", "", "", "", "", "", "");
    sim->clearLogs();
    button("GetDataBtn")->click();
    QVERIFY(!page()->session()->isDownloading);
    QCOMPARE(table()->rowCount(), 0);
    QVERIFY(requests(sim, 0x42).isEmpty());
    QCOMPARE(requests(sim, 0x41).size(), 2); // block 0x80 and the count
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(!page()->progressDialog->isVisible());
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::countFailures_data()
{
    QTest::addColumn<int>("faultKind");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("refused: no probe")
        << int(SimFault::Kind::Refusal) << QStringList{"No probe connection!"};
    QTest::newRow("no answer") << int(SimFault::Kind::NoAnswer) << QStringList{};
    QTest::newRow("wrong header") << int(SimFault::Kind::WrongHeader) << QStringList{};
}

void MeterDownloadTest::countFailures()
{
    QFETCH(int, faultKind);
    QFETCH(QStringList, messages);
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->addFault(SimFault::make(SimFault::Kind(faultKind), 0x41, 0xE0));
    button("GetDataBtn")->click();
    QCOMPARE(dialogs.texts(), messages);
    if (!messages.isEmpty())
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("Warn"));
    QVERIFY(requests(sim, 0x42).isEmpty());
    QVERIFY(!page()->session()->isDownloading);
    QCOMPARE(table()->rowCount(), 0);
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::answersWithStrayBytes()
{
    // The stray bytes count towards the expected total, so the last answer is
    // still on its way when the total is reached; it must not be lost.
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    // 2 x 7 stray bytes + two answers + 25 bytes of the third reach the
    // total of 102 while the rest of the third is 300 ms away.
    sim->addFault(SimFault::make(SimFault::Kind::Split, 0x42, 0x120, 25, 300));
    sim->addFault(SimFault::make(SimFault::Kind::StrayBytes, 0x42, -1, 7, 0, -1));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
    QCOMPARE(row(0),
             (QStringList{"1", "137.0000", "10.5", "12.6250", "20.0000", "5.3750", "11.0000"}));
    QCOMPARE(row(2).at(0), QStringLiteral("3"));
    QCOMPARE(row(2).at(1), QStringLiteral("9000.0000"));
    QVERIFY(dialogs.shown.isEmpty());
}

void MeterDownloadTest::answerSplitAcrossPasses()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile2Code, 3, threeRecords()));
    // The second answer's rest comes well after the worker's pass has ended.
    sim->addFault(SimFault::make(SimFault::Kind::Split, 0x42, 0x108, 12, 250));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
    QCOMPARE(row(1), (QStringList{"2", "30", "20.0", "2", "3", "1", "1"}));
    QCOMPARE(row(2).at(0), QStringLiteral("3"));
}

void MeterDownloadTest::notANumberAndInfinite()
{
    SimMeterRecord odd;
    const float values[6] = {
        std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
        -std::numeric_limits<float>::infinity(), 0.f,
        std::numeric_limits<float>::max(),       -1.f};
    odd.raw = QByteArray(reinterpret_cast<const char *>(values), sizeof values);
    replug(meterProfile(kProfile1Code, 3, {odd, workedRecord()}));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 2);
    QCOMPARE(row(0), (QStringList{"1", "340282346638528859811704183484516925440.000", "-1.0", "nan",
                                  "inf", "-inf", "0.000"}));
    QCOMPARE(row(1).at(1), QStringLiteral("137.000"));
}

void MeterDownloadTest::probeNoticesOutsideADownload()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
    // A notice in the download's own stream would be dropped with it.
    QTRY_VERIFY(!page()->session()->passOpen());

    sim->setProbeConnected(false);
    QTRY_COMPARE(dialogs.texts(), QStringList{"No probe connection!"});
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Warn"));
    QCOMPARE(serialShown(), QString());
    QCOMPARE(table()->rowCount(), 0);
    QVERIFY(page()->session()->receiveBuffer.isEmpty());

    dialogs.clear();
    sim->clearLogs();
    sim->setProbeConnected(true);
    QTRY_COMPARE(dialogs.texts(), QStringList{"Probe connection!"});
    // Device information and configuration read again.
    QCOMPARE(serialShown(), QStringLiteral("23110042"));
    QCOMPARE(requests(sim, 0x41).size(), 1);
    QCOMPARE(requests(sim, 0x47).size(), 2);
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::probePulledDuringADownload()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->addFault(SimFault::make(SimFault::Kind::Delay, 0x42, 0x120, 0, 400));
    button("GetDataBtn")->click();
    sim->setProbeConnected(false);
    QVERIFY(waitUntilIdle(11000));
    // The notice is passed over by the download; the records all arrived.
    QCOMPARE(table()->rowCount(), 3);
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(page()->session()->receiveBuffer.isEmpty());
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::busyWhileDownloading()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->addFault(SimFault::make(SimFault::Kind::Delay, 0x42, 0xF0, 0, 600));
    button("GetDataBtn")->click();
    QVERIFY(page()->session()->isDownloading);
    sim->clearLogs();
    dialogs.answers << QMessageBox::Yes;
    for (const char *name : {"GetDataBtn", "pushButton_clear", "pushButton_saveData",
                             "readhostconfiguretBtn", "writehostconfiguretBtn"})
        button(name)->click();
    QStringList refusals;
    for (int i = 0; i < 5; ++i)
        refusals << QStringLiteral("Getting data,please wait...");
    QCOMPARE(dialogs.texts(), refusals);
    QVERIFY(sim->requests().isEmpty());
    QVERIFY(dialogs.saveCaptions.isEmpty());
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(table()->rowCount(), 3);
}

void MeterDownloadTest::requestCannotBeSent()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->addFault(SimFault::make(SimFault::Kind::WriteTimeout, 0x42, 0x108));
    button("GetDataBtn")->click();
    QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("Send data Error！")});
    QVERIFY(!page()->session()->isDownloading);
    QVERIFY(!page()->session()->ticking());
    QVERIFY(page()->session()->receiveBuffer.isEmpty());
    QCOMPARE(requests(sim, 0x42).size(), 1);
    QVERIFY(workerLockFree());
}

void MeterDownloadTest::unplugMidDownload()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    // The instrument goes away after the first 10 bytes of the last record's
    // answer. The worker starts collecting answers while the click is still
    // sending the later requests, so an unplug during an earlier answer could
    // make one of those sends fail: a different case from this one, which
    // is about the instrument leaving once the download is under way.
    sim->addFault(SimFault::make(SimFault::Kind::Unplug, 0x42, 0x120, 10));
    QElapsedTimer clock;
    clock.start();
    button("GetDataBtn")->click();
    QVERIFY(page()->session()->isDownloading);
    // The removal notice: the main window stops the worker and closes the link.
    QTRY_VERIFY(!MainWindow::instance()->isLinkOpen());
    QVERIFY(!page()->worker());
    // The download ends at once with what had arrived.
    QVERIFY(waitUntilIdle(2000));
    QVERIFY2(clock.elapsed() < FirstPageForMeter::kDownloadLimitMs,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(dialogs.texts().last(),
             QStringLiteral("The instrument was disconnected during the download. Records kept: 2."));
    QVERIFY(!page()->progressDialog->isVisible());
    QCOMPARE(table()->rowCount(), 2);
    QVERIFY(page()->session()->receiveBuffer.isEmpty());
}

void MeterDownloadTest::cancelKeepsWhatArrived()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, threeRecords()));
    sim->addFault(SimFault::make(SimFault::Kind::Hold, 0x42, 0x120));
    button("GetDataBtn")->click();
    // Records 1 and 2 are in; record 3 waits until the end of the test.
    QTRY_VERIFY(page()->progressDialog->value() >= 2 * 34);
    page()->progressDialog->findChild<QPushButton *>()->click();
    QVERIFY(waitUntilIdle(11000));
    QCOMPARE(row(0).at(0), QStringLiteral("1"));
    QCOMPARE(row(1).at(0), QStringLiteral("2"));
    QCOMPARE(table()->rowCount(), 2);
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(!page()->progressDialog->isVisible());
    sim->releaseHeld();
}

void MeterDownloadTest::noLink()
{
    SimSetup::unplugAll();
    dialogs.clear();
    button("GetDataBtn")->click();
    QCOMPARE(dialogs.texts(), QStringList{"Please Connecting instrument!"});
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("warn"));
}

void MeterDownloadTest::faultProfiles_data()
{
    // Profiles of sim/profiles, as `vantrel --simulate FILE` shows them.
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QStringList>("numbers"); // of the rows kept
    QTest::addColumn<QString>("message");     // "" for none
    QTest::addColumn<QList<int>>("asked");    // records requested, in order; {} not compared
    const QStringList all{"1", "2", "3", "4", "5"};
    const QList<int> each{1, 2, 3, 4, 5};
    const QString record3LeftOut = "4 of 5 records arrived; failed and left out: 3.";
    QTest::newRow("record 3 refused")
        << "meter-refused-record.json" << QStringList{"1", "2", "4", "5"} << record3LeftOut << each;
    QTest::newRow("unplugged while record 3 arrives")
        << "meter-unplug-mid-download.json" << QStringList{"1", "2"}
        << "The instrument was disconnected during the download. Records kept: 2." << QList<int>{};
    QTest::newRow("stray frame naming record 1: record 1 asked again")
        << "meter-stray-frame.json" << all << "" << each + QList<int>{1};
    QTest::newRow("babble after record 2: passed over") << "meter-babble.json" << all << "" << each;
    QTest::newRow("record 3 fails its check value twice: left out, named")
        << "meter-bad-check-value.json" << QStringList{"1", "2", "4", "5"} << record3LeftOut
        << each + QList<int>{3};
    QTest::newRow("record 2's answer names record 3: both asked again")
        << "meter-wrong-address.json" << all << "" << each + QList<int>{2, 3};
    QTest::newRow("last record short: asked again")
        << "meter-short-answer.json" << all << "" << each + QList<int>{5};
}

void MeterDownloadTest::faultProfiles()
{
    QFETCH(QString, profile);
    QFETCH(QStringList, numbers);
    QFETCH(QString, message);
    QFETCH(QList<int>, asked);
    SimProfile p;
    QString error;
    QVERIFY2(SimSetup::loadShippedProfile(profile, &p, &error), qPrintable(error));
    std::shared_ptr<SimInstrument> sim = replug(p);
    sim->clearLogs();
    dialogs.clear();
    QElapsedTimer clock;
    clock.start();
    button("GetDataBtn")->click();
    QVERIFY(waitUntilIdle(11000));
    // None waits for the download's time limit.
    QVERIFY2(clock.elapsed() < FirstPageForMeter::kDownloadLimitMs,
             qPrintable(QString::number(clock.elapsed())));
    QStringList kept;
    for (int r = 0; r < table()->rowCount(); ++r) {
        kept << table()->item(r, 0)->text();
        // The record the instrument holds under that number, nothing else.
        const SimMeterRecord &stored = p.records.at(kept.last().toInt() - 1);
        QCOMPARE(row(r).at(1).toDouble(), double(stored.energy));
        QCOMPARE(row(r).at(2).toDouble(), double(stored.duration));
        QCOMPARE(row(r).at(3).toDouble(), double(stored.realTime));
    }
    QCOMPARE(kept, numbers);
    // Requests still going out when the instrument went may fail first.
    QStringList texts = dialogs.texts();
    texts.removeAll(QStringLiteral("Send data Error！"));
    QCOMPARE(texts, message.isEmpty() ? QStringList() : QStringList{message});
    if (!asked.isEmpty()) {
        QList<int> requested;
        for (quint32 address : addresses(requests(sim, 0x42)))
            requested << int(address - 0xF0) / 24 + 1;
        QCOMPARE(requested, asked);
    }
    replug(meterProfile(kProfile1Code, 1, threeRecords()));
}

QTEST_MAIN(MeterDownloadTest)
#include "test_meterdownload.moc"
