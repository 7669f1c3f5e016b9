// Benchmark of the Logger run download: 25 full runs of 606 samples from the
// simulated Logger at one input report per millisecond (USB full speed),
// downloaded by the real page through the real link.
//
// The protocol sets the pace: every report takes 1 ms, and every run ends
// with a collection pass that waits for 50 ms of silence. The model is
//     total reports x 1 ms + 25 x 50 ms
// and the page should come within 15 % of it. Also printed: the program's
// peak resident memory with the 25 runs loaded (target below 80 MB).

#include "app/mainwindow.h"
#include "app/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "download/loggerrun.h"
#include "sim/simenvironment.h"
#include "sim/simprofile.h"

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
constexpr int kPassEndMs = 50;

long statusKb(const char *field)
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
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
    QElapsedTimer start;
    start.start();
    while (!window->isLinkOpen() && start.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    if (window->currentFamily() != MainWindow::Family::Logger) {
        std::fprintf(stderr, "the simulated Logger was not recognised\n");
        return 1;
    }
    FirstPageForLogger *page = window->loggerPage();
    auto *table = page->findChild<QTableWidget *>(QStringLiteral("tbData"));

    // Reports of the download: the configuration read and the count before
    // the runs, and per run its packet stream and one configuration read.
    int totalReports = 2;
    for (const SimLoggerRun &run : profile.runs) {
        const int payload = run.payload().size();
        const int packets = (payload + 63) / 64;
        const int stream = payload + 10 * packets + 10;
        totalReports += reportsFor(stream, profile.reportLength) + 1;
    }
    const double modelMs = totalReports * 1.0 + kRuns * kPassEndMs;

    std::printf("Logger download: %d runs x %d samples, 1 ms per report\n", kRuns, kSamples);
    std::printf("model: %d reports x 1 ms + %d x %d ms = %.0f ms\n", totalReports, kRuns,
                kPassEndMs, modelMs);
    const int rounds = 3;
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        dialogs.clear();
        QElapsedTimer clock;
        clock.start();
        QMetaObject::invokeMethod(page, "on_GetDataBtn_clicked", Qt::DirectConnection);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (table->rowCount() != kRuns || !dialogs.shown.isEmpty()) {
            std::fprintf(stderr, "download incomplete: %d rows, messages: %s\n",
                         table->rowCount(), qPrintable(dialogs.texts().join('|')));
            return 1;
        }
        std::printf("round %d: %.0f ms, measured / model = %.3f\n", round + 1, ms, ms / modelMs);
        best = round == 0 ? ms : qMin(best, ms);
    }
    std::printf("best: %.0f ms, ratio %.3f (target <= 1.15)\n", best, best / modelMs);

    const long peakKb = statusKb("VmHWM:");
    const long nowKb = statusKb("VmRSS:");
    std::printf("memory with %d runs loaded: peak %.1f MB, now %.1f MB (target < 80 MB)\n",
                table->rowCount(), peakKb / 1024.0, nowKb / 1024.0);
    std::printf("first row: %s | %s | %s | %s\n", qPrintable(table->item(0, 1)->text()),
                qPrintable(table->item(0, 2)->text()), qPrintable(table->item(0, 4)->text()),
                qPrintable(table->item(0, 6)->text()));
    return 0;
}
