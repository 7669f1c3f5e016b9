#include "logger/firstpageforlogger.h"

#include "gui/commandfailures.h"
#include "gui/userinputblocker.h"
#include "gui/uiseam.h"
#include "download/loggerrun.h"
#include "files/workbooktemplate.h"
#include "logger/loggersave.h"
#include "logger/reportpageforlogger.h"
#include "gui/tableopwidget.h"
#include "logger/uvpowercurvepageforlogger.h"
#include "protocol/identity.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/modeltable.h"
#include "protocol/settings.h"
#include "ui_firstpageforlogger.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTableWidget>

namespace {

QString templateOverride;
FirstPageForLogger::FileOpener fileOpener;
int silenceLimitMs = 10000;

const char *const kWhite = "background-color: rgb(255,255,255);";
const char *const kGrey = "background-color: rgb(200,200,200);";

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

    autoOffGroup = new QButtonGroup(this);
    autoOffGroup->addButton(ui->OffBtn, 0);
    autoOffGroup->addButton(ui->OnBtn, 1);
    autoOffGroup->setExclusive(true);
    intervalGroup = new QButtonGroup(this);
    intervalGroup->addButton(ui->OneSecondBtn, 0);
    intervalGroup->addButton(ui->TenSecondBtn, 1);
    intervalGroup->addButton(ui->SixtySecondBtn, 2);
    intervalGroup->setExclusive(true);

    ui->dateTimeEditForRead->hide();
    ui->DeviceNameEdit->hide();
    ui->DeviceNameLab->hide();
    ui->ProductionDateLab->hide();
    ui->ProductionDateEdit->hide();
    ui->CalibrationeDateEdit->hide();
    ui->CalibrationDataLab->hide();

    connect(ui->OffBtn, &QRadioButton::clicked, this, &FirstPageForLogger::SetShutdownEditStatus);
    connect(ui->OnBtn, &QRadioButton::clicked, this, &FirstPageForLogger::SetShutdownEditStatus);

    liveClockTimer = new QTimer(this);
    connect(liveClockTimer, &QTimer::timeout, this, &FirstPageForLogger::timerUpdate);
    liveClockTimer->start(1000);
    timerUpdate();
    connect(&readClockTimer, &QTimer::timeout, this, &FirstPageForLogger::setTimeEdit);

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
            [this](const LoggerRunData &run) { addRecordRow(run.rowTexts()); });
    connect(m_session, &LoggerSession::waiting, this, &UserInputBlocker::letPaint);
    m_session->stopRequested = [this] { return progressDialog->wasCanceled(); };
    connect(progressDialog, &QProgressDialog::canceled, m_session, &LoggerSession::cancel);
    connect(m_session, &LoggerSession::finished, this, &FirstPageForLogger::downloadFinished);
    connect(m_session, &LoggerSession::cleared, this, [this] { ui->tbData->setRowCount(0); });
    // The worker's received bytes, checked by the receive timer.
    connect(m_session, &LoggerSession::receiveProgress, progressDialog, &QProgressDialog::setValue);
    connect(m_session, &LoggerSession::receiveTimedOut, this, [this] {
        UiSeam::information(this, tr("information"), tr("Getting data outtime,please get again."));
    });

    QTableWidget *table = ui->tbData;
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
    table->setSortingEnabled(false);
    TableOpWidget::styleTable(table);
}

