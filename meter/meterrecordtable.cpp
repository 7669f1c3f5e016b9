#include "meter/meterrecordtable.h"

#include "gui/rowbuttondelegate.h"
#include "gui/tableopwidget.h"
#include "measurement/meterdata.h"

#include <QHeaderView>
#include <QTableWidget>

MeterRecordTable::MeterRecordTable(QTableWidget *table) : m_table(table)
{
    QTableWidget *t = m_table;
    const int widths[] = {40, 170, 170, 170, 170, 170, 170};
    for (int c = 0; c < 7; ++c)
        t->setColumnWidth(c, widths[c]);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setSortingEnabled(false);
    m_reportButtons = new RowButtonDelegate(t);
    m_reportButtons->setText(TableOpWidget::tr("Report"));
    m_reportButtons->setButtonStyleSheet(TableOpWidget::buttonStyle());
    t->setItemDelegateForColumn(7, m_reportButtons);
}

void MeterRecordTable::applyUnitHeaders(int unit, const QString &microUnit)
{
    QString energy;
    QStringList power;
    switch (unit) {
    case MeterUnits::MicroWattPerCm2: {
        const QString text = microUnit;
        energy =
            tr("Energy ") + QString(text).replace(QStringLiteral("W/cm"), QStringLiteral("J/cm"));
        power << tr("Power(RT) ") + text << tr("Power(MAX) ") + text << tr("Power(MIN) ") + text
              << tr("Power(AVG) ") + text;
        break;
    }
    case MeterUnits::MilliWattPerCm2:
        energy = tr("Energy mJ/cm²");
        power << tr("Power(RT) mW/cm²") << tr("Power(MAX) mW/cm²") << tr("Power(MIN) mW/cm²")
              << tr("Power(AVG) mW/cm²");
        break;
    case MeterUnits::WattPerCm2:
        energy = tr("Energy J/cm²");
        power << tr("Power(RT) W/cm²") << tr("Power(MAX) W/cm²") << tr("Power(MIN) W/cm²")
              << tr("Power(AVG) W/cm²");
        break;
    case MeterUnits::WattPerM2:
        energy = tr("Energy J/m²");
        power << tr("Power(RT) W/m²") << tr("Power(MAX) W/m²") << tr("Power(MIN) W/m²")
              << tr("Power(AVG) W/m²");
        break;
    default:
        return;
    }
    QTableWidget *t = m_table;
    t->horizontalHeaderItem(1)->setText(energy);
    for (int i = 0; i < 4; ++i)
        t->horizontalHeaderItem(3 + i)->setText(power[i]);
}

int MeterRecordTable::addRow(const QString &no, const QString &energy, const QString &duration,
                             const QString &rt, const QString &max, const QString &min,
                             const QString &avg)
{
    QTableWidget *t = m_table;
    const int row = t->rowCount();
    t->setRowCount(row + 1);
    const QString texts[] = {no, energy, duration, rt, max, min, avg};
    for (int c = 0; c < 7; ++c) {
        auto *item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
    // The row's "Report" button is drawn by the column's delegate.
    return row;
}

QStringList MeterRecordTable::headers() const
{
    QStringList headers;
    for (int c = 0; c < 7; ++c) { // the action column has no header text
        const QTableWidgetItem *header = m_table->horizontalHeaderItem(c);
        headers << (header ? header->text() : QString());
    }
    return headers;
}

QString MeterRecordTable::cell(int row, int column) const
{
    const QTableWidgetItem *item = m_table->item(row, column);
    return item ? item->text() : QString();
}

void MeterRecordTable::retranslate()
{
    m_reportButtons->setText(TableOpWidget::tr("Report"));
    m_table->viewport()->update();
}
