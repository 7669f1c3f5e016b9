#include "meter/firstpageformeter.h"

#include "download/meterrecord.h"
#include "gui/openedfilebar.h"
#include "gui/rowbuttondelegate.h"
#include "gui/uiseam.h"
#include "meter/meterdeviceinfo.h"
#include "meter/meterrecordtable.h"
#include "meter/metersave.h"
#include "meter/metersettingspanel.h"
#include "meter/reportpageformeter.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/modeltable.h"
#include "ui_firstpageformeter.h"

#include <QDebug>
#include <QGroupBox>
#include <QProgressDialog>
#include <QPushButton>

FirstPageForMeter::FirstPageForMeter(QWidget *parent)
    : QWidget(parent), ui(new Ui::FirstPageForMeter), m_session(new MeterSession(this))
{
    ui->setupUi(this);
    connect(ui->readhostconfiguretBtn, &QPushButton::clicked, this,
            &FirstPageForMeter::on_readhostconfiguretBtn_clicked);
    connect(ui->writehostconfiguretBtn, &QPushButton::clicked, this,
            &FirstPageForMeter::on_writehostconfiguretBtn_clicked);
    connect(ui->GetDataBtn, &QPushButton::clicked, this, &FirstPageForMeter::on_GetDataBtn_clicked);
    connect(ui->pushButton_saveData, &QPushButton::clicked, this,
            &FirstPageForMeter::on_pushButton_saveData_clicked);
    connect(ui->pushButton_clear, &QPushButton::clicked, this,
            &FirstPageForMeter::on_pushButton_clear_clicked);
    m_settings = std::make_unique<MeterSettingsPanel>(this, ui);
    m_device = std::make_unique<MeterDeviceInfo>(this, ui, m_settings.get());
    m_table = std::make_unique<MeterRecordTable>(ui->tbData);
    reportButtons = m_table->reportButtons();
    m_openedFile = OpenedFileBar::placeBelow(ui->tbData);
    connect(reportButtons, &RowButtonDelegate::clicked, this,
            &FirstPageForMeter::on_ReportBtn_clicked);
    keepGroupsWhole();

    // A window-modal child of the page: it stays in front of the main window.
    progressDialog = new QProgressDialog(this);
    progressDialog->setWindowModality(Qt::WindowModal);
    progressDialog->setWindowTitle(ui->GetDataBtn->text());
    progressDialog->setCancelButtonText(tr("Cancel"));
    progressDialog->reset(); // keeps it from showing itself before a download
    progressDialog->hide();
    connect(progressDialog, &QProgressDialog::canceled, m_session, &MeterSession::cancel);
    connect(m_session, &MeterSession::progress, this, &FirstPageForMeter::updateProgress);
    connect(m_session, &MeterSession::finished, this, &FirstPageForMeter::finishDownload);
    connect(m_session, &MeterSession::probePlugged, this, &FirstPageForMeter::probePlugged);
    connect(m_session, &MeterSession::probePulled, this, &FirstPageForMeter::probePulled);
}

FirstPageForMeter::~FirstPageForMeter()
{
    // The session's worker stops before the page's widgets go.
    delete m_session;
    delete progressDialog;
    delete ui;
}

// The two upper group boxes are at least 250 x 200, and never smaller than
// their contents: with this platform's fonts the settings need more than 200
// pixels, and the table below would otherwise squeeze them.
void FirstPageForMeter::keepGroupsWhole()
{
    // The settings' own boxes are at least as wide as their titles.
    for (QGroupBox *box :
         {ui->groupBox_16, ui->groupBox_15, ui->SmoothgroupBox, ui->UnitgroupBox}) {
        const int base = (box == ui->groupBox_16 || box == ui->groupBox_15) ? 100 : 0;
        const int title = box->fontMetrics().horizontalAdvance(box->title()) + 24;
        box->setMinimumWidth(qMax(base, title));
    }
    for (QGroupBox *box : {ui->groupBox_3, ui->groupBox_10}) {
        box->setMinimumSize(250, 200);
        const QSize needed = box->minimumSizeHint();
        box->setMinimumSize(qMax(250, needed.width()), qMax(200, needed.height()));
    }
}

