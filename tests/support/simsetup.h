#pragma once

#include "sim/simenvironment.h"
#include "sim/simprofile.h"

#include <memory>

class MainWindow;

// Runs the main window against a simulated instrument.
//
//   SimSetup::install(SimProfile::logger()); // before MainWindow::instance()
//   MainWindow *w = SimSetup::startWindow(); // built, initusbport() has run
//   auto sim = SimSetup::replug(profile);    // another instrument, recognised
//
// The main window is one per process: install once per test program (in
// initTestCase), then replug between test functions.
namespace SimSetup {

// Installs the simulator as the main window's link opener and device
// watcher, with an instrument built from profile plugged in (none when
// plugged is false). Call once, before the first MainWindow::instance().
SimEnvironment *install(const SimProfile &profile, bool plugged = true);
SimEnvironment *environment();
// The instrument plugged in now (nullptr when none).
std::shared_ptr<SimInstrument> instrument();

// MainWindow::instance(), then runs events until its start-up (initusbport:
// watcher start, OpenUSB and recognition) has happened.
MainWindow *startWindow();

// Closes the window's link (CloseUSB), replaces the instrument by one built
// from profile and opens it (OpenUSB: lamp on, recognition). Returns the new
// instrument. Device notices of the swap are not delivered.
std::shared_ptr<SimInstrument> replug(const SimProfile &profile);
// Closes the link and pulls every instrument out, without notices.
void unplugAll();

// Loads one of the example profiles shipped in sim/profiles/.
bool loadShippedProfile(const QString &file, SimProfile *profile, QString *error);

// Runs events until the queued device notices have been delivered.
void deliverNotices();

} // namespace SimSetup
