#pragma once

#include "measurement/doseunit.h"
#include "measurement/loggerdata.h"
#include "measurement/uvfigures.h"
#include "measurement/verdict.h"

#include <QDateTime>
#include <QString>

class QTextDocument;

// The Logger test report: the instrument's identity, the run's start time
// and duration, its four power values and its curve, the run's UV figures
// and, with limits, their checks and a PASS or FAIL verdict, then the four
// free-text entries. Labels are translated in the context
// "ReportPageForLogger". Every value is text: it is escaped, never read as
// markup, and an empty one keeps its underlined cell.
namespace LoggerReport {

struct Fields
{
    QString device; // display name followed by " Vantrel"
    QString serialNo;
    QString startTime;
    QString duration; // with its "S"
    QString testLight;
    QString company;
    QString tester;
    QString auditor;
    QString powerRec;
    QString powerMax;
    QString powerMin;
    QString powerAvg;
};

// The UV figures part under the data table.
struct Analysis
{
    UvFigures::Options options; // the rule; the threshold when the limits set one
    UvFigures::Figures figures;
    Verdict::Limits limits;
    Verdict::Result verdict; // judged when limits.any()
    // The samples came from a file that keeps one decimal (the figures
    // part says so).
    bool roundedSamples = false;
    // The unit of the figures' dose (the limits keep mJ/cm²).
    DoseUnit::Unit doseUnit = DoseUnit::Unit::MilliJoulePerCm2;
};

Analysis analyse(const LoggerRunData &run, UvFigures::DoseRule rule, const Verdict::Limits &limits);

// The dose rule's name in the language of the program (the files and the
// command line keep UvFigures::ruleName).
QString ruleText(UvFigures::DoseRule rule);

// The name of the curve's image in the HTML; document() puts the curve
// object there.
extern const QLatin1String kCurveName;

// stamp gives the title's "Report_yyyyMMddhhmmss". The curve is an image
// named kCurveName of 500 x 200 at 96 dpi; without an analysis the figures
// part is left out.
QString html(const Fields &fields, bool chineseLayout, const QDateTime &stamp,
             const Analysis *analysis = nullptr);

struct Report
{
    Fields fields;
    LoggerRunData run;
    bool chineseLayout = false;
    QDateTime stamp;
    UvFigures::DoseRule rule = UvFigures::DoseRule::SampleHold;
    Verdict::Limits limits;
    bool roundedSamples = false; // as Analysis::roundedSamples
    DoseUnit::Unit doseUnit = DoseUnit::Unit::MilliJoulePerCm2;
};

// The HTML of the report: its analysis, then html().
QString html(const Report &report);

// The report as the window shows and prints it and vantrel-cli writes it:
// the HTML with the curve as a text object (ReportCurve) that draws vectors
// on whatever painter the document is painted with (screen, printer, PDF).
// The document is created with the parent given and owns the curve.
QTextDocument *document(const Report &report, QObject *parent = nullptr);

// The document printed to PDF on A4 pages, into memory; empty when Qt could
// not paint it.
QByteArray pdf(QTextDocument *document);

} // namespace LoggerReport
