#include "logger/loggerclock.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "protocol/instrumentcommands.h"
#include "ui_firstpageforlogger.h"

#include <QDateTime>

LoggerClock::LoggerClock(QWidget *page, Ui::FirstPageForLogger *ui)
    : QObject(page), page(page), ui(ui)
{
    ui->dateTimeEditForRead->hide();
    liveTimer = new QTimer(this);
    connect(liveTimer, &QTimer::timeout, this, &LoggerClock::tick);
    liveTimer->start(1000);
    tick();
    connect(&readTimer, &QTimer::timeout, this, &LoggerClock::endReadTime);
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
        readTimer.start(100);
        readAge.restart();
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
    if (readAge.isValid() && 10000 - readAge.elapsed() > 0)
        return;
    ui->dateTimeEditForRead->hide();
    ui->dateTimeEdit->show();
    ui->writeDateTimeBtn->setEnabled(true);
    ui->readDateTimeBtn->setEnabled(true);
}

void LoggerClock::tick()
{
    ui->dateTimeEdit->setDateTime(QDateTime::currentDateTime());
}

void LoggerClock::write(InstrumentCommands *commands)
{
    const int r = commands->writeClock(ui->dateTimeEdit->dateTime());
    if (r < 0) {
        CommandTexts::showFailure(page, r, CommandTexts::writeClock);
        UiSeam::information(page, tr("information"), tr("parameter date time error!"));
        return;
    }
    UiSeam::information(page, tr("information"), tr("parameter date time success!"));
}
