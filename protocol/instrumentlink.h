#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>

#include "link/clinker.h"

// The frame exchange over the one link to the instrument. The main window
// owns it (and the link it is given on plug-in) and hands it to whoever talks
// to the instrument: the commands, the pages, the Meter worker, the
// download engines, the command-line tool.
//
// sendFrame appends the check value and writes the frame; receiveFrame
// collects an answer and, when asked, verifies its trailer. What went wrong
// is told through signals (emitted on the calling thread), so that a window
// can show its messages while the exchange itself stays free of them.
class InstrumentLink : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentLink(QObject *parent = nullptr) : QObject(parent) {}

    // The link to use from now on (not owned), or nullptr.
    void setLink(CLinker *link) { m_link = link; }
    CLinker *link() const { return m_link; }
    bool isOpen() const;

    // Appends the crc16 trailer to frame and writes it; the link's result, or
    // -1 without an open link.
    int sendFrame(QByteArray &frame, int timeoutMs);
    // Reads an answer into buffer; its length when accepted, 0 or the link's
    // result when nothing usable arrived, -1 when the answer failed the checks
    // or there is no link. With time-out 0 (one collection pass) the pass
    // ends as soon as complete, when given, says the answer is whole; with
    // complete given it also waits for the answer up to AnswerLimitMs (see
    // collectAnswer).
    static constexpr int AnswerLimitMs = 6000;
    int receiveFrame(QByteArray &buffer, int timeoutMs, int expectedLength, bool verify,
                     const CLinker::Complete &complete = nullptr);
    // One collection pass that ends when complete says the answer is whole
    // (see CLinker::collect); 0 when nothing came, -1 without a link.
    int collect(QByteArray &buffer, const CLinker::Complete &complete, int firstWaitMs = -1);
    // The listener's pass (see CLinker::listen) and its wake; the wake may
    // come from another thread than the pass.
    int listen(QByteArray &buffer, const CLinker::Complete &complete, int firstWaitMs);
    void wakeListener();
    // Drops what has already arrived and nobody asked for (see CLinker::drain).
    void drain();
    // True when the device behind the link has gone (it was unplugged).
    bool deviceGone() const;

    // A window that must stay alive while an answer is awaited: with a
    // time-out above 0 the wait is cut into slices of about 50 ms, and between
    // them `waiting` runs (paint, timers; the caller decides about input).
    // `busy` is told true before the first slice and false after the wait.
    // Neither runs for the one collection pass of time-out 0 (the Meter
    // worker's reads on its own thread).
    std::function<void()> waiting;
    std::function<void(bool)> busy;

signals:
    // A frame went out short or not at all, to a device that is still there.
    void sendFailed();
    // A read or write found the device gone: its removal can be handled now,
    // without waiting for a notice. May be emitted on the Meter worker's
    // thread; connect it queued.
    void deviceLost();
    // An answer arrived whose trailer does not match.
    void formatError();

private:
    int readWhileWaiting(QByteArray &buffer, int timeoutMs, int expectedLength);
    int collectAnswer(QByteArray &buffer, const CLinker::Complete &complete);

    CLinker *m_link = nullptr;
};
