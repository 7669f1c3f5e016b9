// The UV figures of a run over shapes whose figures are known by hand.
#include "measurement/doseunit.h"
#include "measurement/runcomparison.h"
#include "measurement/uvfigures.h"
#include "measurement/verdict.h"

#include <QtTest>

#include <limits>

using UvFigures::DoseRule;

class TestUvFigures : public QObject
{
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
    void spans_data();
    void spans();
    void bands_data();
    void bands();
    void verdicts_data();
    void verdicts();
    void verdictsAtTheLimit_data();
    void verdictsAtTheLimit();
    void doseUnits_data();
    void doseUnits();
};

// Expected: dose, peak, peak time, mean, window start, window end, window
// dose, time above the threshold; a window of -1 -1 -1: none.
using Expected = QVector<double>;

void TestUvFigures::figures_data()
{
    QTest::addColumn<QVector<float>>("samples");
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<Expected>("expected");
    const int hold = int(DoseRule::SampleHold);
    const int trapezoid = int(DoseRule::Trapezoid);
    const float nan = std::numeric_limits<float>::quiet_NaN();

    QTest::newRow("constant, hold") << QVector<float>{5, 5, 5, 5} << 10.0 << hold << 10.0 << 4.0
                                    << Expected{200, 5, 0, 5, 0, 40, 200, 40};
    QTest::newRow("constant, trapezoid") << QVector<float>{5, 5, 5, 5} << 10.0 << trapezoid << 10.0
                                         << 4.0 << Expected{150, 5, 0, 5, 0, 30, 150, 30};
    QTest::newRow("ramp, hold") << QVector<float>{0, 10, 20, 30} << 1.0 << hold << 10.0 << 15.0
                                << Expected{60, 30, 3, 15, 1, 4, 60, 2};
    // Level 3 is crossed at 0.3 s; 15 at 1.5 s.
    QTest::newRow("ramp, trapezoid") << QVector<float>{0, 10, 20, 30} << 1.0 << trapezoid << 10.0
                                     << 15.0 << Expected{45, 30, 3, 15, 0.3, 3, 44.55, 1.5};
    QTest::newRow("ramp, hold, 50 % window") << QVector<float>{0, 10, 20, 30} << 1.0 << hold << 50.0
                                             << 30.0 << Expected{60, 30, 3, 15, 2, 4, 50, 0};
    QTest::newRow("square pulse, hold")
        << QVector<float>{0, 0, 100, 100, 100, 0, 0} << 2.0 << hold << 10.0 << 50.0
        << Expected{600, 100, 4, 300.0 / 7, 4, 10, 600, 6};
    // The edges are lines over one interval: level 10 at 2.2 s and 9.8 s.
    QTest::newRow("square pulse, trapezoid")
        << QVector<float>{0, 0, 100, 100, 100, 0, 0} << 2.0 << trapezoid << 10.0 << 50.0
        << Expected{600, 100, 4, 300.0 / 7, 2.2, 9.8, 598, 6};
    QTest::newRow("single sample, hold") << QVector<float>{7} << 60.0 << hold << 10.0 << 5.0
                                         << Expected{420, 7, 0, 7, 0, 60, 420, 60};
    QTest::newRow("single sample, trapezoid") << QVector<float>{7} << 60.0 << trapezoid << 10.0
                                              << 5.0 << Expected{0, 7, 0, 7, 0, 0, 0, 0};
    QTest::newRow("all zero") << QVector<float>{0, 0, 0} << 1.0 << hold << 10.0 << 0.0
                              << Expected{0, 0, 0, 0, -1, -1, -1, 0};
    QTest::newRow("no samples") << QVector<float>{} << 1.0 << hold << 10.0 << 0.0
                                << Expected{0, 0, 0, 0, -1, -1, -1, -1};
    // A sample that is no number is a gap no figure counts; one below zero
    // counts as 0. Either way the dose is the mean times the time covered.
    QTest::newRow("a gap, hold: 2 s covered") << QVector<float>{10, nan, 10} << 1.0 << hold << 10.0
                                              << 5.0 << Expected{20, 10, 0, 10, 0, 3, 20, 2};
    QTest::newRow("a gap is never above a negative threshold")
        << QVector<float>{10, nan, 10} << 1.0 << hold << 10.0 << -1.0
        << Expected{20, 10, 0, 10, 0, 3, 20, 2};
    QTest::newRow("a gap, trapezoid: the lines to and from it are left out")
        << QVector<float>{10, 10, nan, 10, 10} << 1.0 << trapezoid << 10.0 << 5.0
        << Expected{20, 10, 0, 10, 0, 4, 20, 2};
    QTest::newRow("negative samples count as 0, never a negative dose")
        << QVector<float>{-4, 6, -2} << 2.0 << hold << 10.0 << -1.0
        << Expected{12, 6, 2, 2, 2, 4, 12, 6};
    QTest::newRow("only negative samples: no dose, no window")
        << QVector<float>{-4, -2} << 1.0 << hold << 10.0 << 0.0
        << Expected{0, 0, 0, 0, -1, -1, -1, 0};
    // Level 1 is 10 % of the peak: samples exactly on it are inside.
    QTest::newRow("samples exactly on the window's level, hold")
        << QVector<float>{0, 1, 10, 1, 0} << 1.0 << hold << 10.0 << 0.5
        << Expected{12, 10, 2, 2.4, 1, 4, 12, 3};
    QTest::newRow("first of two equal peaks") << QVector<float>{1, 9, 3, 9} << 1.0 << hold << 10.0
                                              << 100.0 << Expected{22, 9, 1, 5.5, 0, 4, 22, 0};
}

