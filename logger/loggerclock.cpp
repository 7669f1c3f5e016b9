#include "logger/loggerclock.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "protocol/instrumentcommands.h"
#include "ui_firstpageforlogger.h"

#include <QEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>

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
    connect(liveTimer, &QTimer::timeout, this, [this] {
        // The frame's picture is made on the timer's first tick, not when
        // the clock is first shown: start-up paints the window sooner.
        if (frame.isNull() && this->ui->dateTimeEdit->isVisible())
            keepFrame();
        tick();
    });
    ui->dateTimeEdit->installEventFilter(this);
    // The edit holds the wall-clock reading as it is, without a zone, so
    // that setting it each second does not convert it back and forth
    // through the zone (the C library rereads the zone file each time).
    ui->dateTimeEdit->setTimeSpec(Qt::UTC);
    // The instrument's reading, shown as it is: never moved by this PC's
    // zone.
    ui->dateTimeEditForRead->setTimeSpec(Qt::UTC);
    // Each second the edit repaints, frame and text. Its background is the
    // window's, seen through; painting that colour itself (under the frame
    // and under the text) spares Qt repainting the window and the group box
    // behind it every second. The frame itself, drawn through the style
    // sheet, is kept as a picture until something happens to the edit.
    ui->dateTimeEdit->setAttribute(Qt::WA_OpaquePaintEvent);
    liveText = ui->dateTimeEdit->findChild<QLineEdit *>();
    if (liveText) {
        liveText->setAttribute(Qt::WA_OpaquePaintEvent);
        liveText->installEventFilter(this);
    }
    tick();
    readTimer = new QTimer(this);
    readTimer->setObjectName(QStringLiteral("readClockTimer"));
    readTimer->setSingleShot(true);
    readTimer->setTimerType(Qt::PreciseTimer);
    connect(readTimer, &QTimer::timeout, this, &LoggerClock::endReadTime);
}

bool LoggerClock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != liveText && watched != ui->dateTimeEdit)
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    const bool edit = watched == ui->dateTimeEdit;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(widget);
        if (edit && !frame.isNull() && !renderingFrame) {
            painter.drawPixmap(0, 0, frame);
            return true;
        }
        painter.fillRect(static_cast<QPaintEvent *>(event)->rect(),
                         widget->window()->palette().brush(QPalette::Window));
        return false;
    }
    case QEvent::Polish:
    case QEvent::StyleChange:
    case QEvent::Show:
        // The style sheet's polish takes the attribute away again.
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
        break;
    default:
        break;
    }
    if (!edit)
        return false;
    // Anything that happens to the edit (hover, focus, size, style,
    // palette, activation...) may change how its frame looks.
    frame = QPixmap();
    if (event->type() == QEvent::Show)
        tick();
    else if (event->type() == QEvent::Hide)
        liveTimer->stop();
    return false;
}

void LoggerClock::keepFrame()
{
    QWidget *edit = ui->dateTimeEdit;
    const qreal ratio = edit->devicePixelRatioF();
    QPixmap picture(edit->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    renderingFrame = true;
    edit->render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    renderingFrame = false;
    frame = picture;
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
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    if (utcMs / 60000 != offsetMinute) {
        offsetMinute = utcMs / 60000;
        offsetMs = 1000 * qint64(QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc());
    }
    const QDateTime wall = QDateTime::fromMSecsSinceEpoch(utcMs + offsetMs, Qt::UTC);
    ui->dateTimeEdit->setDateTime(wall);
    // Qt's pixmap cache (the style's pictures) expires its contents on a
    // timer of its own, 30 s after the first picture and then every 10 s
    // until it is empty: it woke the program at rest, with nothing new to
    // paint, several times a minute. The clock, awake anyway, empties it at
    // most every 10 s; pictures in use are made again when next painted.
    if (!cacheSwept.isValid() || cacheSwept.hasExpired(10000)) {
        QPixmapCache::clear();
        cacheSwept.start();
    }
    if (ui->dateTimeEdit->isVisible())
        liveTimer->start(1000 - wall.time().msec());
}

QDateTime LoggerClock::shownTime() const
{
    return QDateTime(ui->dateTimeEdit->date(), ui->dateTimeEdit->time());
}

void LoggerClock::write(InstrumentCommands *commands)
{
    // The time on show, as the user sees it; a clock that has not been on
    // show (and so has not ticked) takes the time of this moment first.
    if (!liveTimer->isActive() && qAbs(shownTime().secsTo(QDateTime::currentDateTime())) > 1)
        tick();
    const int r = commands->writeClock(shownTime());
    if (r < 0) {
        CommandTexts::showFailure(page, r, CommandTexts::writeClock);
        UiSeam::information(page, tr("information"), tr("parameter date time error!"));
        return;
    }
    UiSeam::information(page, tr("information"), tr("parameter date time success!"));
}
