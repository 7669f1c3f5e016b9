#include "cli/verbs.h"

#include "cli/archiveverb.h"
#include "cli/commandline.h"
#include "cli/plotverb.h"
#include "cli/reportverb.h"
#include "cli/session.h"
#include "cli/stats.h"
#include "download/loggerrun.h"
#include "download/meterrecord.h"
#include "files/measurementreader.h"
#include "files/recordexport.h"
#include "files/safefile.h"
#include "files/workbookfile.h"
#include "files/xlswriter.h"
#include "files/xlsxwriter.h"
#include "measurement/instrumentclock.h"
#include "protocol/identity.h"
#include "protocol/instrumentlink.h"
#include "protocol/modeltable.h"
#include "protocol/settings.h"
#include "session/loggersession.h"
#include "session/metersession.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace Cli {

namespace {

// How often a download looks whether the instrument is still there.
constexpr int kPresenceCheckMs = 250;

class Verbs
{
public:
    Verbs(const CommandLine &line, QTextStream &out, QTextStream &err, bool progress)
        : m_line(line), m_out(out), m_err(err), m_progress(progress)
    {
    }

    int run();

private:
    int list();
    int info();
    int configGet();
    int configSet();
    int clockGet();
    int clockSet();
    int download();
    int downloadMeter(const QString &format, const QString &output);
    int downloadLogger(const QString &format, const QString &output);
    // The Logger's runs (all, or those numbered in chosen) from the open
    // instrument; false with the exit code in *exit and the message shown.
    bool collectLoggerRuns(LoggerData *data, int *exit, const QList<int> &chosen);
    // The Logger's runs from the measurement file given, or from the
    // instrument when file is empty: all, or those numbered in chosen, in
    // that order. purpose ends the message when the source is a Meter's.
    bool loggerRuns(const QString &file, const QList<int> &chosen, const QString &purpose,
                    LoggerData *data, int *exit);
    int stats();
    int plot();
    int report();

    // Opens and recognises the chosen instrument; false (with the exit code
    // in *exit and the message shown) when that fails.
    bool openInstrument(int *exit);
    int fail(int code, const QString &message);
    void warn(const QString &message);
    bool formatOk(const QStringList &allowed, QString *format, int *exit);
    // A report verb (info, config get, clock get): --format text|json, then
    // the instrument opened.
    bool openForReport(QString *format, int *exit);
    void progress(const QString &text);
    void endProgress();

    // Reads both Meter blocks; the result of the first failing read.
    int readMeterSettings(MeterSettings *settings, int *failedBlock);
    int writeOutput(const QByteArray &bytes, const QString &output);
    // format "xls" or "xlsx", whatever the name's suffix.
    int writeWorkbook(const XlsWorkbook &book, const QString &format, const QString &output);
    // The connected instrument's model, serial number, calibration date and
    // firmware, read now.
    InstrumentIdentity instrumentIdentity();
    int checkOutputTarget(const QString &output);
    // The CSV as written: with a byte order mark when --bom asks for one.
    QByteArray csv(const QByteArray &rows) const
    {
        return m_line.has("bom") ? Csv::withByteOrderMark(rows) : rows;
    }
    struct Field
    {
        const char *text; // key of the text form
        const char *json; // key of the JSON form
        QJsonValue value;
    };
    void printFields(const QList<Field> &fields, bool json);

    const CommandLine &m_line;
    QTextStream &m_out;
    QTextStream &m_err;
    bool m_progress;
    bool m_progressShown = false;
    Session m_session;
    Instrument m_instrument;
};

int Verbs::fail(int code, const QString &message)
{
    endProgress();
    m_err << "vantrel-cli: " << message << '\n';
    m_err.flush();
    return code;
}

void Verbs::warn(const QString &message)
{
    endProgress();
    m_err << "vantrel-cli: warning: " << message << '\n';
    m_err.flush();
}

void Verbs::progress(const QString &text)
{
    if (!m_progress)
        return;
    m_err << '\r' << text << "\x1b[K";
    m_err.flush();
    m_progressShown = true;
}

void Verbs::endProgress()
{
    if (!m_progressShown)
        return;
    m_err << '\n';
    m_err.flush();
    m_progressShown = false;
}

bool Verbs::openForReport(QString *format, int *exit)
{
    *format = m_line.value("format");
    return formatOk({QStringLiteral("text"), QStringLiteral("json")}, format, exit) &&
           openInstrument(exit);
}

bool Verbs::formatOk(const QStringList &allowed, QString *format, int *exit)
{
    if (format->isEmpty())
        *format = allowed.first();
    if (allowed.contains(*format))
        return true;
    *exit = fail(Usage, QStringLiteral("--format takes %1, not \"%2\"")
                            .arg(allowed.join(QLatin1String(", ")), *format));
    return false;
}

bool Verbs::openInstrument(int *exit)
{
    QString error;
    const Exit code = m_session.openChosen(m_line.value("serial"), &m_instrument, &error);
    if (code != Ok) {
        *exit = fail(code, error);
        return false;
    }
    return true;
}

void Verbs::printFields(const QList<Field> &fields, bool json)
{
    if (json) {
        QJsonObject o;
        for (const Field &f : fields)
            o.insert(QLatin1String(f.json), f.value);
        m_out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented));
        return;
    }
    for (const Field &f : fields) {
        m_out << f.text << ": "
              << (f.value.isDouble() ? QString::number(f.value.toDouble(), 'f', 0)
                                     : f.value.toString())
              << '\n';
    }
}

