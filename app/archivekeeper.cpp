#include "app/archivekeeper.h"

#include "app/archiveconnectiondialog.h"
#include "archive/archive.h"
#include "archive/archivequeue.h"
#include "files/measurementfile.h"
#include "files/privatefile.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "meter/firstpageformeter.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QSqlDatabase>
#include <QToolButton>

namespace {

// The writer of the window's keeper. The application's end waits for it: a
// program that ends without leaving an event loop (no aboutToQuit) would
// otherwise tear Qt down under an import still running.
QThreadPool *liveWriter = nullptr;

void finishArchiving()
{
    if (liveWriter)
        liveWriter->waitForDone();
}

// The window's settings file (see app/language.cpp).
QSettings windowSettings()
{
    return QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"));
}

} // namespace

ArchiveKeeper::ArchiveKeeper(QWidget *window) : QObject(window), m_window(window)
{
    m_button = new QToolButton(window);
    m_button->setObjectName(QStringLiteral("archiveButton"));
    m_button->setPopupMode(QToolButton::InstantPopup);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setMinimumSize(100, 35);
    auto *menu = new QMenu(m_button);
    m_history = menu->addAction(QString());
    m_automatic = menu->addAction(QString());
    m_automatic->setCheckable(true);
    m_automatic->setChecked(automatic());
    m_choose = menu->addAction(QString());
    m_button->setMenu(menu);
    connect(m_automatic, &QAction::toggled, this, [](bool on) { setAutomatic(on); });
    connect(m_history, &QAction::triggered, this, &ArchiveKeeper::historyRequested);
    connect(m_choose, &QAction::triggered, this, &ArchiveKeeper::chooseConnection);
    retranslate();
    m_writer.setMaxThreadCount(1);
    // A download handed over just before the program ends is still archived
    // (the routine is registered with the first download, see keep()).
    liveWriter = &m_writer;
    sendQueued();
}

ArchiveKeeper::~ArchiveKeeper()
{
    m_writer.waitForDone();
    if (liveWriter == &m_writer)
        liveWriter = nullptr;
}

bool ArchiveKeeper::automatic()
{
    return windowSettings().value(QStringLiteral("archive/automatic"), true).toBool();
}

void ArchiveKeeper::setAutomatic(bool on)
{
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("archive/automatic"), on);
}

QString ArchiveKeeper::connection()
{
    return windowSettings().value(QStringLiteral("archive/connection")).toString();
}

bool ArchiveKeeper::setConnection(const QString &connection, QString *error)
{
    QSettings settings = windowSettings();
    // The settings name a server from now on: the file becomes its owner's
    // alone before the address is written (QSettings keeps the mode of the
    // file it replaces), and a password never goes in.
    const QString file = settings.fileName();
    QString why;
    if (!PrivateFile::makeFolder(QFileInfo(file).absolutePath(), &why) ||
        !PrivateFile::create(file, &why) || !PrivateFile::restrict(file, &why)) {
        if (error)
            *error = why;
        return false;
    }
    settings.setValue(QStringLiteral("archive/connection"), Archive::keepable(connection));
    settings.sync();
    return true;
}

ArchiveConnectionDialog *ArchiveKeeper::chooseConnection()
{
    auto *dialog = new ArchiveConnectionDialog(connection(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const QString chosen = Archive::keepable(dialog->connection());
        QString error;
        if (!setConnection(chosen, &error)) {
            UiSeam::warning(m_window, tr("Archive"), error);
            return;
        }
        emit connectionChanged(chosen);
        sendQueued();
    });
    dialog->open();
    return dialog;
}

void ArchiveKeeper::retranslate()
{
    showWaiting();
    m_history->setText(tr("History..."));
    m_automatic->setText(tr("Archive every download"));
    m_choose->setText(tr("Archive connection..."));
}

void ArchiveKeeper::watch(FirstPageForLogger *logger)
{
    m_logger = logger;
    connect(logger->session(), &LoggerSession::finished, this,
            [this](LoggerSession::Outcome outcome) { loggerFinished(outcome); });
}

void ArchiveKeeper::watch(FirstPageForMeter *meter)
{
    m_meter = meter;
    connect(meter->session(), &MeterSession::finished, this,
            [this](MeterSession::Outcome outcome, const MeterData &records) {
                meterFinished(outcome, records);
            });
}

