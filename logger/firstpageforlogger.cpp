#include "logger/firstpageforlogger.h"

#include "download/loggerrun.h"
#include "files/workbooktemplate.h"
#include "gui/openedfilebar.h"
#include "gui/uiseam.h"
#include "gui/userinputblocker.h"
#include "logger/loggerclock.h"
#include "logger/loggerdeviceinfo.h"
#include "logger/loggerruntable.h"
#include "logger/loggersave.h"
#include "logger/loggersettingspanel.h"
#include "logger/reportpageforlogger.h"
#include "logger/uvpowercurvepageforlogger.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "ui_firstpageforlogger.h"

#include <QDateTime>
#include <QDebug>
#include <QItemSelectionModel>
#include <QProgressDialog>
#include <QTableWidget>

#include <algorithm>

namespace {

QString templateOverride;
FirstPageForLogger::FileOpener fileOpener;
int silenceLimitMs = 10000;

} // namespace

FirstPageForLogger::FirstPageForLogger(QWidget *parent)
    : QWidget(parent), m_session(new LoggerSession(nullptr, this)), ui(new Ui::FirstPageForLogger)
{
    // Form and texts in the current language; its buttons' slots.
    ui->setupUi(this);
    connect(ui->readhostconfiguretBtn, &QPushButton::clicked, this,
            &FirstPageForLogger::on_readhostconfiguretBtn_clicked);
    connect(ui->writehostconfiguretBtn, &QPushButton::clicked, this,
            &FirstPageForLogger::on_writehostconfiguretBtn_clicked);
    connect(ui->readDateTimeBtn, &QPushButton::clicked, this,
            &FirstPageForLogger::on_readDateTimeBtn_clicked);
    connect(ui->writeDateTimeBtn, &QPushButton::clicked, this,
            &FirstPageForLogger::on_writeDateTimeBtn_clicked);
    connect(ui->GetDataBtn, &QPushButton::clicked, this, &FirstPageForLogger::on_GetDataBtn_clicked);
    connect(ui->pushButton_saveData, &QPushButton::clicked, this,
            &FirstPageForLogger::on_pushButton_saveData_clicked);
    connect(ui->pushButton_clear, &QPushButton::clicked, this,
            &FirstPageForLogger::on_pushButton_clear_clicked);

    settingsPanel = new LoggerSettingsPanel(this, ui);
    connect(settingsPanel, &LoggerSettingsPanel::runsClearing, this,
            &FirstPageForLogger::on_pushButton_clear_clicked);
    deviceInfo = new LoggerDeviceInfo(this, ui);
    clock = new LoggerClock(this, ui);

    // A window-modal child of the page: it stays in front of the main window.
    // Cancel ends the download after the run that is arriving; the runs
    // complete by then stay.
    progressDialog = new QProgressDialog(this);
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setWindowTitle(ui->GetDataBtn->text());
    progressDialog->setCancelButtonText(tr("Cancel"));
    progressDialog->setMinimumDuration(0);
    progressDialog->reset(); // no automatic showing: the download shows it

    // The session's download, shown: the dialog, the rows as runs arrive,
    // paint and device notices (no input) while it waits, the outcome.
    connect(m_session, &LoggerSession::started, this, [this](int, int maximum) {
        progressDialog->setLabelText(tr("Getting data,please wait..."));
        progressDialog->setRange(0, maximum);
        progressDialog->setValue(0);
        progressDialog->show();
        inputBlocker = std::make_unique<UserInputBlocker>();
    });
    connect(m_session, &LoggerSession::progress, this, [this](int received, int maximum) {
        // The maximum itself would close the dialog before the end; after a
        // cancel any value would show the dialog again.
        if (!progressDialog->wasCanceled())
            progressDialog->setValue(qMin(received, maximum - 1));
    });
    connect(m_session, &LoggerSession::runReady, this,
            [this](const LoggerRunData &run) { runTable->addRun(run); });
    connect(m_session, &LoggerSession::waiting, this, &UserInputBlocker::letPaint);
    m_session->stopRequested = [this] { return progressDialog->wasCanceled(); };
    connect(progressDialog, &QProgressDialog::canceled, m_session, &LoggerSession::cancel);
    connect(m_session, &LoggerSession::finished, this, &FirstPageForLogger::downloadFinished);
    connect(m_session, &LoggerSession::cleared, this, [this] {
        ui->tbData->setRowCount(0);
        m_chosenRow = -1; // the chosen run stays, its row is gone
        m_openedFile->clearSource();
    });
    // The worker's received bytes, checked by the receive timer.
    connect(m_session, &LoggerSession::receiveProgress, progressDialog, &QProgressDialog::setValue);
    connect(m_session, &LoggerSession::receiveTimedOut, this, [this] {
        UiSeam::information(this, tr("information"), tr("Getting data outtime,please get again."));
    });

    runTable = new LoggerRunTable(ui->tbData);
    m_openedFile = OpenedFileBar::placeBelow(ui->tbData);
    connect(runTable, &LoggerRunTable::excelClicked, this,
            &FirstPageForLogger::on_EXCELBtn_clicked);
    connect(runTable, &LoggerRunTable::curveClicked, this,
            &FirstPageForLogger::on_CurveBtn_clicked);
    connect(runTable, &LoggerRunTable::reportClicked, this,
            &FirstPageForLogger::on_ReportBtn_clicked);
}

