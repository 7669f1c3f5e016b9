#include "export/xlsreader.h"

#include "export/compoundfile.h"
#include "export/xlsworkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QVector>
#include <QtEndian>

#include <freexl.h>

#include <vector>

namespace {

// Closes the FreeXL handle on every way out.
class FreeXlHandle
{
public:
    ~FreeXlHandle()
    {
        if (handle)
            freexl_close(handle);
    }
    const void *handle = nullptr;
};

quint16 get16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 get32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

} // namespace

bool XlsReader::scan(const QByteArray &stream, QVector<QVector<quint32>> *centred,
                     QString *unsupported)
{
    centred->clear();
    QString found;
    auto note = [&found](const char *what) {
        if (found.isEmpty())
            found = QString::fromLatin1(what);
    };
    std::vector<quint8> alignment; // horizontal alignment of each XF
    std::vector<quint32> sheetOffsets;
    std::vector<int> substreams; // stack: sheet index of each open BOF, -1 for others
    int pos = 0;
    while (pos + 4 <= stream.size()) {
        const quint16 id = get16(stream, pos);
        const int length = get16(stream, pos + 2);
        const int data = pos + 4;
        if (data + length > stream.size())
            return false;
        const int sheet = substreams.empty() ? -1 : substreams.back();

        auto cellXf = [&](int row, int column, quint16 xf) {
            if (sheet < 0 || xf >= alignment.size() || alignment[xf] != 2 ||
                !XlsSheet::inGrid(row, column))
                return;
            (*centred)[sheet].append(XlsSheet::keyOf(row, column));
        };

        switch (id) {
        case 0x0809: // BOF
        case 0x0409:
        case 0x0209:
        case 0x0009: {
            int index = -1;
            for (size_t i = 0; i < sheetOffsets.size(); ++i) {
                if (sheetOffsets[i] == quint32(pos))
                    index = int(i);
            }
            substreams.push_back(index);
            break;
        }
        case 0x000A: // EOF
            if (!substreams.empty())
                substreams.pop_back();
            break;
        case 0x00E0: // XF
            if (length >= 7)
                alignment.push_back(quint8(stream.at(data + 6)) & 0x07);
            break;
        case 0x0085: // BOUNDSHEET: offset, visibility, type (0 worksheet)
            if (length >= 6) {
                sheetOffsets.push_back(get32(stream, data));
                centred->append(QVector<quint32>());
                if (quint8(stream.at(data + 5)) != 0)
                    note("a chart, macro or module sheet");
            }
            break;
        case 0x0006: // FORMULA
        case 0x04BC: // SHRFMLA
        case 0x0221: // ARRAY
            note("formulas");
            break;
        case 0x00E5: // MERGECELLS
            note("merged cells");
            break;
        case 0x001C: // NOTE
            note("comments");
            break;
        case 0x005D: // OBJ
        case 0x00EC: // MSODRAWING
            note("drawings or objects");
            break;
        case 0x01B8: // HLINK
            note("hyperlinks");
            break;
        case 0x00FD: // LABELSST
        case 0x0203: // NUMBER
        case 0x027E: // RK
        case 0x0204: // LABEL
        case 0x0201: // BLANK
        case 0x0205: // BOOLERR
            if (length >= 6)
                cellXf(get16(stream, data), get16(stream, data + 2), get16(stream, data + 4));
            break;
        case 0x00BD: // MULRK: row, first column, (xf, rk) ..., last column
            if (length >= 6) {
                const int row = get16(stream, data);
                const int first = get16(stream, data + 2);
                const int count = (length - 6) / 6;
                for (int i = 0; i < count; ++i)
                    cellXf(row, first + i, get16(stream, data + 4 + 6 * i));
            }
            break;
        case 0x00BE: // MULBLANK: row, first column, xf ..., last column
            if (length >= 6) {
                const int row = get16(stream, data);
                const int first = get16(stream, data + 2);
                const int count = (length - 6) / 2;
                for (int i = 0; i < count; ++i)
                    cellXf(row, first + i, get16(stream, data + 4 + 2 * i));
            }
            break;
        default:
            break;
        }
        pos = data + length;
    }
    if (unsupported)
        *unsupported = found;
    return true;
}

XlsReader::Result XlsReader::load(const QString &path, XlsWorkbook *book, QString *error)
{
    auto fail = [error](Result result, const QString &reason) {
        if (error)
            *error = reason;
        return result;
    };
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return fail(Result::NotFound, QStringLiteral("no such file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Result::NotReadable, file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    // FreeXL would also take raw BIFF2-4 files; only compound files are
    // taken for workbooks here, so that no other kind of file is ever
    // overwritten as one.
    if (!bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")))
        return fail(Result::NotWorkbook, QStringLiteral("not an Excel 97-2003 workbook"));

    FreeXlHandle xls;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &xls.handle);
    // Some failures come back as FREEXL_OK with no handle, and one (file
    // vanished) with an error and a live handle: both are checked.
    if (rc != FREEXL_OK || !xls.handle)
        return fail(Result::NotWorkbook,
                    QStringLiteral("FreeXL cannot read the file (%1)").arg(rc));

    unsigned int value = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &value) != FREEXL_OK ||
        value != FREEXL_BIFF_PLAIN)
        return fail(Result::Protected, QStringLiteral("the workbook is protected"));
    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK ||
        sheetCount == 0)
        return fail(Result::NotWorkbook, QStringLiteral("the workbook has no worksheet"));

    XlsWorkbook result;
    for (unsigned int s = 0; s < sheetCount && s < 0xFFFF; ++s) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(xls.handle, quint16(s), &name) != FREEXL_OK)
            return fail(Result::NotWorkbook, QStringLiteral("sheet %1 has no name").arg(s + 1));
        XlsSheet sheet(name ? QString::fromUtf8(name) : QString());
        if (freexl_select_active_worksheet(xls.handle, quint16(s)) != FREEXL_OK)
            return fail(Result::NotWorkbook, QStringLiteral("sheet %1 unreadable").arg(s + 1));
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK)
            return fail(Result::NotWorkbook, QStringLiteral("sheet %1 unreadable").arg(s + 1));
        // The dimensions are counts (last row + 1).
        rows = qMin<unsigned int>(rows, XlsSheet::maxRows);
        columns = qMin<unsigned short>(columns, XlsSheet::maxColumns);
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue cell;
                if (freexl_get_cell_value(xls.handle, r, c, &cell) != FREEXL_OK)
                    continue;
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    sheet.setValue(int(r), c, double(cell.value.int_value));
                    break;
                case FREEXL_CELL_DOUBLE:
                    sheet.setValue(int(r), c, cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    if (cell.value.text_value)
                        sheet.setValue(int(r), c, QString::fromUtf8(cell.value.text_value));
                    break;
                default:
                    break;
                }
            }
        }
        result.sheets.append(sheet);
    }

    QByteArray stream;
    QVector<QVector<quint32>> centred;
    QString unsupported;
    if (!CompoundFile::readWorkbookStream(bytes, &stream) || !scan(stream, &centred, &unsupported))
        return fail(Result::NotWorkbook, QStringLiteral("the workbook stream cannot be read"));
    if (!unsupported.isEmpty())
        return fail(Result::Unsupported,
                    QStringLiteral("the workbook holds %1, which would be lost").arg(unsupported));
    for (int s = 0; s < result.sheets.size() && s < centred.size(); ++s) {
        for (quint32 key : qAsConst(centred[s]))
            result.sheets[s].setCentred(XlsSheet::rowOf(key), XlsSheet::columnOf(key), true);
    }
    *book = result;
    return Result::Ok;
}
