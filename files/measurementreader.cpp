#include "files/measurementreader.h"

#include "files/workbooklayout.h"
#include "files/xlsreader.h"
#include "files/xlsworkbook.h"
#include "files/xlsxreader.h"
#include "measurement/instrumentclock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace MeasurementReader {

namespace {

// lupdate files these texts under the namespace.
QString tr(const char *text)
{
    return QCoreApplication::translate("MeasurementReader", text);
}

const float kNoValue = std::numeric_limits<float>::quiet_NaN();

// RFC 4180 rows; false (with the line in *badLine) for a quote that never
// closes or text straight after a closing quote.
bool csvRows(const QByteArray &bytes, QList<QStringList> *rows, int *badLine)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList row;
    QString field;
    bool quoted = false;
    bool afterQuote = false;
    int line = 1;
    int quoteLine = 1;
    auto endField = [&] {
        row << field;
        field.clear();
        afterQuote = false;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                    afterQuote = true;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endField();
            *rows << row;
            row.clear();
            ++line;
        } else if (c == QLatin1Char('"') && field.isEmpty() && !afterQuote) {
            quoted = true;
            quoteLine = line;
        } else if (afterQuote) {
            *badLine = line;
            return false;
        } else {
            field += c;
        }
    }
    if (quoted) {
        *badLine = quoteLine;
        return false;
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        endField();
        *rows << row;
    }
    return true;
}

// A number of the file, or no value for an empty text; false for anything
// else.
bool valueOf(const QVariant &cell, float *out)
{
    if (cell.userType() == QMetaType::Double) {
        const double d = cell.toDouble();
        *out = float(d);
        return !std::isfinite(d) || std::abs(d) <= double(std::numeric_limits<float>::max());
    }
    const QString text = cell.toString().trimmed();
    if (text.isEmpty()) {
        *out = kNoValue;
        return true;
    }
    if (text == QLatin1String("nan") || text == QLatin1String("inf") ||
        text == QLatin1String("-inf")) {
        *out = text == QLatin1String("nan")
                   ? kNoValue
                   : (text.startsWith(QLatin1Char('-')) ? -std::numeric_limits<float>::infinity()
                                                        : std::numeric_limits<float>::infinity());
        return true;
    }
    bool ok = false;
    const double d = text.toDouble(&ok);
    *out = float(d);
    // A finite number beyond single precision would silently become infinite.
    return ok && std::abs(d) <= double(std::numeric_limits<float>::max());
}

bool wholeOf(const QVariant &cell, qint64 min, qint64 max, qint64 *out)
{
    bool ok = false;
    const double d = cell.userType() == QMetaType::Double ? cell.toDouble()
                                                          : cell.toString().trimmed().toDouble(&ok);
    if (cell.userType() == QMetaType::Double)
        ok = true;
    if (!ok || !std::isfinite(d) || d != std::floor(d) || d < min || d > max)
        return false;
    *out = qint64(d);
    return true;
}

QDateTime timeOf(const QVariant &cell)
{
    return InstrumentClock::fromText(cell.toString().trimmed());
}

// The Meter unit a header names ("Energy mJ/cm²", "Power(RT) W/m²"), -1 for
// none.
int unitOfHeader(const QString &header)
{
    // μW/cm² holds W/cm²: the longer names first.
    for (int u : {int(MeterUnits::MicroWattPerCm2), int(MeterUnits::MilliWattPerCm2),
                  int(MeterUnits::WattPerM2), int(MeterUnits::WattPerCm2)}) {
        if (header.endsWith(MeterUnits::powerUnitText(u)) ||
            header.endsWith(MeterUnits::energyUnitText(u)))
            return u;
    }
    return -1;
}

int decimalsOfText(const QString &text)
{
    const int point = text.indexOf(QLatin1Char('.'));
    return text.isEmpty() ? -1 : (point < 0 ? 0 : text.size() - point - 1);
}