void ArchiveKeeper::loggerFinished(LoggerSession::Outcome outcome)
{
    if (outcome != LoggerSession::Outcome::Complete || !automatic() || !m_logger)
        return;
    Measurement download;
    download.family = Measurement::Family::Logger;
    download.logger.instrument = m_logger->dataInstrument();
    download.logger.runs = m_logger->session()->runs();
    if (!download.logger.runs.isEmpty())
        keep(download);
}

void ArchiveKeeper::meterFinished(MeterSession::Outcome outcome, const MeterData &records)
{
    if (outcome != MeterSession::Outcome::Complete || !automatic() || records.records.isEmpty())
        return;
    // The records as the page shows and saves them, with the instrument of
    // its device fields (the page takes the signal first).
    const MeterData &shown = m_meter ? m_meter->recordExport : records;
    Measurement download;
    download.family = Measurement::Family::Meter;
    download.meter = shown.records.size() == records.records.size() ? shown : records;
    keep(download);
}

void ArchiveKeeper::keep(const Measurement &download)
{
    const QString where = connection();
    // Qt SQL drops every connection in an end-of-program routine of its own,
    // registered when its driver list is first used. Routines run last
    // registered first, so ours is registered after it: the writer finishes
    // before its connection is taken away (it otherwise failed, leaked the
    // database or crashed inside SQLite when a job was still running).
    static const bool waitsAtTheEnd = [] {
        QSqlDatabase::drivers();
        qAddPostRoutine(finishArchiving);
        return true;
    }();
    Q_UNUSED(waitsAtTheEnd)
    // The keeper outlives its jobs (its destructor waits for them), and a
    // call queued to a deleted object is dropped. What waits in the queue
    // goes first.
    m_writer.start([this, where, download] {
        const ArchiveQueue::Outcome o = ArchiveQueue::deliver(where, &download);
        const int waiting = o.waiting.runs + o.waiting.records;
        const bool queued = o.queued;
        const QString error = o.error;
        const bool archived = o.archived;
        QMetaObject::invokeMethod(
            this,
            [this, archived, queued, error, waiting] {
                m_waitingWhy = archived ? QString() : error;
                if (!archived)
                    told(queued, error, waiting);
                m_waiting = waiting;
                showWaiting();
            },
            Qt::QueuedConnection);
    });
}

void ArchiveKeeper::sendQueued()
{
    const QString where = connection();
    m_writer.start([this, where] {
        // Nothing waits (the usual start): the archive is not even opened.
        ArchiveQueue::Outcome o;
        if (ArchiveQueue(where).count().downloads > 0)
            o = ArchiveQueue::deliver(where, nullptr);
        const int waiting = o.waiting.runs + o.waiting.records;
        const QString error = o.error;
        QMetaObject::invokeMethod(
            this,
            [this, waiting, error] {
                m_waiting = waiting;
                m_waitingWhy = error;
                showWaiting();
            },
            Qt::QueuedConnection);
    });
}

void ArchiveKeeper::showWaiting()
{
    m_button->setText(m_waiting > 0 ? tr("Archive (%1 waiting)").arg(m_waiting) : tr("Archive"));
    m_button->setToolTip(
        m_waiting > 0
            ? tr("%1 runs or records wait for the archive: %2").arg(m_waiting).arg(m_waitingWhy)
            : QString());
}

void ArchiveKeeper::told(bool queued, const QString &error, int waiting)
{
    if (!queued) {
        tell(error);
        return;
    }
    UiSeam::information(m_window, tr("Archive"),
                        tr("The download was not archived: %1\nIt waits in the archive's local "
                           "queue (%2 runs or records in all) and is sent at the next download "
                           "or when the program starts. It stays on the page and can still be "
                           "saved.")
                            .arg(error)
                            .arg(waiting));
}

void ArchiveKeeper::waitUntilArchived()
{
    m_writer.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ArchiveKeeper::tell(const QString &error)
{
    UiSeam::information(m_window, tr("Archive"),
                        tr("The download was not archived: %1\nIt stays on the page and can "
                           "still be saved.")
                            .arg(error));
}
