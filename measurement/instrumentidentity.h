#pragma once

#include <QDate>
#include <QString>

// Which instrument a measurement came from, as far as it is known: the model's
// display name ("QX101", "UnKnow"), the serial number from its key or
// production information, the firmware version text ("1.2") and the date of
// its last calibration. Fields not read stay empty (0, "", an invalid date).
struct InstrumentIdentity
{
    QString model;
    quint32 serialNumber = 0;
    QString firmware;
    QDate calibrationDate;
};
