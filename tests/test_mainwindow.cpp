// The application shell: widget tree, look and feel, language switch.
#include "app/appinit.h"
#include "app/lookandfeel.h"
#include "app/mainwindow.h"
#include "logger/firstpageforlogger.h"
#include "meter/firstpageformeter.h"

#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
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
    void dragWithCanMove();
    void escapeDoesNotCloseTheProgram();

private:
    MainWindow *window = nullptr;
};

void MainWindowTest::initTestCase()
{
    LookAndFeel::initResources();
    // The translations are built into the build directory: start there, as
    // the program does when started beside them.
    QVERIFY(QDir::setCurrent(QStringLiteral(VANTREL_BINARY_DIR)));
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
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->widget(0), static_cast<QWidget *>(window->loggerPage()));
    QCOMPARE(stack->widget(1), static_cast<QWidget *>(window->meterPage()));
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
    QTRY_VERIFY(lamp->pixmap() && !lamp->pixmap()->isNull());
    QImage shown = lamp->pixmap()->toImage();
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
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<QString>("probeMessage");
    QTest::newRow("English") << "on_btnLanguageEn_clicked" << false << "false"
                             << "No probe connection!";
    QTest::newRow("Chinese") << "on_btnLanguageZh_clicked" << true << "true"
                             << QString::fromUtf8("未连接探头！");
}

void MainWindowTest::languageSwitch()
{
    QFETCH(QString, button);
    QFETCH(bool, chinese);
    QFETCH(QString, trace);
    QFETCH(QString, probeMessage);
    traces.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    QVERIFY(QMetaObject::invokeMethod(window, button.toLatin1().constData()));
    qInstallMessageHandler(previous);
    QCOMPARE(window->loggerPage()->chineseLayout, chinese);
    QCOMPARE(window->meterPage()->chineseLayout, chinese);
    QCOMPARE(traces, QStringList{trace});
    QCOMPARE(QCoreApplication::translate("MainWindow", "No probe connection!"), probeMessage);
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
