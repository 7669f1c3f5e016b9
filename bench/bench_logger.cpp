// Logger benchmarks: "Get Data" of 25 runs from the simulated Logger keeping
// full-speed USB time (usbFrames: every output report takes a 1 ms frame,
// input reports come one a frame, an answer starts a frame after its
// request), downloaded by the real page through the real link.
// - logger-download-25x606, logger-download-25x10: the whole "Get Data" of
//   25 runs of 606 and of 10 samples. The bound is counted from what the
//   instrument saw in the measured download: the Logger's exchanges follow
//   one another, so each output report and each input report the host read
//   is a frame of its own (a run request and its packet stream, the settings
//   read after it: 1 + 1 frames, the count before the first run...).
//   The same figure against the simulator's floor, its input reports alone,
//   is printed as <name>-sim-floor.
// - logger-peak-memory: the program's peak resident memory with 25 runs of
//   606 samples loaded, against a target of 80 MB.
// - cli-download-csv-25x606: `vantrel-cli --simulate PROFILE download -o
//   FILE.csv` of the same 25 runs, the whole process from its start to its
//   end; the bound is the frames the simulated Logger counted in it
//   (VANTREL_SIM_TALLY), the recognition's exchanges included.

#include "app/mainwindow.h"
#include "download/loggerrun.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"
#include "sim/simprofile.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRuns = 25;
constexpr int kRounds = 5;

QList<SimLoggerRun> runsOf(int samples)
{
    QList<SimLoggerRun> runs;
    for (int k = 0; k < kRuns; ++k) {
        SimLoggerRun run;
        run.start = QDateTime(QDate(2024, 12, 1), QTime(8, 0)).addSecs(3600 * k);
        run.samples.resize(samples);
        for (int i = 0; i < samples; ++i)
            run.samples[i] = float(400.0 + 300.0 * std::sin(i / 40.0 + k));
        runs << run;
    }
    return runs;
}

struct Round
{
    double ms = 0;
    int frames = 0;       // output reports + input reports
    int inputReports = 0; // the simulator's floor
};

// Rounds of "Get Data" of the runs of `samples` samples; false when one did
// not bring every run without a message.
bool measure(const char *name, int samples, SimInstrument *sim, FirstPageForLogger *page,
             QTableWidget *table, DialogRecorder &dialogs)
{
    sim->setRuns(runsOf(samples));
    QVector<double> times;
    QVector<double> frames;
    QVector<double> floors;
    for (int round = 0; round < kRounds; ++round) {
        dialogs.clear();
        sim->clearLogs();
        QElapsedTimer clock;
        clock.start();
        QMetaObject::invokeMethod(page, "on_GetDataBtn_clicked", Qt::DirectConnection);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (table->rowCount() != kRuns || !dialogs.shown.isEmpty()) {
            std::fprintf(stderr, "%s: download incomplete: %d rows, messages: %s\n", name,
                         table->rowCount(), qPrintable(dialogs.texts().join('|')));
            return false;
        }
        times << ms;
        frames << sim->writtenReports().size() + sim->reportsRead();
        floors << sim->reportsRead() - 1;
    }
    // Every round makes the same exchanges; the median of each is taken.
    const double measured = Bench::median(times);
    Bench::report(name, measured, Bench::median(frames));
    Bench::floor(qPrintable(QString::fromLatin1(name) + QStringLiteral("-sim-floor")), measured,
                 Bench::median(floors));
    return true;
}

// Rounds of a vantrel-cli download to CSV in a process of its own.
bool measureCli(const char *name, int samples)
{
    QTemporaryDir dir;
    SimProfile profile = SimProfile::logger();
    profile.usbFrames = true;
    profile.runs = runsOf(samples);
    QFile json(dir.filePath(QStringLiteral("logger.json")));
    if (!dir.isValid() || !json.open(QIODevice::WriteOnly) || json.write(profile.toJson()) < 0)
        return false;
    json.close();
    const QString tally = dir.filePath(QStringLiteral("tally"));
    const QString csv = dir.filePath(QStringLiteral("runs.csv"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VANTREL_SIM_TALLY"), tally);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    QVector<double> times;
    QVector<double> frames;
    for (int round = 0; round < kRounds; ++round) {
        QFile::remove(tally);
        QFile::remove(csv);
        QProcess cli;
        cli.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../vantrel-cli"),
                  {QStringLiteral("--simulate"), json.fileName(), QStringLiteral("download"),
                   QStringLiteral("-o"), csv});
        const bool ended = cli.waitForFinished(60000);
        const double ms = clock.nsecsElapsed() / 1e6;
        QFile counts(tally);
        const QList<QByteArray> words =
            counts.open(QIODevice::ReadOnly) ? counts.readAll().simplified().split(' ')
                                             : QList<QByteArray>();
        if (!ended || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0 ||
            QFileInfo(csv).size() == 0 || words.size() != 4) {
            std::fprintf(stderr, "%s: vantrel-cli failed: %s\n", name,
                         cli.readAllStandardError().constData());
            return false;
        }
        times << ms;
        frames << words.at(1).toInt() + words.at(3).toInt();
    }
    Bench::report(name, Bench::median(times), Bench::median(frames));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    DialogRecorder dialogs;

    SimProfile profile = SimProfile::logger();
    profile.usbFrames = true;
    profile.runs = runsOf(606);

    auto *env = new SimEnvironment(&app);
    std::shared_ptr<SimInstrument> sim = env->plugIn(profile);
    MainWindow::setLinkOpener([env](quint16 vendorId, quint16 productId) {
        return env->openLink(vendorId, productId);
    });
    MainWindow::setDeviceWatcher(env->watcher());
    MainWindow *window = MainWindow::instance();
    Bench::waitFor([window] { return window->isLinkOpen(); }, 5000);
    if (window->currentFamily() != MainWindow::Family::Logger) {
        std::fprintf(stderr, "the simulated Logger was not recognised\n");
        return 1;
    }
    FirstPageForLogger *page = window->loggerPage();
    auto *table = page->findChild<QTableWidget *>(QStringLiteral("tbData"));

    if (!measure("logger-download-25x606", 606, sim.get(), page, table, dialogs))
        return 1;
    Bench::target("logger-peak-memory", Bench::statusKb("VmHWM:") / 1024.0, 80.0, "MB");
    if (!measure("logger-download-25x10", 10, sim.get(), page, table, dialogs))
        return 1;
    if (!measureCli("cli-download-csv-25x606", 606))
        return 1;
    return 0;
}
