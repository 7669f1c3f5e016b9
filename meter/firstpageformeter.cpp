#include "meter/firstpageformeter.h"

#include "gui/commandfailures.h"
#include "gui/savefailures.h"
#include "gui/uiseam.h"
#include "export/excelengine.h"
#include "files/safefile.h"
#include "gui/rowbuttondelegate.h"
#include "gui/tableopwidget.h"
#include "download/meterrecord.h"
#include "meter/metersave.h"
#include "meter/reportpageformeter.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/modeltable.h"
#include "protocol/settings.h"
#include "ui_firstpageformeter.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>

namespace {

const QDate kEmptyDate(2000, 1, 1);
const QString kGrey = QStringLiteral("background-color: rgb(200,200,200);");
const QString kWhite = QStringLiteral("background-color: rgb(255,255,255);");

} // namespace

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
    setupButtonGroups();

    ui->DeviceNameEdit->hide();
    ui->DeviceNameLab->hide();
    ui->ProductionDateLab->hide();
    ui->ProductionDateEdit->hide();
    ui->CalibrationeDateEdit->hide();
    ui->CalibrationDataLab->hide();
    ui->ProductionDateEdit->setDate(kEmptyDate);
    ui->CalibrationeDateEdit->setDate(kEmptyDate);
    ui->RadioBtn_50ZH->setCheckable(false);

    setupTable();
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

void FirstPageForMeter::setupButtonGroups()
{
    autoOffGroup = new QButtonGroup(this);
    autoOffGroup->addButton(ui->OffBtn, 0);
    autoOffGroup->addButton(ui->OnBtn, 1);
    energyDisplayGroup = new QButtonGroup(this);
    energyDisplayGroup->addButton(ui->EnergyDisNoBtn, 0);
    energyDisplayGroup->addButton(ui->EnergyDisYesBtn, 1);
    smoothGroup = new QButtonGroup(this);
    smoothGroup->addButton(ui->OffRadioBtn, 0);
    smoothGroup->addButton(ui->RadioBtn_50ZH, 1);
    smoothGroup->addButton(ui->RadioBtn_60ZH, 2);
    unitGroup = new QButtonGroup(this);
    unitGroup->addButton(ui->uwcmBtn, MeterUnits::MicroWattPerCm2);
    unitGroup->addButton(ui->mwcmBtn, MeterUnits::MilliWattPerCm2);
    unitGroup->addButton(ui->wcmBtn, MeterUnits::WattPerCm2);
    unitGroup->addButton(ui->wmBtn, MeterUnits::WattPerM2);
    for (QButtonGroup *group : {autoOffGroup, energyDisplayGroup, smoothGroup, unitGroup})
        group->setExclusive(true);
}

