#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the program's debug output while it lives (the handler before it
// comes back afterwards), so that a test can count trace lines.
class TraceRecorder
{
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder &) = delete;
    TraceRecorder &operator=(const TraceRecorder &) = delete;

    QStringList lines() const;
    // Lines that hold part.
    int containing(const QString &part) const { return lines().filter(part).size(); }

private:
    QtMessageHandler previous_ = nullptr;
};
