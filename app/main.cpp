#include "app/appinit.h"
#include "app/instrumentaccess.h"
#include "app/lookandfeel.h"
#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "app/uiseam.h"

#include <QApplication>
#include <QTextCodec>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vantrel.Vantrel"));
    SingleInstance single;
    if (single.isRunning()) {
        single.sendMessage(QStringLiteral("active!!!!!"), 5000);
        UiSeam::information(nullptr, QStringLiteral("Warn"),
                            QStringLiteral("Device already opened."));
        return 0;
    }

    // Sources and the Chinese messages are UTF-8.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));

    QString error;
    if (!configureInstrumentAccess(app.arguments(), &app, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }

    LookAndFeel::apply(app);
    AppInit::instance()->start();

    MainWindow *window = MainWindow::instance();
    single.setActivationWindow(window, true);
    window->setWindowTitle(QStringLiteral("Vantrel V2.41"));
    window->show();
    QObject::connect(&single, SIGNAL(messageReceived(QString)), window,
                     SLOT(handleAppMessage(QString)));
    return app.exec();
}
