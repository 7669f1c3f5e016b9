#pragma once

#include "download/loggerrun.h"
#include "measurement/loggerdata.h"
#include "session/loggersession.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class InstrumentCommands;
class LoggerClock;
class LoggerDeviceInfo;
class OpenedFileBar;
class LoggerRunTable;
class LoggerSettingsPanel;
class QProgressDialog;
class UserInputBlocker;

namespace Ui {
class FirstPageForLogger;
}

// The page shown for a Logger instrument: device information, the settings
// kept in configuration block 0x80 (Auto Off, Shutdown minutes, storage
// interval), the instrument clock, and the table of stored runs with the
// curve, report and spreadsheet exports of each run.
//
// Every operation runs on the GUI thread and talks to the instrument one
// request at a time through InstrumentCommands; the run download, the runs
// and the worker belong to the page's LoggerSession, whose signals the page
// shows (progress dialog, table rows, messages).
class FirstPageForLogger : public QWidget
{
    Q_OBJECT
public:
    explicit FirstPageForLogger(QWidget *parent = nullptr);
    ~FirstPageForLogger() override;

    // The instrument's commands and, through them, the link: handed over by
    // the main window, which owns both.
    void setInstrument(InstrumentCommands *commands)
    {
        m_commands = commands;
        m_session->setCommands(commands);
    }

    // The instrument has gone: the device fields clear, the runs stay (a
    // download ends with the runs complete by then), and the user is told
    // (when tell is true, or when a download was running).
    void instrumentRemoved(bool tell);
    // How long the clock read from the instrument has been on show, in ms
    // (it gives way to the computer's clock after 10 s); -1 before any read.
    qint64 readClockShownMs() const;

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

    bool downloading() const { return m_session->downloading(); }
    LoggerSession *session() const { return m_session; }
    // The instrument the runs on show came from: the connected one's fields,
    // or the one an opened file names.
    InstrumentIdentity dataInstrument() const;
    QByteArray runPayload(int run) const { return m_session->run(run).payload; }
    QByteArray runAnswerBytes(int run) const { return m_session->answerBytes(run); }
    QProgressDialog *downloadProgressDialog() const { return progressDialog; }
    // The run chosen by the last row action (kept when the table clears).
    const LoggerRunData &chosenRun() const { return m_chosenRun; }
    // The runs on show came from a file that keeps their samples with one
    // decimal: their figures are of rounded samples.
    bool samplesRounded() const;
    // The runs of the rows selected in the table, in the table's order.
    QList<LoggerRunData> selectedRuns() const;
    // Shows runs saved in a file, without the instrument: the table, the
    // instrument the file names and where they came from; the row actions
    // and "Save Data" work on them. False (nothing changes) while a
    // download runs.
    bool openMeasurement(const LoggerData &data, const QString &fileName);
    // The same with the source named in the language in use (a run of the
    // archive): the name follows a change of language.
    bool openMeasurement(const LoggerData &data, const std::function<QString()> &source);
    // The strip below the table: the source of the data and "Open...".
    OpenedFileBar *openedFileBar() const { return m_openedFile; }

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
    // "The instrument was disconnected", with the runs kept when kept >= 0.
    QString removalText(int kept) const;
    // The end of a download: the dialog closes, the message of its outcome.
    void downloadFinished(LoggerSession::Outcome outcome, int kept, int held);
    void chooseRun(int row);

    LoggerSession *m_session = nullptr;
    Ui::FirstPageForLogger *ui = nullptr;
    // The parts of the form with jobs of their own.
    LoggerSettingsPanel *settingsPanel = nullptr;
    LoggerDeviceInfo *deviceInfo = nullptr;
    LoggerClock *clock = nullptr;
    LoggerRunTable *runTable = nullptr;
    // The runs in the table as the command-line tool writes them (CSV).
    LoggerData exportOf(int firstRun, int runCount) const;
    QProgressDialog *progressDialog = nullptr;
    // No click or key reaches the page while a download runs.
    std::unique_ptr<UserInputBlocker> inputBlocker;
    LoggerRunData m_chosenRun;
    bool m_roundedSamples = false;
    int m_chosenRow = -1;
    InstrumentCommands *m_commands = nullptr;
    OpenedFileBar *m_openedFile = nullptr;
};
