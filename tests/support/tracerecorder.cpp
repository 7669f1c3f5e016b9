#include "tracerecorder.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
QMutex mutex;
QStringList recorded;

void record(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker locker(&mutex);
    recorded << message;
}
} // namespace

TraceRecorder::TraceRecorder()
{
    {
        QMutexLocker locker(&mutex);
        recorded.clear();
    }
    previous_ = qInstallMessageHandler(record);
}

TraceRecorder::~TraceRecorder()
{
    qInstallMessageHandler(previous_);
}

QStringList TraceRecorder::lines() const
{
    QMutexLocker locker(&mutex);
    return recorded;
}
