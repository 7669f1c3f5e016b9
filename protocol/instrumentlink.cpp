#include "protocol/instrumentlink.h"

#include "link/clinker.h"
#include "protocol/frame.h"

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
    if (result != frame.size())
        emit sendFailed();
    return result;
}

int InstrumentLink::receiveFrame(QByteArray &buffer, int timeoutMs, int expectedLength, bool verify)
{
    // The Meter worker reads here on its own thread; it never asks for
    // verification, so no signal is emitted from there.
    if (!m_link)
        return -1;
    const int r = m_link->read(buffer, timeoutMs, expectedLength);
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
