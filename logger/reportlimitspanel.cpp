#include "logger/reportlimitspanel.h"

#include "plot/limitsets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ReportLimitsPanel::ReportLimitsPanel(QWidget *parent) : QGroupBox(parent)
{
    setTitle(tr("Limits"));
    auto *grid = new QGridLayout(this);

    auto *setsRow = new QHBoxLayout;
    setsRow->addWidget(new QLabel(tr("Limit set:"), this));
    m_sets = new QComboBox(this);
    m_sets->setObjectName(QStringLiteral("limitSets"));
    m_sets->setEditable(true);
    m_sets->setInsertPolicy(QComboBox::NoInsert);
    m_sets->lineEdit()->setPlaceholderText(tr("Name of the set"));
    setsRow->addWidget(m_sets, 1);
    m_save = new QPushButton(tr("Save Set"), this);
    m_save->setObjectName(QStringLiteral("saveLimitSet"));
    m_delete = new QPushButton(tr("Delete Set"), this);
    m_delete->setObjectName(QStringLiteral("deleteLimitSet"));
    setsRow->addWidget(m_save);
    setsRow->addWidget(m_delete);
    grid->addLayout(setsRow, 0, 0, 1, 5);

    // A row a quantity: its label, then two limits, each switched on by its
    // own check box.
    auto add = [&](Row *row, const char *name, const QString &label, int r, int c, int decimals) {
        row->on = new QCheckBox(label, this);
        row->on->setObjectName(QLatin1String(name));
        row->value = new QDoubleSpinBox(this);
        row->value->setObjectName(QLatin1String(name) + QStringLiteral("Value"));
        row->value->setDecimals(decimals);
        row->value->setRange(0, 999999);
        row->value->setMaximumWidth(110);
        row->value->setEnabled(false);
        grid->addWidget(row->on, r, c);
        grid->addWidget(row->value, r, c + 1);
        connect(row->on, &QCheckBox::toggled, this, [this] {
            updateState();
            if (!m_loading)
                emit changed();
        });
        connect(row->value, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this] {
            if (!m_loading)
                emit changed();
        });
    };
    grid->addWidget(new QLabel(tr("Dose (mJ/cm²)"), this), 1, 0);
    add(&m_doseMin, "doseMin", tr("Minimum"), 1, 1, 3);
    add(&m_doseMax, "doseMax", tr("Maximum"), 1, 3, 3);
    grid->addWidget(new QLabel(tr("Peak (μW/cm²)"), this), 2, 0);
    add(&m_peakMin, "peakMin", tr("Minimum"), 2, 1, 1);
    add(&m_peakMax, "peakMax", tr("Maximum"), 2, 3, 1);
    grid->addWidget(new QLabel(tr("Time above"), this), 3, 0);
    add(&m_threshold, "threshold", tr("Threshold"), 3, 1, 1);
    m_threshold.value->setSuffix(QString::fromUtf8(" μW/cm²"));
    m_threshold.value->setMaximumWidth(150);
    add(&m_timeAboveMin, "timeAboveMin", tr("Minimum (s)"), 3, 3, 0);
    m_message = new QLabel(this);
    m_message->setStyleSheet(QStringLiteral("color: #c62828"));
    grid->addWidget(m_message, 4, 0, 1, 5);

    refreshSets(QString());
    connect(m_sets, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { chooseSet(m_sets->itemText(index)); });
    connect(m_sets, &QComboBox::editTextChanged, this, [this] { updateState(); });
    connect(m_save, &QPushButton::clicked, this, &ReportLimitsPanel::saveSet);
    connect(m_delete, &QPushButton::clicked, this, &ReportLimitsPanel::deleteSet);
    updateState();
}

bool ReportLimitsPanel::limits(Verdict::Limits *limits, QString *error) const
{
    Verdict::Limits l;
    auto read = [](const Row &row) {
        return row.on->isChecked() ? std::optional<double>(row.value->value()) : std::nullopt;
    };
    l.doseMin = read(m_doseMin);
    l.doseMax = read(m_doseMax);
    l.peakMin = read(m_peakMin);
    l.peakMax = read(m_peakMax);
    l.thresholdSet = m_threshold.on->isChecked();
    l.threshold = l.thresholdSet ? m_threshold.value->value() : 0;
    if (l.thresholdSet)
        l.timeAboveMin = read(m_timeAboveMin);
    if ((l.doseMin && l.doseMax && *l.doseMin > *l.doseMax) ||
        (l.peakMin && l.peakMax && *l.peakMin > *l.peakMax)) {
        *error = tr("A minimum is above its maximum.");
        return false;
    }
    *limits = l;
    return true;
}

void ReportLimitsPanel::setLimits(const Verdict::Limits &limits)
{
    m_loading = true;
    auto write = [](const Row &row, const std::optional<double> &value) {
        row.on->setChecked(value.has_value());
        if (value)
            row.value->setValue(*value);
    };
    write(m_doseMin, limits.doseMin);
    write(m_doseMax, limits.doseMax);
    write(m_peakMin, limits.peakMin);
    write(m_peakMax, limits.peakMax);
    const bool threshold = limits.thresholdSet || limits.timeAboveMin;
    write(m_threshold, threshold ? std::optional<double>(limits.threshold) : std::nullopt);
    write(m_timeAboveMin, limits.timeAboveMin);
    m_loading = false;
    updateState();
    emit changed();
}

void ReportLimitsPanel::chooseSet(const QString &name)
{
    Verdict::Limits l;
    if (LimitSets::load(name, &l))
        setLimits(l);
    updateState();
}

void ReportLimitsPanel::saveSet()
{
    const QString name = m_sets->currentText().trimmed();
    Verdict::Limits l;
    QString error;
    if (name.isEmpty() || !limits(&l, &error))
        return;
    LimitSets::save(name, l);
    refreshSets(name);
}

void ReportLimitsPanel::deleteSet()
{
    LimitSets::remove(m_sets->currentText().trimmed());
    refreshSets(QString());
}

void ReportLimitsPanel::refreshSets(const QString &current)
{
    m_sets->blockSignals(true);
    m_sets->clear();
    m_sets->addItems(LimitSets::names());
    m_sets->setCurrentIndex(m_sets->findText(current));
    m_sets->setEditText(current);
    m_sets->blockSignals(false);
    updateState();
}

void ReportLimitsPanel::updateState()
{
    for (const Row *row :
         {&m_doseMin, &m_doseMax, &m_peakMin, &m_peakMax, &m_threshold, &m_timeAboveMin})
        row->value->setEnabled(row->on->isChecked());
    // Time above a threshold needs the threshold.
    m_timeAboveMin.on->setEnabled(m_threshold.on->isChecked());
    m_timeAboveMin.value->setEnabled(m_threshold.on->isChecked() && m_timeAboveMin.on->isChecked());
    Verdict::Limits l;
    QString error;
    const bool consistent = limits(&l, &error);
    m_message->setText(consistent ? QString() : error);
    const QString name = m_sets->currentText().trimmed();
    m_save->setEnabled(consistent && !name.isEmpty());
    m_delete->setEnabled(m_sets->findText(name) >= 0);
}