void FirstPageForMeter::setupTable()
{
    QTableWidget *t = ui->tbData;
    const int widths[] = {40, 170, 170, 170, 170, 170, 170};
    for (int c = 0; c < 7; ++c)
        t->setColumnWidth(c, widths[c]);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setSortingEnabled(false);
    reportButtons = new RowButtonDelegate(t);
    reportButtons->setText(TableOpWidget::tr("Report"));
    reportButtons->setButtonStyleSheet(TableOpWidget::buttonStyle());
    t->setItemDelegateForColumn(7, reportButtons);
    connect(reportButtons, &RowButtonDelegate::clicked, this,
            &FirstPageForMeter::on_ReportBtn_clicked);
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

QList<QRadioButton *> FirstPageForMeter::smoothButtons() const
{
    return {ui->OffRadioBtn, ui->RadioBtn_50ZH, ui->RadioBtn_60ZH};
}

QList<QRadioButton *> FirstPageForMeter::unitButtons() const
{
    return {ui->uwcmBtn, ui->mwcmBtn, ui->wcmBtn, ui->wmBtn};
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
    InstrumentCommands *commands = m_commands;

    quint32 serial = 0;
    quint32 type = 0;
    KeyInfo key;
    const int keyResult = commands->readKeyInfo(key);
    if (keyResult == InstrumentCommands::Gone)
        return -1; // the removal tells the user
    if (keyResult >= 0) {
        serial = key.serialNumber;
        type = key.deviceType;
    } else if (keyResult == -5) {
        ProductionInfo production;
        const int r = commands->readProductionInfo(production);
        if (r < 0) {
            CommandTexts::showFailure(nullptr, r, CommandTexts::productionInfo);
            if (r == -5)
                UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
            else if (r == -4)
                UiSeam::information(this, tr("Warn"),
                                    tr("The instrument is not configured production information!"));
            return -1;
        }
        serial = production.serialNumber;
        type = production.deviceType;
    } else {
        UiSeam::information(this, tr("Warn"), tr("Read key infomation fail!"));
        return -1;
    }

    ui->serialNoEdit->setText(QString::number(serial));
    typeCode = qint32(type);

    for (QRadioButton *button : smoothButtons())
        button->setEnabled(true);
    for (QRadioButton *button : unitButtons()) {
        button->setEnabled(true);
        button->setStyleSheet(kWhite);
    }

    const QString model = ModelTable::meterName(type);
    ui->DeviceNameEdit->setText(model);
    if (const MeterUnits::ControlProfile *profile = MeterUnits::profileForModel(model)) {
        // A profile enables or greys buttons; it never checks or unchecks one.
        for (QRadioButton *button : smoothButtons()) {
            if (profile->smoothUsable) {
                button->setCheckable(true);
            } else {
                button->setEnabled(false);
                button->setStyleSheet(kGrey);
            }
        }
        const QList<QRadioButton *> units = unitButtons();
        for (int u = 0; u < units.size(); ++u) {
            if (profile->unitUsable[u]) {
                units[u]->setCheckable(true);
            } else {
                units[u]->setEnabled(false);
                units[u]->setStyleSheet(kGrey);
            }
        }
    }

    QDate calibration;
    const int calibrationResult = commands->readCalibrationDate(calibration);
    if (calibrationResult < 0) {
        CommandTexts::showFailure(nullptr, calibrationResult, CommandTexts::calibrationDate);
        if (calibrationResult == -5)
            UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        return -1;
    }
    ui->CalibrationeDateEdit->setDate(calibration);

    quint16 version = 0;
    const int versionResult = commands->readSoftwareVersion(version);
    if (versionResult < 0) {
        CommandTexts::showFailure(nullptr, versionResult, CommandTexts::softwareVersion);
        return -1;
    }
    ui->FirmwareVersionEdit->setText(QString::number(version / 10.0, 'f', 1));
    return 1;
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
    InstrumentCommands *commands = m_commands;

    // Each group shows what its block holds; a byte outside a setting's
    // range leaves its buttons as they were.
    auto show = [](QButtonGroup *group, int id) {
        if (QAbstractButton *button = group->button(id))
            button->setChecked(true);
    };
    MeterSettings settings;
    ConfigBlock block80 = {0, 0, 0, 0};
    const int r80 = commands->readBlock80(block80[0], block80[1], block80[2], block80[3]);
    if (r80 < 0) {
        CommandTexts::showFailure(this, r80, CommandTexts::readConfiguration);
        if (r80 == -4) {
            settings.takeBadBlock80();
            show(autoOffGroup, settings.autoOff);
            show(energyDisplayGroup, settings.energyDisplay);
        } else if (r80 == -5) {
            UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        }
        return -1;
    }
    settings.takeBlock80(block80);
    show(autoOffGroup, settings.autoOff);
    show(energyDisplayGroup, settings.energyDisplay);

    ConfigBlock block60 = {0, 0, 0, 0};
    const int r60 = commands->readBlock60(block60[0], block60[1], block60[2], block60[3]);
    if (r60 < 0) {
        if (r60 == -5) {
            UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        } else if (r60 == -4) {
            settings.takeBadBlock60();
            show(smoothGroup, settings.smoothing);
            show(unitGroup, settings.unit);
        }
        return -1;
    }
    settings.takeBlock60(block60);
    show(smoothGroup, settings.smoothing);
    show(unitGroup, settings.unit);
    return 1;
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
    InstrumentCommands *commands = m_commands;

    // A group without a checked button reports -1, sent as 0xFF.
    MeterSettings settings;
    settings.autoOff = autoOffGroup->checkedId();
    settings.energyDisplay = energyDisplayGroup->checkedId();
    settings.smoothing = smoothGroup->checkedId();
    settings.unit = unitGroup->checkedId();
    const ConfigBlock block80 = settings.block80();
    const int r80 = commands->writeBlock80(block80[0], block80[1], block80[2], block80[3]);
    if (r80 < 0) {
        CommandTexts::showFailure(this, r80, CommandTexts::writeConfiguration);
        if (r80 == -5)
            UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        UiSeam::information(this, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    const ConfigBlock block60 = settings.block60();
    const int r60 = commands->writeBlock60(block60[0], block60[1], block60[2], block60[3]);
    if (r60 < 0) {
        if (r60 == -5)
            UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        UiSeam::information(this, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    UiSeam::information(this, tr("information"), tr("parameter configuration success!"));
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
    if (!numbers.isEmpty())
        UiSeam::information(this, tr("information"),
                            tr("Records %1 could not be read; the other records were kept.")
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
    const int unit = unitGroup->checkedId();
    applyUnitHeaders(unit);
    reportData.powerUnit = MeterUnits::powerUnitFragment(unit);
    reportData.energyUnit = MeterUnits::energyUnitFragment(unit);
    unitIndex = (unit >= 0 && unit < MeterUnits::kUnitCount) ? unit : -1;

    const MeterUnits::ControlProfile *profile =
        MeterUnits::profileForModel(ModelTable::meterName(quint32(typeCode)));
    const QStringList texts =
        MeterData::rowTexts(DataNo, record, MeterUnits::decimals(profile, unit));
    recordExport.instrument.model = ModelTable::meterName(quint32(typeCode));
    recordExport.instrument.serialNumber = ui->serialNoEdit->text().toUInt();
    recordExport.unit = unit;
    recordExport.decimals = MeterUnits::decimals(profile, unit);
    recordExport.records << record;
    recordExport.numbers << DataNo;
    addRecordRow(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6]);
}

void FirstPageForMeter::applyUnitHeaders(int unit)
{
    QString energy;
    QStringList power;
    switch (unit) {
    case MeterUnits::MicroWattPerCm2: {
        const QString text = ui->uwcmBtn->text();
        energy =
            tr("Energy ") + QString(text).replace(QStringLiteral("W/cm"), QStringLiteral("J/cm"));
        power << tr("Power(RT) ") + text << tr("Power(MAX) ") + text << tr("Power(MIN) ") + text
              << tr("Power(AVG) ") + text;
        break;
    }
    case MeterUnits::MilliWattPerCm2:
        energy = tr("Energy mJ/cm²");
        power << tr("Power(RT) mW/cm²") << tr("Power(MAX) mW/cm²") << tr("Power(MIN) mW/cm²")
              << tr("Power(AVG) mW/cm²");
        break;
    case MeterUnits::WattPerCm2:
        energy = tr("Energy J/cm²");
        power << tr("Power(RT) W/cm²") << tr("Power(MAX) W/cm²") << tr("Power(MIN) W/cm²")
              << tr("Power(AVG) W/cm²");
        break;
    case MeterUnits::WattPerM2:
        energy = tr("Energy J/m²");
        power << tr("Power(RT) W/m²") << tr("Power(MAX) W/m²") << tr("Power(MIN) W/m²")
              << tr("Power(AVG) W/m²");
        break;
    default:
        return;
    }
    QTableWidget *t = ui->tbData;
    t->horizontalHeaderItem(1)->setText(energy);
    for (int i = 0; i < 4; ++i)
        t->horizontalHeaderItem(3 + i)->setText(power[i]);
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
    QTableWidget *t = ui->tbData;
    const int row = t->rowCount();
    t->setRowCount(row + 1);
    const QString texts[] = {no, energy, duration, rt, max, min, avg};
    for (int c = 0; c < 7; ++c) {
        auto *item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        t->setItem(row, c, item);
    }
    // The row's "Report" button is drawn by the column's delegate.
    return row;
}

void FirstPageForMeter::on_pushButton_clear_clicked()
{
    if (refuseWhileDownloading())
        return;
    reportData.powerUnit.clear();
    reportData.energyUnit.clear();
    recordExport = MeterData();
    ui->tbData->setRowCount(0);
}

void FirstPageForMeter::clear()
{
    clearDevice();
    on_pushButton_clear_clicked();
}

void FirstPageForMeter::clearDevice()
{
    ui->DeviceNameEdit->clear();
    ui->serialNoEdit->clear();
    ui->FirmwareVersionEdit->clear();
    ui->ProductionDateEdit->setDate(kEmptyDate);
    ui->CalibrationeDateEdit->setDate(kEmptyDate);
}

void FirstPageForMeter::on_ReportBtn_clicked(int row)
{
    if (refuseWhileDownloading())
        return;
    QTableWidget *t = ui->tbData;
    if (row < 0 || row >= t->rowCount())
        return;
    auto cell = [t, row](int column) {
        const QTableWidgetItem *item = t->item(row, column);
        return item ? item->text() : QString();
    };
    reportData.serialNumber = ui->serialNoEdit->text();
    reportData.deviceName = ui->DeviceNameEdit->text();
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
    QTableWidget *t = ui->tbData;
    if (t->rowCount() == 0) {
        UiSeam::information(this, tr("information"), tr("Please get data first!"));
        return;
    }
    QStringList headers;
    for (int c = 0; c < 7; ++c) { // the action column has no header text
        const QTableWidgetItem *header = t->horizontalHeaderItem(c);
        headers << (header ? header->text() : QString());
    }
    MeterSave::saveData(this, recordExport, headers);
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

    QTableWidget *t = ui->tbData;
    reportButtons->setText(TableOpWidget::tr("Report"));
    t->viewport()->update();
    applyUnitHeaders(unitIndex);
    progressDialog->setCancelButtonText(tr("Cancel"));
    progressDialog->setWindowTitle(ui->GetDataBtn->text());
    keepGroupsWhole();
}
