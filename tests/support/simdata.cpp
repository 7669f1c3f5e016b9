#include "simdata.h"

#include "download/loggerrun.h"
#include "protocol/modeltable.h"
#include "sim/simprofile.h"

namespace SimData {

LoggerData logger(const QList<int> &steps)
{
    const SimProfile p = SimProfile::logger();
    LoggerData data;
    data.instrument.model = ModelTable::loggerName(p.typeCode);
    data.instrument.serialNumber = p.serialNumber;
    for (int k = 0; k < p.runs.size(); ++k)
        data.runs << LoggerRun::decode(k + 1, p.runs.at(k).payload(), steps.at(k % steps.size()));
    return data;
}

MeterData meter()
{
    const SimProfile p = SimProfile::meter();
    MeterData data;
    data.instrument.model = ModelTable::meterName(p.typeCode);
    data.instrument.serialNumber = p.serialNumber;
    data.unit = p.block60[3];
    data.decimals =
        MeterUnits::decimals(MeterUnits::profileForModel(data.instrument.model), data.unit);
    for (const SimMeterRecord &r : p.records)
        data.records << MeterReading{r.realTime, r.maximum, r.minimum,
                                     r.average,  r.energy,  r.duration};
    return data;
}

} // namespace SimData
