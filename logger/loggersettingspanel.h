#pragma once

#include <QObject>

class InstrumentCommands;
class QButtonGroup;
class QString;
class QWidget;

namespace Ui {
class FirstPageForLogger;
}

// The Logger's settings as the page's form shows them: Auto Off (Off/On),
// the Shutdown minutes and the storage interval (1 s, 10 s, 60 s), kept in
// configuration block 0x80. With Auto Off on the Shutdown minutes apply and
// the interval buttons are greyed; with it off the reverse. Reads and writes
// the block with their messages, shown over the page.
class LoggerSettingsPanel : public QObject
{
    Q_OBJECT
public:
    // The button groups' ids are the values the block's bytes carry.
    LoggerSettingsPanel(QWidget *page, Ui::FirstPageForLogger *ui);

    // Enables and greys the fields after a click on Off or On.
    void showAutoOffState();
    // Shows the instrument's block; the defaults after a block whose check
    // value was wrong.
    void read(InstrumentCommands *commands);
    // Asks first (the instrument clears its runs), checks the minutes, then
    // writes the block built from the buttons.
    void write(InstrumentCommands *commands);

signals:
    // Emitted right before the block is written: the instrument clears its
    // stored runs when its parameters change, and so does the table.
    void runsClearing();

private:
    void showDefaults();
    void setIntervalButtonsStyle(const char *style);

    QWidget *page;
    Ui::FirstPageForLogger *ui;
    QButtonGroup *autoOffGroup = nullptr;
    QButtonGroup *intervalGroup = nullptr;
};
