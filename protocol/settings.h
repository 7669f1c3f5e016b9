#pragma once

// The instruments' settings as they lie in their configuration blocks: four
// data bytes each, read and written with InstrumentCommands::readBlock60/80
// and writeBlock60/80.
//
// Meter   block 0x80: auto off (0 off, 1 on) | 10 | 0 | energy display (0 no, 1 yes)
//         block 0x60: 0 | 10 | smoothing (0 off, 1 50 Hz, 2 60 Hz)
//                     | unit (0 uW/cm2, 1 mW/cm2, 2 W/cm2, 3 W/m2)
// Logger  block 0x80: auto off (0 off, 1 on) | shutdown minutes (1..10)
//                     | storage interval (0 1 s, 1 10 s, 2 60 s) | 0
//
// The 10 and 0 bytes are what is written; read back, they are not looked at.
// A value of -1 stands for "not known" (a byte read that is outside the
// value's range); written, it goes out as its low 8 bits, 0xFF.
//
// Both families also have a readable form, used by the command-line tool:
// "key=value" with the keys and values of keys() and the texts below.

#include <QString>
#include <QStringList>

#include <array>

using ConfigBlock = std::array<int, 4>;

class MeterSettings
{
public:
    int autoOff = -1;
    int energyDisplay = -1;
    int smoothing = -1;
    int unit = -1;

    // The values of a block as read; a byte outside its value's range leaves
    // that value as it was.
    void takeBlock80(const ConfigBlock &block);
    void takeBlock60(const ConfigBlock &block);
    // What stands in for a block whose check value was wrong: auto off on and
    // no energy display (block 0x80), smoothing off and uW/cm2 (block 0x60).
    void takeBadBlock80();
    void takeBadBlock60();

    ConfigBlock block80() const;
    ConfigBlock block60() const;

    // What the model's control profile lets the user choose; everything for
    // a model without a profile ("UnKnow").
    static bool smoothingSelectable(const QString &model);
    static bool unitSelectable(const QString &model, int unit);

    // Readable form: keys in display order; "key=value" lines.
    static QStringList keys();
    QStringList toText() const;
    // Applies "key=value" assignments for an instrument of the given model.
    // False, with a reason in plain English and nothing changed, for an
    // unknown key or value, a key given twice, a value the model does not
    // have, or a setting left unknown that must be known to be written.
    bool apply(const QStringList &assignments, const QString &model, QString *error);

    static QString unitText(int unit);            // "mW/cm²"; "" for an unknown unit
    static QString energyUnitText(int unit);      // "mJ/cm²"; "" for an unknown unit
    static QString unitAsciiText(int unit);       // "mW/cm2"
    static int unitFromText(const QString &text); // either form, also "uW/cm2"; -1 if none
};

class LoggerSettings
{
public:
    static constexpr int MinMinutes = 1;
    static constexpr int MaxMinutes = 10;
    // The minutes the page shows when auto off is switched off.
    static constexpr int MinutesWhileOff = 10;

    int autoOff = -1;
    int shutdownMinutes = -1; // the byte as read, whatever it holds
    int interval = -1;

    // Byte 1 is taken as it is; bytes 0 and 2 only within their ranges.
    void takeBlock80(const ConfigBlock &block);
    // What stands in for a block whose check value was wrong: on, 3 minutes, 1 s.
    static LoggerSettings afterBadBlock();

    ConfigBlock block80() const;

    static bool minutesValid(int minutes) { return minutes >= MinMinutes && minutes <= MaxMinutes; }
    // The minutes typed into the page: a base-10 number, 0 when it is none.
    static int minutesFromText(const QString &text);
    // 1, 10, 60 seconds for the codes 0, 1, 2; 0 for any other code.
    static int intervalSeconds(int code);

    static QStringList keys();
    QStringList toText() const;
    // As MeterSettings::apply, with the page's rules: the interval can only
    // be chosen while auto off is off, the minutes only while it is on;
    // switching auto off off sets the minutes to 10, as the page does.
    bool apply(const QStringList &assignments, QString *error);
};
