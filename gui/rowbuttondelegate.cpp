#include "gui/rowbuttondelegate.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

RowButtonDelegate::RowButtonDelegate(QAbstractItemView *view)
    : QStyledItemDelegate(view), m_face(new QPushButton(view))
{
    m_face->hide();
}

void RowButtonDelegate::setButtonStyleSheet(const QString &styleSheet)
{
    m_face->setStyleSheet(styleSheet);
}

QRect RowButtonDelegate::buttonRect(const QRect &cell)
{
    return cell.adjusted(2, 2, -2, -2);
}

void RowButtonDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    m_face->ensurePolished();
    QStyleOptionButton button;
    button.initFrom(m_face);
    button.rect = buttonRect(option.rect);
    button.text = m_text;
    button.state = QStyle::State_Raised | (option.state & QStyle::State_HasFocus);
    if (option.state & QStyle::State_Enabled)
        button.state |= QStyle::State_Enabled;
    if (m_pressed == index)
        button.state = (button.state & ~QStyle::State_Raised) | QStyle::State_Sunken;
    painter->save();
    painter->setFont(m_face->font());
    m_face->style()->drawControl(QStyle::CE_PushButton, &button, painter, m_face);
    painter->restore();
}

QSize RowButtonDelegate::sizeHint(const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    Q_UNUSED(option)
    Q_UNUSED(index)
    m_face->ensurePolished();
    QStyleOptionButton button;
    button.initFrom(m_face);
    button.text = m_text;
    const QSize text = button.fontMetrics.size(Qt::TextShowMnemonic, button.text);
    return m_face->style()->sizeFromContents(QStyle::CT_PushButton, &button, text, m_face) +
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