FirstPageForLogger::~FirstPageForLogger()
{
    delete progressDialog;
    delete clock; // it reads the form: gone before the form and its widgets
    delete ui;
}

// ---- seams ----------------------------------------------------------------

QString FirstPageForLogger::dataTemplatePath()
{
    if (!templateOverride.isEmpty())
        return templateOverride;
    return dataWorkbookTemplatePath();
}

void FirstPageForLogger::setDataTemplatePath(const QString &path) { templateOverride = path; }

void FirstPageForLogger::setFileOpener(FileOpener opener) { fileOpener = std::move(opener); }

int FirstPageForLogger::downloadSilenceLimitMs() { return silenceLimitMs; }

void FirstPageForLogger::setDownloadSilenceLimitMs(int ms) { silenceLimitMs = ms; }

qint64 FirstPageForLogger::readClockShownMs() const
{
    return clock->readShownMs();
}

// ---- guards ---------------------------------------------------------------

bool FirstPageForLogger::busyGuard()
{
    if (!m_session->downloading())
        return true;
    UiSeam::information(this, tr("information"), tr("Getting data,please wait..."));
    return false;
}

bool FirstPageForLogger::linkGuard()
{
    if ((m_commands && m_commands->link()->isOpen()))
        return true;
    UiSeam::information(this, tr("warn"), tr("Please Connecting instrument!"));
    return false;
}

// ---- device information, settings, clock ----------------------------------

void FirstPageForLogger::loadFromInstrument()
{
    readDeviceInformation();
    on_readhostconfiguretBtn_clicked();
    on_readDateTimeBtn_clicked();
}

void FirstPageForLogger::readDeviceInformation()
{
    deviceInfo->read(m_commands);
}

void FirstPageForLogger::SetShutdownEditStatus()
{
    settingsPanel->showAutoOffState();
}

void FirstPageForLogger::on_readhostconfiguretBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    settingsPanel->read(m_commands);
}

void FirstPageForLogger::on_writehostconfiguretBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    settingsPanel->write(m_commands);
}

void FirstPageForLogger::on_readDateTimeBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    clock->read(m_commands);
}

void FirstPageForLogger::setTimeEdit()
{
    clock->endReadTime();
}

void FirstPageForLogger::timerUpdate()
{
    clock->tick();
}

void FirstPageForLogger::on_writeDateTimeBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    clock->write(m_commands);
}

QString FirstPageForLogger::removalText(int kept) const
{
    if (kept < 0)
        return tr("The instrument was disconnected.");
    return tr("The instrument was disconnected during the download. Runs kept: %1.").arg(kept);
}

void FirstPageForLogger::instrumentRemoved(bool tell)
{
    deviceInfo->clear();
    // A download ends at its next collection pass; it tells the user how
    // many runs it kept.
    if (!m_session->instrumentRemoved() && tell)
        UiSeam::information(this, tr("information"), removalText(-1));
}

void FirstPageForLogger::clear()
{
    deviceInfo->clear();
    // The link has gone while a download runs: the session ends it, then
    // empties the table once the download has returned.
    if (m_session->downloading())
        m_session->clear();
    else
        on_pushButton_clear_clicked();
}

// ---- run download -----------------------------------------------------------

void FirstPageForLogger::on_GetDataBtn_clicked()
{
    if (!linkGuard() || !busyGuard())
        return;
    on_pushButton_clear_clicked();
    on_readhostconfiguretBtn_clicked();

    int count = 0;
    if (m_session->readRunCount(&count) < 0)
        return;
    if (count < 1)
        return;
    qDebug("PowerGroupCount = %d\n", count);
    // The page shows the first 25 runs: storage addresses exist for no more.
    m_session->setSilenceLimitMs(silenceLimitMs);
    m_session->download(count);
}