QTableWidget *FirstPageForMeter::table() const
{
    return ui->tbData;
}

void FirstPageForMeter::setInstrument(InstrumentCommands *commands)
{
    m_commands = commands;
    m_session->setInstrument(commands);
}

bool FirstPageForMeter::refuseWhileDownloading()
{
    if (!m_session->isDownloading)
        return false;
    UiSeam::information(this, tr("information"), tr("Getting data,please wait..."));
    return true;
}

// ---- device information and settings -------------------------------------

int FirstPageForMeter::readDeviceInformation()
{
    if (!m_commands || !m_commands->link()->isOpen())
        return -1;
    LinkLock locked(m_session);
    return m_device->read(m_commands, typeCode);
}

int FirstPageForMeter::on_readhostconfiguretBtn_clicked()
{
    if (refuseWhileDownloading())
        return -1;
    if (!(m_commands && m_commands->link()->isOpen())) {
        UiSeam::information(this, tr("warn"), tr("Please Connecting instrument!"));
        return -1;
    }
    LinkLock locked(m_session);
    return m_settings->read(m_commands);
}

void FirstPageForMeter::on_writehostconfiguretBtn_clicked()
{
    if (refuseWhileDownloading())
        return;
    if (!(m_commands && m_commands->link()->isOpen())) {
        UiSeam::information(this, tr("warn"), tr("Please Connecting instrument!"));
        return;
    }
    if (UiSeam::question(
            this, tr("Vantrel V2.1"), tr("Resetting the parameter history data will be cleared."),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton) != QMessageBox::Yes)
        return;

    LinkLock locked(m_session);
    on_pushButton_clear_clicked();
    m_settings->write(m_commands);
}

int FirstPageForMeter::readDeviceAndConfiguration()
{
    if (readDeviceInformation() < 0)
        return -1;
    return on_readhostconfiguretBtn_clicked();
}

// ---- record download -------------------------------------------------------

void FirstPageForMeter::on_GetDataBtn_clicked()
{
    if (!m_commands || !m_commands->link()->isOpen()) {
        UiSeam::information(this, tr("warn"), tr("Please Connecting instrument!"));
        return;
    }
    if (refuseWhileDownloading())
        return;
    on_pushButton_clear_clicked();
    int recordCount = 0;
    {
        // One hold of the lock for the whole prelude: the worker does not
        // start a pass between its exchanges.
        LinkLock locked(m_session);
        if (readDeviceInformation() < 0)
            return;
        if (on_readhostconfiguretBtn_clicked() < 0)
            return;
        const int r = m_commands->readPowerGroupCount(recordCount);
        if (r < 0) {
            if (r == -5)
                UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
            return;
        }
        if (recordCount <= 0)
            return;
        qDebug("PowerGroupCount = %d\n", recordCount);
    }
    // sendFrame says "Send data Error！" for a request that did not go out.
    if (!m_session->startDownload(recordCount))
        return;

    progressDialog->reset();
    progressDialog->setLabelText(tr("Getting data,please wait..."));
    progressDialog->setRange(0, MeterRecord::kAnswerLength * m_session->recordCount());
    progressDialog->setValue(0);
    progressDialog->show();
}

void FirstPageForMeter::updateProgress(int received, int maximum)
{
    // Kept below the maximum, at which the dialog would close itself.
    progressDialog->setValue(qMin(received, maximum - 1));
}

