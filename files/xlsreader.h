#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Reads an existing Excel workbook (BIFF8, also older BIFF5) into the
// in-memory model: sheet names, the value of every cell (texts, numbers,
// booleans as 0 and 1; numbers in date formats as "YYYY-MM-DD[ HH:MM:SS]"
// texts), which cells are centred and which show a fixed number of decimals
// (number formats "0", "0.0", "0.00", ...).
//
// The file is walked by the program's own compound-file and BIFF reader,
// which takes any bytes at all: every length and index is checked against
// what is there, memory grows with the cells the file holds (never with the
// extent of a sheet), and the total stays within a small multiple of the
// file's size. Files larger than maxFileSize are refused.
//
// The model holds values, centring and those decimals only, and whatever opens a workbook
// writes it back from the model. A workbook with content that would be lost
// that way (formulas, merged cells, comments, drawings, hyperlinks, chart or
// macro sheets) is therefore refused as Unsupported rather than destroyed on
// the next save; fonts, other number formats and column widths are not
// kept. Drawing records that hold no shape, which spreadsheet programs write
// on every sheet, lose nothing and are taken. A sheet's DIMENSIONS record is
// taken as a hint: cells outside it are read.
class XlsReader
{
public:
    enum class Result
    {
        Ok,
        NotFound,    // no such file, or not a plain file
        NotReadable, // cannot be opened for reading, or too large
        NotWorkbook, // not a compound file with a workbook stream, or damaged
        Protected,   // encrypted or password protected
        Unsupported, // holds content that writing back would lose
    };

    static constexpr qint64 maxFileSize = 256 * 1024 * 1024;

    static Result load(const QString &path, XlsWorkbook *book, QString *error = nullptr);
    // The same for a file's bytes. book is only changed on Ok.
    static Result read(const QByteArray &file, XlsWorkbook *book, QString *error = nullptr);
};