int Verbs::run()
{
    if (m_line.verb == QLatin1String("archive"))
        return archiveVerb(m_line, m_out, m_err);
    QString error;
    if (m_session.setUp(m_line.values("simulate"), &error) != Ok)
        return fail(Usage, error);

    const QString &verb = m_line.verb;
    const QString &action = m_line.action;
    // Positional words: only config set takes any (and clock set one time).
    const bool takesWords = (verb == QLatin1String("config") && action == QLatin1String("set")) ||
                            (verb == QLatin1String("clock") && action == QLatin1String("set")) ||
                            verb == QLatin1String("stats") || verb == QLatin1String("plot") ||
                            verb == QLatin1String("report");
    if (!takesWords && !m_line.positional.isEmpty())
        return fail(Usage, QStringLiteral("unexpected \"%1\"").arg(m_line.positional.first()));

    if (verb == QLatin1String("list"))
        return list();
    if (verb == QLatin1String("info"))
        return info();
    if (verb == QLatin1String("config"))
        return action == QLatin1String("get") ? configGet() : configSet();
    if (verb == QLatin1String("clock"))
        return action == QLatin1String("get") ? clockGet() : clockSet();
    if (verb == QLatin1String("stats"))
        return stats();
    if (verb == QLatin1String("plot"))
        return plot();
    if (verb == QLatin1String("report"))
        return report();
    return download();
}

// ---- list, info ------------------------------------------------------------

int Verbs::list()
{
    QString format = m_line.value("format");
    int exit = Ok;
    if (!formatOk({QStringLiteral("text"), QStringLiteral("json")}, &format, &exit))
        return exit;
    const QStringList serials = m_session.serials();
    if (serials.isEmpty())
        return fail(NoInstrument, QStringLiteral("no instrument found"));
    QJsonArray array;
    for (const QString &serial : serials) {
        Instrument instrument;
        QString error;
        const Exit code = m_session.open(serial, &instrument, &error);
        m_session.close();
        QString family;
        QString model;
        quint32 number = 0;
        if (code == Ok) {
            family = instrument.family();
            model = instrument.model();
            const Recognition &r = instrument.recognition;
            number = r.keyResult >= 0 ? r.key.serialNumber : r.production.serialNumber;
        } else {
            if (instrument.recognition.outcome == Recognition::Outcome::MeterWithoutProbe)
                family = QStringLiteral("Meter");
            warn(QStringLiteral("%1: %2").arg(serial, error));
            exit = code;
        }
        if (format == QLatin1String("json")) {
            QJsonObject o;
            o.insert(QStringLiteral("usbSerial"), serial);
            o.insert(QStringLiteral("path"), instrument.path);
            o.insert(QStringLiteral("model"), model.isEmpty() ? QJsonValue() : QJsonValue(model));
            o.insert(QStringLiteral("family"),
                     family.isEmpty() ? QJsonValue() : QJsonValue(family));
            o.insert(QStringLiteral("serialNumber"),
                     code == Ok ? QJsonValue(double(number)) : QJsonValue());
            array.append(o);
        } else {
            auto orDash = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
            m_out << serial << '\t' << orDash(instrument.path) << '\t' << orDash(model) << '\t'
                  << orDash(family) << '\t'
                  << (code == Ok ? QString::number(number) : QStringLiteral("-")) << '\n';
        }
    }
    if (format == QLatin1String("json"))
        m_out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
    return exit;
}

InstrumentIdentity Verbs::instrumentIdentity()
{
    // What the window's device information shows, so that a file of the
    // download names the instrument as the window's does. A date or version
    // that cannot be read stays empty: the download goes on without it.
    InstrumentIdentity id;
    const Recognition &r = m_instrument.recognition;
    id.model = m_instrument.model();
    id.serialNumber = r.keyResult >= 0 ? r.key.serialNumber : r.production.serialNumber;
    InstrumentCommands *commands = m_session.commands();
    QDate calibration;
    if (commands->readCalibrationDate(calibration) >= 0)
        id.calibrationDate = calibration;
    quint16 version = 0;
    if (commands->readSoftwareVersion(version) >= 0)
        id.firmware = Identity::versionText(version);
    return id;
}

int Verbs::info()
{
    QString format;
    int exit = Ok;
    if (!openForReport(&format, &exit))
        return exit;
    const Recognition &r = m_instrument.recognition;
    const bool fromKey = r.keyResult >= 0;
    InstrumentCommands *commands = m_session.commands();
    QDate calibration;
    const int rc = commands->readCalibrationDate(calibration);
    if (rc < 0)
        return fail(
            InstrumentError,
            rc == -5 && !m_instrument.isLogger()
                ? QStringLiteral("the Meter reports no probe connected")
                : QStringLiteral("reading the calibration date: %1").arg(Session::resultText(rc)));
    quint16 version = 0;
    const int rv = commands->readSoftwareVersion(version);
    if (rv < 0)
        return fail(
            InstrumentError,
            QStringLiteral("reading the firmware version: %1").arg(Session::resultText(rv)));

    auto date = [](const QDate &d) {
        return d.isValid() ? QJsonValue(d.toString(Qt::ISODate)) : QJsonValue();
    };
    printFields({{"model", "model", m_instrument.model()},
                 {"family", "family", m_instrument.family()},
                 {"type code", "typeCode", double(r.typeCode)},
                 {"serial number", "serialNumber",
                  double(fromKey ? r.key.serialNumber : r.production.serialNumber)},
                 {"production date", "productionDate",
                  date(fromKey ? r.key.productionDate : r.production.productionDate)},
                 {"calibration date", "calibrationDate", date(calibration)},
                 {"firmware version", "firmwareVersion", Identity::versionText(version)},
                 {"usb serial", "usbSerial", m_instrument.usbSerial},
                 {"path", "path", m_instrument.path}},
                format == QLatin1String("json"));
    return Ok;
}

