#include "export/automationobject.h"

#include "export/spreadsheetobject.h"

namespace {
AutomationObject::Factory &factory()
{
    static AutomationObject::Factory current;
    return current;
}
} // namespace

AutomationObject *AutomationObject::create(const QString &progId, QObject *parent)
{
    if (factory())
        return factory()(progId, parent);
    if (progId == QLatin1String("Excel.Application"))
        return SpreadsheetObject::createApplication(parent);
    return nullptr;
}

AutomationObject::Factory AutomationObject::setFactory(Factory replacement)
{
    Factory previous = factory();
    factory() = std::move(replacement);
    return previous;
}
