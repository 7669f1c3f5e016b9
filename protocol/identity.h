#pragma once

// Identity records of the instrument and their decoding.
//
// Key information, answer to AB 20 05 00 12 00 (26 bytes):
//   6 marker (A5) | 7 - | 8..9 year | 10 month | 11 day | 12..15 serial
//   | 16..19 device type code | 20..21 spare 1 | 22..23 spare 2 | 24..25 crc
// Production information, answer to AB 47 00.. 14 00 (30 bytes):
//   8 first value | 9 - | 10..11 year | 12 month | 13 day | 14..17 serial
//   | 18..21 device type code | 22..23 16-bit value | 24, 25 byte values
//   | 26..27 block crc over 8..25 | 28..29 crc
// Calibration date (16 bytes): 8..9 year | 10 month | 11 day | 12..13 block crc
// Software version (10 bytes): 6..7 version in tenths.

#include <QByteArray>
#include <QDate>
#include <QDateTime>

struct KeyInfo
{
    quint8 marker = 0;
    QDate productionDate;
    quint32 serialNumber = 0;
    quint32 deviceType = 0;
    quint16 spare1 = 0;
    quint16 spare2 = 0;
};

struct ProductionInfo
{
    int firstValue = 0;
    QDate productionDate;
    quint32 serialNumber = 0;
    quint32 deviceType = 0;
    quint16 value16 = 0;
    quint8 byteValue1 = 0;
    quint8 byteValue2 = 0;
};

namespace Identity {
// Each decoder returns false, leaving the output untouched, when the answer is
// too short to hold the record.
bool decodeKeyInfo(const QByteArray &answer, KeyInfo *out);
bool decodeProductionInfo(const QByteArray &answer, ProductionInfo *out);
bool decodeCalibrationDate(const QByteArray &answer, QDate *out);
bool decodeSoftwareVersion(const QByteArray &answer, quint16 *out);
// Clock bytes: year-2000, month, day, hour, minute, second (plain bytes).
bool decodeClock(const QByteArray &answer, int offset, QDateTime *out);
QByteArray encodeClock(const QDateTime &when);
// The version in tenths as the pages show it: 21 -> "2.1".
QString versionText(quint16 tenths);
} // namespace Identity