FirstPageForLogger::~FirstPageForLogger()
{
    delete progressDialog;
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
    if (!(m_commands && m_commands->link()->isOpen()))
        return;
    InstrumentCommands *commands = m_commands;
    quint32 serial = 0;
    quint32 typeCode = 0;
    KeyInfo key;
    const int keyResult = commands->readKeyInfo(key);
    if (keyResult == InstrumentCommands::Gone)
        return; // the removal tells the user
    if (keyResult >= 0) {
        serial = key.serialNumber;
        typeCode = key.deviceType;
    } else if (keyResult != -5) {
        UiSeam::information(this, tr("Warn"), tr("Read key infomation fail!"));
        return;
    } else {
        ProductionInfo production;
        const int r = commands->readProductionInfo(production);
        CommandTexts::showFailure(nullptr, r, CommandTexts::productionInfo);
        if (r == -5)
            return; // no probe: this page says nothing
        if (r == -4) {
            UiSeam::information(this, tr("Warn"),
                                tr("The instrument is not configured production information!"));
            return;
        }
        if (r < 0)
            return;
        serial = production.serialNumber;
        typeCode = production.deviceType;
    }
    ui->serialNoEdit->setText(QStringLiteral("%1").arg(serial));
    ui->DeviceNameEdit->setText(ModelTable::loggerName(typeCode));

    QDate calibration;
    const int calibrationResult = commands->readCalibrationDate(calibration);
    if (calibrationResult < 0) {
        CommandTexts::showFailure(nullptr, calibrationResult, CommandTexts::calibrationDate);
        return;
    }
    ui->CalibrationeDateEdit->setDate(calibration);

    quint16 version = 0;
    const int versionResult = commands->readSoftwareVersion(version);
    if (versionResult < 0) {
        CommandTexts::showFailure(nullptr, versionResult, CommandTexts::softwareVersion);
        return;
    }
    ui->FirmwareVersionEdit->setText(Identity::versionText(version));
}

void FirstPageForLogger::setIntervalButtonsStyle(const QString &style)
{
    ui->OneSecondBtn->setStyleSheet(style);
    ui->TenSecondBtn->setStyleSheet(style);
    ui->SixtySecondBtn->setStyleSheet(style);
}

void FirstPageForLogger::SetShutdownEditStatus()
{
    const bool on = autoOffGroup->checkedId() != 0;
    if (on) {
        ui->ShutdownEdit->setEnabled(true);
        ui->OneSecondBtn->setEnabled(false);
        ui->TenSecondBtn->setEnabled(false);
        ui->SixtySecondBtn->setEnabled(false);
        ui->ShutdownEdit->setStyleSheet(QLatin1String(kWhite));
        setIntervalButtonsStyle(QLatin1String(kGrey));
    } else {
        ui->ShutdownEdit->setText(QStringLiteral("10"));
        ui->ShutdownEdit->setEnabled(false);
        ui->OneSecondBtn->setEnabled(true);
        ui->TenSecondBtn->setEnabled(true);
        ui->SixtySecondBtn->setEnabled(true);
        ui->ShutdownEdit->setStyleSheet(QLatin1String(kGrey));
        setIntervalButtonsStyle(QLatin1String(kWhite));
    }
}

void FirstPageForLogger::showConfigurationDefaults()
{
    const LoggerSettings defaults = LoggerSettings::afterBadBlock();
    autoOffGroup->button(defaults.autoOff)->setChecked(true);
    ui->ShutdownEdit->setEnabled(true);
    ui->ShutdownEdit->setText(QStringLiteral("%1").arg(defaults.shutdownMinutes));
    intervalGroup->button(defaults.interval)->setChecked(true);
    ui->OneSecondBtn->setEnabled(false);
    ui->TenSecondBtn->setEnabled(false);
    ui->SixtySecondBtn->setEnabled(false);
    ui->ShutdownEdit->setStyleSheet(QLatin1String(kWhite));
    setIntervalButtonsStyle(QLatin1String(kGrey));
}

