// "Save Data" benchmarks of the Logger's workbook, through ExcelEngine as the
// page calls it (replace mode from the template: the run table on sheet 1,
// then one sheet per run after openSheet(k + 2), one save at the end):
// - direct-save-25: one XlsWriter::save of the finished 26-sheet workbook,
//   the least any "Save Data" can cost (its bound is itself);
// - save-data-25: the page's sequence for 25 runs of 606 samples, bound 2 x
//   direct-save-25 (and the goal: 1.5 x direct-save-25);
// - save-data-100: the same for 100 runs, bound 4.5 x save-data-25 (linear).
// Usage: bench_export [repetitions]

#include "export/excelengine.h"
#include "files/workbooktemplate.h"
#include "files/xlsworkbook.h"
#include "files/xlsreader.h"
#include "files/xlswriter.h"

#include "benchreport.h"

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

constexpr int kSamplesPerRun = 606;

struct Data
{
    QTableWidget table;
    QList<QList<QVariant>> header{{QStringLiteral("NUM"), QStringLiteral("VAL")}};
    QList<QList<QList<QVariant>>> runRows;
};

void fill(Data *d, int runs)
{
    d->table.setRowCount(runs);
    d->table.setColumnCount(7);
    d->table.setHorizontalHeaderLabels({"NO", "Start Time", "Duration(S)", "Rec(μW/cm²)",
                                        "Max(μW/cm²)", "Min(μW/cm²)", "Avg(μW/cm²)"});
    for (int r = 0; r < runs; ++r) {
        const QStringList texts{QString::number(r + 1),
                                QStringLiteral("2024-12-%1 10:00:00").arg(r % 28 + 1, 2, 10, QChar('0')),
                                QString::number(kSamplesPerRun),
                                QString::number(1000 + r, 'f', 1),
                                QString::number(2000 + r * 3.5, 'f', 1),
                                QString::number(10 + r * 0.25, 'f', 2),
                                QString::number(1500 + r * 1.5, 'f', 2)};
        for (int c = 0; c < 7; ++c)
            d->table.setItem(r, c, new QTableWidgetItem(texts.at(c)));
        QList<QList<QVariant>> rows = d->header;
        for (int i = 0; i < kSamplesPerRun; ++i)
            rows.append({QString::number(i + 1),
                         QString::number(100.0 + ((i * 37 + r * 11) % 9000) / 10.0, 'f', 1)});
        d->runRows.append(rows);
    }
}

QString makeTemplate(const QString &path, int sheets)
{
    XlsWorkbook book;
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    return XlsWriter::save(book, path) ? path : QString();
}

// The page's "Save Data" sequence; its time in ms, or -1 on failure.
double saveData(const QString &templatePath, const QString &file, Data &d)
{
    QElapsedTimer timer;
    timer.start();
    ExcelEngine engine(file, templatePath);
    if (!engine.openSheet(1) || !engine.writeTable(&d.table))
        return -1;
    for (int r = 0; r < d.runRows.size(); ++r) {
        if (!engine.openSheet(r + 2) || !engine.writeRows(d.runRows.at(r)))
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
    Data runs25, runs100;
    fill(&runs25, 25);
    fill(&runs100, 100);

    QVector<double> save25, save100, direct25;
    const QString file = dir.filePath(QStringLiteral("bench.xls"));
    const QString direct = dir.filePath(QStringLiteral("direct.xls"));
    for (int i = 0; i < repetitions; ++i) {
        const double ms25 = saveData(template25, file, runs25);
        // The same workbook, written in one go.
        XlsWorkbook book;
        if (ms25 < 0 || XlsReader::load(file, &book) != XlsReader::Result::Ok) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        QElapsedTimer timer;
        timer.start();
        if (!XlsWriter::save(book, direct))
            return 1;
        direct25 << timer.nsecsElapsed() / 1e6;
        save25 << ms25;
        const double ms100 = saveData(template100, file, runs100);
        if (ms100 < 0) {
            std::fprintf(stderr, "save of 100 runs failed\n");
            return 1;
        }
        save100 << ms100;
    }
    const double d25 = Bench::median(direct25);
    const double s25 = Bench::median(save25);
    Bench::report("direct-save-25", d25, d25);
    Bench::report("save-data-25", s25, 2 * d25);
    Bench::target("save-data-25-goal", s25, 1.5 * d25);
    Bench::report("save-data-100", Bench::median(save100), 4.5 * s25);
    return 0;
}
