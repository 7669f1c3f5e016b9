// The Logger page's form, device information, settings and clock, driven
// through the main window against the simulated Logger.

#include "app/mainwindow.h"
#include "frames.h"
#include "gui/uiseam.h"
#include "loggersupport.h"
#include "measurement/instrumentclock.h"
#include "meter/firstpageformeter.h"
#include "protocol/identity.h"
#include "simsetup.h"
#include "tracerecorder.h"

#include <QtTest>
#include <QButtonGroup>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QHeaderView>
#include <QTableWidget>

using namespace LoggerSupport;

class LoggerPageTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void formTexts_data();
    void formTexts();
    void startingState();
    void metaObjectInterface();
    void autoOffButtons();
    void deviceInformation_data();
    void deviceInformation();
    void unknownModel();
    void configurationRead_data();
    void configurationRead();
    void readKeepsIntervalOnUnknownCode();
    void configurationWrite_data();
    void configurationWrite();
    void writeRefusedLeavesTable();
    void writeFailure();
    void liveClock_data();
    void liveClock();
    void clockRead();
    void clockReadFailure();
    void clockWrite();
    void clockWriteFailure_data();
    void clockWriteFailure();
    void clearEmptiesDevice();
    void noInstrument_data();
    void noInstrument();

private:
    std::unique_ptr<DialogRecorder> dialogs;
    std::shared_ptr<SimInstrument> plug(const SimProfile &profile);
};

// What the live clock shows, read as the computer's local time.
static QDateTime shownClock(const QDateTimeEdit *live)
{
    return QDateTime(live->date(), live->time());
}

std::shared_ptr<SimInstrument> LoggerPageTest::plug(const SimProfile &profile)
{
    auto sim = SimSetup::replug(profile);
    dialogs->clear();
    return sim;
}

void LoggerPageTest::initTestCase()
{
    // A zone whose offset is neither 0 nor whole hours, so that the live
    // clock's own offset arithmetic shows in what it displays.
    qputenv("TZ", "Pacific/Chatham");
    tzset();
    dialogs = std::make_unique<DialogRecorder>();
    SimSetup::install(loggerProfile({run(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), {1, 2}),
                                     run(QDateTime(QDate(2024, 1, 3), QTime(3, 4, 5)), {3})}));
    MainWindow *window = SimSetup::startWindow();
    QCOMPARE(window->currentFamily(), MainWindow::Family::Logger);
    // Messages are compared in the source language.
    QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked");
    QVERIFY(!page()->chineseLayout);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
}

void LoggerPageTest::init()
{
    dialogs->clear();
    dialogs->answers.clear();
}

void LoggerPageTest::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const char *pairs[][2] = {
        {"groupBox_3", "Device information"}, {"label_3", "SN:"},
        {"ProductionDateLab", "Production Date:"}, {"CalibrationDataLab", "Calibration Date:"},
        {"DeviceNameLab", "Device Name:"}, {"label_4", "Firmware Version:"},
        {"groupBox_10", "Setup parameter"}, {"groupBox_16", "Auto Off"}, {"OffBtn", "OFF"},
        {"OnBtn", "ON"}, {"groupBox_18", "Shutdown"}, {"label_18", "Minute"},
        {"groupBox_15", "Storage Interval"}, {"OneSecondBtn", "1S"}, {"TenSecondBtn", "10S"},
        {"SixtySecondBtn", "60S"}, {"writehostconfiguretBtn", "Setup"},
        {"readhostconfiguretBtn", "Read"}, {"groupBox_11", "Setup Date/Time"},
        {"label_23", "Date/Time："}, {"writeDateTimeBtn", "Setup "}, {"readDateTimeBtn", "Read "},
        {"GetDataBtn", "Get Data"}, {"pushButton_saveData", "Save Data"},
        {"pushButton_clear", "Clear"}};
    for (const auto &p : pairs)
        QTest::newRow(p[0]) << QString(p[0]) << QString::fromUtf8(p[1]);
}

