#include "app/mainwindow.h"

#include "gui/commandfailures.h"
#include "app/language.h"
#include "app/lookandfeel.h"
#include "app/archivekeeper.h"
#include "app/historydialog.h"
#include "gui/openedfilebar.h"
#include "gui/uiseam.h"
#include "gui/userinputblocker.h"
#include "files/measurementreader.h"
#include "link/clinker.h"
#include "link/devicewatcher.h"
#include "logger/firstpageforlogger.h"
#include "meter/firstpageformeter.h"
#include "protocol/frame.h"
#include "protocol/modeltable.h"
#include "protocol/recognition.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPixmap>
#include <QToolButton>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {
MainWindow::LinkOpener linkOpener;
DeviceWatcher *deviceWatcher = nullptr;
constexpr quint16 kVendorId = 0x2047;
constexpr quint16 kProductId = 0x0301;
} // namespace

void MainWindow::setLinkOpener(LinkOpener opener) { linkOpener = std::move(opener); }

void MainWindow::setDeviceWatcher(DeviceWatcher *watcher) { deviceWatcher = watcher; }

MainWindow *MainWindow::instance()
{
    // Built on the GUI thread by the entry point before any other thread asks.
    static MainWindow *window = new MainWindow(nullptr);
    return window;
}

MainWindow::MainWindow(QWidget *parent) : QDialog(parent), ui(new Ui::MainWindow)
{
    LookAndFeel::initResources();
    ui->setupUi(this); // texts, empty title, stack at -1, slots bound by name
    initForm();
    loggerPage_->setInstrument(&commands_);
    // While a command waits for its answer the window keeps painting, with a
    // busy cursor; input in the meantime is dropped.
    instrument_.busy = [this](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::BusyCursor);
            if (waitDepth_++ == 0)
                waitBlocker_ = std::make_unique<UserInputBlocker>();
        } else {
            if (--waitDepth_ == 0) {
                waitBlocker_.reset();
                if (removalPending_) {
                    removalPending_ = false;
                    QTimer::singleShot(0, this, &MainWindow::onDeviceRemoveComplete);
                }
            }
            QApplication::restoreOverrideCursor();
        }
    };
    instrument_.waiting = [] { UserInputBlocker::letPaint(); };
    connect(&instrument_, &InstrumentLink::sendFailed, this,
            [this] { UiSeam::information(this, tr("information"), tr("Send data Error！")); });
    connect(&instrument_, &InstrumentLink::formatError, this,
            [this] { UiSeam::information(this, tr("information"), tr("Message format error！")); });
    // A read or write that found the instrument gone: its removal is handled
    // now, as for the device watcher's notice, and not only once that notice
    // comes.
    connect(
        &instrument_, &InstrumentLink::deviceLost, this,
        [this] {
            if (waitDepth_ > 0)
                removalPending_ = true;
            else
                closeRemovedLink();
        },
        Qt::QueuedConnection);
    startInRememberedLanguage();
    QTimer::singleShot(10, this, &MainWindow::initusbport);
}

MainWindow::~MainWindow()
{
    delete ui;
}

QString MainWindow::windowStyleAdditions()
{
    QStringList qss;
    qss << QString("QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,"
                   "QDateTimeEdit::drop-down{width:%1px;}")
               .arg(20);
    qss << QString("QComboBox::down-arrow,QDateEdit[calendarPopup=\"true\"]::down-arrow,"
                   "QTimeEdit[calendarPopup=\"true\"]::down-arrow,"
                   "QDateTimeEdit[calendarPopup=\"true\"]::down-arrow"
                   "{width:%1px;height:%1px;right:2px;}")
               .arg(10);
    qss << QString("QRadioButton::indicator{width:%1px;height:%1px;}").arg(15);
    qss << QString("QCheckBox::indicator,QGroupBox::indicator,QTreeWidget::indicator,"
                   "QListWidget::indicator{width:%1px;height:%1px;}")
               .arg(13);
    qss << QString("QScrollBar:horizontal{min-height:%1px;border-radius:%2px;}"
                   "QScrollBar::handle:horizontal{border-radius:%2px;}"
                   "QScrollBar:vertical{min-width:%1px;border-radius:%2px;}"
                   "QScrollBar::handle:vertical{border-radius:%2px;}")
               .arg(12)
               .arg(6);
    qss << QString("QWidget#widget_top>QToolButton:pressed,QWidget#widget_top>QToolButton:hover,"
                   "QWidget#widget_top>QToolButton:checked,QWidget#widget_top>QLabel:hover"
                   "{border-width:0px 0px %1px 0px;}")
               .arg(3);
    qss << QString("QWidget#widgetleft>QPushButton:checked,QWidget#widgetleft>QToolButton:checked,"
                   "QWidget#widgetleft>QPushButton:pressed,QWidget#widgetleft>QToolButton:pressed"
                   "{border-width:0px 0px 0px %1px;}")
               .arg(3);
    return qss.join(QString());
}

