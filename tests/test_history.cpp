// The window and the archive: what a completed download leaves in the
// archive (or, when the archive refuses it, on the page), and the History
// view's search, trend and opening of a run in the Logger page.
//
// With VANTREL_SHOTS set to a folder, the History view is also saved there
// (history-en.png, history-zh.png) with the window (window-en.png,
// window-zh.png), the archive connection dialog (archive-connection-en.png,
// archive-connection-zh.png) and a run opened from it
// (window-archived-run-en.png).
#include "app/archiveconnectiondialog.h"
#include "app/archivekeeper.h"
#include "app/historydialog.h"
#include "app/mainwindow.h"
#include "meter/firstpageformeter.h"
#include "archive/archive.h"
#include "gui/openedfilebar.h"
#include "gui/uiseam.h"
#include "loggersupport.h"
#include "metertestsupport.h"
#include "simsetup.h"

#include <QAction>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <qcustomplot.h>

#include <limits>

#include <sys/stat.h>

using namespace LoggerSupport;

namespace {

const QDateTime kFirst(QDate(2024, 1, 2), QTime(3, 4, 5));

void setConnection(const QString &connection)
{
    QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"))
        .setValue(QStringLiteral("archive/connection"), connection);
}

QAction *automaticAction()
{
    return MainWindow::instance()->archiveKeeper()->button()->menu()->actions().at(1);
}

// The runs archived, all of the connected Logger's; -1 when not.
int archivedRuns(const QString &file)
{
    Archive archive;
    QString error;
    QList<Archive::RunEntry> runs;
    if (!archive.open(file, &error) || !archive.listRuns({}, &runs, &error))
        return -1;
    for (const Archive::RunEntry &run : qAsConst(runs)) {
        if (run.serial != 24030117 || run.model != QLatin1String("QX101"))
            return -1;
    }
    return runs.size();
}

// The connection dialog after "Test" with a server that is not described.
void connectionShot(const QString &file)
{
    ArchiveConnectionDialog *dialog = MainWindow::instance()->archiveKeeper()->chooseConnection();
    dialog->connectionEdit()->setText(QStringLiteral("service=lab"));
    dialog->test();
    dialog->grab().save(file);
    dialog->reject();
}

// The History view searching the whole archive again.
void clearSearch(HistoryDialog *history)
{
    history->serialEdit()->clear();
    history->fromEdit()->setDate(QDate(2000, 1, 1));
    history->untilEdit()->setDate(QDate(2000, 1, 1));
    QVERIFY(history->refresh());
}

} // namespace

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { setConnection(QString()); }
    void windowArchivesDownloads_data();
    void windowArchivesDownloads();
    void connectionDialogKeeps_data();
    void connectionDialogKeeps();
    void historySearchesAndOpensRuns();
    void archiveTextsFollowTheLanguage_data();
    void archiveTextsFollowTheLanguage();
    void trendShowsWhatTheListShows_data();
    void trendShowsWhatTheListShows();
    void meterDownloadsAreArchived();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DialogRecorder> m_dialogs;
};

void HistoryTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_dialogs = std::make_unique<DialogRecorder>();
    SimSetup::install(loggerProfile({run(kFirst, {1, 2}), run(kFirst.addDays(1), {3, 4, 5})}));
    MainWindow *window = SimSetup::startWindow();
    QCOMPARE(window->currentFamily(), MainWindow::Family::Logger);
    QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked");
}

