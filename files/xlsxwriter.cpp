#include "files/xlsxwriter.h"

#include "files/xlsworkbook.h"

#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cctype>
#include <vector>

namespace {

// One format a cell can have, made when first needed: General and not
// centred is no format at all (nullptr).
class Formats
{
public:
    explicit Formats(lxw_workbook *workbook) : m_workbook(workbook) {}

    lxw_format *of(const XlsCell &cell)
    {
        if (!cell.formatted())
            return nullptr;
        lxw_format *&format = m_formats[cell.decimals + 1][cell.centred ? 1 : 0];
        if (!format) {
            format = workbook_add_format(m_workbook);
            if (cell.centred)
                format_set_align(format, LXW_ALIGN_CENTER);
            if (cell.decimals >= 0) {
                const QByteArray text =
                    cell.decimals > 0 ? "0." + QByteArray(cell.decimals, '0') : QByteArray("0");
                format_set_num_format(format, text.constData());
            }
        }
        return format;
    }

private:
    lxw_workbook *m_workbook;
    lxw_format *m_formats[XlsSheet::maxDecimals + 2][2] = {};
};

bool isEscape(const QString &text, int at)
{
    if (at + 7 > text.size() || text.at(at) != QLatin1Char('_') ||
        text.at(at + 1) != QLatin1Char('x') || text.at(at + 6) != QLatin1Char('_'))
        return false;
    for (int i = at + 2; i < at + 6; ++i) {
        if (text.at(i).unicode() > 0x7F || !isxdigit(text.at(i).unicode()))
            return false;
    }
    return true;
}

// A text as the file keeps it, in UTF-8. Spreadsheet applications read
// "_xHHHH_" in a text as the character HHHH, and libxlsxwriter writes
// control characters in that form, but it takes C strings, which end at a
// NUL: a NUL is written as "_x0000_" here, and a "_x" that would read as
// such a character gets its underscore escaped ("_x005F_").
QByteArray cellText(const QString &text)
{
    if (!text.contains(QChar(0)) && !text.contains(QLatin1String("_x")))
        return text.toUtf8();
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isNull())
            escaped += QLatin1String("_x0000_");
        else if (isEscape(text, i))
            escaped += QLatin1String("_x005F_");
        else
            escaped += text.at(i);
    }
    return escaped.toUtf8();
}

} // namespace

QByteArray XlsxWriter::toBytes(const XlsWorkbook &input, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };
    // A workbook holds at least one worksheet.
    const XlsWorkbook oneSheet = XlsWorkbook::withOneSheet();
    const XlsWorkbook &book = input.sheets.isEmpty() ? oneSheet : input;
    const int active = qBound(0, book.activeSheet, book.sheets.size() - 1);
    const QStringList names = book.fileSheetNames();

    QTemporaryDir folder; // made for the user alone (mode 0700)
    if (!folder.isValid())
        return fail(QStringLiteral("no temporary folder: ") + folder.errorString());
    const QString path = folder.filePath(QStringLiteral("workbook.xlsx"));
    QByteArray temporaryFolder = QFile::encodeName(folder.path());
    lxw_workbook_options options = {};
    options.tmpdir = temporaryFolder.data();
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook)
        return fail(QStringLiteral("libxlsxwriter could not start a workbook"));

    Formats formats(workbook);
    lxw_error failed = LXW_NO_ERROR;
    auto check = [&failed](lxw_error result) {
        if (failed == LXW_NO_ERROR)
            failed = result;
    };
    for (int s = 0; s < book.sheets.size() && failed == LXW_NO_ERROR; ++s) {
        const XlsSheet &sheet = book.sheets.at(s);
        lxw_worksheet *worksheet =
            workbook_add_worksheet(workbook, names.at(s).toUtf8().constData());
        if (!worksheet) {
            failed = LXW_ERROR_SHEETNAME_ALREADY_USED;
            break;
        }
        if (s == active)
            worksheet_activate(worksheet);
        std::vector<int> widths(XlsSheet::maxColumns, 0);
        for (const XlsSheet::Entry &entry : sheet.cells()) {
            const XlsCell &cell = entry.cell;
            const lxw_row_t row = lxw_row_t(XlsSheet::rowOf(entry.key));
            const lxw_col_t column = lxw_col_t(XlsSheet::columnOf(entry.key));
            lxw_format *format = formats.of(cell);
            if (!cell.value.isValid())
                check(worksheet_write_blank(worksheet, row, column, format));
            else if (cell.value.type() == QVariant::String)
                check(worksheet_write_string(worksheet, row, column,
                                             cellText(cell.value.toString()).constData(), format));
            else
                check(
                    worksheet_write_number(worksheet, row, column, cell.value.toDouble(), format));
            int &width = widths[column];
            width = qMax(width, XlsSheet::displayWidth(cell));
        }
        // Columns wider than the default get a width that shows them, as
        // in the .xls.
        for (int c = 0; c < XlsSheet::maxColumns; ++c) {
            if (widths[size_t(c)] > 8)
                check(worksheet_set_column(worksheet, lxw_col_t(c), lxw_col_t(c),
                                           qMin(widths[size_t(c)] + 2, 100), nullptr));
        }
    }
    // Closing writes the file and frees the workbook, also after a failure.
    const lxw_error closed = workbook_close(workbook);
    if (failed != LXW_NO_ERROR || closed != LXW_NO_ERROR)
        return fail(QStringLiteral("writing the workbook failed: ") +
                    QString::fromUtf8(lxw_strerror(failed != LXW_NO_ERROR ? failed : closed)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("reading the written workbook failed: ") + file.errorString());
    return bytes;
}
