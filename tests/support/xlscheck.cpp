#include "xlscheck.h"

#include "export/excelengine.h"
#include "files/compoundfile.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include <QFile>

#include <freexl.h>

FreeXlBook readWithFreeXl(const QString &path)
{
    FreeXlBook book;
    const void *handle = nullptr;
    book.openResult = freexl_open(QFile::encodeName(path).constData(), &handle);
    book.nullHandle = handle == nullptr;
    if (book.openResult != FREEXL_OK || !handle) {
        if (handle)
            freexl_close(handle);
        book.error = QStringLiteral("freexl_open: %1, handle %2")
                         .arg(book.openResult)
                         .arg(handle ? "set" : "null");
        return book;
    }
    unsigned int count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned int s = 0; s < count; ++s) {
        FreeXlSheet sheet;
        const char *name = nullptr;
        if (freexl_get_worksheet_name(handle, quint16(s), &name) == FREEXL_OK && name)
            sheet.name = QString::fromUtf8(name);
        if (freexl_select_active_worksheet(handle, quint16(s)) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle, &sheet.rows, &sheet.columns) != FREEXL_OK) {
            book.error = QStringLiteral("sheet %1 unreadable").arg(s);
            freexl_close(handle);
            return book;
        }
        for (unsigned int r = 0; r < sheet.rows; ++r) {
            for (unsigned short c = 0; c < sheet.columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                    continue;
                QVariant v;
                switch (value.type) {
                case FREEXL_CELL_INT:
                    v = double(value.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    v = value.value.double_value;
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    v = QString::fromUtf8(value.value.text_value);
                    break;
                default:
                    continue;
                }
                sheet.cells.insert(qMakePair(int(r), int(c)), v);
            }
        }
        book.sheets.append(sheet);
    }
    freexl_close(handle);
    book.ok = true;
    return book;
}

namespace TemplateFiles {

QByteArray libreOffice(const char *name)
{
    QFile file(QStringLiteral(VANTREL_SOURCE_DIR "/tests/data/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withForeignCells()
{
    XlsWorkbook book;
    for (int s = 1; s <= 2; ++s) {
        XlsSheet sheet(QStringLiteral("Sheet%1").arg(s));
        for (int r = 0; r < 12; ++r) {
            for (int c = 0; c < 3; ++c)
                sheet.setValue(r, c, 999.0 + r);
        }
        book.sheets.append(sheet);
    }
    book.sheets[0].setValue(0, 9, QStringLiteral("Lab"));
    book.sheets[0].setValue(0, 10, QStringLiteral("UV-7"));
    book.sheets[0].setValue(1, 9, QStringLiteral("Operator"));
    book.sheets[0].setCentred(1, 10, true);
    return XlsWriter::toBytes(book);
}

QByteArray huge()
{
    // Records of type 0 and no data after the workbook's end: read, and
    // harmless.
    return CompoundFile::wrap(XlsWriter::workbookStream(XlsWorkbook::withOneSheet()) +
                              QByteArray(int(ExcelEngine::maxTemplateSize), '\0'));
}

QByteArray patched(const QByteArray &file, const QByteArray &find, int offset,
                   const QByteArray &replace)
{
    QByteArray stream;
    if (!CompoundFile::readWorkbookStream(file, &stream))
        return QByteArray();
    const int at = stream.indexOf(find);
    if (at < 0)
        return QByteArray();
    stream.replace(at + offset, replace.size(), replace);
    return CompoundFile::wrap(stream);
}

} // namespace TemplateFiles
