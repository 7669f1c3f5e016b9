#include "gui/doseunitchoice.h"

#include <QSettings>

namespace {
const char *const kKey = "figures/doseUnit";

QSettings settings()
{
    return QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"));
}
} // namespace

DoseUnitChoice::DoseUnitChoice()
{
    DoseUnit::fromKey(settings().value(QLatin1String(kKey)).toString(), &m_unit);
}

DoseUnitChoice *DoseUnitChoice::instance()
{
    static DoseUnitChoice *choice = new DoseUnitChoice;
    return choice;
}

void DoseUnitChoice::setUnit(DoseUnit::Unit unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    settings().setValue(QLatin1String(kKey), DoseUnit::key(unit));
    emit changed(unit);
}
