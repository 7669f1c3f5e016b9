#pragma once

#include "measurement/loggerdata.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class InstrumentCommands;
class MyThread;
class QThread;

// One Logger instrument's downloads, for the window and the command line
// alike: the run download over the instrument's commands (one run after the
// other, each collected with LoggerDownload and decoded once into a
// LoggerRunData as it arrives), its progress, cancel, the instrument's
// removal while it runs, and its outcome; and the background worker with its
// received bytes, which the Logger keeps for its callers although its own
// download reads the answers itself.
//
// A download is synchronous: download() returns when it has ended. While it
// waits for the instrument it emits waiting() (before the first run, between
// collection passes, after each run, and once more when the link was lost);
// a window lets its events run there. cancel() and instrumentRemoved() end
// the download before the next run or at the next collection pass, clear()
// and stopRequested at the next collection pass. Every run that arrived
// whole is kept, whatever ended the download.
class LoggerSession : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Complete,       // every run asked for arrived whole
        SendFailed,     // a run request did not go out
        Silent,         // a run did not end in time
        LinkLost,       // the link failed under a run
        Cancelled,      // stopped by cancel(), clear() or stopRequested
        StepUnreadable, // block 0x80 could not be read after a run
        Removed,        // the instrument was removed during the download
    };
    Q_ENUM(Outcome)

    explicit LoggerSession(InstrumentCommands *commands = nullptr, QObject *parent = nullptr);
    ~LoggerSession() override;

    void setCommands(InstrumentCommands *commands) { m_commands = commands; }
    InstrumentCommands *commands() const { return m_commands; }

    // A run ends as Silent when nothing new has arrived for this long.
    void setSilenceLimitMs(int ms) { m_silenceLimitMs = ms; }
    int silenceLimitMs() const { return m_silenceLimitMs; }

    // Asks how many runs the instrument holds: the command's result, with
    // the count in *count (0 when the read failed).
    int readRunCount(int *count);
    // Downloads runs first..last (from 0) of the `held` the instrument said
    // it holds, at most up to the last storage address (LoggerRun::MaxRuns);
    // last < 0 means up to the last held. The runs of an earlier download
    // are dropped first. Emits started, progress, runReady, waiting, then
    // finished with the outcome, which it also returns. Nothing happens
    // (Complete, no signal) when no run is to be read or a download runs.
    Outcome download(int held, int first = 0, int last = -1);
    // From started until finished is emitted.
    bool downloading() const { return m_downloading; }
    // Runs shown without the instrument (a file opened) are kept as a
    // download's are, without answer bytes; false while a download runs.
    bool keepRuns(const QList<LoggerRunData> &runs);

    // Called between collection passes, after waiting(); true ends the
    // download as Cancelled.
    std::function<bool()> stopRequested;

    // The runs that arrived whole, in run order, and their answers as they
    // came (the answer of a run that failed is kept after them).
    const QList<LoggerRunData> &runs() const { return m_runs; }
    // Run k of the last download (from 0); an empty value when it did not
    // arrive whole.
    LoggerRunData run(int k) const { return m_runs.value(k); }
    QByteArray answerBytes(int k) const { return m_answers.value(k); }

    // The background worker: a thread reading the link and handing its
    // bytes to takeReceived(). The Logger reads its answers itself, so the
    // session holds the worker's lock from the start: the worker waits at the
    // top of its loop until stopWorker(). startWorker() replaces a running
    // worker and returns false; stopWorker() returns whether a running
    // worker's thread has ended.
    bool startWorker();
    bool stopWorker();
    MyThread *worker() const { return m_worker; }
    QThread *workerThread() const { return m_workerThread; }
    // The worker's received bytes: checked by checkReceived() while the
    // receive timer runs (no download starts it: the Logger's own download
    // does not use the worker).
    void takeReceived(const QByteArray &bytes) { m_receiveBuffer.append(bytes); }
    void checkReceived();

public slots:
    // Ends a running download at its next stop point.
    void cancel();
    // Drops the runs (cleared). During a download the download ends at its
    // next collection pass and the runs go once it has returned.
    void clear();
    // The instrument has gone: true when a download runs, which then ends
    // as Removed, with the runs complete by then.
    bool instrumentRemoved();

signals:
    // A download begins: `runs` runs are asked for; the progress bar counts
    // answer bytes up to `maximum` (LoggerRun::ProgressBytesPerRun a run).
    void started(int runs, int maximum);
    // Run `number` (from 1) is asked for.
    void runRequested(int number);
    // Answer bytes of the download so far.
    void progress(int received, int maximum);
    // A run has arrived whole; told once the next run's request has gone
    // out (or the download ends), before finished.
    void runReady(const LoggerRunData &run);
    void waiting();
    // The download has ended (downloading() is false again): `kept` runs
    // arrived whole; `held` is what the instrument said it holds.
    void finished(LoggerSession::Outcome outcome, int kept, int held);
    void cleared();
    // The receive timer's checks of the worker's bytes: the bytes so far,
    // and once they are complete the number expected.
    void receiveProgress(int received);
    void receiveTimedOut();

private:
    bool stopNow() const { return m_cancelled || m_clearPending || m_removed; }

    InstrumentCommands *m_commands = nullptr;
    int m_silenceLimitMs = 10000;
    QList<LoggerRunData> m_runs;
    QList<QByteArray> m_answers;
    bool m_downloading = false;
    bool m_cancelled = false;
    bool m_clearPending = false;
    bool m_removed = false;

    QThread *m_workerThread = nullptr;
    MyThread *m_worker = nullptr;
    bool m_workerLockHeld = false;
    QByteArray m_receiveBuffer;
    QTimer m_receiveTimer;
    QElapsedTimer m_receiveClock;
    int m_expectedGroups = 0;
};