void HistoryTest::windowArchivesDownloads_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("version");   // of the archive before; 0 none
    QTest::addColumn<bool>("full");     // the disk fills while it is archived
    QTest::addColumn<QString>("typed"); // in the connection dialog ("FILE": the row's file)
    QTest::addColumn<int>("downloads");
    QTest::addColumn<int>("archived"); // runs afterwards; -1 no archive
    QTest::addColumn<QString>("message");

    const QString none;
    QTest::newRow("a completed download is archived") << true << 0 << false << none << 1 << 2 << "";
    QTest::newRow("the same download twice is archived once")
        << true << 0 << false << none << 2 << 2 << "";
    QTest::newRow("archiving turned off keeps nothing")
        << false << 0 << false << none << 1 << -1 << "";
    QTest::newRow("an archive of a newer program: told, the runs stay on the page")
        << true << Archive::SchemaVersion + 1 << false << none << 1 << -1
        << "The download was not archived: The archive was written by a newer version";
    QTest::newRow("a disk full while archiving: told, queued, saved, sent at the next download")
        << true << 0 << true << none << 1 << 0
        << "The download was not archived: Run 1 cannot be archived: The disk holding the "
           "archive";
    QTest::newRow("a connection chosen in the dialog: tested, used at once, in History too")
        << true << 0 << false << "FILE" << 1 << 2 << "The archive works: the SQLite file";
    QTest::newRow("a password typed in the dialog is refused and never kept")
        << true << 0 << false << "host=db.lab dbname=vantrel password=secret" << 1 << 2
        << "password file";
}

void HistoryTest::windowArchivesDownloads()
{
    QFETCH(bool, automatic);
    QFETCH(int, version);
    QFETCH(bool, full);
    QFETCH(QString, typed);
    QFETCH(int, downloads);
    QFETCH(int, archived);
    QFETCH(QString, message);

    const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).left(20) +
                                        QStringLiteral(".sqlite"));
    if (version > 0 || full) {
        Archive archive;
        QString error;
        QVERIFY(archive.open(file, &error));
        archive.close();
    }
    if (version > 0) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "v");
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(version));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("v");
    }
    ArchiveKeeper *keeper = MainWindow::instance()->archiveKeeper();
    QString label;
    HistoryDialog *history = nullptr;
    if (typed.isEmpty()) {
        setConnection(file);
    } else {
        // History open on another archive, the new one chosen in the dialog.
        setConnection(m_dir.filePath(QStringLiteral("before-the-dialog.sqlite")));
        history = MainWindow::instance()->showHistory();
        QCOMPARE(history->tree()->topLevelItemCount(), 0);
        if (typed != QLatin1String("FILE"))
            setConnection(file);
        ArchiveConnectionDialog *dialog = keeper->chooseConnection();
        QPointer<ArchiveConnectionDialog> alive(dialog);
        dialog->connectionEdit()->setText(typed == QLatin1String("FILE") ? file : typed);
        dialog->findChild<QPushButton *>(QStringLiteral("archiveConnectionTest"))->click();
        label = dialog->resultLabel()->text();
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        if (alive) {
            label += '|' + dialog->resultLabel()->text();
            // The message and the help above it are read whole.
            QCoreApplication::sendPostedEvents();
            for (QLabel *text : dialog->findChildren<QLabel *>())
                QVERIFY2(!text->wordWrap() || text->height() >= text->heightForWidth(text->width()),
                         qPrintable(text->text()));
            dialog->reject();
        }
        QCOMPARE(ArchiveKeeper::connection(), file);
    }
    automaticAction()->setChecked(automatic);
    QCOMPARE(ArchiveKeeper::automatic(), automatic);
    m_dialogs->clear();
    if (full) {
        // A run longer than a page of the archive needs pages of its own:
        // the archive may grow no more.
        QVector<float> longRun(2500);
        for (int i = 0; i < longRun.size(); ++i)
            longRun[i] = float(i % 97);
        SimSetup::replug(loggerProfile({run(kFirst, longRun), run(kFirst.addDays(1), {3, 4, 5})}));
        qputenv(Archive::MaxPagesSeamVariable, "1");
    }
    for (int i = 0; i < downloads; ++i)
        invoke("on_GetDataBtn_clicked");
    keeper->waitUntilArchived(); // written on the archive's own thread
    qunsetenv(Archive::MaxPagesSeamVariable);
    QCOMPARE(rows(), 2);
    const QString shown = m_dialogs->texts().join('|') + '|' + label;
    if (message.isEmpty())
        QVERIFY2(!shown.contains(QLatin1String("archive")), qPrintable(shown));
    else
        QVERIFY2(shown.contains(message), qPrintable(shown));
    if (archived < 0)
        QVERIFY(version > 0 || !QFile::exists(file));
    else
        QCOMPARE(archivedRuns(file), archived);
    if (history) {
        // Reads the archive chosen; a connection refused changes nothing.
        const bool chosen = typed == QLatin1String("FILE");
        QVERIFY(history->refresh());
        QCOMPARE(history->tree()->topLevelItemCount(), chosen ? 1 : 0);
        if (chosen)
            QCOMPARE(history->tree()->topLevelItem(0)->childCount(), archived);
        history->close();
    }
    if (full) {
        // What could not be archived is still saved.
        const QString saved = m_dir.filePath(QStringLiteral("after-a-full-disk.xls"));
        m_dialogs->clear();
        m_dialogs->fileNames << saved;
        invoke("on_pushButton_saveData_clicked");
        QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Save file success!")});
        QVERIFY(QFileInfo(saved).size() > 0);
        QVERIFY2(shown.contains(QLatin1String("It waits in the archive's local queue (2 runs")),
                 qPrintable(shown));
        QCOMPARE(keeper->button()->text(), QStringLiteral("Archive (2 waiting)"));
        // The disk has room again: the next download sends what waited
        // first, then itself; the run both hold goes in once.
        SimSetup::replug(loggerProfile({run(kFirst, {1, 2}), run(kFirst.addDays(1), {3, 4, 5})}));
        m_dialogs->clear();
        invoke("on_GetDataBtn_clicked");
        keeper->waitUntilArchived();
        QVERIFY2(!m_dialogs->texts().join('|').contains(QLatin1String("archive")),
                 qPrintable(m_dialogs->texts().join('|')));
        QCOMPARE(archivedRuns(file), 3);
        QCOMPARE(keeper->button()->text(), QStringLiteral("Archive"));
    }
    automaticAction()->setChecked(true);
}

