#include "session/metersession.h"

#include "download/meterrecord.h"
#include "download/mythread.h"
#include "link/clinker.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>

MeterSession::ExchangeLock::ExchangeLock(MeterSession *session) : m_session(session)
{
    if (m_session->m_lockDepth == 0) {
        if (MyThread *worker = m_session->m_worker) {
            m_mutex = &worker->lock;
            worker->askForLock(); // its listening pass ends at once
            m_mutex->lock();
            --worker->waitingForLock;
        } else {
            m_mutex = &m_session->m_idleLock;
            m_mutex->lock();
        }
        MyThread::noteLocked(m_mutex);
    }
    ++m_session->m_lockDepth;
}

MeterSession::ExchangeLock::~ExchangeLock()
{
    if (--m_session->m_lockDepth == 0) {
        MyThread::noteUnlocking(m_mutex);
        m_mutex->unlock();
        if (m_session->m_probeScanPending) {
            m_session->m_probeScanPending = false;
            QMetaObject::invokeMethod(m_session, &MeterSession::scanProbeNotices,
                                      Qt::QueuedConnection);
        }
    }
}

MeterSession::MeterSession(QObject *parent) : QObject(parent)
{
    connect(&m_progressTimer, &QTimer::timeout, this, &MeterSession::updateProgress);
}

MeterSession::~MeterSession()
{
    m_progressTimer.stop();
    stopWorker();
}

// ---- worker ------------------------------------------------------------------

void MeterSession::startWorker()
{
    // Never two workers on one link: an earlier one still running is stopped.
    if (m_thread && m_thread->isRunning())
        stopWorker();
    m_thread = new QThread();
    m_worker = new MyThread(m_commands ? m_commands->link() : nullptr);
    connect(m_worker.data(), &MyThread::senddata, this, &MeterSession::takeBytes);
    connect(m_worker.data(), &MyThread::passEnded, this, [this] {
        m_passOpen = false;
        m_dropRestOfPass = false;
    });
    m_worker->moveToThread(m_thread);
    connect(m_thread.data(), &QThread::finished, m_thread.data(), &QObject::deleteLater);
    // The worker goes with its thread; it lives there, so it is deleted there.
    connect(m_thread.data(), &QThread::finished, m_worker.data(), &QObject::deleteLater);
    connect(m_thread.data(), &QThread::started, m_worker.data(), &MyThread::startThreadSlot);
    m_thread->start(QThread::InheritPriority);
    qDebug() << "mainWidget QThread::currentThreadId()==" << QThread::currentThreadId();
}

QThread *MeterSession::workerThread() const
{
    return m_thread;
}

MyThread *MeterSession::worker() const
{
    return m_worker;
}

bool MeterSession::stopWorker()
{
    QThread *thread = m_thread;
    MyThread *worker = m_worker;
    if (!thread || !thread->isRunning())
        return false;
    // The session forgets both now: the thread deletes itself and the worker
    // once it has finished.
    m_thread = nullptr;
    m_worker = nullptr;
    if (worker)
        worker->stop();
    thread->quit();
    if (m_lockDepth > 0) {
        // This thread holds the lock (a message box under the lock is open):
        // the worker waits for it and cannot read any more; it ends as soon
        // as the lock is released. Waiting here would never end.
        return false;
    }
    const bool finished = thread->wait();
    if (finished)
        MyThread::noteJoined(thread);
    return finished;
}

// ---- record download ---------------------------------------------------------

bool MeterSession::startDownload(int count, const MeterData &header)
{
    if (!m_commands || isDownloading || count <= 0)
        return false;
    m_recordCount = qMin(count, MeterRecord::kMaxRecords);
    m_header = header;
    m_header.records.clear();
    m_header.numbers.clear();
    m_cancelRequested = false;
    m_asked = MeterDownload::firstRound(m_recordCount);
    receiveBuffer.clear();
    isDownloading = true;

    // All requests go out at once; the worker, no longer paused, collects
    // the answers into receiveBuffer.
    if (!MeterDownload(m_commands->link()).sendRequests(m_recordCount)) {
        // sendFrame has said why. An instrument being unplugged fails the
        // requests after those it took; its removal then ends the download
        // with the records that arrived.
        CLinker *link = m_commands->link()->link();
        if (!isDownloading || !link || !link->deviceRemoved()) {
            receiveBuffer.clear();
            isDownloading = false;
            return false;
        }
    }
    m_progressTimer.start(kProgressTickMs);
    m_downloadClock.restart();
    return true;
}

