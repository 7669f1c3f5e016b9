#include "logger/uvpowercurvepageforlogger.h"

#include "files/measurementreader.h"
#include "gui/doseunitchoice.h"
#include "gui/savefailures.h"
#include "gui/uiseam.h"
#include "logger/curveexportdialog.h"
#include "logger/firstpageforlogger.h"
#include "measurement/uvfigures.h"
#include "plot/loggerreport.h"
#include "plot/plotexport.h"
#include "ui_uvpowercurvepageforlogger.h"

#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>

#include <qcustomplot.h>

namespace {

const QCP::Interactions curveInteractions =
    QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables;

// How close to a marker (pixels) a press takes the marker instead of the plot.
constexpr int kGrab = 5;

QString seconds(double s)
{
    return QString::number(s, 'f', 1);
}

} // namespace

UVPowerCurvePageForLogger::UVPowerCurvePageForLogger(QWidget *parent)
    : QDialog(parent), ui(new Ui::UVPowerCurvePageForLogger)
{
    ui->setupUi(this);
    for (UvFigures::DoseRule rule :
         {UvFigures::DoseRule::SampleHold, UvFigures::DoseRule::Trapezoid})
        ui->ruleCombo->addItem(LoggerReport::ruleText(rule), int(rule));
    ui->thresholdSpin->setSuffix(QStringLiteral(" ") + LoggerUnits::powerUnitText());
    ui->thresholdSpin->setEnabled(false);
    QCustomPlot *plot = ui->customPlot;
    plot->xAxis->setRange(1, 61440);
    plot->yAxis->setRange(0, 600);
    plot->setMouseTracking(true);
    // 25 runs of 600 samples: polylines in one go, and no antialiasing while
    // the plot is dragged.
    plot->setPlottingHint(QCP::phFastPolylines, true);
    plot->setNoAntialiasingOnDrag(true);
    plot->setInteractions(curveInteractions);
    on_btnUpdateCurve_clicked();

    connect(ui->autosetBtn, &QPushButton::clicked, this, &UVPowerCurvePageForLogger::autoset_yaxis);
    connect(ui->exportBtn, &QPushButton::clicked, this, &UVPowerCurvePageForLogger::exportPlot);
    connect(ui->referenceFileBtn, &QPushButton::clicked, this,
            &UVPowerCurvePageForLogger::chooseReferenceFile);
    connect(plot, &QCustomPlot::mousePress, this, &UVPowerCurvePageForLogger::pressed);
    connect(plot, &QCustomPlot::mouseMove, this, &UVPowerCurvePageForLogger::moved);
    connect(plot, &QCustomPlot::mouseRelease, this, &UVPowerCurvePageForLogger::released);
    const auto activated = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(ui->timeAxisCombo, activated, this, [this] { redraw(Fit::Rescale); });
    connect(ui->alignmentCombo, activated, this, [this] { redraw(Fit::Rescale); });
    connect(ui->referenceCombo, activated, this, [this] {
        if (!m_filling)
            redraw(Fit::Keep);
    });
    const auto valueChanged = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    connect(ui->toleranceSpin, valueChanged, this, [this] { redraw(Fit::Keep); });
    connect(ui->thresholdSpin, valueChanged, this, [this] { redraw(Fit::Keep); });
    connect(ui->thresholdCheck, &QCheckBox::toggled, this, [this](bool on) {
        ui->thresholdSpin->setEnabled(on);
        redraw(Fit::Keep);
    });
    connect(ui->ruleCombo, activated, this, [this] { updateReadout(); });
    connect(DoseUnitChoice::instance(), &DoseUnitChoice::changed, this,
            [this] { updateReadout(); });
    connect(ui->readoutRunCombo, activated, this, [this] {
        if (m_filling)
            return;
        // The markers stay where they are on the plot; their times become
        // those of the run now chosen.
        const int r = readoutRun();
        for (double &t : m_markerTime)
            t = timeOf(r, keyOf(m_readout, t));
        m_readout = r;
        updateReadout();
    });
}

UVPowerCurvePageForLogger::~UVPowerCurvePageForLogger()
{
    delete ui;
}

QCustomPlot *UVPowerCurvePageForLogger::plot() const
{
    return ui->customPlot;
}

