// Runs on a plot (where each curve lies, the reference band) and plots as
// files (pictures of the chosen size, vectors whose text stays text).

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "measurement/instrumentclock.h"
#include "plot/plotexport.h"
#include "plot/runplot.h"
#include "savefaults.h"
#include "testenv.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <qcustomplot.h>

#include <ctime>

Q_DECLARE_METATYPE(RunPlot::Options)
Q_DECLARE_METATYPE(RunPlot::TimeAxis)
Q_DECLARE_METATYPE(PlotExport::Format)

namespace {

LoggerRunData makeRun(int number, const QDateTime &start, int interval,
                      const QVector<float> &samples)
{
    LoggerRunData run;
    run.number = number;
    run.start = start;
    run.hasStartBytes = start.isValid();
    run.intervalSeconds = interval;
    run.samples = samples;
    return run;
}

const QDateTime kStart = InstrumentClock::at(QDate(2024, 5, 6), QTime(9, 30, 0));

// The key the clock axis gives the instrument's reading: its wall-clock
// time taken as UTC (2024-05-06 09:30:00 UTC), whatever the zone the test
// runs in (set in initTestCase).
const double kStartKey = 1714987800;

QString tool(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class PlotTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void exportFile_data();
    void exportFile();
    void manyRuns_data();
    void manyRuns();
};

void PlotTest::initTestCase()
{
    // A zone far from UTC: the clock axis must not shift the instrument's
    // times by it.
    qputenv("TZ", "Asia/Shanghai");
    tzset();
}

void PlotTest::layout_data()
{
    QTest::addColumn<QList<LoggerRunData>>("runs");
    QTest::addColumn<RunPlot::Options>("options");
    QTest::addColumn<RunPlot::TimeAxis>("time");
    QTest::addColumn<double>("origin");
    QTest::addColumn<QList<double>>("offsets");
    QTest::addColumn<QList<int>>("inside");   // per run; none without a band
    QTest::addColumn<QList<int>>("compared"); // per run
    QTest::addColumn<QList<int>>("excursions");
    QTest::addColumn<QString>("errorHas"); // "" for none
    QTest::addColumn<QString>("xLabel");

    const QVector<float> rising3 = {0, 0, 0, 100, 100, 100};
    const QVector<float> rising5 = {0, 0, 0, 0, 0, 100, 100};
    const QVector<float> flat = {100, 100, 100, 100, 100};
    const QString seconds = QStringLiteral("Time since the start (s)");
    const QString window = QStringLiteral("Time since the exposure window's start (s)");
    RunPlot::Options plain;
    RunPlot::Options windows;
    windows.alignment = RunComparison::Alignment::ExposureWindow;
    RunPlot::Options clock;
    clock.time = RunPlot::TimeAxis::Clock;
    RunPlot::Options clockWindows = clock;
    clockWindows.alignment = RunComparison::Alignment::ExposureWindow;
    RunPlot::Options reference;
    reference.reference = 0;
    reference.tolerancePercent = 5;
    const QList<int> none;

    QTest::newRow("elapsed, at the starts: every run from 0")
        << QList<LoggerRunData>{makeRun(1, kStart, 10, rising3), makeRun(2, kStart, 1, rising5)}
        << plain << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << none << none << none
        << "" << seconds;
    QTest::newRow("elapsed, at the exposure windows: each window from 0")
        << QList<LoggerRunData>{makeRun(1, kStart, 10, rising3), makeRun(2, kStart, 1, rising5)}
        << windows << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{-30, -5} << none << none
        << none << "" << window;
    QTest::newRow("clock: the first run at the time it recorded, the second over it")
        << QList<LoggerRunData>{makeRun(1, kStart, 10, rising3),
                                makeRun(2, kStart.addDays(3), 10, rising5)}
        << clock << RunPlot::TimeAxis::Clock << kStartKey << QList<double>{0, 0} << none << none
        << none << ""
        << "Clock time (hh:mm:ss)";
    QTest::newRow("clock at the windows: the second run's window on the first's")
        << QList<LoggerRunData>{makeRun(1, kStart, 10, rising3),
                                makeRun(2, kStart.addDays(3), 10, rising5)}
        << clockWindows << RunPlot::TimeAxis::Clock << kStartKey << QList<double>{0, -20} << none
        << none << none << ""
        << "Clock time (hh:mm:ss)";
    QTest::newRow("clock: a first run without a start takes the second's")
        << QList<LoggerRunData>{makeRun(1, QDateTime(), 10, rising3),
                                makeRun(2, kStart.addSecs(3600), 10, rising5)}
        << clock << RunPlot::TimeAxis::Clock << kStartKey + 3600 << QList<double>{0, 0} << none
        << none << none << ""
        << "Clock time (hh:mm:ss)";
    QTest::newRow("clock without any start: elapsed time")
        << QList<LoggerRunData>{makeRun(1, QDateTime(), 10, rising3)} << clock
        << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0} << none << none << none << ""
        << seconds;
    QTest::newRow("long run: hours on the axis")
        << QList<LoggerRunData>{makeRun(1, kStart, 60, QVector<float>(200, 5))} << plain
        << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0} << none << none << none << ""
        << "Time since the start (h:mm:ss)";
    QTest::newRow("empty run next to a full one")
        << QList<LoggerRunData>{makeRun(1, QDateTime(), 1, {}), makeRun(2, kStart, 1, flat)}
        << windows << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << none << none
        << none << "" << window;
    // 104 is inside 100 +- 5 %, 110 and 90 are not: one excursion of two
    // samples; 95 is on the band's edge.
    QTest::newRow("reference band: share inside, one excursion")
        << QList<LoggerRunData>{makeRun(1, kStart, 1, flat),
                                makeRun(2, kStart, 1, {100, 104, 110, 90, 95})}
        << reference << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << QList<int>{0, 3}
        << QList<int>{0, 5} << QList<int>{0, 1} << "" << seconds;
    QTest::newRow("reference shorter than the run: only the common part compared")
        << QList<LoggerRunData>{makeRun(1, kStart, 1, {100, 100, 100}),
                                makeRun(2, kStart, 1, {100, 120, 100, 300, 300, 300})}
        << reference << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << QList<int>{0, 2}
        << QList<int>{0, 3} << QList<int>{0, 1} << "" << seconds;
    QTest::newRow("reference of another interval: read between its samples")
        << QList<LoggerRunData>{makeRun(1, kStart, 10, {100, 200}),
                                makeRun(2, kStart, 1, {100, 112, 150, 130, 200})}
        << reference << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << QList<int>{0, 3}
        << QList<int>{0, 5} << QList<int>{0, 2} << "" << seconds;
    RunPlot::Options zero = reference;
    zero.tolerancePercent = 0;
    QTest::newRow("tolerance 0: no band, a message")
        << QList<LoggerRunData>{makeRun(1, kStart, 1, flat), makeRun(2, kStart, 1, flat)} << zero
        << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << none << none << none
        << "tolerance" << seconds;
    RunPlot::Options negative = reference;
    negative.tolerancePercent = -3;
    QTest::newRow("negative tolerance, the reference alone: a message")
        << QList<LoggerRunData>{makeRun(1, kStart, 1, flat)} << negative
        << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0} << none << none << none
        << "tolerance" << seconds;
    QTest::newRow("empty reference: a message")
        << QList<LoggerRunData>{makeRun(1, QDateTime(), 1, {}), makeRun(2, kStart, 1, flat)}
        << reference << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << none << none
        << none << "no samples" << seconds;
    RunPlot::Options past = reference;
    past.reference = 2;
    QTest::newRow("reference past the runs: a message")
        << QList<LoggerRunData>{makeRun(1, kStart, 1, flat), makeRun(2, kStart, 1, flat)} << past
        << RunPlot::TimeAxis::Elapsed << 0.0 << QList<double>{0, 0} << none << none << none
        << "no run 3" << seconds;
}

