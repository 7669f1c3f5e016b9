// The Logger page's curve window as the user drives it: the rows selected in
// the table overlaid on one plot, the markers dragged and their readout, the
// reference band's tolerance, and the plot exported through its dialog.

// qcustomplot.h still uses foreach, which the project switches off.
#undef QT_NO_FOREACH

#include "app/mainwindow.h"
#include "files/recordexport.h"
#include "gui/tableopwidget.h"
#include "gui/uiseam.h"
#include "logger/curveexportdialog.h"
#include "logger/firstpageforlogger.h"
#include "logger/uvpowercurvepageforlogger.h"
#include "loggersupport.h"
#include "measurement/runcomparison.h"
#include "simdata.h"
#include "simsetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

using namespace LoggerSupport;

namespace {

// Runs 1 to 3 of the simulated Logger, stored every 10, 5 and 10 s; the lamp
// of run 2 comes on after 100 s, where its exposure window starts.
LoggerData data()
{
    LoggerData d = SimData::logger({10, 5});
    for (int i = 0; i < 20; ++i)
        d.runs[1].samples[i] = 0;
    return d;
}

TableOpWidget *actionsOf(int row)
{
    return qobject_cast<TableOpWidget *>(child<QTableWidget>("tbData")->cellWidget(row, 7));
}

// Selects the rows as the user does (control-click), then "Curve" of one row.
UVPowerCurvePageForLogger *openCurve(const QList<int> &selected, int clicked)
{
    QTableWidget *table = child<QTableWidget>("tbData");
    table->clearSelection();
    for (int row : selected)
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::mouseClick(actionsOf(clicked)->curveBtn, Qt::LeftButton);
    const auto windows =
        page()->findChildren<UVPowerCurvePageForLogger *>(QString(), Qt::FindDirectChildrenOnly);
    return windows.size() == 1 ? windows.first() : nullptr;
}

void mouse(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    // QTest::mouseMove moves the cursor, which the offscreen platform does not
    // turn into events: the events are sent as the platform would.
    QMouseEvent event(type, pos, w->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void drag(QWidget *w, const QPoint &from, const QPoint &to)
{
    mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(w, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace

class CurveWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void overlay_data();
    void overlay();
    void markers_data();
    void markers();
    void reference_data();
    void reference();
    void exportPlot_data();
    void exportPlot();

private:
    DialogRecorder dialogs;
    QTemporaryDir dir;
};

void CurveWindowTest::initTestCase()
{
    QVERIFY(dir.isValid());
    SimSetup::install(SimProfile::logger(), false);
    SimSetup::startWindow();
    QMetaObject::invokeMethod(MainWindow::instance(), "on_btnLanguageEn_clicked");
    QVERIFY(page()->openMeasurement(data(), dir.filePath("runs.json")));
    QCOMPARE(rows(), 3);
}

void CurveWindowTest::cleanup()
{
    for (auto *w :
         page()->findChildren<UVPowerCurvePageForLogger *>(QString(), Qt::FindDirectChildrenOnly))
        delete w;
    dialogs.clear();
}

void CurveWindowTest::overlay_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QList<int>>("shown"); // run numbers, in the plot's order

    QTest::newRow("Curve of one of three selected rows: all three")
        << QList<int>{0, 1, 2} << 1 << QList<int>{1, 2, 3};
    QTest::newRow("rows selected apart: in the table's order")
        << QList<int>{2, 0} << 0 << QList<int>{1, 3};
    QTest::newRow("Curve of a row outside the selection: that row alone")
        << QList<int>{0, 1} << 2 << QList<int>{3};
    QTest::newRow("nothing selected: the row") << QList<int>{} << 1 << QList<int>{2};
}

void CurveWindowTest::overlay()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, clicked);
    QFETCH(QList<int>, shown);
    UVPowerCurvePageForLogger *curve = openCurve(selected, clicked);
    QVERIFY(curve);
    QCustomPlot *plot = curve->plot();
    QCOMPARE(curve->runs().size(), shown.size());
    QVERIFY(plot->graphCount() >= shown.size());
    const LoggerData table = data();
    for (int i = 0; i < shown.size(); ++i) {
        const LoggerRunData &run = table.runs.at(shown.at(i) - 1);
        QCOMPARE(curve->runs().at(i).number, run.number);
        QCOMPARE(plot->graph(i)->dataCount(), run.samples.size());
        // Elapsed seconds along the bottom axis, each run at its own interval.
        QCOMPARE(plot->graph(i)->data()->at(1)->key, double(run.intervalSeconds));
        QVERIFY2(plot->graph(i)->name().contains(QString::number(run.number)),
                 qPrintable(plot->graph(i)->name()));
    }
    const bool several = shown.size() > 1;
    QCOMPARE(plot->legend->visible(), several);
    QCOMPARE(curve->findChild<QComboBox *>("alignmentCombo")->isVisibleTo(curve), several);
    QCOMPARE(curve->findChild<QComboBox *>("readoutRunCombo")->count(), shown.size());
}

void CurveWindowTest::markers_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("readout");   // the run chosen for the readout
    QTest::addColumn<int>("alignment"); // 1: exposure windows
    QTest::addColumn<int>("marker");    // the marker pressed; -1: beside both
    QTest::addColumn<double>("to");     // where the drag ends, share of the plot's width