void UVPowerCurvePageForLogger::on_btnUpdateCurve_clicked()
{
    LoggerRunData run;
    m_roundedSamples = false;
    if (auto *page = qobject_cast<FirstPageForLogger *>(parentWidget())) {
        run = page->chosenRun();
        m_roundedSamples = page->samplesRounded();
    }
    setRuns({run});
}

void UVPowerCurvePageForLogger::setRuns(const QList<LoggerRunData> &runs)
{
    m_runs = runs;
    m_run = runs.value(0);
    fillRunCombos();
    // The markers start at a quarter and three quarters of the first run.
    const double end = UvFigures::curveEnd(m_run.samples.size(), m_run.intervalSeconds,
                                           UvFigures::DoseRule::SampleHold);
    m_markerTime[0] = end / 4;
    m_markerTime[1] = end * 3 / 4;
    const bool several = m_runs.size() > 1;
    ui->alignmentLabel->setVisible(several);
    ui->alignmentCombo->setVisible(several);
    redraw(Fit::Rescale);
}

void UVPowerCurvePageForLogger::setMarkers(double from, double to)
{
    m_markerTime[0] = from;
    m_markerTime[1] = to;
    placeMarkers();
    updateReadout();
    ui->customPlot->replot(QCustomPlot::rpQueuedReplot);
}

int UVPowerCurvePageForLogger::readoutRun() const
{
    return m_runs.isEmpty() ? -1
                            : qBound(0, ui->readoutRunCombo->currentIndex(), m_runs.size() - 1);
}

double UVPowerCurvePageForLogger::keyOf(int run, double t) const
{
    return m_layout.origin + m_layout.offsets.value(run) + t;
}

double UVPowerCurvePageForLogger::timeOf(int run, double key) const
{
    return key - m_layout.origin - m_layout.offsets.value(run);
}

void UVPowerCurvePageForLogger::fillRunCombos()
{
    m_filling = true;
    const int readout = ui->readoutRunCombo->currentIndex();
    const int reference = ui->referenceCombo->currentIndex();
    ui->readoutRunCombo->clear();
    ui->referenceCombo->clear();
    ui->referenceCombo->addItem(tr("No reference"), -1);
    for (int i = 0; i < m_runs.size(); ++i) {
        const LoggerRunData &run = m_runs.at(i);
        QString name = tr("Run %1").arg(run.number);
        if (run.start.isValid())
            name += QStringLiteral(" · ") + LoggerText::startTime(run.start);
        ui->readoutRunCombo->addItem(name);
        ui->referenceCombo->addItem(name, i);
    }
    for (int i = 0; i < m_fileRuns.size(); ++i)
        ui->referenceCombo->addItem(fileRunName(i), int(m_runs.size() + i));
    ui->readoutRunCombo->setCurrentIndex(qBound(0, readout, m_runs.size() - 1));
    m_readout = readoutRun();
    ui->referenceCombo->setCurrentIndex(qBound(0, reference, ui->referenceCombo->count() - 1));
    m_filling = false;
}

QString UVPowerCurvePageForLogger::fileRunName(int i) const
{
    return tr("%1, run %2").arg(m_fileRunSources.at(i)).arg(m_fileRuns.at(i).number);
}