void LoggerPageTest::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    // A page of its own, in the source language.
    FirstPageForLogger fresh;
    QWidget *w = fresh.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QString shown;
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        shown = b->text();
    else if (auto *l = qobject_cast<QLabel *>(w))
        shown = l->text();
    else if (auto *g = qobject_cast<QGroupBox *>(w))
        shown = g->title();
    QCOMPARE(shown, text);
}

void LoggerPageTest::startingState()
{
    FirstPageForLogger fresh;
    QCOMPARE(fresh.windowTitle(), QString("Form"));
    QCOMPARE(fresh.size(), QSize(1136, 646));
    auto *on = fresh.findChild<QRadioButton *>("OnBtn");
    auto *one = fresh.findChild<QRadioButton *>("OneSecondBtn");
    auto *shutdown = fresh.findChild<QLineEdit *>("ShutdownEdit");
    QVERIFY(on->isChecked());
    QVERIFY(one->isChecked());
    QCOMPARE(shutdown->text(), QString("10"));
    QVERIFY(shutdown->isEnabled());
    QVERIFY(shutdown->styleSheet().isEmpty());
    for (const char *name : {"OneSecondBtn", "TenSecondBtn", "SixtySecondBtn"})
        QVERIFY(fresh.findChild<QRadioButton *>(name)->isEnabled());
    for (const char *name : {"dateTimeEditForRead", "DeviceNameEdit", "DeviceNameLab",
                             "ProductionDateLab", "ProductionDateEdit", "CalibrationeDateEdit",
                             "CalibrationDataLab"})
        QVERIFY2(fresh.findChild<QWidget *>(name)->isHidden(), name);
    for (const char *name : {"serialNoEdit", "DeviceNameEdit", "FirmwareVersionEdit"})
        QVERIFY2(fresh.findChild<QLineEdit *>(name)->isReadOnly(), name);
    QVERIFY(fresh.findChild<QDateTimeEdit *>("dateTimeEdit")->isReadOnly());
    QVERIFY(fresh.findChild<QDateTimeEdit *>("dateTimeEditForRead")->isReadOnly());
    QVERIFY(!fresh.downloading());
    QVERIFY(!fresh.chineseLayout);

    // Button groups with the ids the instrument's bytes use.
    QList<QButtonGroup *> groups = fresh.findChildren<QButtonGroup *>();
    QCOMPARE(groups.size(), 2);
    for (QButtonGroup *g : groups) {
        QVERIFY(g->exclusive());
        if (g->buttons().size() == 2) {
            QCOMPARE(g->id(fresh.findChild<QAbstractButton *>("OffBtn")), 0);
            QCOMPARE(g->id(on), 1);
        } else {
            QCOMPARE(g->id(one), 0);
            QCOMPARE(g->id(fresh.findChild<QAbstractButton *>("TenSecondBtn")), 1);
            QCOMPARE(g->id(fresh.findChild<QAbstractButton *>("SixtySecondBtn")), 2);
        }
    }

    auto *table = fresh.findChild<QTableWidget *>("tbData");
    QCOMPARE(table->columnCount(), 11); // the row buttons, then the run's figures
    QVERIFY(!table->verticalHeader()->isVisible());
    const int widths[] = {40, 170, 120, 120, 120, 120, 120};
    for (int c = 0; c < 7; ++c)
        QCOMPARE(table->columnWidth(c), widths[c]);
    const QStringList headers = {"NO", "StartTime", "Duration(S)",
                                 QString::fromUtf8("Power(REC) (μW/cm²)"),
                                 QString::fromUtf8("Power(MAX) (μW/cm²)"),
                                 QString::fromUtf8("Power(MIN) (μW/cm²)"),
                                 QString::fromUtf8("Power(AVG) (μW/cm²)"), ""};
    for (int c = 0; c < 8; ++c)
        QCOMPARE(table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text() : "",
                 headers.at(c));
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void LoggerPageTest::metaObjectInterface()
{
    const QMetaObject *mo = &FirstPageForLogger::staticMetaObject;
    const QStringList expected = {
        "SetShutdownEditStatus()", "timerUpdate()", "on_readhostconfiguretBtn_clicked()",
        "on_readDateTimeBtn_clicked()", "setTimeEdit()", "GetPowerData()", "clear()",
        "on_GetDataBtn_clicked()", "on_UVPowerCurveBtn_clicked()", "on_SaveUVPowerBtn_clicked()",
        "on_writehostconfiguretBtn_clicked()", "on_writeDateTimeBtn_clicked()",
        "on_CurveBtn_clicked(int)", "on_EXCELBtn_clicked(int)", "on_ReportBtn_clicked(int)",
        "on_pushButton_saveData_clicked()", "on_pushButton_clear_clicked()", "openThreadSlot()",
        "closeThreadSlot()", "SaveData(QByteArray)", "updateProgress()"};
    QCOMPARE(mo->methodCount() - mo->methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod m = mo->method(mo->methodOffset() + i);
        QCOMPARE(QString::fromLatin1(m.methodSignature()), expected.at(i));
        QCOMPARE(m.methodType(), QMetaMethod::Slot);
        const bool isPrivate = i >= 7 && i <= 16;
        QCOMPARE(m.access(), isPrivate ? QMetaMethod::Private : QMetaMethod::Public);
    }
    QCOMPARE(mo->method(mo->indexOfSlot("SaveData(QByteArray)")).parameterNames().value(0),
             QByteArray("baData"));
    QCOMPARE(QString(mo->method(mo->methodOffset() + 5).typeName()), QString("QByteArray"));
}

void LoggerPageTest::autoOffButtons()
{
    FirstPageForLogger fresh;
    auto *off = fresh.findChild<QRadioButton *>("OffBtn");
    auto *on = fresh.findChild<QRadioButton *>("OnBtn");
    auto *shutdown = fresh.findChild<QLineEdit *>("ShutdownEdit");
    auto *ten = fresh.findChild<QRadioButton *>("TenSecondBtn");
    shutdown->setText("4");
    QTest::mouseClick(off, Qt::LeftButton);
    QCOMPARE(shutdown->text(), QString("10"));
    QVERIFY(!shutdown->isEnabled());
    QCOMPARE(shutdown->styleSheet(), QString("background-color: rgb(200,200,200);"));
    QVERIFY(ten->isEnabled());
    QCOMPARE(ten->styleSheet(), QString("background-color: rgb(255,255,255);"));

    QTest::mouseClick(on, Qt::LeftButton);
    QCOMPARE(shutdown->text(), QString("10"));
    QVERIFY(shutdown->isEnabled());
    QCOMPARE(shutdown->styleSheet(), QString("background-color: rgb(255,255,255);"));
    QVERIFY(!ten->isEnabled());
    QCOMPARE(ten->styleSheet(), QString("background-color: rgb(200,200,200);"));
}

void LoggerPageTest::deviceInformation_data()
{
    QTest::addColumn<bool>("keyInfo");
    QTest::addColumn<bool>("erased");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("message");
    QTest::newRow("key information, 105 shows 10.5") << true << false << 105 << "24030117"
                                                     << "10.5" << "";
    QTest::newRow("key information, 23 shows 2.3") << true << false << 23 << "24030117" << "2.3"
                                                   << "";
    QTest::newRow("production information when the key read is refused")
        << false << false << 21 << "24030117" << "2.1" << "";
    QTest::newRow("erased production block keeps the fields")
        << false << true << 21 << "7" << "9.9"
        << "The instrument is not configured production information!";
}

void LoggerPageTest::deviceInformation()
{
    QFETCH(bool, keyInfo);
    QFETCH(bool, erased);
    QFETCH(int, firmware);
    QFETCH(QString, serial);
    QFETCH(QString, version);
    QFETCH(QString, message);
    SimProfile p = loggerProfile();
    p.keyInfoSupported = keyInfo;
    p.productionInfoErased = erased;
    p.firmware = quint16(firmware);
    p.calibrationDate = QDate(2024, 3, 1);
    plug(p);
    child<QLineEdit>("serialNoEdit")->setText("7");
    child<QLineEdit>("FirmwareVersionEdit")->setText("9.9");
    dialogs->clear();
    page()->readDeviceInformation();
    QCOMPARE(child<QLineEdit>("serialNoEdit")->text(), serial);
    QCOMPARE(child<QLineEdit>("FirmwareVersionEdit")->text(), version);
    if (message.isEmpty()) {
        QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
        QCOMPARE(child<QLineEdit>("DeviceNameEdit")->text(), QString("QX101"));
        QCOMPARE(child<QDateEdit>("CalibrationeDateEdit")->date(), QDate(2024, 3, 1));
    } else {
        QVERIFY2(dialogs->texts().contains(message), qPrintable(dialogs->texts().join('|')));
        QCOMPARE(dialogs->shown.last().title, QString("Warn"));
    }
}

void LoggerPageTest::unknownModel()
{
    // A code only the Meter page knows: the main window shows the Meter page,
    // whose worker is stopped here so that the Logger page may talk alone.
    SimProfile p = loggerProfile();
    p.typeCode = 24430108;
    plug(p);
    MainWindow *window = MainWindow::instance();
    QCOMPARE(window->currentFamily(), MainWindow::Family::Meter);
    QMetaObject::invokeMethod(window->meterPage(), "closeThreadSlot", Qt::DirectConnection);
    page()->readDeviceInformation();
    QCOMPARE(child<QLineEdit>("DeviceNameEdit")->text(), QString("UnKnow"));
    QCOMPARE(child<QLineEdit>("serialNoEdit")->text(), QString("24030117"));
    plug(loggerProfile());
    QCOMPARE(window->currentFamily(), MainWindow::Family::Logger);
}

void LoggerPageTest::configurationRead_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("faultKind"); // -1: none
    QTest::addColumn<int>("autoOff");   // checked id afterwards
    QTest::addColumn<QString>("shutdown");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("intervalsEnabled");
    QTest::addColumn<bool>("shutdownEnabled");
    QTest::addColumn<QString>("message");

    QTest::newRow("on, 5 min, 60 s") << QByteArray("\x01\x05\x02\x00", 4) << -1 << 1 << "5" << 2
                                     << false << true << "";
    QTest::newRow("off, 7 min, 10 s") << QByteArray("\x00\x07\x01\x00", 4) << -1 << 0 << "7" << 1
                                      << true << false << "";
    QTest::newRow("wrong block check value shows the defaults")
        << QByteArray("\x00\x07\x02\x00", 4) << int(SimFault::Kind::BadBlockCheck) << 1 << "3"
        << 0 << false << true << QString::fromUtf8("主机基本配置信息的Checksum不正确！");
    QTest::newRow("wrong header leaves the widgets")
        << QByteArray("\x00\x07\x02\x00", 4) << int(SimFault::Kind::WrongHeader) << 1 << "10"
        << 1 << true << true << QString::fromUtf8("读取主机基本配置信息接收的报文格式错误！");
    QTest::newRow("bad trailer leaves the widgets")
        << QByteArray("\x00\x07\x02\x00", 4) << int(SimFault::Kind::BadTrailer) << 1 << "10" << 1
        << true << true << QString::fromUtf8("读取主机基本配置信息接收端口报文失败！");
    QTest::newRow("refusal says nothing") << QByteArray("\x00\x07\x02\x00", 4)
                                          << int(SimFault::Kind::Refusal) << 1 << "10" << 1 << true
                                          << true << "";
}

