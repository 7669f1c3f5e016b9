#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

class InstrumentCommands;
class QButtonGroup;
class QRadioButton;
class QWidget;

namespace Ui {
class FirstPageForMeter;
}

// The Meter page's four settings (Auto Off, Energy Display, Smooth, Unit):
// the button groups of the page's form, which buttons a model's control
// profile enables or greys, and the exchanges that read the settings into
// the buttons (blocks 0x80 and 0x60) and write the buttons' choice back.
// Its messages go to the page; the page checks the link and holds the
// exchange lock around each call.
class MeterSettingsPanel
{
    Q_DECLARE_TR_FUNCTIONS(MeterSettingsPanel)

public:
    MeterSettingsPanel(QWidget *page, Ui::FirstPageForMeter *ui);

    // The unit chosen in the buttons (MeterUnits id), or -1.
    int unit() const;

    // Every Smooth and Unit button usable again, then greyed where the
    // model's profile does not allow it.
    void enableForModel(const QString &model);

    // Shows the instrument's settings in the buttons: 1, or -1 after a
    // failure (told to the user).
    int read(InstrumentCommands *commands);
    // Writes the buttons' choice to the instrument and says how it went.
    void write(InstrumentCommands *commands);

private:
    QList<QRadioButton *> smoothButtons() const;
    QList<QRadioButton *> unitButtons() const;

    QWidget *m_page = nullptr;
    Ui::FirstPageForMeter *ui = nullptr;
    QButtonGroup *autoOffGroup = nullptr;
    QButtonGroup *energyDisplayGroup = nullptr;
    QButtonGroup *smoothGroup = nullptr;
    QButtonGroup *unitGroup = nullptr;
};
