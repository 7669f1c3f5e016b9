#include "app/historydialog.h"

#include "measurement/instrumentclock.h"
#include "measurement/meterdata.h"
#include "measurement/uvfigures.h"

#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>
#include <iterator>
#include <utility>

namespace {

enum Role
{
    IdRole = Qt::UserRole, // run or record id; instrument: 0
    KindRole,              // "instrument", "run", "record"
    SerialRole,
    ModelRole,
    LoggerRole, // instrument: a Logger (else a Meter)
    EntryRole   // run or record: its place in the runs or records found
};

// The first date of the date fields stands for "no bound".
const QDate kNoBound(2000, 1, 1);

// One decimal, as in the instrument's own tables; a value below 1 with two
// significant digits, so that a small dose or peak does not read 0.0.
QString figure(double value)
{
    const double size = qAbs(value);
    if (size == 0 || size >= 0.95 || !qIsFinite(value))
        return QString::number(value, 'f', 1);
    return QString::number(value, 'f', qMax(1, 1 - int(std::floor(std::log10(size)))));
}

// The colours of the instruments' series, in the order of the list.
const QRgb kSeriesColours[] = {0x1E90FF, 0xE06020, 0x2CA02C, 0x9467BD,
                               0xD62728, 0x8C564B, 0x17BECF, 0xBCBD22};

} // namespace

HistoryDialog::HistoryDialog(const QString &connection, QWidget *parent)
    : QDialog(parent), m_connection(connection)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    resize(1000, 640);
    m_serial = new QLineEdit(this);
    m_serial->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,10}")), this));
    m_from = new QDateEdit(this);
    m_until = new QDateEdit(this);
    for (QDateEdit *edit : {m_from, m_until}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setMinimumDate(kNoBound);
        edit->setDate(kNoBound);
    }
    m_serialLabel = new QLabel(this);
    m_fromLabel = new QLabel(this);
    m_untilLabel = new QLabel(this);
    m_search = new QPushButton(this);
    m_open = new QPushButton(this);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);

    auto *filters = new QHBoxLayout;
    filters->addWidget(m_serialLabel);
    filters->addWidget(m_serial);
    filters->addWidget(m_fromLabel);
    filters->addWidget(m_from);
    filters->addWidget(m_untilLabel);
    filters->addWidget(m_until);
    filters->addWidget(m_search);
    filters->addStretch();
    filters->addWidget(m_open);

    m_tree = new QTreeWidget(this);
    m_tree->setColumnCount(7);
    m_tree->setAlternatingRowColors(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_trend = new QCustomPlot(this);
    m_trend->setMinimumHeight(220);
    m_note = new QCPItemText(m_trend);
    m_note->position->setType(QCPItemPosition::ptAxisRectRatio);
    m_note->setPadding(QMargins(6, 3, 6, 3));
    m_note->setBrush(QColor(255, 255, 255, 200));
    QSharedPointer<QCPAxisTickerDateTime> dates(new QCPAxisTickerDateTime);
    dates->setDateTimeFormat(QStringLiteral("yyyy-MM-dd"));
    m_trend->xAxis->setTicker(dates);
    m_trend->yAxis2->setVisible(true);
    m_trend->legend->setVisible(true);
    m_trend->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignLeft);

    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_tree);
    split->addWidget(m_trend);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(split);
    layout->addWidget(m_message);

    connect(m_search, &QPushButton::clicked, this, &HistoryDialog::refresh);
    connect(m_serial, &QLineEdit::returnPressed, this, &HistoryDialog::refresh);
    connect(m_open, &QPushButton::clicked, this, &HistoryDialog::openCurrentRun);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showTrend(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { openCurrentRun(); });
    retranslate();
}

void HistoryDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void HistoryDialog::retranslate()
{
    setWindowTitle(tr("History"));
    m_serialLabel->setText(tr("Serial number:"));
    m_fromLabel->setText(tr("From:"));
    m_untilLabel->setText(tr("Until:"));
    for (QDateEdit *edit : {m_from, m_until})
        edit->setSpecialValueText(tr("any"));
    m_search->setText(tr("Search"));
    m_open->setText(tr("Open run"));
    m_tree->setHeaderLabels({tr("Instrument / start"), tr("Run / record"), tr("Samples"),
                             tr("Duration (s)"), tr("Dose (mJ/cm²) / energy"),
                             tr("Peak (μW/cm²) / MAX"), tr("Source")});
    m_trend->yAxis->setLabel(tr("Dose (mJ/cm²)"));
    m_trend->yAxis2->setLabel(tr("Peak (μW/cm²)"));
    m_trend->xAxis->setLabel(tr("Start of the run"));
    showTexts();
    showTrend(m_tree->currentItem());
}

bool HistoryDialog::refresh()
{
    Archive::Filter filter;
    if (!m_serial->text().isEmpty()) {
        filter.hasSerial = true;
        filter.serial = m_serial->text().toUInt();
    }
    if (m_from->date() != kNoBound)
        filter.since = InstrumentClock::at(m_from->date(), QTime(0, 0));
    if (m_until->date() != kNoBound)
        filter.until = InstrumentClock::at(m_until->date(), QTime(23, 59, 59));

    m_tree->clear();
    m_runs.clear();
    m_records.clear();
    m_searched = false;
    showTrend(nullptr);
    Archive archive;
    QString error;
    if (!archive.open(m_connection, &error) || !archive.listRuns(filter, &m_runs, &error) ||
        !archive.listRecords(filter, &m_records, &error)) {
        m_runs.clear();
        m_records.clear();
        m_message->setText(error);
        return false;
    }
    m_searched = true;
    m_readOnly = archive.isReadOnly();
    QMap<QString, QTreeWidgetItem *> instruments;
    auto instrumentItem = [&](bool logger, const QString &model, quint32 serial) {
        const QString key = QStringLiteral("%1|%2|%3").arg(logger).arg(model).arg(serial);
        QTreeWidgetItem *&item = instruments[key];
        if (!item) {
            item = new QTreeWidgetItem(m_tree);
            item->setData(0, KindRole, QStringLiteral("instrument"));
            item->setData(0, SerialRole, qint64(serial));
            item->setData(0, ModelRole, model);
            item->setData(0, LoggerRole, logger);
            item->setExpanded(true);
        }
        return item;
    };
    for (int i = 0; i < m_runs.size(); ++i) {
        const Archive::RunEntry &r = m_runs.at(i);
        auto *item = new QTreeWidgetItem(instrumentItem(true, r.model, r.serial));
        item->setData(0, IdRole, r.id);
        item->setData(0, KindRole, QStringLiteral("run"));
        item->setData(0, SerialRole, qint64(r.serial));
        item->setData(0, ModelRole, r.model);
        item->setData(0, EntryRole, i);
    }
    for (int i = 0; i < m_records.size(); ++i) {
        const Archive::RecordEntry &r = m_records.at(i);
        auto *item = new QTreeWidgetItem(instrumentItem(false, r.model, r.serial));
        item->setData(0, IdRole, r.id);
        item->setData(0, KindRole, QStringLiteral("record"));
        item->setData(0, EntryRole, i);
    }
    showTexts();
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    return true;
}

void HistoryDialog::showTexts()
{
    if (!m_searched)
        return; // nothing read, or the reason it could not be
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *instrument = m_tree->topLevelItem(i);
        setTexts(instrument);
        for (int c = 0; c < instrument->childCount(); ++c)
            setTexts(instrument->child(c));
    }
    m_message->setText(m_runs.isEmpty() && m_records.isEmpty()
                           ? tr("The archive holds nothing that matches the search.")
                           : tr("%n run(s)", nullptr, m_runs.size()) + QStringLiteral(", ") +
                                 tr("%n record(s)", nullptr, m_records.size()));
    if (m_readOnly)
        m_message->setText(m_message->text() + QStringLiteral(" ") +
                           tr("(The archive is read-only: downloads are not archived into it.)"));
}

