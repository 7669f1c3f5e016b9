// Saved measurements open again: every kind of file the program writes, read
// back to the values written, and files that are not what they seem.
#include "download/loggerrun.h"
#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/workbooklayout.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"
#include "files/xlsxreader.h"
#include "files/xlsxwriter.h"
#include "measurement/instrumentclock.h"
#include "protocol/modeltable.h"
#include "sim/simprofile.h"
#include "simdata.h"

#include <QtTest>

#include <time.h>

class TestMeasurementFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void badFiles_data();
    void badFiles();
    void messagesInChinese();
    void clockWithoutZone_data();
    void clockWithoutZone();
    void xlsxBounds_data();
    void xlsxBounds();
};

namespace {

LoggerData loggerData()
{
    LoggerData data = SimData::logger({1, 10, 60});
    data.instrument.firmware = QStringLiteral("2.1");
    data.instrument.calibrationDate = SimProfile::logger().calibrationDate;
    // A run of one sample tells its interval by its duration alone.
    data.runs << LoggerRun::decode(data.runs.size() + 1,
                                   SimProfile::logger().runs.first().payload().left(10), 10);
    return data;
}

MeterData meterData()
{
    MeterData data = SimData::meter();
    data.numbers.clear();
    for (int i = 0; i < data.records.size(); ++i)
        data.numbers << (i == 1 ? 7 : i + 1); // a gap where a record was not read
    return data;
}

QByteArray fileOf(const QString &family, const QString &format)
{
    const bool logger = family == QLatin1String("logger");
    if (format == QLatin1String("json"))
        return logger ? LoggerFiles::json(loggerData()) : MeterFiles::json(meterData());
    if (format == QLatin1String("csv"))
        // Doses in the unit the window chose; the samples read back whatever it is.
        return Csv::withByteOrderMark(
            logger ? LoggerFiles::csv(loggerData(), DoseUnit::Unit::JoulePerM2)
                   : MeterFiles::csv(meterData()));
    const XlsWorkbook book =
        logger ? LoggerFiles::workbook(loggerData(), format == QLatin1String("xlsx"))
               : MeterFiles::workbook(meterData());
    QString why;
    return format == QLatin1String("xlsx") ? XlsxWriter::toBytes(book, &why)
                                           : XlsWriter::toBytes(book);
}

} // namespace

void TestMeasurementFile::roundTrip_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("format");
    // exact: the values as written; otherwise as the table shows them.
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("namesInstrument");
    for (const char *family : {"logger", "meter"}) {
        const bool logger = family == QByteArray("logger");
        QTest::addRow("%s json", family) << family << "json" << true << true;
        QTest::addRow("%s csv", family) << family << "csv" << logger << true;
        QTest::addRow("%s xls", family) << family << "xls" << false << true;
        QTest::addRow("%s xlsx", family) << family << "xlsx" << logger << true;
    }
}

