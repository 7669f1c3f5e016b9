// startup-recognised: from making the main window, with a simulated Logger
// (one report per ms) already plugged in, to the instrument recognised and
// its page filled (device information, settings, clock). Its bound: the same
// start without an instrument, plus 2 report times for every request the
// instrument answered. Each start runs in a process of its own (the window
// is made once per process); the median of 5 is reported.
//
// Whole processes, as a user starts them: the program (`vantrel --debug`,
// settings in a folder of their own) from the start of its process to its
// trace "first paint done", paired with bare_window, a bare Qt 5 window
// timed the same way (target 1.5 x its time), and with page_window, the
// window's forms and style sheet in a program of their own (a reference:
// what Qt takes to show this page); and `vantrel --debug --simulate logger`
// to its trace "recognised" (target: its first paint plus 2 report times for
// every request of a recognition). Medians of 9 rounds.
// Usage: bench_startup [--once logger|none]

#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"

#include "benchreport.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtPlugin>

// As the program has it (app/main.cpp).
Q_IMPORT_PLUGIN(PngImagePlugin)

namespace {

constexpr int kStarts = 5;
constexpr int kPairs = 9;

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

// ms from starting program to the first line on its stderr that holds
// marker; -1 when it ends or stays silent for 30 s.
double untilTrace(const QString &program, const QStringList &arguments, const QByteArray &marker)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.remove(QStringLiteral("QT_LOGGING_RULES")); // the traces are the clock here
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    double ms = -1;
    QByteArray seen;
    while (ms < 0 && p.waitForReadyRead(30000)) {
        seen += p.readAll();
        if (seen.contains(marker))
            ms = clock.nsecsElapsed() / 1e6;
    }
    // Ended as a user would end it, so that it leaves no instance behind.
    p.terminate();
    if (!p.waitForFinished(10000))
        p.kill();
    p.waitForFinished(10000);
    if (ms < 0)
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), seen.constData());
    return ms;
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

    const QString dir = QCoreApplication::applicationDirPath();
    const QString program = dir + QStringLiteral("/../vantrel");
    QVector<double> bare, page, painted, recognised;
    for (int i = 0; i < kPairs; ++i) {
        const double b = untilTrace(dir + QStringLiteral("/bare_window"), {}, "first paint done");
        const double f = untilTrace(dir + QStringLiteral("/page_window"), {}, "first paint done");
        const double p = untilTrace(program, {QStringLiteral("--debug")}, "first paint done");
        const double r = untilTrace(
            program,
            {QStringLiteral("--debug"), QStringLiteral("--simulate"), QStringLiteral("logger")},
            "recognised");
        if (b < 0 || f < 0 || p < 0 || r < 0) {
            std::fprintf(stderr, "a whole-process start failed\n");
            return 1;
        }
        bare << b;
        page << f;
        painted << p;
        recognised << r;
    }
    const double bareMs = Bench::median(bare);
    const double paintMs = Bench::median(painted);
    Bench::report("startup-bare-window", bareMs, bareMs);
    Bench::target("startup-first-paint", paintMs, 1.5 * bareMs);
    Bench::reference("startup-first-paint-vs-page", paintMs, Bench::median(page));
    Bench::target("startup-recognised-process", Bench::median(recognised),
                  paintMs + 2.0 * requests);
    return 0;
}
