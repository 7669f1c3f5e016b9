// Meter benchmarks against the simulated Meter at one report per ms:
// - meter-download: "Get Data" of 255 records, click to last row. Its USB
//   lower bound: the 255 requests go out back to back while the answers
//   come (256 report times), plus 2 report times for each of the 6
//   exchanges before them (information, settings, count).
// - meter-idle-cpu / meter-idle-wakeups: the program with a Meter connected
//   and nothing to do, over a few seconds: CPU time in percent of one core
//   and context switches per second of all its threads.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"

#include "benchreport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRecords = 255;
constexpr int kRuns = 5;
constexpr double kReportMs = 1.0;
constexpr double kBoundMs = (kRecords + 1) * kReportMs + 6 * 2 * kReportMs;
constexpr int kIdleMs = 4000;

SimProfile profileWith(int records)
{
    SimProfile p = SimProfile::meter();
    p.reportIntervalUs = 1000;
    p.records.clear();
    for (int k = 0; k < records; ++k) {
        SimMeterRecord r;
        r.realTime = 10.f + k;
        r.maximum = 20.f + k;
        r.minimum = 5.f + k;
        r.average = 12.f + k;
        r.energy = 100.f + k;
        r.duration = 1.f + k;
        p.records.append(r);
    }
    return p;
}

// One "Get Data" from click to the end of the download, in ms.
double getData(FirstPageForMeter *page, int expectedRows)
{
    QAbstractButton *button = page->findChild<QAbstractButton *>(QStringLiteral("GetDataBtn"));
    QElapsedTimer clock;
    clock.start();
    button->click();
    Bench::waitFor([page] { return !page->session()->isDownloading; }, 15000);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (page->table()->rowCount() != expectedRows)
        std::fprintf(stderr, "expected %d rows, got %d\n", expectedRows, page->table()->rowCount());
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    QTemporaryDir emptyDir; // no translation: English texts
    QDir::setCurrent(emptyDir.path());
    DialogRecorder dialogs;

    SimEnvironment env;
    env.watcher()->setMuted(true);
    MainWindow::setLinkOpener([&env](quint16 v, quint16 p) { return env.openLink(v, p); });
    MainWindow::setDeviceWatcher(env.watcher());

    std::shared_ptr<SimInstrument> sim = env.plugIn(profileWith(kRecords));
    MainWindow *window = MainWindow::instance();
    Bench::waitFor([window] { return window->currentFamily() == MainWindow::Family::Meter; }, 5000);
    FirstPageForMeter *page = window->meterPage();

    QVector<double> full;
    for (int run = 0; run < kRuns; ++run)
        full << getData(page, kRecords);
    if (!dialogs.shown.isEmpty())
        std::fprintf(stderr, "messages: %s\n", qPrintable(dialogs.texts().join(" | ")));
    Bench::report("meter-download", Bench::median(full), kBoundMs);

    // Idle: the event loop sleeps as in the running program.
    Bench::waitFor([] { return false; }, 300); // let the last download settle
    QEventLoop idle;
    QTimer::singleShot(kIdleMs, &idle, &QEventLoop::quit);
    const Bench::Usage before = Bench::Usage::now();
    QElapsedTimer wall;
    wall.start();
    idle.exec();
    const Bench::Usage after = Bench::Usage::now();
    const double seconds = wall.nsecsElapsed() / 1e9;
    Bench::report("meter-idle-cpu", 100.0 * (after.cpuMs - before.cpuMs) / (seconds * 1e3), 0.2,
                  "percent");
    Bench::report("meter-idle-wakeups", (after.switches - before.switches) / seconds, 60.0,
                  "per-s");
    return 0;
}
