#include "app/appinit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QMutex>
#include <QWidget>

#include <atomic>

namespace {
// Drag state, shared by every draggable window.
bool mousePressed = false;
QPoint mousePoint;
} // namespace

AppInit *AppInit::instance()
{
    static std::atomic<AppInit *> self{nullptr};
    static QMutex mutex;
    if (!self.load()) {
        QMutexLocker locker(&mutex);
        if (!self.load())
            self.store(new AppInit);
    }
    return self.load();
}

void AppInit::start() { qApp->installEventFilter(this); }

bool AppInit::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of the program passes here: only the mouse's three are
    // looked at further (a property look-up costs more than the rest).
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseMove)
        return QObject::eventFilter(watched, event);
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !widget->property("canMove").toBool())
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        mousePressed = true;
        mousePoint = mouse->globalPos() - widget->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        mousePressed = false;
        return true;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mousePressed && mouse->buttons() != Qt::NoButton) {
            widget->move(mouse->globalPos() - mousePoint);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
