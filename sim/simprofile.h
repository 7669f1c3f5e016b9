#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVector>

// What a simulated instrument is: its identity, settings, clock, stored data,
// its USB shape and the faults it shows. Tests build profiles in code (start
// from SimProfile::meter() or SimProfile::logger() and change fields);
// `vantrel --simulate` takes a built-in name or a JSON file of the same
// fields (see sim/README.md and sim/profiles/).

// One fault, applied to the answers of the requests it matches.
struct SimFault
{
    enum class Kind
    {
        NoAnswer,         // the request is swallowed
        BadTrailer,       // the answer's trailer is wrong
        WrongHeader,      // bytes 1, 2, 4 and 6 of the answer are inverted (trailer recomputed)
        BadBlockCheck,    // a long-header answer's block check value is wrong; a Meter
                          // record answer, whose check value is its trailer, comes with
                          // its record damaged under the trailer it was sent with
        StrayBytes,       // `value` bytes (0x5A) come before the answer
        Split,            // the answer is cut after `value` bytes into separate reports,
                          // the second part `delayMs` later
        Merge,            // the answer is held back and sent in the same reports as the next one
        Delay,            // the answer comes `delayMs` later
        Unplug,           // `value` bytes of the answer arrive, then the instrument is unplugged
        MissingEndPacket, // a Logger run's stream lacks its zero-length end packet
        Babble,           // no end packet, and `value` further 64-byte packets follow:
                          // an instrument that keeps talking
        Refusal,          // error answer instead (A0 04 for 0x20, C7 08 for long headers)
        ForeignReport,    // a report with another report id (0x01) comes before the answer
        WriteTimeout,     // the request's first report is not taken: the write times out
        Hold,             // the answer waits until SimInstrument::releaseHeld(): a test acts
                          // while the program is known to be waiting for it
        StrayFrame,       // a whole frame that answers nothing comes before the answer:
                          // the request's command, address `value`, 24 bytes 0x5A
        WrongAddress,     // a long-header answer names address `value` (trailer recomputed)
        ShortAnswer       // a long-header answer carries only its first `value` data bytes,
                          // its length field says so (trailer recomputed)
    };

    Kind kind = Kind::NoAnswer;
    int command = -1;    // request command byte to match (0x20, 0x47, ...); -1 any
    qint64 address = -1; // selector (short header) or storage address (long header); -1 any
    int skip = 0;        // matching requests let through untouched before it applies
    int times = 1;       // how many matching requests it affects; -1 every one
    int value = 0;
    int delayMs = 0;

    static SimFault make(Kind kind, int command = -1, qint64 address = -1, int value = 0,
                         int delayMs = 0, int times = 1);
    // The same fault, applied from the (skip + 1)th matching request on.
    SimFault after(int skipped) const
    {
        SimFault f = *this;
        f.skip = skipped;
        return f;
    }
};

// A Meter record: six single-precision values in the instrument's current
// unit, or 24 raw bytes when raw is not empty.
struct SimMeterRecord
{
    float realTime = 0;
    float maximum = 0;
    float minimum = 0;
    float average = 0;
    float energy = 0;
    float duration = 0;
    QByteArray raw;

    QByteArray bytes() const; // the 24 bytes as stored
};

// A Logger run: start time and samples in µW/cm², or the raw payload when raw
// is not empty.
struct SimLoggerRun
{
    QDateTime start;
    QVector<float> samples;
    QByteArray raw;

    QByteArray payload() const; // 6 start-time bytes + little-endian floats
};

struct SimProfile
{
    enum class Family
    {
        Meter,
        Logger
    };

    QString name;
    Family family = Family::Meter;

    // Identity
    quint32 typeCode = 24430108;
    quint32 serialNumber = 1;
    QString usbSerial; // the USB serial-number string; may be empty
    QDate productionDate{2023, 5, 16};
    QDate calibrationDate{2024, 3, 1};
    quint16 firmware = 21; // tenths: 21 is 2.1
    quint8 keyInfoMarker = 0xA5;
    bool keyInfoSupported = true;      // false: A0 04 refusal of the key information read
    bool productionInfoErased = false; // production block reads as 20 bytes of 0xFF
    bool probeConnected = true;        // false: C7 08 refusal of every long-header command

    // Settings and clock
    quint8 block60[4] = {0, 10, 0, 1};
    quint8 block80[4] = {1, 10, 0, 1};
    QDateTime clock; // instrument time at plug-in; null: the PC's time

    // Stored data; recordCount overrides the count reported (-1: the list's size)
    QList<SimMeterRecord> records;
    QList<SimLoggerRun> runs;
    int recordCount = -1;

    // USB shape and pacing
    int interfaces = 1;       // HID interfaces of the instrument
    int reportLength = 64;    // report id included
    int reportIntervalUs = 0; // time between input reports; 1000 models USB full speed
    // USB frames of 1 ms in both directions: every output report the host
    // writes takes one frame (the write returns at its end), the answer's
    // first input report comes no earlier than that, and input reports come
    // one a frame. Also switched on by VANTREL_SIM_USB_FRAMES=1.
    bool usbFrames = false;

    QList<SimFault> faults;

    // A Meter (QX102) with five records in mW/cm².
    static SimProfile meter();
    // A Logger (QX101) with three runs.
    static SimProfile logger();

    // JSON form. fromJson leaves missing keys at the defaults of the built-in
    // profile of the family named by "family" (or "base").
    QByteArray toJson() const;
    static bool fromJson(const QByteArray &json, SimProfile *out, QString *error);
    // "meter", "logger" or the path of a JSON profile.
    static bool load(const QString &nameOrPath, SimProfile *out, QString *error);
};
