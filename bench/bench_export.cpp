// Benchmark (not a test): the Logger page's "Save Data" through ExcelEngine.
// A 26-sheet workbook: the run table (25 rows x 7 columns) on sheet 1 with
// writeTable, then one sheet per run with writeRows ("NUM"/"VAL" and 606
// samples), each run after openSheet(k + 1), which saves and reopens the
// workbook. Prints the time, the final file size and the bytes written by all
// the saves together. Usage: bench_export [repetitions [copy of the last file]]

#include "export/excelengine.h"
#include "files/workbooktemplate.h"
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int runs = 25;
constexpr int samplesPerRun = 606;

struct Result
{
    double ms = 0;
    qint64 finalBytes = 0;
    qint64 writtenBytes = 0;
    bool ok = false;
};

Result exportOnce(const QString &templatePath, const QString &file, QTableWidget &table,
                  const QList<QList<QList<QVariant>>> &runRows)
{
    Result result;
    QFile::remove(file);
    QElapsedTimer timer;
    timer.start();
    if (!QFile::copy(templatePath, file))
        return result;
    ExcelEngine engine(file);
    if (!engine.openSheet(1) || !engine.writeTable(&table))
        return result;
    result.writtenBytes += QFileInfo(file).size(); // writeTable saved
    for (int r = 0; r < runs; ++r) {
        if (!engine.openSheet(r + 2))
            return result;
        if (r > 0)
            result.writtenBytes += QFileInfo(file).size(); // the reopen saved run r - 1
        if (!engine.writeRows(runRows.at(r)))
            return result;
    }
    engine.saveBook();
    engine.closeBook();
    result.ms = timer.nsecsElapsed() / 1e6;
    result.finalBytes = QFileInfo(file).size();
    result.writtenBytes += result.finalBytes;
    result.ok = true;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    const int repetitions = qMax(1, app.arguments().value(1, QStringLiteral("5")).toInt());

    QTemporaryDir dir;
    QString templatePath = dataWorkbookTemplatePath();
    if (!QFileInfo(templatePath).isFile()) {
        XlsWorkbook book;
        for (int i = 1; i <= runs + 1; ++i)
            book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
        templatePath = dir.filePath(QStringLiteral("Data.xls"));
        XlsWriter::save(book, templatePath);
    }

    QTableWidget table(runs, 7);
    table.setHorizontalHeaderLabels({"NO", "Start Time", "Duration(S)", "Rec(μW/cm²)",
                                     "Max(μW/cm²)", "Min(μW/cm²)", "Avg(μW/cm²)"});
    QList<QList<QList<QVariant>>> runRows;
    for (int r = 0; r < runs; ++r) {
        const QStringList texts{QString::number(r + 1),
                                QStringLiteral("2024-12-%1 10:00:00").arg(r + 1, 2, 10, QChar('0')),
                                QString::number(samplesPerRun),
                                QString::number(1000 + r, 'f', 1),
                                QString::number(2000 + r * 3.5, 'f', 1),
                                QString::number(10 + r * 0.25, 'f', 2),
                                QString::number(1500 + r * 1.5, 'f', 2)};
        for (int c = 0; c < 7; ++c)
            table.setItem(r, c, new QTableWidgetItem(texts.at(c)));
        QList<QList<QVariant>> rows{{QStringLiteral("NUM"), QStringLiteral("VAL")}};
        for (int i = 0; i < samplesPerRun; ++i)
            rows.append({QString::number(i + 1),
                         QString::number(100.0 + ((i * 37 + r * 11) % 9000) / 10.0, 'f', 1)});
        runRows.append(rows);
    }

    std::vector<Result> results;
    for (int i = 0; i < repetitions; ++i) {
        const Result result =
            exportOnce(templatePath, dir.filePath(QStringLiteral("bench.xls")), table, runRows);
        if (!result.ok) {
            std::fprintf(stderr, "export failed\n");
            return 1;
        }
        results.push_back(result);
    }
    const QString keep = app.arguments().value(2);
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(dir.filePath(QStringLiteral("bench.xls")), keep);
    }
    std::sort(results.begin(), results.end(),
              [](const Result &a, const Result &b) { return a.ms < b.ms; });
    const Result &median = results[results.size() / 2];
    const double finalMb = median.finalBytes / 1e6;
    const double writtenMb = median.writtenBytes / 1e6;
    std::printf("export of %d sheets (table %dx7, %d runs x %d samples), %d repetitions\n",
                runs + 1, runs, runs, samplesPerRun, repetitions);
    std::printf("time: median %.1f ms, best %.1f ms\n", median.ms, results.front().ms);
    std::printf("final file: %lld bytes (%.3f MB) -> %.1f ms per MB of file\n",
                static_cast<long long>(median.finalBytes), finalMb, median.ms / finalMb);
    std::printf("all saves: %lld bytes (%.3f MB) -> %.1f ms per MB written (target < 50)\n",
                static_cast<long long>(median.writtenBytes), writtenMb, median.ms / writtenMb);
    return 0;
}
