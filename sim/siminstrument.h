#pragma once

#include "sim/simprofile.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// A simulated instrument at the protocol level, behind its HID reports.
//
// Requests arrive as output reports (0x3F, length, payload); their payloads
// form a byte stream in which the instrument finds whole request frames
// (start byte, header, data, valid crc16 trailer) and answers each one:
//
//   AB 20 05 00 12 00        key information (26 bytes) or the refusal A0 04
//   AB 20 1C 00 02 00        software version
//   AB 20 61 00 06 00        clock, read; AB 21 21 00 06 00 + 6 bytes sets it
//   AB 47 00.. 14 00         production information (block check value), or
//                            an erased block of 20 bytes 0xFF
//   AB 47 24.. 06 00         calibration date
//   AB 47 60 / AB 41 80      blocks 0x60 and 0x80; AB 77 60 / AB 71 80 write them
//   AB 41 E0.. 04 00         count of Meter records or Logger runs
//   AB 42 addr 40 00         Meter record k at 0xF0 + 24k: one 34-byte answer;
//                            Logger run k at 0x180 + 0x980k: packets of at most
//                            64 data bytes, then a packet of length 0
//
// Every long-header command is refused with C7 08 while no probe is
// connected; plugging or pulling the probe sends the notice AB 22 0D with
// byte 6 = 1 or 0. Answers go out as input reports, each answer starting a
// new report, one report per `reportIntervalUs`. With the profile's
// usbFrames (or VANTREL_SIM_USB_FRAMES=1) the instrument keeps full-speed USB
// time: each output report takes a 1 ms frame, the write returning at its
// end, so that an answer starts at least a frame after its request, and
// input reports come one a frame. Faults of the profile (or added later)
// change the answers of the requests they match. With VANTREL_SIM_TALLY=FILE
// the instrument appends "written W read R", the reports it was written and
// gave, to FILE when it goes: a benchmark that times a whole vantrel-cli
// process counts its frames so.
//
// Thread-safe: one thread may read reports while another writes.
class SimInstrument
{
public:
    explicit SimInstrument(const SimProfile &profile);
    ~SimInstrument();
    SimInstrument(const SimInstrument &) = delete;
    SimInstrument &operator=(const SimInstrument &) = delete;

    // The instrument as it is now: the profile with the blocks, clock, probe
    // and faults it has at this moment.
    SimProfile state() const;
    QByteArray block60() const;
    QByteArray block80() const;
    QDateTime clock() const;

    bool isPlugged() const;
    // Pulling the plug kills every open handle; plugging in again makes a new
    // device (handles of the old one stay dead). Both tell the plug listener.
    void unplug();
    void plug();
    void setPlugListener(std::function<void(bool plugged)> listener);

    // Plugs or pulls the probe and sends the probe notice.
    void setProbeConnected(bool connected);
    void addFault(const SimFault &fault);
    void clearFaults();
    void setReportIntervalUs(int us);
    void setRecords(const QList<SimMeterRecord> &records);
    void setRuns(const QList<SimLoggerRun> &runs);

    // Test hooks at report level: an input report as it stands (report id
    // first), or bytes packed into 0x3F reports the way answers are.
    void queueInputReport(const QByteArray &report, int delayMs = 0);
    void queueStream(const QByteArray &bytes, int delayMs = 0);
    int pendingReports() const;
    // Answers held back by a Hold fault, and sending them now.
    int heldAnswers() const;
    void releaseHeld();
    // Told of every request frame the instrument has understood, once it
    // has been answered, on the thread that wrote it and outside the
    // instrument's lock: a test acts on what the instrument receives (the
    // Nth run request, say) instead of on a timer.
    void setRequestObserver(std::function<void(const QByteArray &frame)> observer);
    // Every output report written, and every request frame understood.
    QList<QByteArray> writtenReports() const;
    QList<QByteArray> requests() const;
    void clearLogs();
    // The most report reads that were ever in progress at once. The link
    // allows one reader; above 1 means two threads read at the same time.
    int readersPeak() const { return readersPeak_.load(); }
    // Report reads in progress now (a reader waiting for a report).
    int readersNow() const { return readers_.load(); }
    // Input reports the host has read since the last clearLogs(): with
    // writtenReports(), the frames an exchange took.
    int reportsRead() const;
    bool usbFrames() const;

    // Used by the simulated transport's handles.
    int generation() const;
    bool alive(int generation);
    // A read given a wake token also ends (returning 0, as on a time-out) once
    // the token is set by wakeReader(); the token is cleared as it ends it.
    int readReport(int generation, unsigned char *buffer, int length, int timeoutMs,
                   std::atomic<bool> *wake = nullptr);
    void wakeReader(std::atomic<bool> *wake);
    int writeReport(int generation, const unsigned char *buffer, int length, int timeoutMs);
    int reportLength() const;
    int interfaces() const;
    QString usbSerial() const;
    // Windows-like sharing: an exclusive open fails while any handle is open,
    // any open fails while an exclusive handle is open.
    bool acquire(int interfaceIndex, bool exclusive);
    void release(int interfaceIndex, bool exclusive);

private:
    using Clock = std::chrono::steady_clock;
    struct Report
    {
        QByteArray bytes;
        Clock::time_point at;
        bool unplug = false; // the instrument is pulled out when the reader gets here
    };

    bool expireLocked(Clock::time_point now);
    void notifyPlug(bool plugged);
    void processRequestsLocked();
    void handleRequestLocked(const QByteArray &frame);
    QByteArray respondLocked(const QByteArray &frame, bool withEndPacket);
    QByteArray runStreamLocked(quint32 address, int run, bool withEndPacket) const;
    bool takeFaultLocked(int command, qint64 address, bool writeFault, SimFault *fault);
    void enqueueLocked(const QByteArray &bytes, int delayMs, bool gapOnly = false);
    void enqueueReportLocked(const QByteArray &report, int delayMs);
    int countLocked() const;
    Clock::duration leadLocked() const;
    QDateTime clockLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    SimProfile profile_;
    qint64 clockOffsetSecs_ = 0;
    bool plugged_ = true;
    int generation_ = 1;
    std::deque<Report> reports_;
    Clock::time_point lastReportAt_{};
    Clock::time_point lastRequestEnd_{}; // end of the last output report's frame
    int reportsRead_ = 0;
    QByteArray requestStream_;
    QByteArray heldAnswer_;
    QList<QByteArray> held_; // by Hold faults
    QList<QByteArray> written_;
    QList<QByteArray> requests_;
    QList<int> openCount_;
    QList<bool> exclusiveOpen_;
    std::function<void(bool)> plugListener_;
    std::function<void(const QByteArray &)> requestObserver_;
    std::atomic<int> readers_{0};
    std::atomic<int> readersPeak_{0};
};
