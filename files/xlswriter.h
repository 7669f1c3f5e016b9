#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Writes a workbook as an Excel 97-2003 file: a BIFF8 "Workbook" stream in an
// OLE2 compound file (see CompoundFile).
//
// The stream holds the workbook globals (BOF, window, fonts, a FORMAT record
// "0.00..." for each number of decimals the cells use, 17 XF records of which
// XF 15 is the plain cell format and XF 16 the centred one, then a plain and
// a centred XF for each of those number formats, one BOUNDSHEET per worksheet, the shared string
// table SST split into CONTINUE records, EXTSST, EOF), then one substream per worksheet (BOF, sheet
// settings, column widths, DIMENSIONS, ROW records and cells in blocks of 32
// rows, WINDOW2, EOF). Texts are LABELSST cells, integers RK cells, other
// numbers NUMBER cells, formatted empty cells BLANK cells.
class XlsWriter
{
public:
    // The whole file.
    static QByteArray toBytes(const XlsWorkbook &book);
    // The BIFF8 stream alone.
    static QByteArray workbookStream(const XlsWorkbook &book);

    // Writes the file through a temporary file in the same folder that is
    // renamed into place, so that an existing file stays as it was when
    // anything fails. error (optional) receives the reason.
    static bool save(const XlsWorkbook &book, const QString &path, QString *error = nullptr);
};
