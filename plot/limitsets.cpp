#include "plot/limitsets.h"

#include <QSettings>
#include <QVariantMap>

namespace LimitSets {

namespace {

// One map of name -> text: set names are free text, which a settings key
// could not hold ("/" starts a group).
const char kKey[] = "reportLimitSets";

QVariantMap sets()
{
    const QSettings s{QStringLiteral("Vantrel"), QStringLiteral("Vantrel")};
    return s.value(QLatin1String(kKey)).toMap();
}

void store(const QVariantMap &map)
{
    QSettings s{QStringLiteral("Vantrel"), QStringLiteral("Vantrel")};
    if (map.isEmpty())
        s.remove(QLatin1String(kKey));
    else
        s.setValue(QLatin1String(kKey), map);
}

} // namespace

QStringList names()
{
    QStringList list = sets().keys();
    list.sort(Qt::CaseInsensitive);
    return list;
}

bool load(const QString &name, Verdict::Limits *limits)
{
    const QVariantMap map = sets();
    if (!map.contains(name))
        return false;
    QString error;
    return Verdict::parse(map.value(name).toString(), limits, &error);
}

void save(const QString &name, const Verdict::Limits &limits)
{
    QVariantMap map = sets();
    map.insert(name, Verdict::toText(limits));
    store(map);
}

void remove(const QString &name)
{
    QVariantMap map = sets();
    map.remove(name);
    store(map);
}

} // namespace LimitSets
