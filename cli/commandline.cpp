#include "cli/commandline.h"

#include <QFileInfo>
#include <QSet>

namespace Cli {

namespace {

struct OptionSpec
{
    const char *name; // long name
    char shortName;   // 0 when none
    bool takesValue;
    const char *verbs; // space-separated verbs (verb or verb/action) taking it; "*" every one
};

const OptionSpec kOptions[] = {
    {"simulate", 0, true, "*"},      {"serial", 0, true, "*"},
    {"debug", 0, false, "*"},        {"help", 'h', false, "*"},
    {"version", 0, false, "*"},
    {"format", 0, true,
     "list info config/get clock/get download stats archive/list archive/export"},
    {"run", 0, true, "download stats plot report archive/export"},
    {"output", 'o', true, "download plot report archive/export"},
    {"database", 0, true, "archive download"},
    {"archive", 0, false, "download"},
    {"since", 0, true, "archive/list"},
    {"until", 0, true, "archive/list"},
    {"pending", 0, false, "archive/list"},
    {"yes", 0, false, "config/set"}, {"now", 0, false, "clock/set"},
    {"bom", 0, false, "download"},
    {"threshold", 0, true, "stats"}, {"window-percent", 0, true, "stats"},
    {"rule", 0, true, "stats"}, {"dose-unit", 0, true, "stats"},
    {"limits", 0, true, "report"}, {"limit-set", 0, true, "report"},
    {"overlay", 0, false, "plot"}, {"reference-run", 0, true, "plot"},
    {"reference", 0, true, "plot"}, {"tolerance", 0, true, "plot"},
    {"time", 0, true, "plot"}, {"align", 0, true, "plot"},
    {"size", 0, true, "plot"}, {"dpi", 0, true, "plot"},
};

const OptionSpec *findLong(const QString &name)
{
    for (const OptionSpec &o : kOptions) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

const OptionSpec *findShort(QChar c)
{
    for (const OptionSpec &o : kOptions) {
        if (o.shortName && c == QLatin1Char(o.shortName))
            return &o;
    }
    return nullptr;
}

const QStringList kVerbs = {QStringLiteral("list"),     QStringLiteral("info"),
                            QStringLiteral("config"),   QStringLiteral("clock"),
                            QStringLiteral("download"), QStringLiteral("stats"),
                            QStringLiteral("plot"),     QStringLiteral("report"),
                            QStringLiteral("archive"),  QStringLiteral("help")};

bool takes(const OptionSpec &o, const QString &verb, const QString &action)
{
    const QString verbs = QLatin1String(o.verbs);
    if (verbs == QLatin1String("*"))
        return true;
    const QStringList list = verbs.split(QLatin1Char(' '));
    return list.contains(verb) || list.contains(verb + QLatin1Char('/') + action);
}

} // namespace

bool parse(const QStringList &arguments, CommandLine *line, QString *error)
{
    QStringList words;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (optionsEnded || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            words << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const OptionSpec *known = nullptr;
        QString value;
        bool inlineValue = false;
        if (a.startsWith(QLatin1String("--"))) {
            const int eq = a.indexOf(QLatin1Char('='));
            const QString name = a.mid(2, eq < 0 ? -1 : eq - 2);
            known = findLong(name);
            if (eq >= 0) {
                value = a.mid(eq + 1);
                inlineValue = true;
            }
        } else if (a.size() >= 2) {
            known = findShort(a.at(1));
            if (known && a.size() > 2) {
                value = a.mid(2);
                inlineValue = true;
            }
        }
        if (!known) {
            *error = QStringLiteral("unknown option %1").arg(a);
            return false;
        }
        const QString name = QLatin1String(known->name);
        if (known->takesValue) {
            if (!inlineValue) {
                if (i + 1 >= arguments.size()) {
                    *error = QStringLiteral("%1 needs a value").arg(a);
                    return false;
                }
                value = arguments.at(++i);
            }
            // An empty serial would choose no instrument, an empty -o
            // standard output: neither is what was asked for.
            if (value.isEmpty()) {
                *error = QStringLiteral("%1 needs a value, not an empty text")
                             .arg(a.startsWith(QLatin1String("--")) ? QStringLiteral("--") + name
                                                                    : a.left(2));
                return false;
            }
        } else if (inlineValue) {
            *error = QStringLiteral("--%1 takes no value").arg(name);
            return false;
        }
        line->options[name].append(value);
    }

    if (!words.isEmpty())
        line->verb = words.takeFirst();
    // Options with a value are given once; --simulate may be given for each
    // instrument, plot's --run for each run it draws.
    for (auto it = line->options.cbegin(); it != line->options.cend(); ++it) {
        if (it.value().size() > 1 && findLong(it.key())->takesValue &&
            it.key() != QLatin1String("simulate") &&
            !(it.key() == QLatin1String("run") && line->verb == QLatin1String("plot"))) {
            *error = QStringLiteral("--%1 is given twice").arg(it.key());
            return false;
        }
    }
    if (!line->verb.isEmpty() && !kVerbs.contains(line->verb)) {
        *error = QStringLiteral("unknown command \"%1\"; the commands are %2")
                     .arg(line->verb, kVerbs.join(QLatin1String(", ")));
        return false;
    }
    if (line->verb == QLatin1String("config") || line->verb == QLatin1String("clock")) {
        if (!words.isEmpty())
            line->action = words.takeFirst();
        if (line->action.isEmpty() && !line->has("help")) {
            *error = QStringLiteral("%1 needs get or set").arg(line->verb);
            return false;
        }
        if (!line->action.isEmpty() && line->action != QLatin1String("get") &&
            line->action != QLatin1String("set")) {
            *error =
                QStringLiteral("%1 takes get or set, not \"%2\"").arg(line->verb, line->action);
            return false;
        }
    }
    if (line->verb == QLatin1String("archive")) {
        if (!words.isEmpty())
            line->action = words.takeFirst();
        const QStringList actions = {QStringLiteral("list"), QStringLiteral("import"),
                                     QStringLiteral("export"), QStringLiteral("sync")};
        if (line->action.isEmpty() && !line->has("help")) {
            *error = QStringLiteral("archive needs list, import, export or sync");
            return false;
        }
        if (!line->action.isEmpty() && !actions.contains(line->action)) {
            *error = QStringLiteral("archive takes list, import, export or sync, not \"%1\"")
                         .arg(line->action);
            return false;
        }
    }
    line->positional = words;

    // Help and version take any other option; otherwise each must suit the verb.
    if (line->has("help") || line->has("version") || line->verb == QLatin1String("help"))
        return true;
    for (auto it = line->options.cbegin(); it != line->options.cend(); ++it) {
        const OptionSpec *known = findLong(it.key());
        if (!takes(*known, line->verb, line->action)) {
            const QString what =
                line->action.isEmpty() ? line->verb : line->verb + QLatin1Char(' ') + line->action;
            *error = what.isEmpty() ? QStringLiteral("--%1 needs a command").arg(it.key())
                                    : QStringLiteral("%1 does not take --%2").arg(what, it.key());
            return false;
        }
    }
    return true;
}

QString versionText()
{
    return QStringLiteral("vantrel-cli " VANTREL_VERSION "\n");
}

QString helpText(const QString &verb)
{
    if (verb == QLatin1String("list"))
        return QStringLiteral(
            "usage: vantrel-cli list [--format text|json]\n"
            "\n"
            "Lists the instruments found: each is opened, recognised and closed.\n"
            "One line per instrument: USB serial, path, model, family, serial number\n"
            "(tab-separated); --format json gives an array of objects.\n");
    if (verb == QLatin1String("info"))
        return QStringLiteral(
            "usage: vantrel-cli info [--format text|json]\n"
            "\n"
            "Shows the instrument's model, family, serial number, production and\n"
            "calibration dates and firmware version, as \"key: value\" lines or JSON.\n");
    if (verb == QLatin1String("config"))
        return QStringLiteral(
            "usage: vantrel-cli config get [--format text|json]\n"
            "       vantrel-cli config set --yes KEY=VALUE...\n"
            "\n"
            "get shows the settings as KEY=VALUE lines that set takes back.\n"
            "set reads the settings, changes the keys given and writes them all back,\n"
            "then reads them again to check. The instrument clears its stored records\n"
            "when its settings are written: set does nothing without --yes.\n"
            "\n"
            "Meter:  auto-off=on|off  smoothing=off|50hz|60hz  energy-display=yes|no\n"
            "        unit=uW/cm2|mW/cm2|W/cm2|W/m2 (also written μW/cm², ...)\n"
            "        Smoothing and some units exist on some models only.\n"
            "Logger: auto-off=on|off  auto-off-minutes=1..10  interval=1s|10s|60s\n"
            "        The minutes apply with auto-off=on, the interval with auto-off=off\n"
            "        (with auto-off on the Logger stores a sample every second);\n"
            "        auto-off=off puts the minutes back to 10.\n");
    if (verb == QLatin1String("clock"))
        return QStringLiteral(
            "usage: vantrel-cli clock get\n"
            "       vantrel-cli clock set --now | YYYY-MM-DDTHH:MM:SS\n"
            "\n"
            "Reads or sets the Logger's clock (local time, whole seconds, years\n"
            "2000 to 2255). A time with a UTC offset is turned into this computer's\n"
            "local time. Meters have no clock.\n");
    if (verb == QLatin1String("download"))
        return QStringLiteral(
            "usage: vantrel-cli download [--run N] [-o FILE] [--format csv|json|xls|xlsx]\n"
            "                            [--bom] [--archive [--database CONNECTION]]\n"
            "\n"
            "Downloads the Meter's records or the Logger's runs (all of them, or run N\n"
            "only) and writes them to FILE, or to standard output (csv and json only).\n"
            "The format follows --format, else the extension of FILE (.json, .xls,\n"
            ".xlsx), else csv. Nothing is written unless the whole download\n"
            "succeeded; a file is replaced only once the new one is complete.\n"
            "\n"
            "Meter CSV: one row per record, the columns, units and decimals of the\n"
            "Meter table. Logger CSV: a \"run\" row per run (the Logger table's\n"
            "columns) followed by a \"sample\" row per sample (run, sample number,\n"
            "ISO 8601 time, seconds since the start, value in μW/cm²). Times are\n"
            "ISO 8601 (2024-05-06T09:30:00) in both kinds of row. Each run row ends\n"
            "with the run's UV figures: dose (mJ/cm², sample-and-hold), peak time and\n"
            "the exposure window (seconds from the start) with its dose.\n"
            "--bom starts the CSV with a UTF-8 byte order mark, as the program's own\n"
            "CSV files do, so that spreadsheet programs read μW/cm² right.\n"
            "xls, xlsx: the workbooks of the program's \"Save Data\", numbers showing\n"
            "the decimals of the table.\n"
            "--archive keeps the download in the archive (see archive --help) and\n"
            "writes a file only with -o. When the archive cannot be written (its server\n"
            "down or out of reach, locked by another program, a full disk), the\n"
            "download waits in the archive's local queue, the message says how many\n"
            "runs or records were queued and why, and the exit code is 7; it is sent\n"
            "at the next download --archive, by \"archive sync\" and when the window\n"
            "starts.\n");
    if (verb == QLatin1String("archive"))
        return QStringLiteral(
            "usage: vantrel-cli archive list [--serial S] [--since DATE] [--until DATE]\n"
            "                                [--pending] [--format csv|json]\n"
            "                                [--database CONNECTION]\n"
            "       vantrel-cli archive import FILE... [--database CONNECTION]\n"
            "       vantrel-cli archive sync [--database CONNECTION]\n"
            "       vantrel-cli archive export --run ID [-o FILE] [--format csv|json|xls|xlsx]\n"
            "                                  [--database CONNECTION]\n"
            "\n"
            "The archive keeps every Logger run and Meter record downloaded or imported,\n"
            "each once: a run is known by its instrument's serial number, its start time,\n"
            "its interval and a hash of its samples, a record by serial number, record\n"
            "number and values, so the same memory archived again adds nothing.\n"
            "list: the runs and records (CSV, the default, with a \"kind\" column; or\n"
            "JSON), of the instrument with serial number S, runs started (records\n"
            "archived) from --since to --until (YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS).\n"
            "import: saved measurement files of any kind the program opens (JSON, CSV,\n"
            ".xls, .xlsx), one transaction each. export: run ID (see list) in the kinds\n"
            "download writes. \"download --archive\" archives a download as well.\n"
            "\n"
            "A download that cannot be archived waits in a local queue of the archive\n"
            "(a private folder under the data folder). sync: sends what waits, each\n"
            "once; exit 0 only when nothing waits afterwards. list --pending: what\n"
            "waits, in the columns of list (no id; archived empty, source says when\n"
            "it was queued), without opening the archive.\n"
            "\n"
            "--database: a PostgreSQL database by a connection string of libpq\n"
            "(key=value words: \"service=lab\", \"host=db.lab dbname=vantrel\") or a\n"
            "postgresql:// address; or an SQLite file by an absolute path, a path\n"
            "starting with ./ or ~/, or a name ending in .sqlite or .db. Anything else\n"
            "is refused (exit 2). A password belongs in ~/.pgpass or the service file,\n"
            "never on the line. Without it, the user's own archive, archive.sqlite in\n"
            "the data folder.\n");
    if (verb == QLatin1String("stats"))
        return QStringLiteral(
            "usage: vantrel-cli stats [--run N] [--threshold VALUE] [--window-percent P]\n"
            "                         [--rule sample-and-hold|trapezoid]\n"
            "                         [--dose-unit mJ/cm2|J/cm2|J/m2] [--format json|csv] [FILE]\n"
            "\n"
            "The UV figures of the Logger's runs (all, or run N): the dose (the time\n"
            "integral of the irradiance), the peak and its time, the mean, and the\n"
            "exposure window, from the first to the last time the irradiance reaches\n"
            "P percent of the peak (10 by default), with the dose inside it; with\n"
            "--threshold, the seconds above VALUE μW/cm². Times are seconds from the\n"
            "run's start. The dose rule: sample-and-hold (the default: each sample\n"
            "holds for one interval, as the table's duration counts) or trapezoid\n"
            "(straight lines between samples, crossings interpolated).\n"
            "With FILE the runs come from a saved measurement file (JSON, CSV, .xls,\n"
            ".xlsx, as the program and download write them), else from the\n"
            "instrument. JSON (the default): {\"runs\": [...]}; CSV: a row per run.\n");
    if (verb == QLatin1String("plot"))
        return QStringLiteral(
            "usage: vantrel-cli plot [--run N]... [--overlay]\n"
            "                        [--reference-run N | --reference FILE] [--tolerance P]\n"
            "                        [--time clock|elapsed] [--align start|window]\n"
            "                        [--size WxH] [--dpi D] -o FILE.svg|.png|.jpg|.pdf [SOURCE]\n"
            "\n"
            "Draws Logger runs, irradiance over time, into FILE: SVG and PDF as vectors\n"
            "(text stays text), PNG and JPEG as pictures of W x H pixels (1000x500 by\n"
            "default) at D dots per inch (96 by default; the plot is drawn larger at\n"
            "a higher resolution, as it would be printed). The format follows FILE's\n"
            "extension. Without --run the first run is drawn, or all with --overlay;\n"
            "each --run adds one run, laid over the others.\n"
            "--time: seconds since the run's start (elapsed, the default; h:mm:ss for\n"
            "runs over an hour) or the clock time the Logger recorded (clock).\n"
            "--align: the runs laid over each other from their starts (the default) or\n"
            "from the start of their exposure windows (10 % of the peak).\n"
            "--reference-run N or --reference FILE (its first run): a band of\n"
            "+-P percent (5 by default) around that run, and the parts of the other\n"
            "runs outside it marked; for each other run a line on standard output\n"
            "gives the share of its compared samples inside the band.\n"
            "With SOURCE the runs come from a saved measurement file (JSON, CSV, .xls,\n"
            ".xlsx), else from the instrument. Needs no display.\n");
    if (verb == QLatin1String("report"))
        return QStringLiteral(
            "usage: vantrel-cli report [--run N] [--limits KEY=VALUE,...] [--limit-set NAME]\n"
            "                          -o FILE.pdf [FILE]\n"
            "\n"
            "Writes the test report of a Logger run as PDF, the report the program\n"
            "prints: the instrument, the run's start, duration and power values, its\n"
            "curve (as vectors), its UV figures (dose, sample-and-hold; peak; exposure\n"
            "window) and, with limits, each check and the verdict PASS or FAIL.\n"
            "--run N chooses the run; it may be left out when there is only one.\n"
            "With FILE the run comes from a saved measurement file, else from the\n"
            "instrument.\n"
            "\n"
            "--limits takes any of dose-min, dose-max (mJ/cm2), peak-min, peak-max\n"
            "(uW/cm2), time-above-min (s) and threshold (uW/cm2; needed by\n"
            "time-above-min, and alone it adds the time above it to the figures),\n"
            "e.g. --limits dose-min=10,dose-max=50,peak-max=900.\n"
            "--limit-set NAME takes a limit set saved in the report window instead.\n"
            "With limits the verdict goes to standard output: PASS or FAIL, then a\n"
            "line per check (key, limit, measured value, pass or fail).\n"
            "\n"
            "Exit code 6 when the run fails its limits; the PDF is written all the\n"
            "same. A file is replaced only once the new one is complete.\n");
    return QStringLiteral(
        "usage: vantrel-cli [global options] COMMAND [options]\n"
        "\n"
        "Reads and sets UV radiometers of the Meter and Logger families over USB.\n"
        "\n"
        "Commands:\n"
        "  list                  instruments found\n"
        "  info                  model, serial number, dates, firmware\n"
        "  config get|set        the instrument's settings\n"
        "  clock get|set         the Logger's clock\n"
        "  download              stored records (Meter) or runs (Logger)\n"
        "  stats [FILE]          UV dose, peak and exposure window of Logger runs\n"
        "  plot -o FILE [SOURCE] Logger runs drawn to SVG, PNG, JPEG or PDF\n"
        "  report [FILE]         a Logger run's test report as PDF, with a verdict\n"
        "  archive list|import|export|sync  the archive of every download\n"
        "  help [COMMAND]        this text, or the command's\n"
        "\n"
        "Global options:\n"
        "  --serial S            the instrument with USB serial S (see list)\n"
        "  --simulate meter|logger|PROFILE.json\n"
        "                        a simulated instrument instead of USB; give it\n"
        "                        twice for two instruments\n"
        "  --debug               the program's trace lines on standard error\n"
        "  -h, --help            help (also after a command)\n"
        "  --version             the program's version\n"
        "\n"
        "Exit codes: 0 done, 2 wrong command line, 3 no instrument, 4 instrument\n"
        "error or time-out, 5 file error, 6 the report's run fails its limits,\n"
        "7 archive error.\n");
}

QString CommandLine::output() const
{
    return has("output") ? value("output") : QStringLiteral("-");
}

QString CommandLine::outputFormat() const
{
    if (!value("format").isEmpty())
        return value("format");
    const QString suffix = QFileInfo(output()).suffix().toLower();
    return (suffix == QLatin1String("json") || suffix == QLatin1String("xls") ||
            suffix == QLatin1String("xlsx"))
               ? suffix
               : QStringLiteral("csv");
}

} // namespace Cli