// OK in the connection dialog: what it keeps, what it asks first, and the
// settings file it keeps a connection in (its owner's alone, whatever the
// umask). "SERVER" is a server that is not running, "FILE" a new archive.
void HistoryTest::connectionDialogKeeps_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("tested"); // Test clicked before OK
    QTest::addColumn<int>("answer");  // to the question, if one is asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("result"); // in the dialog after OK

    const QString server = QStringLiteral("host=%1 port=1 dbname=vantrel").arg(m_dir.path());
    QTest::newRow("a server that failed its test, kept when the user says so")
        << server << false << int(QMessageBox::Yes) << true << true
        << "Cannot connect to the archive server";
    QTest::newRow("a server that failed its test, not kept when the user says no")
        << server << false << int(QMessageBox::No) << true << false
        << "Cannot connect to the archive server";
    QTest::newRow("an address of a server that is down: no file works in its place")
        << QStringLiteral("postgresql://vantrel@/vantrel?host=%1&port=1").arg(m_dir.path())
        << true << int(QMessageBox::No) << true << false << "Cannot connect to the archive server";
    QTest::newRow("a file that works, kept without a question")
        << "FILE" << true << int(QMessageBox::No) << false << true
        << "The archive works: the SQLite file /";
}

void HistoryTest::connectionDialogKeeps()
{
    QFETCH(QString, typed);
    QFETCH(bool, tested);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, kept);
    QFETCH(QString, result);

    if (typed == QLatin1String("FILE"))
        typed = m_dir.filePath(QStringLiteral("kept/archive.sqlite"));
    const QString before = m_dir.filePath(QStringLiteral("before-the-dialog.sqlite"));
    setConnection(before);
    const QString settings = QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel")).fileName();
    QVERIFY(QFile::setPermissions(settings, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QString working = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const QStringList entries = QDir(m_dir.path()).entryList();
    m_dialogs->clear();
    m_dialogs->answers = {QMessageBox::StandardButton(answer)};

    ArchiveConnectionDialog *dialog = MainWindow::instance()->archiveKeeper()->chooseConnection();
    // Its help is read whole from the start.
    QCoreApplication::sendPostedEvents();
    for (QLabel *text : dialog->findChildren<QLabel *>())
        QVERIFY2(!text->wordWrap() || text->height() >= text->heightForWidth(text->width()),
                 qPrintable(text->text()));
    dialog->connectionEdit()->setText(typed);
    const mode_t mask = ::umask(0);
    if (tested)
        dialog->findChild<QPushButton *>(QStringLiteral("archiveConnectionTest"))->click();
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    ::umask(mask);
    QDir::setCurrent(working);
    // Said in the dialog and, when asked, in the question; "works" only
    // for the archive that will be used.
    const QString label = dialog->resultLabel()->text();
    QVERIFY2(label.contains(result), qPrintable(label));
    QVERIFY2(!label.contains(QLatin1String("works")) || typed.startsWith(QLatin1Char('/')),
             qPrintable(label));
    const QString shown = m_dialogs->texts().join('|');
    QCOMPARE(!m_dialogs->shown.isEmpty(), asked);
    QVERIFY2(!asked || shown.contains(result), qPrintable(shown));
    QCOMPARE(dialog->isVisible(), !kept);
    dialog->reject();
    QCOMPARE(ArchiveKeeper::connection(), kept ? typed : before);
    if (kept) {
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(settings).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0600);
    }
    // Nothing was made of a server's text in the folder the program runs in.
    QStringList now = QDir(m_dir.path()).entryList();
    now.removeAll(QStringLiteral("kept"));
    QCOMPARE(now, entries);
}

