#include "files/workbooklayout.h"

#include <cmath>

namespace WorkbookLayout {

namespace {

// Every cell of a table row exists, with an empty text where there is no
// value: a null text would leave the cell out (see SheetTable).
QStringList cells(QStringList texts)
{
    for (QString &text : texts) {
        if (text.isNull())
            text = QLatin1String("");
    }
    return texts;
}

// The table's seven headers and the empty header of its action column.
QStringList withActionHeader(const QStringList &headers)
{
    return cells(QStringList(headers) << QString());
}

} // namespace

QStringList loggerHeaders()
{
    const QString unit = LoggerUnits::powerUnitText();
    return {QStringLiteral("NO"),
            QStringLiteral("StartTime"),
            QStringLiteral("Duration(S)"),
            QStringLiteral("Power(REC) (") + unit + QLatin1Char(')'),
            QStringLiteral("Power(MAX) (") + unit + QLatin1Char(')'),
            QStringLiteral("Power(MIN) (") + unit + QLatin1Char(')'),
            QStringLiteral("Power(AVG) (") + unit + QLatin1Char(')')};
}

SheetTable meterTable(const MeterData &data, const QStringList &headers)
{
    SheetTable table{withActionHeader(headers.isEmpty() ? MeterData::headers(data.unit) : headers),
                     {}};
    for (const QStringList &row : data.rows())
        table.rows << cells(row);
    return table;
}

SheetTable loggerTable(const LoggerData &data, const QStringList &headers)
{
    SheetTable table{withActionHeader(headers.isEmpty() ? loggerHeaders() : headers), {}};
    table.rows.reserve(data.runs.size());
    for (const LoggerRunData &run : data.runs)
        table.rows << cells(run.rowTexts());
    return table;
}

CellBlock::Cell sampleCell(float value)
{
    const double d = value;
    if (!qIsFinite(d))
        return {0, LoggerText::power(value)};
    // The text has one decimal, rounded half away from zero. A float's 24
    // bits times ten fit a double: scaled and what is cut off are exact.
    const double scaled = std::fabs(d) * 10;
    double tenths = std::floor(scaled);
    if (scaled - tenths >= 0.5)
        tenths += 1;
    if (tenths >= 1e15) // 16 digits or more: the text is not taken as a number
        return {0, LoggerText::power(value)};
    // Dividing rounds to the double nearest the text's value, as reading
    // the text does. A value below zero that rounds to zero is "-0.0",
    // minus zero itself "0.0".
    const double magnitude = tenths / 10;
    return {d < 0 ? -magnitude : magnitude, QString()};
}

CellBlock runBlock(const LoggerRunData &run)
{
    CellBlock block;
    block.columns = 2;
    block.numberDecimals = {-1, 1};
    block.cells.resize(2 * (run.samples.size() + 1));
    CellBlock::Cell *cell = block.cells.data();
    cell[0].text = QStringLiteral("NUM");
    cell[1].text = QStringLiteral("VAL");
    for (int i = 0; i < run.samples.size(); ++i) {
        cell[2 * i + 2].number = i + 1;
        cell[2 * i + 3] = sampleCell(run.samples.at(i));
    }
    return block;
}

SheetTable runTable(const LoggerRunData &run)
{
    SheetTable table{{QStringLiteral("NUM"), QStringLiteral("VAL")}, {}};
    table.rows.reserve(run.samples.size());
    for (int i = 0; i < run.samples.size(); ++i)
        table.rows << QStringList{QString::number(i + 1), LoggerText::power(run.samples.at(i))};
    return table;
}

void putTable(XlsSheet *sheet, const SheetTable &table)
{
    auto put = [sheet](int row, int column, const QString &text) {
        if (text.isNull())
            return; // a cell the table does not have
        sheet->setCentred(row, column, true);
        sheet->setEntered(row, column, text);
    };
    for (int c = 0; c < table.headers.size(); ++c)
        put(0, c, table.headers.at(c));
    for (int r = 0; r < table.rows.size(); ++r) {
        for (int c = 0; c < table.rows.at(r).size(); ++c)
            put(r + 1, c, table.rows.at(r).at(c));
    }
}

void putBlock(XlsSheet *sheet, const QList<QVariantList> &rows)
{
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c)
            sheet->setEntered(r, c, rows.at(r).at(c));
    }
}

namespace {

// putBlock(sheet, runBlock(run)) without the detour through texts for the
// sample numbers, which enter as the whole numbers they are.
void putRunBlock(XlsSheet *sheet, const LoggerRunData &run)
{
    sheet->setEntered(0, 0, QStringLiteral("NUM"));
    sheet->setEntered(0, 1, QStringLiteral("VAL"));
    for (int i = 0; i < run.samples.size(); ++i) {
        sheet->setValue(i + 1, 0, double(i + 1));
        sheet->setEntered(i + 1, 1, LoggerText::power(run.samples.at(i)));
    }
}

} // namespace

XlsWorkbook meterWorkbook(const MeterData &data)
{
    XlsWorkbook book = XlsWorkbook::withOneSheet();
    putTable(&book.sheets[0], meterTable(data));
    return book;
}

XlsWorkbook loggerWorkbook(const LoggerData &data)
{
    XlsWorkbook book;
    const int sheets = qMax(kLoggerTemplateSheets, 1 + int(data.runs.size()));
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    putTable(&book.sheets[0], loggerTable(data));
    for (int k = 0; k < data.runs.size(); ++k)
        putRunBlock(&book.sheets[k + 1], data.runs.at(k));
    return book;
}

} // namespace WorkbookLayout
