#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The options the program itself answers before any window exists: --help
// and --version print and end (no display is needed for them), --debug lets
// the program's trace lines through. Everything else on the command line is
// left to the toolkit and to --simulate.
class StartOptions
{
    Q_DECLARE_TR_FUNCTIONS(StartOptions)
public:
    enum class Action
    {
        Run,
        Help,
        Version
    };

    static StartOptions parse(int argc, const char *const *argv);

    Action action = Action::Run;
    bool debug = false;

    // The measurement file named on the command line (the first argument that
    // is no option, Qt's own options already taken out), or an empty text.
    static QString fileArgument(const QStringList &arguments);

    // In the language installed when called.
    static QString usage();
    static QString version();
};