// ---- settings ----------------------------------------------------------------

int Verbs::readMeterSettings(MeterSettings *settings, int *failedBlock)
{
    InstrumentCommands *commands = m_session.commands();
    ConfigBlock block = {0, 0, 0, 0};
    int r = commands->readBlock80(block[0], block[1], block[2], block[3]);
    if (r < 0) {
        *failedBlock = 0x80;
        return r;
    }
    settings->takeBlock80(block);
    r = commands->readBlock60(block[0], block[1], block[2], block[3]);
    if (r < 0) {
        *failedBlock = 0x60;
        return r;
    }
    settings->takeBlock60(block);
    return 1;
}

QString settingsFailure(const char *what, int result, int block, bool meter)
{
    if (result == -5 && meter)
        return QStringLiteral("%1 the settings: the Meter reports no probe connected").arg(what);
    return QStringLiteral("%1 the settings (block 0x%2): %3")
        .arg(QLatin1String(what))
        .arg(block, 2, 16, QLatin1Char('0'))
        .arg(Session::resultText(result));
}

QJsonValue settingValue(const QString &text)
{
    bool isNumber = false;
    const int n = text.toInt(&isNumber);
    return isNumber ? QJsonValue(n) : QJsonValue(text);
}

int Verbs::configGet()
{
    QString format;
    int exit = Ok;
    if (!openForReport(&format, &exit))
        return exit;
    QStringList lines;
    if (m_instrument.isLogger()) {
        ConfigBlock block = {0, 0, 0, 0};
        const int r = m_session.commands()->readBlock80(block[0], block[1], block[2], block[3]);
        if (r < 0)
            return fail(InstrumentError, settingsFailure("reading", r, 0x80, false));
        LoggerSettings settings;
        settings.takeBlock80(block);
        lines = settings.toText();
    } else {
        MeterSettings settings;
        int block = 0;
        const int r = readMeterSettings(&settings, &block);
        if (r < 0)
            return fail(InstrumentError, settingsFailure("reading", r, block, true));
        lines = settings.toText();
    }
    if (format == QLatin1String("json")) {
        QJsonObject o;
        for (const QString &line : lines) {
            const int eq = line.indexOf(QLatin1Char('='));
            o.insert(line.left(eq), settingValue(line.mid(eq + 1)));
        }
        m_out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented));
    } else {
        for (const QString &line : lines)
            m_out << line << '\n';
    }
    return Ok;
}

