#pragma once

// How vantrel-cli reaches instruments: real USB HID devices through hidapi,
// or simulated ones (--simulate), behind the same HidTransport, so that the
// link, the commands and the download engines run unchanged on both.

#include "cli/commandline.h"
#include "link/clinkerusb.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"
#include "protocol/recognition.h"

#include <QStringList>

#include <memory>

class HidTransport;
class SimEnvironment;

namespace Cli {

// One instrument, open and recognised.
struct Instrument
{
    QString usbSerial; // as the link layer names it ("SerNum 0" for an empty one)
    QString path;
    Recognition recognition;
    bool isLogger() const { return recognition.outcome == Recognition::Outcome::Logger; }
    QString family() const
    {
        return isLogger() ? QStringLiteral("Logger") : QStringLiteral("Meter");
    }
    // The display name the family's page shows, "UnKnow" for a code it does not know.
    QString model() const;
};

class Session
{
public:
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Real instruments, or the simulated ones of the profiles given.
    // Usage for a profile that cannot be loaded.
    Exit setUp(const QStringList &simulate, QString *error);

    // The USB serial texts of the instruments present.
    QStringList serials() const;

    // Opens the instrument with this serial text and recognises it.
    // NoInstrument when it cannot be opened; InstrumentError when it does not
    // say what it is (recognition failed, with the reason in error). The
    // instrument stays open in both cases where it could be opened.
    Exit open(const QString &serial, Instrument *instrument, QString *error);
    // Opens the one instrument present, or the one with --serial; Usage with
    // the serials listed when several are present and none is chosen.
    Exit openChosen(const QString &wantedSerial, Instrument *instrument, QString *error);
    void close();

    CLinkerUSB *link() { return m_link.get(); }
    InstrumentCommands *commands() { return &m_commands; }

    // The meaning of a command result in plain English.
    static QString resultText(int result);

private:
    std::unique_ptr<SimEnvironment> m_sim;
    std::unique_ptr<HidTransport> m_hid;
    HidTransport *m_transport = nullptr;
    std::unique_ptr<CLinkerUSB> m_link;
    InstrumentLink m_instrumentLink;
    InstrumentCommands m_commands{&m_instrumentLink};
};

} // namespace Cli
