#pragma once

// Where measurements go in a workbook: one layout for the window's "Save
// Data" and "EXCEL" (through the spreadsheet engines) and for vantrel-cli
// (straight into an XlsWorkbook).
//
//   Meter:   sheet 1 the record table: the table's headers in row 1 and an
//            empty eighth header (the table's action column), the records'
//            texts below, every cell centred.
//   Logger:  sheet 1 the run table, laid out as the Meter's; sheet k + 1 the
//            samples of the k-th run given, a block "NUM", "VAL" and one row
//            per sample (its number and its value with one decimal), not
//            centred. A new workbook has the template's 26 sheets (the table
//            and 25 runs), more when more runs are given.
//   A run:   ("EXCEL") one sheet of the NUM/VAL rows as a table.
//
// After the measurement's sheets, both workbooks get one more, "Instrument",
// that names the instrument and says how the samples are kept:
//     Instrument
//     Model             QX101
//     Serial number     12345
//     Firmware          2.1
//     Calibration date  2024-01-15
//     Samples           single precision | one decimal
//     Program           Vantrel 2.41
//     (empty row)
//     Run   Interval (S)   Samples        (Logger: one row per run sheet)
//     1     10             120
// An .xlsx keeps each sample in full single precision (its cell shows one
// decimal through the number format); an .xls keeps the one-decimal value
// the table shows, as "Save Data" always wrote it.

#include "files/sheettable.h"
#include "files/xlsworkbook.h"
#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"

#include <QList>
#include <QVariant>

namespace WorkbookLayout {

// Sheets of the Logger workbook template "Data.xls".
constexpr int kLoggerTemplateSheets = 26;

// How a workbook keeps the samples.
enum class Precision
{
    OneDecimal, // the value the table shows (.xls)
    Single      // the instrument's single-precision value (.xlsx)
};
// The precision a workbook file of this name keeps: Single for .xlsx.
Precision precisionFor(const QString &fileName);

// The names of the fields that name the instrument: "Model", "Serial
// number", "Firmware", "Calibration date". The instrument sheet's keys, and
// the CSV's last columns.
QStringList instrumentFieldNames();

// The instrument sheet's name and first cell.
QString instrumentSheetName();
// Its rows, entered from A1 (see above); runs: the Logger's, none for a
// Meter.
QList<QVariantList> instrumentRows(const InstrumentIdentity &instrument, Precision precision,
                                   const QList<LoggerRunData> &runs = {});

// What an instrument sheet says, read back.
struct InstrumentSheet
{
    InstrumentIdentity instrument;
    Precision precision = Precision::OneDecimal;
    struct Run
    {
        int number = 0;
        int intervalSeconds = 0;
        int samples = 0;
    };
    QList<Run> runs;
};
// The instrument sheet of a workbook: its index, -1 when there is none
// (workbooks of earlier versions). The sheet is the last one, and its name
// and first cell are "Instrument".
int instrumentSheetIndex(const XlsWorkbook &book);
// Reads it; false with a message for a sheet that is damaged.
bool readInstrumentSheet(const XlsSheet &sheet, InstrumentSheet *out, QString *error);

// The Logger table's seven column headers in English, with the unit.
QStringList loggerHeaders();

// The record table. headers: the table's seven column headers (the window
// passes its own, in the current language; empty: the English ones).
SheetTable meterTable(const MeterData &data, const QStringList &headers = {});
SheetTable loggerTable(const LoggerData &data, const QStringList &headers = {});
// The samples of one run as the block its sheet gets: the header texts
// "NUM", "VAL", then each sample's number and sampleCell(), the VAL
// column's numbers showing one decimal: the cells its texts gave.
CellBlock runBlock(const LoggerRunData &run, Precision precision = Precision::OneDecimal);
// A sample as the cell its text (one decimal) becomes when entered: the very
// number reading the text gives, without making and reading the text; the
// text itself where it stays one (not a number, or more than 15 digits).
CellBlock::Cell sampleCell(float value);
// The samples of one run as a table ("EXCEL").
SheetTable runTable(const LoggerRunData &run);

// Writes a table into a sheet from row 1: every cell written centred.
void putTable(XlsSheet *sheet, const SheetTable &table);
// Writes a block of rows into a sheet from A1, as entered values.
void putBlock(XlsSheet *sheet, const QList<QVariantList> &rows);

// The whole workbooks, new (no template), with the English headers and the
// instrument sheet.
XlsWorkbook meterWorkbook(const MeterData &data);
XlsWorkbook loggerWorkbook(const LoggerData &data, Precision precision = Precision::OneDecimal);

} // namespace WorkbookLayout
