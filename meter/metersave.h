#pragma once

#include "measurement/meterdata.h"

#include <QCoreApplication>
#include <QStringList>

class QWidget;

// The Meter page's "Save Data": asks for a file name and writes the records
// as an .xls or .xlsx workbook (from "./template.xls" where there is one) or
// as CSV, through the safe write path, telling the user how it went in the
// page's words (its texts belong to the page).
class MeterSave
{
    Q_DECLARE_TR_FUNCTIONS(MeterSave)

public:
    // headers: the page table's seven column headers as shown.
    static void saveData(QWidget *page, const MeterData &data, const QStringList &headers);
};
