#include "logger/loggersave.h"

#include "export/excelengine.h"
#include "export/excelengineodbc.h"
#include "files/recordexport.h"
#include "files/safefile.h"
#include "files/workbooklayout.h"
#include "gui/doseunitchoice.h"
#include "gui/savefailures.h"
#include "gui/uiseam.h"

#include <QDateTime>
#include <QDebug>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QUrl>

bool LoggerSave::isCsvName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

void LoggerSave::open(const QString &fileName, const FileOpener &opener)
{
    if (opener)
        opener(fileName);
    else if (qgetenv("VANTREL_NO_DESKTOP_OPEN") != "1")
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

void LoggerSave::exportRun(QWidget *page, const LoggerRunData &run, const LoggerData &csvData,
                           const QString &proposedName, const FileOpener &opener)
{
    const QString fileName = UiSeam::getSaveFileName(
        page, tr("Storing data to Excel"), proposedName,
        tr("excel file (*.xls)") + QStringLiteral(";;") + tr("excel file (*.xlsx)") +
            QStringLiteral(";;") + tr("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (isCsvName(fileName)) {
        if (!SafeFile::writeFile(fileName, Csv::withByteOrderMark(LoggerFiles::csv(
                                               csvData, DoseUnitChoice::instance()->unit()))))
            SaveFailures::show(page, tr("export"), tr("Export data failed!"));
        else
            open(fileName, opener);
        return;
    }

    const SheetTable table = WorkbookLayout::runTable(run);
    const int m = table.rows.size();
    if (m == 0) {
        UiSeam::information(page, tr("error"), tr("No data for Storing to Excel!"));
        return;
    }

    // The workbook is written over the chosen file only when it is complete
    // (a temporary file renamed into place): a failed or cancelled export
    // leaves an existing file as it was.
    QElapsedTimer clock;
    clock.start();
    ExcelEngineODBC engine(fileName, ExcelEngineODBC::Target::Replace);
    if (!engine.openConnection()) {
        UiSeam::information(page, tr("Storing data"), tr("Storing data failed, Can't open file!"));
        return;
    }
    QProgressDialog dialog(tr("Storing data,please wait..."), tr("cancel"), 0, m + 1, page);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.show();
    dialog.setValue(0);
    if (engine.writeTable(table, &dialog)) {
        const bool cancelled = dialog.wasCanceled();
        dialog.setValue(m + 1);
        dialog.hide();
        engine.closeConnection();
        if (!cancelled)
            open(fileName, opener);
    } else {
        // Read before the connection is closed, which may try to save again.
        const bool replaceFailed = SafeFile::lastFailureWasReplace();
        dialog.hide();
        engine.closeConnection();
        SaveFailures::show(page, replaceFailed, tr("export"), tr("Export data failed!"));
    }
    qDebug() << "The slow operation took" << clock.elapsed() << "milliseconds: ";
}

void LoggerSave::saveData(QWidget *page, const LoggerData &data, const QStringList &headers,
                          const QString &templatePath)
{
    const QString fileName = UiSeam::getSaveFileName(
        page, tr("Storing data to Excel"),
        QStringLiteral("Data") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmss")),
        tr("Excel file (*.xls)") + QStringLiteral(";;") + tr("Excel file (*.xlsx)") +
            QStringLiteral(";;") + tr("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (isCsvName(fileName)) {
        if (SafeFile::writeFile(fileName, Csv::withByteOrderMark(LoggerFiles::csv(
                                              data, DoseUnitChoice::instance()->unit()))))
            UiSeam::information(page, tr("information"), tr("Save file success!"));
        else
            SaveFailures::show(page, tr("information"), tr("Save data file fail!"));
        return;
    }
    // The workbook is made from the template in memory and written over the
    // chosen file once, at the end: a file the user chose to replace stays
    // as it was until then, and is kept whole on a failure or cancel.
    if (!QFileInfo(templatePath).isFile()) {
        UiSeam::information(page, tr("information"), tr("Create data file fail!"));
        return;
    }

    ExcelEngine excel(fileName, templatePath);
    if (!excel.openSheet(1)) {
        UiSeam::information(page, tr("Storing data"),
                            SaveFailures::storingText(excel.failure(), templatePath));
        return;
    }
    const int rows = data.runs.size();
    const WorkbookLayout::Precision precision = WorkbookLayout::precisionFor(fileName);
    QProgressDialog dialog(page);
    dialog.setWindowTitle(QString());
    dialog.setLabelText(tr("Saving Excel data, please wait"));
    dialog.setCancelButtonText(tr("Cancel"));
    dialog.setMinimum(0);
    dialog.setMaximum(rows + 1);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.show();
    dialog.setValue(0);

    if (!excel.writeTable(WorkbookLayout::loggerTable(data, headers))) {
        UiSeam::information(page, tr("information"), tr("Save data file fail!"));
        excel.closeBook();
        dialog.hide();
        return;
    }
    dialog.setValue(1);
    if (dialog.wasCanceled()) {
        excel.closeBook();
        return;
    }
    for (int r = 0; r < rows; ++r) {
        if (!excel.openSheet(r + 2)) {
            UiSeam::information(page, tr("Storing data"),
                                tr("Storing data failed, Can't open sheet!"));
            dialog.hide();
            return;
        }
        if (!excel.writeBlock(WorkbookLayout::runBlock(data.runs.at(r), precision))) {
            UiSeam::information(page, tr("information"), tr("Save data file fail!"));
            excel.closeBook();
            dialog.hide();
            return;
        }
        dialog.setValue(r + 2);
        if (dialog.wasCanceled()) {
            excel.closeBook();
            return;
        }
    }
    // After the template's sheets, the one that names the instrument.
    if (!excel.appendSheet(WorkbookLayout::instrumentSheetName()) ||
        !excel.writeRows(WorkbookLayout::instrumentRows(data.instrument, precision, data.runs))) {
        UiSeam::information(page, tr("information"), tr("Save data file fail!"));
        excel.closeBook();
        dialog.hide();
        return;
    }
    const bool saved = excel.saveBook();
    excel.closeBook();
    dialog.hide();
    if (saved)
        UiSeam::information(page, tr("information"), tr("Save file success!"));
    else
        SaveFailures::show(page, tr("information"), tr("Save data file fail!"));
}
