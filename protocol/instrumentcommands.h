#pragma once

#include "protocol/identity.h"

#include <QObject>

namespace Frame {
struct Command;
}

// The instrument's commands. Stateless: every operation builds its request,
// sends it through MainWindow::sendFrame, reads the answer with
// MainWindow::receiveFrame and decodes it into the caller's outputs.
//
// Results: 1 success; -1 not sent; -2 no valid answer; -3 wrong header;
// -4 wrong block check value; -5 refused by the instrument.
class InstrumentCommands : public QObject
{
    Q_OBJECT
public:
    static InstrumentCommands *instance();

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
    InstrumentCommands() = default;
    // Send the request (plus data), receive and judge the answer.
    int exchange(const Frame::Command &command, const QByteArray &data, QByteArray &answer);
    int readBlock(const Frame::Command &command, int &b0, int &b1, int &b2, int &b3);
    int writeBlock(const Frame::Command &command, int b0, int b1, int b2, int b3);
};
