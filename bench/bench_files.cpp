// The files vantrel-cli writes from a Logger download of 25 runs x 606
// samples, each against the floor its library sets:
// - csv: CPU of LoggerFiles::csv and the write of its bytes, target 0.5 x
//   the CPU of Python's csv module writing the same rows (the rows read from
//   our file beforehand; python3 measures its own process time around
//   writerows);
// - xlsx: CPU of the workbook layout and XlsxWriter::toBytes, target 1.1 x
//   xlsx_direct, a C program that writes the same cells with
//   libxlsxwriter directly (its own CPU from the first workbook call to
//   workbook_close).
// Each figure is the median of its repetitions (process CPU time, not wall
// time). Usage: bench_files [repetitions]

#include "files/recordexport.h"
#include "files/xlsworkbook.h"
#include "files/xlsxwriter.h"

#include "benchreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <ctime>

namespace {

constexpr int kRuns = 25;
constexpr int kSamplesPerRun = 606;

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

LoggerData loggerData()
{
    LoggerData data;
    for (int r = 0; r < kRuns; ++r) {
        LoggerRunData run;
        run.number = r + 1;
        run.start = QDateTime(QDate(2024, 5, 1 + r), QTime(9, 30, r), Qt::LocalTime);
        run.hasStartBytes = true;
        run.intervalSeconds = 1 + r % 5;
        for (int i = 0; i < kSamplesPerRun; ++i)
            run.samples << 100.0f + float((i * 37 + r * 11) % 9000) / 8.0f;
        data.runs << run;
    }
    return data;
}

// The same cells for the C program: per sheet a line "S name", per cell
// "C row column format kind text", format the centring (0/1) and decimals,
// kind s (text), n (number) or b (blank); "W column width" after a sheet's
// cells for each column XlsxWriter widens.
QByteArray cellDump(const XlsWorkbook &book)
{
    QByteArray out;
    const QStringList names = book.fileSheetNames();
    for (int s = 0; s < book.sheets.size(); ++s) {
        out += "S " + names.at(s).toUtf8() + '\n';
        QVector<int> widths(XlsSheet::maxColumns, 0);
        for (const XlsSheet::Entry &e : book.sheets.at(s).cells()) {
            const XlsCell &c = e.cell;
            out += "C " + QByteArray::number(XlsSheet::rowOf(e.key)) + ' ' +
                   QByteArray::number(XlsSheet::columnOf(e.key)) + ' ' +
                   QByteArray::number(c.centred ? 1 : 0) + ' ' + QByteArray::number(c.decimals);
            if (!c.value.isValid())
                out += " b\n";
            else if (c.value.type() == QVariant::String)
                out += " s " + c.value.toString().toUtf8() + '\n';
            else
                out += " n " + QByteArray::number(c.value.toDouble(), 'g', 17) + '\n';
            int &width = widths[XlsSheet::columnOf(e.key)];
            width = qMax(width, XlsSheet::displayWidth(c));
        }
        for (int c = 0; c < XlsSheet::maxColumns; ++c) {
            if (widths[c] > 8)
                out += "W " + QByteArray::number(c) + ' ' +
                       QByteArray::number(qMin(widths[c] + 2, 100)) + '\n';
        }
    }
    return out;
}

const char *kPython = R"(
import csv, sys, time
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
best = []
for _ in range(int(sys.argv[3])):
    t = time.process_time()
    with open(sys.argv[2], 'w', newline='', encoding='utf-8') as f:
        csv.writer(f, lineterminator='\r\n').writerows(rows)
    best.append(time.process_time() - t)
best.sort()
print(best[len(best) // 2] * 1000)
)";

} // namespace

int main(int argc, char **argv)
{
    Bench::prepareEnvironment();
    QCoreApplication app(argc, argv);
    const int repetitions = qMax(1, app.arguments().value(1, QStringLiteral("9")).toInt());
    QTemporaryDir dir;
    const LoggerData data = loggerData();

    // CSV.
    QVector<double> ours;
    const QString csvPath = dir.filePath(QStringLiteral("runs.csv"));
    for (int i = 0; i < repetitions; ++i) {
        const double t = cpuMs();
        const QByteArray csv = LoggerFiles::csv(data);
        QFile file(csvPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.flush())
            return 1;
        file.close();
        ours << cpuMs() - t;
    }
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(kPython), csvPath,
                  dir.filePath(QStringLiteral("python.csv")), QString::number(repetitions)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        std::fprintf(stderr, "python3 failed: %s\n", python.readAllStandardError().constData());
        return 1;
    }
    const double pythonMs = python.readAllStandardOutput().trimmed().toDouble();
    Bench::report("csv-python-25x606", pythonMs, pythonMs);
    Bench::target("csv-25x606", Bench::median(ours), 0.5 * pythonMs);

    // .xlsx.
    ours.clear();
    XlsWorkbook book;
    for (int i = 0; i < repetitions; ++i) {
        const double t = cpuMs();
        book = LoggerFiles::workbook(data);
        QString why;
        if (XlsxWriter::toBytes(book, &why).isEmpty()) {
            std::fprintf(stderr, "xlsx failed: %s\n", qPrintable(why));
            return 1;
        }
        ours << cpuMs() - t;
    }
    const QString dumpPath = dir.filePath(QStringLiteral("cells.txt"));
    QFile dump(dumpPath);
    if (!dump.open(QIODevice::WriteOnly) || dump.write(cellDump(book)) < 0)
        return 1;
    dump.close();
    QProcess direct;
    direct.start(
        QCoreApplication::applicationDirPath() + QStringLiteral("/xlsx_direct"),
        {dumpPath, dir.filePath(QStringLiteral("direct.xlsx")), QString::number(repetitions)});
    if (!direct.waitForFinished(120000) || direct.exitCode() != 0) {
        std::fprintf(stderr, "xlsx_direct failed: %s\n", direct.readAllStandardError().constData());
        return 1;
    }
    const double directMs = direct.readAllStandardOutput().trimmed().toDouble();
    Bench::report("xlsx-direct-25x606", directMs, directMs);
    Bench::target("xlsx-25x606", Bench::median(ours), 1.1 * directMs);
    return 0;
}
