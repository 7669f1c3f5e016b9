#include "meter/meterdeviceinfo.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "meter/metersettingspanel.h"
#include "protocol/instrumentcommands.h"
#include "protocol/modeltable.h"
#include "ui_firstpageformeter.h"

namespace {

const QDate kEmptyDate(2000, 1, 1);

} // namespace

MeterDeviceInfo::MeterDeviceInfo(QWidget *page, Ui::FirstPageForMeter *form,
                                 MeterSettingsPanel *settings)
    : m_page(page), ui(form), m_settings(settings)
{
    ui->DeviceNameEdit->hide();
    ui->DeviceNameLab->hide();
    ui->ProductionDateLab->hide();
    ui->ProductionDateEdit->hide();
    ui->CalibrationeDateEdit->hide();
    ui->CalibrationDataLab->hide();
    ui->ProductionDateEdit->setDate(kEmptyDate);
    ui->CalibrationeDateEdit->setDate(kEmptyDate);
}

int MeterDeviceInfo::read(InstrumentCommands *commands, qint32 &typeCode)
{
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
                UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
            else if (r == -4)
                UiSeam::information(m_page, tr("Warn"),
                                    tr("The instrument is not configured production information!"));
            return -1;
        }
        serial = production.serialNumber;
        type = production.deviceType;
    } else {
        UiSeam::information(m_page, tr("Warn"), tr("Read key infomation fail!"));
        return -1;
    }

    ui->serialNoEdit->setText(QString::number(serial));
    typeCode = qint32(type);

    const QString model = ModelTable::meterName(type);
    ui->DeviceNameEdit->setText(model);
    m_identity = InstrumentIdentity();
    m_identity.model = model;
    m_identity.serialNumber = serial;
    m_settings->enableForModel(model);

    QDate calibration;
    const int calibrationResult = commands->readCalibrationDate(calibration);
    if (calibrationResult < 0) {
        CommandTexts::showFailure(nullptr, calibrationResult, CommandTexts::calibrationDate);
        if (calibrationResult == -5)
            UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
        return -1;
    }
    ui->CalibrationeDateEdit->setDate(calibration);
    m_identity.calibrationDate = calibration;

    quint16 version = 0;
    const int versionResult = commands->readSoftwareVersion(version);
    if (versionResult < 0) {
        CommandTexts::showFailure(nullptr, versionResult, CommandTexts::softwareVersion);
        return -1;
    }
    ui->FirmwareVersionEdit->setText(QString::number(version / 10.0, 'f', 1));
    m_identity.firmware = ui->FirmwareVersionEdit->text();
    return 1;
}

void MeterDeviceInfo::clear()
{
    m_identity = InstrumentIdentity();
    ui->DeviceNameEdit->clear();
    ui->serialNoEdit->clear();
    ui->FirmwareVersionEdit->clear();
    ui->ProductionDateEdit->setDate(kEmptyDate);
    ui->CalibrationeDateEdit->setDate(kEmptyDate);
}
