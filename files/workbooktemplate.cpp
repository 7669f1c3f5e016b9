#include "files/workbooktemplate.h"

#include "files/datadirectory.h"

#include <QCoreApplication>
#include <QFileInfo>

QString dataWorkbookTemplatePath()
{
    const QString besideProgram =
        QCoreApplication::applicationDirPath() + QStringLiteral("/Data.xls");
    if (QFileInfo(besideProgram).isFile())
        return besideProgram;
    const QString installed = installedDataDirectory() + QStringLiteral("/Data.xls");
    if (QFileInfo(installed).isFile())
        return installed;
    return besideProgram;
}
