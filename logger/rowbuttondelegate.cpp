#include "logger/rowbuttondelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

QRect RowButtonDelegate::buttonRect(const QRect &cell)
{
    return cell.adjusted(2, 2, -2, -2);
}

void RowButtonDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionButton button;
    button.rect = buttonRect(option.rect);
    button.text = m_text;
    button.fontMetrics = option.fontMetrics;
    button.palette = option.palette;
    button.state = option.state & (QStyle::State_Enabled | QStyle::State_HasFocus);
    button.state |= m_pressed == index ? QStyle::State_Sunken : QStyle::State_Raised;
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, option.widget);
}

QSize RowButtonDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    Q_UNUSED(index)
    QStyleOptionButton button;
    button.text = m_text;
    button.fontMetrics = option.fontMetrics;
    const QSize text = option.fontMetrics.size(Qt::TextShowMnemonic, button.text);
    QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    return style->sizeFromContents(QStyle::CT_PushButton, &button, text, option.widget) +
           QSize(4, 4);
}

bool RowButtonDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !buttonRect(option.rect).contains(mouse->pos()))
            return false;
        m_pressed = index;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool wasPressed = m_pressed.isValid() && m_pressed == index;
        m_pressed = QPersistentModelIndex();
        if (mouse->button() != Qt::LeftButton || !wasPressed ||
            !buttonRect(option.rect).contains(mouse->pos()))
            return false;
        emit clicked(index.row());
        return true;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        emit clicked(index.row());
        return true;
    }
    default:
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
}