// Two Loggers' runs over a month; the search narrows by serial number and
// dates, the trend follows the instrument chosen, a run opens in the page.
void HistoryTest::historySearchesAndOpensRuns()
{
    const QString file = m_dir.filePath(QStringLiteral("history.sqlite"));
    {
        Archive archive;
        QString error;
        QVERIFY2(archive.open(file, &error), qPrintable(error));
        for (quint32 serial : {24030117u, 24030118u}) {
            LoggerData d;
            d.instrument.model = QStringLiteral("QX101");
            d.instrument.serialNumber = serial;
            for (int i = 0; i < 5; ++i) {
                LoggerRunData r;
                r.number = i + 1;
                r.start = QDateTime(QDate(2026, 3, 1 + 7 * i), QTime(9, 0));
                r.hasStartBytes = true;
                r.intervalSeconds = 10;
                const int n = 120 + 40 * (i % 3);
                for (int s = 0; s < n; ++s)
                    r.samples << float(800 - 40 * i - (serial % 2) * 100) *
                                     float(1.0 - qAbs(s - n / 2) / (n / 2 + 10.0));
                d.runs << r;
            }
            QVERIFY2(archive.importLogger(d, QStringLiteral("download"), nullptr, &error),
                     qPrintable(error));
        }
    }
    setConnection(file);
    HistoryDialog *history = MainWindow::instance()->showHistory();
    QCOMPARE(history->tree()->topLevelItemCount(), 2);
    QCOMPARE(history->tree()->topLevelItem(0)->childCount(), 5);
    // The first instrument is chosen: its five runs in the trend.
    QCOMPARE(history->trend()->graph(0)->dataCount(), 5);
    QCOMPARE(history->trend()->graph(1)->dataCount(), 5);

    history->serialEdit()->setText(QStringLiteral("24030118"));
    history->fromEdit()->setDate(QDate(2026, 3, 8));
    history->untilEdit()->setDate(QDate(2026, 3, 22));
    QVERIFY(history->refresh());
    QCOMPARE(history->tree()->topLevelItemCount(), 1);
    QTreeWidgetItem *instrument = history->tree()->topLevelItem(0);
    QVERIFY(instrument->text(0).contains(QLatin1String("24030118")));
    QCOMPARE(instrument->childCount(), 3);
    QCOMPARE(instrument->child(0)->text(0), QStringLiteral("2026-03-08 09:00:00"));
    QCOMPARE(history->trend()->graph(0)->dataCount(), 3);

    if (!qEnvironmentVariableIsEmpty("VANTREL_SHOTS")) {
        history->serialEdit()->clear();
        history->fromEdit()->setDate(QDate(2000, 1, 1));
        history->untilEdit()->setDate(QDate(2000, 1, 1));
        history->refresh();
        history->tree()->setCurrentItem(history->tree()->topLevelItem(1)->child(2));
        const QString shots = qEnvironmentVariable("VANTREL_SHOTS");
        history->grab().save(shots + QStringLiteral("/history-en.png"));
        MainWindow::instance()->grab().save(shots + QStringLiteral("/window-en.png"));
        connectionShot(shots + QStringLiteral("/archive-connection-en.png"));
        QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageZh_clicked");
        QCoreApplication::sendPostedEvents(); // the language change
        history->refresh();
        history->tree()->setCurrentItem(history->tree()->topLevelItem(1)->child(2));
        history->grab().save(shots + QStringLiteral("/history-zh.png"));
        MainWindow::instance()->grab().save(shots + QStringLiteral("/window-zh.png"));
        connectionShot(shots + QStringLiteral("/archive-connection-zh.png"));
        QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
        QCoreApplication::sendPostedEvents();
        history->serialEdit()->setText(QStringLiteral("24030118"));
        history->fromEdit()->setDate(QDate(2026, 3, 8));
        history->untilEdit()->setDate(QDate(2026, 3, 22));
        history->refresh();
        instrument = history->tree()->topLevelItem(0);
    }

    // An instrument is no run; a run opens in the Logger page, offline.
    history->tree()->setCurrentItem(instrument);
    QVERIFY(!history->openCurrentRun());
    history->tree()->setCurrentItem(instrument->child(1));
    QVERIFY(history->openCurrentRun());
    QCOMPARE(rows(), 1);
    QCOMPARE(cell(0, 1), QStringLiteral("2026-03-15 09:00:00"));
    QVERIFY2(page()->openedFileBar()->fileName().startsWith(QLatin1String("the archive (run ")),
             qPrintable(page()->openedFileBar()->fileName()));
    if (!qEnvironmentVariableIsEmpty("VANTREL_SHOTS"))
        MainWindow::instance()->grab().save(qEnvironmentVariable("VANTREL_SHOTS") +
                                            QStringLiteral("/window-archived-run-en.png"));
    QCOMPARE(page()->dataInstrument().serialNumber, 24030118u);
    QCOMPARE(page()->session()->runs().first().samples.size(), 200);
    history->close();
}