int Verbs::configSet()
{
    if (m_line.positional.isEmpty())
        return fail(Usage, QStringLiteral("config set needs KEY=VALUE settings"));
    int exit = Ok;
    if (!openInstrument(&exit))
        return exit;
    InstrumentCommands *commands = m_session.commands();
    QString error;
    QStringList written;
    if (m_instrument.isLogger()) {
        ConfigBlock block = {0, 0, 0, 0};
        const int r = commands->readBlock80(block[0], block[1], block[2], block[3]);
        LoggerSettings settings;
        if (r == -4) {
            settings = LoggerSettings::afterBadBlock();
            warn(QStringLiteral("the instrument's settings fail their check value; the settings "
                                "not given are written as %1")
                     .arg(settings.toText().join(QLatin1Char(' '))));
        } else if (r < 0) {
            return fail(InstrumentError, settingsFailure("reading", r, 0x80, false));
        } else {
            settings.takeBlock80(block);
        }
        if (!settings.apply(m_line.positional, &error))
            return fail(Usage, error);
        if (!m_line.has("yes"))
            return fail(Usage, QStringLiteral("writing the settings clears the runs stored in the "
                                              "Logger; give --yes to go ahead"));
        const ConfigBlock out = settings.block80();
        const int w = commands->writeBlock80(out[0], out[1], out[2], out[3]);
        if (w < 0)
            return fail(InstrumentError, settingsFailure("writing", w, 0x80, false));
        // Read back: the instrument must hold what was written.
        const int rb = commands->readBlock80(block[0], block[1], block[2], block[3]);
        if (rb < 0)
            return fail(InstrumentError, settingsFailure("reading back", rb, 0x80, false));
        LoggerSettings back;
        back.takeBlock80(block);
        if (back.toText() != settings.toText())
            return fail(InstrumentError, QStringLiteral("the instrument did not keep the settings: "
                                                        "it holds %1")
                                             .arg(back.toText().join(QLatin1Char(' '))));
        written = settings.toText();
    } else {
        // A block whose check value fails stands in with the defaults that
        // the page shows for it.
        MeterSettings settings;
        ConfigBlock block = {0, 0, 0, 0};
        for (const int address : {0x80, 0x60}) {
            const int r = address == 0x80
                              ? commands->readBlock80(block[0], block[1], block[2], block[3])
                              : commands->readBlock60(block[0], block[1], block[2], block[3]);
            if (r == -4) {
                if (address == 0x80)
                    settings.takeBadBlock80();
                else
                    settings.takeBadBlock60();
                warn(QStringLiteral("the instrument's settings (block 0x%1) fail their check "
                                    "value; the settings not given are written as the defaults")
                         .arg(address, 2, 16));
            } else if (r < 0) {
                return fail(InstrumentError, settingsFailure("reading", r, address, true));
            } else if (address == 0x80) {
                settings.takeBlock80(block);
            } else {
                settings.takeBlock60(block);
            }
        }
        if (!settings.apply(m_line.positional, m_instrument.model(), &error))
            return fail(Usage, error);
        if (!m_line.has("yes"))
            return fail(Usage, QStringLiteral("writing the settings clears the records stored in "
                                              "the Meter; give --yes to go ahead"));
        const ConfigBlock b80 = settings.block80();
        int w = commands->writeBlock80(b80[0], b80[1], b80[2], b80[3]);
        if (w < 0)
            return fail(InstrumentError, settingsFailure("writing", w, 0x80, true));
        const ConfigBlock b60 = settings.block60();
        w = commands->writeBlock60(b60[0], b60[1], b60[2], b60[3]);
        if (w < 0)
            return fail(InstrumentError, settingsFailure("writing", w, 0x60, true));
        MeterSettings back;
        int failed = 0;
        const int rb = readMeterSettings(&back, &failed);
        if (rb < 0)
            return fail(InstrumentError, settingsFailure("reading back", rb, failed, true));
        if (back.toText() != settings.toText())
            return fail(InstrumentError, QStringLiteral("the instrument did not keep the settings: "
                                                        "it holds %1")
                                             .arg(back.toText().join(QLatin1Char(' '))));
        written = settings.toText();
    }
    for (const QString &line : qAsConst(written))
        m_out << line << '\n';
    return Ok;
}

// ---- clock -------------------------------------------------------------------

bool requireLogger(const Instrument &instrument, QString *error)
{
    if (instrument.isLogger())
        return true;
    *error = QStringLiteral("the %1 is a Meter, and Meters have no clock").arg(instrument.model());
    return false;
}

const QString kClockFormat = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");

int Verbs::clockGet()
{
    QString format;
    int exit = Ok;
    if (!openForReport(&format, &exit))
        return exit;
    QString error;
    if (!requireLogger(m_instrument, &error))
        return fail(Usage, error);
    QDateTime when;
    const int r = m_session.commands()->readClock(when);
    if (r < 0)
        return fail(InstrumentError,
                    QStringLiteral("reading the clock: %1").arg(Session::resultText(r)));
    if (!when.isValid())
        return fail(InstrumentError, QStringLiteral("the instrument's clock holds no valid time"));
    if (format == QLatin1String("json"))
        printFields({{"clock", "clock", when.toString(kClockFormat)}}, true);
    else
        m_out << when.toString(kClockFormat) << '\n';
    return Ok;
}

// A time to set: ISO 8601 with date and time, taken as the reading the
// clock is to show; with a UTC offset or Z it is turned into this PC's wall
// clock first. A fraction of a second is kept for the caller to refuse: the
// instrument's clock has whole seconds.
QDateTime parseClockTime(const QString &text)
{
    const int t = text.indexOf(QLatin1Char('T'));
    if (t < 0)
        return QDateTime();
    const QString timePart = text.mid(t + 1);
    const bool zoned = timePart.endsWith(QLatin1Char('Z')) || timePart.contains(QLatin1Char('+')) ||
                       timePart.contains(QLatin1Char('-'));
    if (zoned) {
        const QDateTime instant = QDateTime::fromString(text, Qt::ISODate);
        return instant.isValid() ? InstrumentClock::reading(instant.toLocalTime()) : QDateTime();
    }
    // Without a zone the text is the reading itself, never a local time of
    // this PC (which a summer-time change may skip).
    return InstrumentClock::at(QDate::fromString(text.left(t), Qt::ISODate),
                               QTime::fromString(timePart, Qt::ISODate));
}

int Verbs::clockSet()
{
    const bool now = m_line.has("now");
    if (now == !m_line.positional.isEmpty() || m_line.positional.size() > 1)
        return fail(Usage, QStringLiteral("clock set takes either --now or one time "
                                          "YYYY-MM-DDTHH:MM:SS"));
    QDateTime when;
    if (!now) {
        when = parseClockTime(m_line.positional.first());
        if (!when.isValid())
            return fail(Usage, QStringLiteral("\"%1\" is not a time YYYY-MM-DDTHH:MM:SS")
                                   .arg(m_line.positional.first()));
        if (when.time().msec() != 0)
            return fail(Usage, QStringLiteral("the clock keeps whole seconds; \"%1\" has a "
                                              "fraction of a second")
                                   .arg(m_line.positional.first()));
        // The instrument keeps the year as year - 2000 in one byte.
        if (when.date().year() < 2000 || when.date().year() > 2255)
            return fail(Usage, QStringLiteral("the clock takes the years 2000 to 2255"));
    }
    int exit = Ok;
    if (!openInstrument(&exit))
        return exit;
    QString error;
    if (!requireLogger(m_instrument, &error))
        return fail(Usage, error);
    if (now) {
        const QDateTime pc = QDateTime::currentDateTime();
        when = InstrumentClock::at(pc.date(),
                                   QTime(pc.time().hour(), pc.time().minute(), pc.time().second()));
    }
    const int r = m_session.commands()->writeClock(when);
    if (r < 0)
        return fail(InstrumentError,
                    QStringLiteral("setting the clock: %1").arg(Session::resultText(r)));
    m_out << when.toString(kClockFormat) << '\n';
    return Ok;
}

