#pragma once

#include <QObject>
#include <QStringList>

class QTableWidget;

// The Logger page's table of runs: seven columns of texts (number, start
// time, duration, then the power columns, whose headers carry their unit)
// and an eighth with each row's EXCEL, Curve and Report buttons.
class LoggerRunTable : public QObject
{
    Q_OBJECT
public:
    // Sets the table's columns, widths, headers and selection up.
    explicit LoggerRunTable(QTableWidget *table);

    // Appends one row (seven texts) with its buttons; returns its index.
    int addRow(const QStringList &texts);
    // The header texts of the seven text columns.
    QStringList headerTexts() const;
    // Re-applies the row buttons' texts in the current language.
    void retranslateRows();

signals:
    void excelClicked(int row);
    void curveClicked(int row);
    void reportClicked(int row);

private:
    QTableWidget *table;
};
