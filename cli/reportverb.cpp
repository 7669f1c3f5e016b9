#include "cli/reportverb.h"

#include "plot/limitsets.h"
#include "plot/loggerreport.h"

#include <QDateTime>
#include <QStringList>
#include <QTextDocument>

#include <memory>

namespace Cli {

bool reportOptions(const CommandLine &line, ReportOptions *options, QString *error)
{
    ReportOptions o;
    if (line.has("run")) {
        bool ok = false;
        o.run = line.value("run").toInt(&ok);
        if (!ok || o.run < 1) {
            *error = QStringLiteral("--run takes a run number from 1");
            return false;
        }
    }
    if (line.has("limits") && line.has("limit-set")) {
        *error = QStringLiteral("give --limits or --limit-set, not both");
        return false;
    }
    if (line.has("limits") && !Verdict::parse(line.value("limits"), &o.limits, error)) {
        *error = QStringLiteral("--limits: %1").arg(*error);
        return false;
    }
    if (line.has("limit-set") && !LimitSets::load(line.value("limit-set"), &o.limits)) {
        const QStringList names = LimitSets::names();
        *error = QStringLiteral("there is no limit set \"%1\"; %2")
                     .arg(line.value("limit-set"),
                          names.isEmpty()
                              ? QStringLiteral("none is saved")
                              : QStringLiteral("the sets are ") + names.join(QLatin1String(", ")));
        return false;
    }
    if (!line.has("output")) {
        *error = QStringLiteral("report needs -o FILE.pdf");
        return false;
    }
    o.output = line.value("output");
    *options = o;
    return true;
}

bool makeReport(const LoggerData &data, const ReportOptions &options, ReportResult *result,
                QString *error)
{
    const LoggerRunData *run = nullptr;
    QStringList numbers;
    for (const LoggerRunData &r : data.runs) {
        numbers << QString::number(r.number);
        if (r.number == options.run || (options.run == 0 && data.runs.size() == 1))
            run = &r;
    }
    if (!run) {
        if (data.runs.isEmpty())
            *error = QStringLiteral("there is no run to report");
        else if (options.run == 0)
            *error = QStringLiteral("there are runs %1: choose one with --run N")
                         .arg(numbers.join(QLatin1String(", ")));
        else
            *error = QStringLiteral("there is no run %1; the runs are %2")
                         .arg(options.run)
                         .arg(numbers.join(QLatin1String(", ")));
        return false;
    }

    // The fields as the window fills them from a row of the Logger table.
    const QStringList texts = run->rowTexts();
    LoggerReport::Report report;
    report.fields.device = data.instrument.model + QStringLiteral(" Vantrel");
    if (data.instrument.serialNumber)
        report.fields.serialNo = QString::number(data.instrument.serialNumber);
    report.fields.startTime = texts.value(1);
    report.fields.duration = texts.value(2) + QStringLiteral("S");
    report.fields.powerRec = texts.value(3);
    report.fields.powerMax = texts.value(4);
    report.fields.powerMin = texts.value(5);
    report.fields.powerAvg = texts.value(6);
    report.run = *run;
    report.stamp = QDateTime::currentDateTime();
    report.limits = options.limits;
    report.roundedSamples = data.roundedSamples;

    const std::unique_ptr<QTextDocument> document(LoggerReport::document(report));
    result->pdf = LoggerReport::pdf(document.get());
    result->judged = options.limits.any();
    result->verdict = LoggerReport::analyse(report.run, report.rule, report.limits).verdict;
    return true;
}

QString verdictLines(const Verdict::Result &verdict)
{
    QString text = verdict.pass ? QStringLiteral("PASS\n") : QStringLiteral("FAIL\n");
    // The values as they were compared, as the report shows them.
    for (const Verdict::Check &c : verdict.checks)
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(c.key)
                    .arg(c.limit, 0, 'g', 12)
                    .arg(Verdict::figureText(c.measured))
                    .arg(c.passed ? QStringLiteral("pass") : QStringLiteral("fail"));
    return text;
}

} // namespace Cli