void FirstPageForLogger::downloadFinished(LoggerSession::Outcome outcome, int kept, int held)
{
    inputBlocker.reset();
    // A cancelled dialog has closed; a value would show it again.
    if (!progressDialog->wasCanceled())
        progressDialog->setValue(progressDialog->maximum()); // closes the dialog
    progressDialog->reset();
    // Every run that arrived whole stays in the table, whatever ended the
    // download.
    if (outcome == LoggerSession::Outcome::Removed)
        UiSeam::information(this, tr("information"), removalText(kept));
    else if (outcome == LoggerSession::Outcome::StepUnreadable)
        UiSeam::information(this, tr("warn"), tr("Read Storage Interval Error!"));
    else if (outcome == LoggerSession::Outcome::Silent)
        UiSeam::information(this, tr("information"), tr("Getting data outtime,please get again."));
    else if (outcome == LoggerSession::Outcome::Complete && held > LoggerRun::MaxRuns)
        UiSeam::information(this, tr("information"),
                            tr("The instrument holds %1 runs; the first %2 were downloaded.")
                                .arg(held)
                                .arg(LoggerRun::MaxRuns));
}

// ---- table and row actions --------------------------------------------------

int FirstPageForLogger::addRecordRow(const QStringList &texts)
{
    return runTable->addRow(texts);
}

void FirstPageForLogger::on_pushButton_clear_clicked()
{
    if (!busyGuard())
        return;
    m_session->clear(); // the table empties on cleared
}

bool FirstPageForLogger::openMeasurement(const LoggerData &data, const QString &fileName)
{
    return openMeasurement(data, [fileName] { return fileName; });
}

bool FirstPageForLogger::openMeasurement(const LoggerData &data,
                                         const std::function<QString()> &source)
{
    if (!busyGuard())
        return false;
    on_pushButton_clear_clicked();
    // The device fields stay the connected instrument's; the file's
    // instrument is named below the table and goes with its runs.
    m_session->keepRuns(data.runs);
    m_roundedSamples = data.roundedSamples;
    for (const LoggerRunData &run : data.runs)
        runTable->addRun(run);
    m_openedFile->showSource(source, data.instrument);
    return true;
}

bool FirstPageForLogger::samplesRounded() const
{
    return !m_openedFile->fileName().isEmpty() && m_roundedSamples;
}

InstrumentIdentity FirstPageForLogger::dataInstrument() const
{
    if (!m_openedFile->fileName().isEmpty())
        return m_openedFile->instrument();
    return deviceInfo->identity();
}

QByteArray FirstPageForLogger::GetPowerData()
{
    return m_chosenRun.payload;
}

void FirstPageForLogger::chooseRun(int row)
{
    m_chosenRun = m_session->run(row);
    m_chosenRow = row;
}

QList<LoggerRunData> FirstPageForLogger::selectedRuns() const
{
    // In the order the runs were taken, however the table is sorted.
    QList<int> rows;
    for (const QModelIndex &index : ui->tbData->selectionModel()->selectedRows())
        rows << runTable->runOfRow(index.row());
    std::sort(rows.begin(), rows.end());
    QList<LoggerRunData> runs;
    for (int row : rows)
        runs << m_session->run(row);
    return runs;
}

void FirstPageForLogger::on_CurveBtn_clicked(int row)
{
    if (!busyGuard())
        return;
    chooseRun(row);
    qDebug("row = %d\n", row);
    on_UVPowerCurveBtn_clicked();
}

void FirstPageForLogger::on_UVPowerCurveBtn_clicked()
{
    if (!busyGuard())
        return;
    if (!m_chosenRun.hasData()) {
        UiSeam::information(this, tr("information"), tr("please get data first!"));
        return;
    }
    auto *curve = new UVPowerCurvePageForLogger(this);
    // The curve of a row among several selected ones shows them all.
    const int shownRow = runTable->rowOfRun(m_chosenRow);
    const QModelIndex chosen = ui->tbData->model()->index(shownRow, 0);
    if (chosen.isValid() && ui->tbData->selectionModel()->isRowSelected(shownRow, QModelIndex())) {
        const QList<LoggerRunData> selected = selectedRuns();
        if (selected.size() > 1)
            curve->setRuns(selected);
    }
    curve->show();
    curve->raise();
    curve->activateWindow();
}

