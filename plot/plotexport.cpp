#include "plot/plotexport.h"

#include "files/safefile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <qcustomplot.h>

namespace PlotExport {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PlotExport", text);
}

// Beyond these a picture would take more memory than a plot is worth.
constexpr int kMaxSide = 20000;
constexpr qint64 kMaxPixels = 40'000'000; // 160 MB as a picture
constexpr int kMaxDpi = 2400;

// The plot drawn into a painter of width x height device pixels. The plot's
// own sizes (fonts, pens) are for a screen of 96 dpi: at a higher
// resolution it is drawn larger by dpi / 96, so that a picture printed at
// its resolution looks like the plot on the screen. The device itself must
// count 96 dpi while it is painted on: a font's points are turned into
// pixels at the device's resolution, and the scale would enlarge them a
// second time.
void draw(QCustomPlot *plot, QCPPainter *painter, const Size &size, bool vector)
{
    const double scale = size.dpi / 96.0;
    if (vector) {
        painter->setMode(QCPPainter::pmVectorized);
        painter->setMode(QCPPainter::pmNonCosmetic);
    }
    painter->setMode(QCPPainter::pmNoCaching);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->scale(scale, scale);
    plot->toPainter(painter, qMax(1, qRound(size.width / scale)),
                    qMax(1, qRound(size.height / scale)));
}

bool picture(QCustomPlot *plot, const Size &size, const char *format, QByteArray *bytes)
{
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int screen = qRound(96 / 0.0254);
    image.setDotsPerMeterX(screen);
    image.setDotsPerMeterY(screen);
    QCPPainter painter;
    if (!painter.begin(&image))
        return false;
    draw(plot, &painter, size, false);
    painter.end();
    const int dotsPerMeter = qRound(size.dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (qstrcmp(format, "jpeg") == 0)
        writer.setQuality(90);
    return writer.write(image);
}

bool svg(QCustomPlot *plot, const Size &size, QByteArray *bytes)
{
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(size.width, size.height));
    generator.setViewBox(QRect(0, 0, size.width, size.height));
    // Declared at 96 dpi, as SVG counts a pixel: the picture is width x
    // height pixels large, drawn as a picture of that size at dpi would be.
    generator.setResolution(96);
    QCPPainter painter;
    if (!painter.begin(&generator))
        return false;
    draw(plot, &painter, size, true);
    return painter.end();
}

bool pdf(QCustomPlot *plot, const Size &size, QByteArray *bytes)
{
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Vantrel"));
    // The page is the plot as a picture of width x height at dpi would be
    // printed: width / dpi inches wide. Painted at 96 dpi, at the plot's
    // own sizes.
    writer.setResolution(96);
    const QSizeF points(size.width * 72.0 / size.dpi, size.height * 72.0 / size.dpi);
    writer.setPageLayout(
        QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QCPPainter painter;
    if (!painter.begin(&writer))
        return false;
    const Size page{qMax(1, qRound(size.width * 96.0 / size.dpi)),
                    qMax(1, qRound(size.height * 96.0 / size.dpi)), 96};
    draw(plot, &painter, page, true);
    return painter.end();
}

} // namespace

bool formatOf(const QString &fileName, Format *format)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        *format = Format::Png;
    else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        *format = Format::Jpeg;
    else if (suffix == QLatin1String("svg"))
        *format = Format::Svg;
    else if (suffix == QLatin1String("pdf"))
        *format = Format::Pdf;
    else
        return false;
    return true;
}

bool sizeOk(const Size &size, QString *error)
{
    if (size.width < 1 || size.height < 1 || size.width > kMaxSide || size.height > kMaxSide ||
        qint64(size.width) * size.height > kMaxPixels) {
        *error = tr("A plot is from 1 to %1 pixels wide and high, and at most %2 million "
                    "pixels in all.")
                     .arg(kMaxSide)
                     .arg(kMaxPixels / 1'000'000);
        return false;
    }
    if (size.dpi < 1 || size.dpi > kMaxDpi) {
        *error = tr("The resolution is from 1 to %1 dpi.").arg(kMaxDpi);
        return false;
    }
    return true;
}

bool write(QCustomPlot *plot, const QString &fileName, Format format, const Size &size,
           QString *error)
{
    if (!sizeOk(size, error))
        return false;
    QByteArray bytes;
    bool drawn = false;
    switch (format) {
    case Format::Png:
        drawn = picture(plot, size, "png", &bytes);
        break;
    case Format::Jpeg:
        drawn = picture(plot, size, "jpeg", &bytes);
        break;
    case Format::Svg:
        drawn = svg(plot, size, &bytes);
        break;
    case Format::Pdf:
        drawn = pdf(plot, size, &bytes);
        break;
    }
    if (!drawn || bytes.isEmpty()) {
        *error = tr("The plot could not be drawn for %1.").arg(fileName);
        return false;
    }
    QString why;
    if (!SafeFile::writeFile(fileName, bytes, &why)) {
        *error = tr("%1 could not be written: %2").arg(fileName, why);
        return false;
    }
    return true;
}

} // namespace PlotExport
