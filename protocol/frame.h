#pragma once

// Frames of the instrument protocol.
//
// Every frame starts with 0xAB and ends with a crc16 trailer over all bytes
// before it, low byte first. All multi-byte fields are little-endian.
//
//   short header (0x20 read, 0x21 write):
//     AB cmd sel:2 len:2 data:len crc:2
//   long header (0x41/0x47 read, 0x71/0x77 write, 0x42 stored records):
//     AB cmd addr:4 len:2 block:len crc:2
//
// A long-header block ends with its own crc16 over its len-2 data bytes. The
// answer repeats the request's header and carries the data asked for; the
// answer to a write has no data. The instrument refuses a command with a
// short error frame recognised by bytes 1 and 2: A0 04 for the key
// information read, C7 08 for any long-header command.

#include <QByteArray>
#include <cstdint>

namespace Frame {

constexpr quint8 StartByte = 0xAB;

// Bounds-checked byte access: -1 for a byte that did not arrive, so that
// missing bytes never match a pattern.
int byteAt(const QByteArray &bytes, int index);
// Little-endian fields; false when the field does not lie wholly inside bytes.
bool le16At(const QByteArray &bytes, int index, quint16 *value);
bool le32At(const QByteArray &bytes, int index, quint32 *value);
bool floatAt(const QByteArray &bytes, int index, float *value);

QByteArray shortRequest(quint8 command, quint16 selector, quint16 length,
                        const QByteArray &data = QByteArray());
QByteArray longRequest(quint8 command, quint32 address, quint16 length,
                       const QByteArray &data = QByteArray());
// A long-header write block: the data bytes followed by their crc16.
QByteArray block(const QByteArray &data);

// Appends the crc16 trailer of all bytes of frame.
void appendTrailer(QByteArray &frame);
// True when the trailer at expectedLength-2 matches crc16 of the bytes before
// it. A buffer shorter than expectedLength never matches.
bool trailerMatches(const QByteArray &buffer, int expectedLength);

enum class Refusal { None, KeyInfo, LongHeader };
// True when bytes hold the given error answer (A0 04 or C7 08 at bytes 1..2).
bool isRefusal(const QByteArray &bytes, Refusal refusal);

// One row of the command table: everything needed to send a command and
// judge its answer.
struct Command
{
    const char *name;
    QByteArray request;     // without data and trailer
    int answerLength;       // trailer included
    int timeoutMs;          // 0 = one collection pass
    int acceptIndex1;       // answer accepted when byte[acceptIndex1] == acceptValue1
    quint8 acceptValue1;
    int acceptIndex2;       // ... or byte[acceptIndex2] == acceptValue2
    quint8 acceptValue2;
    int blockDataBytes;     // data bytes covered by the block check (0 = none)
    Refusal refusal;
};

namespace Commands {
const Command &keyInfo();
const Command &softwareVersion();
const Command &readClock();
const Command &writeClock();
const Command &productionInfo();
const Command &calibrationDate();
const Command &readBlock60();
const Command &writeBlock60();
const Command &readBlock80();
const Command &writeBlock80();
const Command &powerGroupCount();
} // namespace Commands

// True when answer holds as many bytes as the command's answer has, or a
// whole error answer of the command's refusal pattern: nothing more is to
// come for it.
bool answerComplete(const Command &command, const QByteArray &answer);

// Judges what receiveFrame delivered for a command: receiveResult is its
// result, answer the buffer. Returns 1 when the answer may be decoded, else
// -5 (refusal), -2 (nothing valid), -3 (wrong header), -4 (block check value).
int judgeAnswer(const Command &command, int receiveResult, const QByteArray &answer);

} // namespace Frame