void PlotTest::layout()
{
    QFETCH(QList<LoggerRunData>, runs);
    QFETCH(RunPlot::Options, options);
    QFETCH(RunPlot::TimeAxis, time);
    QFETCH(double, origin);
    QFETCH(QList<double>, offsets);
    QFETCH(QList<int>, inside);
    QFETCH(QList<int>, compared);
    QFETCH(QList<int>, excursions);
    QFETCH(QString, errorHas);
    QFETCH(QString, xLabel);

    QCustomPlot plot;
    // A plot shown before keeps nothing of it.
    RunPlot::show(&plot, {makeRun(9, kStart, 1, QVector<float>(30, 1))}, RunPlot::Options());
    const RunPlot::Layout layout = RunPlot::show(&plot, runs, options);
    QCOMPARE(layout.time, time);
    QCOMPARE(layout.origin, origin);
    QCOMPARE(layout.offsets, offsets);
    QCOMPARE(plot.xAxis->label(), xLabel);
    QCOMPARE(plot.yAxis->label(), QStringLiteral("Irradiance (μW/cm²)"));
    QCOMPARE(plot.legend->visible(), runs.size() > 1);
    if (errorHas.isEmpty())
        QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
    else
        QVERIFY2(layout.error.contains(errorHas), qPrintable(layout.error));
    // Runs laid over one clock: the note names the run whose clock it is.
    if (time == RunPlot::TimeAxis::Clock && runs.size() > 1) {
        int anchor = 0;
        while (!runs.at(anchor).start.isValid())
            ++anchor;
        QVERIFY2(layout.timeNote.contains(
                     QStringLiteral("clock of run %1;").arg(runs.at(anchor).number)),
                 qPrintable(layout.timeNote));
    } else {
        QVERIFY2(!layout.timeNote.contains(QStringLiteral("clock of run")),
                 qPrintable(layout.timeNote));
    }

    // Graph i is run i at origin + offset + its own time.
    QVERIFY(plot.graphCount() >= runs.size());
    for (int i = 0; i < runs.size(); ++i) {
        const QCPGraph *graph = plot.graph(i);
        QCOMPARE(graph->dataCount(), runs.at(i).samples.size());
        QVERIFY(graph->name().startsWith(QStringLiteral("Run %1").arg(runs.at(i).number)));
        if (graph->dataCount() > 0) {
            QCOMPARE(graph->data()->at(0)->key, origin + offsets.at(i));
            QCOMPARE(graph->data()->at(graph->dataCount() - 1)->key,
                     origin + offsets.at(i) +
                         double(runs.at(i).samples.size() - 1) * runs.at(i).intervalSeconds);
        }
        for (int j = 0; j < i; ++j)
            QVERIFY(graph->pen() != plot.graph(j)->pen());
    }
    // The whole of every run is in view.
    for (int i = 0; i < runs.size(); ++i) {
        if (plot.graph(i)->dataCount() == 0)
            continue;
        QVERIFY(plot.xAxis->range().contains(plot.graph(i)->data()->at(0)->key));
        QVERIFY(plot.xAxis->range().contains(
            plot.graph(i)->data()->at(plot.graph(i)->dataCount() - 1)->key));
    }

    if (inside.isEmpty()) {
        QVERIFY(layout.bands.isEmpty());
        QCOMPARE(plot.graphCount(), runs.size());
        return;
    }
    QCOMPARE(layout.bands.size(), runs.size());
    int excursionGraphs = 0;
    for (int i = 0; i < runs.size(); ++i) {
        QCOMPARE(layout.bands.at(i).inside, inside.at(i));
        QCOMPARE(layout.bands.at(i).compared, compared.at(i));
        QCOMPARE(layout.bands.at(i).excursions.size(), excursions.at(i));
        excursionGraphs += excursions.at(i) > 0 ? 1 : 0;
    }
    // The band (two edges) around the reference, then a mark per run that
    // leaves it, over exactly the samples outside.
    QCOMPARE(plot.graphCount(), runs.size() + 2 + excursionGraphs);
    const QCPGraph *high = plot.graph(runs.size());
    const QCPGraph *low = plot.graph(runs.size() + 1);
    const LoggerRunData &ref = runs.at(options.reference);
    QCOMPARE(high->dataCount(), ref.samples.size());
    const double d = qAbs(ref.samples.first()) * options.tolerancePercent / 100;
    QCOMPARE(high->data()->at(0)->value, ref.samples.first() + d);
    QCOMPARE(low->data()->at(0)->value, ref.samples.first() - d);
    QCOMPARE(low->channelFillGraph(), high);
    int marked = 0;
    for (int g = runs.size() + 2; g < plot.graphCount(); ++g) {
        for (int k = 0; k < plot.graph(g)->dataCount(); ++k)
            marked += qIsNaN(plot.graph(g)->data()->at(k)->value) ? 0 : 1;
    }
    // Each sample outside, and each stretch's last sample held to its end.
    int outside = 0;
    for (int i = 0; i < runs.size(); ++i)
        outside += compared.at(i) - inside.at(i) + excursions.at(i);
    QCOMPARE(marked, outside);
}

