// bench_startup's second reference: the window's and the Logger page's forms
// with the program's style sheet and font, in a program of their own that has
// nothing else of the program (no instrument code, settings, archive or
// further libraries). What Qt itself takes to show this page, timed as
// bare_window is ("first paint done" on stderr).
#include "app/lookandfeel.h"
#include "ui_firstpageforlogger.h"
#include "ui_mainwindow.h"

#include "firstpainttrace.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    LookAndFeel::apply(app);
    // In Chinese, as the program starts without settings (its translation
    // lies next to it in the build tree).
    QTranslator chinese;
    if (chinese.load(QStringLiteral("Vantrel_zh"), app.applicationDirPath() + QStringLiteral("/..")))
        QCoreApplication::installTranslator(&chinese);
    FirstPaintTrace<QDialog> window;
    Ui::MainWindow frame;
    frame.setupUi(&window);
    auto *page = new QWidget(frame.stackedWidget);
    Ui::FirstPageForLogger form;
    form.setupUi(page);
    frame.stackedWidget->addWidget(page);
    frame.stackedWidget->setCurrentWidget(page);
    window.show();
    return app.exec();
}
