#pragma once

#include <QStringList>

class QObject;

// Chooses how the program reaches instruments from its command line: real HID
// devices with udev notices, or (--simulate meter|logger|PROFILE) a simulated
// instrument plugged in at start. Installs the main window's link opener and
// device watcher; owner keeps what it creates. Returns false with a reason in
// error when the command line is wrong.
bool configureInstrumentAccess(const QStringList &arguments, QObject *owner, QString *error);
