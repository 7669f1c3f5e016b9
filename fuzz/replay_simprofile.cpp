// A simulator profile file: refused with a message, or taken with every field
// within its range and written back to JSON that reads as the same profile.
#include "fuzz/replay.h"

#include "sim/simprofile.h"

namespace FuzzReplay {

bool simProfile(const QByteArray &bytes)
{
    SimProfile profile;
    QString error;
    if (!SimProfile::fromJson(bytes, &profile, &error))
        return !error.isEmpty();
    if (profile.recordCount < -1 || profile.recordCount > 0xFFFF || profile.interfaces < 1 ||
        profile.interfaces > 16 || profile.reportLength < 3 || profile.reportLength > 4096 ||
        profile.reportIntervalUs < 0 || profile.reportIntervalUs > 1000000 ||
        !profile.productionDate.isValid() || !profile.calibrationDate.isValid())
        return false;
    for (const SimMeterRecord &r : qAsConst(profile.records)) {
        if (r.bytes().size() != 24)
            return false;
    }
    for (const SimFault &f : qAsConst(profile.faults)) {
        if (f.command < -1 || f.command > 0xFF || f.address < -1 || f.address > 0xFFFFFFFFLL ||
            f.times < -1 || f.value < 0 || f.value > 0xFFFF || f.delayMs < 0 ||
            f.delayMs > 600000)
            return false;
    }
    const QByteArray written = profile.toJson();
    SimProfile again;
    if (!SimProfile::fromJson(written, &again, &error))
        return false;
    return again.toJson() == written;
}

} // namespace FuzzReplay