// ---- download ----------------------------------------------------------------

int Verbs::checkOutputTarget(const QString &output)
{
    const QFileInfo target(output);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return fail(FileError, QStringLiteral("cannot write %1: the folder %2 does not exist")
                                   .arg(output, folder.filePath()));
    if (!folder.isWritable())
        return fail(FileError, QStringLiteral("cannot write %1: the folder %2 is not writable")
                                   .arg(output, folder.filePath()));
    if (target.exists() && !target.isFile())
        return fail(FileError,
                    QStringLiteral("cannot write %1: it is not a plain file").arg(output));
    return Ok;
}

int Verbs::writeOutput(const QByteArray &bytes, const QString &output)
{
    // Standard output is collected by main and written, checked, when the
    // command ends (see main.cpp); a download comes here only when whole.
    // The bytes go as they are (a text stream would drop a byte order mark).
    if (output == QLatin1String("-")) {
        m_out.flush();
        m_out.device()->write(bytes);
        return Ok;
    }
    QString why;
    if (!SafeFile::writeFile(output, bytes, &why))
        return fail(FileError, QStringLiteral("cannot write %1: %2").arg(output, why));
    return Ok;
}

int Verbs::writeWorkbook(const XlsWorkbook &book, const QString &format, const QString &output)
{
    QString why;
    const QByteArray bytes = format == QLatin1String("xlsx") ? XlsxWriter::toBytes(book, &why)
                                                             : XlsWriter::toBytes(book);
    if (bytes.isEmpty() || !WorkbookFile::writeBytes(output, bytes, &why))
        return fail(FileError, QStringLiteral("cannot write %1: %2").arg(output, why));
    return Ok;
}

int Verbs::download()
{
    const QString output = m_line.output();
    QString format = m_line.outputFormat();
    int exit = Ok;
    if (!formatOk({QStringLiteral("csv"), QStringLiteral("json"), QStringLiteral("xls"),
                   QStringLiteral("xlsx")},
                  &format, &exit))
        return exit;
    const bool toStdout = output == QLatin1String("-");
    if (format.startsWith(QLatin1String("xls")) && toStdout)
        return fail(Usage, QStringLiteral("an %1 workbook needs -o FILE").arg(format));
    if (m_line.has("bom") && format != QLatin1String("csv"))
        return fail(Usage, QStringLiteral("--bom is for CSV, not %1").arg(format));
    if (m_line.has("database") && !m_line.has("archive"))
        return fail(Usage, QStringLiteral("--database chooses the archive of --archive"));
    if (const QString refused = databaseRefusal(m_line); !refused.isEmpty())
        return fail(Usage, refused);
    if (m_line.has("run")) {
        bool ok = false;
        const int run = m_line.value("run").toInt(&ok);
        if (!ok || run < 1)
            return fail(Usage, QStringLiteral("--run takes a run number from 1"));
    }
    if (!toStdout && (exit = checkOutputTarget(output)) != Ok)
        return exit;
    if (!openInstrument(&exit))
        return exit;
    return m_instrument.isLogger() ? downloadLogger(format, output) : downloadMeter(format, output);
}

// A stop check for the download engines: true once the instrument has gone.
struct PresenceCheck
{
    CLinker *link;
    QElapsedTimer clock;
    bool gone = false;

    bool operator()()
    {
        if (!clock.isValid() || clock.elapsed() >= kPresenceCheckMs) {
            clock.restart();
            gone = link->deviceRemoved();
        }
        return gone;
    }
};

