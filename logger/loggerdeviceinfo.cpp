#include "logger/loggerdeviceinfo.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "protocol/identity.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/modeltable.h"
#include "ui_firstpageforlogger.h"

LoggerDeviceInfo::LoggerDeviceInfo(QWidget *page, Ui::FirstPageForLogger *ui)
    : QObject(page), page(page), ui(ui)
{
    // Out of sight: the model name and calibration date (filled all the
    // same, for the report and the exports) and the production date.
    ui->DeviceNameEdit->hide();
    ui->DeviceNameLab->hide();
    ui->ProductionDateLab->hide();
    ui->ProductionDateEdit->hide();
    ui->CalibrationeDateEdit->hide();
    ui->CalibrationDataLab->hide();
}

void LoggerDeviceInfo::read(InstrumentCommands *commands)
{
    if (!(commands && commands->link()->isOpen()))
        return;
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
        UiSeam::information(page, tr("Warn"), tr("Read key infomation fail!"));
        return;
    } else {
        ProductionInfo production;
        const int r = commands->readProductionInfo(production);
        CommandTexts::showFailure(nullptr, r, CommandTexts::productionInfo);
        if (r == -5)
            return; // no probe: this page says nothing
        if (r == -4) {
            UiSeam::information(page, tr("Warn"),
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
    m_identity = InstrumentIdentity();
    m_identity.model = ModelTable::loggerName(typeCode);
    m_identity.serialNumber = serial;

    QDate calibration;
    const int calibrationResult = commands->readCalibrationDate(calibration);
    if (calibrationResult < 0) {
        CommandTexts::showFailure(nullptr, calibrationResult, CommandTexts::calibrationDate);
        return;
    }
    ui->CalibrationeDateEdit->setDate(calibration);
    m_identity.calibrationDate = calibration;

    quint16 version = 0;
    const int versionResult = commands->readSoftwareVersion(version);
    if (versionResult < 0) {
        CommandTexts::showFailure(nullptr, versionResult, CommandTexts::softwareVersion);
        return;
    }
    ui->FirmwareVersionEdit->setText(Identity::versionText(version));
    m_identity.firmware = Identity::versionText(version);
}

void LoggerDeviceInfo::clear()
{
    m_identity = InstrumentIdentity();
    ui->DeviceNameEdit->clear();
    ui->serialNoEdit->clear();
    ui->FirmwareVersionEdit->clear();
    ui->ShutdownEdit->clear();
    ui->ProductionDateEdit->setDate(QDate(2000, 1, 1));
    ui->CalibrationeDateEdit->setDate(QDate(2000, 1, 1));
}
