#pragma once

#include <QByteArray>

// Builds answer frames for tests: hex text plus the crc16 trailer.
QByteArray hexBytes(const char *hex);
QByteArray withTrailer(const QByteArray &frameWithoutTrailer);
QByteArray withTrailer(const char *hex);
// A long-header answer: header + block (data + its crc16) + trailer.
QByteArray longAnswer(quint8 command, quint32 address, const QByteArray &data);
