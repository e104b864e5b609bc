#include "platform/print/DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

namespace print {

int printDocument(const QTextDocument& document, QPrinter& printer, const QMargins& marginsTwips,
                  const DecoratePage& decorate)
{
    if (!printer.isValid())
        return -1;
    printer.setFullPage(true); // coordinates from the paper's corner
    printer.setCopyCount(1);

    QPainter painter;
    if (!painter.begin(&printer))
        return -1;

    PageFrame frame;
    frame.twipsToDevice = printer.resolution() / 1440.0;
    const double k = frame.twipsToDevice;
    frame.paper = printer.paperRect(QPrinter::DevicePixel);
    frame.paper.moveTopLeft(QPointF(0, 0));
    // The printer's unprintable edges are its minimum margins.
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QMarginsF hw = layout.minimumMargins();
    const double pt = printer.resolution() / 72.0;
    frame.printable = frame.paper.adjusted(hw.left() * pt, hw.top() * pt, -hw.right() * pt,
                                           -hw.bottom() * pt);
    frame.text = QRectF(QPointF(marginsTwips.left() * k, marginsTwips.top() * k),
                        QPointF(frame.paper.width() - marginsTwips.right() * k,
                                frame.paper.height() - marginsTwips.bottom() * k));
    if (frame.text.width() <= 0 || frame.text.height() <= 0) {
        painter.end();
        return -1;
    }

    std::unique_ptr<QTextDocument> doc(document.clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setPageSize(frame.text.size());
    const int pages = qMax(1, doc->pageCount());
    const double h = frame.text.height();

    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            return -1;
        }
        painter.save();
        painter.setClipRect(frame.text);
        painter.translate(frame.text.left(), frame.text.top() - p * h);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, p * h, frame.text.width(), h);
        ctx.palette.setColor(QPalette::Text, Qt::black);
        doc->documentLayout()->draw(&painter, ctx);
        painter.restore();
        if (decorate)
            decorate(painter, p + 1, frame);
    }
    painter.end();
    return pages;
}

} // namespace print
