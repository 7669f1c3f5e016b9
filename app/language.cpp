#include "app/language.h"

#include "files/datadirectory.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QStringList>
#include <QTranslator>

namespace {

// ~/.config/Vantrel/Vantrel.conf, key "language": "en" or "zh".
const char kOrganization[] = "Vantrel";
const char kApplication[] = "Vantrel";
const char kLanguageKey[] = "language";

} // namespace

Language::Choice Language::remembered()
{
    const QSettings settings{QLatin1String(kOrganization), QLatin1String(kApplication)};
    return settings.value(QLatin1String(kLanguageKey)).toString() == QLatin1String("en") ? English
                                                                                         : Chinese;
}

void Language::remember(Choice choice)
{
    QSettings settings{QLatin1String(kOrganization), QLatin1String(kApplication)};
    settings.setValue(QLatin1String(kLanguageKey),
                      choice == English ? QStringLiteral("en") : QStringLiteral("zh"));
}

bool Language::load(QTranslator &translator, Choice choice)
{
    const QString file =
        choice == English ? QStringLiteral("Vantrel_en") : QStringLiteral("Vantrel_zh");
    // A failed QTranslator::load discards what the translator held, so the
    // file is found first and only then loaded into the translator given.
    const QStringList places = {QString(), QCoreApplication::applicationDirPath(),
                                installedDataDirectory()};
    auto load = [&file](QTranslator &t, const QString &dir) {
        return dir.isEmpty() ? t.load(file) : t.load(file, dir);
    };
    for (const QString &dir : places) {
        QTranslator probe;
        if (load(probe, dir))
            return load(translator, dir);
    }
    return false;
}

bool Language::loadQt(QTranslator &translator, Choice choice)
{
    return choice == Chinese &&
           translator.load(QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}
