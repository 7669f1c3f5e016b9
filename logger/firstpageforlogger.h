#pragma once

#include "download/loggerrun.h"
#include "measurement/loggerdata.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class InstrumentCommands;
class MyThread;
class QButtonGroup;
class QProgressDialog;
class QThread;

namespace Ui {
class FirstPageForLogger;
}

// The page shown for a Logger instrument: device information, the settings
// kept in configuration block 0x80 (Auto Off, Shutdown minutes, storage
// interval), the instrument clock, and the table of stored runs with the
// curve, report and spreadsheet exports of each run.
//
// Every operation runs on the GUI thread and talks to the instrument one
// request at a time through InstrumentCommands; the run download collects
// its answer packets itself through the main window's exchange.
class FirstPageForLogger : public QWidget
{
    Q_OBJECT
public:
    explicit FirstPageForLogger(QWidget *parent = nullptr);
    ~FirstPageForLogger() override;

    // The instrument's commands and, through them, the link: handed over by
    // the main window, which owns both.
    void setInstrument(InstrumentCommands *commands) { m_commands = commands; }

    // The instrument has gone: the device fields clear, the runs stay (a
    // download ends with the runs complete by then), and the user is told
    // (when tell is true, or when a download was running).
    void instrumentRemoved(bool tell);
    // How long the clock read from the instrument has been on show, in ms
    // (it gives way to the computer's clock after 10 s); -1 before any read.
    qint64 readClockShownMs() const { return readClockAge.isValid() ? readClockAge.elapsed() : -1; }

    // Device information, settings and clock, each with its own messages.
    void loadFromInstrument();
    void readDeviceInformation();
    // Re-applies every text in the current language, keeping values and rows.
    void languageChange();

    // Appends one table row (seven texts) with its row action widget.
    int addRecordRow(const QStringList &texts);

    // Where "Save Data" copies its workbook template from: "Data.xls" beside
    // the program, else in the installed data directory. Tests may point it
    // elsewhere (an empty path restores the search).
    static QString dataTemplatePath();
    static void setDataTemplatePath(const QString &path);
    // How a finished "EXCEL" export is opened with the desktop's default
    // application. nullptr restores QDesktopServices; the environment
    // variable VANTREL_NO_DESKTOP_OPEN=1 skips opening altogether.
    using FileOpener = std::function<void(const QString &fileName)>;
    static void setFileOpener(FileOpener opener);

    // A download ends when nothing new has arrived for this long.
    static int downloadSilenceLimitMs();
    static void setDownloadSilenceLimitMs(int ms);

    bool chineseLayout = false;

    // Texts of the run chosen by the last row action.
    QString reportDeviceName;
    QString reportSerialNo;
    QString reportStartTime;
    QString reportDuration;
    QString reportRec;
    QString reportMax;
    QString reportMin;
    QString reportAvg;
    QString exportRunNo;

    bool downloading() const { return isDownloading; }
    const QByteArray &runPayload(int run) const { return runData.at(size_t(run)); }
    const QByteArray &runAnswerBytes(int run) const { return runFrames.at(size_t(run)); }
    QProgressDialog *downloadProgressDialog() const { return progressDialog; }

public slots:
    void SetShutdownEditStatus();
    void timerUpdate();
    void on_readhostconfiguretBtn_clicked();
    void on_readDateTimeBtn_clicked();
    void setTimeEdit();
    QByteArray GetPowerData();
    void clear();

private slots:
    void on_GetDataBtn_clicked();
    void on_UVPowerCurveBtn_clicked();
    void on_SaveUVPowerBtn_clicked();
    void on_writehostconfiguretBtn_clicked();
    void on_writeDateTimeBtn_clicked();
    void on_CurveBtn_clicked(int row);
    void on_EXCELBtn_clicked(int row);
    void on_ReportBtn_clicked(int row);
    void on_pushButton_saveData_clicked();
    void on_pushButton_clear_clicked();

public slots:
    bool openThreadSlot();
    bool closeThreadSlot();
    void SaveData(const QByteArray &baData);
    void updateProgress();

private:
    // Both guards show their message and return false when the operation
    // may not run.
    bool busyGuard();
    bool linkGuard();
    // Download of run k; false when the download has to end here.
    enum class RunOutcome { Complete, SendFailed, Silent, LinkLost, Cancelled, StepUnreadable };
    void clearDevice();
    // "The instrument was disconnected", with the runs kept when kept >= 0.
    QString removalText(int kept) const;
    RunOutcome downloadRun(int run, int *receivedTotal, int progressMaximum);
    void showConfigurationDefaults();
    void setIntervalButtonsStyle(const QString &style);

    QTimer progressTimer;
    QElapsedTimer downloadClock;
    int expectedGroups = 0;
    QThread *workerThread = nullptr;
    MyThread *worker = nullptr;
    bool workerLockHeld = false;
    QByteArray receiveBuffer;
    Ui::FirstPageForLogger *ui = nullptr;
    QButtonGroup *autoOffGroup = nullptr;
    QButtonGroup *intervalGroup = nullptr;
    std::array<QByteArray, LoggerRun::MaxRuns> runFrames;
    std::array<QByteArray, LoggerRun::MaxRuns> runData;
    std::array<int, LoggerRun::MaxRuns> runSteps{}; // storage step of each run, s
    // The runs in the table as the command-line tool writes them (CSV).
    LoggerData exportOf(int firstRun, int runCount) const;
    QTimer readClockTimer;
    QElapsedTimer readClockAge;
    bool isDownloading = false;
    // clear() arrived while a download ran: the download ends, then the
    // table is emptied.
    bool clearPending = false;
    // The instrument went away while a download ran.
    bool removedDuringDownload = false;
    QProgressDialog *progressDialog = nullptr;
    QByteArray powerData;
    QTimer *liveClockTimer = nullptr;
    InstrumentCommands *m_commands = nullptr;
};