void FirstPageForMeter::finishDownload(MeterSession::Outcome end, const MeterData &records,
                                       const QList<int> &missing)
{
    ui->tbData->setUpdatesEnabled(false);
    for (int i = 0; i < records.records.size(); ++i)
        parseData(records.records[i], records.numberAt(i));
    ui->tbData->setUpdatesEnabled(true);
    progressDialog->reset();
    progressDialog->hide();
    qDebug("readdata setVal =========OK============ %d", int(records.records.size()));

    switch (end) {
    case MeterSession::Outcome::Removed:
        UiSeam::information(this, tr("information"), removalText(records.records.size()));
        return;
    case MeterSession::Outcome::TimedOut:
        if (records.records.isEmpty()) {
            UiSeam::information(this, tr("information"),
                                tr("Getting data outtime,please get again."));
            return;
        }
        break;
    case MeterSession::Outcome::Cancelled:
        return;
    case MeterSession::Outcome::Complete:
        break;
    }
    QStringList numbers;
    for (int number : missing)
        numbers << QString::number(number);
    // The records that were refused, or wrong when asked again, are left out
    // and named; vantrel-cli says the same.
    if (!numbers.isEmpty())
        UiSeam::information(this, tr("information"),
                            tr("%1 of %2 records arrived; failed and left out: %3.")
                                .arg(records.records.size())
                                .arg(m_session->recordCount())
                                .arg(numbers.join(QStringLiteral(", "))));
}

QString FirstPageForMeter::removalText(int kept) const
{
    if (kept < 0)
        return tr("The instrument was disconnected.");
    return tr("The instrument was disconnected during the download. Records kept: %1.")
        .arg(kept);
}

void FirstPageForMeter::instrumentRemoved(bool tell)
{
    clearDevice();
    // A download under way ends with what has arrived, and says so.
    if (m_session->instrumentRemoved())
        return;
    if (tell)
        UiSeam::information(this, tr("information"), removalText(-1));
}

void FirstPageForMeter::parseData(const MeterReading &record, int DataNo)
{
    const int unit = m_settings->unit();
    m_table->applyUnitHeaders(unit, ui->uwcmBtn->text());
    reportData.powerUnit = MeterUnits::powerUnitFragment(unit);
    reportData.energyUnit = MeterUnits::energyUnitFragment(unit);
    unitIndex = (unit >= 0 && unit < MeterUnits::kUnitCount) ? unit : -1;

    const MeterUnits::ControlProfile *profile =
        MeterUnits::profileForModel(ModelTable::meterName(quint32(typeCode)));
    const QStringList texts =
        MeterData::rowTexts(DataNo, record, MeterUnits::decimals(profile, unit));
    recordExport.instrument = m_device->identity();
    if (recordExport.instrument.model.isEmpty())
        recordExport.instrument.model = ModelTable::meterName(quint32(typeCode));
    recordExport.unit = unit;
    recordExport.decimals = MeterUnits::decimals(profile, unit);
    recordExport.records << record;
    recordExport.numbers << DataNo;
    addRecordRow(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6]);
}

void FirstPageForMeter::SaveData(const QByteArray &baData)
{
    m_session->takeBytes(baData);
}

void FirstPageForMeter::scanProbeNotices()
{
    m_session->scanProbeNotices();
}

void FirstPageForMeter::probePlugged()
{
    UiSeam::information(this, tr("Warn"), tr("Probe connection!"));
    if (readDeviceInformation() >= 0)
        on_readhostconfiguretBtn_clicked();
}

void FirstPageForMeter::probePulled()
{
    UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
    clear();
}

// ---- table, save, report -----------------------------------------------------

int FirstPageForMeter::addRecordRow(const QString &no, const QString &energy,
                                    const QString &duration, const QString &rt, const QString &max,
                                    const QString &min, const QString &avg)
{
    return m_table->addRow(no, energy, duration, rt, max, min, avg);
}

void FirstPageForMeter::on_pushButton_clear_clicked()
{
    if (refuseWhileDownloading())
        return;
    reportData.powerUnit.clear();
    reportData.energyUnit.clear();
    recordExport = MeterData();
    ui->tbData->setRowCount(0);
    m_openedFile->clearSource();
}

