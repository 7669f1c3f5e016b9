#include "export/sheettablewidget.h"

#include <QTableWidget>

namespace {

QString textOf(const QTableWidgetItem *item)
{
    if (!item)
        return QString();
    // An item is a cell even when it holds no text: its text must not read
    // as the null text of a missing item.
    const QString text = item->text();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

SheetTable sheetTableOf(const QTableWidget &table)
{
    const int columns = table.columnCount();
    const int rows = table.rowCount();
    SheetTable sheet;
    sheet.headers.reserve(columns);
    for (int c = 0; c < columns; ++c)
        sheet.headers.append(textOf(table.horizontalHeaderItem(c)));
    sheet.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList texts;
        texts.reserve(columns);
        for (int c = 0; c < columns; ++c)
            texts.append(textOf(table.item(r, c)));
        sheet.rows.append(texts);
    }
    return sheet;
}
