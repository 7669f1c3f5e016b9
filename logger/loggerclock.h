#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QTimer>

class InstrumentCommands;
class QWidget;

namespace Ui {
class FirstPageForLogger;
}

// The Logger page's clock: the computer's time, ticking each second, which
// "Write" sets on the instrument; after "Read" the instrument's time takes
// its place for 10 s, with both buttons disabled meanwhile. Messages are
// shown over the page. Its timers run only while they have something to
// show: the computer's time while it is visible, the read time's end once.
class LoggerClock : public QObject
{
    Q_OBJECT
public:
    LoggerClock(QWidget *page, Ui::FirstPageForLogger *ui);

    void read(InstrumentCommands *commands);
    void write(InstrumentCommands *commands);
    // Shows the computer's time; while it is visible, again when the next
    // second begins.
    void tick();
    // Gives the read time's place back to the computer's time once it has
    // been on show for 10 s.
    void endReadTime();
    // How long the read time has been on show, in ms; -1 before any read.
    qint64 readShownMs() const { return readAge.isValid() ? readAge.elapsed() : -1; }
    // The computer's time as the live clock shows it, a local date-time.
    QDateTime shownTime() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *page;
    Ui::FirstPageForLogger *ui;
    QTimer *liveTimer = nullptr;
    QTimer *readTimer = nullptr;
    QElapsedTimer readAge;
    // The zone's offset from UTC, looked up once a minute: the zone's
    // changes (summer time) fall on whole minutes, and each look-up has the
    // C library check the zone file.
    qint64 offsetMinute = -1;
    qint64 offsetMs = 0;
    QWidget *liveText = nullptr;
    // The edit's frame as last drawn; null when it must be drawn again.
    QPixmap frame;
    bool renderingFrame = false;
    QElapsedTimer cacheSwept;
    void keepFrame();
};
