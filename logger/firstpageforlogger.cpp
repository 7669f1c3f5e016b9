#include "logger/firstpageforlogger.h"

FirstPageForLogger::FirstPageForLogger(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FirstPageForLogger"));
}

void FirstPageForLogger::loadFromInstrument() {}
void FirstPageForLogger::clear() {}
void FirstPageForLogger::languageChange() {}
