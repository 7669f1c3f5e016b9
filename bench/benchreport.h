#pragma once
// What every benchmark program shares: the one line per figure that results
// are compared by over time,
//     bench <name>: measured <value> <unit>, bound <value> <unit>, ratio <r>
// ("target <value> <unit>" for a goal that is no bound), and small helpers
// for waiting, medians and the process's own figures.

#include "files/memorypolicy.h"
#include "measurement/loggerdata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QVector>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace Bench {

// Before the QApplication: the offscreen platform unless another is asked
// for, and no debug traces unless logging rules are given.
inline void prepareEnvironment()
{
    MemoryPolicy::apply(); // as the programs run
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "*.debug=false");
}

inline void report(const char *name, double measured, double bound, const char *unit = "ms")
{
    std::printf("bench %s: measured %.2f %s, bound %.2f %s, ratio %.2f\n", name, measured, unit,
                bound, unit, bound > 0 ? measured / bound : 0.0);
    std::fflush(stdout);
}

// A figure held against a goal that is not a lower bound (idle, memory):
//     bench <name>: measured <value> <unit>, target <value> <unit>, ratio <r>
inline void target(const char *name, double measured, double goal, const char *unit = "ms")
{
    std::printf("bench %s: measured %.2f %s, target %.2f %s, ratio %.2f\n", name, measured, unit,
                goal, unit, goal > 0 ? measured / goal : 0.0);
    std::fflush(stdout);
}

// A figure beside a reference it is not held to (how many times reading a
// file's bytes its parsing costs, for example):
//     bench <name>: measured <value> ms, reference <value> ms, ratio <r>
inline void reference(const char *name, double measured, double referenceMs)
{
    std::printf("bench %s: measured %.2f ms, reference %.2f ms, ratio %.2f\n", name, measured,
                referenceMs, referenceMs > 0 ? measured / referenceMs : 0.0);
    std::fflush(stdout);
}

// A download against the simulator's own floor, its input reports alone at
// one a frame (the requests' frames left out):
//     bench <name>: measured <value> ms, floor <value> ms, ratio <r>
inline void floor(const char *name, double measured, double floorMs)
{
    std::printf("bench %s: measured %.2f ms, floor %.2f ms, ratio %.2f\n", name, measured, floorMs,
                floorMs > 0 ? measured / floorMs : 0.0);
    std::fflush(stdout);
}

inline double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Runs the event loop until done() or the time-out; false on time-out.
// The median time in ms of `repetitions` runs of work.
inline double medianTime(int repetitions, const std::function<void()> &work)
{
    QVector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times << clock.nsecsElapsed() / 1e6;
    }
    return median(times);
}

// `count` Logger runs of `samples` samples each at 1 s, with starts on
// different days and curves that differ run by run: what the plot
// benchmarks overlay.
inline QList<LoggerRunData> overlaidRuns(int count, int samples)
{
    QList<LoggerRunData> runs;
    for (int r = 0; r < count; ++r) {
        LoggerRunData run;
        run.number = r + 1;
        run.start = QDateTime(QDate(2024, 12, r % 28 + 1), QTime(10, 0));
        run.hasStartBytes = true;
        run.intervalSeconds = 1;
        for (int i = 0; i < samples; ++i)
            run.samples << float(100.0 + ((i * 37 + r * 11) % 9000) / 10.0);
        runs << run;
    }
    return runs;
}

inline bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// A field of /proc/self/status in kB (VmHWM, VmRSS), -1 when unknown.
inline long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// CPU time and context switches of the whole process (all threads).
struct Usage
{
    double cpuMs = 0;
    long switches = 0;
    static Usage now()
    {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        Usage r;
        r.cpuMs = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
                  (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
        r.switches = u.ru_nvcsw + u.ru_nivcsw;
        return r;
    }
};

} // namespace Bench
