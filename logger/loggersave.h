#pragma once

#include "measurement/loggerdata.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The Logger page's files: "Save Data" (the run table and every run's
// samples in one workbook, or CSV) and "EXCEL" (the samples of one run).
// Each asks for the file name, writes through the safe write path and tells
// the user how it went, in the page's words: its texts belong to the page.
class LoggerSave
{
    Q_DECLARE_TR_FUNCTIONS(LoggerSave)

public:
    using FileOpener = std::function<void(const QString &fileName)>;

    // headers: the page table's seven column headers as shown; templatePath: the workbook to start
    // from.
    static void saveData(QWidget *page, const LoggerData &data, const QStringList &headers,
                         const QString &templatePath);
    // The samples of `run` as a workbook through the SQL layer, or csvData as
    // CSV for a .csv name; proposedName without suffix. A finished export is
    // opened with opener (nullptr: the desktop's default application, unless
    // VANTREL_NO_DESKTOP_OPEN=1).
    static void exportRun(QWidget *page, const LoggerRunData &run, const LoggerData &csvData,
                          const QString &proposedName, const FileOpener &opener);

private:
    static bool isCsvName(const QString &fileName);
    static void open(const QString &fileName, const FileOpener &opener);
};
