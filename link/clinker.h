#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>

// The program's link to the instrument: a byte stream with time-outs. The USB
// implementation is CLinkerUSB; tests use scripted links.
class CLinker : public QObject
{
public:
    explicit CLinker(QObject *parent = nullptr) : QObject(parent) {}
    ~CLinker() override = default;

    virtual void close() {}
    // Appends received bytes to buffer. timeoutMs 0: one collection pass, the
    // wanted length ignored. Above 0: collect until buffer starts with 0xAB and
    // holds at least wantedLength bytes, or the time-out has passed.
    // Negative when the device failed under the read (it has gone): nothing
    // more can come, and the wait ended at once.
    virtual int read(QByteArray &buffer, int timeoutMs, int wantedLength)
    {
        Q_UNUSED(buffer)
        Q_UNUSED(timeoutMs)
        Q_UNUSED(wantedLength)
        return 0;
    }
    // Says whether what a collection pass has appended to a buffer makes the
    // awaited answer whole.
    using Complete = std::function<bool(const QByteArray &buffer)>;
    // One collection pass, as read with time-out 0, that ends as soon as
    // complete (when given) says the buffer holds the whole answer, instead
    // of waiting for the instrument to fall silent. complete is asked after
    // every arrival. firstWaitMs, when 0 or more, bounds the wait for the
    // first arrival instead of the link's report wait. The buffer's length
    // when something came, 0 when nothing did, negative when the device
    // failed in the pass (what came before is in the buffer).
    // This default makes the pass one read and shows its arrival once.
    virtual int collect(QByteArray &buffer, const Complete &complete, int firstWaitMs = -1)
    {
        Q_UNUSED(firstWaitMs)
        const int before = buffer.size();
        const int r = read(buffer, 0, 0);
        if (complete && buffer.size() > before)
            complete(buffer);
        return r;
    }
    // The same pass for a listener that waits long for the instrument's
    // unasked reports and must give way at once: wakeListener(), from
    // another thread, ends its wait as if the time-out had passed (a wake
    // while no pass waits ends the next one). Other reads never see a wake.
    virtual int listen(QByteArray &buffer, const Complete &complete, int firstWaitMs)
    {
        return collect(buffer, complete, firstWaitMs);
    }
    virtual void wakeListener() {}
    // Discards what has already arrived, without waiting: bytes left over
    // after an answer that was complete must not be taken for the next one.
    virtual void drain() {}
    // Writes the whole buffer; its length on success, -1 on failure.
    virtual int write(const QByteArray &buffer, int timeoutMs)
    {
        Q_UNUSED(buffer)
        Q_UNUSED(timeoutMs)
        return 0;
    }
    virtual bool isOpen() { return false; }
    // True when the device behind the open link has gone.
    virtual bool deviceRemoved() { return true; }
};