void FirstPageForLogger::on_readhostconfiguretBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    ui->OneSecondBtn->setEnabled(true);
    ui->TenSecondBtn->setEnabled(true);
    ui->SixtySecondBtn->setEnabled(true);

    ConfigBlock block = {0, 0, 0, 0};
    const int r = m_commands->readBlock80(block[0], block[1], block[2], block[3]);
    if (r >= 0) {
        LoggerSettings settings;
        settings.takeBlock80(block);
        if (settings.autoOff == 0) {
            ui->OffBtn->setChecked(true);
            ui->ShutdownEdit->setEnabled(false);
            ui->ShutdownEdit->setStyleSheet(QLatin1String(kWhite));
            setIntervalButtonsStyle(QLatin1String(kWhite));
        } else if (settings.autoOff == 1) {
            ui->OnBtn->setChecked(true);
            ui->ShutdownEdit->setEnabled(true);
            ui->OneSecondBtn->setEnabled(false);
            ui->TenSecondBtn->setEnabled(false);
            ui->SixtySecondBtn->setEnabled(false);
            ui->ShutdownEdit->setStyleSheet(QLatin1String(kWhite));
            setIntervalButtonsStyle(QLatin1String(kGrey));
        }
        ui->ShutdownEdit->setText(QStringLiteral("%1").arg(settings.shutdownMinutes));
        if (QAbstractButton *interval = intervalGroup->button(settings.interval))
            interval->setChecked(true);
        return;
    }
    CommandTexts::showFailure(this, r, CommandTexts::readConfiguration);
    if (r == -4)
        showConfigurationDefaults();
}

