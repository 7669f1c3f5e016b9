#pragma once

#include <QDateTime>
#include <QString>

// The Logger test report as one HTML document: the instrument's identity,
// the run's start time and duration, its four power values and the curve
// picture, and the four free-text entries. Labels are translated in the
// context "ReportPageForLogger"; values are inserted as they stand.
namespace LoggerReport {

struct Fields
{
    QString device;      // display name followed by " Vantrel"
    QString serialNo;
    QString startTime;
    QString duration;    // with its "S"
    QString testLight = QStringLiteral("&nbsp;");
    QString company = QStringLiteral("&nbsp;");
    QString tester = QStringLiteral("&nbsp;");
    QString auditor = QStringLiteral("&nbsp;");
    QString powerRec;
    QString powerMax;
    QString powerMin;
    QString powerAvg;
};

// stamp gives the title's "Report_yyyyMMddhhmmss"; picturePath is the image
// source of the curve.
QString html(const Fields &fields, bool chineseLayout, const QString &picturePath,
             const QDateTime &stamp);

} // namespace LoggerReport
