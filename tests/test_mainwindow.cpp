// The application shell: widget tree, look and feel, language switch.
#include "app/appinit.h"
#include "gui/commandfailures.h"
#include "app/language.h"
#include "app/lookandfeel.h"
#include "app/mainwindow.h"
#include "gui/uiseam.h"
#include "logger/firstpageforlogger.h"
#include "meter/firstpageformeter.h"
#include "testenv.h"

#include <QtTest>

#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStackedWidget>

namespace {
QStringList traces;
void collect(QtMsgType, const QMessageLogContext &, const QString &msg) { traces << msg; }
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void widgetTree();
    void lampOffWithoutInstrument();
    void windowStyleAdditions();
    void styleSheetContract();
    void styleSheetImagesExist();
    void languageSwitch_data();
    void languageSwitch();
    void missingTranslationChangesNothing();
    void dialogTextsFollowLanguage_data();
    void dialogTextsFollowLanguage();
    void dragWithCanMove();
    void escapeDoesNotCloseTheProgram();

private:
    MainWindow *window = nullptr;
    QTemporaryDir config; // the user's settings, fresh for every run
};

void MainWindowTest::initTestCase()
{
    LookAndFeel::initResources();
    // The translations are built into the build directory: start there, as
    // the program does when started beside them.
    QVERIFY(QDir::setCurrent(QStringLiteral(VANTREL_BINARY_DIR)));
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    window = MainWindow::instance();
    QVERIFY(window);
}

void MainWindowTest::widgetTree()
{
    QCOMPARE(window->objectName(), QString("MainWindow"));
    QCOMPARE(window->size(), QSize(1333, 688));
    QVERIFY(window->isSizeGripEnabled());
    const Qt::WindowFlags buttons =
        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    QCOMPARE(window->windowFlags() & buttons, buttons);
    QVERIFY(window->windowType() != Qt::Dialog); // the form's dialog type is gone
    auto *stack = window->findChild<QStackedWidget *>("stackedWidget");
    QVERIFY(stack);
    // The Meter page is made when first asked for, second in the stack.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->widget(0), static_cast<QWidget *>(window->loggerPage()));
    FirstPageForMeter *meter = window->meterPage();
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->widget(1), static_cast<QWidget *>(meter));
    // In the language the window started in: Chinese before any choice.
    QVERIFY(window->loggerPage()->chineseLayout);
    QVERIFY(meter->chineseLayout);
    QCOMPARE(stack->currentIndex(), 0);
    auto *en = window->findChild<QPushButton *>("btnLanguageEn");
    auto *zh = window->findChild<QPushButton *>("btnLanguageZh");
    QVERIFY(en && zh);
    QCOMPARE(en->minimumSize(), QSize(100, 35));
    QCOMPARE(en->focusPolicy(), Qt::NoFocus);
    QCOMPARE(zh->parentWidget()->objectName(), QString("widgetTitle"));
    auto *lamp = window->findChild<QLabel *>("LinkStatusLabel");
    QVERIFY(lamp);
    QCOMPARE(lamp->minimumWidth(), 96);
    QCOMPARE(lamp->maximumHeight(), 30);
    QCOMPARE(window->windowTitle(), QString());
    QCOMPARE(window->currentFamily(), MainWindow::Family::None);
}

