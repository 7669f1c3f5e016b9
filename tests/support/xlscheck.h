#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVector>

// A workbook as FreeXL reads it, for checking written files independently
// of the program's own reader: values only (FreeXL reads no formatting).
struct FreeXlSheet
{
    QString name;
    unsigned int rows = 0; // DIMENSIONS: last row + 1
    unsigned short columns = 0;
    QMap<QPair<int, int>, QVariant> cells; // (row, column) 0-based -> double or QString
};

struct FreeXlBook
{
    bool ok = false;
    int openResult = 0;
    bool nullHandle = false;
    QString error;
    QVector<FreeXlSheet> sheets;

    QVariant cell(int sheet, int row, int column) const
    {
        return sheets.value(sheet).cells.value(qMakePair(row, column));
    }
};

// Opens the file with freexl_open, checks return code AND handle, and reads
// every worksheet and every cell.
FreeXlBook readWithFreeXl(const QString &path);
