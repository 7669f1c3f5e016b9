#pragma once

// The command line of vantrel-cli: verbs in the manner of git, each with its
// own options and --help; global options anywhere on the line.

#include <QMap>
#include <QString>
#include <QStringList>

namespace Cli {

// Exit codes, as the manual page lists them.
enum Exit
{
    Ok = 0,
    Usage = 2,           // wrong command line, or a verb/setting the instrument does not have
    NoInstrument = 3,    // none found, the chosen one not found, or it cannot be opened
    InstrumentError = 4, // a command failed, refused, timed out, or the instrument went away
    FileError = 5,       // the output file cannot be written
    VerdictFail = 6,     // report: the run fails its limits (the report is written)
    ArchiveError = 7     // the archive cannot be reached, is refused, or cannot be written
};

struct CommandLine
{
    QString verb;           // list, info, config, clock, download, help; empty without one
    QString action;         // get/set for config and clock; list/import/export for archive
    QStringList positional; // after verb (and action)
    QMap<QString, QStringList> options; // long name without dashes -> values ("" for flags)

    bool has(const char *name) const { return options.contains(QLatin1String(name)); }
    QString value(const char *name) const { return options.value(QLatin1String(name)).value(0); }
    QStringList values(const char *name) const { return options.value(QLatin1String(name)); }
    // Where a measurement goes: -o, standard output ("-") without it.
    QString output() const;
    // Its format: --format, else (none or empty) the output's suffix when it names one the
    // measurement verbs write (json, xls, xlsx), else csv.
    QString outputFormat() const;
};

// Splits the arguments (without the program name). False with a message for
// an unknown option, a missing option value, an option the verb does not
// take, an unknown verb or action.
bool parse(const QStringList &arguments, CommandLine *line, QString *error);

// Help texts: the overview, or the verb's own.
QString helpText(const QString &verb = QString());
QString versionText();

} // namespace Cli
