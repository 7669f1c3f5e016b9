#pragma once

class QWidget;

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

namespace CommandTexts {
extern const CommandFailureTexts readConfiguration;  // block 0x80 read
extern const CommandFailureTexts writeConfiguration; // block 0x80 write
extern const CommandFailureTexts readClock;
extern const CommandFailureTexts writeClock;
extern const CommandFailureTexts productionInfo;
extern const CommandFailureTexts calibrationDate;
extern const CommandFailureTexts softwareVersion;

// Shows the message of texts for result (title "提示", one OK button) in the
// program's language; nothing for any other result.
void showFailure(QWidget *parent, int result, const CommandFailureTexts &texts);
} // namespace CommandTexts
