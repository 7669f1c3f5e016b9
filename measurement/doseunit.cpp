#include "measurement/doseunit.h"

namespace DoseUnit {

double fromMicroJoulePerCm2(double microJoulePerCm2, Unit unit)
{
    switch (unit) {
    case Unit::JoulePerCm2:
        return microJoulePerCm2 / 1e6;
    case Unit::JoulePerM2:
        return microJoulePerCm2 / 100.0; // 1 μJ/cm² is 10 mJ/m²
    case Unit::MilliJoulePerCm2:
        break;
    }
    return microJoulePerCm2 / 1000.0;
}

QString text(Unit unit)
{
    switch (unit) {
    case Unit::JoulePerCm2:
        return QStringLiteral("J/cm²");
    case Unit::JoulePerM2:
        return QStringLiteral("J/m²");
    case Unit::MilliJoulePerCm2:
        break;
    }
    return QStringLiteral("mJ/cm²");
}

QString key(Unit unit)
{
    switch (unit) {
    case Unit::JoulePerCm2:
        return QStringLiteral("J/cm2");
    case Unit::JoulePerM2:
        return QStringLiteral("J/m2");
    case Unit::MilliJoulePerCm2:
        break;
    }
    return QStringLiteral("mJ/cm2");
}

bool fromKey(const QString &name, Unit *unit)
{
    for (Unit u : kUnits) {
        if (name.compare(key(u), Qt::CaseInsensitive) == 0) {
            *unit = u;
            return true;
        }
    }
    return false;
}

int decimals(Unit unit)
{
    switch (unit) {
    case Unit::JoulePerCm2:
        return 6;
    case Unit::JoulePerM2:
        return 2;
    case Unit::MilliJoulePerCm2:
        break;
    }
    return 3;
}

} // namespace DoseUnit
