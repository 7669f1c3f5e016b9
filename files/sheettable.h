#pragma once

#include <QList>
#include <QStringList>

// A table as a worksheet receives it: the header texts for row 1 and one
// list of texts per row below. A row shorter than the headers leaves its
// last cells out (no cell at all, not an empty one), as a table row whose
// last columns hold no item.
struct SheetTable
{
    QStringList headers;
    QList<QStringList> rows;
};
