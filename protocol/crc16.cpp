#include "protocol/crc16.h"

quint16 crc16(const quint8 *bytes, int count)
{
    quint16 reg = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        reg ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? quint16((reg >> 1) ^ 0xA001) : quint16(reg >> 1);
    }
    return reg;
}

quint16 crc16(const QByteArray &bytes, int count)
{
    if (count > bytes.size())
        count = bytes.size();
    if (count < 0)
        count = 0;
    return crc16(reinterpret_cast<const quint8 *>(bytes.constData()), count);
}

void appendLe16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}
