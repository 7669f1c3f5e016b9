#pragma once

#include "files/recordexport.h"
#include "session/metersession.h"

#include <QString>
#include <QWidget>

#include <memory>

class InstrumentCommands;
class MeterDeviceInfo;
class MeterRecordTable;
class MeterSettingsPanel;
class OpenedFileBar;
class MyThread;
class RowButtonDelegate;
class QProgressDialog;
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
// The worker, its lock, the receive buffer and the download's decision are
// the MeterSession's; the page forwards to it, holds its exchange lock around
// its own exchanges with the instrument, and shows what the session reports.
// The settings buttons and their exchanges are the MeterSettingsPanel's, the
// device fields and their read the MeterDeviceInfo's, the table's columns and
// rows the MeterRecordTable's.
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
    void setInstrument(InstrumentCommands *commands);
    MeterSession *session() const { return m_session; }

    // Set by the main window with the language: true for Chinese. The report
    // window chooses its heading layout from it.
    bool chineseLayout = false;
    MeterReportData reportData;

    // The records in the table as the command-line tool writes them (CSV).
    MeterData recordExport;
    // Unit id used by the last decoded record (0..3), or -1.
    int unitIndex = -1;
    // Type code of the connected instrument, from the last device-information
    // read that got as far as the serial number.
    qint32 typeCode = 0;

    QProgressDialog *progressDialog = nullptr;
    RowButtonDelegate *reportButtons = nullptr; // the rows' "Report" buttons
    static constexpr int kDownloadLimitMs = MeterSession::kDownloadLimitMs;

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

    // Shows records saved in a file, without the instrument: the table, the
    // units and the instrument the file names, and where they came from.
    // False (nothing changes) while a download runs.
    bool openMeasurement(const MeterData &data, const QString &fileName);
    OpenedFileBar *openedFileBar() const { return m_openedFile; }

    QThread *workerThread() const { return m_session->workerThread(); }
    MyThread *worker() const { return m_session->worker(); }
    QTableWidget *table() const;

public slots:
    int openThreadSlot();
    bool closeThreadSlot();
    // Empties the device fields and the table.
    void clear();
    void updateProgress(int received, int maximum);
    void SaveData(const QByteArray &baData);
    int on_readhostconfiguretBtn_clicked();

private slots:
    void on_writehostconfiguretBtn_clicked();
    void on_GetDataBtn_clicked();
    void on_pushButton_saveData_clicked();
    void on_pushButton_clear_clicked();
    void on_ReportBtn_clicked(int row);
    void parseData(const MeterReading &record, int DataNo);
    void scanProbeNotices();
    void probePlugged();
    void probePulled();

private:
    using LinkLock = MeterSession::ExchangeLock;

    void keepGroupsWhole();
    // Shows every record that arrived, and says what was not read.
    void finishDownload(MeterSession::Outcome end, const MeterData &records,
                        const QList<int> &missing);
    // "The instrument was disconnected", with the records kept when kept >= 0.
    QString removalText(int kept) const;
    void clearDevice();
    bool refuseWhileDownloading();

    Ui::FirstPageForMeter *ui = nullptr;
    std::unique_ptr<MeterSettingsPanel> m_settings;
    std::unique_ptr<MeterDeviceInfo> m_device;
    std::unique_ptr<MeterRecordTable> m_table;

    MeterSession *m_session = nullptr;
    InstrumentCommands *m_commands = nullptr;
    OpenedFileBar *m_openedFile = nullptr;
};
