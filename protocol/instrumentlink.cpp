#include "protocol/instrumentlink.h"

#include "protocol/frame.h"

#include <QElapsedTimer>

bool InstrumentLink::isOpen() const
{
    return m_link && m_link->isOpen();
}

int InstrumentLink::sendFrame(QByteArray &frame, int timeoutMs)
{
    if (!isOpen())
        return -1;
    Frame::appendTrailer(frame);
    const int result = m_link->write(frame, timeoutMs);
    if (result != frame.size()) {
        // A device that has gone is the removal's to tell, not a send error.
        if (m_link->deviceRemoved())
            emit deviceLost();
        else
            emit sendFailed();
    }
    return result;
}

bool InstrumentLink::deviceGone() const
{
    CLinker *link = m_link;
    return link && link->deviceRemoved();
}

int InstrumentLink::readWhileWaiting(QByteArray &buffer, int timeoutMs, int expectedLength)
{
    // The link's own collection, slice by slice: what arrived stays in
    // buffer across the slices, so the answer is the same as from one read.
    constexpr int kSliceMs = 50;
    QElapsedTimer clock;
    clock.start();
    if (busy)
        busy(true);
    int r = 0;
    for (;;) {
        CLinker *link = m_link; // a removal handled while waiting takes it away
        if (!link) {
            r = -1;
            break;
        }
        const int left = timeoutMs - int(clock.elapsed());
        r = link->read(buffer, qBound(1, left, kSliceMs), expectedLength);
        if (!buffer.isEmpty() && quint8(buffer.at(0)) == 0xAB && buffer.size() >= expectedLength) {
            r = buffer.size();
            break;
        }
        // A negative result: the device failed under the read, and nothing
        // more will come.
        if (r < 0 || clock.elapsed() > timeoutMs)
            break;
        waiting();
    }
    if (busy)
        busy(false);
    return r;
}

int InstrumentLink::collectAnswer(QByteArray &buffer, const CLinker::Complete &complete)
{
    // The one pass of a read whose answer is known to be whole when it is
    // (the key information, or its refusal, which the instrument sends at
    // once). One report wait is not the instrument's time limit: on a loaded
    // PC the answer's first report can come later, and a pass that gave up
    // after one wait took such an instrument for one without key information
    // and never asked again. The pass waits up to the protocol's answer
    // limit instead, and ends as soon as the answer is whole, so that an
    // instrument that answers is never kept waiting for.
    constexpr int kSliceMs = 50;
    CLinker *link = m_link;
    if (!link)
        return -1;
    if (!waiting) {
        // Nobody to keep alive: the link waits for the first report itself.
        return link->collect(buffer, complete, AnswerLimitMs);
    }
    // A window: it keeps painting between slices of the wait, with the busy
    // cursor once the answer is not there after the first slice.
    QElapsedTimer clock;
    clock.start();
    int r = link->collect(buffer, complete, kSliceMs);
    if (r < 0 || complete(buffer))
        return r;
    if (busy)
        busy(true);
    for (;;) {
        waiting();
        link = m_link; // a removal handled while waiting takes it away
        if (!link) {
            r = -1;
            break;
        }
        const int left = AnswerLimitMs - int(clock.elapsed());
        if (left <= 0)
            break;
        const int pass = link->collect(buffer, complete, qMin(left, kSliceMs));
        if (pass != 0)
            r = pass;
        if (r < 0 || complete(buffer))
            break;
    }
    if (busy)
        busy(false);
    return r;
}

int InstrumentLink::collect(QByteArray &buffer, const CLinker::Complete &complete,
                            int firstWaitMs)
{
    CLinker *link = m_link;
    if (!link)
        return -1;
    const int r = link->collect(buffer, complete, firstWaitMs);
    if (r < 0)
        emit deviceLost();
    return r;
}

int InstrumentLink::listen(QByteArray &buffer, const CLinker::Complete &complete, int firstWaitMs)
{
    CLinker *link = m_link;
    if (!link)
        return -1;
    const int r = link->listen(buffer, complete, firstWaitMs);
    if (r < 0)
        emit deviceLost();
    return r;
}

void InstrumentLink::wakeListener()
{
    if (CLinker *link = m_link)
        link->wakeListener();
}

void InstrumentLink::drain()
{
    if (CLinker *link = m_link)
        link->drain();
}

int InstrumentLink::receiveFrame(QByteArray &buffer, int timeoutMs, int expectedLength, bool verify,
                                 const CLinker::Complete &complete)
{
    // The Meter worker reads here on its own thread; it never asks for
    // verification, so no signal is emitted from there.
    if (!m_link)
        return -1;
    int r = 0;
    if (timeoutMs == 0)
        r = complete ? collectAnswer(buffer, complete) : m_link->collect(buffer, complete);
    else if (waiting)
        r = readWhileWaiting(buffer, timeoutMs, expectedLength);
    else
        r = m_link->read(buffer, timeoutMs, expectedLength);
    if (r < 0)
        emit deviceLost();
    if (r < 1 || !verify)
        return r;
    const bool matches = Frame::trailerMatches(buffer, expectedLength);
    if (Frame::byteAt(buffer, 2) == 0x04)
        return -1;
    if (matches)
        return buffer.size();
    emit formatError();
    return -1;
}
