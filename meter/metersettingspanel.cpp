#include "meter/metersettingspanel.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "measurement/meterdata.h"
#include "protocol/instrumentcommands.h"
#include "protocol/settings.h"
#include "ui_firstpageformeter.h"

#include <QButtonGroup>

namespace {

const QString kGrey = QStringLiteral("background-color: rgb(200,200,200);");
const QString kWhite = QStringLiteral("background-color: rgb(255,255,255);");

} // namespace

MeterSettingsPanel::MeterSettingsPanel(QWidget *page, Ui::FirstPageForMeter *form)
    : m_page(page), ui(form)
{
    autoOffGroup = new QButtonGroup(page);
    autoOffGroup->addButton(ui->OffBtn, 0);
    autoOffGroup->addButton(ui->OnBtn, 1);
    energyDisplayGroup = new QButtonGroup(page);
    energyDisplayGroup->addButton(ui->EnergyDisNoBtn, 0);
    energyDisplayGroup->addButton(ui->EnergyDisYesBtn, 1);
    smoothGroup = new QButtonGroup(page);
    smoothGroup->addButton(ui->OffRadioBtn, 0);
    smoothGroup->addButton(ui->RadioBtn_50ZH, 1);
    smoothGroup->addButton(ui->RadioBtn_60ZH, 2);
    unitGroup = new QButtonGroup(page);
    unitGroup->addButton(ui->uwcmBtn, MeterUnits::MicroWattPerCm2);
    unitGroup->addButton(ui->mwcmBtn, MeterUnits::MilliWattPerCm2);
    unitGroup->addButton(ui->wcmBtn, MeterUnits::WattPerCm2);
    unitGroup->addButton(ui->wmBtn, MeterUnits::WattPerM2);
    for (QButtonGroup *group : {autoOffGroup, energyDisplayGroup, smoothGroup, unitGroup})
        group->setExclusive(true);
    ui->RadioBtn_50ZH->setCheckable(false);
}

int MeterSettingsPanel::unit() const
{
    return unitGroup->checkedId();
}

QList<QRadioButton *> MeterSettingsPanel::smoothButtons() const
{
    return {ui->OffRadioBtn, ui->RadioBtn_50ZH, ui->RadioBtn_60ZH};
}

QList<QRadioButton *> MeterSettingsPanel::unitButtons() const
{
    return {ui->uwcmBtn, ui->mwcmBtn, ui->wcmBtn, ui->wmBtn};
}

void MeterSettingsPanel::enableForModel(const QString &model)
{
    for (QRadioButton *button : smoothButtons())
        button->setEnabled(true);
    for (QRadioButton *button : unitButtons()) {
        button->setEnabled(true);
        button->setStyleSheet(kWhite);
    }

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
}

int MeterSettingsPanel::read(InstrumentCommands *commands)
{
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
        CommandTexts::showFailure(m_page, r80, CommandTexts::readConfiguration);
        if (r80 == -4) {
            settings.takeBadBlock80();
            show(autoOffGroup, settings.autoOff);
            show(energyDisplayGroup, settings.energyDisplay);
        } else if (r80 == -5) {
            UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
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
            UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
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

void MeterSettingsPanel::write(InstrumentCommands *commands)
{
    // A group without a checked button reports -1, sent as 0xFF.
    MeterSettings settings;
    settings.autoOff = autoOffGroup->checkedId();
    settings.energyDisplay = energyDisplayGroup->checkedId();
    settings.smoothing = smoothGroup->checkedId();
    settings.unit = unitGroup->checkedId();
    const ConfigBlock block80 = settings.block80();
    const int r80 = commands->writeBlock80(block80[0], block80[1], block80[2], block80[3]);
    if (r80 < 0) {
        CommandTexts::showFailure(m_page, r80, CommandTexts::writeConfiguration);
        if (r80 == -5)
            UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
        UiSeam::information(m_page, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    const ConfigBlock block60 = settings.block60();
    const int r60 = commands->writeBlock60(block60[0], block60[1], block60[2], block60[3]);
    if (r60 < 0) {
        if (r60 == -5)
            UiSeam::information(m_page, tr("Warn"), tr("No probe connection!"));
        UiSeam::information(m_page, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    UiSeam::information(m_page, tr("information"), tr("parameter configuration success!"));
}
