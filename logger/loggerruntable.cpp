#include "logger/loggerruntable.h"

#include "gui/tableopwidget.h"

#include <QHeaderView>
#include <QTableWidget>

LoggerRunTable::LoggerRunTable(QTableWidget *table) : QObject(table), table(table)
{
    table->verticalHeader()->setVisible(false);
    const int widths[] = {40, 170, 120, 120, 120, 120, 120};
    for (int c = 0; c < 7; ++c)
        table->setColumnWidth(c, widths[c]);
    table->horizontalHeader()->setStretchLastSection(true);
    // The power headers carry their unit: they wrap onto a second line
    // rather than lose both ends in a 120-pixel column.
    for (int c = 3; c < 7; ++c) {
        if (QTableWidgetItem *header = table->horizontalHeaderItem(c))
            header->setTextAlignment(int(Qt::AlignCenter) | int(Qt::TextWordWrap));
    }
    table->horizontalHeader()->setMinimumHeight(2 * table->fontMetrics().height() + 8);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSortingEnabled(false);
    TableOpWidget::styleTable(table);
}

int LoggerRunTable::addRow(const QStringList &texts)
{
    const int r = table->rowCount();
    table->setRowCount(r + 1);
    for (int c = 0; c < 7; ++c) {
        auto *item = new QTableWidgetItem(texts.value(c));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        table->setItem(r, c, item);
    }
    auto *actions = new TableOpWidget(table);
    actions->row = r;
    connect(actions, &TableOpWidget::sigEXCEL, this, &LoggerRunTable::excelClicked);
    connect(actions, &TableOpWidget::sigCurve, this, &LoggerRunTable::curveClicked);
    connect(actions, &TableOpWidget::sigReport, this, &LoggerRunTable::reportClicked);
    table->setCellWidget(r, 7, actions);
    return r;
}

QStringList LoggerRunTable::headerTexts() const
{
    QStringList headers;
    for (int c = 0; c < 7; ++c) { // the action column has no header text
        const QTableWidgetItem *header = table->horizontalHeaderItem(c);
        headers << (header ? header->text() : QString());
    }
    return headers;
}

void LoggerRunTable::retranslateRows()
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (auto *actions = qobject_cast<TableOpWidget *>(table->cellWidget(r, 7)))
            actions->retranslate();
    }
}
