// Logger benchmarks: 25 full runs of 606 samples from the simulated Logger at
// one input report per millisecond (USB full speed), downloaded by the real
// page through the real link.
// - logger-download: the whole "Get Data". Its USB lower bound: per run one
//   request report, the answer's reports and 3 report times for the
//   configuration read after it, plus 4 report times before the first run.
// - logger-peak-memory: the program's peak resident memory with the 25 runs
//   loaded, against 80 MB.

#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "download/loggerrun.h"
#include "sim/simenvironment.h"
#include "sim/simprofile.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kRuns = 25;
constexpr int kSamples = 606;
constexpr int kRounds = 5;

// Input reports the instrument sends for one answer of n bytes: each answer
// starts a new report, and a report of 64 bytes carries 62 of them.
int reportsFor(int bytes, int reportLength)
{
    const int perReport = qMin(62, reportLength - 2);
    return (bytes + perReport - 1) / perReport;
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    DialogRecorder dialogs;

    SimProfile profile = SimProfile::logger();
    profile.reportIntervalUs = 1000;
    profile.runs.clear();
    for (int k = 0; k < kRuns; ++k) {
        SimLoggerRun run;
        run.start = QDateTime(QDate(2024, 12, 1), QTime(8, 0)).addSecs(3600 * k);
        run.samples.resize(kSamples);
        for (int i = 0; i < kSamples; ++i)
            run.samples[i] = float(400.0 + 300.0 * std::sin(i / 40.0 + k));
        profile.runs << run;
    }

    auto *env = new SimEnvironment(&app);
    env->plugIn(profile);
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

    // Reports of the download, as the instrument sends them: per run its
    // packet stream (64 data bytes a packet, 10 bytes of header and trailer
    // each, and the end packet).
    int totalReports = 4;
    for (const SimLoggerRun &run : profile.runs) {
        const int payload = run.payload().size();
        const int packets = (payload + 63) / 64;
        const int stream = payload + 10 * packets + 10;
        totalReports += 1 + reportsFor(stream, profile.reportLength) + 3;
    }
    const double boundMs = totalReports * 1.0;

    QVector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        dialogs.clear();
        QElapsedTimer clock;
        clock.start();
        QMetaObject::invokeMethod(page, "on_GetDataBtn_clicked", Qt::DirectConnection);
        rounds << clock.nsecsElapsed() / 1e6;
        if (table->rowCount() != kRuns || !dialogs.shown.isEmpty()) {
            std::fprintf(stderr, "download incomplete: %d rows, messages: %s\n",
                         table->rowCount(), qPrintable(dialogs.texts().join('|')));
            return 1;
        }
    }
    Bench::report("logger-download", Bench::median(rounds), boundMs);
    Bench::report("logger-peak-memory", Bench::statusKb("VmHWM:") / 1024.0, 80.0, "MB");
    return 0;
}
