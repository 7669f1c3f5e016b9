#include "cli/heldoutput.h"

#include <QTextStream>

#include <cerrno>
#include <unistd.h>

HeldOutput::HeldOutput(int fd, QObject *parent) : QIODevice(parent), m_fd(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 HeldOutput::writeData(const char *data, qint64 size)
{
    m_held.append(data, int(size));
    return size;
}

bool HeldOutput::release()
{
    if (m_failed)
        return false;
    const char *p = m_held.constData();
    size_t left = size_t(m_held.size());
    m_written = m_written || left > 0;
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_errno = n == 0 ? EIO : errno;
            m_failed = true;
            m_held.clear();
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    m_held.clear();
    return true;
}

void HeldOutput::release(QTextStream &out)
{
    out.flush();
    if (auto *held = qobject_cast<HeldOutput *>(out.device()))
        held->release();
}
