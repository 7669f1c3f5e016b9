#pragma once

// Opens the measurement files the window and vantrel-cli write, whatever
// their kind: the JSON measurement file (files/measurementfile.h), the CSV,
// and the .xls and .xlsx workbooks of "Save Data" and "download". What a
// kind does not hold stays empty: CSV and workbooks do not name the
// instrument, and the workbooks hold each sample with the one decimal the
// table shows.
//
// Every reader takes any bytes at all: a file that is not one of these, or
// damaged, or edited beyond recognition, ends in a message saying what is
// wrong and where (in the current language), never in a crash or a hang, and
// memory stays within a small multiple of the file's size.

#include "files/measurementfile.h"

#include <QByteArray>
#include <QString>

class XlsWorkbook;

namespace MeasurementReader {

enum class Kind
{
    Unknown,
    Json,
    Csv,
    Xls,
    Xlsx
};

// The kind by the file's first bytes (a compound file, a zip archive, a
// JSON object), else by its name's suffix.
Kind kindOf(const QByteArray &bytes, const QString &fileName);

bool read(const QString &fileName, Measurement *out, QString *error);
bool readBytes(const QByteArray &bytes, Kind kind, Measurement *out, QString *error);

bool fromCsv(const QByteArray &bytes, Measurement *out, QString *error);
bool fromWorkbook(const XlsWorkbook &book, Measurement *out, QString *error);

} // namespace MeasurementReader
