#include "app/lookandfeel.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QPalette>

static void initVantrelResources() { Q_INIT_RESOURCE(vantrel); }

namespace LookAndFeel {

void initResources() { initVantrelResources(); }

bool loadStyleSheet(const QString &resource, QString *styleSheet, QString *paletteColour)
{
    QFile file(resource);
    if (!file.open(QFile::ReadOnly))
        return false;
    *styleSheet = QLatin1String(file.readAll());
    *paletteColour = styleSheet->mid(20, 7);
    return true;
}

void apply(QApplication &app)
{
    initResources();
    QString qss;
    QString colour;
    if (loadStyleSheet(QStringLiteral(":/qss/psblue.css"), &qss, &colour)) {
        app.setPalette(QPalette(QColor(colour)));
        app.setStyleSheet(qss);
    }
    // "Microsoft Yahei" is the program's face; on Linux the CJK faces that
    // Debian ships stand in for it when it is not installed.
    QFont::insertSubstitutions(QStringLiteral("Microsoft Yahei"),
                               {QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Droid Sans Fallback")});
    app.setFont(QFont(QStringLiteral("Microsoft Yahei"), 12));
}

} // namespace LookAndFeel
