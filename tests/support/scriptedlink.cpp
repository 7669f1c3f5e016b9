#include "scriptedlink.h"

int ScriptedLink::read(QByteArray &buffer, int timeoutMs, int wantedLength)
{
    ++reads;
    const QByteArray chunk = chunks.isEmpty() ? QByteArray() : chunks.takeFirst();
    if (chunk.isEmpty())
        return 0;
    buffer.append(chunk);
    if (timeoutMs == 0)
        return buffer.size();
    while (!buffer.isEmpty() && quint8(buffer.at(0)) != 0xAB)
        buffer.remove(0, 1);
    if (buffer.size() >= wantedLength && !buffer.isEmpty())
        return buffer.size();
    return chunk.size();
}

int ScriptedLink::write(const QByteArray &buffer, int)
{
    written << buffer;
    if (!writeResults.isEmpty())
        return writeResults.takeFirst();
    return buffer.size();
}