int Verbs::downloadMeter(const QString &format, const QString &output)
{
    if (m_line.has("run"))
        return fail(Usage, QStringLiteral("--run chooses a Logger run; a Meter download takes all "
                                          "its records"));
    InstrumentCommands *commands = m_session.commands();
    MeterSettings settings;
    int block = 0;
    const int rs = readMeterSettings(&settings, &block);
    if (rs < 0)
        return fail(InstrumentError, settingsFailure("reading", rs, block, true));

    int count = 0;
    const int rc = commands->readPowerGroupCount(count);
    if (rc < 0)
        return fail(
            InstrumentError,
            rc == -5
                ? QStringLiteral("the Meter reports no probe connected")
                : QStringLiteral("reading the number of records: %1").arg(Session::resultText(rc)));
    count = qBound(0, count, MeterRecord::kMaxRecords);

    MeterData data;
    QString shortfall; // records left out, named
    data.instrument = instrumentIdentity();
    data.unit = settings.unit;
    data.decimals =
        MeterUnits::decimals(MeterUnits::profileForModel(data.instrument.model), settings.unit);

    if (count == 0) {
        warn(QStringLiteral("the Meter holds no records"));
    } else {
        // The window's download: the session's worker collects the answers
        // while this loop runs; the presence check ends it on removal.
        MeterSession session;
        session.setInstrument(commands);
        MeterSession::Outcome outcome = MeterSession::Outcome::Cancelled;
        QList<int> missing;
        QEventLoop loop;
        QObject::connect(&session, &MeterSession::progress, [&](int received, int total) {
            progress(
                QStringLiteral("records: %1 of %2 bytes").arg(qMin(received, total)).arg(total));
        });
        QObject::connect(
            &session, &MeterSession::finished,
            [&](MeterSession::Outcome end, const MeterData &records, const QList<int> &notRead) {
                outcome = end;
                data = records;
                missing = notRead;
                loop.quit();
            });
        QTimer presence;
        presence.setInterval(kPresenceCheckMs);
        QObject::connect(&presence, &QTimer::timeout, [&] {
            bool gone = false;
            {
                MeterSession::ExchangeLock locked(&session);
                gone = m_session.link()->deviceRemoved();
            }
            if (gone) {
                session.stopWorker();
                session.instrumentRemoved();
            }
        });
        session.startWorker();
        if (!session.startDownload(count, data)) {
            session.stopWorker();
            return fail(InstrumentError, QStringLiteral("the record requests could not be sent"));
        }
        presence.start();
        loop.exec();
        presence.stop();
        session.stopWorker();
        switch (outcome) {
        case MeterSession::Outcome::Complete:
            break;
        case MeterSession::Outcome::TimedOut:
            // The records that did arrive whole are written all the same,
            // the others named below.
            if (data.records.isEmpty() || missing.isEmpty())
                return fail(InstrumentError,
                            QStringLiteral("the %1 records did not arrive within %2 s")
                                .arg(count)
                                .arg(MeterSession::kDownloadLimitMs / 1000));
            break;
        case MeterSession::Outcome::Removed:
        case MeterSession::Outcome::Cancelled:
            return fail(InstrumentError,
                        QStringLiteral("the instrument went away during the download"));
        }
        endProgress();
        if (!missing.isEmpty()) {
            // The records that were refused, or wrong when asked again, are
            // left out and named, in the window's words; the others are
            // written (and archived) all the same.
            QStringList numbers;
            for (int number : qAsConst(missing))
                numbers << QString::number(number);
            shortfall = QStringLiteral("%1 of %2 records arrived; failed and left out: %3.")
                            .arg(data.records.size())
                            .arg(count)
                            .arg(numbers.join(QStringLiteral(", ")));
            if (data.records.isEmpty())
                return fail(InstrumentError, shortfall);
        }
    }

    // The file first: a download the archive refuses is still written.
    int written = Ok;
    if (m_line.has("output") || !m_line.has("archive"))
        written = format.startsWith(QLatin1String("xls"))
                      ? writeWorkbook(MeterFiles::workbook(data), format, output)
                      : writeOutput(format == QLatin1String("json") ? MeterFiles::json(data)
                                                                    : csv(MeterFiles::csv(data)),
                                    output);
    if (written == Ok && m_line.has("archive")) {
        Measurement download;
        download.family = Measurement::Family::Meter;
        download.meter = data;
        // Standard output carries the download with -o -, else what was archived.
        const bool dataOnStdout = m_line.has("output") && output == QLatin1String("-");
        written = archiveDownload(m_line, download, dataOnStdout ? m_err : m_out, m_err);
    }
    if (written != Ok || shortfall.isEmpty())
        return written;
    return fail(InstrumentError, shortfall);
}

int Verbs::downloadLogger(const QString &format, const QString &output)
{
    LoggerData data;
    int exit = Ok;
    QList<int> chosen;
    if (m_line.has("run"))
        chosen << m_line.value("run").toInt();
    if (!collectLoggerRuns(&data, &exit, chosen))
        return exit;
    int written = Ok;
    if (m_line.has("output") || !m_line.has("archive"))
        written = format.startsWith(QLatin1String("xls"))
                      ? writeWorkbook(LoggerFiles::workbook(data, format == QLatin1String("xlsx")),
                                      format, output)
                      : writeOutput(format == QLatin1String("json") ? LoggerFiles::json(data)
                                                                    : csv(LoggerFiles::csv(data)),
                                    output);
    if (written != Ok || !m_line.has("archive"))
        return written;
    Measurement download;
    download.family = Measurement::Family::Logger;
    download.logger = data;
    // Standard output carries the download with -o -, else what was archived.
    const bool dataOnStdout = m_line.has("output") && output == QLatin1String("-");
    return archiveDownload(m_line, download, dataOnStdout ? m_err : m_out, m_err);
}

