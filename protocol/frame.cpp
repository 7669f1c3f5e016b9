#include "protocol/frame.h"

#include "protocol/crc16.h"

#include <cstring>

namespace Frame {

int byteAt(const QByteArray &bytes, int index)
{
    if (index < 0 || index >= bytes.size())
        return -1;
    return quint8(bytes.at(index));
}

bool le16At(const QByteArray &bytes, int index, quint16 *value)
{
    if (index < 0 || index + 2 > bytes.size())
        return false;
    *value = quint16(quint8(bytes.at(index)) | (quint8(bytes.at(index + 1)) << 8));
    return true;
}

bool le32At(const QByteArray &bytes, int index, quint32 *value)
{
    if (index < 0 || index + 4 > bytes.size())
        return false;
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(bytes.at(index + i));
    *value = v;
    return true;
}

bool floatAt(const QByteArray &bytes, int index, float *value)
{
    quint32 raw;
    if (!le32At(bytes, index, &raw))
        return false;
    std::memcpy(value, &raw, sizeof raw);
    return true;
}

static void appendLe32(QByteArray &out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray shortRequest(quint8 command, quint16 selector, quint16 length, const QByteArray &data)
{
    QByteArray f;
    f.append(char(StartByte));
    f.append(char(command));
    appendLe16(f, selector);
    appendLe16(f, length);
    f.append(data);
    return f;
}

QByteArray longRequest(quint8 command, quint32 address, quint16 length, const QByteArray &data)
{
    QByteArray f;
    f.append(char(StartByte));
    f.append(char(command));
    appendLe32(f, address);
    appendLe16(f, length);
    f.append(data);
    return f;
}

QByteArray block(const QByteArray &data)
{
    QByteArray b = data;
    appendLe16(b, crc16(data));
    return b;
}

void appendTrailer(QByteArray &frame)
{
    appendLe16(frame, crc16(frame));
}

bool trailerMatches(const QByteArray &buffer, int expectedLength)
{
    if (expectedLength < 2 || buffer.size() < expectedLength)
        return false;
    quint16 received;
    le16At(buffer, expectedLength - 2, &received);
    return received == crc16(buffer, expectedLength - 2);
}

bool isRefusal(const QByteArray &bytes, Refusal refusal)
{
    switch (refusal) {
    case Refusal::KeyInfo:
        return byteAt(bytes, 1) == 0xA0 && byteAt(bytes, 2) == 0x04;
    case Refusal::LongHeader:
        return byteAt(bytes, 1) == 0xC7 && byteAt(bytes, 2) == 0x08;
    case Refusal::None:
        break;
    }
    return false;
}

bool answerComplete(const Command &command, const QByteArray &answer)
{
    // An error answer is a short header with its trailer: AB cmd sel sel 00 00 + 2.
    constexpr int kRefusalLength = 8;
    return answer.size() >= command.answerLength ||
           (answer.size() >= kRefusalLength && isRefusal(answer, command.refusal));
}

namespace Commands {

#define SHORT_CMD(fn, name, cmd, sel, len, answer, timeout, i1, v1, i2, v2)                     \
    const Command &fn()                                                                        \
    {                                                                                          \
        static const Command c{name, shortRequest(cmd, sel, len), answer, timeout, i1, v1,     \
                               i2, v2, 0, Refusal::None};                                      \
        return c;                                                                              \
    }
#define LONG_CMD(fn, name, cmd, addr, len, answer, i1, v1, i2, v2, blockBytes)                 \
    const Command &fn()                                                                        \
    {                                                                                          \
        static const Command c{name, longRequest(cmd, addr, len), answer, 6000, i1, v1,        \
                               i2, v2, blockBytes, Refusal::LongHeader};                       \
        return c;                                                                              \
    }

const Command &keyInfo()
{
    static const Command c{"readKeyInfo", shortRequest(0x20, 0x05, 0x12), 26, 0, 2, 0x05,
                           6, 0xA5, 0, Refusal::KeyInfo};
    return c;
}
SHORT_CMD(softwareVersion, "readSoftwareVersion", 0x20, 0x1C, 2, 10, 6000, 1, 0x20, 4, 0x02)
SHORT_CMD(readClock, "readClock", 0x20, 0x61, 6, 14, 6000, 2, 0x61, 4, 0x06)
SHORT_CMD(writeClock, "writeClock", 0x21, 0x21, 6, 8, 6000, 2, 0x21, 4, 0x06)
LONG_CMD(productionInfo, "readProductionInfo", 0x47, 0x00, 0x14, 30, 2, 0x00, 6, 0x14, 18)
LONG_CMD(calibrationDate, "readCalibrationDate", 0x47, 0x24, 6, 16, 2, 0x24, 6, 0x06, 4)
LONG_CMD(readBlock60, "readBlock60", 0x47, 0x60, 6, 16, 2, 0x60, 6, 0x06, 4)
LONG_CMD(writeBlock60, "writeBlock60", 0x77, 0x60, 6, 10, 2, 0x60, 6, 0x06, 0)
LONG_CMD(readBlock80, "readBlock80", 0x41, 0x80, 6, 16, 2, 0x80, 6, 0x06, 4)
LONG_CMD(writeBlock80, "writeBlock80", 0x71, 0x80, 6, 10, 2, 0x80, 6, 0x06, 0)
LONG_CMD(powerGroupCount, "readPowerGroupCount", 0x41, 0xE0, 4, 14, 2, 0xE0, 6, 0x04, 2)

#undef SHORT_CMD
#undef LONG_CMD

} // namespace Commands

int judgeAnswer(const Command &command, int receiveResult, const QByteArray &answer)
{
    if (receiveResult <= 0)
        return isRefusal(answer, command.refusal) ? -5 : -2;
    if (byteAt(answer, command.acceptIndex1) != command.acceptValue1
        && byteAt(answer, command.acceptIndex2) != command.acceptValue2)
        return -3;
    if (command.blockDataBytes > 0) {
        const int first = 8;
        quint16 stored;
        if (!le16At(answer, first + command.blockDataBytes, &stored))
            return -4;
        if (stored != crc16(answer.mid(first, command.blockDataBytes)))
            return -4;
    }
    return 1;
}

} // namespace Frame
