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

// Workbook templates as users and other programs leave them, for the tests
// of saving from a template.
namespace TemplateFiles {

// A file of tests/data, made with LibreOffice 7.4 (soffice --headless
// --convert-to xls): "libreoffice-Data.xls" (the build's Data.xls opened
// and saved again), "libreoffice-csv.xls" (the CSV "VAL,0.5"),
// "libreoffice-shape.xls" (a rectangle drawn beside those two cells).
QByteArray libreOffice(const char *name);
// Two sheets that each hold values 999-1010 in the first 12 rows of the
// columns A to C, and a lab's header block in J1:K2 of the first sheet.
QByteArray withForeignCells();
// A valid workbook of one sheet whose file is larger than any template is
// allowed to be.
QByteArray huge();
// The workbook stream of file changed by patch, in a compound file again.
QByteArray patched(const QByteArray &file, const QByteArray &find, int offset,
                   const QByteArray &replace);

} // namespace TemplateFiles
