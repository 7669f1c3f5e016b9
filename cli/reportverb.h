#pragma once

// vantrel-cli report: the Logger test report of one run as PDF, the document
// the window prints (LoggerReport::document), with the run's UV figures and,
// with limits, their checks and a PASS or FAIL verdict.

#include "cli/commandline.h"
#include "measurement/loggerdata.h"
#include "measurement/verdict.h"

#include <QByteArray>

namespace Cli {

struct ReportOptions
{
    int run = 0; // --run N; 0: the source's only run
    Verdict::Limits limits;
    QString output; // -o
};

// Reads --run, --limits, --limit-set and -o; false with the message (a
// usage error) when one is wrong or missing.
bool reportOptions(const CommandLine &line, ReportOptions *options, QString *error);

struct ReportResult
{
    QByteArray pdf;
    bool judged = false; // limits were given
    Verdict::Result verdict;
};

// The report of the chosen run of data; false with the message when the run
// is not there. An empty pdf: Qt could not draw it.
bool makeReport(const LoggerData &data, const ReportOptions &options, ReportResult *result,
                QString *error);

// For standard output: "PASS" or "FAIL", then a line per check: key,
// limit, measured value, pass or fail (tab-separated; the limit's unit).
QString verdictLines(const Verdict::Result &verdict);

} // namespace Cli
