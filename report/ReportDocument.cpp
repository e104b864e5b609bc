#include "report/ReportDocument.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace report {

namespace {
constexpr int kGridSpace = 200;  // before and after the grid
constexpr int kNumberDrop = 300; // page numbers below the top of the bottom margin
constexpr int kHeaderGap = 100;  // between the header and the body
constexpr int kPadX = 60;        // text inset in a cell, each side
constexpr int kPadY = 30;
constexpr int kTall = 10000000;
const QString kTail = QStringLiteral("     ");

QRectF textBounds(const QFont& font, const QString& text, int width) {
    const QFontMetricsF fm(twipFont(font));
    return fm.boundingRect(QRectF(0, 0, std::max(1, width), kTall), Qt::TextWordWrap | Qt::AlignLeft, text);
}

int lineHeight(const QFont& font) {
    return int(std::ceil(QFontMetricsF(twipFont(font)).lineSpacing()));
}

bool hasHorizontal(int style) {
    return style == 1 || style == 4;
}
bool hasVertical(int style) {
    return style == 1 || style == 8;
}
} // namespace

QString ReportDocument::pageNumberText(int n, int count) {
    return QStringLiteral("第 %1 页，共 %2 页").arg(n).arg(count);
}

void ReportDocument::newPage(int& y) {
    pages_.append(Page());
    y = bodyTop_;
}

void ReportDocument::addParagraph(const ReportLabel& label, int& y) {
    Paragraph p;
    p.text = label.caption + kTail;
    p.font = label.font;
    p.color = label.color;
    p.height = int(std::ceil(textBounds(label.font, p.text, bodyWidth_).height()));
    if (y + p.height > bodyBottom_ && y > bodyTop_) newPage(y);
    p.y = y;
    pages_.last().paragraphs.append(p);
    y += p.height;
}

int ReportDocument::cellHeight(int row) const {
    int h = grid_.rowHeight(row);
    for (int i = 0; i < cols_.size(); ++i) {
        const int c = cols_[i];
        const QString t = grid_.textMatrix(row, c);
        if (t.isEmpty()) continue;
        const int w = grid_.colWidth(c) - 2 * kPadX;
        h = std::max(h, int(std::ceil(textBounds(grid_.cellFont(row, c), t, w).height())) + 2 * kPadY);
    }
    return h;
}

void ReportDocument::layoutGrid(int& y) {
    cols_ = grid_.visibleCols();
    colX_.clear();
    int x = 0;
    for (int c : cols_) {
        colX_.append(x);
        x += grid_.colWidth(c);
    }
    colX_.append(x);
    scale_ = (x > bodyWidth_ && x > 0) ? double(bodyWidth_) / double(x) : 1.0;

    const QList<int> rows = grid_.visibleDataRows();
    const int head = grid_.rowHidden(0) ? 0 : cellHeight(0);
    rowHeights_.clear();
    for (int r : rows)
        rowHeights_.append(cellHeight(r));

    y += kGridSpace;
    qsizetype i = 0;
    int offset = 0;
    bool first = true;
    while (first || i < rows.size()) {
        first = false;
        const int next = i < rows.size() ? std::min(rowHeights_[i] - offset, 300) : 0;
        if (y + (head + next) * scale_ > bodyBottom_ && y > bodyTop_) newPage(y);
        Slice s;
        s.y = y;
        int gy = head;
        const int limit = int((bodyBottom_ - y) / scale_);
        while (i < rows.size()) {
            const int full = rowHeights_[i];
            const int rest = full - offset;
            if (gy + rest <= limit) {
                s.rows.append({rows[i], gy, offset, rest, full});
                gy += rest;
                offset = 0;
                ++i;
                continue;
            }
            if (!s.rows.isEmpty()) break;
            // Taller than what is left of an empty page: print what fits.
            const int part = std::max(limit - gy, 300);
            s.rows.append({rows[i], gy, offset, std::min(part, rest), full});
            gy += std::min(part, rest);
            offset += std::min(part, rest);
            if (offset >= full) {
                offset = 0;
                ++i;
            }
            break;
        }
        pages_.last().slices.append(s);
        y = s.y + int(std::ceil(gy * scale_));
        if (i < rows.size()) newPage(y);
    }
    y += kGridSpace;
}

