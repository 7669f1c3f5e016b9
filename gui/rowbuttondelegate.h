#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QPushButton;

// Draws a push button in every row of a table column and tells which row's
// button was clicked (mouse, or Space/Enter on the current cell). One
// delegate serves the whole column, so a table of hundreds of records fills
// without a button widget per row; the column's cells hold no items, and so
// nothing of the buttons goes into a saved table.
class RowButtonDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The buttons look like the program's push buttons: they are drawn as a
    // hidden button of the view would be, so its style sheet applies.
    explicit RowButtonDelegate(QAbstractItemView *view);

    void setText(const QString &text) { m_text = text; }
    // The buttons' own style sheet, on top of the view's and the application's.
    void setButtonStyleSheet(const QString &styleSheet);
    QString text() const { return m_text; }

    // Where the button of a cell is drawn within the cell's rectangle.
    static QRect buttonRect(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

signals:
    void clicked(int row);

private:
    QPointer<QPushButton> m_face;
    QString m_text;
    QPersistentModelIndex m_pressed;
};
