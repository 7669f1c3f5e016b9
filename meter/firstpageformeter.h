#pragma once

#include "download/meterdownload.h"
#include "files/recordexport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class InstrumentCommands;
class MyThread;
class QButtonGroup;
class RowButtonDelegate;
class QProgressDialog;
class QRadioButton;
class QTableWidget;
class QThread;

namespace Ui {
class FirstPageForMeter;
}

// What the report window of a Meter row is built from. The page fills the
// texts when "Report" is pressed; the unit fragments come from the last
// decoded record.
struct MeterReportData
{
    QString deviceName;
    QString serialNumber;
    QString energy;
    QString duration;
    QString powerRt;
    QString powerMax;
    QString powerMin;
    QString powerAvg;
    QString powerUnit;  // HTML, e.g. "mW/cm<sup>2</sup>"
    QString energyUnit; // HTML, e.g. "mJ/cm<sup>2</sup>"
};

// The page of the single-measurement instrument family: device information
// and the four settings (Auto Off, Smooth, Unit, Energy Display), the record
// download through the background worker, the record table with its save and
// per-row report.
//
// Threads: everything here runs on the GUI thread. The worker (MyThread) reads
// the link on its own thread and hands the bytes to SaveData; every exchange
// of the page with the instrument holds the worker's lock so that the worker
// cannot take the answer away.
class FirstPageForMeter : public QWidget
{
    Q_OBJECT
public:
    explicit FirstPageForMeter(QWidget *parent = nullptr);
    ~FirstPageForMeter() override;

    // The instrument has gone: the device fields clear, the records stay
    // (a download ends with what has arrived), and the user is told.
    void instrumentRemoved(bool tell);

    // The instrument's commands and, through them, the link: handed over by
    // the main window, which owns both.
    void setInstrument(InstrumentCommands *commands) { m_commands = commands; }

    // Set by the main window with the language: true for Chinese. The report
    // window chooses its heading layout from it.
    bool chineseLayout = false;
    MeterReportData reportData;

    // Download state (see on_GetDataBtn_clicked and updateProgress).
    bool isDownloading = false;
    QByteArray receiveBuffer;
    int recordCount = 0;
    // The records in the table as the command-line tool writes them (CSV).
    MeterData recordExport;
    // Unit id used by the last decoded record (0..3), or -1.
    int unitIndex = -1;
    // Type code of the connected instrument, from the last device-information
    // read that got as far as the serial number.
    qint32 typeCode = 0;

    QProgressDialog *progressDialog = nullptr;
    RowButtonDelegate *reportButtons = nullptr; // the rows' "Report" buttons
    // The worker hands bytes on as they come; a pass of its collection has
    // begun and not yet ended (as far as its signals have been seen here).
    bool m_passOpen = false;
    // A download ended during that pass: the pass's remaining bytes belong
    // to the download's stream and are dropped with it.
    bool m_dropRestOfPass = false;
    QTimer progressTimer;
    QElapsedTimer downloadClock;
    static constexpr int kDownloadLimitMs = 10000;
    static constexpr int kProgressTickMs = 100;

    // 1 success, -1 failure.
    int readDeviceInformation();
    // readDeviceInformation, then (when it succeeded) the configuration read.
    int readDeviceAndConfiguration();
    // Appends one row with its report button; returns the row index.
    int addRecordRow(const QString &no, const QString &energy, const QString &duration,
                     const QString &rt, const QString &max, const QString &min, const QString &avg);
    // Retranslates the page, keeping the device fields and rebuilding the unit
    // headers from unitIndex.
    void languageChange();

    QThread *workerThread() const;
    MyThread *worker() const;
    QTableWidget *table() const;

public slots:
    int openThreadSlot();
    bool closeThreadSlot();
    // Empties the device fields and the table.
    void clear();
    void updateProgress();
    void SaveData(const QByteArray &baData);
    int on_readhostconfiguretBtn_clicked();

private slots:
    void on_writehostconfiguretBtn_clicked();
    void on_GetDataBtn_clicked();
    void on_pushButton_saveData_clicked();
    void on_pushButton_clear_clicked();
    void on_ReportBtn_clicked(int row);
    void parseData(const QByteArray &baData, int DataNo);
    void scanProbeNotices();

private:
    class LinkLock;
    friend class LinkLock;

    void setupButtonGroups();
    void setupTable();
    void keepGroupsWhole();
    void applyUnitHeaders(int unit);
    enum class DownloadEnd
    {
        Complete,
        TimedOut,
        Cancelled,
        Removed
    };
    // Ends the download keeping every record that arrived, and says what
    // was not read.
    void finishDownload(const MeterDownload::Collected &collected, DownloadEnd end);
    // "The instrument was disconnected", with the records kept when kept >= 0.
    QString removalText(int kept) const;
    void clearDevice();
    bool refuseWhileDownloading();
    QList<QRadioButton *> smoothButtons() const;
    QList<QRadioButton *> unitButtons() const;

    Ui::FirstPageForMeter *ui = nullptr;
    QButtonGroup *autoOffGroup = nullptr;
    QButtonGroup *energyDisplayGroup = nullptr;
    QButtonGroup *smoothGroup = nullptr;
    QButtonGroup *unitGroup = nullptr;

    QPointer<QThread> m_thread;
    QPointer<MyThread> m_worker;
    // Stands in for the worker's lock while no worker runs.
    QMutex m_idleLock;
    // How deeply the GUI thread holds the worker's lock (a message box shown
    // under the lock runs a nested event loop).
    int m_lockDepth = 0;
    bool m_probeScanPending = false;
    InstrumentCommands *m_commands = nullptr;
};
