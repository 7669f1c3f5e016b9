#include "measurement/loggerdata.h"

namespace LoggerUnits {
QString powerUnitText()
{
    return QStringLiteral("μW/cm²");
}
} // namespace LoggerUnits

namespace LoggerText {

QString power(float value)
{
    return QString::number(double(value), 'f', 1);
}

QString startTime(const QDateTime &start)
{
    return start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace LoggerText

LoggerStatistics LoggerRunData::statistics() const
{
    LoggerStatistics s;
    s.samples = samples.size();
    for (int i = 0; i < s.samples; ++i) {
        const float v = samples.at(i);
        if (i == 0) {
            s.max = v;
            s.min = v;
        } else {
            if (v > s.max)
                s.max = v;
            if (v < s.min)
                s.min = v;
        }
        s.sum += v;
        s.rec = v;
    }
    if (s.samples > 0)
        s.avg = s.sum / float(s.samples);
    return s;
}

QStringList LoggerRunData::rowTexts() const
{
    QStringList texts;
    texts << QString::number(number);
    if (!hasStartBytes) {
        // Not even a start time: nothing is known about this run.
        texts << QString() << QString();
    } else {
        texts << LoggerText::startTime(start) << QString::number(durationSeconds());
    }
    const LoggerStatistics s = statistics();
    if (s.samples == 0) {
        texts << QString() << QString() << QString() << QString();
    } else {
        texts << LoggerText::power(s.rec) << LoggerText::power(s.max) << LoggerText::power(s.min)
              << LoggerText::power(s.avg);
    }
    return texts;
}

QList<QVariantList> LoggerRunData::sampleRows() const
{
    QList<QVariantList> rows;
    rows.reserve(samples.size() + 1);
    rows.append({QStringLiteral("NUM"), QStringLiteral("VAL")});
    for (int i = 0; i < samples.size(); ++i)
        rows.append({QString::number(i + 1), LoggerText::power(samples.at(i))});
    return rows;
}

QVector<double> LoggerRunData::sampleValues() const
{
    QVector<double> values(samples.size());
    for (int i = 0; i < samples.size(); ++i)
        values[i] = double(samples.at(i));
    return values;
}
