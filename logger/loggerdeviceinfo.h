#pragma once

#include "measurement/instrumentidentity.h"

#include <QObject>

class InstrumentCommands;
class QWidget;

namespace Ui {
class FirstPageForLogger;
}

// The device information fields of the Logger page: serial number and model
// (from the key information, or the production information of an instrument
// without a key), calibration date and firmware version. Messages about a
// failed read are shown over the page.
class LoggerDeviceInfo : public QObject
{
    Q_OBJECT
public:
    LoggerDeviceInfo(QWidget *page, Ui::FirstPageForLogger *ui);

    // Fills the fields in that order; a failed read leaves the rest as they
    // were. Nothing happens without an open link.
    void read(InstrumentCommands *commands);
    // Empties the fields, and the Shutdown minutes read with them (the
    // instrument has gone).
    void clear();
    // What the last read gave (fields it did not reach stay empty); every
    // file and report of this instrument's data names it.
    const InstrumentIdentity &identity() const { return m_identity; }

private:
    InstrumentIdentity m_identity;
    QWidget *page;
    Ui::FirstPageForLogger *ui;
};