void HistoryDialog::setTexts(QTreeWidgetItem *item) const
{
    // Where a run came from: a download, or the name of the file it was
    // imported from (shown as it is).
    const auto sourceText = [](const QString &source) {
        return source == QLatin1String("download") ? tr("download") : source;
    };
    const QString kind = item->data(0, KindRole).toString();
    const int entry = item->data(0, EntryRole).toInt();
    if (kind == QLatin1String("instrument")) {
        const QString model = item->data(0, ModelRole).toString();
        const quint32 serial = quint32(item->data(0, SerialRole).toLongLong());
        item->setText(0, instrumentName(model, serial));
        item->setText(1, item->data(0, LoggerRole).toBool() ? tr("Logger") : tr("Meter"));
    } else if (kind == QLatin1String("run") && entry >= 0 && entry < m_runs.size()) {
        const Archive::RunEntry &r = m_runs.at(entry);
        item->setText(0, r.start.isValid() ? LoggerText::startTime(r.start) : tr("no start time"));
        item->setText(1, tr("run %1").arg(r.number));
        item->setText(2, QString::number(r.samples));
        item->setText(3, QString::number(r.durationSeconds));
        item->setText(4, figure(UvFigures::toMilliJoulePerCm2(r.dose)));
        item->setText(5, figure(r.peak));
        item->setText(6, sourceText(r.source));
    } else if (kind == QLatin1String("record") && entry >= 0 && entry < m_records.size()) {
        const Archive::RecordEntry &r = m_records.at(entry);
        const QStringList texts = MeterData::rowTexts(r.number, r.reading, r.decimals);
        item->setText(0, r.importedAt.left(10) + QLatin1Char(' ') + r.importedAt.mid(11));
        item->setText(1, tr("record %1").arg(r.number));
        item->setText(3, texts.value(2));
        item->setText(4, texts.value(1) + QLatin1Char(' ') + MeterUnits::energyUnitText(r.unit));
        item->setText(5, texts.value(4) + QLatin1Char(' ') + MeterUnits::powerUnitText(r.unit));
        item->setText(6, sourceText(r.source));
    }
}

QString HistoryDialog::instrumentName(const QString &model, quint32 serial)
{
    const QString name = model.isEmpty() ? tr("Instrument not named") : model;
    return serial ? tr("%1, serial number %2").arg(name).arg(serial) : name;
}

