#pragma once

#include <QByteArray>
#include <QString>

class XlsWorkbook;

// Saving a workbook in the format its file name asks for: an Office Open XML
// workbook (XlsxWriter) for a name ending in .xlsx, an Excel 97-2003 one
// (XlsWriter) for any other. Macro-enabled (.xlsm) and binary (.xlsb)
// workbooks cannot be written: a file of either format under such a name
// would be refused by the spreadsheet application.
namespace WorkbookFile {

enum class Format
{
    Xls,
    Xlsx,
    Unwritable
};

// By the name's suffix, in any case.
Format formatOf(const QString &path);

// Writes the workbook through SafeFile: an existing file stays as it was
// when anything fails. error (optional) receives the reason.
bool save(const XlsWorkbook &book, const QString &path, QString *error = nullptr);

// The checks every workbook save makes of its target (a name, an existing
// folder, not a folder or device), then the bytes through SafeFile.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace WorkbookFile
