// "Get Data" on the Logger page against the simulated Logger: run requests,
// collection, decoding into table rows, and what happens when the
// instrument misbehaves.

#include "download/loggerdownload.h"
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "frames.h"
#include "loggersupport.h"
#include "protocol/frame.h"
#include "simsetup.h"

#include <QtTest>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

#include <cmath>
#include <limits>

using namespace LoggerSupport;

namespace {

const QDateTime kLastSecond(QDate(2024, 12, 31), QTime(23, 59, 59));
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const QString kOutTime = QStringLiteral("Getting data outtime,please get again.");

QVector<float> ramp(int count, float start)
{
    QVector<float> v(count);
    for (int i = 0; i < count; ++i)
        v[i] = start + float(i % 97) * 1.5f;
    return v;
}

// Counts the paint events that reach a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

bool isRequest(const QByteArray &frame, int command, quint32 address)
{
    quint32 a = 0;
    return quint8(frame.at(1)) == command && Frame::le32At(frame, 2, &a) && a == address;
}

} // namespace

class LoggerDownloadTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void noRuns();
    void workedExample();
    void rowValues_data();
    void rowValues();
    void twoRuns();
    void strayBytes();
    void manySmallReads();
    void packetPastTheEnd();
    void nanSamples_data();
    void nanSamples();
    void incompleteRuns();
    void moreThan25Runs();
    void refusedCount();
    void stepReadFails_data();
    void stepReadFails();
    void missingEndPacket();
    void unplugMidRun();
    void progressPaintsAndInputIsIgnored();
    void busyGuards_data();
    void busyGuards();
    void faultProfiles_data();
    void faultProfiles();
    void cancel_data();
    void cancel();
    void leftOversBeforeARun_data();
    void leftOversBeforeARun();

private:
    std::unique_ptr<DialogRecorder> dialogs;
    std::shared_ptr<SimInstrument> plug(const SimProfile &profile);
};

std::shared_ptr<SimInstrument> LoggerDownloadTest::plug(const SimProfile &profile)
{
    auto sim = SimSetup::replug(profile);
    // Let the clock view of the recognition go back to live.
    dialogs->clear();
    sim->clearLogs();
    return sim;
}

void LoggerDownloadTest::initTestCase()
{
    QCOMPARE(FirstPageForLogger::downloadSilenceLimitMs(), 10000);
    dialogs = std::make_unique<DialogRecorder>();
    SimSetup::install(loggerProfile());
    SimSetup::startWindow();
    // Messages are compared in the source language.
    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
    QVERIFY(!page()->chineseLayout);
}

void LoggerDownloadTest::init() { dialogs->clear(); }

void LoggerDownloadTest::cleanup()
{
    FirstPageForLogger::setDownloadSilenceLimitMs(10000);
    QVERIFY(!page()->downloading());
    QVERIFY(!page()->downloadProgressDialog()->isVisible());
}

void LoggerDownloadTest::noRuns()
{
    auto sim = plug(loggerProfile());
    ProgressWatcher progress(page());
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 0);
    QVERIFY(dialogs->shown.isEmpty());
    QCOMPARE(progress.dialogs, 0);
    QVERIFY(requestsWith(sim, 0x42).isEmpty());
}

void LoggerDownloadTest::workedExample()
{
    // The answer bytes of the example, with trailer bytes that match nothing.
    auto sim = plug(loggerProfile({rawRun(QByteArray(1, 'x'))}));
    const QByteArray answer =
        hexBytes("AB 42 80 01 00 00 0E 00 18 0C 1F 17 3B 3B 00 00 80 3F 00 00 00 40 DE AD "
                 "AB 42 80 01 00 00 00 00 BE EF");
    RunAnswerScript script(sim, {{answer}});
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    QCOMPARE(rowTexts(0),
             (QStringList{"1", "2024-12-31 23:59:59", "20", "2.0", "2.0", "1.0", "1.5"}));
    QCOMPARE(page()->runPayload(0), hexBytes("18 0C 1F 17 3B 3B 00 00 80 3F 00 00 00 40"));
    QCOMPARE(page()->runAnswerBytes(0), answer);
    QCOMPARE(requestsWith(sim, 0x42).value(0), withTrailer("AB 42 80 01 00 00 40 00"));
    QVERIFY(dialogs->shown.isEmpty());
}

