#include "app/instrumentaccess.h"

#include "app/mainwindow.h"
#include "link/clinkerusb.h"
#include "link/hidapitransport.h"
#include "link/udevdevicewatcher.h"
#include "sim/simenvironment.h"
#include "sim/simprofile.h"

#include <QObject>
#include <QString>

namespace {

// Pace of the simulated instrument's reports when the profile does not set
// one: one report per millisecond, as on a full-speed USB link.
constexpr int kSimulatedReportIntervalUs = 1000;

QString simulateArgument(const QStringList &arguments, bool *present, QString *error)
{
    *present = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--simulate")) {
            *present = true;
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("--simulate needs meter, logger or a profile file");
                return QString();
            }
            return arguments.at(i + 1);
        }
        if (a.startsWith(QLatin1String("--simulate="))) {
            *present = true;
            return a.mid(int(qstrlen("--simulate=")));
        }
    }
    return QString();
}

} // namespace

bool configureInstrumentAccess(const QStringList &arguments, QObject *owner, QString *error)
{
    QString dummy;
    if (!error)
        error = &dummy;
    bool simulate = false;
    const QString which = simulateArgument(arguments, &simulate, error);
    if (simulate) {
        if (which.isEmpty()) {
            if (error->isEmpty())
                *error = QStringLiteral("--simulate needs meter, logger or a profile file");
            return false;
        }
        SimProfile profile;
        if (!SimProfile::load(which, &profile, error))
            return false;
        if (profile.reportIntervalUs == 0)
            profile.reportIntervalUs = kSimulatedReportIntervalUs;
        auto *env = new SimEnvironment(owner);
        // Plugged in before the main window starts listening: the start-up
        // OpenUSB() finds it, as it finds an instrument plugged in before start.
        env->plugIn(profile);
        MainWindow::setLinkOpener([env](quint16 vendorId, quint16 productId) {
            return env->openLink(vendorId, productId);
        });
        MainWindow::setDeviceWatcher(env->watcher());
        return true;
    }

    // Lives as long as the process: the main window's link uses it until the end.
    static HidapiTransport hidapi;
    HidapiTransport *transport = &hidapi;
    MainWindow::setLinkOpener([transport](quint16 vendorId, quint16 productId) -> CLinker * {
        auto *link = new CLinkerUSB(transport);
        if (link->open(vendorId, productId) != 0) {
            delete link;
            return nullptr;
        }
        return link;
    });
    MainWindow::setDeviceWatcher(new UdevDeviceWatcher(owner));
    return true;
}
