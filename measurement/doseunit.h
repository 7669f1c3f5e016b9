#pragma once

// The unit doses are shown in: mJ/cm² (the default), J/cm² or J/m². Doses
// are computed in μJ/cm² (μW/cm² × s) and converted only to be shown.

#include <QString>

namespace DoseUnit {

enum class Unit
{
    MilliJoulePerCm2,
    JoulePerCm2,
    JoulePerM2
};

constexpr Unit kUnits[] = {Unit::MilliJoulePerCm2, Unit::JoulePerCm2, Unit::JoulePerM2};

// A dose in μJ/cm² in the unit.
double fromMicroJoulePerCm2(double microJoulePerCm2, Unit unit);
// "mJ/cm²", "J/cm²", "J/m²".
QString text(Unit unit);
// "mJ/cm2", "J/cm2", "J/m2": the names settings and the command line use.
QString key(Unit unit);
// The unit of a key (any case); false for any other text.
bool fromKey(const QString &key, Unit *unit);
// Decimals a dose in the unit is shown with: a thousandth of a mJ/cm² in
// every unit.
int decimals(Unit unit);

} // namespace DoseUnit