// With the History view open and a run of it on the page, a change of
// language changes at once the view's tree and message (no search again)
// and the page's line naming where the run came from.
void HistoryTest::archiveTextsFollowTheLanguage_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QStringList>("texts"); // instrument, its kind, run, source, message
    QTest::addColumn<QString>("line");      // the page's source line begins so

    QTest::newRow("English to Chinese")
        << QByteArray("on_btnLanguageEn_clicked") << QByteArray("on_btnLanguageZh_clicked")
        << QStringList{"QX101，序列号 24030117", "记录仪", "第 1 组", "下载", "1 组数据, 0 条记录"}
        << "数据来自 存档（第 ";
    QTest::newRow("Chinese to English")
        << QByteArray("on_btnLanguageZh_clicked") << QByteArray("on_btnLanguageEn_clicked")
        << QStringList{"QX101, serial number 24030117", "Logger", "run 1", "download",
                       "1 run, 0 records"}
        << "Data from the archive (run ";
}

void HistoryTest::archiveTextsFollowTheLanguage()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QStringList, texts);
    QFETCH(QString, line);

    const QString file = m_dir.filePath(QStringLiteral("language.sqlite"));
    {
        Archive archive;
        QString error;
        QVERIFY2(archive.open(file, &error), qPrintable(error));
        LoggerData d;
        d.instrument.model = QStringLiteral("QX101");
        d.instrument.serialNumber = 24030117;
        LoggerRunData r;
        r.number = 1;
        r.start = kFirst;
        r.hasStartBytes = true;
        r.intervalSeconds = 10;
        r.samples = {1, 2, 3};
        d.runs << r;
        QVERIFY2(archive.importLogger(d, QStringLiteral("download"), nullptr, &error),
                 qPrintable(error));
    }
    setConnection(file);
    // The translations lie in the build directory, not where the tests run.
    const QString here = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(VANTREL_BINARY_DIR));
    QMetaObject::invokeMethod(MainWindow::instance(), from.constData());
    QCoreApplication::sendPostedEvents();
    HistoryDialog *history = MainWindow::instance()->showHistory();
    clearSearch(history);
    QTreeWidgetItem *instrument = history->tree()->topLevelItem(0);
    QVERIFY(instrument && instrument->childCount() == 1);
    history->tree()->setCurrentItem(instrument->child(0));
    QVERIFY(history->openCurrentRun());
    // The archive goes away: what the view shows now comes from what it holds.
    QVERIFY(QFile::remove(file));

    QMetaObject::invokeMethod(MainWindow::instance(), to.constData());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(history->tree()->topLevelItem(0), instrument);
    QCOMPARE((QStringList{instrument->text(0), instrument->text(1), instrument->child(0)->text(1),
                          instrument->child(0)->text(6), history->messageLabel()->text()}),
             texts);
    const QString shown = page()->openedFileBar()->findChild<QLabel *>("openedFileLabel")->text();
    QVERIFY2(shown.startsWith(line), qPrintable(shown));
    history->close();
    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
    QCoreApplication::sendPostedEvents();
    QDir::setCurrent(here);
}

