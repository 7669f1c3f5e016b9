#pragma once

#include "export/excelengine.h"

#include <QString>

class QWidget;

// What both pages tell the user when a save fails.
namespace SaveFailures {

// The text for a workbook that "Save Data" could not open: the template,
// where it is at fault (named with its full path, so that a stray
// ./template.xls shows), or else the chosen file.
QString storingText(ExcelEngine::Failure failure, const QString &templatePath);

// Shows a failed save: where the complete new file could not take the place
// of the existing one, "Can't overwrite this file, maybe the file is in
// use!" (title "error"); otherwise title and text. replaceFailed is
// SafeFile::lastFailureWasReplace() as read right after the save; the
// shorter form reads it now.
void show(QWidget *page, bool replaceFailed, const QString &title, const QString &text);
void show(QWidget *page, const QString &title, const QString &text);

} // namespace SaveFailures
