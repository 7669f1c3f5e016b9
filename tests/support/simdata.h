#pragma once

#include "measurement/loggerdata.h"
#include "measurement/meterdata.h"

// The simulator's example instruments' stored data as the program holds it
// after a download (SimProfile::logger() and SimProfile::meter()).
namespace SimData {
// The runs, run k stored every steps[k % steps.size()] seconds.
LoggerData logger(const QList<int> &steps = {10});
MeterData meter();
} // namespace SimData
