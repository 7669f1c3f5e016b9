#include "app/appinit.h"
#include "app/instrumentaccess.h"
#include "app/language.h"
#include "app/lookandfeel.h"
#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/startoptions.h"
#include "files/memorypolicy.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtPlugin>
#include <QTextCodec>
#include <QTranslator>

#include <cstdio>

// PNG images without asking every image plugin first (app/pngimageplugin.cpp).
Q_IMPORT_PLUGIN(PngImagePlugin)

namespace {

// The program's texts in the language chosen last, for what is shown before
// the window exists.
void installRememberedLanguage(QTranslator &own, QTranslator &qt)
{
    const Language::Choice language = Language::remembered();
    if (Language::load(own, language))
        QCoreApplication::installTranslator(&own);
    if (Language::loadQt(qt, language))
        QCoreApplication::installTranslator(&qt);
}

} // namespace

int main(int argc, char *argv[])
{
    MemoryPolicy::apply();
    const StartOptions options = StartOptions::parse(argc, argv);
    if (options.action != StartOptions::Action::Run) {
        // No window and no display: print and end.
        QCoreApplication app(argc, argv);
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
        QTranslator own, qt;
        installRememberedLanguage(own, qt);
        const QByteArray text =
            (options.action == StartOptions::Action::Help ? StartOptions::usage()
                                                          : StartOptions::version())
                .toUtf8();
        const bool written =
            std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size()) &&
            std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    // The trace lines of the program and its core (Qt's default logging
    // category) are for --debug or QT_LOGGING_RULES; normal use writes nothing.
    if (!options.debug)
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vantrel.Vantrel"));
    // Sources and the Chinese messages are UTF-8.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    // A wrong --simulate is said whether or not a copy is running already.
    QString error;
    if (!configureInstrumentAccess(app.arguments(), &app, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    SingleInstance single;
    const QString file = StartOptions::fileArgument(app.arguments());
    if (single.isRunning()) {
        // A file goes to the running program, which opens it.
        if (!file.isEmpty() &&
            single.sendMessage(MainWindow::openMessage(QFileInfo(file).absoluteFilePath()), 5000))
            return 0;
        single.sendMessage(QStringLiteral("active!!!!!"), 5000);
        QTranslator own, qt;
        installRememberedLanguage(own, qt);
        MainWindow::showAlreadyRunning();
        return 0;
    }

    LookAndFeel::apply(app);
    AppInit::instance()->start();

    MainWindow *window = MainWindow::instance();
    single.setActivationWindow(window, true);
    window->setWindowTitle(QStringLiteral("Vantrel V2.41"));
    window->show();
    QObject::connect(&single, SIGNAL(messageReceived(QString)), window,
                     SLOT(handleAppMessage(QString)));
    if (!file.isEmpty())
        window->openWhenStarted(file);
    return app.exec();
}
