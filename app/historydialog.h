#pragma once

// The History view: the instruments of the archive with their Logger runs
// and Meter records by date, searched by serial number and date range; a
// trend of the dose and peak of the runs listed over time, one series of
// each per Logger (Meter records have none, which the chart says); a run
// opens in the Logger page offline, as an opened file does.

#include "archive/archive.h"

#include <QDialog>

class QCPItemText;
class QCustomPlot;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class HistoryDialog : public QDialog
{
    Q_OBJECT
public:
    // connection as Archive::open takes it.
    explicit HistoryDialog(const QString &connection, QWidget *parent = nullptr);

    // Reads the archive again with the search's serial number and dates;
    // false (the reason shown in the dialog) when it cannot be read.
    bool refresh();
    // Reads from another archive from now on (refresh() to show it).
    void setConnection(const QString &connection) { m_connection = connection; }
    void retranslate();
    // Plots the runs listed, the series of the instrument of item (an
    // instrument or its run) drawn bold.
    void showTrend(QTreeWidgetItem *item);
    // Opens the run of the current item; false when it is no run.
    bool openCurrentRun();
    // Names the run of the archive with this id, in the language in use.
    static QString runName(qint64 id);

    QTreeWidget *tree() const { return m_tree; }
    QCustomPlot *trend() const { return m_trend; }
    QLineEdit *serialEdit() const { return m_serial; }
    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *untilEdit() const { return m_until; }
    QLabel *messageLabel() const { return m_message; }

signals:
    // A run to show in the Logger page; id is its id in the archive
    // (runName() names it).
    void runOpened(const LoggerData &data, qint64 id);

protected:
    void changeEvent(QEvent *event) override;

private:
    // The texts of the tree's items and of the message, from what the last
    // search found, in the language in use.
    void showTexts();
    void setTexts(QTreeWidgetItem *item) const;
    static QString instrumentName(const QString &model, quint32 serial);

    QString m_connection;
    QLineEdit *m_serial = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_until = nullptr;
    QLabel *m_serialLabel = nullptr;
    QLabel *m_fromLabel = nullptr;
    QLabel *m_untilLabel = nullptr;
    QPushButton *m_search = nullptr;
    QPushButton *m_open = nullptr;
    QTreeWidget *m_tree = nullptr;
    QCustomPlot *m_trend = nullptr;
    QCPItemText *m_note = nullptr; // what the chart leaves out
    QLabel *m_message = nullptr;
    QList<Archive::RunEntry> m_runs;
    QList<Archive::RecordEntry> m_records;
    bool m_searched = false; // the last search read the archive
    bool m_readOnly = false;
};