void UVPowerCurvePageForLogger::redraw(Fit fit)
{
    if (m_filling)
        return;
    QCustomPlot *plot = ui->customPlot;
    RunPlot::Options options;
    options.time = ui->timeAxisCombo->currentIndex() == 1 ? RunPlot::TimeAxis::Clock
                                                          : RunPlot::TimeAxis::Elapsed;
    options.alignment = ui->alignmentCombo->currentIndex() == 1
                            ? RunComparison::Alignment::ExposureWindow
                            : RunComparison::Alignment::Start;
    QList<LoggerRunData> shown = m_runs;
    const int reference = ui->referenceCombo->currentData().toInt();
    if (reference >= m_runs.size() && reference - m_runs.size() < m_fileRuns.size()) {
        shown << m_fileRuns.at(reference - m_runs.size());
        options.reference = shown.size() - 1;
    } else {
        options.reference = reference >= 0 && reference < m_runs.size() ? reference : -1;
    }
    options.tolerancePercent = ui->toleranceSpin->value();
    if (ui->thresholdCheck->isChecked())
        options.threshold = ui->thresholdSpin->value();

    const QCPRange x = plot->xAxis->range();
    const QCPRange y = plot->yAxis->range();
    m_layout = RunPlot::show(plot, shown, options);
    // Drawing the runs deleted the plot's items, the markers among them.
    m_marker[0] = m_marker[1] = nullptr;
    ui->timeNoteLabel->setText(m_layout.timeNote);
    ui->timeNoteLabel->setVisible(!m_layout.timeNote.isEmpty());
    if (options.reference >= m_runs.size() && options.reference < plot->graphCount())
        plot->graph(options.reference)
            ->setName(tr("Reference: %1").arg(fileRunName(reference - m_runs.size())));
    if (fit == Fit::Keep) {
        plot->xAxis->setRange(x);
        plot->yAxis->setRange(y);
    } else {
        autoset_yaxis();
    }
    plot->setInteractions(curveInteractions);
    placeMarkers();
    updateBandList();
    updateReadout();
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void UVPowerCurvePageForLogger::placeMarkers()
{
    QCustomPlot *plot = ui->customPlot;
    // The markers have a layer of their own, above everything, drawn into
    // its own buffer: a marker step redraws two lines, not 25 curves.
    QCPLayer *layer = plot->layer(QStringLiteral("markers"));
    if (!layer) {
        plot->addLayer(QStringLiteral("markers"));
        layer = plot->layer(QStringLiteral("markers"));
        layer->setMode(QCPLayer::lmBuffered);
    }
    const int r = readoutRun();
    for (int k = 0; k < 2; ++k) {
        if (!m_marker[k]) {
            m_marker[k] = new QCPItemStraightLine(plot);
            m_marker[k]->setLayer(layer);
            m_marker[k]->setSelectable(false);
            m_marker[k]->setPen(QPen(QColor(40, 40, 40), 1.5, Qt::DashLine));
        }
        m_marker[k]->setVisible(r >= 0);
        const double key = keyOf(r, m_markerTime[k]);
        m_marker[k]->point1->setCoords(key, 0);
        m_marker[k]->point2->setCoords(key, 1);
    }
}

void UVPowerCurvePageForLogger::updateReadout()
{
    const int r = readoutRun();
    if (r < 0) {
        ui->readoutLabel->clear();
        ui->aboveLabel->clear();
        return;
    }
    const LoggerRunData &run = m_runs.at(r);
    if (run.samples.isEmpty()) {
        m_span = RunComparison::Span();
        ui->readoutLabel->setText(tr("Run %1 has no samples.").arg(run.number));
        ui->aboveLabel->clear();
        return;
    }
    const auto rule = UvFigures::DoseRule(ui->ruleCombo->currentData().toInt());
    // Markers beyond the run's ends are taken to its ends: the span says so.
    m_span = RunComparison::between(run.samples, run.intervalSeconds, m_markerTime[0],
                                    m_markerTime[1], rule);
    const QString unit = LoggerUnits::powerUnitText();
    QStringList lines;
    lines << tr("From %1 s to %2 s: %3 s")
                 .arg(seconds(m_span.from), seconds(m_span.to), seconds(m_span.seconds));
    lines << tr("Mean: %1 %2")
                 .arg(m_span.seconds > 0 ? LoggerText::power(float(m_span.mean)) : tr("none"),
                      unit);
    lines << tr("Peak: %1 %2")
                 .arg(m_span.hasPeak ? LoggerText::power(float(m_span.peak)) : tr("none"), unit);
    const DoseUnit::Unit doseUnit = DoseUnitChoice::instance()->unit();
    lines << tr("Dose: %1 %2")
                 .arg(QString::number(DoseUnit::fromMicroJoulePerCm2(m_span.dose, doseUnit), 'f',
                                      DoseUnit::decimals(doseUnit)),
                      DoseUnit::text(doseUnit));
    lines << tr("Rule: %1").arg(LoggerReport::ruleText(rule));
    // What these figures rest on, where it is less than the instrument gave.
    UvFigures::Options whole;
    whole.rule = rule;
    const UvFigures::Figures f = UvFigures::compute(run.samples, run.intervalSeconds, whole);
    if (f.needsWarning())
        lines << UvFigures::warningText(f);
    if (m_roundedSamples && r == 0)
        lines << tr("The samples come from a file that keeps them with one decimal.");
    ui->readoutLabel->setText(lines.join(QLatin1Char('\n')));

    // The whole run beside the span: dose, peak, exposure window and, with
    // a threshold, the time above it.
    QStringList wholeLines;
    // One line each, to stay whole in the panel's width: the peak is the
    // table's Power(MAX).
    wholeLines << tr("Whole run: %1 %2")
                      .arg(QString::number(DoseUnit::fromMicroJoulePerCm2(f.dose, doseUnit), 'f',
                                           DoseUnit::decimals(doseUnit)),
                           DoseUnit::text(doseUnit));
    wholeLines
        << (f.hasWindow
                ? tr("Window: %1 s to %2 s").arg(seconds(f.windowStart), seconds(f.windowEnd))
                : tr("Window: none"));
    if (ui->thresholdCheck->isChecked()) {
        UvFigures::Options o;
        o.rule = rule;
        o.hasThreshold = true;
        o.threshold = ui->thresholdSpin->value();
        const UvFigures::Figures above = UvFigures::compute(run.samples, run.intervalSeconds, o);
        wholeLines << tr("Whole run above %1 %2: %3 s")
                          .arg(LoggerText::power(float(o.threshold)), unit,
                               seconds(above.aboveThreshold));
    }
    ui->aboveLabel->setText(wholeLines.join(QLatin1Char('\n')));
    ui->aboveLabel->setVisible(!ui->aboveLabel->text().isEmpty());
}

void UVPowerCurvePageForLogger::updateBandList()
{
    ui->bandList->clear();
    const int reference = ui->referenceCombo->currentData().toInt();
    const bool chosen = reference >= 0;
    ui->bandList->setVisible(chosen && m_layout.error.isEmpty());
    ui->referenceMessage->setText(chosen ? m_layout.error : QString());
    ui->referenceMessage->setVisible(!ui->referenceMessage->text().isEmpty());
    ui->referenceMessage->setStyleSheet(
        m_layout.error.isEmpty() ? QString() : QStringLiteral("color: #b00020"));
    if (!chosen || !m_layout.error.isEmpty())
        return;
    for (int i = 0; i < m_runs.size(); ++i) {
        if (i == reference)
            continue;
        const RunComparison::Band band = m_layout.bands.value(i);
        const QString run = tr("Run %1").arg(m_runs.at(i).number);
        ui->bandList->addItem(band.compared > 0
                                  ? tr("%1: %2 % inside the band")
                                        .arg(run, QString::number(100 * band.insideShare, 'f', 1))
                                  : tr("%1: no time in common with the reference").arg(run));
    }
}

void UVPowerCurvePageForLogger::chooseReferenceFile()
{
    const QString name =
        UiSeam::getOpenFileName(this, tr("Open a reference run"),
                                tr("Measurement files (*.json *.csv *.xls *.xlsx)") +
                                    QStringLiteral(";;") + tr("All files (*)"));
    if (name.isEmpty())
        return;
    Measurement m;
    QString error;
    if (!MeasurementReader::read(name, &m, &error)) {
        UiSeam::warning(this, tr("Reference"), error);
        return;
    }
    if (m.family != Measurement::Family::Logger || m.logger.runs.isEmpty()) {
        UiSeam::warning(this, tr("Reference"),
                        tr("%1 holds no Logger run.").arg(QFileInfo(name).fileName()));
        return;
    }
    const int first = m_runs.size() + m_fileRuns.size();
    for (const LoggerRunData &run : m.logger.runs) {
        m_fileRuns << run;
        m_fileRunSources << QFileInfo(name).fileName();
    }
    fillRunCombos();
    // Choosing the first of the file's runs draws it.
    ui->referenceCombo->setCurrentIndex(ui->referenceCombo->findData(first));
}

void UVPowerCurvePageForLogger::exportPlot()
{
    auto *dialog = new CurveExportDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        dialog->remember();
        const QString suffix = CurveExportDialog::suffixOf(dialog->format());
        const QString proposed = QStringLiteral("NO%1_curve.%2").arg(m_run.number).arg(suffix);
        const QString name =
            UiSeam::getSaveFileName(this, tr("Export the plot"), proposed, dialog->filter());
        if (name.isEmpty())
            return;
        // A name with a known picture suffix is written in that format.
        PlotExport::Format format = dialog->format();
        PlotExport::formatOf(name, &format);
        // The markers belong to the readout, which the file does not hold.
        QCPLayer *markers = ui->customPlot->layer(QStringLiteral("markers"));
        if (markers)
            markers->setVisible(false);
        QString error;
        const bool written =
            PlotExport::write(ui->customPlot, name, format, dialog->size(), &error);
        if (markers)
            markers->setVisible(true);
        if (!written)
            SaveFailures::show(this, tr("error"), error);
    });
    dialog->open();
}