// Two Loggers and a Meter in the archive: the chart plots every Logger the
// list shows, one dose and one peak series each, says when the list holds
// what it cannot plot, and shows no axes without a point; small doses keep
// their digits.
void HistoryTest::trendShowsWhatTheListShows_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QList<int>>("points"); // of each series with points, sorted
    QTest::addColumn<QString>("note");
    QTest::addColumn<QStringList>("doses"); // the runs' dose texts, sorted

    const QString meter = "Meter records have no dose or peak trend; only Logger runs are plotted.";
    QTest::newRow("no search: every Logger, the Meter said")
        << QString() << QList<int>{2, 2, 3, 3} << meter
        << QStringList{"0.017", "0.060", "30.0", "5.0", "9.5"};
    QTest::newRow("a Logger's serial number")
        << "21120907" << QList<int>{2, 2} << QString() << QStringList{"0.017", "9.5"};
    QTest::newRow("a Meter's serial number: said, no axes")
        << "23110042" << QList<int>{} << meter << QStringList{};
    QTest::newRow("nothing found: said, no axes")
        << "99" << QList<int>{} << "No runs to plot." << QStringList{};
}

void HistoryTest::trendShowsWhatTheListShows()
{
    QFETCH(QString, serial);
    QFETCH(QList<int>, points);
    QFETCH(QString, note);
    QFETCH(QStringList, doses);

    const QString file = m_dir.filePath(QStringLiteral("trend.sqlite"));
    if (!QFile::exists(file)) {
        Archive archive;
        QString error;
        QVERIFY2(archive.open(file, &error), qPrintable(error));
        // Doses (sample-and-hold, μJ/cm²): 17 and 9500; 60, 30000 and 5000.
        const QList<QPair<QString, quint32>> loggers{{"QX107", 21120907u}, {"QX101", 24030117u}};
        const QList<QList<QVector<float>>> samples{{{10, 7}, {4000, 5500}},
                                                   {{1, 2, 3}, {1000, 2000}, {500}}};
        for (int l = 0; l < loggers.size(); ++l) {
            LoggerData d;
            d.instrument.model = loggers.at(l).first;
            d.instrument.serialNumber = loggers.at(l).second;
            for (int i = 0; i < samples.at(l).size(); ++i) {
                LoggerRunData r;
                r.number = i + 1;
                r.start = kFirst.addDays(i + 400 * l);
                r.hasStartBytes = true;
                r.intervalSeconds = l == 0 ? 1 : 10;
                r.samples = samples.at(l).at(i);
                d.runs << r;
            }
            QVERIFY2(archive.importLogger(d, QStringLiteral("download"), nullptr, &error),
                     qPrintable(error));
        }
        MeterData m;
        m.instrument.model = QStringLiteral("QX102");
        m.instrument.serialNumber = 23110042;
        m.unit = 0;
        m.decimals = 1;
        m.records = {MeterReading{1, 2, 0.5f, 1, 137, 10.5f}, MeterReading{2, 3, 1, 2, 52.8f, 6}};
        QVERIFY2(archive.importMeter(m, QStringLiteral("download"), nullptr, &error),
                 qPrintable(error));
    }
    setConnection(file);
    HistoryDialog *history = MainWindow::instance()->showHistory();
    clearSearch(history);
    history->serialEdit()->setText(serial);
    QVERIFY(history->refresh());

    QList<int> plotted;
    for (int g = 0; g < history->trend()->graphCount(); ++g) {
        if (history->trend()->graph(g)->dataCount() > 0)
            plotted << history->trend()->graph(g)->dataCount();
    }
    std::sort(plotted.begin(), plotted.end());
    QCOMPARE(plotted, points);
    auto *shown = qobject_cast<QCPItemText *>(history->trend()->item(0));
    QVERIFY(shown);
    QCOMPARE(shown->visible() ? shown->text() : QString(), note);
    QCOMPARE(history->trend()->xAxis->visible(), !points.isEmpty());
    QCOMPARE(history->trend()->yAxis->visible(), !points.isEmpty());
    QStringList doseTexts;
    for (int i = 0; i < history->tree()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *instrument = history->tree()->topLevelItem(i);
        for (int c = 0; c < instrument->childCount(); ++c) {
            if (instrument->child(c)->text(1).startsWith(QLatin1String("run ")))
                doseTexts << instrument->child(c)->text(4);
        }
    }
    doseTexts.sort();
    QCOMPARE(doseTexts, doses);
    history->close();
}