void ReportDocument::build(const ReportGrid& grid, const LabelSet& labels, const PageSettings& page,
                           const QFont& windowFont, const QColor& windowColor) {
    grid_ = grid;
    page_ = page;
    windowFont_ = windowFont;
    windowColor_ = windowColor;
    title_ = labels.at(0);
    pages_.clear();
    written_.clear();
    above_.clear();
    below_.clear();

    const int pageW = page.pageWidth(), pageH = page.pageHeight();
    bodyLeft_ = page.leftMargin;
    bodyWidth_ = std::max(1440 / 4, pageW - page.leftMargin - page.rightMargin);
    bodyTop_ = page.topMargin;
    if (!title_.caption.isEmpty()) {
        const int h = int(std::ceil(textBounds(title_.font, title_.caption, bodyWidth_).height()));
        bodyTop_ = std::max(page.topMargin, h + kHeaderGap);
    }
    const int numberH = lineHeight(windowFont);
    int numberY = pageH - page.bottomMargin + kNumberDrop;
    if (numberY + numberH > pageH) numberY = pageH - numberH;
    numberAt_ = QPoint(page.leftMargin, numberY);
    bodyBottom_ = std::min(pageH - page.bottomMargin, numberY - kNumberDrop);
    if (bodyBottom_ <= bodyTop_ + 1440 / 4) bodyBottom_ = bodyTop_ + 1440 / 4;

    int y = bodyTop_;
    pages_.append(Page());
    const auto put = [&](int i, QList<int>& into) {
        if (i < labels.count() && !labels.at(i).hidden()) {
            addParagraph(labels.at(i), y);
            into.append(i);
        }
    };
    const QRect l1 = labels.at(1).rect;
    QList<int> lower;
    for (int i = 1; i <= 4; ++i)
        put(i, above_);
    for (int i = LabelSet::kFirstUser; i <= labels.lastIndex() && i < labels.count(); ++i) {
        if (labels.at(i).rect.top() <= l1.top() + l1.height())
            put(i, above_);
        else
            lower.append(i);
    }
    layoutGrid(y);
    put(5, below_);
    put(6, below_);
    for (int i : lower)
        put(i, below_);
}

void ReportDocument::paintCell(QPainter& p, int row, int col, const QRectF& rect, const QRectF& clip) const {
    p.save();
    p.setClipRect(clip);
    p.fillRect(clip, grid_.cellBackColor(row, col));
    const QString text = grid_.textMatrix(row, col);
    if (!text.isEmpty()) {
        p.setFont(twipFont(grid_.cellFont(row, col)));
        const QRectF inner = rect.adjusted(kPadX, kPadY, -kPadX, -kPadY);
        const int flags = int(alignmentFlags(grid_.cellAlignment(row, col))) | Qt::TextWordWrap;
        const int style = grid_.cellTextStyle(row, col);
        if (style == 1 || style == 2) {
            const double d = style == 1 ? -10 : 10;
            p.setPen(Qt::white);
            p.drawText(inner.translated(d, d), flags, text);
        }
        p.setPen(grid_.cellForeColor(row, col));
        p.drawText(inner, flags, text);
    }
    p.restore();
}

void ReportDocument::paintSlice(QPainter& p, const Slice& s) const {
    p.save();
    p.translate(bodyLeft_, s.y);
    p.scale(scale_, scale_);
    const int head = s.rows.isEmpty() ? (grid_.rowHidden(0) ? 0 : cellHeight(0)) : s.rows.first().y;
    const int bottom = s.rows.isEmpty() ? head : s.rows.last().y + s.rows.last().height;
    const auto line = [&](bool fixed, double x1, double y1, double x2, double y2) {
        QPen pen(fixed ? grid_.gridColorFixed : grid_.gridColor);
        pen.setWidthF(std::max(1, grid_.gridLineWidth) * 15.0);
        p.setPen(pen);
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    };
    const auto edges = [&](bool fixed, const QRectF& r) {
        const int style = fixed ? grid_.gridLinesFixed : grid_.gridLines;
        if (grid_.gridLineWidth <= 0) return;
        if (hasHorizontal(style)) line(fixed, r.left(), r.bottom(), r.right(), r.bottom());
        if (hasVertical(style)) line(fixed, r.right(), r.top(), r.right(), r.bottom());
    };

    for (qsizetype k = 0; k < cols_.size(); ++k) {
        const int c = cols_[k];
        const double x = colX_[k], w = colX_[k + 1] - colX_[k];
        const QRectF hr(x, 0, w, head);
        if (head > 0) {
            paintCell(p, 0, c, hr, hr);
            edges(true, hr);
        }
        const bool fixedCol = c < grid_.fixedCols();
        for (qsizetype i = 0; i < s.rows.size();) {
            const RowPiece& a = s.rows[i];
            qsizetype j = i + 1;
            if (grid_.mergeCol(c) && a.offset == 0)
                while (j < s.rows.size() && s.rows[j].offset == 0 &&
                       grid_.textMatrix(s.rows[j].row, c) == grid_.textMatrix(a.row, c) &&
                       s.rows[j - 1].height == s.rows[j - 1].full)
                    ++j;
            const RowPiece& z = s.rows[j - 1];
            const QRectF clip(x, a.y, w, z.y + z.height - a.y);
            const QRectF rect = j - i > 1 ? clip : QRectF(x, a.y - a.offset, w, a.full);
            paintCell(p, a.row, c, rect, clip);
            edges(fixedCol, clip);
            i = j;
        }
    }
    // The outer edges: top and left.
    QPen border(grid_.borderColor);
    border.setWidthF(std::max(1, grid_.gridLineWidth) * 15.0);
    p.setPen(border);
    if (grid_.gridLines != 0 && !cols_.isEmpty()) {
        p.drawLine(QPointF(0, 0), QPointF(colX_.last(), 0));
        p.drawLine(QPointF(0, 0), QPointF(0, bottom));
    }
    p.restore();
}