void LoggerPageTest::configurationRead()
{
    QFETCH(QByteArray, block);
    QFETCH(int, faultKind);
    QFETCH(int, autoOff);
    QFETCH(QString, shutdown);
    QFETCH(int, interval);
    QFETCH(bool, intervalsEnabled);
    QFETCH(bool, shutdownEnabled);
    QFETCH(QString, message);

    SimProfile p = loggerProfile();
    for (int i = 0; i < 4; ++i)
        p.block80[i] = quint8(block.at(i));
    auto sim = plug(p);
    // A known state before the read under test.
    child<QRadioButton>("OnBtn")->setChecked(true);
    child<QLineEdit>("ShutdownEdit")->setText("10");
    child<QLineEdit>("ShutdownEdit")->setEnabled(true);
    child<QRadioButton>("TenSecondBtn")->setChecked(true);
    if (faultKind >= 0)
        sim->addFault(SimFault::make(SimFault::Kind(faultKind), 0x41, 0x80));
    invoke("on_readhostconfiguretBtn_clicked");

    QCOMPARE(child<QRadioButton>(autoOff ? "OnBtn" : "OffBtn")->isChecked(), true);
    QCOMPARE(child<QLineEdit>("ShutdownEdit")->text(), shutdown);
    const char *intervals[] = {"OneSecondBtn", "TenSecondBtn", "SixtySecondBtn"};
    QVERIFY(child<QRadioButton>(intervals[interval])->isChecked());
    for (const char *name : intervals)
        QCOMPARE(child<QRadioButton>(name)->isEnabled(), intervalsEnabled);
    QCOMPARE(child<QLineEdit>("ShutdownEdit")->isEnabled(), shutdownEnabled);
    if (message.isEmpty()) {
        QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    } else {
        QVERIFY2(dialogs->texts().contains(message), qPrintable(dialogs->texts().join('|')));
        QCOMPARE(dialogs->shown.last().title, QString::fromUtf8("提示"));
    }
    if (faultKind < 0 || faultKind == int(SimFault::Kind::BadBlockCheck))
        QCOMPARE(child<QLineEdit>("ShutdownEdit")->styleSheet(),
                 QString("background-color: rgb(255,255,255);"));
}

