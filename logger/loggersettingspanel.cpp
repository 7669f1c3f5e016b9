#include "logger/loggersettingspanel.h"

#include "gui/commandfailures.h"
#include "gui/uiseam.h"
#include "protocol/instrumentcommands.h"
#include "protocol/settings.h"
#include "ui_firstpageforlogger.h"

#include <QButtonGroup>

namespace {

const char *const kWhite = "background-color: rgb(255,255,255);";
const char *const kGrey = "background-color: rgb(200,200,200);";

// A style sheet set again as it stands still has Qt polish the widget anew
// (a millisecond's work for the panel, between two of the instrument's
// exchanges when a download reads the settings first).
void setSheet(QWidget *widget, const char *sheet)
{
    const QLatin1String text(sheet);
    if (widget->styleSheet() != text)
        widget->setStyleSheet(text);
}

} // namespace

LoggerSettingsPanel::LoggerSettingsPanel(QWidget *page, Ui::FirstPageForLogger *ui)
    : QObject(page), page(page), ui(ui)
{
    autoOffGroup = new QButtonGroup(this);
    autoOffGroup->addButton(ui->OffBtn, 0);
    autoOffGroup->addButton(ui->OnBtn, 1);
    autoOffGroup->setExclusive(true);
    intervalGroup = new QButtonGroup(this);
    intervalGroup->addButton(ui->OneSecondBtn, 0);
    intervalGroup->addButton(ui->TenSecondBtn, 1);
    intervalGroup->addButton(ui->SixtySecondBtn, 2);
    intervalGroup->setExclusive(true);
    connect(ui->OffBtn, &QRadioButton::clicked, this, &LoggerSettingsPanel::showAutoOffState);
    connect(ui->OnBtn, &QRadioButton::clicked, this, &LoggerSettingsPanel::showAutoOffState);
}

void LoggerSettingsPanel::setIntervalButtonsStyle(const char *style)
{
    setSheet(ui->OneSecondBtn, style);
    setSheet(ui->TenSecondBtn, style);
    setSheet(ui->SixtySecondBtn, style);
}

void LoggerSettingsPanel::showAutoOffState()
{
    const bool on = autoOffGroup->checkedId() != 0;
    if (on) {
        ui->ShutdownEdit->setEnabled(true);
        ui->OneSecondBtn->setEnabled(false);
        ui->TenSecondBtn->setEnabled(false);
        ui->SixtySecondBtn->setEnabled(false);
        setSheet(ui->ShutdownEdit, kWhite);
        setIntervalButtonsStyle(kGrey);
    } else {
        ui->ShutdownEdit->setText(QStringLiteral("10"));
        ui->ShutdownEdit->setEnabled(false);
        ui->OneSecondBtn->setEnabled(true);
        ui->TenSecondBtn->setEnabled(true);
        ui->SixtySecondBtn->setEnabled(true);
        setSheet(ui->ShutdownEdit, kGrey);
        setIntervalButtonsStyle(kWhite);
    }
}

void LoggerSettingsPanel::showDefaults()
{
    const LoggerSettings defaults = LoggerSettings::afterBadBlock();
    autoOffGroup->button(defaults.autoOff)->setChecked(true);
    ui->ShutdownEdit->setEnabled(true);
    ui->ShutdownEdit->setText(QStringLiteral("%1").arg(defaults.shutdownMinutes));
    intervalGroup->button(defaults.interval)->setChecked(true);
    ui->OneSecondBtn->setEnabled(false);
    ui->TenSecondBtn->setEnabled(false);
    ui->SixtySecondBtn->setEnabled(false);
    setSheet(ui->ShutdownEdit, kWhite);
    setIntervalButtonsStyle(kGrey);
}

void LoggerSettingsPanel::read(InstrumentCommands *commands)
{
    ui->OneSecondBtn->setEnabled(true);
    ui->TenSecondBtn->setEnabled(true);
    ui->SixtySecondBtn->setEnabled(true);

    ConfigBlock block = {0, 0, 0, 0};
    const int r = commands->readBlock80(block[0], block[1], block[2], block[3]);
    if (r >= 0) {
        LoggerSettings settings;
        settings.takeBlock80(block);
        if (settings.autoOff == 0) {
            ui->OffBtn->setChecked(true);
            ui->ShutdownEdit->setEnabled(false);
            setSheet(ui->ShutdownEdit, kWhite);
            setIntervalButtonsStyle(kWhite);
        } else if (settings.autoOff == 1) {
            ui->OnBtn->setChecked(true);
            ui->ShutdownEdit->setEnabled(true);
            ui->OneSecondBtn->setEnabled(false);
            ui->TenSecondBtn->setEnabled(false);
            ui->SixtySecondBtn->setEnabled(false);
            setSheet(ui->ShutdownEdit, kWhite);
            setIntervalButtonsStyle(kGrey);
        }
        ui->ShutdownEdit->setText(QStringLiteral("%1").arg(settings.shutdownMinutes));
        if (QAbstractButton *interval = intervalGroup->button(settings.interval))
            interval->setChecked(true);
        return;
    }
    CommandTexts::showFailure(page, r, CommandTexts::readConfiguration);
    if (r == -4)
        showDefaults();
}

void LoggerSettingsPanel::write(InstrumentCommands *commands)
{
    if (UiSeam::question(
            page, tr("Vantrel V2.1"), tr("Resetting the parameter history data will be cleared."),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton) != QMessageBox::Yes)
        return;
    LoggerSettings settings;
    settings.autoOff = autoOffGroup->checkedId();
    settings.shutdownMinutes = LoggerSettings::minutesFromText(ui->ShutdownEdit->text());
    settings.interval = intervalGroup->checkedId();
    // Values the instrument would not take change nothing, on the
    // instrument or in the table.
    if (!LoggerSettings::minutesValid(settings.shutdownMinutes)) {
        UiSeam::information(page, tr("information"), tr("Shutdown must between 1—10!"));
        return;
    }
    // The instrument clears its stored runs when its parameters change.
    emit runsClearing();

    const ConfigBlock block = settings.block80();
    const int r = commands->writeBlock80(block[0], block[1], block[2], block[3]);
    if (r < 0) {
        CommandTexts::showFailure(page, r, CommandTexts::writeConfiguration);
        UiSeam::information(page, tr("information"), tr("parameter configuration Error!"));
        return;
    }
    UiSeam::information(page, tr("information"), tr("parameter configuration success!"));
}