void TestMeasurementFile::roundTrip()
{
    QFETCH(QString, family);
    QFETCH(QString, format);
    QFETCH(bool, exact);
    QFETCH(bool, namesInstrument);
    const QByteArray bytes = fileOf(family, format);
    Measurement m;
    QString error;
    QVERIFY2(MeasurementReader::readBytes(
                 bytes, MeasurementReader::kindOf(bytes, "saved." + format), &m, &error),
             qPrintable(error));

    if (family == QLatin1String("logger")) {
        const LoggerData written = loggerData();
        QCOMPARE(m.family, Measurement::Family::Logger);
        QCOMPARE(m.logger.runs.size(), written.runs.size());
        for (int k = 0; k < written.runs.size(); ++k) {
            const LoggerRunData &a = written.runs.at(k);
            const LoggerRunData &b = m.logger.runs.at(k);
            QCOMPARE(b.number, a.number);
            QCOMPARE(b.start, a.start);
            QCOMPARE(b.intervalSeconds, a.intervalSeconds);
            QCOMPARE(b.rowTexts(), a.rowTexts());
            QCOMPARE(b.sampleRows(), a.sampleRows());
            if (exact) {
                QCOMPARE(b.samples, a.samples);
                const UvFigures::Figures fa = UvFigures::compute(a.samples, a.intervalSeconds);
                const UvFigures::Figures fb = UvFigures::compute(b.samples, b.intervalSeconds);
                QCOMPARE(fb.dose, fa.dose);
                QCOMPARE(fb.windowEnd, fa.windowEnd);
            }
        }
        if (format == QLatin1String("csv")) {
            // 1 mJ/cm² is 10 J/m², under the header that says so.
            const QByteArray mJ = LoggerFiles::csv(written);
            QVERIFY(bytes.contains("\"Dose (J/m², sample-and-hold)\""));
            const QList<QByteArray> a = mJ.mid(mJ.indexOf("\r\nrun,1,") + 2).split(',');
            const QList<QByteArray> b = bytes.mid(bytes.indexOf("\r\nrun,1,") + 2).split(',');
            QCOMPARE(b.at(12).toDouble(), a.at(12).toDouble() * 10);
        }
        // Figures of samples kept with one decimal say so.
        QCOMPARE(m.logger.roundedSamples, !exact);
        QCOMPARE(m.logger.instrument.model, written.instrument.model);
        QCOMPARE(m.logger.instrument.firmware, written.instrument.firmware);
        QCOMPARE(m.logger.instrument.serialNumber,
                 namesInstrument ? written.instrument.serialNumber : 0u);
        QCOMPARE(m.logger.instrument.calibrationDate,
                 namesInstrument ? written.instrument.calibrationDate : QDate());
    } else {
        const MeterData written = meterData();
        QCOMPARE(m.family, Measurement::Family::Meter);
        QCOMPARE(m.meter.unit, written.unit);
        QCOMPARE(m.meter.decimals, written.decimals);
        QCOMPARE(m.meter.numbers, written.numbers);
        QCOMPARE(m.meter.rows(), written.rows());
        QCOMPARE(m.meter.instrument.model, namesInstrument ? written.instrument.model : QString());
        if (exact)
            QCOMPARE(m.meter.records.first().powerMax, written.records.first().powerMax);
    }
}

void TestMeasurementFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");

    const QByteArray json = LoggerFiles::json(loggerData());
    QTest::newRow("truncated JSON") << json.left(json.size() / 2) << "a.json"
                                    << "no JSON file";
    QTest::newRow("another program's JSON") << QByteArray("{\"a\": 1}") << "a.json"
                                            << "not written by Vantrel";
    QTest::newRow("a newer format") << QByteArray(R"({"format": "vantrel-measurement",
        "formatVersion": 99, "family": "logger", "runs": []})")
                                    << "a.json"
                                    << "newer Vantrel (format version 99)";
    // formatVersion is a whole JSON number or the file is refused: none of
    // these may be read as version 1.
    const auto withVersion = [](const char *version) {
        return QByteArray(R"({"format": "vantrel-measurement", "formatVersion": )") + version +
               R"(, "family": "logger", "runs": []})";
    };
    QTest::newRow("formatVersion one past this program's")
        << withVersion("2") << "a.json" << "newer Vantrel (format version 2)";
    for (const char *version : {"\"2\"", "2.5", "1e300", "4294967297", "true", "{}"})
        QTest::addRow("formatVersion %s", version)
            << withVersion(version) << "a.json" << "formatVersion: not a whole number";
    QByteArray edited = json;
    edited.replace("\"samples\": [\n", "\"samples\": [\n\"x\",\n");
    QTest::newRow("an edited sample") << edited << "a.json"
                                      << "runs[0].samples[0]: not a number";
    QTest::newRow("CSV with semicolons")
        << QByteArray("NO;Energy;Duration(S)\r\n1;2;3\r\n") << "a.csv"
        << "another character than the comma";
    QTest::newRow("another program's CSV") << QByteArray("a,b,c\r\n1,2,3\r\n") << "a.csv"
                                           << "not written by Vantrel";
    QTest::newRow("CSV quote that never closes") << QByteArray("NO,\"Energy\r\n") << "a.csv"
                                                 << "Line 1 of the CSV file has a quote";
    QByteArray csv = LoggerFiles::csv(loggerData());
    const int firstRun = csv.indexOf("\r\nrun,") + 2;
    csv.remove(firstRun, csv.indexOf("\r\n", firstRun) + 2 - firstRun);
    QTest::newRow("CSV sample without its run")
        << csv << "a.csv"
        << "Line 2: a sample of run 1 that does not follow its run";
    // Files that contradict themselves: a run declares more than it holds.
    QByteArray cut = LoggerFiles::csv(loggerData());
    cut.truncate(cut.indexOf("\r\nsample,1,,,,,,,4,") + 2);
    QTest::newRow("CSV cut at a line end")
        << cut << "a.csv"
        << "Run 1 declares 120 s, but its 3 samples in the file cover 3 s";
    QByteArray stretched = LoggerFiles::json(loggerData());
    const int at = stretched.indexOf("\"durationSeconds\": ") + 19;
    const int end = stretched.indexOf(',', at);
    const int declared = stretched.mid(at, end - at).toInt();
    stretched.replace(at, end - at, QByteArray::number(declared + 1));
    QTest::newRow("JSON whose duration the samples do not make")
        << stretched << "a.json"
        << QStringLiteral("runs[0].durationSeconds: %1 s, but the").arg(declared + 1);
    XlsWorkbook shortened = LoggerFiles::workbook(loggerData(), true);
    shortened.sheets[1].clear(100, 0, 1000, 2);
    QString why;
    QTest::newRow(".xlsx whose run sheet lost rows")
        << XlsxWriter::toBytes(shortened, &why) << "a.xlsx"
        << "Run 1 had 120 samples, but its sheet holds 99";
    XlsWorkbook earlier = LoggerFiles::workbook(loggerData());
    earlier.sheets.removeLast(); // as earlier versions wrote it, without the instrument
    earlier.sheets[1].clear(100, 0, 1000, 2);
    QTest::newRow(".xls of an earlier version cut short")
        << XlsWriter::toBytes(earlier) << "a.xls"
        << "Run 1 declares 120 s, but its 99 samples";
    QByteArray csvOf = LoggerFiles::csv(loggerData());
    QTest::newRow("CSV run number 0")
        << QByteArray(csvOf).replace("\r\nrun,1,", "\r\nrun,0,") << "a.csv"
        << "the run number \"0\"";
    QTest::newRow("CSV run number 1.5")
        << QByteArray(csvOf).replace("\r\nrun,1,", "\r\nrun,1.5,") << "a.csv"
        << "the run number \"1.5\"";
    QTest::newRow("CSV with a quote doubled wrongly")
        << QByteArray("NO,\"Energy \"mJ\" x\",Duration(S)\r\n") << "a.csv"
        << "Line 1";
    QTest::newRow("damaged workbook")
        << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 garbage") << "a.xls"
        << "The workbook cannot be read";
    XlsWorkbook book = LoggerFiles::workbook(loggerData());
    book.sheets[1].setValue(2, 1, QStringLiteral("abc"));
    QTest::newRow("workbook with an edited sample") << XlsWriter::toBytes(book) << "a.xls"
                                                    << "Sheet 2, row 3: \"abc\" is no number";
    XlsWorkbook oneRun = XlsWorkbook::withOneSheet();
    WorkbookLayout::putTable(&oneRun.sheets[0], WorkbookLayout::runTable(loggerData().runs.first()));
    QTest::newRow("a row's EXCEL export: one run's samples without start or interval")
        << XlsWriter::toBytes(oneRun) << "a.xls" << "samples of one run (NUM, VAL)";
    QTest::newRow("damaged .xlsx") << QByteArray("PK\x03\x04 garbage", 12) << "a.xlsx"
                                   << "The workbook cannot be read: not a zip archive";
    QTest::newRow("anything else") << QByteArray("hello") << "a.bin"
                                   << "no measurement file";
}

