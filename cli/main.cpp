// vantrel-cli: the command-line front end on the core library.
#include "cli/verbs.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextCodec>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

bool showTraces = false;

// The core's trace lines ("hidDevice Open success!", ...) are for --debug;
// everything on standard error is otherwise the tool's own messages.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (!showTraces && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    QByteArray text = message.toUtf8();
    if (!text.endsWith('\n'))
        text += '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
}

} // namespace

int main(int argc, char **argv)
{
    // Arguments, file names and output are UTF-8 whatever the locale says.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--debug") == 0)
            showTraces = true;
    }
    qInstallMessageHandler(messageHandler);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-cli"));

    QFile outFile;
    QFile errFile;
    outFile.open(stdout, QIODevice::WriteOnly);
    errFile.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&outFile);
    QTextStream err(&errFile);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    const int code = Cli::run(app.arguments().mid(1), out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    err.flush();
    outFile.close();
    errFile.close();
    return code;
}