void LoggerPageTest::readKeepsIntervalOnUnknownCode()
{
    SimProfile p = loggerProfile();
    p.block80[0] = 0;
    p.block80[1] = 4;
    p.block80[2] = 3;
    plug(p);
    child<QRadioButton>("SixtySecondBtn")->setChecked(true);
    invoke("on_readhostconfiguretBtn_clicked");
    QVERIFY(child<QRadioButton>("SixtySecondBtn")->isChecked());
    QCOMPARE(child<QLineEdit>("ShutdownEdit")->text(), QString("4"));
}

void LoggerPageTest::configurationWrite_data()
{
    QTest::addColumn<int>("autoOff");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QByteArray>("written"); // empty: nothing may be sent
    QTest::addColumn<QString>("message");
    const QString refused = QString::fromUtf8("Shutdown must between 1—10!");
    QTest::newRow("0 refused") << 1 << "0" << 0 << QByteArray() << refused;
    QTest::newRow("11 refused") << 1 << "11" << 0 << QByteArray() << refused;
    QTest::newRow("empty refused") << 1 << "" << 0 << QByteArray() << refused;
    QTest::newRow("abc refused") << 1 << "abc" << 0 << QByteArray() << refused;
    QTest::newRow("10 accepted") << 1 << "10" << 0 << QByteArray("\x01\x0A\x00\x00", 4)
                                 << "parameter configuration success!";
    QTest::newRow("1 accepted") << 0 << "1" << 2 << QByteArray("\x00\x01\x02\x00", 4)
                                << "parameter configuration success!";
    QTest::newRow("on, 7 min, 10 s") << 1 << "7" << 1 << QByteArray("\x01\x07\x01\x00", 4)
                                     << "parameter configuration success!";
}

