// Any bytes as a workbook file: a workbook taken holds at least one sheet,
// each within the grid.
#include "fuzz/replay.h"

#include "files/xlsreader.h"
#include "files/xlsworkbook.h"

namespace FuzzReplay {

bool xlsReader(const QByteArray &bytes)
{
    XlsWorkbook book;
    const XlsReader::Result result = XlsReader::read(bytes, &book);
    if (result != XlsReader::Result::Ok)
        return true;
    if (book.sheets.isEmpty())
        return false;
    for (const XlsSheet &sheet : qAsConst(book.sheets)) {
        if (sheet.endRow() > XlsSheet::maxRows || sheet.endColumn() > XlsSheet::maxColumns)
            return false;
    }
    return true;
}

} // namespace FuzzReplay
