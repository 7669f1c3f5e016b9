#pragma once

#include "measurement/instrumentidentity.h"

#include <QCoreApplication>
#include <QtGlobal>

class InstrumentCommands;
class MeterSettingsPanel;
class QWidget;

namespace Ui {
class FirstPageForMeter;
}

// The Meter page's device information: the serial number, model name,
// calibration date and firmware version read from the instrument into the
// page's fields (the key information, or the production information when the
// key read says there is no probe), and the settings buttons the model
// allows. Its messages go to the page; the page checks the link and holds the
// exchange lock around the read.
class MeterDeviceInfo
{
    Q_DECLARE_TR_FUNCTIONS(MeterDeviceInfo)

public:
    MeterDeviceInfo(QWidget *page, Ui::FirstPageForMeter *ui, MeterSettingsPanel *settings);

    // 1 success, -1 failure. typeCode is set once the serial number is known.
    int read(InstrumentCommands *commands, qint32 &typeCode);
    // Empties the fields.
    void clear();
    // What the last read gave (fields it did not reach stay empty); every
    // file and report of this instrument's data names it.
    const InstrumentIdentity &identity() const { return m_identity; }

private:
    InstrumentIdentity m_identity;
    QWidget *m_page = nullptr;
    Ui::FirstPageForMeter *ui = nullptr;
    MeterSettingsPanel *m_settings = nullptr;
};
