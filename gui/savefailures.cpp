#include "gui/savefailures.h"

#include "gui/uiseam.h"
#include "files/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace SaveFailures {

QString storingText(ExcelEngine::Failure failure, const QString &templatePath)
{
    const QString name = QDir::toNativeSeparators(QFileInfo(templatePath).absoluteFilePath());
    if (failure == ExcelEngine::Failure::TemplateTooLarge)
        return QCoreApplication::translate(
                   "SaveFailures", "Storing data failed, the template %1 is larger than %2 MB!")
            .arg(name, QString::number(ExcelEngine::maxTemplateSize / (1024 * 1024)));
    if (failure == ExcelEngine::Failure::Template)
        return QCoreApplication::translate("SaveFailures",
                                           "Storing data failed, the template %1 cannot be used!")
            .arg(name);
    return QCoreApplication::translate("SaveFailures", "Storing data failed, Can't open file!");
}

void show(QWidget *page, const QString &title, const QString &text)
{
    show(page, SafeFile::lastFailureWasReplace(), title, text);
}

void show(QWidget *page, bool replaceFailed, const QString &title, const QString &text)
{
    if (replaceFailed)
        UiSeam::information(
            page, QCoreApplication::translate("SaveFailures", "error"),
            QCoreApplication::translate("SaveFailures",
                                        "Can't overwrite this file, maybe the file is in use!"));
    else
        UiSeam::information(page, title, text);
}

} // namespace SaveFailures