void LoggerPageTest::configurationWrite()
{
    QFETCH(int, autoOff);
    QFETCH(QString, minutes);
    QFETCH(int, interval);
    QFETCH(QByteArray, written);
    QFETCH(QString, message);
    auto sim = plug(loggerProfile({run(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), {1, 2})}));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    const QByteArray before = sim->block80();
    sim->clearLogs();
    dialogs->clear();

    child<QRadioButton>(autoOff ? "OnBtn" : "OffBtn")->setChecked(true);
    child<QLineEdit>("ShutdownEdit")->setText(minutes);
    const char *intervals[] = {"OneSecondBtn", "TenSecondBtn", "SixtySecondBtn"};
    child<QRadioButton>(intervals[interval])->setChecked(true);
    dialogs->answers << QMessageBox::Yes;
    invoke("on_writehostconfiguretBtn_clicked");

    QCOMPARE(dialogs->shown.first().icon, UiSeam::Icon::Question);
    QCOMPARE(dialogs->shown.first().title, QString("Vantrel V2.1"));
    QCOMPARE(dialogs->shown.first().text,
             QString("Resetting the parameter history data will be cleared."));
    QCOMPARE(dialogs->shown.last().text, message);
    QCOMPARE(dialogs->shown.last().title, QString("information"));
    if (written.isEmpty()) {
        // Refused values change nothing: the downloaded runs stay.
        QCOMPARE(rows(), 1);
        QVERIFY(!page()->runPayload(0).isEmpty());
        QVERIFY(requestsWith(sim, 0x71).isEmpty());
        QCOMPARE(sim->block80(), before);
    } else {
        // The instrument drops its runs with the new settings.
        QCOMPARE(rows(), 0);
        QVERIFY(page()->runPayload(0).isEmpty());
        QCOMPARE(requestsWith(sim, 0x71).size(), 1);
        QCOMPARE(sim->block80().left(4), written);
        // Data bytes followed by their block check value.
        QCOMPARE(requestsWith(sim, 0x71).first().mid(8, 6), longAnswer(0x71, 0x80, written).mid(8, 6));
    }
}