bool Verbs::collectLoggerRuns(LoggerData *out, int *exit, const QList<int> &chosen)
{
    auto failWith = [this, exit](int code, const QString &message) {
        *exit = fail(code, message);
        return false;
    };
    LoggerSession session(m_session.commands());
    int count = 0;
    const int rc = session.readRunCount(&count);
    if (rc < 0)
        return failWith(InstrumentError,
                    QStringLiteral("reading the number of runs: %1").arg(Session::resultText(rc)));
    // Storage addresses exist for 25 runs.
    if (count > LoggerRun::MaxRuns)
        warn(QStringLiteral("the Logger reports %1 runs; the first %2 are read")
                 .arg(count)
                 .arg(LoggerRun::MaxRuns));
    const int runs = qBound(0, count, LoggerRun::MaxRuns);
    int first = 1;
    int last = runs;
    if (!chosen.isEmpty()) {
        // The stretch of runs from the lowest to the highest chosen.
        first = *std::min_element(chosen.cbegin(), chosen.cend());
        last = *std::max_element(chosen.cbegin(), chosen.cend());
        if (last > runs)
            return failWith(
                Usage,
                runs == 0
                    ? QStringLiteral("the Logger holds no runs")
                    : QStringLiteral("the Logger holds runs 1 to %1, not %2").arg(runs).arg(last));
    }

    LoggerData data;
    data.instrument = instrumentIdentity();
    if (runs == 0)
        warn(QStringLiteral("the Logger holds no runs"));

    PresenceCheck present{m_session.link(), {}};
    session.stopRequested = [&present] { return present(); };
    int number = 0;
    int received = 0;
    int runStart = 0;
    QObject::connect(&session, &LoggerSession::runRequested, [&](int asked) {
        number = asked;
        runStart = received;
        progress(QStringLiteral("run %1 of %2").arg(number).arg(last));
    });
    QObject::connect(&session, &LoggerSession::progress, [&](int total, int) {
        received = total;
        progress(
            QStringLiteral("run %1 of %2: %3 bytes").arg(number).arg(last).arg(total - runStart));
    });
    if (runs > 0) {
        switch (session.download(count, first - 1, last - 1)) {
        case LoggerSession::Outcome::Complete:
            break;
        case LoggerSession::Outcome::SendFailed:
            return failWith(InstrumentError,
                        QStringLiteral("the request for run %1 could not be sent").arg(number));
        case LoggerSession::Outcome::Silent:
            return failWith(InstrumentError,
                        QStringLiteral("run %1 did not arrive whole within the time limit "
                                       "(no end of the run from the instrument)")
                            .arg(number));
        case LoggerSession::Outcome::LinkLost:
        case LoggerSession::Outcome::Cancelled:
        case LoggerSession::Outcome::Removed:
            return failWith(InstrumentError,
                        QStringLiteral("the instrument went away during run %1").arg(number));
        case LoggerSession::Outcome::StepUnreadable:
            return failWith(
                InstrumentError,
                QStringLiteral("reading the storage interval after run %1 failed").arg(number));
        }
    }
    data.runs = session.runs();
    endProgress();
    *out = data;
    return true;
}

bool Verbs::loggerRuns(const QString &file, const QList<int> &chosen, const QString &purpose,
                       LoggerData *out, int *exit)
{
    LoggerData data;
    if (!file.isEmpty()) {
        Measurement m;
        QString error;
        if (!MeasurementReader::read(file, &m, &error)) {
            *exit = fail(FileError, error);
            return false;
        }
        if (m.family != Measurement::Family::Logger) {
            *exit = fail(Usage, QStringLiteral("%1 holds Meter records; %2").arg(file, purpose));
            return false;
        }
        data = m.logger;
    } else {
        if (!openInstrument(exit))
            return false;
        if (!m_instrument.isLogger()) {
            *exit = fail(
                Usage, QStringLiteral("the %1 is a Meter; %2").arg(m_instrument.model(), purpose));
            return false;
        }
        if (!collectLoggerRuns(&data, exit, chosen))
            return false;
    }
    if (!chosen.isEmpty()) {
        QList<LoggerRunData> runs;
        for (const int number : chosen) {
            auto it = std::find_if(data.runs.cbegin(), data.runs.cend(),
                                   [number](const LoggerRunData &r) { return r.number == number; });
            if (it == data.runs.cend()) {
                *exit =
                    fail(Usage, file.isEmpty()
                                    ? QStringLiteral("the Logger gave no run %1").arg(number)
                                    : QStringLiteral("%1 holds no run %2").arg(file).arg(number));
                return false;
            }
            runs << *it;
        }
        data.runs = runs;
    }
    *out = data;
    return true;
}