void PlotTest::exportFile_data()
{
    QTest::addColumn<QString>("name"); // in the temporary folder
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("errorHas"); // "" when the file is to be written
    QTest::addColumn<SaveFaults::Fault>("fault");

    const auto none = SaveFaults::Fault::None;
    QTest::newRow("PNG at 96 dpi") << "plot.png" << 800 << 400 << 96 << "" << none;
    QTest::newRow("PNG at 300 dpi") << "big.PNG" << 3000 << 1500 << 300 << "" << none;
    QTest::newRow("JPEG") << "plot.jpg" << 640 << 480 << 150 << "" << none;
    QTest::newRow("SVG") << "plot.svg" << 1000 << 500 << 96 << "" << none;
    QTest::newRow("PDF") << "plot.pdf" << 1200 << 600 << 150 << "" << none;
    QTest::newRow("a folder that does not exist")
        << "missing/plot.svg" << 1000 << 500 << 96 << "missing/plot.svg" << none;
    QTest::newRow("no width") << "flat.png" << 0 << 500 << 96 << "pixels" << none;
    QTest::newRow("no resolution") << "flat.pdf" << 1000 << 500 << 0 << "dpi" << none;
    // An existing plot stays as it was, byte for byte, and nothing is left.
    QTest::newRow("the disk fails while the file is synced")
        << "kept.pdf" << 1000 << 500 << 96 << "kept.pdf" << SaveFaults::Fault::Sync;
}

