#include "meterlinks.h"

#include <chrono>

void MeterGatedLink::queue(const QByteArray &chunk)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        chunks_ << chunk;
    }
    arrived_.notify_all();
}

QByteArrayList MeterGatedLink::written() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}

int MeterGatedLink::read(QByteArray &buffer, int, int)
{
    inRead_.store(true);
    ++reads_;
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(readWaitMs_.load()),
                      [this] { return !chunks_.isEmpty(); });
    QByteArray chunk = chunks_.isEmpty() ? QByteArray() : chunks_.takeFirst();
    lock.unlock();
    inRead_.store(false);
    if (chunk.isEmpty())
        return 0;
    buffer.append(chunk);
    return buffer.size();
}

int MeterGatedLink::write(const QByteArray &buffer, int)
{
    std::lock_guard<std::mutex> lock(mutex_);
    written_ << buffer;
    return buffer.size();
}
