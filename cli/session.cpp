#include "cli/session.h"

#include "link/hidapitransport.h"
#include "link/libhiddevice.h"
#include "protocol/modeltable.h"
#include "sim/simenvironment.h"
#include "sim/simprofile.h"
#include "sim/simtransport.h"

namespace Cli {

namespace {

constexpr quint16 kVendorId = 0x2047;
constexpr quint16 kProductId = 0x0301;
// Simulated instruments send one report a millisecond, as at USB full speed,
// unless their profile sets a pace.
constexpr int kSimulatedReportIntervalUs = 1000;

} // namespace

QString Instrument::model() const
{
    return isLogger() ? ModelTable::loggerName(recognition.typeCode)
                      : ModelTable::meterName(recognition.typeCode);
}

Session::Session() = default;

Session::~Session()
{
    close();
}

Exit Session::setUp(const QStringList &simulate, QString *error)
{
    if (simulate.isEmpty()) {
        m_hid = std::make_unique<HidapiTransport>();
        m_transport = m_hid.get();
        return Ok;
    }
    m_sim = std::make_unique<SimEnvironment>();
    QStringList serials;
    for (const QString &which : simulate) {
        SimProfile profile;
        QString why;
        if (!SimProfile::load(which, &profile, &why)) {
            *error = QStringLiteral("cannot simulate: %1").arg(why);
            return Usage;
        }
        // --serial chooses by the USB serial: two instruments with the same
        // one could not be told apart (an empty one is named "SerNum N").
        if (!profile.usbSerial.isEmpty() && serials.contains(profile.usbSerial)) {
            *error = QStringLiteral("two simulated instruments have the USB serial %1; give "
                                    "their profiles different \"usbSerial\" values")
                         .arg(profile.usbSerial);
            return Usage;
        }
        serials << profile.usbSerial;
        if (profile.reportIntervalUs == 0)
            profile.reportIntervalUs = kSimulatedReportIntervalUs;
        m_sim->plugIn(profile);
    }
    m_transport = m_sim->transport();
    return Ok;
}

QStringList Session::serials() const
{
    return libHidDevice::collectSerialNumbers(m_transport, kVendorId, kProductId).texts;
}

Exit Session::open(const QString &serial, Instrument *instrument, QString *error)
{
    close();
    auto link = std::make_unique<CLinkerUSB>(m_transport);
    if (link->open(kVendorId, kProductId, serial) != 0) {
        *error = QStringLiteral("cannot open the instrument %1: it is in use by another program, "
                                "has gone, or this user may not use it (see the udev rule)")
                     .arg(serial);
        return NoInstrument;
    }
    m_link = std::move(link);
    m_instrumentLink.setLink(m_link.get());
    instrument->usbSerial = serial;
    instrument->path = m_link->path();
    instrument->recognition = Recognition::run(m_commands);

    const Recognition &r = instrument->recognition;
    switch (r.outcome) {
    case Recognition::Outcome::Logger:
    case Recognition::Outcome::Meter:
        return Ok;
    case Recognition::Outcome::MeterWithoutProbe:
        *error = QStringLiteral("the Meter reports no probe connected");
        return InstrumentError;
    case Recognition::Outcome::KeyInfoFailed:
        *error = QStringLiteral("the instrument does not say what it is: reading its key "
                                "information failed (%1)")
                     .arg(resultText(r.keyResult));
        return InstrumentError;
    case Recognition::Outcome::NotConfigured:
        *error = QStringLiteral("the instrument holds no production information (its block "
                                "fails its check value); it has not been configured");
        return InstrumentError;
    case Recognition::Outcome::ProductionInfoFailed:
        *error = QStringLiteral("the instrument does not say what it is: reading its production "
                                "information failed (%1)")
                     .arg(resultText(r.productionResult));
        return InstrumentError;
    }
    return InstrumentError;
}

Exit Session::openChosen(const QString &wantedSerial, Instrument *instrument, QString *error)
{
    const QStringList present = serials();
    if (present.isEmpty()) {
        *error = QStringLiteral("no instrument found (USB %1:%2)")
                     .arg(kVendorId, 4, 16, QLatin1Char('0'))
                     .arg(kProductId, 4, 16, QLatin1Char('0'));
        return NoInstrument;
    }
    QString serial = wantedSerial;
    if (serial.isEmpty()) {
        if (present.size() > 1) {
            *error = QStringLiteral("%1 instruments are connected (%2); choose one with --serial")
                         .arg(present.size())
                         .arg(present.join(QLatin1String(", ")));
            return Usage;
        }
        serial = present.first();
    } else if (!present.contains(serial)) {
        *error = QStringLiteral("no instrument with the serial %1 (found: %2)")
                     .arg(serial, present.join(QLatin1String(", ")));
        return NoInstrument;
    }
    return open(serial, instrument, error);
}

void Session::close()
{
    m_instrumentLink.setLink(nullptr);
    if (m_link) {
        m_link->close();
        m_link.reset();
    }
}

QString Session::resultText(int result)
{
    switch (result) {
    case -1:
        return QStringLiteral("the request could not be sent");
    case -2:
        return QStringLiteral("no answer from the instrument");
    case -3:
        return QStringLiteral("the answer was malformed");
    case -4:
        return QStringLiteral("the answer failed its check value");
    case -5:
        return QStringLiteral("the instrument refused the request");
    case -6:
        return QStringLiteral("the instrument went away");
    default:
        return QStringLiteral("result %1").arg(result);
    }
}

} // namespace Cli