// The Meter's table as texts: header row and record rows (number, energy,
// duration, RT, MAX, MIN, AVG), from a CSV or the first sheet.
bool meterFromTable(const QStringList &headers, const QList<QVariantList> &rows,
                    const QString &rowWord, int decimals, MeterData *out, QString *error)
{
    MeterData data;
    data.decimals = decimals;
    data.unit = headers.size() > 1 ? unitOfHeader(headers.at(1)) : -1;
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        const QString where = rowWord.arg(r + 2);
        if (row.size() < 7) {
            *error = tr("%1: %2 values instead of 7.").arg(where).arg(row.size());
            return false;
        }
        qint64 number = 0;
        if (!wholeOf(row.at(0), 1, 1000000, &number)) { // as the JSON file takes them
            *error = tr("%1: the record number \"%2\" is no whole number.")
                         .arg(where, row.at(0).toString());
            return false;
        }
        MeterReading m;
        float *fields[] = {&m.energy,   &m.duration, &m.powerRt,
                           &m.powerMax, &m.powerMin, &m.powerAvg};
        for (int c = 0; c < 6; ++c) {
            if (!valueOf(row.at(c + 1), fields[c])) {
                *error = tr("%1, column %2: \"%3\" is no number.")
                             .arg(where)
                             .arg(c + 2)
                             .arg(row.at(c + 1).toString());
                return false;
            }
        }
        // The decimals of the first energy shown; a table shows at most 30.
        if (data.decimals < 0 && row.at(1).userType() != QMetaType::Double)
            data.decimals = qMin(decimalsOfText(row.at(1).toString()), 30);
        data.numbers << int(number);
        data.records << m;
    }
    *out = data;
    return true;
}

// The columns that name the instrument, which files of this version add
// after their own.
constexpr int kInstrumentColumnCount = 4;

bool endsWithInstrumentColumns(const QStringList &headers)
{
    return headers.size() >= kInstrumentColumnCount &&
           headers.mid(headers.size() - kInstrumentColumnCount) ==
               WorkbookLayout::instrumentFieldNames();
}

// The instrument a row names in its last four fields; false with a
// message for a serial number that is no whole number.
bool instrumentOf(const QStringList &row, const QString &where, InstrumentIdentity *out,
                  QString *error)
{
    const int first = row.size() - kInstrumentColumnCount;
    InstrumentIdentity id;
    id.model = row.at(first);
    const QString serial = row.at(first + 1).trimmed();
    qint64 number = 0;
    if (!serial.isEmpty() && !wholeOf(serial, 0, 0xFFFFFFFFLL, &number)) {
        *error = tr("%1: the serial number \"%2\" is no whole number.").arg(where, serial);
        return false;
    }
    id.serialNumber = quint32(number);
    id.firmware = row.at(first + 2);
    id.calibrationDate = QDate::fromString(row.at(first + 3).trimmed(), Qt::ISODate);
    *out = id;
    return true;
}

// A run whose row declares a duration that its samples do not cover: the
// file was cut or edited.
QString shortRunText(const LoggerRunData &run, qint64 declared)
{
    return tr("Run %1 declares %2 s, but its %3 samples in the file cover %4 s: the file is "
              "cut short or damaged.")
        .arg(run.number)
        .arg(declared)
        .arg(run.samples.size())
        .arg(run.durationSeconds());
}

bool isLoggerHeader(const QStringList &headers)
{
    return headers.size() >= 7 && headers.at(0) == QLatin1String("NO") &&
           headers.at(2) == QLatin1String("Duration(S)") &&
           headers.at(3).startsWith(QLatin1String("Power(REC)"));
}

} // namespace

Kind kindOf(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Kind::Xls;
    if (bytes.startsWith("PK\x03\x04"))
        return Kind::Xlsx;
    const QByteArray start = bytes.left(64).trimmed();
    if (start.startsWith('{'))
        return Kind::Json;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("json"))
        return Kind::Json;
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return Kind::Csv;
    if (suffix == QLatin1String("xls"))
        return Kind::Xls;
    if (suffix == QLatin1String("xlsx"))
        return Kind::Xlsx;
    return Kind::Unknown;
}

