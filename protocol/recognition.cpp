#include "protocol/recognition.h"

#include "protocol/instrumentcommands.h"
#include "protocol/modeltable.h"

Recognition Recognition::run(InstrumentCommands &commands)
{
    Recognition r;
    r.keyResult = commands.readKeyInfo(r.key);
    if (r.keyResult >= 0) {
        r.typeCode = r.key.deviceType;
    } else if (r.keyResult != -5) {
        r.outcome = Outcome::KeyInfoFailed;
        return r;
    } else {
        r.productionResult = commands.readProductionInfo(r.production);
        if (r.productionResult == -5) {
            r.outcome = Outcome::MeterWithoutProbe;
            return r;
        }
        if (r.productionResult == -4) {
            r.outcome = Outcome::NotConfigured;
            return r;
        }
        if (r.productionResult < 0) {
            r.outcome = Outcome::ProductionInfoFailed;
            return r;
        }
        r.typeCode = r.production.deviceType;
    }
    r.outcome = ModelTable::isLoggerCode(r.typeCode) ? Outcome::Logger : Outcome::Meter;
    return r;
}