void HistoryDialog::showTrend(QTreeWidgetItem *item)
{
    const bool chosen = item && item->data(0, KindRole).toString() != QLatin1String("record");
    const quint32 chosenSerial = chosen ? quint32(item->data(0, SerialRole).toLongLong()) : 0;
    const QString chosenModel = chosen ? item->data(0, ModelRole).toString() : QString();
    m_trend->clearGraphs();
    // Each Logger listed: its doses (solid, left axis) and peaks (dashed,
    // right axis) in a colour of its own, the one chosen drawn bold; the
    // legend names the instruments, then what solid and dashed stand for.
    // A Logger's pair of series: doses solid on the left axis, peaks dashed
    // on the right.
    auto addPair = [this](const QColor &colour, double width) {
        QCPGraph *doses = m_trend->addGraph(m_trend->xAxis, m_trend->yAxis);
        doses->setPen(QPen(colour, width));
        doses->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 6));
        QCPGraph *peaks = m_trend->addGraph(m_trend->xAxis, m_trend->yAxis2);
        peaks->setPen(QPen(colour, width, Qt::DashLine));
        peaks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, 6));
        return std::pair{doses, peaks};
    };
    int plotted = 0;
    bool undated = false;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *instrument = m_tree->topLevelItem(i);
        if (!instrument->data(0, LoggerRole).toBool())
            continue;
        const quint32 serial = quint32(instrument->data(0, SerialRole).toLongLong());
        const QString model = instrument->data(0, ModelRole).toString();
        QVector<double> x, dose, peak;
        for (const Archive::RunEntry &r : qAsConst(m_runs)) {
            if (r.serial != serial || r.model != model)
                continue;
            if (!r.start.isValid()) {
                undated = true;
                continue;
            }
            x << double(r.start.toSecsSinceEpoch());
            dose << UvFigures::toMilliJoulePerCm2(r.dose);
            peak << r.peak;
        }
        if (x.isEmpty())
            continue;
        const int series = m_trend->graphCount() / 2;
        const QColor colour(kSeriesColours[series % int(std::size(kSeriesColours))]);
        const double width = chosen && serial == chosenSerial && model == chosenModel ? 3 : 1.5;
        const auto [doses, peaks] = addPair(colour, width);
        doses->setData(x, dose, true);
        doses->setName(instrumentName(model, serial));
        peaks->setData(x, peak, true);
        peaks->removeFromLegend();
        plotted += x.size();
    }
    if (plotted > 0) {
        // The legend's key: what solid and dashed stand for.
        const auto [doses, peaks] = addPair(QColor(0x60, 0x60, 0x60), 1.5);
        doses->setName(tr("Dose (mJ/cm²)"));
        peaks->setName(tr("Peak (μW/cm²)"));
    }
    // What the chart leaves out of the list, said on it; with nothing to
    // plot, that alone, without axes.
    QStringList notes;
    if (!m_records.isEmpty())
        notes << tr("Meter records have no dose or peak trend; only Logger runs are plotted.");
    if (undated)
        notes << tr("Runs without a start time are not plotted.");
    if (plotted == 0 && notes.isEmpty())
        notes << tr("No runs to plot.");
    m_note->setText(notes.join(QLatin1Char('\n')));
    m_note->setVisible(!notes.isEmpty());
    m_note->setPositionAlignment(plotted > 0 ? Qt::AlignTop | Qt::AlignHCenter : Qt::AlignCenter);
    m_note->position->setCoords(0.5, plotted > 0 ? 0.02 : 0.5);
    for (QCPAxis *axis : {m_trend->xAxis, m_trend->yAxis, m_trend->yAxis2})
        axis->setVisible(plotted > 0);
    m_trend->legend->setVisible(plotted > 0);
    if (plotted == 0) {
        m_trend->replot();
        return;
    }
    m_trend->rescaleAxes();
    // A margin either side, so that the first and last points show whole;
    // a day either side of one run or of runs on one day.
    const QCPRange days = m_trend->xAxis->range();
    m_trend->xAxis->setRange(days.center(), qMax(days.size() * 1.1, 2.0 * 86400), Qt::AlignCenter);
    // Runs within a few days get ticks every few hours: those show the time
    // too, or neighbouring ticks would carry the same date.
    if (auto dates = m_trend->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>()) {
        dates->setDateTimeFormat(m_trend->xAxis->range().size() <= 5.0 * 86400
                                     ? QStringLiteral("yyyy-MM-dd\nhh:mm")
                                     : QStringLiteral("yyyy-MM-dd"));
    }
    for (QCPAxis *axis : {m_trend->yAxis, m_trend->yAxis2}) {
        const QCPRange r = axis->range();
        axis->setRange(qMin(0.0, r.lower), r.upper > 0 ? r.upper * 1.1 : 1.0);
    }
    m_trend->replot();
}

bool HistoryDialog::openCurrentRun()
{
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item || item->data(0, KindRole).toString() != QLatin1String("run"))
        return false;
    const qint64 id = item->data(0, IdRole).toLongLong();
    Archive archive;
    LoggerData data;
    QString error;
    if (!archive.open(m_connection, &error) || !archive.loadRun(id, &data, &error)) {
        m_message->setText(error);
        return false;
    }
    emit runOpened(data, id);
    return true;
}

QString HistoryDialog::runName(qint64 id)
{
    return tr("the archive (run %1)").arg(id);
}
