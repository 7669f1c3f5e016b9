#include "app/startoptions.h"

#include <cstring>

StartOptions StartOptions::parse(int argc, const char *const *argv)
{
    StartOptions options;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--simulate") == 0) {
            ++i; // its value, whatever it looks like
        } else if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            if (options.action == Action::Run)
                options.action = Action::Help;
        } else if (std::strcmp(a, "--version") == 0) {
            if (options.action == Action::Run)
                options.action = Action::Version;
        } else if (std::strcmp(a, "--debug") == 0) {
            options.debug = true;
        }
    }
    return options;
}

QString StartOptions::fileArgument(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--simulate"))
            ++i; // its value
        else if (!a.startsWith(QLatin1Char('-')))
            return a;
    }
    return QString();
}

QString StartOptions::usage()
{
    const QString options[][2] = {
        {QStringLiteral("--simulate meter|logger|PROFILE"),
         tr("work with a simulated instrument instead of a real one")},
        {QStringLiteral("--debug"), tr("write the program's trace lines to standard error")},
        {QStringLiteral("-h, --help"), tr("print this text and end")},
        {QStringLiteral("--version"), tr("print the program's version and end")}};
    QString text = tr("Usage: vantrel [--simulate meter|logger|PROFILE] [--debug] [FILE]") +
                   "\n\n" +
                   tr("The companion program of the Meter and Logger hand-held UV radiometers:\n"
                      "it reads and sets the instrument's settings and clock, downloads its\n"
                      "measurements, shows and saves them and prints test reports.") +
                   "\n\n" +
                   tr("FILE: a measurement file saved by the program or vantrel-cli (JSON,\n"
                      "CSV, .xls, .xlsx), shown without the instrument.") +
                   "\n\n" + tr("Options:") + '\n';
    for (const auto &option : options)
        text += QStringLiteral("  %1  %2\n").arg(option[0], -31).arg(option[1]);
    text += '\n' + tr("One copy runs per user: a second start brings its window to the front.") +
            '\n' + tr("See also vantrel(1) and vantrel-cli(1).") + '\n';
    return text;
}

QString StartOptions::version()
{
    return QStringLiteral("vantrel " VANTREL_VERSION "\n");
}