void MainWindow::initForm()
{
    // Flags and the window's style sheet first, and the pages made in the
    // stack that holds them: their widgets are styled once as they are made,
    // not again for each change of the window or of their parent.
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setStyleSheet(windowStyleAdditions());
    loggerPage_ = new FirstPageForLogger(ui->stackedWidget);
    ui->stackedWidget->addWidget(loggerPage_);
    connect(loggerPage_->openedFileBar(), &OpenedFileBar::openRequested, this,
            &MainWindow::openMeasurementFile);
    connect(loggerPage_->openedFileBar(), &OpenedFileBar::backRequested, this,
            &MainWindow::backToInstrument);
    ui->stackedWidget->setCurrentWidget(loggerPage_);
    archive_ = new ArchiveKeeper(this);
    ui->gridLayout_9->addWidget(archive_->button(), 0, 2);
    archive_->watch(loggerPage_);
    connect(archive_, &ArchiveKeeper::historyRequested, this, &MainWindow::showHistory);
    connect(archive_, &ArchiveKeeper::connectionChanged, this, [this](const QString &connection) {
        if (history_) {
            history_->setConnection(connection);
            if (history_->isVisible())
                history_->refresh();
        }
    });
    setAcceptDrops(true);
}

FirstPageForMeter *MainWindow::meterPage()
{
    if (!meterPage_)
        makeMeterPage();
    return meterPage_;
}

// Made second in the stack (index 1), talking to the instrument, in the
// language chosen last: as it would be had it been made at the start.
void MainWindow::makeMeterPage()
{
    meterPage_ = new FirstPageForMeter(ui->stackedWidget);
    ui->stackedWidget->addWidget(meterPage_);
    connect(meterPage_->openedFileBar(), &OpenedFileBar::openRequested, this,
            &MainWindow::openMeasurementFile);
    connect(meterPage_->openedFileBar(), &OpenedFileBar::backRequested, this,
            &MainWindow::backToInstrument);
    archive_->watch(meterPage_);
    meterPage_->setInstrument(&commands_);
    if (languageChosen_) {
        meterPage_->chineseLayout = chineseLayout_;
        meterPage_->languageChange();
    }
}

HistoryDialog *MainWindow::showHistory()
{
    if (!history_) {
        history_ = new HistoryDialog(ArchiveKeeper::connection(), this);
        connect(history_, &HistoryDialog::runOpened, this,
                [this](const LoggerData &data, qint64 id) {
                    Measurement m;
                    m.family = Measurement::Family::Logger;
                    m.logger = data;
                    showMeasurement(m, [id] { return HistoryDialog::runName(id); });
                });
    }
    history_->setConnection(ArchiveKeeper::connection());
    history_->refresh();
    history_->show();
    history_->raise();
    return history_;
}

