#pragma once

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QVariant>
#include <QVector>

// A table as a worksheet receives it: the header texts for row 1 and one
// list of texts per row below. A null text (QString()) stands for a cell the
// table does not have, as a table column without a header item or a cell
// without an item: nothing is written there, not even an empty cell. An
// empty text that is not null ("") writes an empty cell. A row shorter than
// the headers leaves its last cells out in the same way; texts past the
// last header are not written.
struct SheetTable
{
    QStringList headers;
    QList<QStringList> rows;
};

// A block of cells written from A1 in one go, held in one array: rows x
// columns cells in row order, each a number, or a text entered as the
// spreadsheet application takes it. The numbers of column c show
// numberDecimals[c] decimals (-1 or none: the General format). Tens of
// thousands of samples go into a workbook this way without a list and a
// variant on the heap for each.
struct CellBlock
{
    struct Cell
    {
        double number = 0;
        QString text; // null: the cell is the number
    };
    int columns = 0;
    QVector<Cell> cells;
    QVector<int> numberDecimals;

    int rows() const { return columns > 0 ? cells.size() / columns : 0; }
    const Cell &at(int row, int column) const { return cells.at(row * columns + column); }
};
Q_DECLARE_METATYPE(CellBlock)
