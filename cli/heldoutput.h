#pragma once

// Standard output of vantrel-cli, held in memory until the command is done:
// a download that fails half-way writes nothing, and every write is checked
// so that output that does not arrive (a full disk, /dev/full, a closed
// pipe) is a failure. A command that reports as it goes (archive import, a
// line per file) releases what it has written so far at each step, so that
// a reader sees each line when its work is done, and after a kill knows
// which files went in.

#include <QByteArray>
#include <QIODevice>

class QTextStream;

class HeldOutput : public QIODevice
{
    Q_OBJECT
public:
    explicit HeldOutput(int fd, QObject *parent = nullptr);

    // Writes what is held to the descriptor now. False (errno kept in
    // error()) when it did not all arrive; once failed, nothing more is
    // written.
    bool release();
    // The stream's text so far released, when the stream writes into a
    // HeldOutput (anything else is left as it is).
    static void release(QTextStream &out);

    bool failed() const { return m_failed; }
    int error() const { return m_errno; }
    bool anyWritten() const { return m_written; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd = -1;
    QByteArray m_held;
    bool m_failed = false;
    bool m_written = false;
    int m_errno = 0;
};
