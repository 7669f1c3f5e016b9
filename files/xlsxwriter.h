#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Writes a workbook as an Office Open XML spreadsheet (.xlsx) with
// libxlsxwriter: the sheets, names, cells, centring, number formats, column
// widths and active sheet that XlsWriter puts into an .xls.
//
// libxlsxwriter writes only to a named file. It writes into a private
// temporary folder (readable by the user alone) that is removed afterwards;
// the caller passes the bytes on through SafeFile (WorkbookFile::save), so
// that a failure leaves an existing target as it was.
class XlsxWriter
{
public:
    // The whole file; empty, with error (optional) set, on failure.
    static QByteArray toBytes(const XlsWorkbook &book, QString *error = nullptr);
};