void TestUvFigures::figures()
{
    QFETCH(QVector<float>, samples);
    QFETCH(double, interval);
    QFETCH(int, rule);
    QFETCH(double, percent);
    QFETCH(double, threshold);
    QFETCH(Expected, expected);

    UvFigures::Options options;
    options.rule = DoseRule(rule);
    options.windowPercent = percent;
    options.hasThreshold = expected[7] >= 0;
    options.threshold = threshold;
    const UvFigures::Figures f = UvFigures::compute(samples, interval, options);

    const bool window = expected[4] >= 0;
    const double got[] = {f.dose,
                          f.peak,
                          f.peakTime,
                          f.mean,
                          window ? f.windowStart : -1,
                          window ? f.windowEnd : -1,
                          window ? f.windowDose : -1,
                          f.aboveThreshold};
    const char *names[] = {"dose",         "peak",       "peak time",   "mean",
                           "window start", "window end", "window dose", "time above"};
    QCOMPARE(f.samples, samples.size());
    int gaps = 0;
    int negatives = 0;
    for (float v : samples) {
        gaps += qIsNaN(v);
        negatives += v < 0;
    }
    QCOMPARE(f.gaps, gaps);
    QCOMPARE(f.negatives, negatives);
    QCOMPARE(f.needsWarning(), gaps + negatives > 0);
    QCOMPARE(f.hasWindow, window);
    for (int i = 0; i < 8; ++i) {
        QVERIFY2(qAbs(got[i] - expected[i]) <= 1e-9 * qMax(1.0, qAbs(expected[i])),
                 qPrintable(QStringLiteral("%1: %2, expected %3")
                                .arg(QLatin1String(names[i]))
                                .arg(got[i], 0, 'g', 12)
                                .arg(expected[i], 0, 'g', 12)));
    }
}

