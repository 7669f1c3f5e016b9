#include "app/archivekeeper.h"

#include "app/archiveconnectiondialog.h"
#include "archive/archive.h"
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
    });
    dialog->open();
    return dialog;
}

void ArchiveKeeper::retranslate()
{
    m_button->setText(tr("Archive"));
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
    // call queued to a deleted object is dropped.
    m_writer.start([this, where, download] {
        Archive archive;
        QString error;
        if (!archive.open(where, &error) ||
            !archive.importMeasurement(download, QStringLiteral("download"), nullptr, &error))
            QMetaObject::invokeMethod(this, [this, error] { tell(error); }, Qt::QueuedConnection);
    });
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