QTEST_MAIN(HistoryTest)
// A Meter's records as its page shows them, values the instrument sent as
// NaN included; the same memory again adds nothing.
void HistoryTest::meterDownloadsAreArchived()
{
    const QString file = m_dir.filePath(QStringLiteral("meter.sqlite"));
    setConnection(file);
    automaticAction()->setChecked(true);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    MeterTest::replug(MeterTest::meterProfile(
        MeterTest::kProfile1Code, 1,
        {MeterTest::record(nan, 20.0f, 5.375f, 11.0f, 137.0f, 10.5f), MeterTest::workedRecord()}));
    QCOMPARE(MainWindow::instance()->currentFamily(), MainWindow::Family::Meter);
    m_dialogs->clear();
    ArchiveKeeper *keeper = MainWindow::instance()->archiveKeeper();
    for (int download = 0; download < 2; ++download) {
        MeterTest::button("GetDataBtn")->click();
        QVERIFY(MeterTest::waitUntilIdle(11000));
        QCOMPARE(MeterTest::table()->rowCount(), 2);
        keeper->waitUntilArchived();
    }
    QVERIFY2(m_dialogs->texts().isEmpty(), qPrintable(m_dialogs->texts().join('|')));
    Archive archive;
    QString error;
    QVERIFY2(archive.open(file, &error), qPrintable(error));
    QList<Archive::RecordEntry> records;
    QVERIFY2(archive.listRecords({}, &records, &error), qPrintable(error));
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(0).serial, MeterTest::page()->recordExport.instrument.serialNumber);
    QVERIFY(qIsNaN(records.at(0).reading.powerRt));
    QCOMPARE(records.at(0).reading.powerMax, 20.0f);
    QCOMPARE(records.at(1).reading.energy, 137.0f);
}

#include "test_history.moc"
