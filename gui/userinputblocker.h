#pragma once

#include <QObject>

class QEvent;

// While the program waits for the instrument (a download, a command's
// answer) it lets the event loop paint, run its timers and hear of device
// changes, but no click or key press may reach a widget: user input is
// dropped, not deferred, so nothing the user does in the meantime is
// replayed afterwards. A modal dialog (a message box, a download's progress
// dialog with its Cancel button) keeps its input.
class UserInputBlocker : public QObject
{
public:
    UserInputBlocker();
    ~UserInputBlocker() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Paint, timers and device notices; user input arrives here too, to be
    // dropped by the filter or to reach the modal dialog. Input held back
    // instead would be replayed after the wait.
    static void letPaint();
};