void TestMeasurementFile::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Measurement m;
    m.notes = QStringLiteral("untouched");
    QString error;
    QVERIFY(
        !MeasurementReader::readBytes(bytes, MeasurementReader::kindOf(bytes, name), &m, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QCOMPARE(m.notes, QStringLiteral("untouched"));
}

// The window shows the readers' messages in its language: each reader's texts
// are found under the context they are filed in.
void TestMeasurementFile::messagesInChinese()
{
    QTranslator chinese;
    QVERIFY(chinese.load(QStringLiteral("Vantrel_zh"), QStringLiteral(VANTREL_BINARY_DIR)));
    QCoreApplication::installTranslator(&chinese);
    const QList<QPair<QByteArray, QString>> files = {
        {"{\"a\": 1}", "a.json"},                                       // the JSON reader
        {R"({"family": "logger", "runs": [{"number": 0}]})", "a.json"}, // its field reader
        {"a,b\r\n", "a.csv"},                                           // the CSV reader
        {"hello", "a.bin"}};                                            // any file
    for (const auto &[bytes, name] : files) {
        Measurement m;
        QString error;
        QVERIFY(!MeasurementReader::readBytes(bytes, MeasurementReader::kindOf(bytes, name), &m,
                                              &error));
        QVERIFY2(error.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))),
                 qPrintable(error));
    }
    QCoreApplication::removeTranslator(&chinese);
}

