#include "logger/loggerruntable.h"

#include "gui/doseunitchoice.h"
#include "gui/tableopwidget.h"
#include "measurement/uvfigures.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>

#include <cmath>

namespace {

constexpr int kActionColumn = 7;
constexpr int kDoseColumn = 8;
constexpr int kPeakColumn = 9;
constexpr int kWindowColumn = 10;
constexpr int kColumns = 11;
// The run a row shows (on its first item), and what a column sorts by.
constexpr int kRunRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2;
constexpr int kDoseRole = Qt::UserRole + 3; // μJ/cm²

// An item sorted by its number where it has one, else by its text.
class SortItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant a = data(kSortRole);
        const QVariant b = other.data(kSortRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        if (a.isValid() != b.isValid())
            return a.isValid(); // rows without the figure last
        return text() < other.text();
    }
};

QTableWidgetItem *itemOf(const QString &text, const QVariant &sortKey = QVariant())
{
    auto *item = new SortItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    if (sortKey.isValid())
        item->setData(kSortRole, sortKey);
    return item;
}

// A figure with the digits it has (0, 1200, 12.5), as the table's powers
// keep one decimal at most.
QString figureText(double value)
{
    return QString::number(std::round(value * 10) / 10, 'g', 12);
}

QString doseText(double microJoulePerCm2, DoseUnit::Unit unit)
{
    return QString::number(DoseUnit::fromMicroJoulePerCm2(microJoulePerCm2, unit), 'f',
                           DoseUnit::decimals(unit));
}

} // namespace

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
    // The whole run's figures after the row buttons.
    table->setColumnCount(kColumns);
    // The row buttons keep room for their three texts; the figures share
    // what is left, the window taking the rest.
    table->setColumnWidth(kActionColumn, 176);
    const int figureWidths[] = {90, 84, 84};
    for (int c = kDoseColumn; c < kColumns; ++c) {
        table->setHorizontalHeaderItem(c, new QTableWidgetItem);
        table->horizontalHeaderItem(c)->setTextAlignment(int(Qt::AlignCenter) |
                                                         int(Qt::TextWordWrap));
        table->setColumnWidth(c, figureWidths[c - kDoseColumn]);
    }
    table->horizontalHeader()->setSortIndicatorShown(true);
    table->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            &LoggerRunTable::chooseUnitAt);
    connect(DoseUnitChoice::instance(), &DoseUnitChoice::changed, this, &LoggerRunTable::showDoses);
    table->setSortingEnabled(true);
    TableOpWidget::styleTable(table);
    retranslateRows();
}

int LoggerRunTable::addRun(const LoggerRunData &run)
{
    const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds);
    return appendRow(run.rowTexts(), &f);
}

int LoggerRunTable::runOfRow(int row) const
{
    const QTableWidgetItem *first = row >= 0 ? table->item(row, 0) : nullptr;
    return first ? first->data(kRunRole).toInt() : -1;
}

int LoggerRunTable::rowOfRun(int run) const
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (runOfRow(r) == run)
            return r;
    }
    return -1;
}

void LoggerRunTable::showDoses(DoseUnit::Unit unit)
{
    if (QTableWidgetItem *header = table->horizontalHeaderItem(kDoseColumn))
        header->setText(tr("Dose in %1").arg(DoseUnit::text(unit)));
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    for (int r = 0; r < table->rowCount(); ++r) {
        if (QTableWidgetItem *dose = table->item(r, kDoseColumn))
            dose->setText(doseText(dose->data(kDoseRole).toDouble(), unit));
    }
    table->setSortingEnabled(sorting);
}

void LoggerRunTable::chooseUnitAt(const QPoint &pos)
{
    if (table->horizontalHeader()->logicalIndexAt(pos) != kDoseColumn)
        return;
    QMenu menu(table);
    auto *group = new QActionGroup(&menu);
    for (DoseUnit::Unit unit : DoseUnit::kUnits) {
        QAction *action = menu.addAction(tr("Doses in %1").arg(DoseUnit::text(unit)));
        action->setCheckable(true);
        action->setChecked(unit == DoseUnitChoice::instance()->unit());
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [unit] { DoseUnitChoice::instance()->setUnit(unit); });
    }
    menu.exec(table->horizontalHeader()->mapToGlobal(pos));
}

int LoggerRunTable::addRow(const QStringList &texts)
{
    return appendRow(texts, nullptr);
}

int LoggerRunTable::appendRow(const QStringList &texts, const UvFigures::Figures *figures)
{
    // Rows go in unsorted; the table sorts again once they are whole.
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    const int r = table->rowCount();
    if (r == 0) {
        // A new table of runs starts in the order the runs were taken.
        m_added = 0;
        table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    const int index = m_added++;
    table->setRowCount(r + 1);
    for (int c = 0; c < 7; ++c) {
        // The number, the duration and the powers sort as numbers.
        bool isNumber = false;
        const double value = texts.value(c).toDouble(&isNumber);
        auto *item = itemOf(texts.value(c), c != 1 && isNumber ? QVariant(value) : QVariant());
        table->setItem(r, c, item);
    }
    table->item(r, 0)->setData(kRunRole, index);
    auto *actions = new TableOpWidget(table);
    actions->row = index;
    connect(actions, &TableOpWidget::sigEXCEL, this, &LoggerRunTable::excelClicked);
    connect(actions, &TableOpWidget::sigCurve, this, &LoggerRunTable::curveClicked);
    connect(actions, &TableOpWidget::sigReport, this, &LoggerRunTable::reportClicked);
    table->setCellWidget(r, kActionColumn, actions);
    if (figures && figures->samples > 0) {
        const UvFigures::Figures &f = *figures;
        auto *dose = itemOf(doseText(f.dose, DoseUnitChoice::instance()->unit()), f.dose);
        dose->setData(kDoseRole, f.dose);
        table->setItem(r, kDoseColumn, dose);
        table->setItem(r, kPeakColumn, itemOf(figureText(f.peak), f.peak));
        table->setItem(r, kWindowColumn,
                       itemOf(f.hasWindow ? figureText(f.windowStart) + QStringLiteral(" – ") +
                                                figureText(f.windowEnd)
                                          : QStringLiteral("–"),
                              f.hasWindow ? QVariant(f.windowEnd - f.windowStart) : QVariant()));
    }
    table->setSortingEnabled(sorting);
    return index;
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
        if (auto *actions = qobject_cast<TableOpWidget *>(table->cellWidget(r, kActionColumn)))
            actions->retranslate();
    }
    if (QTableWidgetItem *peak = table->horizontalHeaderItem(kPeakColumn))
        peak->setText(tr("Peak in %1").arg(LoggerUnits::powerUnitText()));
    if (QTableWidgetItem *window = table->horizontalHeaderItem(kWindowColumn))
        window->setText(tr("Window (s)"));
    showDoses(DoseUnitChoice::instance()->unit());
}