void LoggerPageTest::writeRefusedLeavesTable()
{
    auto sim = plug(loggerProfile({run(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), {1, 2})}));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    sim->clearLogs();
    dialogs->answers << QMessageBox::No;
    invoke("on_writehostconfiguretBtn_clicked");
    QCOMPARE(rows(), 1);
    QVERIFY(!page()->runPayload(0).isEmpty());
    QVERIFY(sim->requests().isEmpty());
    QCOMPARE(dialogs->shown.size(), 1);
}

void LoggerPageTest::writeFailure()
{
    auto sim = plug(loggerProfile());
    sim->addFault(SimFault::make(SimFault::Kind::WrongHeader, 0x71, 0x80));
    dialogs->answers << QMessageBox::Yes;
    invoke("on_writehostconfiguretBtn_clicked");
    QCOMPARE(dialogs->texts().mid(1),
             (QStringList{QString::fromUtf8("写主机基本配置信息接收到的报文有错误！"),
                          "parameter configuration Error!"}));
    QCOMPARE(dialogs->shown.at(1).title, QString::fromUtf8("提示"));
}

void LoggerPageTest::liveClock_data()
{
    QTest::addColumn<bool>("windowShown");
    QTest::newRow("window shown: the clock ticks, its timer set for the next second") << true;
    QTest::newRow("window hidden: no clock timer, the current time on showing") << false;
}

void LoggerPageTest::liveClock()
{
    QFETCH(bool, windowShown);
    MainWindow *window = MainWindow::instance();
    auto *live = child<QDateTimeEdit>("dateTimeEdit");
    auto *timer = page()->findChild<QTimer *>("liveClockTimer");
    QVERIFY(timer);
    window->show();
    // A clock read at recognition has its 10 s on show first.
    QTRY_VERIFY_WITH_TIMEOUT(!live->isHidden(), 30000);
    if (windowShown) {
        live->setDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        QVERIFY(timer->isActive());
        QVERIFY(timer->remainingTime() <= 1000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(shownClock(live).secsTo(QDateTime::currentDateTime())) <= 2,
                                 30000);
    } else {
        window->hide();
        QVERIFY(!timer->isActive());
        live->setDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        window->show();
        QVERIFY(qAbs(shownClock(live).secsTo(QDateTime::currentDateTime())) <= 2);
        QVERIFY(timer->isActive());
    }
    window->hide();
    QVERIFY(!timer->isActive());
}

