#include "session/loggersession.h"

#include "download/loggerdownload.h"
#include "download/loggerrun.h"
#include "download/mythread.h"
#include "protocol/instrumentcommands.h"

#include <QDebug>
#include <QMutexLocker>
#include <QThread>

namespace {
// The worker's packets, as the receive check counts them.
constexpr int kPacketBytes = 34;
constexpr int kReceiveLimitMs = 10000;
} // namespace

LoggerSession::LoggerSession(InstrumentCommands *commands, QObject *parent)
    : QObject(parent), m_commands(commands)
{
    connect(&m_receiveTimer, &QTimer::timeout, this, &LoggerSession::checkReceived);
}

LoggerSession::~LoggerSession()
{
    // A worker left running would go on reading a link that goes with its
    // owner.
    stopWorker();
}

int LoggerSession::readRunCount(int *count)
{
    *count = 0;
    const int r = m_commands->readPowerGroupCount(*count);
    if (r < 0)
        *count = 0;
    return r;
}

LoggerSession::Outcome LoggerSession::download(int held, int first, int last)
{
    const int end = qMin(last < 0 ? held - 1 : last, qMin(held, LoggerRun::MaxRuns) - 1);
    if (m_downloading || !m_commands || first < 0 || first > end)
        return Outcome::Complete;
    clear();
    m_downloading = true;
    m_cancelled = m_clearPending = m_removed = false;
    const int maximum = (end - first + 1) * LoggerRun::ProgressBytesPerRun;
    emit started(end - first + 1, maximum);

    LoggerDownload engine(m_commands);
    engine.setSilenceLimitMs(m_silenceLimitMs);
    int received = 0;
    // The bytes that complete a run are shown with the run, once the next
    // request has gone out: the progress dialog paints as it is told.
    bool progressPending = false;
    engine.onBytes = [&](int bytes, bool runWhole) {
        received += bytes;
        progressPending = runWhole;
        if (!runWhole)
            emit progress(received, maximum);
    };
    engine.stopRequested = [this] {
        emit waiting();
        return stopNow() || (stopRequested && stopRequested());
    };

    // A run is handed on once the next run's request has gone out, so that
    // the window's work on it (a table row, its paint) overlaps that run's
    // transfer instead of holding up the request; the last one after the
    // loop. Cancel, looked at between collection passes, is also looked at
    // then: a run that comes in one collection pass never asks in between.
    bool runPending = false;
    auto handOn = [&] {
        if (runPending) {
            runPending = false;
            emit runReady(m_runs.last());
        }
        if (progressPending) {
            progressPending = false;
            emit progress(received, maximum);
        }
    };
    engine.onRequestSent = [&] {
        handOn();
        emit waiting();
    };

    // The dialog shown by started paints once the first request is out.
    LoggerDownload::Outcome result = LoggerDownload::Outcome::Complete;
    for (int k = first; k <= end && result == LoggerDownload::Outcome::Complete; ++k) {
        if (m_cancelled || m_removed) {
            result = LoggerDownload::Outcome::Cancelled;
            break;
        }
        emit runRequested(k + 1);
        LoggerDownload::Run run;
        result = engine.downloadRun(k, &run);
        m_answers.append(run.frames);
        if (result != LoggerDownload::Outcome::Complete)
            break;
        m_runs.append(LoggerRun::decode(k + 1, run.payload, run.step));
        runPending = true;
    }
    handOn();
    // The read that lost the instrument has asked for its removal: let it
    // arrive while the download is still on, so that it ends as Removed.
    if (result == LoggerDownload::Outcome::LinkLost && !m_removed)
        emit waiting();

    Outcome outcome = Outcome::Complete;
    switch (result) {
    case LoggerDownload::Outcome::Complete:
        break;
    case LoggerDownload::Outcome::SendFailed:
        outcome = Outcome::SendFailed;
        break;
    case LoggerDownload::Outcome::Silent:
        outcome = Outcome::Silent;
        break;
    case LoggerDownload::Outcome::LinkLost:
        outcome = Outcome::LinkLost;
        break;
    case LoggerDownload::Outcome::Cancelled:
        outcome = Outcome::Cancelled;
        break;
    case LoggerDownload::Outcome::StepUnreadable:
        outcome = Outcome::StepUnreadable;
        break;
    }
    if (m_removed)
        outcome = Outcome::Removed;
    m_downloading = false;
    emit finished(outcome, m_runs.size(), held);
    if (m_clearPending) {
        m_clearPending = false;
        clear();
    }
    return outcome;
}

