// The program at rest: `vantrel --simulate logger`, `vantrel --simulate
// meter` and `vantrel` with no instrument, each left alone after it has
// settled, and the wake-ups and CPU it takes meanwhile:
// - wake-ups: the voluntary context switches of all its threads (a thread
//   that sleeps and wakes counts one each time), per second;
// - CPU: the time all its threads spent on a CPU, in % of one core.
// Targets: a connected instrument <= 2 wake-ups/s and <= 0.05 % CPU; no
// instrument <= 1 wake-up/s. The program runs on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise (DISPLAY of an Xvfb, for example),
// with settings in a folder of its own.
// Usage: bench_idle [seconds]   (60 unless given; a short run for a check)

#include "benchreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

constexpr int kSettleMs = 4000;

struct Sample
{
    long switches = 0;
    double cpuSeconds = 0;
};

// Summed over the process's threads, from /proc; false once it has ended.
bool sample(qint64 pid, Sample *out)
{
    const QString base = QStringLiteral("/proc/%1/").arg(pid);
    if (!QFile::exists(base + QStringLiteral("status")))
        return false;
    out->switches = 0;
    out->cpuSeconds = 0;
    const QStringList tasks =
        QDir(base + QStringLiteral("task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile status(base + QStringLiteral("task/") + task + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue; // a thread that ended meanwhile
        for (const QByteArray &l : status.readAll().split('\n')) {
            if (l.startsWith("voluntary_ctxt_switches:"))
                out->switches += l.mid(24).trimmed().toLong();
        }
        // The first figure: time on a CPU in ns.
        QFile schedstat(base + QStringLiteral("task/") + task + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            out->cpuSeconds += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return true;
}

bool measure(const QString &program, const QStringList &arguments, int seconds,
             double *wakeupsPerSecond, double *cpuPercent)
{
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    if (!p.waitForStarted(10000))
        return false;
    QThread::msleep(kSettleMs);
    Sample before, after;
    const bool ok = sample(p.processId(), &before) &&
                    (QThread::sleep(unsigned(seconds)), sample(p.processId(), &after));
    p.terminate();
    if (!p.waitForFinished(10000))
        p.kill();
    if (!ok)
        return false;
    *wakeupsPerSecond = double(after.switches - before.switches) / seconds;
    *cpuPercent = 100.0 * (after.cpuSeconds - before.cpuSeconds) / seconds;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = qMax(1, app.arguments().value(1, QStringLiteral("60")).toInt());
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../vantrel");
    struct Case
    {
        const char *name;
        QStringList arguments;
        double wakeups;
        double cpu;
    };
    const Case cases[] = {
        {"logger", {QStringLiteral("--simulate"), QStringLiteral("logger")}, 2, 0.05},
        {"meter", {QStringLiteral("--simulate"), QStringLiteral("meter")}, 2, 0.05},
        {"none", {}, 1, 0.05},
    };
    for (const Case &c : cases) {
        double wakeups = 0, cpu = 0;
        if (!measure(program, c.arguments, seconds, &wakeups, &cpu)) {
            std::fprintf(stderr, "vantrel %s did not run\n", qPrintable(c.arguments.join(' ')));
            return 1;
        }
        const QByteArray name = QByteArray("idle-") + c.name;
        Bench::target((name + "-wakeups").constData(), wakeups, c.wakeups, "/s");
        Bench::target((name + "-cpu").constData(), cpu, c.cpu, "%");
    }
    return 0;
}