void LoggerDownloadTest::rowValues_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("duration");
    QTest::newRow("off, 10 s: 3 samples last 30 s") << QByteArray("\x00\x0A\x01\x00", 4) << "30";
    QTest::newRow("auto off on: step 1, not 60") << QByteArray("\x01\x0A\x02\x00", 4) << "3";
    QTest::newRow("off, 60 s") << QByteArray("\x00\x0A\x02\x00", 4) << "180";
    QTest::newRow("off, 1 s") << QByteArray("\x00\x0A\x00\x00", 4) << "3";
}

void LoggerDownloadTest::rowValues()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, duration);
    SimProfile p = loggerProfile({run(kLastSecond, {1.0f, 3.0f, 2.0f})});
    for (int i = 0; i < 4; ++i)
        p.block80[i] = quint8(block.at(i));
    plug(p);
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    QCOMPARE(rowTexts(0), (QStringList{"1", "2024-12-31 23:59:59", duration, "2.0", "3.0", "1.0",
                                       "2.0"}));
    auto *table = child<QTableWidget>("tbData");
    QCOMPARE(table->item(0, 3)->textAlignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    QVERIFY(table->cellWidget(0, 7));
}

void LoggerDownloadTest::twoRuns()
{
    auto sim = plug(loggerProfile({run(kLastSecond, ramp(100, 5)),
                                   run(kLastSecond.addSecs(-3600), ramp(606, 50))}));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 2);
    QCOMPARE(cell(0, 0), QString("1"));
    QCOMPARE(cell(1, 0), QString("2"));
    QCOMPARE(cell(1, 1), QString("2024-12-31 22:59:59"));
    QCOMPARE(cell(1, 2), QString("6060"));
    const QList<QByteArray> runRequests = requestsWith(sim, 0x42);
    QCOMPARE(runRequests.size(), 2);
    QCOMPARE(runRequests.at(1).mid(2, 4), hexBytes("00 0B 00 00"));
    QCOMPARE(page()->runPayload(1).size(), 6 + 4 * 606);
    // One configuration read for the panel, then one per run.
    QCOMPARE(requestsWith(sim, 0x41).size(), 1 + 1 + 2);
    QVERIFY(dialogs->shown.isEmpty());
}

void LoggerDownloadTest::strayBytes()
{
    const QByteArray d1 = hexBytes("18 0C 1F 17 3B 3B") + floatBytes({4.0f});
    const QByteArray d2 = floatBytes({6.0f, 8.0f});
    auto sim = plug(loggerProfile({rawRun(QByteArray(1, 'x')), rawRun(QByteArray(1, 'x'))}));
    RunAnswerScript script(
        sim, {{hexBytes("5A 00 AB 11") + runPacket(d1) + hexBytes("AB 5A 42 01 42") + runPacket(d2)
               + hexBytes("00") + runEndPacket()},
              {}});
    // The second run: stray bytes before its answer from the instrument itself.
    script.answers[1] = {QByteArray(7, char(0x5A)) + runPacket(d1, 0xB00) + runEndPacket(0xB00)};
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 2);
    QCOMPARE(page()->runPayload(0), d1 + d2);
    QCOMPARE(rowTexts(0), (QStringList{"1", "2024-12-31 23:59:59", "30", "8.0", "8.0", "4.0",
                                       "6.0"}));
    QCOMPARE(page()->runPayload(1), d1);
}

