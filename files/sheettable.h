#pragma once

#include <QList>
#include <QStringList>

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
