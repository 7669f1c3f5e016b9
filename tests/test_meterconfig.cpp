// The Meter page's device information, control profiles and the reading and
// writing of its four settings, driven against the simulated instrument.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "metertestsupport.h"
#include "sim/siminstrument.h"
#include "simsetup.h"
#include "tracerecorder.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>
#include <QtTest>

#include <functional>

using namespace MeterTest;

namespace {
const QString kGrey = QStringLiteral("background-color: rgb(200,200,200);");
const QString kWhite = QStringLiteral("background-color: rgb(255,255,255);");
const char *const kSmooth[] = {"OffRadioBtn", "RadioBtn_50ZH", "RadioBtn_60ZH"};
const char *const kUnits[] = {"uwcmBtn", "mwcmBtn", "wcmBtn", "wmBtn"};

QString text(const char *name)
{
    return page()->findChild<QLineEdit *>(QLatin1String(name))->text();
}

// Records like DialogRecorder and, while the first message box is open (the
// page then holds the worker's lock), does what a nested event loop could.
class ActingRecorder : public DialogRecorder
{
public:
    std::function<void()> whileOpen;
    QMessageBox::StandardButton message(QWidget *parent, UiSeam::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        const QMessageBox::StandardButton answer =
            DialogRecorder::message(parent, icon, title, text, buttons, defaultButton);
        if (whileOpen) {
            std::function<void()> act = whileOpen;
            whileOpen = nullptr;
            act();
        }
        return answer;
    }
};

QString shownTitleOf(const DialogRecorder &d, const QString &message)
{
    for (const DialogRecorder::Shown &s : d.shown)
        if (s.text == message)
            return s.title;
    return QStringLiteral("(not shown)");
}
} // namespace

class MeterConfigTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void formAtStart();
    void deviceInformation_data();
    void deviceInformation();
    void profileFollowsTheNextInstrument();
    void keyInfoRefusedUsesProductionInfo();
    void deviceInformationFailures_data();
    void deviceInformationFailures();
    void readConfiguration_data();
    void readConfiguration();
    void readFailures_data();
    void readFailures();
    void writeAnsweredNoSendsNothing();
    void writeSendsTheButtons_data();
    void writeSendsTheButtons();
    void writeFailures_data();
    void writeFailures();
    void busyRefusals();
    void removalWhileAMessageIsOpen();
    void probeNoticeWhileAMessageIsOpen();
    void noLink();

private:
    DialogRecorder dialogs;
};

void MeterConfigTest::initTestCase()
{
    startWindow(SimProfile::meter());
    QCOMPARE(MainWindow::instance()->currentFamily(), MainWindow::Family::Meter);
}

void MeterConfigTest::init()
{
    dialogs.clear();
    dialogs.answers.clear();
}

void MeterConfigTest::formAtStart()
{
    // The fields the page hides stay hidden; the report still reads the name.
    for (const char *name : {"DeviceNameEdit", "DeviceNameLab", "ProductionDateLab",
                             "ProductionDateEdit", "CalibrationeDateEdit", "CalibrationDataLab"})
        QVERIFY2(page()->findChild<QWidget *>(QLatin1String(name))->isHidden(), name);
    QVERIFY(!page()->findChild<QWidget *>(QStringLiteral("serialNoEdit"))->isHidden());
    QCOMPARE(page()->findChild<QDateEdit *>(QStringLiteral("ProductionDateEdit"))->date(),
             QDate(2000, 1, 1));
    QCOMPARE(table()->columnCount(), 8);
    QCOMPARE(table()->columnWidth(0), 40);
    QCOMPARE(table()->columnWidth(6), 170);
    QCOMPARE(radio("RadioBtn_50ZH")->group()->id(radio("RadioBtn_50ZH")), 1);
    QCOMPARE(radio("wmBtn")->group()->id(radio("wmBtn")), 3);
    QCOMPARE(radio("EnergyDisYesBtn")->group()->id(radio("EnergyDisYesBtn")), 1);
}

