#pragma once

// Meter measurements as values: the records of one download with the unit
// and decimals they were taken in, and the per-model control profiles that
// decide which Smooth and Unit settings a model has and how many decimals its
// values get.

#include "measurement/instrumentidentity.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace MeterUnits {

// Units as exchanged with the instrument (block 0x60 byte 3) and as ids of
// the page's unit buttons.
enum Unit
{
    MicroWattPerCm2 = 0,
    MilliWattPerCm2 = 1,
    WattPerCm2 = 2,
    WattPerM2 = 3
};
constexpr int kUnitCount = 4;

struct ControlProfile
{
    int number;                  // 1..3
    bool smoothUsable;           // the three Smooth buttons
    bool unitUsable[kUnitCount]; // by unit id
    int decimals[kUnitCount];    // by unit id; -1: the values are left empty
};

// The profile of a model display name (QX101..QX119); nullptr for a name
// no profile lists ("UnKnow" and anything else).
const ControlProfile *profileForModel(const QString &modelName);
// 1..3, or 0 when the model has no profile.
int profileNumber(const QString &modelName);
// Decimals of the five measured values, -1 when they stay empty (unknown
// model, a unit the model does not have, or a unit id outside 0..3).
int decimals(const ControlProfile *profile, int unit);

// "μW/cm²", "mW/cm²", "W/cm²", "W/m²"; "" for a unit outside 0..3.
QString powerUnitText(int unit);
// "μJ/cm²", "mJ/cm²", "J/cm²", "J/m²"; "" for a unit outside 0..3.
QString energyUnitText(int unit);
// Unit names as HTML fragments for the report: power and energy.
QString powerUnitFragment(int unit);
QString energyUnitFragment(int unit);

} // namespace MeterUnits

// One stored Meter measurement, in the unit the instrument was set to
// (powers and energy) and seconds (duration).
struct MeterReading
{
    float powerRt = 0;
    float powerMax = 0;
    float powerMin = 0;
    float powerAvg = 0;
    float energy = 0;
    float duration = 0;
};

// The records of one Meter download.
struct MeterData
{
    InstrumentIdentity instrument;
    int unit = -1;     // block 0x60 unit code at download time; -1 unknown
    int decimals = -1; // of the model's profile for that unit; -1: values left empty
    QList<MeterReading> records;
    // The instrument's record numbers (from 1) of records; empty: 1, 2, ...
    QList<int> numbers;

    int numberAt(int i) const { return numbers.value(i, i + 1); }
    // The table's seven column headers for the unit (English).
    static QStringList headers(int unit);
    // The seven table texts of one record: number, energy, duration, RT, MAX,
    // MIN, AVG. The five measured values get decimalCount decimals (empty
    // texts for -1); the duration always one decimal.
    static QStringList rowTexts(int number, const MeterReading &record, int decimalCount);
    QList<QStringList> rows() const;
};
