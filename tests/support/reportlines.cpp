#include "reportlines.h"

#include <QAbstractTextDocumentLayout>
#include <QMap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <memory>

namespace {

QTextBlock rulerOf(const QTextTableCell &cell)
{
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth))
            return block;
    }
    return QTextBlock();
}

qreal textWidth(const QTextBlock &block)
{
    return block.layout()->lineCount() > 0 ? block.layout()->lineAt(0).naturalTextWidth() : 0;
}

} // namespace

QString ReportLines::misplaced(const QTextDocument &document, int width)
{
    const std::unique_ptr<QTextDocument> doc(document.clone());
    doc->setTextWidth(width);
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    layout->documentSize(); // lays it all out
    const auto frames = doc->rootFrame()->childFrames();
    for (QTextFrame *frame : frames) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table || table->format().border() > 0)
            continue;
        // Where the labels of each column end at the furthest, and the
        // longest label's width.
        QMap<int, qreal> columnEnd;
        QMap<int, qreal> columnLongest;
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                const QTextBlock first = cell.firstCursorPosition().block();
                if (rulerOf(cell).isValid() || first.text().trimmed().isEmpty())
                    continue;
                const qreal end = layout->blockBoundingRect(first).left() + textWidth(first);
                columnEnd[c] = qMax(columnEnd.value(c), end);
                columnLongest[c] = qMax(columnLongest.value(c), textWidth(first));
            }
        }
        for (int r = 0; r < table->rows(); ++r) {
            QTextBlock label;
            int labelColumn = -1;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                const QTextBlock ruler = rulerOf(cell);
                const QTextBlock first = cell.firstCursorPosition().block();
                if (!ruler.isValid()) {
                    if (!first.text().trimmed().isEmpty()) {
                        label = first;
                        labelColumn = c;
                    }
                    continue;
                }
                if (!label.isValid())
                    return QStringLiteral("row %1: a line without a label").arg(r);
                const QString name = label.text().trimmed();
                const QRectF text = layout->blockBoundingRect(label);
                const QRectF line = layout->blockBoundingRect(ruler);
                const qreal textBottom = text.top() + label.layout()->lineAt(0).height();
                if (line.top() < textBottom)
                    return QStringLiteral("the line of \"%1\" is at %2, above the label's "
                                          "bottom %3")
                        .arg(name)
                        .arg(line.top())
                        .arg(textBottom);
                const qreal gap = line.left() - columnEnd.value(labelColumn);
                if (gap > 2 * columnLongest.value(labelColumn))
                    return QStringLiteral("the line of \"%1\" starts %2 px after its label")
                        .arg(name)
                        .arg(gap);
                label = QTextBlock();
            }
        }
    }
    return QString();
}