// Between two markers: seconds, dose, mean, peak.
void TestUvFigures::spans_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<Expected>("expected");
    const int hold = int(DoseRule::SampleHold);
    QTest::newRow("inside, hold") << hold << 1.0 << 3.0 << Expected{2, 30, 15, 20};
    QTest::newRow("markers swapped") << hold << 3.0 << 1.0 << Expected{2, 30, 15, 20};
    QTest::newRow("a marker past the end") << hold << 2.0 << 99.0 << Expected{2, 50, 25, 30};
    QTest::newRow("inside, trapezoid")
        << int(DoseRule::Trapezoid) << 0.5 << 2.5 << Expected{2, 30, 15, 20};
    QTest::newRow("both before the start") << hold << -5.0 << -1.0 << Expected{0, 0, 0, 0};
}

void TestUvFigures::spans()
{
    QFETCH(int, rule);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(Expected, expected);
    const RunComparison::Span s =
        RunComparison::between({0, 10, 20, 30}, 1.0, from, to, DoseRule(rule));
    QCOMPARE(s.seconds, expected[0]);
    QCOMPARE(s.dose, expected[1]);
    QCOMPARE(s.mean, expected[2]);
    QCOMPARE(s.peak, expected[3]);
    QCOMPARE(s.hasPeak, expected[0] > 0);
}

// A run held against a reference: compared and inside samples, the
// excursions (from, to, ...), or the refusal.
void TestUvFigures::bands_data()
{
    QTest::addColumn<QVector<float>>("run");
    QTest::addColumn<QVector<float>>("reference");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<bool>("byWindow");
    QTest::addColumn<Expected>("expected"); // compared, inside, excursion ends...
    QTest::addColumn<QString>("error");
    QTest::newRow("the same run") << QVector<float>{5, 6, 7} << QVector<float>{5, 6, 7} << 5.0
                                  << false << Expected{3, 3} << "";
    QTest::newRow("leaves the band twice")
        << QVector<float>{10, 11, 10, 9, 10} << QVector<float>{10, 10, 10, 10, 10} << 5.0 << false
        << Expected{5, 3, 1, 2, 3, 4} << "";
    QTest::newRow("a shorter reference") << QVector<float>{1, 1, 1, 1, 1} << QVector<float>{1, 1, 1}
                                         << 1.0 << false << Expected{3, 3} << "";
    QTest::newRow("from the starts") << QVector<float>{0, 0, 5, 5} << QVector<float>{5, 5} << 10.0
                                     << false << Expected{2, 0, 0, 2} << "";
    QTest::newRow("from the exposure windows") << QVector<float>{0, 0, 5, 5} << QVector<float>{5, 5}
                                               << 10.0 << true << Expected{2, 2} << "";
    QTest::newRow("a tolerance of 0")
        << QVector<float>{1} << QVector<float>{1} << 0.0 << false << Expected{} << "more than 0 %";
    QTest::newRow("an empty reference")
        << QVector<float>{1} << QVector<float>{} << 5.0 << false << Expected{} << "no samples";
}

void TestUvFigures::bands()
{
    QFETCH(QVector<float>, run);
    QFETCH(QVector<float>, reference);
    QFETCH(double, tolerance);
    QFETCH(bool, byWindow);
    QFETCH(Expected, expected);
    QFETCH(QString, error);
    RunComparison::Band band;
    QString why;
    const bool ok = RunComparison::compare(run, 1.0, reference, 1.0, tolerance,
                                           byWindow ? RunComparison::Alignment::ExposureWindow
                                                    : RunComparison::Alignment::Start,
                                           &band, &why);
    QCOMPARE(ok, error.isEmpty());
    if (!ok) {
        QVERIFY2(why.contains(error), qPrintable(why));
        return;
    }
    Expected got{double(band.compared), double(band.inside)};
    for (const auto &e : qAsConst(band.excursions))
        got << e.first << e.second;
    QCOMPARE(got, expected);
    QCOMPARE(band.insideShare, band.compared ? double(band.inside) / band.compared : 0.0);
}