void LoggerPageTest::clockRead()
{
    SimProfile p = loggerProfile();
    p.clock = InstrumentClock::at(QDate(2024, 12, 31), QTime(23, 59, 59));
    plug(p); // the recognition reads the clock
    auto *live = child<QDateTimeEdit>("dateTimeEdit");
    auto *read = child<QDateTimeEdit>("dateTimeEditForRead");
    auto *setBtn = child<QPushButton>("writeDateTimeBtn");
    auto *readBtn = child<QPushButton>("readDateTimeBtn");
    QVERIFY(!read->isHidden());
    QVERIFY(live->isHidden());
    QVERIFY(qAbs(read->dateTime().secsTo(p.clock)) <= 1);
    QVERIFY(!setBtn->isEnabled());
    QVERIFY(!readBtn->isEnabled());

    // Still on show after 9 s (measured by the page's own clock, so that a
    // slow machine cannot make the check early or late)...
    QVERIFY(QTest::qWaitFor([&] { return page()->readClockShownMs() >= 9000; }, 60000));
    const qint64 shownMs = page()->readClockShownMs();
    const bool stillShown = !read->isHidden() && !readBtn->isEnabled();
    QVERIFY2(stillShown || shownMs >= 10000, qPrintable(QString::number(shownMs)));
    // ...and gone once 10 s are over.
    QTRY_VERIFY_WITH_TIMEOUT(read->isHidden() && !live->isHidden(), 30000);
    QVERIFY(page()->readClockShownMs() >= 10000);
    QVERIFY(setBtn->isEnabled());
    QVERIFY(readBtn->isEnabled());
    QVERIFY(qAbs(shownClock(live).secsTo(QDateTime::currentDateTime())) <= 2);
    // Nothing waits for the read time any more.
    QVERIFY(!page()->findChild<QTimer *>("readClockTimer")->isActive());
}

void LoggerPageTest::clockReadFailure()
{
    auto sim = plug(loggerProfile());
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>("readDateTimeBtn")->isEnabled(), 11000);
    sim->addFault(SimFault::make(SimFault::Kind::WrongHeader, 0x20, 0x61));
    invoke("on_readDateTimeBtn_clicked");
    QCOMPARE(dialogs->texts(),
             QStringList{QString::fromUtf8("读取主机时间配置信息接收的报文格式错误！")});
    QVERIFY(child<QDateTimeEdit>("dateTimeEditForRead")->isHidden());
    QVERIFY(!child<QDateTimeEdit>("dateTimeEdit")->isHidden());
    QVERIFY(child<QPushButton>("readDateTimeBtn")->isEnabled());
    QVERIFY(child<QPushButton>("writeDateTimeBtn")->isEnabled());
}

void LoggerPageTest::clockWrite()
{
    SimProfile p = loggerProfile();
    p.clock = InstrumentClock::at(QDate(2020, 6, 1), QTime(1, 2, 3));
    auto sim = plug(p);
    sim->clearLogs();
    page()->timerUpdate();
    const QDateTime shown = shownClock(child<QDateTimeEdit>("dateTimeEdit"));
    invoke("on_writeDateTimeBtn_clicked");
    QCOMPARE(dialogs->texts(), QStringList{"parameter date time success!"});
    const QList<QByteArray> writes = requestsWith(sim, 0x21);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes.first().mid(6, 6), Identity::encodeClock(shown));
    // The instrument now reads this PC's wall clock.
    QVERIFY(qAbs(sim->clock().secsTo(InstrumentClock::reading(QDateTime::currentDateTime()))) <= 2);
    // The window is hidden, so the clock has not ticked since: Write sends
    // the time of the click, not the stale one.
    child<QDateTimeEdit>("dateTimeEdit")->setDateTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    invoke("on_writeDateTimeBtn_clicked");
    QCOMPARE(requestsWith(sim, 0x21).size(), 2);
    // The instrument now reads this PC's wall clock.
    QVERIFY(qAbs(sim->clock().secsTo(InstrumentClock::reading(QDateTime::currentDateTime()))) <= 2);
}

