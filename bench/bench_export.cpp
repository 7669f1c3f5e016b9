// "Save Data" benchmarks of the Logger's workbook, through ExcelEngine as the
// page calls it, from its runs on (replace mode from the template: the run
// table on sheet 1, then one sheet per run after openSheet(k + 2), one save
// at the end):
// - direct-save-25: one XlsWriter::save of the finished 26-sheet workbook,
//   the least any "Save Data" can cost (its bound is itself);
// - save-data-25: the page's sequence for 25 runs of 606 samples, bound 2 x
//   direct-save-25 (and the goal: 1.5 x direct-save-25);
// - save-data-100: the same for 100 runs, bound 1.5 x direct-save-100 (one
//   XlsWriter::save of that 101-sheet workbook).
// Usage: bench_export [repetitions]

#include "export/excelengine.h"
#include "files/workbooklayout.h"
#include "files/workbooktemplate.h"
#include "files/xlsworkbook.h"
#include "files/xlsreader.h"
#include "files/xlswriter.h"

#include "benchreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSamplesPerRun = 606;

LoggerData fill(int runs)
{
    LoggerData d;
    for (int r = 0; r < runs; ++r) {
        LoggerRunData run;
        run.start = QDateTime(QDate(2024, 12, r % 28 + 1), QTime(10, 0));
        run.intervalSeconds = 1;
        for (int i = 0; i < kSamplesPerRun; ++i)
            run.samples.append(float(100.0 + ((i * 37 + r * 11) % 9000) / 10.0));
        d.runs.append(run);
    }
    return d;
}

QString makeTemplate(const QString &path, int sheets)
{
    XlsWorkbook book;
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    return XlsWriter::save(book, path) ? path : QString();
}

// The page's "Save Data" sequence (logger/loggersave.cpp) from the runs on:
// the run table, then each run's block; its time in ms, or -1 on failure.
double saveData(const QString &templatePath, const QString &file, const LoggerData &d)
{
    QElapsedTimer timer;
    timer.start();
    ExcelEngine engine(file, templatePath);
    if (!engine.openSheet(1) || !engine.writeTable(WorkbookLayout::loggerTable(d)))
        return -1;
    for (int r = 0; r < d.runs.size(); ++r) {
        if (!engine.openSheet(r + 2) ||
            !engine.writeBlock(WorkbookLayout::runBlock(d.runs.at(r))))
            return -1;
    }
    const bool saved = engine.saveBook();
    engine.closeBook();
    return saved ? timer.nsecsElapsed() / 1e6 : -1;
}

} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QApplication app(argc, argv);
    const int repetitions = qMax(1, app.arguments().value(1, QStringLiteral("5")).toInt());

    QTemporaryDir dir;
    QString template25 = dataWorkbookTemplatePath();
    if (!QFileInfo(template25).isFile())
        template25 = makeTemplate(dir.filePath(QStringLiteral("Data.xls")), 26);
    const QString template100 = makeTemplate(dir.filePath(QStringLiteral("Data100.xls")), 101);
    const LoggerData runs25 = fill(25), runs100 = fill(100);

    QVector<double> save25, save100, direct25, direct100;
    // Each save replaces a file of its own size, as the direct save does.
    const QString file = dir.filePath(QStringLiteral("bench.xls"));
    const QString file100 = dir.filePath(QStringLiteral("bench100.xls"));
    // The same workbook, written in one go; its time in ms, or -1.
    const auto directSave = [](const QString &from, const QString &to) {
        XlsWorkbook book;
        if (XlsReader::load(from, &book) != XlsReader::Result::Ok)
            return -1.0;
        QElapsedTimer timer;
        timer.start();
        return XlsWriter::save(book, to) ? timer.nsecsElapsed() / 1e6 : -1.0;
    };
    // Each size in a loop of its own, so that what a save of one size
    // leaves to the file system does not weigh on the other.
    struct Size
    {
        const QString &templatePath;
        const QString &file;
        const LoggerData &runs;
        QVector<double> *save, *direct;
    };
    const Size sizes[] = {{template25, file, runs25, &save25, &direct25},
                          {template100, file100, runs100, &save100, &direct100}};
    for (const Size &size : sizes) {
        for (int i = 0; i < repetitions; ++i) {
            // The direct save replaces the file "Save Data" wrote with the
            // same bytes, as the next "Save Data" replaces it.
            const double ms = saveData(size.templatePath, size.file, size.runs);
            const double direct = ms < 0 ? -1 : directSave(size.file, size.file);
            if (ms < 0 || direct < 0) {
                std::fprintf(stderr, "save failed\n");
                return 1;
            }
            *size.save << ms;
            *size.direct << direct;
        }
    }
    const double d25 = Bench::median(direct25);
    const double s25 = Bench::median(save25);
    Bench::report("direct-save-25", d25, d25);
    Bench::report("save-data-25", s25, 2 * d25);
    Bench::target("save-data-25-goal", s25, 1.5 * d25);
    Bench::report("save-data-100", Bench::median(save100), 1.5 * Bench::median(direct100));
    return 0;
}