namespace {

quint32 crc32(const QByteArray &bytes)
{
    static const QVector<quint32> table = [] {
        QVector<quint32> t(256);
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[int(n)] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[int((c ^ quint8(b)) & 0xFF)] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// A part as a zip archive holds it: deflated (qCompress's zlib stream
// without its header and check value), with its size and CRC.
struct ZipPart
{
    QByteArray deflated;
    quint32 size = 0;
    quint32 crc = 0;
};

ZipPart zipPart(const QByteArray &bytes)
{
    const QByteArray zlib = qCompress(bytes, 9);
    return {zlib.mid(6, zlib.size() - 10), quint32(bytes.size()), crc32(bytes)};
}

// A zip archive of the parts, one entry for each name (entries may share
// their content).
QByteArray zipOf(const QList<QPair<QString, ZipPart>> &entries)
{
    QByteArray out;
    QByteArray directory;
    auto le = [](QByteArray *b, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b->append(char((v >> (8 * i)) & 0xFF));
    };
    for (const auto &[name, part] : entries) {
        const QByteArray n = name.toUtf8();
        const quint32 offset = quint32(out.size());
        for (QByteArray *b : {&out, &directory}) {
            const bool central = b == &directory;
            le(b, central ? 0x02014b50 : 0x04034b50, 4);
            if (central)
                le(b, 20, 2);
            le(b, 20, 2);   // version needed
            le(b, 0, 2);    // flags
            le(b, 8, 2);    // deflated
            le(b, 0, 2);    // time
            le(b, 0x21, 2); // date: 1980-01-01
            le(b, part.crc, 4);
            le(b, quint32(part.deflated.size()), 4);
            le(b, part.size, 4);
            le(b, quint32(n.size()), 2);
            le(b, 0, 2); // extra
            if (central) {
                le(b, 0, 2); // comment
                le(b, 0, 2); // disk
                le(b, 0, 2); // internal attributes
                le(b, 0, 4); // external attributes
                le(b, offset, 4);
            }
            b->append(n);
        }
        out.append(part.deflated);
    }
    const quint32 at = quint32(out.size());
    out.append(directory);
    le(&out, 0x06054b50, 4);
    le(&out, 0, 2);
    le(&out, 0, 2);
    le(&out, quint32(entries.size()), 2);
    le(&out, quint32(entries.size()), 2);
    le(&out, quint32(directory.size()), 4);
    le(&out, at, 4);
    le(&out, 0, 2);
    return out;
}

// A workbook of `sheets` sheets; sheet i's part is parts[i] (a name), each
// part a sheet of one cell padded to `partSize` bytes with blanks.
QByteArray workbookOf(const QStringList &parts, int partSize)
{
    QByteArray workbook = "<workbook xmlns:r=\"r\"><sheets>";
    QByteArray rels = "<Relationships>";
    for (int i = 0; i < parts.size(); ++i) {
        workbook += QStringLiteral("<sheet name=\"S%1\" sheetId=\"%1\" r:id=\"rId%1\"/>")
                        .arg(i + 1)
                        .toUtf8();
        rels += QStringLiteral("<Relationship Id=\"rId%1\" Target=\"worksheets/%2\"/>")
                    .arg(i + 1)
                    .arg(parts.at(i))
                    .toUtf8();
    }
    workbook += "</sheets></workbook>";
    rels += "</Relationships>";
    const QByteArray head = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>7</v></c></row>";
    const QByteArray tail = "</sheetData></worksheet>";
    const ZipPart sheet =
        zipPart(head + QByteArray(partSize - head.size() - tail.size(), ' ') + tail);
    QList<QPair<QString, ZipPart>> entries = {{"xl/workbook.xml", zipPart(workbook)},
                                              {"xl/_rels/workbook.xml.rels", zipPart(rels)}};
    QStringList named;
    for (const QString &part : parts) {
        if (!named.contains(part))
            entries.append({QStringLiteral("xl/worksheets/") + part, sheet});
        named << part;
    }
    return zipOf(entries);
}

} // namespace

// The work of reading a workbook is bounded by the file, not only by its
// parts: counted in bytes inflated, never in seconds.
void TestMeasurementFile::xlsxBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // empty: read
    QTest::addColumn<qint64>("atMost");   // bytes inflated

    constexpr int kMB = 1024 * 1024;
    const QString one = QStringLiteral("sheet1.xml");
    QTest::newRow("sheets that all name one large part: refused before it is read")
        << workbookOf({one, one, one}, 8 * kMB) << "name one part (xl/worksheets/sheet1.xml)"
        << qint64(4096);
    QStringList nine;
    for (int i = 0; i < 9; ++i)
        nine << QStringLiteral("sheet%1.xml").arg(i + 1);
    QTest::newRow("parts that together inflate past the bound: refused at it")
        << workbookOf(nine, 8 * kMB) << "its parts come to more than 64 MB"
        << XlsxReader::maxTotalSize;
    QTest::newRow("a workbook within the bound is read")
        << workbookOf(nine.mid(0, 3), 8 * kMB) << QString() << qint64(24 * kMB + 4096);
}

void TestMeasurementFile::xlsxBounds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(qint64, atMost);

