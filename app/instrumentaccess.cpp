#include "app/instrumentaccess.h"

#include <QString>

bool configureInstrumentAccess(const QStringList &arguments, QObject *owner, QString *error)
{
    Q_UNUSED(arguments)
    Q_UNUSED(owner)
    Q_UNUSED(error)
    return true;
}
