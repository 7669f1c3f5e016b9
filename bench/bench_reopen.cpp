// Reopening saved measurements, and the UV figures.
//
// reopen-<kind>: a Logger download of 25 runs x 606 samples saved as JSON,
// CSV, .xls and .xlsx (as "Save Data" and vantrel-cli write them), read back
// into values. The reference printed is reading the same file's bytes from disk
// (the page cache), so the ratio says how many times the parsing costs the
// reading: a reference, not a floor any reader reaches.
// uv-figures-25x606: computing the figures of those 25 runs, target 1 ms.
#include "bench/benchreport.h"

#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"

#include <QTemporaryDir>
#include <QtMath>

namespace {

LoggerData download()
{
    LoggerData data;
    data.instrument.model = QStringLiteral("QX101");
    data.instrument.serialNumber = 24030117;
    for (int k = 0; k < 25; ++k) {
        LoggerRunData run;
        run.number = k + 1;
        run.start = QDateTime(QDate(2024, 5, 6), QTime(9, 30, 0)).addSecs(k * 7200);
        run.hasStartBytes = true;
        run.intervalSeconds = 10;
        for (int i = 0; i < 606; ++i)
            run.samples << float(900 + 400 * qSin(i / 40.0 + k) + (i % 7) * 0.25);
        data.runs << run;
    }
    return data;
}


} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const LoggerData data = download();
    QString why;
    const QList<QPair<QString, QByteArray>> files = {
        {QStringLiteral("json"), LoggerFiles::json(data)},
        {QStringLiteral("csv"), Csv::withByteOrderMark(LoggerFiles::csv(data))},
        {QStringLiteral("xls"), XlsWriter::toBytes(LoggerFiles::workbook(data))},
        {QStringLiteral("xlsx"), XlsxWriter::toBytes(LoggerFiles::workbook(data), &why)},
    };
    int failures = 0;
    for (const auto &[kind, bytes] : files) {
        const QString path = dir.filePath(QStringLiteral("runs.") + kind);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return 1;
        out.close();
        Measurement m;
        QString error;
        const double reading = Bench::medianTime(20, [&] {
            QFile in(path);
            in.open(QIODevice::ReadOnly);
            volatile int size = in.readAll().size();
            (void)size;
        });
        const double opening = Bench::medianTime(10, [&] {
            if (!MeasurementReader::read(path, &m, &error) || m.logger.runs.size() != 25)
                ++failures;
        });
        Bench::reference(qPrintable(QStringLiteral("reopen-") + kind), opening, reading);
    }
    double sink = 0;
    const double figures = Bench::medianTime(50, [&] {
        for (const LoggerRunData &run : data.runs)
            sink += UvFigures::compute(run.samples, run.intervalSeconds).dose;
    });
    Bench::target("uv-figures-25x606", figures, 1.0);
    return failures == 0 && sink > 0 ? 0 : 1;
}