void LoggerPageTest::clockWriteFailure_data()
{
    QTest::addColumn<int>("faultKind"); // on the clock write; -1: pulled out before it
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("wrong header") << int(SimFault::Kind::WrongHeader)
                                  << QStringList{QString::fromUtf8(
                                                     "写主机时间配置信息接收到的报文有错误！"),
                                                 "parameter date time error!"};
    // One event, one message about it: the command's own failure and the
    // removal, never "no answer".
    QTest::newRow("unplugged while the answer is awaited")
        << int(SimFault::Kind::Unplug)
        << QStringList{"parameter date time error!", "The instrument was disconnected."};
    QTest::newRow("pulled out before the request goes out")
        << -1 << QStringList{"parameter date time error!", "The instrument was disconnected."};
}

void LoggerPageTest::clockWriteFailure()
{
    QFETCH(int, faultKind);
    QFETCH(QStringList, messages);
    const bool unplug = faultKind == int(SimFault::Kind::Unplug) || faultKind < 0;
    auto sim = plug(loggerProfile());
    if (faultKind < 0)
        sim->unplug(); // its notice is not delivered before the click
    else
        sim->addFault(SimFault::make(SimFault::Kind(faultKind), 0x21, 0x21));
    TraceRecorder traces;
    invoke("on_writeDateTimeBtn_clicked");
    // The removal runs from what the failed read found, watcher or not.
    SimSetup::environment()->watcher()->setMuted(true);
    SimSetup::deliverNotices();
    SimSetup::environment()->watcher()->setMuted(false);
    QCOMPARE(dialogs->texts(), messages);
    QCOMPARE(MainWindow::instance()->isLinkOpen(), !unplug);
    // The dead device ended the wait at its first read, not pass after pass
    // until the time-out.
    QVERIFY(traces.containing("hidDevice ReadMessage error") <= 1);
    if (unplug)
        plug(loggerProfile());
}

void LoggerPageTest::clearEmptiesDevice()
{
    plug(loggerProfile({run(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), {1, 2})}));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    QVERIFY(!child<QLineEdit>("serialNoEdit")->text().isEmpty());
    SimSetup::unplugAll(); // the device fields clear, the runs stay
    for (const char *name : {"serialNoEdit", "DeviceNameEdit", "FirmwareVersionEdit",
                             "ShutdownEdit"})
        QVERIFY2(child<QLineEdit>(name)->text().isEmpty(), name);
    QCOMPARE(child<QDateEdit>("CalibrationeDateEdit")->date(), QDate(2000, 1, 1));
    QCOMPARE(child<QDateEdit>("ProductionDateEdit")->date(), QDate(2000, 1, 1));
    QCOMPARE(rows(), 1);
    QCOMPARE(page()->runPayload(0).size(), 6 + 2 * 4);
    plug(loggerProfile());
}

void LoggerPageTest::noInstrument_data()
{
    QTest::addColumn<QString>("slot");
    for (const char *s : {"on_readhostconfiguretBtn_clicked", "on_writehostconfiguretBtn_clicked",
                          "on_readDateTimeBtn_clicked", "on_writeDateTimeBtn_clicked",
                          "on_GetDataBtn_clicked"})
        QTest::newRow(s) << QString(s);
}

void LoggerPageTest::noInstrument()
{
    QFETCH(QString, slot);
    SimSetup::unplugAll();
    dialogs->clear();
    dialogs->answers << QMessageBox::Yes;
    invoke(slot.toLatin1().constData());
    QCOMPARE(dialogs->texts(), QStringList{"Please Connecting instrument!"});
    QCOMPARE(dialogs->shown.first().title, QString("warn"));
    QCOMPARE(dialogs->shown.first().parent.data(), static_cast<QWidget *>(page()));
    plug(loggerProfile());
}

QTEST_MAIN(LoggerPageTest)
#include "test_loggerpage.moc"
