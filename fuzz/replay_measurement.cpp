// Any bytes as a saved measurement file: the JSON measurement file, the CSV
// and the .xlsx workbook. A file taken holds values that write out and read
// back as they are; a file refused says why.
#include "fuzz/replay.h"

#include "files/measurementfile.h"
#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/xlsworkbook.h"
#include "files/xlsxreader.h"

#include <cstdio>
#include <cstring>

namespace FuzzReplay {

namespace {

bool sameSamples(const QVector<float> &a, const QVector<float> &b)
{
    return a.size() == b.size() &&
           std::memcmp(a.constData(), b.constData(), size_t(a.size()) * sizeof(float)) == 0;
}

// Taken values are sound, and the JSON written from them reads back to them.
bool sound(const Measurement &m)
{
    if (m.family == Measurement::Family::None)
        return broken("a file taken without a family");
    for (const LoggerRunData &run : m.logger.runs) {
        if (run.number < 1 || run.intervalSeconds < 1)
            return broken("a run without a number or an interval");
    }
    if (m.meter.numbers.size() != m.meter.records.size())
        return broken("Meter records and their numbers differ in count");
    Measurement back;
    QString error;
    const QByteArray json = m.family == Measurement::Family::Logger
                                ? MeasurementFile::toJson(m.logger, m.notes)
                                : MeasurementFile::toJson(m.meter, m.notes);
    if (!MeasurementFile::fromJson(json, &back, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return broken("the JSON written from taken values is refused");
    }
    if (back.family != m.family || back.notes != m.notes ||
        back.logger.runs.size() != m.logger.runs.size() || back.meter.rows() != m.meter.rows())
        return broken("the JSON written from taken values reads back otherwise");
    for (int k = 0; k < m.logger.runs.size(); ++k) {
        const LoggerRunData &a = m.logger.runs.at(k);
        const LoggerRunData &b = back.logger.runs.at(k);
        // A sample that is not finite is written as null (JSON has no NaN
        // or infinity) and comes back as NaN; any other value comes back bit
        // for bit.
        QVector<float> sa = a.samples;
        for (int i = 0; i < sa.size() && i < b.samples.size(); ++i) {
            if (!qIsFinite(sa[i]) && !qIsFinite(b.samples[i]))
                sa[i] = b.samples[i];
        }
        if (!sameSamples(sa, b.samples) || a.start != b.start || a.number != b.number ||
            a.intervalSeconds != b.intervalSeconds || a.hasStartBytes != b.hasStartBytes)
            return broken("a run written to JSON reads back otherwise");
    }
    return true;
}

bool read(const QByteArray &bytes, MeasurementReader::Kind kind)
{
    Measurement m;
    QString error;
    if (!MeasurementReader::readBytes(bytes, kind, &m, &error))
        return !error.isEmpty() || broken("a file refused without a reason");
    return sound(m);
}

} // namespace

bool measurementJson(const QByteArray &bytes)
{
    return read(bytes, MeasurementReader::Kind::Json);
}

bool measurementCsv(const QByteArray &bytes)
{
    return read(bytes, MeasurementReader::Kind::Csv);
}

bool xlsxReader(const QByteArray &bytes)
{
    XlsWorkbook book;
    QString error;
    if (XlsxReader::read(bytes, &book, &error)) {
        if (book.sheets.isEmpty())
            return broken("a workbook taken without a sheet");
        for (const XlsSheet &sheet : qAsConst(book.sheets)) {
            if (sheet.endRow() > XlsSheet::maxRows || sheet.endColumn() > XlsSheet::maxColumns)
                return broken("a cell outside the grid");
        }
    } else if (error.isEmpty()) {
        return broken("a workbook refused without a reason");
    }
    return read(bytes, MeasurementReader::Kind::Xlsx);
}

} // namespace FuzzReplay
