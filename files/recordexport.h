#pragma once

// Downloaded Meter records and Logger runs as files: CSV, JSON and the .xls
// workbook layout of the pages' "Save Data". Pure functions over decoded
// data; writing the bytes out is the caller's (through SafeFile).
//
// CSV follows RFC 4180: UTF-8, CRLF after every row, a field in double quotes
// when it holds a comma, a double quote, CR or LF (a double quote doubled
// inside), '.' as the decimal point in any locale. The rows carry no byte
// order mark; the window's files get one (Csv::withByteOrderMark), since
// spreadsheet programs read a CSV without it in a legacy code page and show
// μW/cm² garbled; vantrel-cli adds it on request (--bom).
//
// Meter CSV: the header row and one row per record, with the columns, unit
// headers and decimals of the Meter table:
//     NO,Energy mJ/cm²,Duration(S),Power(RT) mW/cm²,Power(MAX) mW/cm²,...
// Logger CSV: one table whose first column tells the kind of row. A "run"
// row carries the Logger table's columns (NO to Power(AVG)); each is followed
// by one "sample" row per sample, with the run number in NO, the sample
// number from 1, its time (start + (sample - 1) x interval), the seconds
// since the start and the value in full single precision, in fixed notation
// with at least the one decimal the table shows (850.0, 850.25). Times in
// both kinds of row are ISO 8601, local time as the instrument keeps it:
//     record,NO,StartTime,Duration(S),Power(REC) (μW/cm²),...,Sample,Time,Elapsed(S),Power (μW/cm²)
//     run,1,2024-05-06T09:30:00,1200,850.3,...,,,,
//     sample,1,,,,,,,1,2024-05-06T09:30:00,0,850.25
//
// JSON carries the same data for programs, numbers as numbers (the shortest
// text that reads back as the instrument's single-precision value; null for a
// value that is not a number).

#include "files/xlsworkbook.h"
#include "measurement/doseunit.h"
#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"
#include "measurement/uvfigures.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Csv {
// One field, quoted when it has to be.
QString field(const QString &text);
// One row: the fields joined by commas, CRLF at the end, UTF-8.
QByteArray row(const QStringList &fields);
// The UTF-8 byte order mark (EF BB BF) followed by csv.
QByteArray withByteOrderMark(const QByteArray &csv);
} // namespace Csv

namespace MeterFiles {
QByteArray csv(const MeterData &data);
QByteArray json(const MeterData &data);
// One sheet: the headers in row 1 (and a formatted blank in column 8,
// the table's action column), the records below; every cell centred.
XlsWorkbook workbook(const MeterData &data);
} // namespace MeterFiles

namespace LoggerFiles {
QStringList tableHeaders();
QStringList csvHeaders(DoseUnit::Unit unit = DoseUnit::Unit::MilliJoulePerCm2);
// The run rows' last columns: the run's UV figures (dose under the
// sample-and-hold rule, peak time, exposure window at 10 % of the peak).
QStringList figureHeaders(DoseUnit::Unit unit = DoseUnit::Unit::MilliJoulePerCm2);
// The doses of the run rows in unit (their headers name it).
QByteArray csv(const LoggerData &data, DoseUnit::Unit unit = DoseUnit::Unit::MilliJoulePerCm2);
QByteArray json(const LoggerData &data);
// Sheet 1 the run table as the Logger table (centred, with the blank
// eighth header), one sheet per run after it with NUM/VAL rows; as many
// sheets as the workbook template "Data.xls" has (the table and 25 runs),
// more when more runs are given.
// The samples as an .xls keeps them (one decimal) or in full (an .xlsx).
XlsWorkbook workbook(const LoggerData &data, bool fullPrecision = false);
} // namespace LoggerFiles

namespace RecordExport {
// The shortest decimal text that reads back as value ("0.1" for 0.1f);
// "nan", "inf", "-inf" for those.
QString floatText(float value);
// A sample value for CSV: the shortest fixed-notation text that reads back
// as value, with at least one decimal ("850.0", "0.0000001").
QString sampleText(float value);
} // namespace RecordExport
