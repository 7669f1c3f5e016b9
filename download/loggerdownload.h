#pragma once

#include <QByteArray>

#include <functional>

class InstrumentCommands;

// Downloads one stored run of a Logger: sends the run request, collects the
// answer packets pass after pass until the end packet has arrived, takes the
// payload out of them, and reads configuration block 0x80 for the storage
// step.
//
// A run ends as Silent when nothing arrives for the silence limit (10 s), or
// when it has not ended within its overall bound: what the largest run needs
// at the slowest pace an instrument may have (one report per collection wait)
// plus the silence limit, so that an instrument that keeps talking without an
// end packet cannot hold the download.
class LoggerDownload
{
public:
    enum class Outcome
    {
        Complete,
        SendFailed,     // the request did not go out
        Silent,         // no end packet in time
        LinkLost,       // the instrument went away
        Cancelled,      // stopped by the caller
        StepUnreadable, // block 0x80 could not be read after the run
    };

    struct Run
    {
        QByteArray frames;  // the answer as it came
        QByteArray payload; // start time and samples
        int step = 1;       // storage step in seconds
    };

    // The answer of the largest run, in bytes, that a collection pass asks for.
    static constexpr int RunExpectedLength = 8890;

    explicit LoggerDownload(InstrumentCommands *commands) : m_commands(commands) {}

    void setSilenceLimitMs(int ms) { m_silenceLimitMs = ms; }
    int silenceLimitMs() const { return m_silenceLimitMs; }
    // The overall bound of one run for the current silence limit.
    int runLimitMs() const;

    // Called with the byte count of every chunk that arrives; runWhole for
    // the chunk that completes the run, after which the instrument waits for
    // the host: work done on it holds up the download.
    std::function<void(int bytes, bool runWhole)> onBytes;
    // Called between collection passes; true stops the run as Cancelled.
    std::function<bool()> stopRequested;
    // Called once the run's request has gone out, while its answer is on
    // its way: work done here overlaps the transfer.
    std::function<void()> onRequestSent;

    Outcome downloadRun(int run, Run *out);

private:
    InstrumentCommands *m_commands;
    int m_silenceLimitMs = 10000;
};
