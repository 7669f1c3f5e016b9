#include "logger/curveexportdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// ~/.config/Vantrel/Vantrel.conf, group "curveExport".
const char kOrganization[] = "Vantrel";
const char kApplication[] = "Vantrel";
const char kFormatKey[] = "curveExport/format";
const char kWidthKey[] = "curveExport/width";
const char kHeightKey[] = "curveExport/height";
const char kDpiKey[] = "curveExport/dpi";

const PlotExport::Format kFormats[] = {PlotExport::Format::Png, PlotExport::Format::Jpeg,
                                       PlotExport::Format::Svg, PlotExport::Format::Pdf};

// Sizes a picture can have: from a thumbnail to a poster.
constexpr int kMinPixels = 16;
constexpr int kMaxPixels = 20000;
constexpr int kMinDpi = 24;
constexpr int kMaxDpi = 2400;

QSpinBox *spinBox(int minimum, int maximum)
{
    auto *box = new QSpinBox;
    box->setRange(minimum, maximum);
    return box;
}

} // namespace

CurveExportDialog::CurveExportDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("curveExportDialog"));
    m_format = new QComboBox;
    m_format->setObjectName(QStringLiteral("formatCombo"));
    for (PlotExport::Format f : kFormats)
        m_format->addItem(suffixOf(f).toUpper(), int(f));
    m_width = spinBox(kMinPixels, kMaxPixels);
    m_width->setObjectName(QStringLiteral("widthSpin"));
    m_height = spinBox(kMinPixels, kMaxPixels);
    m_height->setObjectName(QStringLiteral("heightSpin"));
    m_dpi = spinBox(kMinDpi, kMaxDpi);
    m_dpi->setObjectName(QStringLiteral("dpiSpin"));

    auto *form = new QFormLayout;
    QWidget *fields[4] = {m_format, m_width, m_height, m_dpi};
    for (int i = 0; i < 4; ++i) {
        m_labels[i] = new QLabel;
        form->addRow(m_labels[i], fields[i]);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    setFormat(rememberedFormat());
    setSize(rememberedSize());
    retranslate();
}

PlotExport::Format CurveExportDialog::format() const
{
    return PlotExport::Format(m_format->currentData().toInt());
}

PlotExport::Size CurveExportDialog::size() const
{
    PlotExport::Size s;
    s.width = m_width->value();
    s.height = m_height->value();
    s.dpi = m_dpi->value();
    return s;
}

void CurveExportDialog::setFormat(PlotExport::Format format)
{
    m_format->setCurrentIndex(qMax(0, m_format->findData(int(format))));
}

void CurveExportDialog::setSize(const PlotExport::Size &size)
{
    m_width->setValue(size.width);
    m_height->setValue(size.height);
    m_dpi->setValue(size.dpi);
}

QString CurveExportDialog::suffixOf(PlotExport::Format format)
{
    switch (format) {
    case PlotExport::Format::Png:
        return QStringLiteral("png");
    case PlotExport::Format::Jpeg:
        return QStringLiteral("jpg");
    case PlotExport::Format::Svg:
        return QStringLiteral("svg");
    case PlotExport::Format::Pdf:
        return QStringLiteral("pdf");
    }
    return QString();
}

QString CurveExportDialog::filter() const
{
    const PlotExport::Format f = format();
    QString patterns = QStringLiteral("*.") + suffixOf(f);
    if (f == PlotExport::Format::Jpeg)
        patterns += QStringLiteral(" *.jpeg");
    return tr("%1 files (%2)").arg(suffixOf(f).toUpper(), patterns);
}

PlotExport::Format CurveExportDialog::rememberedFormat()
{
    const QSettings settings{QLatin1String(kOrganization), QLatin1String(kApplication)};
    const QString name = settings.value(QLatin1String(kFormatKey)).toString();
    for (PlotExport::Format f : kFormats) {
        if (suffixOf(f) == name)
            return f;
    }
    return PlotExport::Format::Png;
}

PlotExport::Size CurveExportDialog::rememberedSize()
{
    const QSettings settings{QLatin1String(kOrganization), QLatin1String(kApplication)};
    const PlotExport::Size defaults;
    // A value edited out of range by hand falls back to the default.
    const auto read = [&settings](const char *key, int fallback, int minimum, int maximum) {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok && v >= minimum && v <= maximum ? v : fallback;
    };
    PlotExport::Size s;
    s.width = read(kWidthKey, defaults.width, kMinPixels, kMaxPixels);
    s.height = read(kHeightKey, defaults.height, kMinPixels, kMaxPixels);
    s.dpi = read(kDpiKey, defaults.dpi, kMinDpi, kMaxDpi);
    return s;
}

void CurveExportDialog::remember() const
{
    QSettings settings{QLatin1String(kOrganization), QLatin1String(kApplication)};
    const PlotExport::Size s = size();
    settings.setValue(QLatin1String(kFormatKey), suffixOf(format()));
    settings.setValue(QLatin1String(kWidthKey), s.width);
    settings.setValue(QLatin1String(kHeightKey), s.height);
    settings.setValue(QLatin1String(kDpiKey), s.dpi);
}

void CurveExportDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void CurveExportDialog::retranslate()
{
    setWindowTitle(tr("Export the plot"));
    m_labels[0]->setText(tr("Format:"));
    m_labels[1]->setText(tr("Width:"));
    m_labels[2]->setText(tr("Height:"));
    m_labels[3]->setText(tr("Resolution:"));
    m_width->setSuffix(tr(" px"));
    m_height->setSuffix(tr(" px"));
    m_dpi->setSuffix(tr(" dpi"));
}
