#pragma once

// The instrument's clock keeps a wall-clock reading (year, month, day, hour,
// minute, second) and no time zone. Its times are held as QDateTime in
// Qt::UTC, used only as a zone-less reading: they never pass through the
// PC's zone, so a run that starts in the hour a summer-time change skips
// keeps its start, times after an autumn change run on without repeating,
// and a file written from them has the same bytes on every PC.
//
// Arithmetic on such a time (addSecs, secsTo, toSecsSinceEpoch) is plain
// arithmetic on the reading; compare them only with times made here.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace InstrumentClock {

// The reading date, time; invalid when either is.
QDateTime at(const QDate &date, const QTime &time);
// The same wall-clock reading without a zone (a PC time read off its own
// clock, a time an edit shows).
QDateTime reading(const QDateTime &any);
// "yyyy-MM-ddTHH:mm:ss" or "yyyy-MM-dd HH:mm:ss" (the table's form),
// exactly; invalid for any other text.
QDateTime fromText(const QString &text);
// "yyyy-MM-ddTHH:mm:ss"; empty for an invalid time.
QString isoText(const QDateTime &time);

} // namespace InstrumentClock
