#pragma once
// The print document of a report page: a flow laid out on pages.
//
//   - the title as page header on every page, centred between the margins in
//     the title label's font and colour;
//   - labels 1..4, then the user labels whose top is not below label 1's
//     bottom, as paragraphs (caption and five blanks, wrapped);
//   - the grid as it shows: its visible columns, the title row (unless
//     hidden) at the top of every page, the visible data rows split between pages (a row taller
//     than a page goes on over the next), wrapped cell texts, fonts, colours,
//     alignment, text styles, merged runs and grid lines; a grid wider than
//     the printable width is scaled down to it;
//   - labels 5 and 6, then every other visible user label;
//   - "第 n 页，共 N 页" in the window's font at the left margin, 300 twips
//     below the top of the bottom margin -- or, on a bottom margin too narrow
//     for it, on the last line the sheet holds, the body ending above it.
//
// Hidden labels (tag "Hide") print nothing. Lengths are in twips from the
// paper's top-left corner. The document holds a copy of what it prints, so it
// can be painted again (a preview) while the grid changes.

#include "report/PageSettings.h"
#include "report/ReportGrid.h"
#include "report/ReportLabels.h"

#include <QList>
#include <QPointF>
#include <QString>

class QPainter;
class QPrinter;

namespace report {

class ReportDocument {
public:
    void build(const ReportGrid& grid, const LabelSet& labels, const PageSettings& page,
               const QFont& windowFont, const QColor& windowColor = Qt::black);

    int pageCount() const { return int(pages_.size()); }
    const PageSettings& page() const { return page_; }
    // "|" followed by the title.
    QString headerText() const { return QStringLiteral("|") + title_.caption; }
    // The labels printed, above and below the grid, in print order.
    const QList<int>& labelsAbove() const { return above_; }
    const QList<int>& labelsBelow() const { return below_; }
    // Where the page numbers stand, and where the body ends.
    QPoint pageNumberAt() const { return numberAt_; }
    int bodyBottom() const { return bodyBottom_; }
    // The scale the grid prints at (1 when it fits the printable width).
    double gridScale() const { return scale_; }

    static QString pageNumberText(int n, int count);

    // Writes `text` through the text output that wrote the page numbers: on
    // the last page, at the current position (after the last page number, or
    // after the text written before, on their base line), in the given font
    // and colour; a text
    // that would pass the right margin starts a new line at the left margin.
    // False (nothing written) when the document has no pages.
    bool writeText(const QString& text, const QFont& font, const QColor& color);

    // Paints page `index` (0-based); the painter draws in twips from the
    // paper's corner.
    void paintPage(QPainter& painter, int index) const;

    // Drops the pages.
    void clear() {
        pages_.clear();
        written_.clear();
    }

private:
    struct Paragraph {
        QString text;
        QFont font;
        QColor color;
        int y = 0, height = 0;
    };
    struct RowPiece {
        int row = 0;
        int y = 0;      // top on the page, in grid units below the slice top
        int offset = 0; // part of the row already printed on an earlier page
        int height = 0; // height printed here
        int full = 0;   // whole height of the row
    };
    struct Written {
        QString text;
        QFont font;
        QColor color;
        QPointF at; // on the base line
    };
    struct Slice {
        int y = 0; // top of the title row on the page
        QList<RowPiece> rows;
    };
    struct Page {
        QList<Paragraph> paragraphs;
        QList<Slice> slices;
    };

    void addParagraph(const ReportLabel& label, int& y);
    void layoutGrid(int& y);
    int cellHeight(int row) const;
    void paintSlice(QPainter& p, const Slice& s) const;
    void paintCell(QPainter& p, int row, int col, const QRectF& rect, const QRectF& clip) const;
    void newPage(int& y);

    ReportGrid grid_;
    ReportLabel title_;
    QFont windowFont_;
    QColor windowColor_;
    PageSettings page_;
    QList<Page> pages_;
    QList<Written> written_;
    QPointF cursor_;
    int cursorLine_ = 0; // height of the line the cursor is on
    QList<int> above_, below_;
    QList<int> cols_;
    QList<int> colX_;
    QList<int> rowHeights_;
    int bodyTop_ = 0, bodyBottom_ = 0, bodyLeft_ = 0, bodyWidth_ = 0;
    QPoint numberAt_;
    double scale_ = 1.0;
};

// Prints every page on the printer (page settings applied). Returns the pages
// printed, or -1 when the printer failed, with the reason in *error.
int printReport(const ReportDocument& doc, QPrinter& printer, QString* error = nullptr);

} // namespace report