void LoggerDownloadTest::manySmallReads()
{
    const QByteArray payload = hexBytes("18 0C 1F 17 3B 3B") + floatBytes({1, 3, 2, 5, 4});
    QByteArray answer = runPacket(payload.left(10)) + runPacket(payload.mid(10)) + runEndPacket();
    QList<QByteArray> pieces;
    for (int i = 0; i < answer.size(); i += 5)
        pieces << answer.mid(i, 5);
    auto sim = plug(loggerProfile({rawRun(QByteArray(1, 'x'))}));
    // 60 ms between pieces: each one is a collection pass of its own.
    RunAnswerScript script(sim, {pieces}, 60);
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    // Collection ends with the pass that brings the end packet's header; a
    // trailer byte still on its way is left to the next command's read.
    const QByteArray frames = page()->runAnswerBytes(0);
    QVERIFY(answer.startsWith(frames));
    QVERIFY(frames.size() >= answer.size() - 2);
    QCOMPARE(page()->runPayload(0), payload);
    QCOMPARE(rowTexts(0), (QStringList{"1", "2024-12-31 23:59:59", "50", "4.0", "5.0", "1.0",
                                       "3.0"}));
}

void LoggerDownloadTest::packetPastTheEnd()
{
    // The length field of run 1's second packet claims more than ever comes,
    // so its end packet is never found: the download stops when the
    // instrument has been silent for the limit, with run 0 kept.
    FirstPageForLogger::setDownloadSilenceLimitMs(600);
    const QByteArray d = hexBytes("18 0C 1F 17 3B 3B") + floatBytes({1, 2});
    auto sim = plug(loggerProfile({rawRun(d), rawRun(d)}));
    RunAnswerScript script(
        sim, {{runPacket(d) + runEndPacket()},
              {runPacket(d, 0xB00) + hexBytes("AB 42 00 0B 00 00 40 00 01 02 03 04 05 06")
               + runEndPacket(0xB00)}});
    QElapsedTimer clock;
    clock.start();
    invoke("on_GetDataBtn_clicked");
    QVERIFY(clock.elapsed() >= 600);
    QCOMPARE(rows(), 1);
    QCOMPARE(cell(0, 0), QString("1"));
    QCOMPARE(dialogs->texts(), QStringList{kOutTime});
    QCOMPARE(dialogs->shown.first().title, QString("information"));
    QVERIFY(page()->runPayload(1).isEmpty());
}

void LoggerDownloadTest::nanSamples_data()
{
    QTest::addColumn<QVector<float>>("samples");
    QTest::addColumn<QStringList>("powers");
    QTest::newRow("NaN between") << QVector<float>{1, kNaN, 3}
                                 << QStringList{"3.0", "3.0", "1.0", "nan"};
    QTest::newRow("NaN first") << QVector<float>{kNaN, 1, 3}
                               << QStringList{"3.0", "nan", "nan", "nan"};
    QTest::newRow("NaN last") << QVector<float>{2, 1, kNaN}
                              << QStringList{"nan", "2.0", "1.0", "nan"};
}

void LoggerDownloadTest::nanSamples()
{
    QFETCH(QVector<float>, samples);
    QFETCH(QStringList, powers);
    plug(loggerProfile({run(kLastSecond, samples)}));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 1);
    QCOMPARE(rowTexts(0).mid(3), powers);
    QCOMPARE(cell(0, 2), QString("30"));
}

void LoggerDownloadTest::incompleteRuns()
{
    SimProfile p = loggerProfile({rawRun(hexBytes("18 0C 1F 17 3B 3B 01 02 03")),
                                  rawRun(hexBytes("18 0C 1F")),
                                  run(kLastSecond, {7.0f})});
    p.recordCount = 4; // the fourth is not stored: its answer is the end packet alone
    plug(p);
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 4);
    QCOMPARE(rowTexts(0), (QStringList{"1", "2024-12-31 23:59:59", "0", "", "", "", ""}));
    QCOMPARE(rowTexts(1), (QStringList{"2", "", "", "", "", "", ""}));
    QCOMPARE(rowTexts(2), (QStringList{"3", "2024-12-31 23:59:59", "10", "7.0", "7.0", "7.0",
                                       "7.0"}));
    QCOMPARE(rowTexts(3), (QStringList{"4", "", "", "", "", "", ""}));
    QVERIFY(dialogs->shown.isEmpty());

    // Their row actions neither crash nor export garbage.
    invoke("on_ReportBtn_clicked", 3);
    QCOMPARE(dialogs->texts(), QStringList{"please get data first!"});
    dialogs->clear();
    dialogs->fileNames << QDir::temp().filePath("vantrel-incomplete.xls");
    invoke("on_EXCELBtn_clicked", 0);
    QCOMPARE(dialogs->texts(), QStringList{"No data for Storing to Excel!"});
    QCOMPARE(dialogs->shown.first().title, QString("error"));
    QVERIFY(!QFile::exists(QDir::temp().filePath("vantrel-incomplete.xls")));
}

