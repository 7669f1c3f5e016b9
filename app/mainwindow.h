#pragma once

#include "app/language.h"
#include "protocol/instrumentcommands.h"
#include "protocol/instrumentlink.h"

#include <QByteArray>
#include <QDialog>
#include <QTranslator>

#include <functional>
#include <memory>

class ArchiveKeeper;
class CLinker;
class HistoryDialog;
struct Measurement;
class DeviceWatcher;
class FirstPageForLogger;
class FirstPageForMeter;
class UserInputBlocker;

namespace Ui {
class MainWindow;
}

// The program's only top-level window and the owner of the instrument link:
// link lamp and language buttons above the stack of the two family pages.
// It owns the frame exchange over that link and the commands, and hands them
// to the pages.
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Family { None, Meter, Logger };

    // Creates and opens a link to the instrument (vendor, product), or returns
    // nullptr when none could be opened. Chosen by the entry point: real HID
    // devices, or the simulator.
    using LinkOpener = std::function<CLinker *(quint16 vendorId, quint16 productId)>;
    static void setLinkOpener(LinkOpener opener);
    // The source of device-change notices, owned by the caller.
    static void setDeviceWatcher(DeviceWatcher *watcher);

    static MainWindow *instance();
    ~MainWindow() override;

    bool isLinkOpen() const;
    CLinker *link() const { return link_; }
    InstrumentLink *instrumentLink() { return &instrument_; }
    InstrumentCommands *commands() { return &commands_; }
    Family currentFamily() const { return currentFamily_; }
    // The Meter page, made when first needed (a Meter recognised, a Meter
    // file opened): start-up builds only the page it shows.
    FirstPageForMeter *meterPage();
    FirstPageForLogger *loggerPage() const { return loggerPage_; }

    // Appends the crc16 trailer to frame and writes it; the link's result, or
    // -1 without an open link.
    int sendFrame(QByteArray &frame, int timeoutMs);
    // Reads an answer into buffer; its length when accepted, 0 or the link's
    // result when nothing usable arrived, -1 when the answer failed the checks
    // or there is no link.
    int receiveFrame(QByteArray &buffer, int timeoutMs, int expectedLength, bool verify);

    void recognizeInstrument();
    // True once the start-up step has run: device notices are watched and the
    // first opening of the instrument has been tried.
    bool hasStarted() const { return started_; }

    // Told by a second copy of the program before it ends, in the language the
    // window was last shown in (installed by the caller).
    static void showAlreadyRunning();

    // Seven rules of the window's own style additions, back to back.
    static QString windowStyleAdditions();

    // The prefix of the message by which a second start hands its file to
    // the running program ("open:" followed by the absolute path).
    static QString openMessage(const QString &fileName);

public slots:
    // Opens a saved measurement file (JSON, CSV, .xls, .xlsx) and shows it in
    // its family's page, offline; says what is wrong when it cannot. False
    // when nothing was opened.
    bool openMeasurementFile(const QString &fileName);
    // Shows a measurement in its family's page, offline; name says where it
    // came from, in the language in use. False when nothing was shown.
    bool showMeasurement(const Measurement &measurement, const std::function<QString()> &name);
    // The History view of the archive, read afresh.
    HistoryDialog *showHistory();
    ArchiveKeeper *archiveKeeper() const { return archive_; }
    // The same once the window has started (the file named on the command
    // line: after any instrument plugged in has been recognised).
    void openWhenStarted(const QString &fileName);

private slots:
    void initForm();
    void initusbport();
    void on_btnLanguageEn_clicked();
    void on_btnLanguageZh_clicked();
    void handleAppMessage(const QString &message);
    bool OpenUSB();
    void CloseUSB();
    void onDeviceArrival();
    void onDeviceRemoveComplete();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Measurement files dropped onto the window open as "Open" does.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The page of the connected instrument again, after a file of the other
    // family was shown; offerBack shows or hides the way back on both pages.
    void backToInstrument();
    void offerBack(bool offer);
    explicit MainWindow(QWidget *parent = nullptr);
    void setLamp(bool on);
    // Loads and installs the language's translation and remembers the choice;
    // nothing changes when its file cannot be found.
    void switchLanguage(Language::Choice language);
    // The language chosen last, Chinese before any choice.
    void startInRememberedLanguage();
    // Closes the link when its device has gone (a removal notice, or a read
    // that found it gone); the page tells the user.
    void closeRemovedLink();
    void makeMeterPage();

    Ui::MainWindow *ui = nullptr;
    FirstPageForMeter *meterPage_ = nullptr;
    FirstPageForLogger *loggerPage_ = nullptr;
    ArchiveKeeper *archive_ = nullptr;
    HistoryDialog *history_ = nullptr;
    CLinker *link_ = nullptr;
    InstrumentLink instrument_;
    InstrumentCommands commands_{&instrument_};
    Family currentFamily_ = Family::None;
    // CloseUSB runs for a removal notice (the user is told) rather than on
    // request.
    bool removalNotice_ = false;
    bool painted_ = false;
    bool started_ = false;
    int paintWaits_ = 0;
    std::unique_ptr<UserInputBlocker> waitBlocker_;
    int waitDepth_ = 0;
    bool removalPending_ = false;
    QString pendingFile_;
    QTranslator translator;
    QTranslator qtTranslator; // Qt's own texts, installed for Chinese only
    // The layout of the language chosen last, for a page made after the
    // choice; languageChosen_: a language has been chosen since the start.
    bool chineseLayout_ = false;
    bool languageChosen_ = false;

    friend class MainWindowTest;
};
