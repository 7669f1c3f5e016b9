#include "plot/reportcurve.h"

#include "plot/runplot.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <qcustomplot.h>

ReportCurve::ReportCurve(const LoggerRunData &run, const UvFigures::Options &options,
                         QObject *parent)
    : QObject(parent), m_plot(std::make_unique<QCustomPlot>())
{
    RunPlot::Options plotOptions;
    if (options.hasThreshold)
        plotOptions.threshold = options.threshold;
    m_plot->resize(kWidth, kHeight);
    RunPlot::show(m_plot.get(), {run}, plotOptions);
    // A smaller type than the window's plots: the axis titles fit the
    // curve's 200 pixels of height.
    QFont font = m_plot->font();
    font.setPointSizeF(7.5);
    for (QCPAxis *axis : {m_plot->xAxis, m_plot->yAxis}) {
        axis->setLabelFont(font);
        axis->setTickLabelFont(font);
    }
    // Recorded at the report's size, so that the text of the axes keeps its
    // proportion to the curve at any scale.
    QCPPainter painter(&m_picture);
    m_plot->toPainter(&painter, kWidth, kHeight);
    painter.end();
}

ReportCurve::~ReportCurve() = default;

QSizeF ReportCurve::intrinsicSize(QTextDocument *doc, int, const QTextFormat &format)
{
    const QTextImageFormat image = format.toImageFormat();
    QSizeF size(image.hasProperty(QTextFormat::ImageWidth) ? image.width() : kWidth,
                image.hasProperty(QTextFormat::ImageHeight) ? image.height() : kHeight);
    // Pixels at kDpi, as an image of that size would take on the device the
    // document is laid out for (a printer, a PDF page).
    if (const QPaintDevice *device = doc->documentLayout()->paintDevice())
        size *= qreal(device->logicalDpiY()) / kDpi;
    return size;
}

void ReportCurve::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                             const QTextFormat &)
{
    painter->save();
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / kWidth, rect.height() / kHeight);
    painter->setClipRect(QRectF(0, 0, kWidth, kHeight), Qt::IntersectClip);
    painter->drawPicture(0, 0, m_picture);
    painter->restore();
}
