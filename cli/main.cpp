// vantrel-cli: the command-line front end on the core library.
#include "cli/commandline.h"
#include "cli/heldoutput.h"
#include "cli/verbs.h"
#include "files/memorypolicy.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextCodec>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
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

// plot and report draw curves with Qt Gui and QCustomPlot, which need a
// QApplication; they draw offscreen, so they run without a display. Every
// other verb stays on Qt Core. Options may come before the verb and take
// values (--simulate logger plot), so any such word counts.
bool drawingVerb(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "plot") == 0 || std::strcmp(argv[i], "report") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    MemoryPolicy::apply();
    // Arguments, file names and output are UTF-8 whatever the locale says.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--debug") == 0)
            showTraces = true;
    }
    qInstallMessageHandler(messageHandler);
    std::unique_ptr<QCoreApplication> application;
    if (drawingVerb(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-cli"));

    // Standard output is held in memory and written when the command is
    // done (or a step of it, see HeldOutput); every write and the close are
    // checked, so that output that does not arrive (a full disk, /dev/full,
    // a closed pipe) is a failure, exit 5.
    HeldOutput held(STDOUT_FILENO);
    QFile errFile;
    errFile.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&held);
    QTextStream err(&errFile);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    int code = Cli::run(app.arguments().mid(1), out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    bool written = held.release();
    int failure = held.error();
    // close reports a write that a network file system could not keep;
    // after EINTR the descriptor is closed all the same on Linux.
    if (written && held.anyWritten() && ::close(STDOUT_FILENO) != 0 && errno != EINTR) {
        written = false;
        failure = errno;
    }
    if (!written) {
        const QString why = QString::fromLocal8Bit(std::strerror(failure));
        err << "vantrel-cli: cannot write to standard output: " << why << '\n';
        if (code == Cli::Ok)
            code = Cli::FileError;
    }
    err.flush();
    errFile.close();
    return code;
}