void PlotTest::exportFile()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, dpi);
    QFETCH(QString, errorHas);
    QFETCH(SaveFaults::Fault, fault);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    const QByteArray before = fault == SaveFaults::Fault::None ? QByteArray() : "old plot";
    if (!before.isEmpty())
        QVERIFY(SaveFaults::putFile(path, before));
    QCustomPlot plot;
    RunPlot::show(&plot,
                  {makeRun(1, kStart, 10, {0, 50, 250, 400, 380, 120, 10}),
                   makeRun(2, kStart, 10, {0, 40, 260, 390, 390, 100, 0})},
                  RunPlot::Options());
    PlotExport::Format format = PlotExport::Format::Png;
    QVERIFY(PlotExport::formatOf(name, &format));
    QString error;
    bool ok = false;
    {
        SaveFaults::Injected injected(fault);
        ok = PlotExport::write(&plot, path, format, {width, height, dpi}, &error);
    }
    if (!errorHas.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY2(error.contains(errorHas), qPrintable(error));
        // Nothing left behind, not even a temporary file; a file that was
        // there is as it was.
        QCOMPARE(SaveFaults::fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 before.isEmpty() ? QStringList() : QStringList{name});
        return;
    }
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{name});
    const QString xTitle = QStringLiteral("Time since the start (s)");
    const QString yTitle = QStringLiteral("Irradiance (μW/cm²)");

    if (format == PlotExport::Format::Png || format == PlotExport::Format::Jpeg) {
        QImage image(path);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dpi);
        // Drawn over the whole picture: the curves, the axis and the legend
        // darken a share of its right half too.
        int dark = 0;
        for (int y = 0; y < height; y += 2) {
            for (int x = width / 2; x < width; x += 2)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
        QVERIFY2(dark > width * height / 8 / 400, qPrintable(QString::number(dark)));
    } else if (format == PlotExport::Format::Svg) {
        QSvgRenderer renderer(path);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox(), QRect(0, 0, width, height));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList texts;
        int paths = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("text"))
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            else if (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("polyline"))
                ++paths;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        // A title may be split into runs of one font each (μ from another).
        const QString text = texts.join(QString());
        QVERIFY2(text.contains(xTitle) && text.contains(yTitle), qPrintable(texts.join('|')));
        QVERIFY(paths > 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        if (tool(QStringLiteral("pdftotext")).isEmpty() ||
            tool(QStringLiteral("pdfimages")).isEmpty() ||
            tool(QStringLiteral("pdfinfo")).isEmpty())
            VANTREL_SKIP_UNLESS_CI(
                "poppler-utils (pdftotext, pdfimages, pdfinfo) are not installed");
        const QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY2(text.contains(xTitle) && text.contains(yTitle), qPrintable(text));
        // The header lines only: no picture in the file.
        const QString images =
            runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
        QCOMPARE(images.trimmed().split('\n').size(), 2);
        // One page of the plot's size at its resolution.
        const QString info = runTool(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(info.simplified().contains(QStringLiteral("Page size: %1 x %2 pts")
                                                .arg(width * 72.0 / dpi)
                                                .arg(height * 72.0 / dpi)),
                 qPrintable(info));
    }
}

