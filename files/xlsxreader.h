#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Reads an Office Open XML workbook (.xlsx) into the in-memory model: the
// sheets in tab order, every cell's value (shared and inline texts, numbers,
// booleans as 0 and 1), and the decimals of fixed number formats ("0",
// "0.00", ...), as XlsReader does for .xls. The archive is read from memory
// with libzip and its parts with Qt's XML stream reader. Formulas are taken
// by their cached value.
//
// Any bytes at all may come in: an entry larger than maxPartSize, more parts
// than the workbook needs, cells outside the grid, a cell reference that is
// no reference: each ends in a message, never a crash; memory grows with the
// cells the file holds. The work is bounded by the whole file, not only by
// each part: all the parts read from one workbook inflate to no more than
// maxTotalSize together, and each part is read once, so two sheets that
// name one part (which no spreadsheet program writes) are refused before
// any sheet is read.
class XlsxReader
{
public:
    static constexpr qint64 maxPartSize = 64 * 1024 * 1024;
    static constexpr qint64 maxTotalSize = 64 * 1024 * 1024;

    // False, with the reason, when the bytes are no workbook it can read.
    // *inflated (when given): the bytes the read inflated, parts refused
    // included.
    static bool read(const QByteArray &bytes, XlsWorkbook *book, QString *error,
                     qint64 *inflated = nullptr);
};
