#pragma once

#include "link/clinker.h"

#include <QByteArrayList>

#include <atomic>
#include <condition_variable>
#include <mutex>

// A thread-safe link for the Meter worker tests. A read with time-out 0 (the
// worker's collection pass) takes the next queued chunk, waiting up to
// readWaitMs for one like the HID layer's report wait; writes are recorded.
class MeterGatedLink : public CLinker
{
public:
    explicit MeterGatedLink(int readWaitMs = 50) : readWaitMs_(readWaitMs) {}

    void queue(const QByteArray &chunk);
    QByteArrayList written() const;
    int reads() const { return reads_.load(); }
    // True while a read is in progress on some thread.
    bool inRead() const { return inRead_.load(); }
    void setReadWaitMs(int ms) { readWaitMs_.store(ms); }

    void close() override { open_.store(false); }
    int read(QByteArray &buffer, int timeoutMs, int wantedLength) override;
    int write(const QByteArray &buffer, int timeoutMs) override;
    bool isOpen() override { return open_.load(); }
    bool deviceRemoved() override { return !open_.load(); }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    QByteArrayList chunks_;
    QByteArrayList written_;
    std::atomic<int> readWaitMs_;
    std::atomic<int> reads_{0};
    std::atomic<bool> inRead_{false};
    std::atomic<bool> open_{true};
};
