// The program's PNG images go to Qt's built-in reader without the image
// plugins being loaded (they cost start-up time), and read exactly as the
// built-in reader reads them; other formats and writing PNG are as before.
#include "app/lookandfeel.h"

#include <QImageReader>
#include <QtPlugin>
#include <QtTest>

Q_IMPORT_PLUGIN(PngImagePlugin)

namespace {

bool imagePluginsLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

QImage builtIn(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

class PngImageTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void readAsTheBuiltInReader_data();
    void readAsTheBuiltInReader();
    void noImagePluginLoaded();
    void otherFormatsAndWriting();

private:
    QTemporaryDir dir_;
};

void PngImageTest::initTestCase()
{
    LookAndFeel::initResources();
    QVERIFY(dir_.isValid());
    QVERIFY(!imagePluginsLoaded());
    // A file of the user's, not a resource (writing would load the plugins).
    QVERIFY(QFile::copy(QStringLiteral(":/image/led_off.png"), dir_.filePath("lamp.png")));
}

void PngImageTest::readAsTheBuiltInReader_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("style sheet image") << ":/qss/psblack/radiobutton_checked.png";
    QTest::newRow("status lamp") << ":/image/led_on.png";
    QTest::newRow("file") << dir_.filePath("lamp.png");
}

void PngImageTest::readAsTheBuiltInReader()
{
    QFETCH(QString, path);
    const QImage expected = builtIn(path);
    QVERIFY(!expected.isNull());
    QImageReader reader(path); // the format guessed, as the style sheet does
    QCOMPARE(reader.size(), expected.size());
    QCOMPARE(reader.read(), expected);
    QCOMPARE(QPixmap(path).toImage(), QPixmap::fromImage(expected).toImage());
}

void PngImageTest::noImagePluginLoaded()
{
    QVERIFY(!imagePluginsLoaded());
}

void PngImageTest::otherFormatsAndWriting()
{
    // A JPEG, also under a PNG's name: read by its plugin as before.
    QImage source(5, 3, QImage::Format_ARGB32);
    source.fill(QColor(10, 200, 30, 120));
    source.setPixelColor(4, 2, QColor(255, 0, 0, 255));
    QVERIFY(source.convertToFormat(QImage::Format_RGB32).save(dir_.filePath("a.jpg"), "jpg"));
    QVERIFY(QFile::copy(dir_.filePath("a.jpg"), dir_.filePath("jpeg.png")));
    for (const char *name : {"a.jpg", "jpeg.png"})
        QCOMPARE(QImage(dir_.filePath(name)).size(), source.size());
    QVERIFY(source.save(dir_.filePath("written.png")));
    QCOMPARE(builtIn(dir_.filePath("written.png")), source);
}

QTEST_MAIN(PngImageTest)
#include "test_pngimage.moc"
