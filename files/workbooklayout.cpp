#include "files/workbooklayout.h"

#include <QCoreApplication>
#include <QFileInfo>

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

Precision precisionFor(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0
               ? Precision::Single
               : Precision::OneDecimal;
}

namespace {

const char *const kKeys[] = {"Model",   "Serial number", "Firmware", "Calibration date",
                             "Samples", "Program"};
const QString kSingle = QStringLiteral("single precision");
const QString kOneDecimal = QStringLiteral("one decimal");

// A cell's text as it shows: a number with the decimals of its format.
QString shownText(const XlsCell *cell)
{
    if (!cell)
        return QString();
    if (cell->value.userType() == QMetaType::Double)
        return cell->decimals >= 0 ? QString::number(cell->value.toDouble(), 'f', cell->decimals)
                                   : QString::number(cell->value.toDouble(), 'g', 15);
    return cell->value.toString();
}

QString tr(const char *text)
{
    return QCoreApplication::translate("WorkbookLayout", text);
}

} // namespace

QStringList instrumentFieldNames()
{
    QStringList names;
    for (int k = 0; k < 4; ++k)
        names << QLatin1String(kKeys[k]);
    return names;
}

QString instrumentSheetName()
{
    return QStringLiteral("Instrument");
}

QList<QVariantList> instrumentRows(const InstrumentIdentity &instrument, Precision precision,
                                   const QList<LoggerRunData> &runs)
{
    QList<QVariantList> rows;
    rows << QVariantList{instrumentSheetName(), QVariant()};
    const QVariant values[] = {instrument.model,
                               instrument.serialNumber ? QVariant(double(instrument.serialNumber))
                                                       : QVariant(),
                               instrument.firmware,
                               instrument.calibrationDate.isValid()
                                   ? QVariant(instrument.calibrationDate.toString(Qt::ISODate))
                                   : QVariant(),
                               precision == Precision::Single ? kSingle : kOneDecimal,
                               QStringLiteral("Vantrel " VANTREL_VERSION)};
    for (int k = 0; k < 6; ++k)
        rows << QVariantList{QLatin1String(kKeys[k]), values[k]};
    if (runs.isEmpty())
        return rows;
    // Every row as wide as the widest, as a block is written.
    for (QVariantList &row : rows)
        row << QVariant();
    rows << QVariantList{QVariant(), QVariant(), QVariant()};
    rows << QVariantList{QStringLiteral("Run"), QStringLiteral("Interval (S)"),
                         QStringLiteral("Samples")};
    for (const LoggerRunData &run : runs)
        rows << QVariantList{double(run.number), double(run.intervalSeconds),
                             double(run.samples.size())};
    return rows;
}

int instrumentSheetIndex(const XlsWorkbook &book)
{
    if (book.sheets.size() < 2)
        return -1;
    const XlsSheet &last = book.sheets.last();
    return last.name == instrumentSheetName() &&
                   last.value(0, 0).toString() == instrumentSheetName()
               ? book.sheets.size() - 1
               : -1;
}

bool readInstrumentSheet(const XlsSheet &sheet, InstrumentSheet *out, QString *error)
{
    InstrumentSheet read;
    read.precision = Precision::OneDecimal;
    int row = 1;
    for (; row < sheet.endRow(); ++row) {
        const QString key = sheet.value(row, 0).toString();
        if (key.isEmpty())
            break;
        const QString value = shownText(sheet.cell(row, 1)).trimmed();
        if (key == QLatin1String(kKeys[0])) {
            read.instrument.model = value;
        } else if (key == QLatin1String(kKeys[1])) {
            bool ok = value.isEmpty();
            const qulonglong serial = value.toULongLong(&ok);
            if (!value.isEmpty() && (!ok || serial > 0xFFFFFFFFu)) {
                *error = tr("Sheet \"%1\", row %2: the serial number \"%3\" is no whole number.")
                             .arg(sheet.name)
                             .arg(row + 1)
                             .arg(value);
                return false;
            }
            read.instrument.serialNumber = quint32(serial);
        } else if (key == QLatin1String(kKeys[2])) {
            read.instrument.firmware = value;
        } else if (key == QLatin1String(kKeys[3])) {
            read.instrument.calibrationDate = QDate::fromString(value, Qt::ISODate);
        } else if (key == QLatin1String(kKeys[4])) {
            if (value != kSingle && value != kOneDecimal) {
                *error = tr("Sheet \"%1\", row %2: \"%3\" is no precision of samples.")
                             .arg(sheet.name)
                             .arg(row + 1)
                             .arg(value);
                return false;
            }
            read.precision = value == kSingle ? Precision::Single : Precision::OneDecimal;
        }
    }
    // The run table, after the empty row and its header.
    for (row += 2; row < sheet.endRow(); ++row) {
        int numbers[3];
        for (int c = 0; c < 3; ++c) {
            const QVariant v = sheet.value(row, c);
            const double d = v.toDouble();
            if (v.userType() != QMetaType::Double || d != std::floor(d) || d < 0 || d > 1e9) {
                *error = tr("Sheet \"%1\", row %2: a run's number, interval and samples must be "
                            "whole numbers.")
                             .arg(sheet.name)
                             .arg(row + 1);
                return false;
            }
            numbers[c] = int(d);
        }
        read.runs << InstrumentSheet::Run{numbers[0], numbers[1], numbers[2]};
    }
    *out = read;
    return true;
}

CellBlock runBlock(const LoggerRunData &run, Precision precision)
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
        const float v = run.samples.at(i);
        // In full: the instrument's value, shown with one decimal by the
        // column's format.
        cell[2 * i + 3] = precision == Precision::Single && qIsFinite(v)
                              ? CellBlock::Cell{double(v), QString()}
                              : sampleCell(v);
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
void putRunBlock(XlsSheet *sheet, const LoggerRunData &run, Precision precision)
{
    sheet->setEntered(0, 0, QStringLiteral("NUM"));
    sheet->setEntered(0, 1, QStringLiteral("VAL"));
    for (int i = 0; i < run.samples.size(); ++i) {
        sheet->setValue(i + 1, 0, double(i + 1));
        const float v = run.samples.at(i);
        if (precision == Precision::Single && qIsFinite(v))
            sheet->setNumber(i + 1, 1, double(v), 1);
        else
            sheet->setEntered(i + 1, 1, LoggerText::power(v));
    }
}

void putInstrumentSheet(XlsWorkbook *book, const InstrumentIdentity &instrument,
                        Precision precision, const QList<LoggerRunData> &runs)
{
    book->sheets.append(XlsSheet(instrumentSheetName()));
    putBlock(&book->sheets.last(), instrumentRows(instrument, precision, runs));
}

} // namespace

XlsWorkbook meterWorkbook(const MeterData &data)
{
    XlsWorkbook book = XlsWorkbook::withOneSheet();
    putTable(&book.sheets[0], meterTable(data));
    putInstrumentSheet(&book, data.instrument, Precision::OneDecimal, {});
    return book;
}

XlsWorkbook loggerWorkbook(const LoggerData &data, Precision precision)
{
    XlsWorkbook book;
    const int sheets = qMax(kLoggerTemplateSheets, 1 + int(data.runs.size()));
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    putTable(&book.sheets[0], loggerTable(data));
    for (int k = 0; k < data.runs.size(); ++k)
        putRunBlock(&book.sheets[k + 1], data.runs.at(k), precision);
    putInstrumentSheet(&book, data.instrument, precision, data.runs);
    return book;
}

} // namespace WorkbookLayout
