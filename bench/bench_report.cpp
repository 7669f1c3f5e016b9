// The report PDF benchmark: the Logger report of one run of 606 samples
// (LoggerReport::document: the HTML, the UV figures and a verdict, the curve
// as a vector text object; printed to PDF in memory; written through the
// safe write path), against what its two parts cost on their own: a plain
// QCustomPlot PDF export of the same curve, the least a vector curve of
// these samples can cost, and the report's text printed to PDF without the
// curve. The target is 1.5 x their sum plus 20 ms for the safe write's sync.
// Usage: bench_report [repetitions]

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "files/safefile.h"
#include "plot/loggerreport.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextDocument>

#include <qcustomplot.h>

#include <memory>

namespace {

constexpr int kSamples = 606;


} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    LoggerRunData run;
    run.number = 1;
    run.start = QDateTime(QDate(2024, 12, 1), QTime(10, 0));
    run.hasStartBytes = true;
    run.intervalSeconds = 1;
    for (int i = 0; i < kSamples; ++i)
        run.samples << float(100.0 + (i * 37 % 9000) / 10.0);

    QCustomPlot reference;
    QVector<double> keys;
    QVector<double> values;
    for (int i = 0; i < kSamples; ++i) {
        keys << i;
        values << run.samples.at(i);
    }
    reference.addGraph()->setData(keys, values, true);
    reference.rescaleAxes();
    const double plain = Bench::medianTime(repetitions, [&] {
        reference.savePdf(dir.filePath(QStringLiteral("plain.pdf")), 500, 200);
    });

    LoggerReport::Report report;
    report.fields.device = QStringLiteral("QX101 Vantrel");
    report.run = run;
    report.stamp = QDateTime::currentDateTime();
    QString error;
    Verdict::parse(QStringLiteral("dose-min=10,peak-max=1000,time-above-min=60,threshold=500"),
                   &report.limits, &error);
    const double ours = Bench::medianTime(repetitions, [&] {
        const std::unique_ptr<QTextDocument> document(LoggerReport::document(report));
        const QByteArray pdf = LoggerReport::pdf(document.get());
        if (pdf.isEmpty() ||
            !SafeFile::writeFile(dir.filePath(QStringLiteral("report.pdf")), pdf, &error))
            qFatal("report failed: %s", qPrintable(error));
    });

    // The text alone: the same HTML printed to PDF without the curve.
    QTextDocument text;
    text.setHtml(LoggerReport::html(report));
    const double textPdf = Bench::medianTime(repetitions, [&] {
        if (LoggerReport::pdf(&text).isEmpty())
            qFatal("the text's PDF failed");
    });

    Bench::target("report-pdf-606", ours, 1.5 * (plain + textPdf) + 20);
    return 0;
}
