#include "simsetup.h"

#include "app/mainwindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTest>

namespace {
SimEnvironment *env = nullptr;
bool windowStarted = false;
} // namespace

namespace SimSetup {

bool loadShippedProfile(const QString &file, SimProfile *profile, QString *error)
{
    return SimProfile::load(QStringLiteral(VANTREL_SOURCE_DIR "/sim/profiles/") + file, profile,
                            error);
}

SimEnvironment *install(const SimProfile &profile, bool plugged)
{
    if (!env) {
        env = new SimEnvironment(QCoreApplication::instance());
        MainWindow::setLinkOpener(
            [](quint16 vendorId, quint16 productId) { return env->openLink(vendorId, productId); });
        MainWindow::setDeviceWatcher(env->watcher());
    }
    env->watcher()->setMuted(true);
    env->removeAll();
    if (plugged)
        env->plugIn(profile);
    deliverNotices();
    env->watcher()->setMuted(false);
    return env;
}

SimEnvironment *environment()
{
    return env;
}

std::shared_ptr<SimInstrument> instrument()
{
    return env ? env->instrument() : nullptr;
}

MainWindow *startWindow()
{
    MainWindow *window = MainWindow::instance();
    if (!windowStarted) {
        // initusbport() runs from a single-shot timer; on a loaded machine
        // it may take long to come round.
        windowStarted = QTest::qWaitFor([window] { return window->hasStarted(); }, 60000);
        if (!windowStarted)
            qFatal("the main window did not start within 60 s");
    }
    return window;
}

void deliverNotices()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

std::shared_ptr<SimInstrument> replug(const SimProfile &profile)
{
    MainWindow *window = startWindow();
    env->watcher()->setMuted(true);
    QMetaObject::invokeMethod(window, "CloseUSB", Qt::DirectConnection);
    env->removeAll();
    std::shared_ptr<SimInstrument> instrument = env->plugIn(profile);
    deliverNotices();
    env->watcher()->setMuted(false);
    bool opened = false;
    QMetaObject::invokeMethod(window, "OpenUSB", Qt::DirectConnection, Q_RETURN_ARG(bool, opened));
    return instrument;
}

void unplugAll()
{
    MainWindow *window = startWindow();
    env->watcher()->setMuted(true);
    QMetaObject::invokeMethod(window, "CloseUSB", Qt::DirectConnection);
    env->removeAll();
    deliverNotices();
    env->watcher()->setMuted(false);
}

} // namespace SimSetup
