#pragma once

#include "measurement/doseunit.h"

#include <QObject>

// The dose unit the user chose, once for every window: the run table, the
// curve window and the report show doses in it. Remembered between starts.
class DoseUnitChoice : public QObject
{
    Q_OBJECT
public:
    static DoseUnitChoice *instance();

    DoseUnit::Unit unit() const { return m_unit; }
    void setUnit(DoseUnit::Unit unit);

signals:
    void changed(DoseUnit::Unit unit);

private:
    DoseUnitChoice();
    DoseUnit::Unit m_unit = DoseUnit::Unit::MilliJoulePerCm2;
};
