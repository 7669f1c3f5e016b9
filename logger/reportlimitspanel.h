#pragma once

#include "measurement/verdict.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

// The limits a report judges its run against, in the units the report shows
// (dose mJ/cm², peak and threshold μW/cm², time s), each optional; named
// sets of them are kept for reuse (LimitSets). The minimum time above a
// threshold needs the threshold.
class ReportLimitsPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit ReportLimitsPanel(QWidget *parent = nullptr);

    // The limits as set; false with a message when they contradict each
    // other (a minimum above its maximum).
    bool limits(Verdict::Limits *limits, QString *error) const;
    void setLimits(const Verdict::Limits &limits);

signals:
    // A limit was switched on or off or changed, or a set was chosen.
    void changed();

private:
    void chooseSet(const QString &name);
    void saveSet();
    void deleteSet();
    void refreshSets(const QString &current);
    void updateState();

    struct Row
    {
        QCheckBox *on;
        QDoubleSpinBox *value;
    };
    Row m_doseMin{}, m_doseMax{}, m_peakMin{}, m_peakMax{}, m_threshold{}, m_timeAboveMin{};
    QComboBox *m_sets = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QLabel *m_message = nullptr;
    bool m_loading = false;
};
