#pragma once

#include "measurement/doseunit.h"
#include "measurement/loggerdata.h"
#include "measurement/uvfigures.h"

#include <QObject>
#include <QStringList>

class QTableWidget;

// The Logger page's table of runs: seven columns of texts (number, start
// time, duration, then the power columns, whose headers carry their unit)
// and an eighth with each row's EXCEL, Curve and Report buttons. After them
// come the whole run's UV figures (dose in the chosen unit under the
// sample-and-hold rule, peak, exposure window at 10 % of the peak).
//
// A click on a header sorts the rows; each row keeps the index of its run
// (the row it was added as), which its buttons send and runOfRow() gives.
class LoggerRunTable : public QObject
{
    Q_OBJECT
public:
    // Sets the table's columns, widths, headers and selection up.
    explicit LoggerRunTable(QTableWidget *table);

    // Appends one row (seven texts) with its buttons; returns its run index.
    int addRow(const QStringList &texts);
    // Appends a run's row with its texts and figures.
    int addRun(const LoggerRunData &run);
    // The header texts of the seven text columns.
    QStringList headerTexts() const;
    // Re-applies the row buttons' and figure headers' texts in the current
    // language.
    void retranslateRows();
    // The run shown in a row of the table as it is sorted, and back; -1
    // for none.
    int runOfRow(int row) const;
    int rowOfRun(int run) const;

signals:
    void excelClicked(int row);
    void curveClicked(int row);
    void reportClicked(int row);

private:
    QTableWidget *table;
    int m_added = 0;

    // A row of texts, and of the run's figures when given; its run index.
    int appendRow(const QStringList &texts, const UvFigures::Figures *figures);
    void showDoses(DoseUnit::Unit unit);
    void chooseUnitAt(const QPoint &pos);
};