// Limits as typed, a run's figures (dose in μJ/cm², peak, seconds above the
// threshold), and the verdict: the keys that failed, or the refusal.
void TestUvFigures::verdicts_data()
{
    QTest::addColumn<QString>("limits");
    QTest::addColumn<Expected>("figures");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("error");
    const Expected run{1500, 800, 30}; // 1.5 mJ/cm², 800 μW/cm², 30 s
    QTest::newRow("no limits: PASS") << "" << run << QStringList() << "";
    QTest::newRow("dose within") << "dose-min=1,dose-max=2" << run << QStringList() << "";
    QTest::newRow("dose below its minimum")
        << "dose-min=1.6" << run << QStringList{"dose-min"} << "";
    QTest::newRow("dose at its maximum passes") << "dose-max=1.5" << run << QStringList() << "";
    QTest::newRow("dose below its minimum, peak fine: the first check decides")
        << "dose-min=1.6,peak-max=900" << run << QStringList{"dose-min"} << "";
    QTest::newRow("peak above its maximum, dose fine")
        << "dose-min=1, peak-max=799.5" << run << QStringList{"peak-max"} << "";
    QTest::newRow("too short above the threshold")
        << "time-above-min=60,threshold=500" << run << QStringList{"time-above-min"} << "";
    QTest::newRow("not a number") << "dose-min=abc" << run << QStringList()
                                  << "no limit KEY=NUMBER";
    QTest::newRow("a key twice") << "peak-min=1,peak-min=2" << run << QStringList() << "twice";
    QTest::newRow("minimum above maximum")
        << "dose-min=5,dose-max=1" << run << QStringList() << "above its maximum";
    QTest::newRow("time above without threshold")
        << "time-above-min=5" << run << QStringList() << "needs a threshold";
    QTest::newRow("unknown key") << "colour=1" << run << QStringList() << "There is no limit";
}

void TestUvFigures::verdicts()
{
    QFETCH(QString, limits);
    QFETCH(Expected, figures);
    QFETCH(QStringList, failed);
    QFETCH(QString, error);
    Verdict::Limits l;
    QString why;
    const bool parsed = Verdict::parse(limits, &l, &why);
    QCOMPARE(parsed, error.isEmpty());
    if (!parsed) {
        QVERIFY2(why.contains(error), qPrintable(why));
        return;
    }
    // The limits read back from their own text.
    Verdict::Limits again;
    QVERIFY(Verdict::parse(Verdict::toText(l), &again, &why));
    QCOMPARE(Verdict::toText(again), Verdict::toText(l));

    UvFigures::Figures f;
    f.dose = figures[0];
    f.peak = figures[1];
    f.aboveThreshold = figures[2];
    const Verdict::Result r = Verdict::judge(f, l);
    QStringList gotFailed;
    for (const Verdict::Check &check : r.checks) {
        if (!check.passed)
            gotFailed << check.key;
    }
    QCOMPARE(gotFailed, failed);
    QCOMPARE(r.pass, failed.isEmpty());
}

