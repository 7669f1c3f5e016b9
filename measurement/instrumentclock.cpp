#include "measurement/instrumentclock.h"

namespace InstrumentClock {

QDateTime at(const QDate &date, const QTime &time)
{
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QDateTime reading(const QDateTime &any)
{
    return any.isValid() ? at(any.date(), any.time()) : QDateTime();
}

QDateTime fromText(const QString &text)
{
    // Parsed by hand: QDateTime::fromString with a format makes a local
    // time (and is slow enough to show in a long listing).
    if (text.size() != 19)
        return QDateTime();
    const QChar separator = text.at(10);
    if (separator != QLatin1Char('T') && separator != QLatin1Char(' '))
        return QDateTime();
    int values[6];
    const int starts[6] = {0, 5, 8, 11, 14, 17};
    const int lengths[6] = {4, 2, 2, 2, 2, 2};
    const char separators[6] = {0, '-', '-', 0, ':', ':'};
    for (int k = 0; k < 6; ++k) {
        if (separators[k] && text.at(starts[k] - 1) != QLatin1Char(separators[k]))
            return QDateTime();
        int v = 0;
        for (int i = 0; i < lengths[k]; ++i) {
            const QChar c = text.at(starts[k] + i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QDateTime();
            v = v * 10 + (c.unicode() - '0');
        }
        values[k] = v;
    }
    return at(QDate(values[0], values[1], values[2]), QTime(values[3], values[4], values[5]));
}

QString isoText(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) : QString();
}

} // namespace InstrumentClock