void MeterConfigTest::deviceInformation_data()
{
    QTest::addColumn<quint32>("typeCode");
    QTest::addColumn<quint16>("firmware");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("smoothEnabled");
    QTest::addColumn<QList<bool>>("unitsEnabled");
    QTest::newRow("profile 1") << kProfile1Code << quint16(21) << "QX102"
                               << "2.1" << false << QList<bool>{true, true, false, true};
    QTest::newRow("profile 2") << kProfile2Code << quint16(100) << "QX113"
                               << "10.0" << true << QList<bool>{false, true, true, true};
    QTest::newRow("profile 3") << kProfile3Code << quint16(0) << "QX112"
                               << "0.0" << true << QList<bool>{false, true, false, true};
    QTest::newRow("unlisted") << kUnlistedCode << quint16(37) << "UnKnow"
                              << "3.7" << true << QList<bool>{true, true, true, true};
}

void MeterConfigTest::deviceInformation()
{
    QFETCH(quint32, typeCode);
    QFETCH(quint16, firmware);
    QFETCH(QString, model);
    QFETCH(QString, version);
    QFETCH(bool, smoothEnabled);
    QFETCH(QList<bool>, unitsEnabled);
    SimProfile p = meterProfile(typeCode, 1, {});
    p.serialNumber = 4000000001u;
    p.firmware = firmware;
    p.calibrationDate = QDate(2024, 7, 9);
    replug(p);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(page()->typeCode, qint32(typeCode));
    QCOMPARE(text("serialNoEdit"), QStringLiteral("4000000001"));
    QCOMPARE(text("DeviceNameEdit"), model);
    QCOMPARE(text("FirmwareVersionEdit"), version);
    QCOMPARE(page()->findChild<QDateEdit *>(QStringLiteral("CalibrationeDateEdit"))->date(),
             QDate(2024, 7, 9));
    for (const char *name : kSmooth) {
        QCOMPARE(radio(name)->isEnabled(), smoothEnabled);
        if (!smoothEnabled)
            QCOMPARE(radio(name)->styleSheet(), kGrey);
    }
    for (int u = 0; u < 4; ++u) {
        QCOMPARE(radio(kUnits[u])->isEnabled(), unitsEnabled[u]);
        QCOMPARE(radio(kUnits[u])->styleSheet(), unitsEnabled[u] ? kWhite : kGrey);
    }
    QVERIFY(workerLockFree());
}

void MeterConfigTest::profileFollowsTheNextInstrument()
{
    replug(meterProfile(kProfile1Code, 1, {}));
    QVERIFY(!radio("OffRadioBtn")->isEnabled());
    QVERIFY(!radio("wcmBtn")->isEnabled());
    replug(meterProfile(kProfile2Code, 1, {}));
    for (const char *name : kSmooth) {
        QVERIFY(radio(name)->isEnabled());
        // Only the unit buttons get their white style back.
        QCOMPARE(radio(name)->styleSheet(), kGrey);
    }
    QVERIFY(!radio("uwcmBtn")->isEnabled());
    QCOMPARE(radio("uwcmBtn")->styleSheet(), kGrey);
    QVERIFY(radio("wcmBtn")->isEnabled());
    QCOMPARE(radio("wcmBtn")->styleSheet(), kWhite);
    // A profile of its own makes 50 Hz checkable, so the instrument's 50 Hz shows.
    SimProfile p = meterProfile(kProfile2Code, 1, {});
    p.block60[2] = 1;
    replug(p);
    QVERIFY(radio("RadioBtn_50ZH")->isChecked());
}

void MeterConfigTest::keyInfoRefusedUsesProductionInfo()
{
    SimProfile p = meterProfile(kProfile3Code, 1, {});
    p.keyInfoSupported = false;
    p.serialNumber = 777;
    replug(p);
    QVERIFY2(dialogs.shown.isEmpty(), qPrintable(dialogs.texts().join(" | ")));
    QCOMPARE(text("serialNoEdit"), QStringLiteral("777"));
    QCOMPARE(text("DeviceNameEdit"), QStringLiteral("QX112"));
    QCOMPARE(page()->typeCode, qint32(kProfile3Code));
}