// Figures made of single-precision samples whose decimals do not round-trip
// through double, judged against limits typed as those decimals: at the
// limit a value passes a minimum and a maximum alike; a step in the last
// shown digit either side decides.
void TestUvFigures::verdictsAtTheLimit_data()
{
    QTest::addColumn<QVector<float>>("samples");
    QTest::addColumn<double>("interval");
    QTest::addColumn<QString>("limits");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("compared");     // the measured figure as the report shows it
    const QVector<float> peak{1005.4f, 12.5f}; // peak 1005.4
    const QVector<float> tenth{0.1f};          // 10 s: 1 μJ/cm², 0.001 mJ/cm²
    const QVector<float> dose{595.3f};         // 1 s: 0.5953 mJ/cm²
    // Three samples above 1, 0.3 s apart: 0.9 s above, which the pieces add
    // up to a hair below 0.9.
    const QVector<float> above{2, 2, 2};
    QTest::newRow("peak at its maximum")
        << peak << 1.0 << "peak-max=1005.4" << QStringList() << "1005.4";
    QTest::newRow("peak at its minimum")
        << peak << 1.0 << "peak-min=1005.4" << QStringList() << "1005.4";
    QTest::newRow("peak just above its maximum")
        << peak << 1.0 << "peak-max=1005.39" << QStringList{"peak-max"} << "1005.4";
    QTest::newRow("peak just below its minimum")
        << peak << 1.0 << "peak-min=1005.41" << QStringList{"peak-min"} << "1005.4";
    QTest::newRow("dose 0.001 at its maximum")
        << tenth << 10.0 << "dose-max=0.001" << QStringList() << "0.001";
    QTest::newRow("dose 0.001 at its minimum")
        << tenth << 10.0 << "dose-min=0.001" << QStringList() << "0.001";
    QTest::newRow("dose 0.5953 at its minimum and maximum")
        << dose << 1.0 << "dose-min=0.5953,dose-max=0.5953" << QStringList() << "0.5953";
    QTest::newRow("dose a step below its minimum")
        << dose << 1.0 << "dose-min=0.59531" << QStringList{"dose-min"} << "0.5953";
    QTest::newRow("dose a step above its maximum")
        << dose << 1.0 << "dose-max=0.59529" << QStringList{"dose-max"} << "0.5953";
    QTest::newRow("time above at its minimum")
        << above << 0.3 << "time-above-min=0.9,threshold=1" << QStringList() << "0.9";
    QTest::newRow("time above a step short") << above << 0.3 << "time-above-min=0.90001,threshold=1"
                                             << QStringList{"time-above-min"} << "0.9";
}

void TestUvFigures::verdictsAtTheLimit()
{
    QFETCH(QVector<float>, samples);
    QFETCH(double, interval);
    QFETCH(QString, limits);
    QFETCH(QStringList, failed);
    QFETCH(QString, compared);
    Verdict::Limits l;
    QString why;
    QVERIFY2(Verdict::parse(limits, &l, &why), qPrintable(why));
    UvFigures::Options options;
    options.hasThreshold = l.thresholdSet;
    options.threshold = l.threshold;
    const Verdict::Result r = Verdict::judge(UvFigures::compute(samples, interval, options), l);
    QStringList gotFailed;
    for (const Verdict::Check &check : r.checks) {
        if (!check.passed)
            gotFailed << check.key;
        QCOMPARE(Verdict::figureText(check.measured), compared);
    }
    QCOMPARE(gotFailed, failed);
    QCOMPARE(r.pass, failed.isEmpty());
}

// A dose of 1058304 μJ/cm² in each unit, chosen by its key in any case.
void TestUvFigures::doseUnits_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("dose");
    QTest::addColumn<QString>("unit");
    QTest::newRow("mJ/cm²") << "mJ/cm2" << 1058.304 << QString::fromUtf8("mJ/cm²");
    QTest::newRow("J/cm²") << "j/CM2" << 1.058304 << QString::fromUtf8("J/cm²");
    QTest::newRow("J/m²: 1 mJ/cm² is 10 J/m²") << "J/m2" << 10583.04 << QString::fromUtf8("J/m²");
    QTest::newRow("no unit") << "mJ/m2" << -1.0 << QString();
}

void TestUvFigures::doseUnits()
{
    QFETCH(QString, key);
    QFETCH(double, dose);
    QFETCH(QString, unit);
    DoseUnit::Unit u = DoseUnit::Unit::JoulePerCm2;
    QCOMPARE(DoseUnit::fromKey(key, &u), dose >= 0);
    if (dose < 0)
        return;
    QCOMPARE(DoseUnit::text(u), unit);
    QCOMPARE(DoseUnit::fromMicroJoulePerCm2(1058304, u), dose);
    DoseUnit::Unit again;
    QVERIFY(DoseUnit::fromKey(DoseUnit::key(u), &again));
    QCOMPARE(again, u);
}

QTEST_APPLESS_MAIN(TestUvFigures)
#include "test_uvfigures.moc"
