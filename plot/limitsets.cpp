#include "plot/limitsets.h"

#include <QSettings>
#include <QVariantMap>

namespace LimitSets {

namespace {

// An array of name and text pairs (set names are free text, which a
// settings key could not hold: "/" starts a group), readable in the file:
// reportLimitSets\1\name=..., reportLimitSets\1\limits=dose-min=10,...
const char kArray[] = "reportLimitSets";
const char kName[] = "name";
const char kText[] = "limits";

QVariantMap sets()
{
    QSettings s{QStringLiteral("Vantrel"), QStringLiteral("Vantrel")};
    QVariantMap map;
    const int n = s.beginReadArray(QLatin1String(kArray));
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        map.insert(s.value(QLatin1String(kName)).toString(), s.value(QLatin1String(kText)));
    }
    s.endArray();
    return map;
}

void store(const QVariantMap &map)
{
    QSettings s{QStringLiteral("Vantrel"), QStringLiteral("Vantrel")};
    s.remove(QLatin1String(kArray));
    if (map.isEmpty())
        return;
    s.beginWriteArray(QLatin1String(kArray), map.size());
    int i = 0;
    for (auto it = map.cbegin(); it != map.cend(); ++it, ++i) {
        s.setArrayIndex(i);
        s.setValue(QLatin1String(kName), it.key());
        s.setValue(QLatin1String(kText), it.value());
    }
    s.endArray();
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