bool read(const QString &fileName, Measurement *out, QString *error)
{
    QFile file(fileName);
    if (!QFileInfo::exists(fileName)) {
        *error = tr("%1 does not exist.").arg(fileName);
        return false;
    }
    if (!QFileInfo(fileName).isFile()) {
        *error = tr("%1 is not a file.").arg(fileName);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("%1 cannot be opened: %2.").arg(fileName, file.errorString());
        return false;
    }
    if (file.size() > MeasurementFile::MaxFileSize) {
        *error = tr("%1 is larger than %2 MB, more than any measurement file.")
                     .arg(fileName)
                     .arg(MeasurementFile::MaxFileSize / (1024 * 1024));
        return false;
    }
    const QByteArray bytes = file.readAll();
    QString why;
    if (readBytes(bytes, kindOf(bytes, fileName), out, &why))
        return true;
    // The message names the file it is about.
    *error = tr("%1: %2").arg(QFileInfo(fileName).fileName(), why);
    return false;
}

bool readBytes(const QByteArray &bytes, Kind kind, Measurement *out, QString *error)
{
    switch (kind) {
    case Kind::Json:
        return MeasurementFile::fromJson(bytes, out, error);
    case Kind::Csv:
        return fromCsv(bytes, out, error);
    case Kind::Xls: {
        XlsWorkbook book;
        QString why;
        if (XlsReader::read(bytes, &book, &why) != XlsReader::Result::Ok) {
            *error = tr("The workbook cannot be read: %1.").arg(why);
            return false;
        }
        return fromWorkbook(book, out, error);
    }
    case Kind::Xlsx: {
        XlsWorkbook book;
        QString why;
        if (!XlsxReader::read(bytes, &book, &why)) {
            *error = tr("The workbook cannot be read: %1.").arg(why);
            return false;
        }
        return fromWorkbook(book, out, error);
    }
    case Kind::Unknown:
        break;
    }
    *error = tr("This is no measurement file of Vantrel (JSON, CSV, .xls or .xlsx).");
    return false;
}