void FirstPageForLogger::on_ReportBtn_clicked(int row)
{
    if (!busyGuard())
        return;
    chooseRun(row);
    if (!m_chosenRun.hasData()) {
        UiSeam::information(this, tr("information"), tr("please get data first!"));
        return;
    }
    // The texts of the run's row, from the run itself.
    const QStringList texts = m_chosenRun.rowTexts();
    const bool fromFile = !m_openedFile->fileName().isEmpty();
    const InstrumentIdentity id = dataInstrument();
    reportSerialNo = !fromFile ? ui->serialNoEdit->text()
                     : id.serialNumber ? QString::number(id.serialNumber)
                                       : QString();
    reportDeviceName = fromFile ? id.model : ui->DeviceNameEdit->text();
    reportStartTime = texts.value(1);
    reportDuration = texts.value(2) + QStringLiteral("S");
    reportRec = texts.value(3);
    reportMax = texts.value(4);
    reportMin = texts.value(5);
    reportAvg = texts.value(6);
    // Each report window draws its curve into a picture file of its own, so
    // there is no shared picture to remove here.
    auto *report = new ReportPageForLogger(this);
    report->show();
    report->raise();
    report->activateWindow();
}

void FirstPageForLogger::on_EXCELBtn_clicked(int row)
{
    if (!busyGuard())
        return;
    chooseRun(row);
    // The run's own start, as the instrument's clock read it.
    reportStartTime = m_chosenRun.start.toString(QStringLiteral("yyyyMMddhhmmss"));
    exportRunNo = QString::number(row + 1);
    on_SaveUVPowerBtn_clicked();
}

void FirstPageForLogger::on_SaveUVPowerBtn_clicked()
{
    if (!busyGuard())
        return;
    if (!m_chosenRun.hasData()) {
        UiSeam::information(this, tr("information"), tr("please get data first!"));
        return;
    }
    const int run = exportRunNo.toInt() - 1;
    LoggerSave::exportRun(this, m_chosenRun, exportOf(run, 1),
                          QStringLiteral("NO") + exportRunNo + QStringLiteral("_") +
                              reportStartTime,
                          fileOpener);
}

void FirstPageForLogger::on_pushButton_saveData_clicked()
{
    if (!busyGuard())
        return;
    const int rows = ui->tbData->rowCount();
    if (rows == 0) {
        UiSeam::information(this, tr("information"), tr("Please get data first!"));
        return;
    }
    LoggerSave::saveData(this, exportOf(0, rows), runTable->headerTexts(), dataTemplatePath());
}

// ---- language ------------------------------------------------------------

void FirstPageForLogger::languageChange()
{
    const QString deviceName = ui->DeviceNameEdit->text();
    const QString serial = ui->serialNoEdit->text();
    const QString firmware = ui->FirmwareVersionEdit->text();
    const QString shutdown = ui->ShutdownEdit->text();
    const QDate production = ui->ProductionDateEdit->date();
    const QDate calibration = ui->CalibrationeDateEdit->date();

    ui->retranslateUi(this);

    ui->DeviceNameEdit->setText(deviceName);
    ui->serialNoEdit->setText(serial);
    ui->FirmwareVersionEdit->setText(firmware);
    ui->ShutdownEdit->setText(shutdown);
    ui->ProductionDateEdit->setDate(production);
    ui->CalibrationeDateEdit->setDate(calibration);

    runTable->retranslateRows();
    m_openedFile->retranslate();
    progressDialog->setCancelButtonText(tr("Cancel"));
    progressDialog->setWindowTitle(ui->GetDataBtn->text());
}

// ---- background worker ----------------------------------------------------

bool FirstPageForLogger::openThreadSlot()
{
    qDebug() << tr("openThreadSlot");
    return m_session->startWorker();
}

bool FirstPageForLogger::closeThreadSlot()
{
    qDebug() << tr("closeThreadSlot");
    return m_session->stopWorker();
}

LoggerData FirstPageForLogger::exportOf(int firstRun, int runCount) const
{
    LoggerData data;
    data.instrument = dataInstrument();
    for (int r = firstRun; r < firstRun + runCount && r < LoggerRun::MaxRuns; ++r) {
        if (r < 0)
            continue;
        data.runs << m_session->run(r);
    }
    return data;
}

void FirstPageForLogger::SaveData(const QByteArray &baData)
{
    m_session->takeReceived(baData);
}

void FirstPageForLogger::updateProgress()
{
    m_session->checkReceived();
}