void LoggerDownloadTest::moreThan25Runs()
{
    QList<SimLoggerRun> runs;
    for (int k = 0; k < 27; ++k)
        runs << run(kLastSecond.addSecs(k), {float(k)});
    auto sim = plug(loggerProfile(runs));
    ProgressWatcher progress(page());
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 25);
    QCOMPARE(cell(24, 0), QString("25"));
    QCOMPARE(cell(24, 3), QString("24.0"));
    const QList<QByteArray> runRequests = requestsWith(sim, 0x42);
    QCOMPARE(runRequests.size(), 25);
    QCOMPARE(runRequests.last().mid(2, 4), hexBytes("80 E5 00 00"));
    QCOMPARE(progress.maximum, 25 * 3200);
    QCOMPARE(dialogs->texts(),
             QStringList{"The instrument holds 27 runs; the first 25 were downloaded."});
}

void LoggerDownloadTest::refusedCount()
{
    SimProfile p = loggerProfile({run(kLastSecond, {1, 2})});
    p.faults << SimFault::make(SimFault::Kind::Refusal, 0x41, 0xE0, 0, 0, -1);
    auto sim = plug(p);
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 0);
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
    QVERIFY(requestsWith(sim, 0x42).isEmpty());
}

void LoggerDownloadTest::stepReadFails_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rowsKept");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("wrong block check value: step 1")
        << int(SimFault::Kind::BadBlockCheck) << 2 << QStringList();
    QTest::newRow("wrong header") << int(SimFault::Kind::WrongHeader) << 1
                                  << QStringList{"Read Storage Interval Error!"};
    QTest::newRow("bad trailer")
        << int(SimFault::Kind::BadTrailer) << 1
        << QStringList{QString::fromUtf8("Message format error！"), "Read Storage Interval Error!"};
    // (The main window's own message, in the language it runs in.)
    QTest::newRow("refused") << int(SimFault::Kind::Refusal) << 1
                             << QStringList{"Read Storage Interval Error!"};
}

void LoggerDownloadTest::stepReadFails()
{
    QFETCH(int, kind);
    QFETCH(int, rowsKept);
    QFETCH(QStringList, messages);
    auto sim = plug(loggerProfile({run(kLastSecond, {1, 2}), run(kLastSecond, {1, 2, 3}),
                                   run(kLastSecond, {5})}));
    // The block read that follows the second run's collection fails. Block
    // 0x80 is read once for the settings before the count, once after the
    // first run: the third read is the one.
    sim->addFault(SimFault::make(SimFault::Kind(kind), 0x41, 0x80).after(2));
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(requestsWith(sim, 0x42).size(), rowsKept == 2 ? 3 : 2);
    QCOMPARE(dialogs->texts(), messages);
    if (!messages.isEmpty())
        QCOMPARE(dialogs->shown.last().title, QString("warn"));
    QCOMPARE(rows(), rowsKept == 2 ? 3 : 1);
    QCOMPARE(cell(0, 2), QString("20"));
    if (rowsKept == 2) {
        QCOMPARE(cell(1, 2), QString("3"));
        QCOMPARE(cell(2, 2), QString("10"));
    }
}

