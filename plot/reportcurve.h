#pragma once

#include "measurement/loggerdata.h"
#include "measurement/uvfigures.h"

#include <QObject>
#include <QPicture>
#include <QTextObjectInterface>

#include <memory>

class QCustomPlot;

// The run's curve in the report, as a text object: a document with this
// handler registered for kObjectType draws the curve wherever such an object
// stands, the size its image format gives (in pixels at kDpi), with the
// painter the document is painted with. A printer or PDF painter keeps the
// curve as lines and text, not as a picture.
class ReportCurve : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    static constexpr int kObjectType = QTextFormat::UserObject + 22;
    static constexpr int kDpi = 96;
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 200;

    // The threshold of options is drawn as a line when set.
    ReportCurve(const LoggerRunData &run, const UvFigures::Options &options, QObject *parent);
    ~ReportCurve() override;

    QSizeF intrinsicSize(QTextDocument *doc, int positionInDocument,
                         const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc,
                    int positionInDocument, const QTextFormat &format) override;

    // The plot the curve is drawn from; never shown.
    QCustomPlot *plot() const { return m_plot.get(); }

private:
    std::unique_ptr<QCustomPlot> m_plot;
    // The plot's drawing, recorded once as painter commands.
    QPicture m_picture;
};
