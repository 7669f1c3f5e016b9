// Meter benchmarks against the simulated Meter keeping full-speed USB time
// (usbFrames: every output report takes a 1 ms frame, input reports come one
// a frame, an answer starts a frame after its request):
// - meter-download-255-after-pause: "Get Data" of 255 records, click to the
//   end of the download, each click 300 ms after the previous download.
// - meter-download-255-back-to-back: the same, each click as soon as the
//   previous download has ended (the worker still listening).
//   The bound is counted from what the instrument saw in the measured
//   download: the exchanges before the records follow one another, a frame
//   for each output report and each input report; the record requests go
//   out back to back, a frame each, while the answers come, the last one a
//   frame after the last request: (W - N) + (R - N) + N + 1 frames for W
//   output reports, R input reports read and N record requests (each
//   record's answer is one report). <name>-sim-floor: against the
//   simulator's floor, the input reports alone.
// - meter-idle-cpu / meter-idle-wakeups: the program with a Meter connected
//   and nothing to do, over kIdleMs: CPU time in percent of one core and
//   context switches per second of all its threads, against targets.
// - meter-probe-notice: after that idle, from pulling the probe to the
//   session's notice, against a target of 50 ms.
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "meter/firstpageformeter.h"
#include "session/metersession.h"
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
constexpr int kIdleMs = 60000; // VANTREL_BENCH_IDLE_MS for a shorter look
constexpr double kProbeNoticeMs = 50;

SimProfile profileWith(int records)
{
    SimProfile p = SimProfile::meter();
    p.usbFrames = true;
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

// Rounds of "Get Data", each pauseMs after the previous download ended.
void measure(const char *name, int pauseMs, SimInstrument *sim, FirstPageForMeter *page)
{
    QVector<double> times;
    QVector<double> bounds;
    QVector<double> floors;
    for (int run = 0; run < kRuns; ++run) {
        if (pauseMs > 0)
            Bench::waitFor([] { return false; }, pauseMs);
        sim->clearLogs();
        times << getData(page, kRecords);
        int records = 0;
        for (const QByteArray &frame : sim->requests())
            records += frame.size() > 1 && quint8(frame.at(1)) == 0x42;
        const int written = sim->writtenReports().size();
        const int read = sim->reportsRead();
        bounds << (written - records) + (read - records) + records + 1;
        floors << read - 1;
    }
    const double measured = Bench::median(times);
    Bench::report(name, measured, Bench::median(bounds));
    Bench::floor(qPrintable(QString::fromLatin1(name) + QStringLiteral("-sim-floor")), measured,
                 Bench::median(floors));
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

    measure("meter-download-255-after-pause", 300, sim.get(), page);
    measure("meter-download-255-back-to-back", 0, sim.get(), page);
    if (!dialogs.shown.isEmpty())
        std::fprintf(stderr, "messages: %s\n", qPrintable(dialogs.texts().join(" | ")));

    // Idle: the event loop sleeps as in the running program.
    Bench::waitFor([] { return false; }, 300); // let the last download settle
    QEventLoop idle;
    const int idleMs = qEnvironmentVariableIsSet("VANTREL_BENCH_IDLE_MS")
                           ? qEnvironmentVariableIntValue("VANTREL_BENCH_IDLE_MS")
                           : kIdleMs;
    QTimer::singleShot(idleMs, &idle, &QEventLoop::quit);
    const Bench::Usage before = Bench::Usage::now();
    QElapsedTimer wall;
    wall.start();
    idle.exec();
    const Bench::Usage after = Bench::Usage::now();
    const double seconds = wall.nsecsElapsed() / 1e9;
    Bench::target("meter-idle-cpu", 100.0 * (after.cpuMs - before.cpuMs) / (seconds * 1e3), 0.05,
                  "percent");
    Bench::target("meter-idle-wakeups", (after.switches - before.switches) / seconds, 2.0, "per-s");

    QElapsedTimer noticeClock;
    double noticeMs = -1;
    QObject::connect(page->session(), &MeterSession::probePulled, &app,
                     [&] { noticeMs = noticeClock.nsecsElapsed() / 1e6; });
    noticeClock.start();
    sim->setProbeConnected(false);
    Bench::waitFor([&] { return noticeMs >= 0; }, 5000);
    Bench::target("meter-probe-notice", noticeMs, kProbeNoticeMs);
    return 0;
}