int Verbs::stats()
{
    QString format = m_line.value("format");
    int exit = Ok;
    if (!formatOk({QStringLiteral("json"), QStringLiteral("csv")}, &format, &exit))
        return exit;
    if (m_line.positional.size() > 1)
        return fail(Usage, QStringLiteral("stats takes one file, not %1")
                               .arg(m_line.positional.size()));
    StatsOptions options;
    auto number = [this](const char *key, double min, double max, double *out) {
        if (!m_line.has(key))
            return true;
        bool ok = false;
        *out = m_line.value(key).toDouble(&ok);
        return ok && *out >= min && *out <= max;
    };
    options.figures.hasThreshold = m_line.has("threshold");
    if (!number("threshold", -1e30, 1e30, &options.figures.threshold))
        return fail(Usage, QStringLiteral("--threshold takes an irradiance in μW/cm²"));
    if (!number("window-percent", 1e-9, 100, &options.figures.windowPercent))
        return fail(Usage, QStringLiteral("--window-percent takes a share of the peak above 0 "
                                          "and at most 100"));
    if (m_line.has("rule") && !UvFigures::ruleFromName(m_line.value("rule"), &options.figures.rule))
        return fail(Usage, QStringLiteral("--rule takes sample-and-hold or trapezoid"));
    if (m_line.has("dose-unit") && !DoseUnit::fromKey(m_line.value("dose-unit"), &options.doseUnit))
        return fail(Usage, QStringLiteral("--dose-unit takes mJ/cm2, J/cm2 or J/m2"));
    int chosen = 0;
    if (m_line.has("run")) {
        bool ok = false;
        chosen = m_line.value("run").toInt(&ok);
        if (!ok || chosen < 1)
            return fail(Usage, QStringLiteral("--run takes a run number from 1"));
    }

    LoggerData data;
    if (!loggerRuns(m_line.positional.value(0), chosen > 0 ? QList<int>{chosen} : QList<int>(),
                    QStringLiteral("stats are figures of Logger runs"), &data, &exit))
        return exit;
    // Figures that rest on rounded, missing or negative samples say so.
    if (data.roundedSamples)
        warn(QStringLiteral("the file keeps its samples with one decimal: the figures are of "
                            "rounded samples"));
    for (const LoggerRunData &run : qAsConst(data.runs)) {
        const UvFigures::Figures f =
            UvFigures::compute(run.samples, run.intervalSeconds, options.figures);
        if (f.gaps > 0)
            warn(QStringLiteral("run %1: %2 samples were no number and are left out as gaps")
                     .arg(run.number)
                     .arg(f.gaps));
        if (f.negatives > 0)
            warn(QStringLiteral("run %1: %2 samples were below zero and count as 0")
                     .arg(run.number)
                     .arg(f.negatives));
    }
    return writeOutput(format == QLatin1String("csv") ? statsCsv(data, options)
                                                      : statsJson(data, options),
                       QStringLiteral("-"));
}

int Verbs::plot()
{
    PlotRequest request;
    QString error;
    if (!parsePlot(m_line, &request, &error))
        return fail(Usage, error);
    int exit = checkOutputTarget(request.output);
    if (exit != Ok)
        return exit;
    const QString purpose = QStringLiteral("plot draws Logger runs");
    LoggerData reference;
    if (!request.referenceFile.isEmpty() &&
        !loggerRuns(request.referenceFile, {}, purpose, &reference, &exit))
        return exit;
    LoggerData data;
    if (!loggerRuns(request.source, request.sourceRuns(), purpose, &data, &exit))
        return exit;
    const PlotResult result = drawPlot(request, data, reference);
    for (const QString &warning : result.warnings)
        warn(warning);
    if (result.exit != Ok)
        return fail(result.exit, result.error);
    for (const QString &line : result.lines)
        m_out << line << '\n';
    return Ok;
}

int Verbs::report()
{
    ReportOptions options;
    QString error;
    if (!reportOptions(m_line, &options, &error))
        return fail(Usage, error);
    if (m_line.positional.size() > 1)
        return fail(Usage,
                    QStringLiteral("report takes one file, not %1").arg(m_line.positional.size()));
    int exit = Ok;
    if (options.output != QLatin1String("-") && (exit = checkOutputTarget(options.output)) != Ok)
        return exit;

    LoggerData data;
    const QList<int> chosen = options.run > 0 ? QList<int>{options.run} : QList<int>();
    if (!loggerRuns(m_line.positional.value(0), chosen,
                    QStringLiteral("reports are of Logger runs"), &data, &exit))
        return exit;

    ReportResult result;
    if (!makeReport(data, options, &result, &error))
        return fail(Usage, error);
    if (result.pdf.isEmpty())
        return fail(FileError, QStringLiteral("cannot write %1: the report could not be drawn "
                                              "as PDF")
                                   .arg(options.output));
    if ((exit = writeOutput(result.pdf, options.output)) != Ok)
        return exit;
    if (!result.judged)
        return Ok;
    // The PDF is written either way; the verdict goes to standard output
    // unless the PDF itself does.
    if (options.output != QLatin1String("-"))
        m_out << verdictLines(result.verdict);
    if (result.verdict.pass)
        return Ok;
    QStringList failed;
    for (const Verdict::Check &c : qAsConst(result.verdict.checks)) {
        if (!c.passed)
            failed << c.key;
    }
    return fail(VerdictFail, QStringLiteral("FAIL: the run is outside %1; the report is written")
                                 .arg(failed.join(QLatin1String(", "))));
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool showProgress)
{
    CommandLine line;
    QString error;
    if (!parse(arguments, &line, &error)) {
        err << "vantrel-cli: " << error << "\nTry 'vantrel-cli --help'.\n";
        return Usage;
    }
    if (line.has("version")) {
        out << versionText();
        return Ok;
    }
    if (line.verb == QLatin1String("help") || line.has("help")) {
        const QString topic =
            line.verb == QLatin1String("help") ? line.positional.value(0) : line.verb;
        if (!topic.isEmpty() && helpText(topic) == helpText() && topic != QLatin1String("help")) {
            err << "vantrel-cli: no help on \"" << topic << "\"\n";
            return Usage;
        }
        out << helpText(topic);
        return Ok;
    }
    if (line.verb.isEmpty()) {
        err << helpText();
        return Usage;
    }
    Verbs verbs(line, out, err, showProgress);
    return verbs.run();
}

} // namespace Cli