void MainWindow::setLamp(bool on)
{
    ui->LinkStatusLabel->setPixmap(QPixmap(on ? ":/image/led_on.png" : ":/image/led_off.png"));
    ui->LinkStatusLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void MainWindow::switchLanguage(Language::Choice language)
{
    if (!Language::load(translator, language))
        return;
    // Qt's own dialogs (file and print dialogs, message-box buttons) take
    // their texts from Qt's catalog of the same language; English needs none.
    qApp->removeTranslator(&qtTranslator);
    if (Language::loadQt(qtTranslator, language))
        qApp->installTranslator(&qtTranslator);
    qApp->removeTranslator(&translator);
    qApp->installTranslator(&translator);
    if (Language::remembered() != language)
        Language::remember(language);
    const bool chinese = language == Language::Chinese;
    loggerPage_->chineseLayout = chinese;
    loggerPage_->languageChange();
    chineseLayout_ = chinese;
    languageChosen_ = true;
    if (meterPage_) {
        meterPage_->chineseLayout = chinese;
        meterPage_->languageChange();
    }
    archive_->retranslate();
    qDebug() << loggerPage_->chineseLayout;
}

void MainWindow::startInRememberedLanguage()
{
    if (Language::remembered() == Language::English)
        on_btnLanguageEn_clicked();
    else
        on_btnLanguageZh_clicked();
}

void MainWindow::showAlreadyRunning()
{
    UiSeam::information(nullptr, tr("Warn"), tr("Device already opened."));
}

void MainWindow::on_btnLanguageEn_clicked()
{
    switchLanguage(Language::English);
}

void MainWindow::on_btnLanguageZh_clicked()
{
    switchLanguage(Language::Chinese);
}

void MainWindow::handleAppMessage(const QString &message)
{
    qDebug() << message;
    show();
    const QString prefix = openMessage(QString());
    if (message.startsWith(prefix))
        openMeasurementFile(message.mid(prefix.size()));
}

QString MainWindow::openMessage(const QString &fileName)
{
    return QStringLiteral("open:") + fileName;
}

bool MainWindow::openMeasurementFile(const QString &fileName)
{
    Measurement measurement;
    QString error;
    if (!MeasurementReader::read(fileName, &measurement, &error)) {
        UiSeam::information(this, tr("Open"), error);
        return false;
    }
    return showMeasurement(measurement, [fileName] { return fileName; });
}

bool MainWindow::showMeasurement(const Measurement &measurement,
                                 const std::function<QString()> &name)
{
    // The page of the file's family shows it. With an instrument of the
    // other family connected that page is offline: its commands would go to
    // an instrument that does not know them. The instrument's next
    // recognition gives it back its own page.
    const bool logger = measurement.family == Measurement::Family::Logger;
    const bool opened = logger ? loggerPage_->openMeasurement(measurement.logger, name)
                               : meterPage()->openMeasurement(measurement.meter, name());
    if (!opened)
        return false;
    const Family family = logger ? Family::Logger : Family::Meter;
    if (currentFamily_ != Family::None && currentFamily_ != family) {
        if (logger)
            loggerPage_->setInstrument(nullptr);
        else
            meterPage_->setInstrument(nullptr);
        // Its bar leads back to the instrument still connected.
        (logger ? loggerPage_->openedFileBar() : meterPage_->openedFileBar())
            ->offerBack(isLinkOpen());
    }
    ui->stackedWidget->setCurrentWidget(logger ? static_cast<QWidget *>(loggerPage_)
                                               : static_cast<QWidget *>(meterPage_));
    return true;
}

namespace {

// The local file a drag brings, or an empty text.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString fileName = droppedFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop has ended: a message box inside the drop would
    // hold the file manager's drag.
    QTimer::singleShot(0, this, [this, fileName] { openMeasurementFile(fileName); });
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // The main window is a dialog: Escape would reject it, and hiding the only
    // top-level window ends the program. Escape is not a way to quit.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool MainWindow::isLinkOpen() const { return link_ && link_->isOpen(); }

int MainWindow::sendFrame(QByteArray &frame, int timeoutMs)
{
    return instrument_.sendFrame(frame, timeoutMs);
}

int MainWindow::receiveFrame(QByteArray &buffer, int timeoutMs, int expectedLength, bool verify)
{
    return instrument_.receiveFrame(buffer, timeoutMs, expectedLength, verify);
}

void MainWindow::backToInstrument()
{
    offerBack(false);
    if (currentFamily_ == Family::Logger)
        ui->stackedWidget->setCurrentWidget(loggerPage_);
    else if (currentFamily_ == Family::Meter)
        ui->stackedWidget->setCurrentWidget(meterPage());
}

void MainWindow::offerBack(bool offer)
{
    loggerPage_->openedFileBar()->offerBack(offer);
    if (meterPage_)
        meterPage_->openedFileBar()->offerBack(offer);
}

void MainWindow::recognizeInstrument()
{
    if (!isLinkOpen())
        return;
    offerBack(false);
    // Both pages talk to the instrument again (a file of the other family
    // may have taken one of them offline); a Meter page not yet made will.
    if (meterPage_)
        meterPage_->setInstrument(&commands_);
    loggerPage_->setInstrument(&commands_);
    const Recognition found = Recognition::run(commands_);
    // An instrument pulled out in the middle: its removal tells the user.
    if (found.keyResult == InstrumentCommands::Gone ||
        found.productionResult == InstrumentCommands::Gone)
        return;
    if (found.productionResult < 0)
        CommandTexts::showFailure(nullptr, found.productionResult, CommandTexts::productionInfo);
    switch (found.outcome) {
    case Recognition::Outcome::KeyInfoFailed:
        UiSeam::information(this, tr("Warn"), tr("Read key infomation fail!"));
        return;
    case Recognition::Outcome::MeterWithoutProbe:
        UiSeam::information(this, tr("Warn"), tr("No probe connection!"));
        ui->stackedWidget->setCurrentWidget(meterPage());
        meterPage_->openThreadSlot();
        currentFamily_ = Family::Meter;
        return;
    case Recognition::Outcome::NotConfigured:
        UiSeam::information(this, tr("Warn"),
                            tr("The instrument is not configured production information!"));
        return;
    case Recognition::Outcome::ProductionInfoFailed:
        return;
    case Recognition::Outcome::Logger:
        ui->stackedWidget->setCurrentIndex(0);
        loggerPage_->loadFromInstrument();
        currentFamily_ = Family::Logger;
        qDebug("recognised: Logger");
        return;
    case Recognition::Outcome::Meter:
        ui->stackedWidget->setCurrentWidget(meterPage());
        meterPage_->openThreadSlot();
        meterPage_->readDeviceAndConfiguration();
        currentFamily_ = Family::Meter;
        qDebug("recognised: Meter");
        return;
    }
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    if (!painted_) {
        // Once the first frame is out (start-up is timed by this trace).
        QTimer::singleShot(0, this, [] { qDebug("first paint done"); });
    }
    painted_ = true;
    QDialog::paintEvent(event);
}

void MainWindow::initusbport()
{
    // The window is painted before the instrument is recognised, which can
    // take seconds with an instrument that does not answer.
    if (isVisible() && !painted_ && paintWaits_++ < 50) {
        QTimer::singleShot(20, this, &MainWindow::initusbport);
        return;
    }
    setLamp(false);
    if (deviceWatcher) {
        connect(deviceWatcher, &DeviceWatcher::deviceArrived, this, &MainWindow::onDeviceArrival,
                Qt::UniqueConnection);
        connect(deviceWatcher, &DeviceWatcher::deviceRemoveComplete, this,
                &MainWindow::onDeviceRemoveComplete, Qt::UniqueConnection);
        if (!deviceWatcher->start())
            qDebug() << "注册失败";
    } else {
        qDebug() << "注册失败";
    }
    OpenUSB();
    started_ = true;
    if (!pendingFile_.isEmpty())
        openMeasurementFile(std::exchange(pendingFile_, QString()));
}

void MainWindow::openWhenStarted(const QString &fileName)
{
    if (started_)
        openMeasurementFile(fileName);
    else
        pendingFile_ = fileName;
}

bool MainWindow::OpenUSB()
{
    if (link_)
        return false;
    CLinker *opened = linkOpener ? linkOpener(kVendorId, kProductId) : nullptr;
    if (!opened)
        return false;
    link_ = opened;
    instrument_.setLink(link_);
    setLamp(true);
    recognizeInstrument();
    return true;
}

void MainWindow::CloseUSB()
{
    if (!link_)
        return;
    if (currentFamily_ == Family::Meter)
        meterPage()->closeThreadSlot();
    link_->close();
    instrument_.setLink(nullptr);
    delete link_;
    link_ = nullptr;
    setLamp(false);
    offerBack(false); // no instrument to go back to
    // The device fields clear; what was downloaded stays on the page.
    if (currentFamily_ == Family::Meter)
        meterPage()->instrumentRemoved(removalNotice_);
    else if (currentFamily_ == Family::Logger)
        loggerPage_->instrumentRemoved(removalNotice_);
}

void MainWindow::onDeviceArrival()
{
    qDebug() << "收到事件 ";
    if (link_)
        return;
    OpenUSB();
    qDebug() << "USB_设备打开";
    qDebug() << "DBT_DEVICEARRIVAL";
}

void MainWindow::onDeviceRemoveComplete()
{
    // A removal heard while a command waits for its answer is handled once
    // the command has ended: closing the link in the middle of the exchange
    // would pull it from under the command (which fails by itself anyway).
    if (waitDepth_ > 0) {
        removalPending_ = true;
        return;
    }
    qDebug() << "收到事件 ";
    closeRemovedLink();
    qDebug() << "DBT_DEVICEREMOVECOMPLETE";
}

void MainWindow::closeRemovedLink()
{
    if (link_ && link_->deviceRemoved()) {
        removalNotice_ = true;
        CloseUSB();
        removalNotice_ = false;
        qDebug() << "USB_设备移除";
    }
}
