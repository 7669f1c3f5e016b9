#include "meter/metersave.h"

#include "export/excelengine.h"
#include "files/recordexport.h"
#include "files/safefile.h"
#include "files/workbooklayout.h"
#include "gui/savefailures.h"
#include "gui/uiseam.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProgressDialog>

void MeterSave::saveData(QWidget *page, const MeterData &data, const QStringList &headers)
{
    const QString proposed = QStringLiteral("Data") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmss"));
    const QString fileName = UiSeam::getSaveFileName(
        page, tr("Storing data to Excel"), proposed,
        tr("Excel file (*.xls)") + QStringLiteral(";;") + tr("Excel file (*.xlsx)") +
            QStringLiteral(";;") + tr("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
        if (SafeFile::writeFile(fileName, Csv::withByteOrderMark(MeterFiles::csv(data))))
            UiSeam::information(page, tr("information"), tr("Save file success!"));
        else
            SaveFailures::show(page, tr("information"), tr("Save data file fail!"));
        return;
    }

    // A new workbook (from "./template.xls" where there is one) written over
    // the chosen file once, when complete: nothing of an older file is left
    // in it, and a failure or cancel leaves the older file as it was. The
    // table's columns hold only the table; the template's other cells stay.
    // A .xlsx name gets the same workbook as an Office Open XML file.
    const QString templatePath = QStringLiteral("./template.xls");
    ExcelEngine engine(fileName, templatePath);
    if (!engine.openSheet(1)) {
        UiSeam::information(page, tr("Storing data"),
                            SaveFailures::storingText(engine.failure(), templatePath));
        return;
    }
    const int rows = data.records.size();
    QProgressDialog progress(page);
    progress.setWindowTitle(QString());
    progress.setLabelText(tr("Saving Excel data, please wait"));
    progress.setCancelButtonText(tr("Cancel"));
    progress.setRange(0, rows + 1);
    progress.setWindowModality(Qt::WindowModal);
    progress.show();

    if (!engine.writeTable(WorkbookLayout::meterTable(data, headers), &progress)) {
        UiSeam::information(page, tr("information"), tr("Save data file fail!"));
        engine.closeBook();
        progress.hide();
        return;
    }
    progress.setValue(rows + 1);
    if (progress.wasCanceled()) {
        engine.closeBook();
        return;
    }
    // After the table, the sheet that names the instrument.
    if (!engine.appendSheet(WorkbookLayout::instrumentSheetName()) ||
        !engine.writeRows(WorkbookLayout::instrumentRows(data.instrument,
                                                         WorkbookLayout::Precision::OneDecimal))) {
        UiSeam::information(page, tr("information"), tr("Save data file fail!"));
        engine.closeBook();
        progress.hide();
        return;
    }
    // A workbook that could not be written is not reported as saved.
    const bool saved = engine.saveBook();
    engine.closeBook();
    progress.hide();
    if (saved)
        UiSeam::information(page, tr("information"), tr("Save file success!"));
    else
        SaveFailures::show(page, tr("information"), tr("Save data file fail!"));
}