    QTest::newRow("first marker to a tenth of the run") << QList<int>{0} << 0 << 0 << 0 << 0.1;
    QTest::newRow("second marker before the first") << QList<int>{0} << 0 << 0 << 1 << 0.05;
    QTest::newRow("second marker past the end: the run's end")
        << QList<int>{0} << 0 << 0 << 1 << 1.3;
    QTest::newRow("first marker before the start: the run's start")
        << QList<int>{0} << 0 << 0 << 0 << -0.2;
    QTest::newRow("overlay at exposure windows, readout of the second run")
        << QList<int>{0, 1, 2} << 1 << 1 << 1 << 0.6;
    QTest::newRow("press beside the markers drags the plot")
        << QList<int>{0} << 0 << 0 << -1 << 0.5;
}

void CurveWindowTest::markers()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, readout);
    QFETCH(int, alignment);
    QFETCH(int, marker);
    QFETCH(double, to);
    UVPowerCurvePageForLogger *curve = openCurve(selected, selected.first());
    QVERIFY(curve);
    curve->resize(1220, 673);
    curve->show();
    QVERIFY(QTest::qWaitForWindowExposed(curve));
    // The time above the threshold is read whole in the readout's width.
    curve->findChild<QCheckBox *>("thresholdCheck")->setChecked(true);
    curve->findChild<QDoubleSpinBox *>("thresholdSpin")->setValue(100000);
    auto *above = curve->findChild<QLabel *>("aboveLabel");
    // Once the layouts have taken the new text (a posted event for each level).
    QTRY_VERIFY2(above->contentsRect().contains(above->fontMetrics().boundingRect(
                 above->contentsRect(), Qt::TextWordWrap, above->text())),
             qPrintable(above->text()));
    curve->findChild<QCheckBox *>("thresholdCheck")->setChecked(false);
    curve->findChild<QComboBox *>("alignmentCombo")->setCurrentIndex(alignment);
    const RunPlot::Layout layout = curve->layout();
    const double first = layout.offsets.at(0) + curve->markerFrom();
    curve->findChild<QComboBox *>("readoutRunCombo")->setCurrentIndex(readout);
    // Another run for the readout: the markers stay where they are.
    QCOMPARE(layout.offsets.at(readout) + curve->markerFrom(), first);
    QCustomPlot *plot = curve->plot();
    plot->replot();
    const LoggerRunData run = curve->runs().at(readout);
    const auto pixelOf = [&](double t) {
        return int(
            qRound(plot->xAxis->coordToPixel(layout.origin + layout.offsets.at(readout) + t)));
    };
    const double times[2] = {curve->markerFrom(), curve->markerTo()};
    const QRect area = plot->axisRect()->rect();
    const int y = area.center().y();
    const QPoint from(marker >= 0 ? pixelOf(times[marker]) : area.left() + area.width() / 2 + 17,
                      y);
    const QPoint target(area.left() + int(to * area.width()), y);
    const QCPRange range = plot->xAxis->range();
    drag(plot, from, target);

    if (marker < 0) {
        // The plot moved under the markers, which kept their times.
        QVERIFY(plot->xAxis->range() != range);
        QCOMPARE(curve->markerFrom(), times[0]);
        QCOMPARE(curve->markerTo(), times[1]);
        return;
    }
    QCOMPARE(plot->xAxis->range(), range);
    double expected[2] = {times[0], times[1]};
    expected[marker] =
        plot->xAxis->pixelToCoord(target.x()) - layout.origin - layout.offsets.at(readout);
    // A marker dragged off the curve stays at its end.
    if (selected.size() == 1)
        expected[marker] = qBound(0.0, expected[marker], double(run.durationSeconds()));
    QCOMPARE(marker == 0 ? curve->markerFrom() : curve->markerTo(), expected[marker]);
    const RunComparison::Span span =
        RunComparison::between(run.samples, run.intervalSeconds, expected[0], expected[1]);
    QCOMPARE(curve->span().from, span.from);
    QCOMPARE(curve->span().to, span.to);
    QCOMPARE(curve->span().mean, span.mean);
    QCOMPARE(curve->span().peak, span.peak);
    QCOMPARE(curve->span().dose, span.dose);
    const QString shown = curve->findChild<QLabel *>("readoutLabel")->text();
    QVERIFY2(shown.contains(QString::number(span.dose / 1000, 'f', 3)) &&
                 shown.contains(LoggerText::power(float(span.peak))) &&
                 shown.contains(UvFigures::ruleName(UvFigures::DoseRule::SampleHold)),
             qPrintable(shown));
}