bool FirstPageForMeter::openMeasurement(const MeterData &data, const QString &fileName)
{
    if (refuseWhileDownloading())
        return false;
    on_pushButton_clear_clicked();
    // The device fields stay the connected instrument's; the file's
    // instrument is named below the table and goes with its records.
    m_table->applyUnitHeaders(data.unit, ui->uwcmBtn->text());
    unitIndex = (data.unit >= 0 && data.unit < MeterUnits::kUnitCount) ? data.unit : -1;
    reportData.powerUnit = MeterUnits::powerUnitFragment(data.unit);
    reportData.energyUnit = MeterUnits::energyUnitFragment(data.unit);
    recordExport = data;
    ui->tbData->setUpdatesEnabled(false);
    for (int i = 0; i < data.records.size(); ++i) {
        const QStringList t = MeterData::rowTexts(data.numberAt(i), data.records.at(i), data.decimals);
        addRecordRow(t[0], t[1], t[2], t[3], t[4], t[5], t[6]);
    }
    ui->tbData->setUpdatesEnabled(true);
    m_openedFile->showSource(fileName, data.instrument);
    return true;
}

void FirstPageForMeter::clear()
{
    clearDevice();
    on_pushButton_clear_clicked();
}

void FirstPageForMeter::clearDevice()
{
    m_device->clear();
}

void FirstPageForMeter::on_ReportBtn_clicked(int row)
{
    if (refuseWhileDownloading())
        return;
    if (row < 0 || row >= ui->tbData->rowCount())
        return;
    auto cell = [this, row](int column) { return m_table->cell(row, column); };
    const bool fromFile = !m_openedFile->fileName().isEmpty();
    const InstrumentIdentity &id = recordExport.instrument;
    reportData.serialNumber = !fromFile ? ui->serialNoEdit->text()
                              : id.serialNumber ? QString::number(id.serialNumber)
                                                : QString();
    reportData.deviceName = fromFile ? id.model : ui->DeviceNameEdit->text();
    reportData.energy = cell(1);
    reportData.duration = cell(2);
    reportData.powerRt = cell(3);
    reportData.powerMax = cell(4);
    reportData.powerMin = cell(5);
    reportData.powerAvg = cell(6);

    auto *report = new ReportPageForMeter(this);
    report->show();
    report->raise();
    report->activateWindow();
}

void FirstPageForMeter::on_pushButton_saveData_clicked()
{
    if (refuseWhileDownloading())
        return;
    if (ui->tbData->rowCount() == 0) {
        UiSeam::information(this, tr("information"), tr("Please get data first!"));
        return;
    }
    MeterSave::saveData(this, recordExport, m_table->headers());
}

// ---- worker and language -----------------------------------------------------

int FirstPageForMeter::openThreadSlot()
{
    qDebug() << tr("openThreadSlot");
    m_session->startWorker();
    return 0;
}

bool FirstPageForMeter::closeThreadSlot()
{
    qDebug() << tr("closeThreadSlot");
    return m_session->stopWorker();
}

void FirstPageForMeter::languageChange()
{
    const QString deviceName = ui->DeviceNameEdit->text();
    const QString serial = ui->serialNoEdit->text();
    const QString firmware = ui->FirmwareVersionEdit->text();
    const QDate production = ui->ProductionDateEdit->date();
    const QDate calibration = ui->CalibrationeDateEdit->date();

    ui->retranslateUi(this);

    ui->DeviceNameEdit->setText(deviceName);
    ui->serialNoEdit->setText(serial);
    ui->FirmwareVersionEdit->setText(firmware);
    ui->ProductionDateEdit->setDate(production);
    ui->CalibrationeDateEdit->setDate(calibration);

    m_table->retranslate();
    m_openedFile->retranslate();
    m_table->applyUnitHeaders(unitIndex, ui->uwcmBtn->text());
    progressDialog->setCancelButtonText(tr("Cancel"));
    progressDialog->setWindowTitle(ui->GetDataBtn->text());
    keepGroupsWhole();
}
