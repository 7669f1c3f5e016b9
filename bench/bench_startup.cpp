// startup-recognised: from making the main window, with a simulated Logger
// (one report per ms) already plugged in, to the instrument recognised and
// its page filled (device information, settings, clock). Its bound: the same
// start without an instrument, plus 2 report times for every request the
// instrument answered. Each start runs in a process of its own (the window
// is made once per process); the median of 5 is reported.
// Usage: bench_startup [--once logger|none]

#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"

#include "benchreport.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kStarts = 5;

// One start in this process: prints "<ms> <requests>".
int once(bool withInstrument)
{
    DialogRecorder dialogs;
    SimEnvironment env;
    env.watcher()->setMuted(true);
    MainWindow::setLinkOpener([&env](quint16 v, quint16 p) { return env.openLink(v, p); });
    MainWindow::setDeviceWatcher(env.watcher());
    std::shared_ptr<SimInstrument> sim;
    if (withInstrument) {
        SimProfile profile = SimProfile::logger();
        profile.reportIntervalUs = 1000;
        sim = env.plugIn(profile);
    }
    QElapsedTimer clock;
    clock.start();
    MainWindow *window = MainWindow::instance();
    window->show();
    if (withInstrument &&
        !Bench::waitFor([window] { return window->currentFamily() != MainWindow::Family::None; },
                        10000)) {
        std::fprintf(stderr, "not recognised\n");
        return 1;
    }
    QCoreApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("%.3f %d\n", ms, sim ? int(sim->requests().size()) : 0);
    return 0;
}

// Median time and the request count of kStarts starts in fresh processes.
bool measure(const QString &program, const QString &kind, double *ms, int *requests)
{
    QVector<double> times;
    for (int i = 0; i < kStarts; ++i) {
        QProcess p;
        p.start(program, {QStringLiteral("--once"), kind});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return false;
        const QList<QByteArray> fields = p.readAllStandardOutput().trimmed().split(' ');
        times << fields.value(0).toDouble();
        *requests = fields.value(1).toInt();
    }
    *ms = Bench::median(times);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--once")) {
        QTemporaryDir emptyDir; // no settings or translations of a user
        QDir::setCurrent(emptyDir.path());
        return once(args.value(2) == QLatin1String("logger"));
    }
    double withMs = 0, withoutMs = 0;
    int requests = 0, none = 0;
    if (!measure(app.applicationFilePath(), QStringLiteral("none"), &withoutMs, &none) ||
        !measure(app.applicationFilePath(), QStringLiteral("logger"), &withMs, &requests)) {
        std::fprintf(stderr, "a start failed\n");
        return 1;
    }
    Bench::report("startup-recognised", withMs, withoutMs + 2.0 * requests);
    return 0;
}
