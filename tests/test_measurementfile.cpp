// Saved measurements open again: every kind of file the program writes, read
// back to the values written, and files that are not what they seem.
#include "download/loggerrun.h"
#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/workbooklayout.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"
#include "protocol/modeltable.h"
#include "sim/simprofile.h"
#include "simdata.h"

#include <QtTest>

class TestMeasurementFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void badFiles_data();
    void badFiles();
    void messagesInChinese();
    void loggerCsvTimes_data();
    void loggerCsvTimes();
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
        return Csv::withByteOrderMark(logger ? LoggerFiles::csv(loggerData())
                                             : MeterFiles::csv(meterData()));
    const XlsWorkbook book =
        logger ? LoggerFiles::workbook(loggerData()) : MeterFiles::workbook(meterData());
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
        QTest::addRow("%s json", family) << family << "json" << true << true;
        QTest::addRow("%s csv", family)
            << family << "csv" << (family == QByteArray("logger")) << false;
        QTest::addRow("%s xls", family) << family << "xls" << false << false;
        QTest::addRow("%s xlsx", family) << family << "xlsx" << false << false;
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

QTEST_GUILESS_MAIN(TestMeasurementFile)
#include "test_measurementfile.moc"

void TestMeasurementFile::loggerCsvTimes_data()
{
    // Local times in a zone with summer time: Berlin moves its clocks on at
    // 01:00 UTC on the last Sunday of March and back on the last Sunday of
    // October.
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("offsetChanges"); // how often the run's offset changes
    QTest::addColumn<QByteArray>("zone");   // TZ
    QByteArray zone = "Europe/Berlin";
    // An instant in UTC where the wall clock is ambiguous.
    auto utc = [](const char *text) {
        return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toUTC();
    };
    QTest::newRow("an ordinary day, one sample a second")
        << QDateTime(QDate(2024, 5, 6), QTime(9, 30), Qt::LocalTime) << 1 << 606 << 0 << zone;
    QTest::newRow("spring forward: 01:59 to 03:00")
        << QDateTime(QDate(2024, 3, 31), QTime(1, 50, 7), Qt::LocalTime) << 60 << 30 << 1 << zone;
    QTest::newRow("fall back: 02:59 CEST to 02:00 CET, the hour twice")
        << utc("2024-10-27T00:20:00Z") << 300 << 40 << 1 << zone;
    QTest::newRow("a sample exactly at the change")
        << utc("2024-10-27T00:59:00Z") << 60 << 3 << 1 << zone;
    QTest::newRow("over New Year's midnight")
        << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 50), Qt::LocalTime) << 1 << 20 << 0 << zone;
    QTest::newRow("daily for most of a year: both changes")
        << QDateTime(QDate(2024, 3, 1), QTime(2, 30), Qt::LocalTime) << 86400 << 250 << 2 << zone;
    QTest::newRow("starting in the hour spring skips")
        << QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::LocalTime) << 600 << 12 << 0 << zone;
    QTest::newRow("before 1970: a clock never set")
        << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 58), Qt::LocalTime) << 1 << 4 << 0 << zone;
    QTest::newRow("no interval: every sample at the start")
        << QDateTime(QDate(2024, 3, 31), QTime(1, 59, 59), Qt::LocalTime) << 0 << 3 << 0 << zone;
    // The same zone as a rule of the C library's own (TZ in the POSIX form),
    // which the zone tables need not know.
    zone = "CET-1CEST,M3.5.0,M10.5.0/3";
    QTest::newRow("a rule for a zone: daily for most of a year")
        << QDateTime(QDate(2024, 3, 1), QTime(2, 30), Qt::LocalTime) << 86400 << 250 << 2 << zone;
    QTest::newRow("a rule for a zone: fall back")
        << utc("2024-10-27T00:20:00Z") << 300 << 40 << 1 << zone;
}

// The sample rows' times are start.addSecs((i - 1) x interval) in local time,
// whatever summer time does meanwhile.
void TestMeasurementFile::loggerCsvTimes()
{
    QFETCH(QDateTime, start);
    QFETCH(int, interval);
    QFETCH(int, samples);
    QFETCH(int, offsetChanges);
    QFETCH(QByteArray, zone);
    const QByteArray ownZone = qgetenv("TZ");
    qputenv("TZ", zone);
    auto restore = qScopeGuard([ownZone] {
        if (ownZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", ownZone);
    });
    // The row's wall clock in the zone (an instant given in UTC shown there).
    start = start.timeSpec() == Qt::UTC
                ? QDateTime::fromMSecsSinceEpoch(start.toMSecsSinceEpoch(), Qt::LocalTime)
                : QDateTime(start.date(), start.time(), Qt::LocalTime);

    LoggerData data;
    LoggerRunData run;
    run.number = 3;
    run.start = start;
    run.hasStartBytes = true;
    run.intervalSeconds = interval;
    for (int i = 0; i < samples; ++i)
        run.samples << float(i) + 0.5f;
    data.runs << run;
    const QList<QByteArray> lines = LoggerFiles::csv(data).split('\n');
    const QList<QByteArray> header = lines.first().trimmed().split(',');
    const int timeColumn = header.indexOf("Time");
    QVERIFY(timeColumn > 0);
    QCOMPARE(lines.size(), samples + 3); // header, run row, samples, the last CRLF

    int changes = 0;
    for (int i = 0; i < samples; ++i) {
        const QDateTime expected = start.addSecs(qint64(i) * interval);
        const QList<QByteArray> fields = lines.at(i + 2).trimmed().split(',');
        QCOMPARE(fields.first(), QByteArray("sample"));
        QCOMPARE(QString::fromLatin1(fields.at(timeColumn)),
                 expected.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
        if (i > 0 &&
            expected.offsetFromUtc() != start.addSecs(qint64(i - 1) * interval).offsetFromUtc())
            ++changes;
    }
    // The zone took effect: the run sees the changes it was chosen for.
    QCOMPARE(changes, offsetChanges);
}
