#include "measurement/meterdata.h"

namespace MeterUnits {

namespace {

// Smooth usable; units μW/cm², mW/cm², W/cm², W/m² usable; their decimals.
const ControlProfile kProfiles[] = {
    {1, false, {true, true, false, true}, {1, 4, -1, 3}},
    {2, true, {false, true, true, true}, {-1, 0, 3, 0}},
    {3, true, {false, true, false, true}, {-1, 1, -1, 0}},
};

struct ModelProfile
{
    const char *model;
    int profile;
};

const ModelProfile kModelProfiles[] = {
    {"QX101", 2}, {"QX102", 1}, {"QX103", 2}, {"QX104", 2}, {"QX105", 1},
    {"QX106", 2}, {"QX107", 2}, {"QX108", 1}, {"QX109", 1}, {"QX110", 1},
    {"QX111", 1}, {"QX112", 3}, {"QX113", 2}, {"QX114", 2}, {"QX115", 1},
    {"QX116", 1}, {"QX117", 2}, {"QX118", 1}, {"QX119", 1},
};

} // namespace

const ControlProfile *profileForModel(const QString &modelName)
{
    for (const ModelProfile &m : kModelProfiles) {
        if (modelName == QLatin1String(m.model))
            return &kProfiles[m.profile - 1];
    }
    return nullptr;
}

int profileNumber(const QString &modelName)
{
    const ControlProfile *p = profileForModel(modelName);
    return p ? p->number : 0;
}

int decimals(const ControlProfile *profile, int unit)
{
    if (!profile || unit < 0 || unit >= kUnitCount)
        return -1;
    return profile->decimals[unit];
}

QString powerUnitText(int unit)
{
    switch (unit) {
    case MicroWattPerCm2:
        return QStringLiteral("μW/cm²");
    case MilliWattPerCm2:
        return QStringLiteral("mW/cm²");
    case WattPerCm2:
        return QStringLiteral("W/cm²");
    case WattPerM2:
        return QStringLiteral("W/m²");
    default:
        return QString();
    }
}

QString energyUnitText(int unit)
{
    // The energy of a power in W over seconds is in J.
    return powerUnitText(unit).replace(QLatin1Char('W'), QLatin1Char('J'));
}

QString powerUnitFragment(int unit)
{
    const QString text = powerUnitText(unit);
    return text.isEmpty()
               ? text
               : QString(text).replace(QStringLiteral("²"), QStringLiteral("<sup>2</sup>"));
}

QString energyUnitFragment(int unit)
{
    const QString text = energyUnitText(unit);
    return text.isEmpty()
               ? text
               : QString(text).replace(QStringLiteral("²"), QStringLiteral("<sup>2</sup>"));
}

} // namespace MeterUnits

namespace {

QString valueText(float value, int decimalCount)
{
    return decimalCount < 0 ? QString() : QString::number(double(value), 'f', decimalCount);
}

} // namespace

QStringList MeterData::headers(int unit)
{
    const QString power = MeterUnits::powerUnitText(unit);
    if (power.isEmpty()) // the table's headers before any record
        return {QStringLiteral("NO"),          QStringLiteral("Energy"),
                QStringLiteral("Duration(S)"), QStringLiteral("Power(RT)"),
                QStringLiteral("Power(MAX) "), QStringLiteral("Power(MIN)"),
                QStringLiteral("Power(AVG)")};
    return {QStringLiteral("NO"),
            QStringLiteral("Energy ") + MeterUnits::energyUnitText(unit),
            QStringLiteral("Duration(S)"),
            QStringLiteral("Power(RT) ") + power,
            QStringLiteral("Power(MAX) ") + power,
            QStringLiteral("Power(MIN) ") + power,
            QStringLiteral("Power(AVG) ") + power};
}

QStringList MeterData::rowTexts(int number, const MeterReading &record, int decimalCount)
{
    return {QString::number(number),
            valueText(record.energy, decimalCount),
            QString::number(double(record.duration), 'f', 1),
            valueText(record.powerRt, decimalCount),
            valueText(record.powerMax, decimalCount),
            valueText(record.powerMin, decimalCount),
            valueText(record.powerAvg, decimalCount)};
}

QList<QStringList> MeterData::rows() const
{
    QList<QStringList> out;
    out.reserve(records.size());
    for (int i = 0; i < records.size(); ++i)
        out << rowTexts(numberAt(i), records.at(i), decimals);
    return out;
}