int UVPowerCurvePageForLogger::markerAt(const QPoint &pos) const
{
    const QCustomPlot *plot = ui->customPlot;
    if (readoutRun() < 0 || !plot->axisRect()->rect().contains(pos))
        return -1;
    int best = -1;
    double bestDistance = kGrab + 1;
    for (int k = 0; k < 2; ++k) {
        const double d =
            qAbs(plot->xAxis->coordToPixel(keyOf(readoutRun(), m_markerTime[k])) - pos.x());
        if (d <= kGrab && d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

void UVPowerCurvePageForLogger::pressed(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragged = markerAt(event->pos());
    // The axis rect starts a range drag after this signal: without the
    // interaction it leaves the plot where it is.
    if (m_dragged >= 0)
        ui->customPlot->setInteraction(QCP::iRangeDrag, false);
}

void UVPowerCurvePageForLogger::moved(QMouseEvent *event)
{
    QCustomPlot *plot = ui->customPlot;
    if (m_dragged < 0) {
        if (markerAt(event->pos()) >= 0)
            plot->setCursor(Qt::SizeHorCursor);
        else
            plot->unsetCursor();
        return;
    }
    // A marker stays on the curves: between the earliest start and the
    // latest end of the runs shown.
    const auto rule = UvFigures::DoseRule(ui->ruleCombo->currentData().toInt());
    double low = 0, high = 0;
    bool any = false;
    for (int i = 0; i < m_runs.size(); ++i) {
        const LoggerRunData &run = m_runs.at(i);
        const double start = keyOf(i, 0);
        const double end =
            keyOf(i, UvFigures::curveEnd(run.samples.size(), run.intervalSeconds, rule));
        low = any ? qMin(low, start) : start;
        high = any ? qMax(high, end) : end;
        any = true;
    }
    const double key = qBound(low, plot->xAxis->pixelToCoord(event->pos().x()), high);
    m_markerTime[m_dragged] = timeOf(readoutRun(), key);
    m_marker[m_dragged]->point1->setCoords(key, 0);
    m_marker[m_dragged]->point2->setCoords(key, 1);
    updateReadout();
    m_marker[m_dragged]->layer()->replot();
}

void UVPowerCurvePageForLogger::released(QMouseEvent *)
{
    if (m_dragged < 0)
        return;
    m_dragged = -1;
    ui->customPlot->setInteraction(QCP::iRangeDrag, true);
}

void UVPowerCurvePageForLogger::retranslate()
{
    ui->retranslateUi(this);
    for (int i = 0; i < ui->ruleCombo->count(); ++i)
        ui->ruleCombo->setItemText(
            i, LoggerReport::ruleText(UvFigures::DoseRule(ui->ruleCombo->itemData(i).toInt())));
    fillRunCombos();
    redraw(Fit::Keep);
}

void UVPowerCurvePageForLogger::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void UVPowerCurvePageForLogger::autoset_yaxis()
{
    QCustomPlot *plot = ui->customPlot;
    plot->rescaleAxes();
    // The threshold line shows even where no curve reaches it.
    if (ui->thresholdCheck->isChecked() && !m_runs.isEmpty()) {
        QCPRange y = plot->yAxis->range();
        y.expand(ui->thresholdSpin->value());
        plot->yAxis->setRange(y);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
    plot->setInteractions(curveInteractions);
}