void MeterConfigTest::deviceInformationFailures_data()
{
    QTest::addColumn<bool>("keyInfoSupported");
    QTest::addColumn<bool>("erased");
    QTest::addColumn<bool>("probe");
    QTest::addColumn<int>("faultKind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("key information broken")
        << true << false << true << int(SimFault::Kind::WrongHeader) << "Read key infomation fail!"
        << "Warn";
    QTest::newRow("production information erased")
        << false << true << true << -1 << "The instrument is not configured production information!"
        << "Warn";
    QTest::newRow("no probe: calibration date refused")
        << true << false << false << -1 << "No probe connection!"
        << "Warn";
}

void MeterConfigTest::deviceInformationFailures()
{
    QFETCH(bool, keyInfoSupported);
    QFETCH(bool, erased);
    QFETCH(bool, probe);
    QFETCH(int, faultKind);
    QFETCH(QString, message);
    QFETCH(QString, title);
    SimProfile p = meterProfile(kProfile1Code, 1, {});
    p.serialNumber = 31;
    replug(p); // a good start: fields filled
    SimProfile bad = meterProfile(kProfile1Code, 1, {});
    bad.serialNumber = 42;
    bad.keyInfoSupported = keyInfoSupported;
    bad.productionInfoErased = erased;
    bad.probeConnected = probe;
    std::shared_ptr<SimInstrument> sim = replug(bad);
    if (faultKind >= 0)
        sim->addFault(SimFault::make(SimFault::Kind(faultKind), 0x20, 0x05, 0, 0, -1));
    if (!page()->worker())
        page()->openThreadSlot(); // the recognition stopped short of starting it
    dialogs.clear();
    QCOMPARE(page()->readDeviceInformation(), -1);
    QVERIFY2(dialogs.texts().contains(message), qPrintable(dialogs.texts().join(" | ")));
    QCOMPARE(shownTitleOf(dialogs, message), title);
    QVERIFY(workerLockFree());
    if (probe) // (a refusal is only seen after the 6 s answer time-out)
        QCOMPARE(page()->readDeviceAndConfiguration(), -1);
}

void MeterConfigTest::readConfiguration_data()
{
    QTest::addColumn<QList<int>>("block80");
    QTest::addColumn<QList<int>>("block60");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    const QStringList start{"OffBtn", "RadioBtn_60ZH", "wcmBtn", "EnergyDisNoBtn"};
    QTest::newRow("all set") << QList<int>{1, 10, 0, 1} << QList<int>{0, 10, 2, 3} << start
                             << QStringList{"OnBtn", "RadioBtn_60ZH", "wmBtn", "EnergyDisYesBtn"};
    QTest::newRow("smooth off, mW/cm2")
        << QList<int>{0, 10, 0, 0} << QList<int>{0, 10, 0, 1} << start
        << QStringList{"OffBtn", "OffRadioBtn", "mwcmBtn", "EnergyDisNoBtn"};
    QTest::newRow("auto off byte 2 keeps auto off")
        << QList<int>{2, 10, 0, 1} << QList<int>{0, 10, 2, 2} << start
        << QStringList{"OffBtn", "RadioBtn_60ZH", "wcmBtn", "EnergyDisYesBtn"};
    QTest::newRow("out of range values change nothing")
        << QList<int>{7, 10, 0, 9} << QList<int>{0, 10, 3, 4} << start << start;
    QTest::newRow("unused bytes are not looked at")
        << QList<int>{1, 99, 99, 1} << QList<int>{99, 99, 0, 0} << start
        << QStringList{"OnBtn", "OffRadioBtn", "uwcmBtn", "EnergyDisYesBtn"};
}

void MeterConfigTest::readConfiguration()
{
    QFETCH(QList<int>, block80);
    QFETCH(QList<int>, block60);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    // An unlisted model keeps every button usable, so every value can show.
    SimProfile p = meterProfile(kUnlistedCode, 1, {});
    for (int i = 0; i < 4; ++i) {
        p.block80[i] = quint8(block80[i]);
        p.block60[i] = quint8(block60[i]);
    }
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile2Code, 1, {}));
    for (const QString &name : before)
        radio(name.toLatin1().constData())->setChecked(true);
    sim = replug(p);
    QCOMPARE(checkedButtons(), after);
    QVERIFY(dialogs.shown.isEmpty());
    QVERIFY(workerLockFree());
}