    XlsWorkbook book;
    QString error;
    qint64 inflated = -1;
    const bool read = XlsxReader::read(bytes, &book, &error, &inflated);
    QVERIFY2(read == message.isEmpty(), qPrintable(error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(inflated > 0 && inflated <= atMost, qPrintable(QString::number(inflated)));
    if (read) {
        QCOMPARE(book.sheets.size(), 3);
        QCOMPARE(book.sheets.last().cells().size(), size_t(1));
    }
}

QTEST_GUILESS_MAIN(TestMeasurementFile)
#include "test_measurementfile.moc"

namespace {

// The files of one run and how it reads back, made under the zone TZ.
struct UnderZone
{
    QByteArray csv, json, xls;
    QDateTime startFromCsv, startFromXlsx;
};

UnderZone filesUnder(const QByteArray &zone, const LoggerData &data)
{
    const QByteArray ownZone = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    auto restore = qScopeGuard([ownZone] {
        if (ownZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", ownZone);
        tzset();
    });
    UnderZone u;
    u.csv = LoggerFiles::csv(data);
    u.json = LoggerFiles::json(data);
    u.xls = XlsWriter::toBytes(LoggerFiles::workbook(data));
    QString why;
    const QByteArray xlsx = XlsxWriter::toBytes(LoggerFiles::workbook(data, true), &why);
    Measurement m;
    if (MeasurementReader::readBytes(u.csv, MeasurementReader::Kind::Csv, &m, &why))
        u.startFromCsv = m.logger.runs.value(0).start;
    if (MeasurementReader::readBytes(xlsx, MeasurementReader::Kind::Xlsx, &m, &why))
        u.startFromXlsx = m.logger.runs.value(0).start;
    return u;
}

} // namespace

void TestMeasurementFile::clockWithoutZone_data()
{
    // The instrument's reading at the start of a run, taken where the zones
    // below change their clocks (Berlin: last Sundays of March and October;
    // New York: second Sunday of March; Lord Howe: by half an hour on the
    // first Sundays of April and October).
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("samples");
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return InstrumentClock::at(QDate(y, mo, d), QTime(h, mi, s));
    };
    QTest::newRow("starting in the hour Berlin's spring skips")
        << at(2024, 3, 31, 2, 30, 0) << 600 << 12;
    QTest::newRow("Berlin's autumn hour runs on without a repeat")
        << at(2024, 10, 27, 2, 20, 0) << 300 << 40;
    QTest::newRow("New York's spring hour") << at(2024, 3, 10, 1, 50, 7) << 60 << 30;
    QTest::newRow("Lord Howe's half hour back") << at(2024, 4, 7, 1, 45, 0) << 60 << 60;
    QTest::newRow("daily over a year: every change") << at(2024, 3, 1, 2, 30, 0) << 86400 << 250;
    QTest::newRow("over New Year's midnight") << at(2024, 12, 31, 23, 59, 50) << 1 << 20;
}

// The instrument's clock has no zone: the files hold its reading as it is,
// byte for byte the same whatever this PC's zone, and read back to it.
void TestMeasurementFile::clockWithoutZone()
{
    QFETCH(QDateTime, start);
    QFETCH(int, interval);
    QFETCH(int, samples);
    LoggerData data;
    data.instrument.model = QStringLiteral("QX101");
    LoggerRunData run;
    run.number = 1;
    run.start = start;
    run.hasStartBytes = true;
    run.intervalSeconds = interval;
    for (int i = 0; i < samples; ++i)
        run.samples << float(i) + 0.25f;
    data.runs << run;

    const UnderZone utc = filesUnder("UTC", data);
    // Sample i at start + i x interval on the reading's own calendar.
    const QList<QByteArray> lines = utc.csv.split('\n');
    const int timeColumn = lines.first().split(',').indexOf("Time");
    QVERIFY(timeColumn > 0);
    QCOMPARE(lines.size(), samples + 3); // header, run row, samples, the last CRLF
    for (int i = 0; i < samples; ++i) {
        const QDateTime expected =
            QDateTime(start.date(), start.time(), Qt::UTC).addSecs(qint64(i) * interval);
        QCOMPARE(QString::fromLatin1(lines.at(i + 2).split(',').at(timeColumn)),
                 expected.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
    }
    QCOMPARE(utc.startFromCsv, start);
    QCOMPARE(utc.startFromXlsx, start);
    for (const QByteArray zone : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe",
                                  "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        const UnderZone there = filesUnder(zone, data);
        QVERIFY2(there.csv == utc.csv, zone.constData());
        QVERIFY2(there.json == utc.json, zone.constData());
        QVERIFY2(there.xls == utc.xls, zone.constData());
        QCOMPARE(there.startFromCsv, start);
        QCOMPARE(there.startFromXlsx, start);
    }
}
