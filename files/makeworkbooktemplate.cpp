// Build tool: writes the workbook template "Data.xls" that the Logger page
// copies for "Save Data" (the run table on sheet 1, one run per following
// sheet). Usage: vantrel_make_template <output file> <number of sheets>
#include "files/xlsworkbook.h"
#include "files/xlswriter.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int sheets = args.value(2).toInt(&ok);
    if (args.size() != 3 || !ok || sheets < 1 || sheets > 255) {
        std::fprintf(stderr, "usage: vantrel_make_template <file> <sheets 1..255>\n");
        return 2;
    }
    XlsWorkbook book;
    for (int i = 1; i <= sheets; ++i)
        book.sheets.append(XlsSheet(QStringLiteral("Sheet%1").arg(i)));
    QString error;
    if (!XlsWriter::save(book, args.at(1), &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(args.at(1)), qPrintable(error));
        return 1;
    }
    return 0;
}