void MeterConfigTest::readFailures_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("faultKind");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("checked");
    const QStringList start{"OffBtn", "RadioBtn_60ZH", "wmBtn", "EnergyDisYesBtn"};
    QTest::newRow("0x80 not sent")
        << 0x41 << int(SimFault::Kind::WriteTimeout)
        << QStringList{"Send data Error！", QString::fromUtf8("读取主机基本配置信息写端口失败！")}
        << QString::fromUtf8("提示") << start;
    QTest::newRow("0x80 wrong header")
        << 0x41 << int(SimFault::Kind::WrongHeader)
        << QStringList{QString::fromUtf8("读取主机基本配置信息接收的报文格式错误！")}
        << QString::fromUtf8("提示") << start;
    QTest::newRow("0x80 block check")
        << 0x41 << int(SimFault::Kind::BadBlockCheck)
        << QStringList{QString::fromUtf8("主机基本配置信息的Checksum不正确！")}
        << QString::fromUtf8("提示")
        << QStringList{"OnBtn", "RadioBtn_60ZH", "wmBtn", "EnergyDisNoBtn"};
    QTest::newRow("0x80 refused") << 0x41 << int(SimFault::Kind::Refusal)
                                  << QStringList{"No probe connection!"} << "Warn" << start;
    QTest::newRow("0x60 refused") << 0x47 << int(SimFault::Kind::Refusal)
                                  << QStringList{"No probe connection!"} << "Warn"
                                  << QStringList{"OnBtn", "RadioBtn_60ZH", "wmBtn",
                                                 "EnergyDisNoBtn"};
    QTest::newRow("0x60 block check")
        << 0x47 << int(SimFault::Kind::BadBlockCheck) << QStringList{} << ""
        << QStringList{"OnBtn", "OffRadioBtn", "uwcmBtn", "EnergyDisNoBtn"};
    QTest::newRow("0x60 wrong header")
        << 0x47 << int(SimFault::Kind::WrongHeader) << QStringList{} << ""
        << QStringList{"OnBtn", "RadioBtn_60ZH", "wmBtn", "EnergyDisNoBtn"};
}

void MeterConfigTest::readFailures()
{
    QFETCH(int, command);
    QFETCH(int, faultKind);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);
    QFETCH(QStringList, checked);
    SimProfile p = meterProfile(kUnlistedCode, 3, {});
    p.block60[2] = 2;
    p.block80[0] = 1;
    p.block80[3] = 0;
    std::shared_ptr<SimInstrument> sim = replug(p);
    for (const QString &name : QStringList{"OffBtn", "RadioBtn_60ZH", "wmBtn", "EnergyDisYesBtn"})
        radio(name.toLatin1().constData())->setChecked(true);
    const quint32 address = command == 0x41 ? 0x80 : 0x60;
    sim->addFault(SimFault::make(SimFault::Kind(faultKind), command, address));
    dialogs.clear();
    QCOMPARE(page()->on_readhostconfiguretBtn_clicked(), -1);
    QCOMPARE(dialogs.texts(), messages);
    if (!messages.isEmpty())
        QCOMPARE(dialogs.shown.last().title, title);
    QCOMPARE(checkedButtons(), checked);
    QVERIFY(workerLockFree());
}

void MeterConfigTest::writeAnsweredNoSendsNothing()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, {workedRecord()}));
    page()->addRecordRow("1", "2", "3", "4", "5", "6", "7");
    sim->clearLogs();
    dialogs.answers << QMessageBox::No;
    button("writehostconfiguretBtn")->click();
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].icon, UiSeam::Icon::Question);
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Vantrel V2.1"));
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("Resetting the parameter history data will be cleared."));
    QVERIFY(sim->requests().isEmpty());
    QCOMPARE(table()->rowCount(), 1);
    QVERIFY(workerLockFree());
}