void MainWindowTest::lampOffWithoutInstrument()
{
    auto *lamp = window->findChild<QLabel *>("LinkStatusLabel");
    QTRY_VERIFY(!lamp->pixmap(Qt::ReturnByValue).isNull());
    QImage shown = lamp->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(shown, QPixmap(":/image/led_off.png").toImage());
    QVERIFY(shown != QPixmap(":/image/led_on.png").toImage());
    QCOMPARE(lamp->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QVERIFY(!window->isLinkOpen());
    QCOMPARE(window->findChild<QStackedWidget *>()->currentIndex(), 0);
}

void MainWindowTest::windowStyleAdditions()
{
    const QString qss = MainWindow::windowStyleAdditions();
    QCOMPARE(window->styleSheet(), qss);
    // Seven rule groups back to back: nothing between a closing brace and the next selector.
    QVERIFY(!qss.contains(QRegularExpression("\\}\\s")));
    QVERIFY(qss.startsWith("QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,"
                           "QDateTimeEdit::drop-down{width:20px;}QComboBox::down-arrow,"));
    QVERIFY(qss.contains("::down-arrow{width:10px;height:10px;right:2px;}QRadioButton::indicator"
                         "{width:15px;height:15px;}QCheckBox::indicator,"));
    QVERIFY(qss.contains("QListWidget::indicator{width:13px;height:13px;}QScrollBar:horizontal"
                         "{min-height:12px;border-radius:6px;}"));
    QVERIFY(qss.contains("{border-width:0px 0px 3px 0px;}QWidget#widgetleft"));
    QVERIFY(qss.endsWith("QWidget#widgetleft>QToolButton:pressed{border-width:0px 0px 0px 3px;}"));
    QCOMPARE(qss.count('{'), 10);
}

void MainWindowTest::styleSheetContract()
{
    QString qss, colour;
    QVERIFY(LookAndFeel::loadStyleSheet(":/qss/psblue.css", &qss, &colour));
    QVERIFY(qss.startsWith("QPalette{background:#FFFFFF;}\r\n"));
    QCOMPARE(colour, QString("#FFFFFF"));
    QVERIFY(QColor(colour).isValid());
    // Every line ends in CR LF.
    QCOMPARE(qss.count('\n'), qss.count("\r\n"));
    QCOMPARE(qss.count('{'), qss.count('}'));
    QString missingQss, missingColour;
    QVERIFY(!LookAndFeel::loadStyleSheet(":/qss/none.css", &missingQss, &missingColour));
}

void MainWindowTest::styleSheetImagesExist()
{
    QString qss, colour;
    QVERIFY(LookAndFeel::loadStyleSheet(":/qss/psblue.css", &qss, &colour));
    QRegularExpression url("url\\((:/[^)]+)\\)");
    int images = 0;
    for (auto it = url.globalMatch(qss); it.hasNext();) {
        const QString path = it.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        ++images;
    }
    QVERIFY(images >= 16);
    QVERIFY(!QImage(":/image/led_on.png").isNull());
}

void MainWindowTest::languageSwitch_data()
{
    // button: the slot clicked, or "start" for the window's start, which
    // finds "remembered" in the user's settings ("" for nothing).
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("probeMessage");
    QTest::newRow("English") << "on_btnLanguageEn_clicked"
                             << "zh" << false << "false"
                             << "No probe connection!";
    QTest::newRow("Chinese") << "on_btnLanguageZh_clicked"
                             << "en" << true << "true" << QString::fromUtf8("未连接探头！");
    QTest::newRow("start after English was chosen") << "start"
                                                    << "en" << false << "false"
                                                    << "No probe connection!";
    QTest::newRow("start after Chinese was chosen")
        << "start"
        << "zh" << true << "true" << QString::fromUtf8("未连接探头！");
    QTest::newRow("first start: Chinese")
        << "start"
        << "" << true << "true" << QString::fromUtf8("未连接探头！");
}

void MainWindowTest::languageSwitch()
{
    QFETCH(QString, button);
    QFETCH(QString, remembered);
    QFETCH(bool, chinese);
    QFETCH(QString, trace);
    QFETCH(QString, probeMessage);
    // The window comes up in the other language first.
    QVERIFY(QMetaObject::invokeMethod(window, chinese ? "on_btnLanguageEn_clicked"
                                                      : "on_btnLanguageZh_clicked"));
    {
        QSettings settings("Vantrel", "Vantrel");
        if (remembered.isEmpty())
            settings.remove("language");
        else
            settings.setValue("language", remembered);
    }
    traces.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    if (button == "start")
        window->startInRememberedLanguage();
    else
        QVERIFY(QMetaObject::invokeMethod(window, button.toLatin1().constData()));
    qInstallMessageHandler(previous);
    QCOMPARE(window->loggerPage()->chineseLayout, chinese);
    QCOMPARE(window->meterPage()->chineseLayout, chinese);
    QCOMPARE(traces, QStringList{trace});
    QCOMPARE(QCoreApplication::translate("MainWindow", "No probe connection!"), probeMessage);
    // What the next start finds.
    QCOMPARE(Language::remembered(), chinese ? Language::Chinese : Language::English);
}

void MainWindowTest::missingTranslationChangesNothing()
{
    QVERIFY(QMetaObject::invokeMethod(window, "on_btnLanguageZh_clicked"));
    QVERIFY(window->loggerPage()->chineseLayout);
    QTemporaryDir empty;
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(empty.path()));
    traces.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    QVERIFY(QMetaObject::invokeMethod(window, "on_btnLanguageEn_clicked"));
    qInstallMessageHandler(previous);
    QDir::setCurrent(home);
    QVERIFY(traces.isEmpty());
    QVERIFY(window->loggerPage()->chineseLayout);
    QCOMPARE(QCoreApplication::translate("MainWindow", "No probe connection!"),
             QString::fromUtf8("未连接探头！"));
}

namespace {
const CommandFailureTexts *const allCommandTexts[] = {
    &CommandTexts::readConfiguration, &CommandTexts::writeConfiguration,
    &CommandTexts::readClock,         &CommandTexts::writeClock,
    &CommandTexts::productionInfo,    &CommandTexts::calibrationDate,
    &CommandTexts::softwareVersion};

bool hasChinese(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff)
            return true;
    }
    return false;
}
} // namespace

