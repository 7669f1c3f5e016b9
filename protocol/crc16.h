#pragma once

#include <QByteArray>
#include <cstdint>

// The one check value of the instrument protocol: CRC-16/MODBUS (reflected
// polynomial 0xA001, initial register 0xFFFF, no final inversion). It covers
// every byte of a frame before its trailer, and every data byte of a stored
// block before the block's own check value. It is stored low byte first.
quint16 crc16(const quint8 *bytes, int count);
quint16 crc16(const QByteArray &bytes, int count);
inline quint16 crc16(const QByteArray &bytes) { return crc16(bytes, bytes.size()); }

// Appends the low, then the high byte of value.
void appendLe16(QByteArray &out, quint16 value);