// Hundreds of runs laid over each other (plot --overlay of a whole
// archive's export): the legend names as many as it can show and says how
// many more there are, so that the curves keep the picture; a plot is
// emptied whole for the next runs or its end.
void PlotTest::manyRuns_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("reference"); // index, -1 none
    QTest::addColumn<int>("entries");   // in the legend
    QTest::addColumn<QString>("last");  // the last entry's name

    QTest::newRow("25 runs, as many as the window shows: each named")
        << 25 << -1 << 25 << "Run 25, 2024-05-06 09:30:00";
    QTest::newRow("25 runs against the first: each named, and the band")
        << 25 << 0 << 26 << "Reference band ±5 %";
    QTest::newRow("400 runs: the first 27 named, then how many more")
        << 400 << -1 << 28 << "... and 373 more runs";
    QTest::newRow("400 runs against the last: the reference and its band named too")
        << 400 << 399 << 28 << "... and 374 more runs";
}

void PlotTest::manyRuns()
{
    QFETCH(int, runs);
    QFETCH(int, reference);
    QFETCH(int, entries);
    QFETCH(QString, last);

    QList<LoggerRunData> list;
    for (int i = 0; i < runs; ++i)
        list << makeRun(i + 1, kStart, 1, {100, float(100 + i % 7), 100, 90});
    RunPlot::Options options;
    options.reference = reference;
    QCustomPlot plot;
    plot.resize(1000, 500);
    const RunPlot::Layout layout = RunPlot::show(&plot, list, options);
    QVERIFY2(layout.error.isEmpty(), qPrintable(layout.error));
    // The legend's entries in order (its grid has empty cells at the end).
    auto named = [&plot] {
        QStringList names;
        for (int i = 0; i < plot.legend->itemCount(); ++i) {
            if (auto *entry = qobject_cast<QCPPlottableLegendItem *>(plot.legend->item(i)))
                names << entry->plottable()->name();
        }
        return names;
    };
    const QStringList names = named();
    QCOMPARE(names.size(), entries);
    auto nameOf = [&names](int i) { return names.value(i); };
    QCOMPARE(nameOf(entries - 1), last);
    if (reference > 0) {
        QCOMPARE(nameOf(entries - 3), QStringLiteral("Run %1, 2024-05-06 09:30:00").arg(runs));
        QVERIFY(nameOf(entries - 2).startsWith(QStringLiteral("Reference band")));
    }
    // The curves keep the picture's larger part.
    plot.replot();
    QVERIFY2(plot.axisRect()->height() > 220,
             qPrintable(QString::number(plot.axisRect()->height())));

    // Shown again with two runs: nothing of the many is left.
    RunPlot::show(&plot, list.mid(0, 2), RunPlot::Options());
    QCOMPARE(plot.graphCount(), 2);
    QCOMPARE(named().size(), 2);
    RunPlot::clear(&plot);
    QCOMPARE(plot.plottableCount(), 0);
    QCOMPARE(named().size(), 0);
}

QTEST_MAIN(PlotTest)
#include "test_plot.moc"
