#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTableWidget;
class RowButtonDelegate;

// The Meter page's record table: its columns and widths, the header texts of
// the record's unit, the rows (number, energy, duration, four powers) and
// their "Report" buttons, drawn by the last column's delegate.
class MeterRecordTable
{
    Q_DECLARE_TR_FUNCTIONS(MeterRecordTable)

public:
    explicit MeterRecordTable(QTableWidget *table);

    RowButtonDelegate *reportButtons() const { return m_reportButtons; }

    // The energy and power headers for a unit (MeterUnits id); microUnit is
    // the text of the page's μW/cm² button. Any other unit leaves them.
    void applyUnitHeaders(int unit, const QString &microUnit);
    // Appends one row; returns its index.
    int addRow(const QString &no, const QString &energy, const QString &duration, const QString &rt,
               const QString &max, const QString &min, const QString &avg);
    // The seven column headers as shown (the button column has none).
    QStringList headers() const;
    // A cell's text, empty where there is none.
    QString cell(int row, int column) const;
    // The buttons' text in the current language.
    void retranslate();

private:
    QTableWidget *m_table = nullptr;
    RowButtonDelegate *m_reportButtons = nullptr;
};
