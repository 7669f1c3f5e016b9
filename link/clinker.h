#pragma once

#include <QByteArray>
#include <QObject>

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
    virtual int read(QByteArray &buffer, int timeoutMs, int wantedLength)
    {
        Q_UNUSED(buffer)
        Q_UNUSED(timeoutMs)
        Q_UNUSED(wantedLength)
        return 0;
    }
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
