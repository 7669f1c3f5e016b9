#include "cli/plotverb.h"

#include "cli/commandline.h"

#include <QRegularExpression>

#include <qcustomplot.h>

namespace Cli {

QList<int> PlotRequest::sourceRuns() const
{
    QList<int> numbers = runs;
    // Only the first run: from the instrument that is run 1.
    if (numbers.isEmpty() && !overlay && source.isEmpty())
        numbers << 1;
    if (!numbers.isEmpty() && referenceRun > 0 && !numbers.contains(referenceRun))
        numbers << referenceRun;
    return numbers;
}

bool parsePlot(const CommandLine &line, PlotRequest *request, QString *error)
{
    auto refuse = [error](const QString &message) {
        *error = message;
        return false;
    };
    PlotRequest r;
    if (line.positional.size() > 1)
        return refuse(QStringLiteral("plot takes one file, not %1").arg(line.positional.size()));
    r.source = line.positional.value(0);
    for (const QString &text : line.values("run")) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < 1)
            return refuse(QStringLiteral("--run takes a run number from 1, not \"%1\"").arg(text));
        if (r.runs.contains(n))
            return refuse(QStringLiteral("run %1 is given twice").arg(n));
        r.runs << n;
    }
    r.overlay = line.has("overlay");
    if (line.has("reference-run") && line.has("reference"))
        return refuse(QStringLiteral("give --reference-run or --reference, not both"));
    if (line.has("reference-run")) {
        bool ok = false;
        r.referenceRun = line.value("reference-run").toInt(&ok);
        if (!ok || r.referenceRun < 1)
            return refuse(QStringLiteral("--reference-run takes a run number from 1"));
    }
    r.referenceFile = line.value("reference");
    if (line.has("tolerance")) {
        if (!line.has("reference-run") && !line.has("reference"))
            return refuse(QStringLiteral("--tolerance is the band around a reference: give "
                                         "--reference-run or --reference"));
        bool ok = false;
        r.options.tolerancePercent = line.value("tolerance").toDouble(&ok);
        if (!ok || !(r.options.tolerancePercent > 0) || r.options.tolerancePercent > 1000)
            return refuse(QStringLiteral("--tolerance takes a percentage above 0 and at most "
                                         "1000"));
    }
    const QString time = line.value("time");
    if (time == QLatin1String("clock"))
        r.options.time = RunPlot::TimeAxis::Clock;
    else if (!time.isEmpty() && time != QLatin1String("elapsed"))
        return refuse(QStringLiteral("--time takes clock or elapsed, not \"%1\"").arg(time));
    const QString align = line.value("align");
    if (align == QLatin1String("window"))
        r.options.alignment = RunComparison::Alignment::ExposureWindow;
    else if (!align.isEmpty() && align != QLatin1String("start"))
        return refuse(QStringLiteral("--align takes start or window, not \"%1\"").arg(align));
    if (line.has("size")) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"))
                .match(line.value("size"));
        if (!m.hasMatch())
            return refuse(QStringLiteral("--size takes WIDTHxHEIGHT in pixels, such as 1000x500"));
        r.size.width = m.captured(1).toInt();
        r.size.height = m.captured(2).toInt();
    }
    if (line.has("dpi")) {
        bool ok = false;
        r.size.dpi = line.value("dpi").toInt(&ok);
        if (!ok)
            return refuse(QStringLiteral("--dpi takes a whole number of dots per inch"));
    }
    if (!PlotExport::sizeOk(r.size, error))
        return false;
    r.output = line.value("output");
    if (r.output.isEmpty() || r.output == QLatin1String("-"))
        return refuse(QStringLiteral("plot needs -o FILE (.svg, .png, .jpg or .pdf)"));
    if (!PlotExport::formatOf(r.output, &r.format))
        return refuse(
            QStringLiteral("%1: the file name ends in .svg, .png, .jpg or .pdf").arg(r.output));
    *request = r;
    return true;
}

PlotResult drawPlot(const PlotRequest &request, const LoggerData &source,
                    const LoggerData &reference)
{
    PlotResult result;
    auto failWith = [&result](int exit, const QString &message) {
        result.exit = exit;
        result.error = message;
        return result;
    };
    auto byNumber = [&source](int number) -> const LoggerRunData * {
        for (const LoggerRunData &run : source.runs) {
            if (run.number == number)
                return &run;
        }
        return nullptr;
    };

    QList<LoggerRunData> runs;
    if (!request.runs.isEmpty()) {
        for (const int n : request.runs) {
            const LoggerRunData *run = byNumber(n);
            if (!run)
                return failWith(Usage, QStringLiteral("there is no run %1").arg(n));
            runs << *run;
        }
    } else if (request.overlay) {
        runs = source.runs;
    } else if (!source.runs.isEmpty()) {
        runs << source.runs.first();
    }
    if (runs.isEmpty())
        return failWith(Usage, QStringLiteral("there is no run to plot"));

    RunPlot::Options options = request.options;
    if (request.referenceRun > 0) {
        for (int i = 0; i < runs.size() && options.reference < 0; ++i) {
            if (runs.at(i).number == request.referenceRun)
                options.reference = i;
        }
        if (options.reference < 0) {
            const LoggerRunData *run = byNumber(request.referenceRun);
            if (!run)
                return failWith(Usage, QStringLiteral("there is no run %1 for the reference")
                                           .arg(request.referenceRun));
            options.reference = runs.size();
            runs << *run;
        }
    } else if (!request.referenceFile.isEmpty()) {
        if (reference.runs.isEmpty())
            return failWith(
                Usage,
                QStringLiteral("%1 holds no run for the reference").arg(request.referenceFile));
        options.reference = runs.size();
        runs << reference.runs.first();
    }

    QCustomPlot plot;
    // Emptied before it goes: its own teardown grows with the square of the
    // runs and more.
    struct Cleared
    {
        QCustomPlot *plot;
        ~Cleared() { RunPlot::clear(plot); }
    } cleared{&plot};
    const RunPlot::Layout layout = RunPlot::show(&plot, runs, options);
    if (!layout.error.isEmpty())
        return failWith(Usage, layout.error);
    if (!layout.timeNote.isEmpty())
        result.warnings << layout.timeNote;
    for (int i = 0; i < layout.bands.size(); ++i) {
        if (i == options.reference)
            continue;
        const RunComparison::Band &band = layout.bands.at(i);
        result.lines << QStringLiteral("run %1: %2 % of %3 compared samples inside the band, "
                                       "%4 excursions")
                            .arg(runs.at(i).number)
                            .arg(band.insideShare * 100, 0, 'f', 1)
                            .arg(band.compared)
                            .arg(band.excursions.size());
    }
    QString error;
    if (!PlotExport::write(&plot, request.output, request.format, request.size, &error))
        return failWith(FileError, error);
    return result;
}

} // namespace Cli