void LoggerSession::cancel()
{
    if (m_downloading)
        m_cancelled = true;
}

void LoggerSession::clear()
{
    if (m_downloading) {
        m_clearPending = true;
        return;
    }
    m_runs.clear();
    m_answers.clear();
    emit cleared();
}

bool LoggerSession::keepRuns(const QList<LoggerRunData> &runs)
{
    if (m_downloading)
        return false;
    m_runs = runs;
    m_answers = QList<QByteArray>();
    for (int k = 0; k < runs.size(); ++k)
        m_answers << QByteArray();
    return true;
}

bool LoggerSession::instrumentRemoved()
{
    if (m_downloading)
        m_removed = true;
    return m_downloading;
}

// ---- background worker ----------------------------------------------------

bool LoggerSession::startWorker()
{
    stopWorker();
    m_workerThread = new QThread();
    m_worker = new MyThread(m_commands ? m_commands->link() : nullptr);
    connect(m_worker, &MyThread::senddata, this, &LoggerSession::takeReceived);
    m_worker->moveToThread(m_workerThread);
    connect(m_workerThread, &QThread::finished, m_workerThread, &QObject::deleteLater);
    connect(m_workerThread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_workerThread, &QThread::started, m_worker, &MyThread::startThreadSlot);
    m_workerThread->start();
    // The worker may have begun a pass already: it sleeps on the device
    // until woken.
    m_worker->askForLock();
    m_worker->lock.lock();
    --m_worker->waitingForLock;
    m_workerLockHeld = true;
    qDebug() << "mainWidget QThread::currentThreadId()==" << QThread::currentThreadId();
    return false;
}

bool LoggerSession::stopWorker()
{
    if (m_worker && m_workerLockHeld) {
        m_worker->lock.unlock();
        m_workerLockHeld = false;
    }
    if (!m_workerThread || !m_workerThread->isRunning())
        return false;
    m_worker->stop();
    m_workerThread->quit();
    const bool ended = m_workerThread->wait();
    // Both objects delete themselves once the thread has finished.
    m_workerThread = nullptr;
    m_worker = nullptr;
    return ended;
}

void LoggerSession::checkReceived()
{
    // The session holds the worker's lock itself while a worker runs, so the
    // lock is taken here only when it does not hold it already.
    auto withWorkerLock = [this](auto &&work) {
        if (m_worker && !m_workerLockHeld) {
            m_worker->askForLock();
            QMutexLocker locker(&m_worker->lock);
            --m_worker->waitingForLock;
            work();
        } else {
            work();
        }
    };
    if (!m_receiveClock.isValid() || kReceiveLimitMs - m_receiveClock.elapsed() <= 0) {
        emit receiveTimedOut();
        m_receiveTimer.stop();
        withWorkerLock([this] { m_receiveBuffer.clear(); });
        return;
    }
    emit receiveProgress(m_receiveBuffer.size());
    if (m_receiveBuffer.size() < m_expectedGroups * kPacketBytes)
        return;
    withWorkerLock([this] {
        int p = 0;
        while (p + kPacketBytes <= m_receiveBuffer.size()) {
            if (quint8(m_receiveBuffer.at(p)) == 0xAB && quint8(m_receiveBuffer.at(p + 1)) == 0x42)
                p += kPacketBytes;
            else
                ++p;
        }
        qDebug("readdata setVal =========OK============ %d\n", int(m_receiveBuffer.size()));
        m_receiveBuffer.clear();
    });
    m_downloading = false;
    m_receiveTimer.stop();
    emit receiveProgress(m_expectedGroups * kPacketBytes);
}