void LoggerDownloadTest::missingEndPacket()
{
    // Default limit: the page waits 10 s after the instrument falls silent.
    SimProfile p = loggerProfile({run(kLastSecond, {1, 2}), run(kLastSecond, {1, 2, 3})});
    p.faults << SimFault::make(SimFault::Kind::MissingEndPacket, 0x42, 0xB00);
    auto sim = plug(p);
    QElapsedTimer clock;
    clock.start();
    invoke("on_GetDataBtn_clicked");
    const qint64 took = clock.elapsed();
    // The silence limit ended it, not the run's overall bound.
    QVERIFY2(took >= 10000 && took < LoggerDownload(nullptr).runLimitMs(),
             qPrintable(QString::number(took)));
    QCOMPARE(dialogs->texts(), QStringList{kOutTime});
    QCOMPARE(rows(), 1);
    QCOMPARE(cell(0, 2), QString("20"));
    // The page is usable again.
    dialogs->clear();
    invoke("on_GetDataBtn_clicked");
    QCOMPARE(rows(), 2);
    QVERIFY(dialogs->shown.isEmpty());
}

void LoggerDownloadTest::unplugMidRun()
{
    SimProfile p = loggerProfile({run(kLastSecond, ramp(300, 1)), run(kLastSecond, ramp(300, 2))});
    p.faults << SimFault::make(SimFault::Kind::Unplug, 0x42, 0xB00, 200);
    auto sim = plug(p);
    QElapsedTimer clock;
    clock.start();
    invoke("on_GetDataBtn_clicked");
    // Not the silence limit: the dead device ended the wait.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    SimSetup::deliverNotices();
    // The removal closed the link and ended the download at once; the run
    // complete by then stays, and the user hears of it.
    QVERIFY(!MainWindow::instance()->isLinkOpen());
    QCOMPARE(rows(), 1);
    QCOMPARE(page()->runPayload(0).size(), 6 + 4 * 300);
    QCOMPARE(dialogs->texts(),
             QStringList{"The instrument was disconnected during the download. Runs kept: 1."});
    plug(loggerProfile());
}

void LoggerDownloadTest::progressPaintsAndInputIsIgnored()
{
    SimProfile p = loggerProfile({run(kLastSecond, ramp(606, 1)), run(kLastSecond, ramp(606, 2)),
                                  run(kLastSecond, ramp(606, 3))});
    p.reportIntervalUs = 1000;
    auto sim = plug(p);
    MainWindow::instance()->show();
    QVERIFY(QTest::qWaitForWindowExposed(MainWindow::instance()));
    QProgressDialog *dialog = page()->downloadProgressDialog();
    // A child of the page with a Cancel button, also after the language
    // switches of the start.
    QCOMPARE(dialog->parentWidget(), static_cast<QWidget *>(page()));
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->findChildren<QPushButton *>().size(), 1);
    QCOMPARE(dialog->findChild<QPushButton *>()->text(), QString("Cancel"));
    PaintCounter counter;
    dialog->installEventFilter(&counter);
    ProgressWatcher progress(page());
    // The second run's answer waits until the clicks have been made.
    sim->addFault(SimFault::make(SimFault::Kind::Hold, 0x42, 0xB00));
    bool clicked = false;
    bool visibleMeanwhile = false;
    Ticker ticker([&] {
        if (clicked || sim->heldAnswers() == 0)
            return;
        visibleMeanwhile = page()->downloading() && dialog->isVisible() && rows() == 1;
        // A click on "Clear" and on "Get Data", and a key press, while the
        // runs come in: none of them may reach the page.
        QTest::mouseClick(child<QPushButton>("pushButton_clear"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("GetDataBtn"), Qt::LeftButton);
        QTest::keyClick(child<QPushButton>("pushButton_clear"), Qt::Key_Space);
        clicked = true;
        sim->releaseHeld();
    }, 5);
    invoke("on_GetDataBtn_clicked");
    dialog->removeEventFilter(&counter);
    QCoreApplication::processEvents();
    MainWindow::instance()->hide();

    QVERIFY(clicked);
    QVERIFY(visibleMeanwhile);
    QCOMPARE(rows(), 3);
    // The bar moves forward with every arrival, never back.
    const QList<int> values = progress.values;
    QVERIFY2(values.size() >= 3, qPrintable(QString::number(values.size())));
    for (int i = 1; i < values.size(); ++i)
        QVERIFY(values.at(i) > values.at(i - 1));
    QCOMPARE(dialog->maximum(), 3 * 3200);
    QVERIFY2(counter.paints >= 3, qPrintable(QString::number(counter.paints)));
    // Input reached the busy guard or was dropped; nothing was replayed
    // after the download (the table would be empty, or downloaded twice).
    for (const QString &text : dialogs->texts())
        QCOMPARE(text, QString("Getting data,please wait..."));
    QCoreApplication::processEvents();
    QCOMPARE(rows(), 3);
}

