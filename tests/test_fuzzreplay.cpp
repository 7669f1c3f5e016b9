// Replays every fuzzing input kept in the tree (the minimised corpora and
// every finding) through the code it was found against, in the ordinary
// build: a fault that comes back shows here, and under the sanitizer build
// as the report it was.
#include "fuzz/replay.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

namespace {

// Target name (a folder under fuzz/corpus and fuzz/findings) -> the replay
// function its fuzz entry point calls.
const QMap<QString, bool (*)(const QByteArray &)> &targets()
{
    static const QMap<QString, bool (*)(const QByteArray &)> map{
        {QStringLiteral("xlsreader"), FuzzReplay::xlsReader},
        {QStringLiteral("instrument"), FuzzReplay::instrumentAnswers},
        {QStringLiteral("meterrecord"), FuzzReplay::meterRecord},
        {QStringLiteral("loggerrun"), FuzzReplay::loggerRun},
        {QStringLiteral("simprofile"), FuzzReplay::simProfile},
        {QStringLiteral("reportdescriptor"), FuzzReplay::reportDescriptor},
        {QStringLiteral("measurementjson"), FuzzReplay::measurementJson},
        {QStringLiteral("measurementcsv"), FuzzReplay::measurementCsv},
        {QStringLiteral("xlsxreader"), FuzzReplay::xlsxReader},
    };
    return map;
}

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT
private slots:
    void replay_data();
    void replay();
};

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    int inputs = 0;
    for (const char *kind : {"corpus", "findings"}) {
        const QDir root(QStringLiteral(VANTREL_SOURCE_DIR "/fuzz/") + QLatin1String(kind));
        for (const QString &target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QDirIterator it(root.filePath(target), QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                QTest::newRow(qPrintable(QStringLiteral("%1/%2/%3")
                                             .arg(QLatin1String(kind), target, it.fileName())))
                    << target << path;
                ++inputs;
            }
        }
    }
    if (inputs == 0)
        QTest::newRow("no inputs") << QString() << QString();
}

void TestFuzzReplay::replay()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QVERIFY2(!target.isEmpty(), "no fuzzing inputs found under fuzz/");
    QVERIFY2(targets().contains(target), qPrintable("no replay for target " + target));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(targets().value(target)(file.readAll()));
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "test_fuzzreplay.moc"