void FirstPageForLogger::on_writehostconfiguretBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    if (UiSeam::question(this, tr("Vantrel V2.1"),
                         tr("Resetting the parameter history data will be cleared."),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        != QMessageBox::Yes)
        return;
    LoggerSettings settings;
    settings.autoOff = autoOffGroup->checkedId();
    settings.shutdownMinutes = LoggerSettings::minutesFromText(ui->ShutdownEdit->text());
    settings.interval = intervalGroup->checkedId();
    // Values the instrument would not take change nothing, on the
    // instrument or in the table.
    if (!LoggerSettings::minutesValid(settings.shutdownMinutes)) {
        UiSeam::information(this, tr("information"), tr("Shutdown must between 1—10!"));
        return;
    }
    // The instrument clears its stored runs when its parameters change.
    on_pushButton_clear_clicked();

    const ConfigBlock block = settings.block80();
    const int r = m_commands->writeBlock80(block[0], block[1], block[2], block[3]);
    if (r < 0) {
        CommandTexts::showFailure(this, r, CommandTexts::writeConfiguration);
        UiSeam::information(this, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    UiSeam::information(this, tr("information"), tr("parameter configuration success!"));
}

void FirstPageForLogger::on_readDateTimeBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    ui->dateTimeEdit->hide();
    ui->dateTimeEditForRead->show();
    ui->writeDateTimeBtn->setEnabled(false);
    ui->readDateTimeBtn->setEnabled(false);

    QDateTime when;
    const int r = m_commands->readClock(when);
    if (r >= 0) {
        ui->dateTimeEditForRead->setDateTime(when);
        readClockTimer.start(100);
        readClockAge.restart();
        return;
    }
    CommandTexts::showFailure(this, r, CommandTexts::readClock);
    ui->dateTimeEditForRead->hide();
    ui->dateTimeEdit->show();
    ui->writeDateTimeBtn->setEnabled(true);
    ui->readDateTimeBtn->setEnabled(true);
}

void FirstPageForLogger::setTimeEdit()
{
    if (readClockAge.isValid() && 10000 - readClockAge.elapsed() > 0)
        return;
    ui->dateTimeEditForRead->hide();
    ui->dateTimeEdit->show();
    ui->writeDateTimeBtn->setEnabled(true);
    ui->readDateTimeBtn->setEnabled(true);
}

void FirstPageForLogger::timerUpdate() { ui->dateTimeEdit->setDateTime(QDateTime::currentDateTime()); }

void FirstPageForLogger::on_writeDateTimeBtn_clicked()
{
    if (!busyGuard() || !linkGuard())
        return;
    const int r = m_commands->writeClock(ui->dateTimeEdit->dateTime());
    if (r < 0) {
        CommandTexts::showFailure(this, r, CommandTexts::writeClock);
        UiSeam::information(this, tr("information"), tr("parameter date time error!"));
        return;
    }
    UiSeam::information(this, tr("information"), tr("parameter date time success!"));
}

void FirstPageForLogger::clearDevice()
{
    ui->DeviceNameEdit->clear();
    ui->serialNoEdit->clear();
    ui->FirmwareVersionEdit->clear();
    ui->ShutdownEdit->clear();
    ui->ProductionDateEdit->setDate(QDate(2000, 1, 1));
    ui->CalibrationeDateEdit->setDate(QDate(2000, 1, 1));
}

QString FirstPageForLogger::removalText(int kept) const
{
    if (kept < 0)
        return tr("The instrument was disconnected.");
    return tr("The instrument was disconnected during the download. Runs kept: %1.").arg(kept);
}

void FirstPageForLogger::instrumentRemoved(bool tell)
{
    clearDevice();
    // A download ends at its next collection pass; it tells the user how
    // many runs it kept.
    if (!m_session->instrumentRemoved() && tell)
        UiSeam::information(this, tr("information"), removalText(-1));
}

void FirstPageForLogger::clear()
{
    clearDevice();
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
    QTableWidget *table = ui->tbData;
    const int r = table->rowCount();
    table->setRowCount(r + 1);
    for (int c = 0; c < 7; ++c) {
        auto *item = new QTableWidgetItem(texts.value(c));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        table->setItem(r, c, item);
    }
    auto *actions = new TableOpWidget(table);
    actions->row = r;
    connect(actions, &TableOpWidget::sigEXCEL, this, &FirstPageForLogger::on_EXCELBtn_clicked);
    connect(actions, &TableOpWidget::sigCurve, this, &FirstPageForLogger::on_CurveBtn_clicked);
    connect(actions, &TableOpWidget::sigReport, this, &FirstPageForLogger::on_ReportBtn_clicked);
    table->setCellWidget(r, 7, actions);
    return r;
}

void FirstPageForLogger::on_pushButton_clear_clicked()
{
    if (!busyGuard())
        return;
    m_session->clear(); // the table empties on cleared
}

QByteArray FirstPageForLogger::GetPowerData()
{
    return m_chosenRun.payload;
}

void FirstPageForLogger::chooseRun(int row)
{
    m_chosenRun = m_session->run(row);
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
    if (m_chosenRun.payload.isEmpty()) {
        UiSeam::information(this, tr("information"), tr("please get data first!"));
        return;
    }
    auto *curve = new UVPowerCurvePageForLogger(this);
    curve->show();
    curve->raise();
    curve->activateWindow();
}

void FirstPageForLogger::on_ReportBtn_clicked(int row)
{
    if (!busyGuard())
        return;
    chooseRun(row);
    if (m_chosenRun.payload.isEmpty()) {
        UiSeam::information(this, tr("information"), tr("please get data first!"));
        return;
    }
    // The texts of the run's row, from the run itself.
    const QStringList texts = m_chosenRun.rowTexts();
    reportSerialNo = ui->serialNoEdit->text();
    reportDeviceName = ui->DeviceNameEdit->text();
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
    const QTableWidgetItem *start = ui->tbData->item(row, 1);
    reportStartTime = QDateTime::fromString(start ? start->text() : QString(),
                                            QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                          .toString(QStringLiteral("yyyyMMddhhmmss"));
    exportRunNo = QString::number(row + 1);
    on_SaveUVPowerBtn_clicked();
}

void FirstPageForLogger::on_SaveUVPowerBtn_clicked()
{
    if (!busyGuard())
        return;
    if (m_chosenRun.payload.isEmpty()) {
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
    QStringList headers;
    for (int c = 0; c < 7; ++c) { // the action column has no header text
        const QTableWidgetItem *header = ui->tbData->horizontalHeaderItem(c);
        headers << (header ? header->text() : QString());
    }
    LoggerSave::saveData(this, exportOf(0, rows), headers, dataTemplatePath());
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

    for (int r = 0; r < ui->tbData->rowCount(); ++r) {
        if (auto *actions = qobject_cast<TableOpWidget *>(ui->tbData->cellWidget(r, 7)))
            actions->retranslate();
    }
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
    data.instrument.model = ui->DeviceNameEdit->text();
    data.instrument.serialNumber = ui->serialNoEdit->text().toUInt();
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
