#pragma once

#include "download/meterdownload.h"
#include "measurement/meterdata.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QTimer>

class InstrumentCommands;
class MyThread;
class QThread;

// One Meter and what goes on with it outside the window: the worker that
// listens on the link (MyThread on a thread of its own) and its lock, the
// receive buffer the worker fills, the record download (all requests back
// to back, the answers collected from the worker's stream and judged (see
// MeterDownload: a wrong or missing answer is asked for once more, after the
// round), a progress tick every 100 ms, and the decision: complete,
// cancelled, timed out after 10 s, or ended by the instrument's removal),
// and the probe notices the
// instrument sends unasked outside a download.
//
// The window's Meter page and vantrel-cli drive it the same way: their own
// exchanges with the instrument (device information, settings, the record
// count) hold an ExchangeLock; startDownload() sends the record requests;
// finished() delivers the decoded records, numbered as the instrument
// numbers them, and the records that were not read.
//
// Threads: everything here runs on the thread that made the session; only the
// worker reads the link on its own thread, under the lock, and hands its
// bytes here through queued signals.
class MeterSession : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Complete,  // every record answered right, refused, or wrong twice
        TimedOut,  // kDownloadLimitMs passed first
        Cancelled, // cancel() before the end
        Removed    // instrumentRemoved() during the download
    };
    Q_ENUM(Outcome)

    static constexpr int kDownloadLimitMs = 10000;
    static constexpr int kProgressTickMs = 100;

    explicit MeterSession(QObject *parent = nullptr);
    ~MeterSession() override;

    // The instrument's commands and, through them, the link; owned by the
    // caller.
    void setInstrument(InstrumentCommands *commands) { m_commands = commands; }
    InstrumentCommands *instrument() const { return m_commands; }

    // Holds the worker's lock (or a stand-in while no worker runs) for one
    // exchange with the instrument and releases it on every way out, so that
    // the worker cannot take the answer away. The session's thread may come
    // back here from a nested event loop while it already holds the lock (a
    // message box shown under the lock); it then counts instead of locking
    // the non-recursive mutex a second time. A probe notice that arrived
    // while the lock was held is looked at once it is released.
    class ExchangeLock
    {
    public:
        explicit ExchangeLock(MeterSession *session);
        ~ExchangeLock();
        ExchangeLock(const ExchangeLock &) = delete;
        ExchangeLock &operator=(const ExchangeLock &) = delete;

    private:
        MeterSession *m_session;
        QMutex *m_mutex = nullptr;
    };

    // Starts a worker on the instrument's link; one still running is
    // stopped first, so that there are never two on one link.
    void startWorker();
    // Stops the worker and waits for its thread, unless this thread holds
    // the lock (then the worker ends as soon as it is released). True when
    // a running worker was stopped and its thread has finished.
    bool stopWorker();
    QThread *workerThread() const;
    MyThread *worker() const;

    // Requests records 1 .. count (at most MeterRecord::kMaxRecords) and
    // starts the progress tick and the clock. False when the download is not
    // under way: a request could not be sent (and the instrument is still
    // there; an instrument being unplugged fails the requests after those it
    // took, and its removal then ends the download), or the download ended
    // while the requests went out.
    bool startDownload(int count, const MeterData &header = MeterData());
    // The download ends at the next tick with what has arrived.
    void cancel() { m_cancelRequested = true; }
    // The instrument has gone: a download under way ends at once with what
    // has arrived (true); false when none was under way, or the worker's
    // last bytes completed it.
    bool instrumentRemoved();
    int recordCount() const { return m_recordCount; }
    // A pass of the worker has handed bytes and not yet ended.
    bool passOpen() const { return m_passOpen; }
    bool ticking() const { return m_progressTimer.isActive(); }

    // True from the record requests to the end of the download.
    bool isDownloading = false;
    // What the worker has handed on and nobody has taken yet: the download's
    // stream, or the bytes looked at for probe notices.
    QByteArray receiveBuffer;

signals:
    // Bytes the answers and refusals collected so far stand for, of the
    // bytes all records' answers take.
    void progress(int received, int maximum);
    // The download has ended. records holds header's identity, unit and
    // decimals and every record whose answer was whole and right, in the
    // instrument's order, with its number (from 1); missing the numbers of
    // the others (refused, wrong or missing when asked again, or not in).
    void finished(MeterSession::Outcome outcome, const MeterData &records,
                  const QList<int> &missing);
    // A probe notice outside a download, taken out of the buffer with
    // whatever else the buffer held.
    void probePlugged();
    void probePulled();

public slots:
    // The worker's bytes, in the order they came.
    void takeBytes(const QByteArray &bytes);
    // One progress tick: ends the download when it is complete, cancelled or
    // out of time, or says how far it has got.
    void updateProgress();
    void scanProbeNotices();

private:
    MeterDownload::Collected collected() const;
    // Ends the download when it is complete, or asks again for the records
    // whose answers were wrong once the round is settled; true when it ended.
    bool settle(const MeterDownload::Collected &collected);
    void finishDownload(const MeterDownload::Collected &collected, Outcome outcome);

    InstrumentCommands *m_commands = nullptr;
    QPointer<QThread> m_thread;
    QPointer<MyThread> m_worker;
    // Stands in for the worker's lock while no worker runs.
    QMutex m_idleLock;
    // How deeply this thread holds the lock (a message box shown under the
    // lock runs a nested event loop).
    int m_lockDepth = 0;
    bool m_probeScanPending = false;
    // The worker hands bytes on as they come; a pass of its collection has
    // begun and not yet ended (as far as its signals have been seen here).
    bool m_passOpen = false;
    // A download ended during that pass: the pass's remaining bytes belong
    // to the download's stream and are dropped with it.
    bool m_dropRestOfPass = false;

    int m_recordCount = 0;
    // The record requests sent, round by round.
    MeterDownload::Rounds m_asked;
    MeterData m_header;
    bool m_cancelRequested = false;
    QTimer m_progressTimer;
    QElapsedTimer m_downloadClock;
};
