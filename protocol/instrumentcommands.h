#pragma once

#include "protocol/identity.h"


class InstrumentLink;

namespace Frame {
struct Command;
}

// The instrument's commands. Every operation builds its request, sends it
// through the InstrumentLink it was given, reads the answer and decodes it
// into the caller's outputs; the caller tells the user what a failure means.
//
// Results: 1 success; -1 not sent; -2 no valid answer; -3 wrong header;
// -4 wrong block check value; -5 refused by the instrument; -6 the
// instrument has gone (unplugged before it answered: its removal, not the
// command, is what to tell the user).
//
// Gone is kept apart from "no answer" so that one unplug gives one message.
class InstrumentCommands
{
public:
    static constexpr int Gone = -6;

    explicit InstrumentCommands(InstrumentLink *link) : m_link(link) {}

    InstrumentLink *link() const { return m_link; }

    int readKeyInfo(KeyInfo &info);
    int readProductionInfo(ProductionInfo &info);
    int readCalibrationDate(QDate &date);
    int readSoftwareVersion(quint16 &version);
    int readBlock60(int &b0, int &b1, int &b2, int &b3);
    int writeBlock60(int b0, int b1, int b2, int b3);
    int readBlock80(int &b0, int &b1, int &b2, int &b3);
    int writeBlock80(int b0, int b1, int b2, int b3);
    int readPowerGroupCount(int &count);
    int readClock(QDateTime &when);
    int writeClock(const QDateTime &when);

    // Waits more than ms milliseconds on a monotonic clock without
    // processing events.
    static void delay(int ms);

private:
    // Send the request (plus data), receive and judge the answer.
    int exchange(const Frame::Command &command, const QByteArray &data, QByteArray &answer);
    int readBlock(const Frame::Command &command, int &b0, int &b1, int &b2, int &b3);
    int writeBlock(const Frame::Command &command, int b0, int b1, int b2, int b3);

    InstrumentLink *m_link;
};
