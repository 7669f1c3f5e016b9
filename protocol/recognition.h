#pragma once

#include "protocol/identity.h"

class InstrumentCommands;

// Which instrument answers on the link, from its identity records: the key
// information names the type code; an instrument that refuses it (a Meter
// whose probe is out, or an older one) is asked for its production
// information instead, whose refusal means a Meter without probe and whose
// erased block (wrong block check value) an instrument never configured.
struct Recognition
{
    enum class Outcome
    {
        Logger,
        Meter,
        MeterWithoutProbe,
        KeyInfoFailed,        // key information neither read nor refused
        NotConfigured,        // production information block erased
        ProductionInfoFailed, // production information not read
    };

    Outcome outcome = Outcome::KeyInfoFailed;
    quint32 typeCode = 0;
    int keyResult = 0;        // result of the key information command
    int productionResult = 0; // of the production information command, 0 if not asked
    KeyInfo key;
    ProductionInfo production;

    bool isMeter() const { return outcome == Outcome::Meter || outcome == Outcome::MeterWithoutProbe; }
    bool isKnown() const { return isMeter() || outcome == Outcome::Logger; }

    static Recognition run(InstrumentCommands &commands);
};