void LoggerDownloadTest::busyGuards_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<int>("row"); // -1: no argument
    for (const char *s :
         {"on_readhostconfiguretBtn_clicked", "on_writehostconfiguretBtn_clicked",
          "on_readDateTimeBtn_clicked", "on_writeDateTimeBtn_clicked", "on_GetDataBtn_clicked",
          "on_pushButton_clear_clicked", "on_pushButton_saveData_clicked",
          "on_UVPowerCurveBtn_clicked", "on_SaveUVPowerBtn_clicked"})
        QTest::newRow(s) << QString(s) << -1;
    for (const char *s : {"on_CurveBtn_clicked", "on_EXCELBtn_clicked", "on_ReportBtn_clicked"})
        QTest::newRow(s) << QString(s) << 0;
}

void LoggerDownloadTest::busyGuards()
{
    QFETCH(QString, slot);
    QFETCH(int, row);
    SimProfile p = loggerProfile({run(kLastSecond, {1, 2}), run(kLastSecond, {3, 4})});
    auto sim = plug(p);
    // The second run's answer is held back until the call has been made, so
    // the call comes in the middle of the download.
    sim->addFault(SimFault::make(SimFault::Kind::Hold, 0x42, 0xB00));
    int requestsBefore = -1;
    int requestsAfter = -1;
    Ticker ticker([&] {
        if (requestsBefore < 0 && sim->heldAnswers() > 0) {
            requestsBefore = sim->requests().size();
            if (row < 0)
                invoke(slot.toLatin1().constData());
            else
                invoke(slot.toLatin1().constData(), row);
            requestsAfter = sim->requests().size();
            sim->releaseHeld();
        }
    }, 1);
    dialogs->answers << QMessageBox::Yes;
    dialogs->fileNames << QDir::temp().filePath("vantrel-busy.xls");
    invoke("on_GetDataBtn_clicked");
    QVERIFY(requestsBefore >= 0);
    QCOMPARE(requestsAfter, requestsBefore);
    QCOMPARE(dialogs->texts(), QStringList{"Getting data,please wait..."});
    QCOMPARE(dialogs->shown.first().title, QString("information"));
    QCOMPARE(rows(), 2);
    for (QDialog *d : page()->findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly))
        QVERIFY2(d == page()->downloadProgressDialog(), qPrintable(d->metaObject()->className()));
}

void LoggerDownloadTest::faultProfiles_data()
{
    // Profiles of sim/profiles, as `vantrel --simulate FILE` shows them.
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("message");
    QTest::newRow("keeps talking: the run's bound ends it")
        << "logger-babbling.json" << 1 << "Getting data outtime,please get again.";
    QTest::newRow("30 runs stored")
        << "logger-30-runs.json" << 25
        << "The instrument holds 30 runs; the first 25 were downloaded.";
    QTest::newRow("unplugged mid-download")
        << "logger-unplug-mid-download.json" << 1
        << "The instrument was disconnected during the download. Runs kept: 1.";
}

void LoggerDownloadTest::faultProfiles()
{
    QFETCH(QString, profile);
    QFETCH(int, kept);
    QFETCH(QString, message);
    SimProfile p;
    QString error;
    QVERIFY2(SimSetup::loadShippedProfile(profile, &p, &error), qPrintable(error));
    plug(p);
    // A short silence limit: what ends a babbling instrument is the run's
    // overall bound, which talking does not restart.
    FirstPageForLogger::setDownloadSilenceLimitMs(300);
    QElapsedTimer clock;
    clock.start();
    invoke("on_GetDataBtn_clicked");
    SimSetup::deliverNotices();
    // A hang limit only; the message tells which limit ended the download.
    QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rows(), kept);
    QCOMPARE(dialogs->texts(), QStringList{message});
    plug(loggerProfile());
}