void MainWindowTest::dialogTextsFollowLanguage_data()
{
    // "qt": Qt's own dialog texts (message-box buttons Yes, No, Save, Cancel;
    // the file dialog's question before replacing a file); "failures": the
    // title and text of the first instrument failure message; "second copy":
    // the title and text a second copy shows before it ends.
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Chinese: Qt's dialogs")
        << "on_btnLanguageZh_clicked" << "qt"
        << QStringList{QString::fromUtf8("是(&Y)"), QString::fromUtf8("否(&N)"),
                       QString::fromUtf8("保存"), QString::fromUtf8("取消"),
                       QString::fromUtf8("%1 已存在。\n您想要替换它吗？")};
    QTest::newRow("English: Qt's dialogs")
        << "on_btnLanguageEn_clicked" << "qt"
        << QStringList{"&Yes", "&No", "Save", "Cancel",
                       "%1 already exists.\nDo you want to replace it?"};
    QTest::newRow("English: failure messages")
        << "on_btnLanguageEn_clicked"
        << "failures"
        << QStringList{"information",
                       "Reading the instrument settings: the request could not be sent!"};
    QTest::newRow("Chinese: failure messages as written")
        << "on_btnLanguageZh_clicked" << "failures"
        << QStringList{QString::fromUtf8("提示"),
                       QString::fromUtf8("读取主机基本配置信息写端口失败！")};
    QTest::newRow("English: second copy")
        << "on_btnLanguageEn_clicked"
        << "second copy" << QStringList{"Warn", "Device already opened."};
    QTest::newRow("Chinese: second copy")
        << "on_btnLanguageZh_clicked"
        << "second copy"
        << QStringList{QString::fromUtf8("警告"), QString::fromUtf8("设备已打开。")};
}

void MainWindowTest::dialogTextsFollowLanguage()
{
    QFETCH(QString, button);
    QFETCH(QString, kind);
    QFETCH(QStringList, expected);
    const bool chinese = button.endsWith(QLatin1String("Zh_clicked"));
    if (kind == QLatin1String("qt") && chinese
        && !QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath)
                          + QStringLiteral("/qtbase_zh_CN.qm")))
        VANTREL_SKIP_UNLESS_CI("Qt's Chinese catalog qtbase_zh_CN.qm is not installed");
    QVERIFY(QMetaObject::invokeMethod(window, button.toLatin1().constData()));
    QCOMPARE(window->loggerPage()->chineseLayout, chinese);

    if (kind == QLatin1String("qt")) {
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Save
                            | QMessageBox::Cancel);
        const QStringList shown{box.button(QMessageBox::Yes)->text(),
                                box.button(QMessageBox::No)->text(),
                                box.button(QMessageBox::Save)->text(),
                                box.button(QMessageBox::Cancel)->text(),
                                QCoreApplication::translate(
                                    "QFileDialog", "%1 already exists.\nDo you want to replace it?")};
        QCOMPARE(shown, expected);
        return;
    }

    DialogRecorder dialogs;
    if (kind == QLatin1String("second copy")) {
        MainWindow::showAlreadyRunning();
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(!dialogs.shown.first().hadParent);
        QCOMPARE((QStringList{dialogs.shown.first().title, dialogs.shown.first().text}), expected);
        return;
    }

    // Every failure message of every command, as the user sees it.
    int messages = 0;
    for (const CommandFailureTexts *texts : allCommandTexts) {
        const char *sources[] = {texts->notSent, texts->noAnswer, texts->badAnswer,
                                 texts->badBlock};
        for (int result = -1; result >= -4; --result) {
            dialogs.clear();
            CommandTexts::showFailure(nullptr, result, *texts);
            const char *source = sources[-result - 1];
            QCOMPARE(dialogs.shown.size(), source ? 1 : 0);
            if (!source)
                continue;
            ++messages;
            const QString text = dialogs.shown.first().text;
            if (chinese)
                QCOMPARE(text, QString::fromUtf8(source));
            else
                QVERIFY2(!text.isEmpty() && !hasChinese(text), qPrintable(text));
            if (messages == 1)
                QCOMPARE((QStringList{dialogs.shown.first().title, text}), expected);
        }
    }
    QCOMPARE(messages, 24);
}

void MainWindowTest::dragWithCanMove()
{
    AppInit::instance()->start();
    QCOMPARE(AppInit::instance(), AppInit::instance());
    QWidget plain;
    plain.move(100, 100);
    QWidget movable;
    movable.setProperty("canMove", true);
    movable.move(100, 100);
    for (QWidget *w : {&plain, &movable}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(105, 105),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(145, 125), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(145, 125),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &move);
        QApplication::sendEvent(w, &release);
    }
    QCOMPARE(plain.pos(), QPoint(100, 100));
    QCOMPARE(movable.pos(), QPoint(140, 120));
}

void MainWindowTest::escapeDoesNotCloseTheProgram()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QCOMPARE(window->result(), 0);
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
