#pragma once

// Vantrel's measurement file: the JSON that the window and vantrel-cli write,
// self-describing so that it opens again without the instrument (the
// reference is docs/measurement-file.md). Reading takes the files of
// earlier versions too, which lack the format name.

#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"
#include "measurement/uvfigures.h"

#include <QByteArray>
#include <QString>

// What a measurement file holds: the runs of a Logger or the records of a
// Meter, and the user's notes.
struct Measurement
{
    enum class Family
    {
        None,
        Logger,
        Meter
    };
    Family family = Family::None;
    LoggerData logger;
    MeterData meter;
    QString notes;
};

namespace MeasurementFile {

constexpr const char *FormatName = "vantrel-measurement";
constexpr int FormatVersion = 1;
// Files larger than this are refused unread (a 25-run file is about 1 MB).
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

QByteArray toJson(const LoggerData &data, const QString &notes = QString(),
                  const UvFigures::Options &figures = UvFigures::Options());
QByteArray toJson(const MeterData &data, const QString &notes = QString());

// Reads a measurement file's JSON; false with a message saying what is wrong
// and where (in the current language) when it is none.
bool fromJson(const QByteArray &bytes, Measurement *out, QString *error);

} // namespace MeasurementFile