void ReportDocument::paintPage(QPainter& p, int index) const {
    if (index < 0 || index >= pages_.size()) return;
    const Page& page = pages_[index];
    p.save();
    if (!title_.caption.isEmpty()) {
        p.setFont(twipFont(title_.font));
        p.setPen(title_.color);
        const QRectF r = textBounds(title_.font, title_.caption, bodyWidth_);
        const double top = std::max(0.0, bodyTop_ - kHeaderGap - r.height());
        p.drawText(QRectF(bodyLeft_, top, bodyWidth_, r.height()), Qt::AlignHCenter | Qt::TextWordWrap,
                   title_.caption);
    }
    for (const Paragraph& para : page.paragraphs) {
        p.setFont(twipFont(para.font));
        p.setPen(para.color);
        p.drawText(QRectF(bodyLeft_, para.y, bodyWidth_, para.height), Qt::AlignLeft | Qt::TextWordWrap,
                   para.text);
    }
    for (const Slice& s : page.slices)
        paintSlice(p, s);
    p.setFont(twipFont(windowFont_));
    p.setPen(windowColor_);
    p.drawText(QPointF(numberAt_.x(), numberAt_.y() + QFontMetricsF(twipFont(windowFont_)).ascent()),
               pageNumberText(index + 1, pageCount()));
    if (index == pageCount() - 1) {
        for (const Written& w : written_) {
            p.setFont(twipFont(w.font));
            p.setPen(w.color);
            p.drawText(w.at, w.text);
        }
    }
    p.restore();
}

bool ReportDocument::writeText(const QString& text, const QFont& font, const QColor& color) {
    if (pages_.isEmpty()) return false;
    if (written_.isEmpty()) {
        // The page numbers were written last: the position stands after the last one.
        const QFontMetricsF fm(twipFont(windowFont_));
        cursor_ = QPointF(numberAt_.x() + fm.horizontalAdvance(pageNumberText(pageCount(), pageCount())),
                          numberAt_.y() + fm.ascent());
        cursorLine_ = lineHeight(windowFont_);
    }
    const double width = QFontMetricsF(twipFont(font)).horizontalAdvance(text);
    const int right = page_.pageWidth() - page_.rightMargin;
    if (cursor_.x() > page_.leftMargin && cursor_.x() + width > right) {
        cursor_ = QPointF(page_.leftMargin, cursor_.y() + cursorLine_);
        cursorLine_ = 0;
    }
    written_.append({text, font, color, cursor_});
    cursor_.setX(cursor_.x() + width);
    cursorLine_ = std::max(cursorLine_, lineHeight(font));
    return true;
}

int printReport(const ReportDocument& doc, QPrinter& printer, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return -1;
    };
    if (!printer.isValid()) return fail(QStringLiteral("没有可用的打印机。"));
    doc.page().applyTo(printer);
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString target =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        return fail(QStringLiteral("打印机“%1”无法开始打印。").arg(target));
    }
    const double k = printer.resolution() / 1440.0;
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return fail(QStringLiteral("打印第 %1 页时打印机出错。").arg(i + 1));
        }
        painter.save();
        painter.scale(k, k);
        doc.paintPage(painter, i);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return fail(QStringLiteral("打印机出错，文档未能打印完。"));
    return doc.pageCount();
}

} // namespace report