void LoggerDownloadTest::cancel_data()
{
    // The user presses Cancel as the instrument receives the request of
    // run `at` (from 1).
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("runEnds"); // that run's answer ends with its end packet
    QTest::addColumn<int>("kept");
    QTest::newRow("run 2 arrives whole: runs 1 and 2 kept, run 3 never asked for")
        << 2 << true << 2;
    QTest::newRow("run 2 never ends: its part is dropped, run 1 kept") << 2 << false << 1;
}

void LoggerDownloadTest::cancel()
{
    QFETCH(int, at);
    QFETCH(bool, runEnds);
    QFETCH(int, kept);
    const quint32 address = 0x180 + 0x980 * quint32(at - 1);
    SimProfile p = loggerProfile(
        {run(kLastSecond, {1, 2}), run(kLastSecond, {3, 4}), run(kLastSecond, {5, 6})});
    if (!runEnds)
        p.faults << SimFault::make(SimFault::Kind::MissingEndPacket, 0x42, address);
    auto sim = plug(p);
    QProgressDialog *dialog = page()->downloadProgressDialog();
    ShowCounter shownAgain;
    bool cancelled = false;
    sim->setRequestObserver([&](const QByteArray &frame) {
        if (cancelled || !isRequest(frame, 0x42, address))
            return;
        cancelled = true;
        QVERIFY(dialog->isVisible());
        dialog->findChild<QPushButton *>()->click();
        dialog->installEventFilter(&shownAgain);
    });
    invoke("on_GetDataBtn_clicked");
    sim->setRequestObserver(nullptr);
    dialog->removeEventFilter(&shownAgain);
    QVERIFY(cancelled);
    // Stopped within the run: no later run asked for, the complete ones kept
    // as they are, and the dialog stayed closed.
    QCOMPARE(requestsWith(sim, 0x42).size(), at);
    QCOMPARE(rows(), kept);
    for (int r = 0; r < kept; ++r)
        QCOMPARE(cell(r, 4), QString::number(2 * (r + 1)) + ".0");
    QCOMPARE(shownAgain.shows, 0);
    QVERIFY(!dialog->isVisible());
    QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->texts().join('|')));
}

void LoggerDownloadTest::leftOversBeforeARun_data()
{
    // Bytes that come after the answer to the last command before a run
    // request (a late repeat of an earlier run, say) are not that run's.
    QTest::addColumn<int>("command");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("occurrence"); // the matching request they follow, from 1
    QTest::addColumn<int>("run");        // the run asked for next
    QTest::newRow("after the count read, before run 1") << 0x41 << 0xE0u << 1 << 0;
    // (The first 0x80 read is the panel's, the second the step of run 1.)
    QTest::newRow("after run 1's step read, before run 2") << 0x41 << 0x80u << 2 << 1;
}

void LoggerDownloadTest::leftOversBeforeARun()
{
    QFETCH(int, command);
    QFETCH(quint32, address);
    QFETCH(int, occurrence);
    QFETCH(int, run);
    const QList<SimLoggerRun> runs = {LoggerSupport::run(kLastSecond, {1, 2}),
                                      LoggerSupport::run(kLastSecond, {3, 4})};
    auto sim = plug(loggerProfile(runs));
    const QByteArray stale = hexBytes("17 01 01 00 00 00") + floatBytes({9, 9, 9});
    int seen = 0;
    sim->setRequestObserver([&](const QByteArray &frame) {
        if (isRequest(frame, command, address) && ++seen == occurrence)
            sim->queueStream(runPacket(stale, LoggerRun::runAddress(run)) +
                             runEndPacket(LoggerRun::runAddress(run)));
    });
    invoke("on_GetDataBtn_clicked");
    sim->setRequestObserver(nullptr);
    QVERIFY(seen >= occurrence);
    QCOMPARE(rows(), 2);
    QCOMPARE(page()->runPayload(run), runs.at(run).payload());
}

QTEST_MAIN(LoggerDownloadTest)
#include "test_loggerdownload.moc"