void MeterConfigTest::writeSendsTheButtons_data()
{
    QTest::addColumn<QStringList>("check");
    QTest::addColumn<QStringList>("uncheckGroups");
    QTest::addColumn<QByteArray>("block80");
    QTest::addColumn<QByteArray>("block60");
    QTest::newRow("all checked") << QStringList{"OffBtn", "RadioBtn_60ZH", "wcmBtn",
                                                "EnergyDisNoBtn"}
                                 << QStringList{} << QByteArray("\x00\x0A\x00\x00", 4)
                                 << QByteArray("\x00\x0A\x02\x02", 4);
    QTest::newRow("on, yes, W/m2")
        << QStringList{"OnBtn", "OffRadioBtn", "wmBtn", "EnergyDisYesBtn"} << QStringList{}
        << QByteArray("\x01\x0A\x00\x01", 4) << QByteArray("\x00\x0A\x00\x03", 4);
    QTest::newRow("no unit checked sends 0xFF")
        << QStringList{"OnBtn", "RadioBtn_60ZH", "EnergyDisYesBtn"} << QStringList{"uwcmBtn"}
        << QByteArray("\x01\x0A\x00\x01", 4) << QByteArray("\x00\x0A\x02\xFF", 4);
    QTest::newRow("nothing checked")
        << QStringList{} << QStringList{"OffBtn", "OffRadioBtn", "uwcmBtn", "EnergyDisNoBtn"}
        << QByteArray("\xFF\x0A\x00\xFF", 4) << QByteArray("\x00\x0A\xFF\xFF", 4);
}

void MeterConfigTest::writeSendsTheButtons()
{
    QFETCH(QStringList, check);
    QFETCH(QStringList, uncheckGroups);
    QFETCH(QByteArray, block80);
    QFETCH(QByteArray, block60);
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kUnlistedCode, 1, {}));
    for (const QString &name : uncheckGroups)
        uncheckGroup(name.toLatin1().constData());
    for (const QString &name : check)
        radio(name.toLatin1().constData())->setChecked(true);
    page()->addRecordRow("1", "2", "3", "4", "5", "6", "7");
    const QStringList shownBefore = checkedButtons();
    dialogs.answers << QMessageBox::Yes;
    button("writehostconfiguretBtn")->click();
    QCOMPARE(dialogs.texts().last(), QStringLiteral("parameter configuration success!"));
    QCOMPARE(sim->block80().toHex(' '), block80.toHex(' '));
    QCOMPARE(sim->block60().toHex(' '), block60.toHex(' '));
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(checkedButtons(), shownBefore); // the write changes no button
    QVERIFY(workerLockFree());
}

void MeterConfigTest::writeFailures_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("faultKind");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("block60Requests");
    const QString error = QStringLiteral("parameter configuration Error!");
    QTest::newRow("0x80 not sent")
        << 0x71 << int(SimFault::Kind::WriteTimeout)
        << QStringList{"Send data Error！", QString::fromUtf8("写主机基本配置信息写端口失败！"),
                       error}
        << 0;
    QTest::newRow("0x80 wrong header")
        << 0x71 << int(SimFault::Kind::WrongHeader)
        << QStringList{QString::fromUtf8("写主机基本配置信息接收到的报文有错误！"), error} << 0;
    QTest::newRow("0x80 refused") << 0x71 << int(SimFault::Kind::Refusal)
                                  << QStringList{"No probe connection!", error} << 0;
    QTest::newRow("0x60 refused") << 0x77 << int(SimFault::Kind::Refusal)
                                  << QStringList{"No probe connection!", error} << 1;
    QTest::newRow("0x60 wrong header")
        << 0x77 << int(SimFault::Kind::WrongHeader) << QStringList{error} << 1;
    // One event, one message about it: the command's own failure and the
    // removal, never "no answer".
    QTest::newRow("unplugged while the 0x80 answer is awaited")
        << 0x71 << int(SimFault::Kind::Unplug)
        << QStringList{error, "The instrument was disconnected."} << 0;
}