bool fromCsv(const QByteArray &bytes, Measurement *out, QString *error)
{
    QList<QStringList> rows;
    int badLine = 0;
    if (!csvRows(bytes, &rows, &badLine)) {
        *error = tr("Line %1 of the CSV file has a quote that does not close.").arg(badLine);
        return false;
    }
    if (rows.isEmpty()) {
        *error = tr("The CSV file is empty.");
        return false;
    }
    const QStringList header = rows.takeFirst();
    if (header.size() == 1 &&
        (header.first().contains(QLatin1Char(';')) || header.first().contains(QLatin1Char('\t')))) {
        *error = tr("The CSV file separates its fields with another character than the comma "
                    "Vantrel writes.");
        return false;
    }
    Measurement m;
    // Files of earlier versions end with the sample's value, or the run's
    // figures (which are computed again from the samples); this version
    // adds the columns that name the instrument.
    const bool named = endsWithInstrumentColumns(header);
    if ((header.size() == 12 || header.size() == 17 || (header.size() == 21 && named)) &&
        header.at(0) == QLatin1String("record") && isLoggerHeader(header.mid(1))) {
        m.family = Measurement::Family::Logger;
        // What each run's row declares: its duration, -1 when it gives none.
        QList<qint64> declared;
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList &row = rows.at(r);
            const QString where = tr("Line %1").arg(r + 2);
            if (row.size() != header.size()) {
                *error = tr("%1: %2 fields instead of %3.")
                             .arg(where)
                             .arg(row.size())
                             .arg(header.size());
                return false;
            }
            qint64 number = 0;
            if (!wholeOf(row.at(1), 1, 100000, &number)) {
                *error = tr("%1: the run number \"%2\" is no whole number.").arg(where, row.at(1));
                return false;
            }
            if (row.at(0) == QLatin1String("run")) {
                LoggerRunData run;
                run.number = int(number);
                run.start = timeOf(row.at(2));
                run.hasStartBytes = !row.at(3).isEmpty();
                qint64 duration = -1;
                if (run.hasStartBytes && !wholeOf(row.at(3), 0, 1LL << 40, &duration)) {
                    *error =
                        tr("%1: the duration \"%2\" is no whole number.").arg(where, row.at(3));
                    return false;
                }
                if (named && m.logger.runs.isEmpty() &&
                    !instrumentOf(row, where, &m.logger.instrument, error))
                    return false;
                m.logger.runs << run;
                declared << duration;
            } else if (row.at(0) == QLatin1String("sample")) {
                if (m.logger.runs.isEmpty() || m.logger.runs.last().number != number) {
                    *error = tr("%1: a sample of run %2 that does not follow its run.")
                                 .arg(where)
                                 .arg(number);
                    return false;
                }
                LoggerRunData &run = m.logger.runs.last();
                float value = 0;
                qint64 elapsed = 0;
                if (!valueOf(row.at(11), &value) ||
                    !wholeOf(row.at(10), 0, std::numeric_limits<qint32>::max(), &elapsed)) {
                    *error = tr("%1: the sample's time or value is no number.").arg(where);
                    return false;
                }
                // The second sample's time is the interval (at most a day).
                if (run.samples.size() == 1 && elapsed > 0)
                    run.intervalSeconds = int(qMin<qint64>(elapsed, 86400));
                run.samples << value;
            } else {
                *error = tr("%1: \"%2\" is neither \"run\" nor \"sample\".").arg(where, row.at(0));
                return false;
            }
        }
        // A run of one sample tells its interval by its duration only; any
        // other run's samples must cover the duration its row declares.
        for (int k = 0; k < m.logger.runs.size(); ++k) {
            LoggerRunData &run = m.logger.runs[k];
            const qint64 duration = declared.at(k);
            if (duration < 0)
                continue;
            if (run.samples.size() == 1 && duration >= 1)
                run.intervalSeconds = int(qMin<qint64>(duration, 86400));
            if (run.durationSeconds() != duration) {
                *error = shortRunText(run, duration);
                return false;
            }
        }
    } else if ((header.size() == 7 || (header.size() == 11 && named)) &&
               header.at(0) == QLatin1String("NO") &&
               header.at(2) == QLatin1String("Duration(S)")) {
        m.family = Measurement::Family::Meter;
        QList<QVariantList> values;
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList &row = rows.at(r);
            if (named && row.size() != header.size()) {
                *error = tr("%1: %2 fields instead of %3.")
                             .arg(tr("Line %1").arg(r + 2))
                             .arg(row.size())
                             .arg(header.size());
                return false;
            }
            if (named && r == 0 &&
                !instrumentOf(row, tr("Line %1").arg(r + 2), &m.meter.instrument, error))
                return false;
            QVariantList v;
            for (int c = 0; c < qMin(7, int(row.size())); ++c)
                v << row.at(c);
            values << v;
        }
        const InstrumentIdentity instrument = m.meter.instrument;
        if (!meterFromTable(header, values, tr("Line %1"), -1, &m.meter, error))
            return false;
        m.meter.instrument = instrument;
    } else {
        *error = tr("The CSV file was not written by Vantrel: its first line is no header "
                    "Vantrel writes.");
        return false;
    }
    *out = m;
    return true;
}

