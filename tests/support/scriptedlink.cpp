#include "scriptedlink.h"

int ScriptedLink::read(QByteArray &buffer, int timeoutMs, int wantedLength)
{
    ++reads;
    if (timeoutMs == 0) {
        const QByteArray chunk = chunks.isEmpty() ? QByteArray() : chunks.takeFirst();
        if (chunk.isEmpty())
            return 0;
        buffer.append(chunk);
        return buffer.size();
    }
    // Passes until the answer is complete; when the chunks run out, the last
    // pass got nothing, as when the time-out runs out on a real link.
    while (!chunks.isEmpty()) {
        buffer.append(chunks.takeFirst());
        while (!buffer.isEmpty() && quint8(buffer.at(0)) != 0xAB)
            buffer.remove(0, 1);
        if (!buffer.isEmpty() && buffer.size() >= wantedLength)
            return buffer.size();
    }
    return 0;
}

int ScriptedLink::write(const QByteArray &buffer, int)
{
    written << buffer;
    if (!writeResults.isEmpty())
        return writeResults.takeFirst();
    return buffer.size();
}
