#include "gui/userinputblocker.h"

#include <QApplication>
#include <QEvent>

UserInputBlocker::UserInputBlocker()
{
    qApp->installEventFilter(this);
}

UserInputBlocker::~UserInputBlocker()
{
    qApp->removeEventFilter(this);
}

bool UserInputBlocker::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return QApplication::activeModalWidget() == nullptr;
    case QEvent::Close:
        return event->spontaneous() && QApplication::activeModalWidget() == nullptr;
    default:
        return false;
    }
}

void UserInputBlocker::letPaint()
{
    QCoreApplication::processEvents();
}
