#pragma once
// Printing a rich-text document page by page.
//
// printDocument lays the document out on the printer into a text rectangle
// given by margins from the paper's edges (in twips, 1440 to the inch), prints
// it page by page (an empty document still gives one page) and lets the
// caller draw the decorations of every page (header, footer, page number)
// through a callback. The frame handed to the callback is in the printer's
// device pixels, measured from the paper's top-left corner: the paper, the
// part of it the printer can reach, and the text rectangle.

#include <QMargins>
#include <QRectF>

#include <functional>

class QPainter;
class QPrinter;
class QTextDocument;

namespace print {

struct PageFrame {
    QRectF paper;
    QRectF printable;
    QRectF text;
    double twipsToDevice = 1.0; // device pixels per twip
};

using DecoratePage = std::function<void(QPainter& painter, int pageNumber, const PageFrame& frame)>;

// Returns the number of pages printed, or -1 when the printer could not be
// started. The document itself is not changed.
int printDocument(const QTextDocument& document, QPrinter& printer, const QMargins& marginsTwips,
                  const DecoratePage& decorate);

} // namespace print