void CurveWindowTest::reference_data()
{
    QTest::addColumn<bool>("fromFile"); // else run 1 of the table
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<bool>("refused");

    QTest::newRow("run 1, 10 %: each other run's share inside") << false << 10.0 << false;
    QTest::newRow("a run from a file, 25 %") << true << 25.0 << false;
    QTest::newRow("0 % refused") << false << 0.0 << true;
    QTest::newRow("-5 % refused") << false << -5.0 << true;
}

void CurveWindowTest::reference()
{
    QFETCH(bool, fromFile);
    QFETCH(double, tolerance);
    QFETCH(bool, refused);
    UVPowerCurvePageForLogger *curve = openCurve({0, 1, 2}, 0);
    QVERIFY(curve);
    curve->findChild<QDoubleSpinBox *>("toleranceSpin")->setValue(tolerance);
    // The file holds run 1 stored every second: another curve than run 1's.
    const LoggerData table = data();
    LoggerRunData reference = table.runs.at(0);
    if (fromFile) {
        LoggerData file = SimData::logger({1});
        file.runs = {file.runs.at(0)};
        reference = file.runs.at(0);
        const QString path = dir.filePath("reference.json");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(LoggerFiles::json(file));
        out.close();
        dialogs.fileNames = QStringList{path};
        QTest::mouseClick(curve->findChild<QPushButton *>("referenceFileBtn"), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
    } else {
        curve->findChild<QComboBox *>("referenceCombo")->setCurrentIndex(1);
    }
    const QString message = curve->findChild<QLabel *>("referenceMessage")->text();
    QListWidget *shares = curve->findChild<QListWidget *>("bandList");
    RunComparison::Band band;
    QString error;
    const bool compared = RunComparison::compare(
        table.runs.at(1).samples, table.runs.at(1).intervalSeconds, reference.samples,
        reference.intervalSeconds, tolerance, RunComparison::Alignment::Start, &band, &error);
    QCOMPARE(compared, !refused);
    if (refused) {
        QCOMPARE(message, error);
        QCOMPARE(shares->count(), 0);
        return;
    }
    QCOMPARE(message, QString());
    // Runs 2 and 3 from the table; with a reference from a file run 1 too.
    QCOMPARE(shares->count(), fromFile ? 3 : 2);
    const QString second = shares->item(fromFile ? 1 : 0)->text();
    QVERIFY2(second.contains(QString::number(100 * band.insideShare, 'f', 1)), qPrintable(second));
}

void CurveWindowTest::exportPlot_data()
{
    QTest::addColumn<QString>("name"); // in a folder that does not exist when it has one
    QTest::addColumn<int>("format");   // index in the dialog: PNG, JPEG, SVG, PDF
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QByteArray>("begins");

    QTest::newRow("PNG at the size chosen")
        << "curve.png" << 0 << QSize(640, 320) << 96 << QByteArray("\x89PNG");
    QTest::newRow("JPEG at 150 dpi")
        << "curve.jpg" << 1 << QSize(1200, 500) << 150 << QByteArray("\xFF\xD8");
    QTest::newRow("SVG") << "curve.svg" << 2 << QSize(800, 400) << 96 << QByteArray("<?xml");
    QTest::newRow("PDF") << "curve.pdf" << 3 << QSize(800, 400) << 96 << QByteArray("%PDF");
    QTest::newRow("into a missing folder: the message, no file")
        << "missing/curve.png" << 0 << QSize(300, 200) << 72 << QByteArray();
}

void CurveWindowTest::exportPlot()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    QFETCH(QSize, size);
    QFETCH(int, dpi);
    QFETCH(QByteArray, begins);
    UVPowerCurvePageForLogger *curve = openCurve({0, 1}, 0);
    QVERIFY(curve);
    QTest::mouseClick(curve->findChild<QPushButton *>("exportBtn"), Qt::LeftButton);
    auto *options = curve->findChild<CurveExportDialog *>();
    QVERIFY(options);
    options->findChild<QComboBox *>("formatCombo")->setCurrentIndex(format);
    options->findChild<QSpinBox *>("widthSpin")->setValue(size.width());
    options->findChild<QSpinBox *>("heightSpin")->setValue(size.height());
    options->findChild<QSpinBox *>("dpiSpin")->setValue(dpi);
    const QString path = dir.filePath(name);
    QFile::remove(path);
    dialogs.fileNames = QStringList{path};
    QTest::mouseClick(options->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);

    // The next export offers what was chosen.
    const CurveExportDialog next;
    QCOMPARE(next.format(), PlotExport::Format(format));
    QCOMPARE(QSize(next.size().width, next.size().height), size);
    QCOMPARE(next.size().dpi, dpi);

    QFile file(path);
    if (begins.isEmpty()) {
        QCOMPARE(dialogs.texts().size(), 1);
        QVERIFY(!file.exists());
        return;
    }
    QCOMPARE(dialogs.texts(), QStringList());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(begins.size()) == begins);
    if (format <= 1)
        QCOMPARE(QImage(path).size(), size);
}

QTEST_MAIN(CurveWindowTest)
#include "test_curvewindow.moc"
