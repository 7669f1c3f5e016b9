#include "files/datadirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString installedDataDirectory()
{
    const QString nearProgram = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                                QStringLiteral("/" VANTREL_DATA_DIR_FROM_BINDIR));
    if (QFileInfo(nearProgram).isDir())
        return nearProgram;
    return QStringLiteral(VANTREL_DATA_DIR);
}