void MeterSession::updateProgress()
{
    if (!isDownloading) {
        m_progressTimer.stop();
        return;
    }
    if (m_lockDepth > 0)
        return; // a message box under the lock is open; come back next tick
    const MeterDownload::Collected now = collected();
    if (settle(now))
        return;
    if (!isDownloading)
        return;
    if (m_cancelRequested)
        finishDownload(collected(), Outcome::Cancelled);
    else if (m_downloadClock.elapsed() >= kDownloadLimitMs)
        finishDownload(collected(), Outcome::TimedOut);
    else
        emit progress(now.bytes(), MeterDownload::expectedBytes(m_recordCount));
}

MeterDownload::Collected MeterSession::collected() const
{
    return MeterDownload::collect(receiveBuffer, m_asked, m_recordCount);
}

bool MeterSession::settle(const MeterDownload::Collected &now)
{
    if (now.complete()) {
        finishDownload(now, Outcome::Complete);
        return true;
    }
    if (!now.settled)
        return false;
    // Every request has its outcome and some answers were wrong: those
    // records are asked once more, while the worker goes on collecting.
    m_asked.append(now.again);
    if (MeterDownload(m_commands->link()).sendRequests(now.again))
        return false;
    // sendFrame has said why; an instrument being unplugged is the removal's
    // to end. Otherwise the records not asked again stay missing.
    CLinker *link = m_commands->link()->link();
    if (isDownloading && !(link && link->deviceRemoved())) {
        finishDownload(collected(), Outcome::Complete);
        return true;
    }
    return false;
}

bool MeterSession::instrumentRemoved()
{
    if (!isDownloading)
        return false;
    // The stopped worker's last pass may still be on its way here.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (!isDownloading)
        return false; // that pass completed it: nothing was cut short
    finishDownload(collected(), Outcome::Removed);
    return true;
}

void MeterSession::finishDownload(const MeterDownload::Collected &collected, Outcome outcome)
{
    // Stop the timer before anyone shows a message box, whose event loop
    // would otherwise deliver further ticks.
    m_progressTimer.stop();
    // Every record whose answer was whole and right is kept, numbered as the
    // instrument numbers it.
    MeterData data = m_header;
    for (auto it = collected.answers.cbegin(); it != collected.answers.cend(); ++it) {
        MeterReading reading;
        if (!MeterRecord::decodeAnswer(it.value(), &reading))
            continue;
        data.records << reading;
        data.numbers << it.key() + 1;
    }
    QList<int> missing;
    for (int k : collected.missing(m_recordCount))
        missing << k + 1;
    // What else came in the download's stream (a probe notice) is lost with
    // the buffer, and so is the rest of the worker's pass still on its way.
    receiveBuffer.clear();
    m_dropRestOfPass = m_passOpen;
    isDownloading = false;
    emit finished(outcome, data, missing);
}

// ---- the worker's bytes --------------------------------------------------------

void MeterSession::takeBytes(const QByteArray &bytes)
{
    m_passOpen = true;
    if (m_dropRestOfPass)
        return;
    receiveBuffer.append(bytes);
    if (isDownloading) {
        // The download ends with its last answer, not at the next tick, and
        // asks again as soon as the round is settled.
        if (m_lockDepth == 0)
            settle(collected());
        return;
    }
    if (m_lockDepth > 0) {
        // Delivered inside a message box shown under the lock: handling a
        // notice now would talk to the instrument in the middle of another
        // exchange. Look again once the lock is released.
        m_probeScanPending = true;
        return;
    }
    scanProbeNotices();
}

void MeterSession::scanProbeNotices()
{
    if (isDownloading)
        return;
    switch (MeterRecord::findProbeNotice(receiveBuffer)) {
    case MeterRecord::ProbeNotice::Plugged:
        receiveBuffer.clear();
        emit probePlugged();
        break;
    case MeterRecord::ProbeNotice::Pulled:
        receiveBuffer.clear();
        emit probePulled();
        break;
    case MeterRecord::ProbeNotice::None:
        break;
    }
}
