#include "meter/firstpageformeter.h"

FirstPageForMeter::FirstPageForMeter(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FirstPageForMeter"));
}

void FirstPageForMeter::readDeviceAndConfiguration() {}
void FirstPageForMeter::clear() {}
void FirstPageForMeter::languageChange() {}
void FirstPageForMeter::openThreadSlot() {}
void FirstPageForMeter::closeThreadSlot() {}
