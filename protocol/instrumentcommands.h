#pragma once

#include "protocol/identity.h"

#include <QObject>

class QWidget;

namespace Frame {
struct Command;
}

// The Chinese messages of one command for the results -1 (request not sent),
// -2 (no answer), -3 (answer malformed) and -4 (block check value wrong);
// nullptr where the command has no message for that result.
struct CommandFailureTexts
{
    const char *notSent;
    const char *noAnswer;
    const char *badAnswer;
    const char *badBlock = nullptr;
};

// The instrument's commands. Stateless: every operation builds its request,
// sends it through MainWindow::sendFrame, reads the answer with
// MainWindow::receiveFrame and decodes it into the caller's outputs.
//
// Results: 1 success; -1 not sent; -2 no valid answer; -3 wrong header;
// -4 wrong block check value; -5 refused by the instrument.
// Messages of the settings and clock commands, shared by both family pages.
namespace CommandTexts {
extern const CommandFailureTexts readConfiguration;  // block 0x80 read
extern const CommandFailureTexts writeConfiguration; // block 0x80 write
extern const CommandFailureTexts readClock;
extern const CommandFailureTexts writeClock;
} // namespace CommandTexts

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

    // Shows the message of texts for result (title "提示", one OK button);
    // nothing for any other result.
    static void showFailure(QWidget *parent, int result, const CommandFailureTexts &texts);

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
