#include "logger/loggerclock.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "protocol/instrumentcommands.h"
#include "ui_firstpageforlogger.h"

#include <QDateTime>
#include <QEvent>

namespace {
constexpr qint64 kReadShownMs = 10000;
}

LoggerClock::LoggerClock(QWidget *page, Ui::FirstPageForLogger *ui)
    : QObject(page), page(page), ui(ui)
{
    ui->dateTimeEditForRead->hide();
    // The clock shows seconds: it wakes once a second, just after the
    // second changes, and only while it is on show (a hidden page, a hidden
    // window or the read time in its place stops it).
    liveTimer = new QTimer(this);
    liveTimer->setObjectName(QStringLiteral("liveClockTimer"));
    liveTimer->setSingleShot(true);
    liveTimer->setTimerType(Qt::PreciseTimer);
    connect(liveTimer, &QTimer::timeout, this, &LoggerClock::tick);
    ui->dateTimeEdit->installEventFilter(this);
    tick();
    readTimer = new QTimer(this);
    readTimer->setObjectName(QStringLiteral("readClockTimer"));
    readTimer->setSingleShot(true);
    readTimer->setTimerType(Qt::PreciseTimer);
    connect(readTimer, &QTimer::timeout, this, &LoggerClock::endReadTime);
}

bool LoggerClock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->dateTimeEdit) {
        if (event->type() == QEvent::Show)
            tick();
        else if (event->type() == QEvent::Hide)
            liveTimer->stop();
    }
    return QObject::eventFilter(watched, event);
}

void LoggerClock::read(InstrumentCommands *commands)
{
    ui->dateTimeEdit->hide();
    ui->dateTimeEditForRead->show();
    ui->writeDateTimeBtn->setEnabled(false);
    ui->readDateTimeBtn->setEnabled(false);

    QDateTime when;
    const int r = commands->readClock(when);
    if (r >= 0) {
        ui->dateTimeEditForRead->setDateTime(when);
        readAge.restart();
        readTimer->start(int(kReadShownMs));
        return;
    }
    CommandTexts::showFailure(page, r, CommandTexts::readClock);
    ui->dateTimeEditForRead->hide();
    ui->dateTimeEdit->show();
    ui->writeDateTimeBtn->setEnabled(true);
    ui->readDateTimeBtn->setEnabled(true);
}

void LoggerClock::endReadTime()
{
    const qint64 left = readAge.isValid() ? kReadShownMs - readAge.elapsed() : 0;
    if (left > 0) {
        readTimer->start(int(left));
        return;
    }
    readTimer->stop();
    ui->dateTimeEditForRead->hide();
    ui->dateTimeEdit->show();
    tick(); // current even where the page is not on show
    ui->writeDateTimeBtn->setEnabled(true);
    ui->readDateTimeBtn->setEnabled(true);
}

void LoggerClock::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    ui->dateTimeEdit->setDateTime(now);
    if (ui->dateTimeEdit->isVisible())
        liveTimer->start(1000 - now.time().msec());
}

void LoggerClock::write(InstrumentCommands *commands)
{
    // The time on show, as the user sees it; a clock that has not been on
    // show (and so has not ticked) takes the time of this moment first.
    if (!liveTimer->isActive() &&
        qAbs(ui->dateTimeEdit->dateTime().secsTo(QDateTime::currentDateTime())) > 1)
        tick();
    const int r = commands->writeClock(ui->dateTimeEdit->dateTime());
    if (r < 0) {
        CommandTexts::showFailure(page, r, CommandTexts::writeClock);
        UiSeam::information(page, tr("information"), tr("parameter date time error!"));
        return;
    }
    UiSeam::information(page, tr("information"), tr("parameter date time success!"));
}