bool fromWorkbook(const XlsWorkbook &book, Measurement *out, QString *error)
{
    if (book.sheets.isEmpty()) {
        *error = tr("The workbook has no sheet.");
        return false;
    }
    // The sheet that names the instrument (none in workbooks of earlier
    // versions, whose samples always have one decimal).
    WorkbookLayout::InstrumentSheet described;
    const int instrumentSheet = WorkbookLayout::instrumentSheetIndex(book);
    if (instrumentSheet >= 0 &&
        !WorkbookLayout::readInstrumentSheet(book.sheets.at(instrumentSheet), &described, error))
        return false;
    const int sheetCount = instrumentSheet >= 0 ? instrumentSheet : book.sheets.size();
    const XlsSheet &table = book.sheets.first();
    QStringList headers;
    for (int c = 0; c < 7; ++c)
        headers << table.value(0, c).toString();
    QList<QVariantList> rows;
    for (int r = 1; r < table.endRow(); ++r) {
        QVariantList row;
        for (int c = 0; c < 7; ++c)
            row << table.value(r, c);
        rows << row;
    }
    const bool logger = isLoggerHeader(headers) ||
                        (book.sheets.size() > 1 &&
                         book.sheets.at(1).value(0, 0).toString() == QLatin1String("NUM"));
    Measurement m;
    if (!logger) {
        // A row's "EXCEL" export: one run's samples, without the run's start
        // or interval, so its times and dose cannot be known again.
        if (headers.at(0) == QLatin1String("NUM") && headers.at(1) == QLatin1String("VAL")) {
            *error = tr("This workbook holds the samples of one run (NUM, VAL) without the run's "
                        "start time and storage interval, so it cannot be shown again. Open the "
                        "workbook saved with \"Save Data\" instead.");
            return false;
        }
        if (headers.at(0) != QLatin1String("NO")) {
            *error = tr("The workbook was not written by Vantrel: its first sheet does not start "
                        "with the table's header.");
            return false;
        }
        m.family = Measurement::Family::Meter;
        // The decimals the energy of the first record shows.
        const XlsCell *energy = table.cell(1, 1);
        const int decimals = !energy                                         ? -1
                             : energy->decimals >= 0                         ? int(energy->decimals)
                             : energy->value.userType() == QMetaType::Double ? 0
                                                                             : -1;
        if (!meterFromTable(headers, rows, tr("Sheet 1, row %1"), decimals, &m.meter, error))
            return false;
        m.meter.instrument = described.instrument;
        *out = m;
        return true;
    }
    m.family = Measurement::Family::Logger;
    m.logger.instrument = described.instrument;
    m.logger.roundedSamples = described.precision == WorkbookLayout::Precision::OneDecimal;
    if (instrumentSheet >= 0 && described.runs.size() != rows.size()) {
        *error = tr("The workbook's run table has %1 runs, but its sheet \"%2\" describes %3.")
                     .arg(rows.size())
                     .arg(WorkbookLayout::instrumentSheetName())
                     .arg(described.runs.size());
        return false;
    }
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        const QString where = tr("Sheet 1, row %1").arg(r + 2);
        qint64 number = 0;
        if (!wholeOf(row.at(0), 1, 100000, &number)) {
            *error = tr("%1: the run number \"%2\" is no whole number.")
                         .arg(where, row.at(0).toString());
            return false;
        }
        LoggerRunData run;
        run.number = int(number);
        run.start = timeOf(row.at(1));
        run.hasStartBytes = !row.at(2).toString().isEmpty();
        if (r + 1 >= sheetCount) {
            *error = tr("The workbook has no sheet with the samples of run %1.").arg(number);
            return false;
        }
        const XlsSheet &samples = book.sheets.at(r + 1);
        for (int i = 1; i < samples.endRow(); ++i) {
            float value = 0;
            if (!valueOf(samples.value(i, 1), &value)) {
                *error = tr("Sheet %1, row %2: \"%3\" is no number.")
                             .arg(r + 2)
                             .arg(i + 1)
                             .arg(samples.value(i, 1).toString());
                return false;
            }
            run.samples << value;
        }
        qint64 duration = -1;
        if (run.hasStartBytes && !wholeOf(row.at(2), 0, 1LL << 40, &duration)) {
            *error =
                tr("%1: the duration \"%2\" is no whole number.").arg(where, row.at(2).toString());
            return false;
        }
        if (instrumentSheet >= 0) {
            // The interval as the run had it; its samples as many as it had.
            const WorkbookLayout::InstrumentSheet::Run &shape = described.runs.at(r);
            if (shape.number != run.number || shape.intervalSeconds < 1 ||
                shape.intervalSeconds > 86400) {
                *error = tr("Sheet \"%1\", row %2: run %3 has no interval of its own.")
                             .arg(WorkbookLayout::instrumentSheetName())
                             .arg(r + 10)
                             .arg(run.number);
                return false;
            }
            run.intervalSeconds = shape.intervalSeconds;
            if (run.samples.size() != shape.samples) {
                *error = tr("Run %1 had %2 samples, but its sheet holds %3: the file is cut "
                            "short or damaged.")
                             .arg(run.number)
                             .arg(shape.samples)
                             .arg(run.samples.size());
                return false;
            }
        } else if (!run.samples.isEmpty() && duration > 0) {
            // Earlier versions tell the interval by the duration alone.
            run.intervalSeconds = int(qBound<qint64>(1, duration / run.samples.size(), 86400));
        }
        if (duration >= 0 && run.durationSeconds() != duration) {
            *error = shortRunText(run, duration);
            return false;
        }
        m.logger.runs << run;
    }
    *out = m;
    return true;
}

} // namespace MeasurementReader
