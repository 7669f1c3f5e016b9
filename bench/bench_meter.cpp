// Downloads 255 records from the simulated Meter at 1 ms report pacing and
// compares the time with a model of the transfer:
//   2 x 255 reports x 1 ms (requests out, answers in)
//   + one worker pass (50 ms report wait + 30 ms pause)
//   + one 100 ms progress tick.
// "Get Data" first reads device information, settings and the record count;
// that prelude is measured on its own (a download of 0 records) and taken
// off, so that the ratio covers the transfer the model describes.
#include "app/mainwindow.h"
#include "app/uiseam.h"
#include "meter/firstpageformeter.h"
#include "sim/simenvironment.h"
#include "sim/siminstrument.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRecords = 255;
constexpr int kRuns = 5;
constexpr double kModelMs = 2.0 * kRecords * 1.0 + 80.0 + 100.0;

bool waitFor(const std::function<bool()> &done, int timeoutMs)
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
    waitFor([page] { return !page->isDownloading; }, 15000);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (page->table()->rowCount() != expectedRows)
        std::fprintf(stderr, "expected %d rows, got %d\n", expectedRows, page->table()->rowCount());
    return ms;
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
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
    waitFor([window] { return window->currentFamily() == MainWindow::Family::Meter; }, 5000);
    FirstPageForMeter *page = window->meterPage();

    QVector<double> full, prelude;
    for (int run = 0; run < kRuns; ++run) {
        sim->setRecords(profileWith(kRecords).records);
        full << getData(page, kRecords);
        sim->setRecords({});
        prelude << getData(page, 0);
    }
    if (!dialogs.shown.isEmpty())
        std::fprintf(stderr, "messages: %s\n", qPrintable(dialogs.texts().join(" | ")));

    const double fullMs = median(full);
    const double preludeMs = median(prelude);
    const double transferMs = fullMs - preludeMs;
    std::printf("Meter download, %d records, report pacing 1 ms, median of %d runs\n", kRecords,
                kRuns);
    std::printf("  Get Data, click to last row:        %8.1f ms\n", fullMs);
    std::printf("  prelude (information, settings, count): %8.1f ms\n", preludeMs);
    std::printf("  transfer (requests to last row):    %8.1f ms\n", transferMs);
    std::printf("  model (2 x %d x 1 ms + 80 + 100):  %8.1f ms\n", kRecords, kModelMs);
    std::printf("  ratio transfer / model:             %8.2f (target <= 1.30)\n",
                transferMs / kModelMs);
    std::printf("  ratio whole Get Data / model:       %8.2f\n", fullMs / kModelMs);
    return 0;
}