void MeterConfigTest::writeFailures()
{
    QFETCH(int, command);
    QFETCH(int, faultKind);
    QFETCH(QStringList, messages);
    QFETCH(int, block60Requests);
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kUnlistedCode, 1, {}));
    radio("RadioBtn_60ZH")->setChecked(true);
    radio("wmBtn")->setChecked(true);
    sim->clearLogs();
    sim->addFault(SimFault::make(SimFault::Kind(faultKind), command));
    dialogs.clear();
    dialogs.answers << QMessageBox::Yes;
    TraceRecorder traces;
    button("writehostconfiguretBtn")->click();
    // An unplug is handled from what the failed read found, watcher or not.
    SimSetup::environment()->watcher()->setMuted(true);
    SimSetup::deliverNotices();
    SimSetup::environment()->watcher()->setMuted(false);
    QStringList shown = dialogs.texts();
    shown.removeFirst(); // the question
    QCOMPARE(shown, messages);
    QCOMPARE(dialogs.shown.last().title, QStringLiteral("information"));
    // A failed 0x80 write ends the operation before block 0x60.
    QCOMPARE(requests(sim, 0x77).size(), block60Requests);
    // A dead device ends the wait at its first read, not pass after pass.
    QVERIFY(traces.containing("hidDevice ReadMessage error") <= 1);
    if (faultKind == int(SimFault::Kind::Unplug))
        QVERIFY(!MainWindow::instance()->isLinkOpen());
    else
        QVERIFY(workerLockFree());
}

void MeterConfigTest::busyRefusals()
{
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kProfile1Code, 1, {}));
    sim->clearLogs();
    page()->session()->isDownloading = true;
    dialogs.answers << QMessageBox::Yes;
    QCOMPARE(page()->on_readhostconfiguretBtn_clicked(), -1);
    button("writehostconfiguretBtn")->click();
    page()->session()->isDownloading = false;
    QCOMPARE(dialogs.texts(),
             (QStringList{"Getting data,please wait...", "Getting data,please wait..."}));
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("information"));
    QVERIFY(sim->requests().isEmpty());
}

void MeterConfigTest::removalWhileAMessageIsOpen()
{
    // The instrument goes while a message of the configuration read is open:
    // the main window stops the worker, which waits for the page's lock. The
    // stop must not wait for it, or the program would hang.
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kUnlistedCode, 1, {}));
    QPointer<QThread> thread = page()->workerThread();
    sim->addFault(SimFault::make(SimFault::Kind::WrongHeader, 0x41, 0x80));
    ActingRecorder acting;
    acting.whileOpen = [] {
        QMetaObject::invokeMethod(MainWindow::instance(), "CloseUSB", Qt::DirectConnection);
    };
    QCOMPARE(page()->on_readhostconfiguretBtn_clicked(), -1);
    QCOMPARE(acting.shown.size(), 1);
    QVERIFY(!MainWindow::instance()->isLinkOpen());
    QVERIFY(!page()->worker());
    // Once the page has let go of the lock the old worker ends.
    QTRY_VERIFY(!thread || thread->isFinished());
}

void MeterConfigTest::probeNoticeWhileAMessageIsOpen()
{
    // A probe notice delivered inside a message box shown under the lock is
    // handled once the operation has released the lock, not in the middle of
    // its exchange.
    std::shared_ptr<SimInstrument> sim = replug(meterProfile(kUnlistedCode, 1, {}));
    sim->addFault(SimFault::make(SimFault::Kind::WrongHeader, 0x41, 0x80));
    ActingRecorder acting;
    acting.whileOpen = [] { page()->SaveData(QByteArray::fromHex("ab220d00010000aabb")); };
    QCOMPARE(page()->on_readhostconfiguretBtn_clicked(), -1);
    QCOMPARE(acting.texts(),
             QStringList{QString::fromUtf8("读取主机基本配置信息接收的报文格式错误！")});
    QCOMPARE(text("serialNoEdit"), QStringLiteral("23110042"));
    QTRY_COMPARE(acting.texts().size(), 2);
    QCOMPARE(acting.texts().last(), QStringLiteral("No probe connection!"));
    QCOMPARE(text("serialNoEdit"), QString());
    QVERIFY(workerLockFree());
}

void MeterConfigTest::noLink()
{
    SimSetup::unplugAll();
    dialogs.clear();
    QCOMPARE(page()->readDeviceInformation(), -1);
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(page()->on_readhostconfiguretBtn_clicked(), -1);
    button("writehostconfiguretBtn")->click();
    QCOMPARE(dialogs.texts(),
             (QStringList{"Please Connecting instrument!", "Please Connecting instrument!"}));
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("warn"));
    QCOMPARE(page()->readDeviceAndConfiguration(), -1);
    // The main window cleared the page when it closed the link.
    QCOMPARE(text("serialNoEdit"), QString());
}

QTEST_MAIN(MeterConfigTest)
#include "test_meterconfig.moc"
