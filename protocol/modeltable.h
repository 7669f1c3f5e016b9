#pragma once

#include <QString>

// Device type codes of the instruments: display name and family. The Meter
// page knows the rows marked for the Meter, the Logger page those marked for
// the Logger; the main window opens the Logger page for the Logger codes only.
namespace ModelTable {

enum class Family { Meter, Logger };

struct Model
{
    quint32 code;
    const char *name;
    Family family;
    bool knownToMeterPage;
    bool knownToLoggerPage;
};

// The whole table, in code order.
const Model *models(int *count);
// Display name as the Meter page shows it, "UnKnow" for a code it does not know.
QString meterName(quint32 code);
// Display name as the Logger page shows it, "UnKnow" for a code it does not know.
QString loggerName(quint32 code);
// Family whose page the main window opens: Logger for the Logger codes,
// Meter for every other code, known or not.
Family family(quint32 code);
bool isLoggerCode(quint32 code);

} // namespace ModelTable
