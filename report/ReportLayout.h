#pragma once
// The report page as the design view lays it out, as a pure function: the
// window's inner size, the page width and margins and the label sizes in;
// the page frame, the scroll bars, the grid, the labels 0..6 and the red line
// out. Every length is in twips; label positions are within the page frame.
//
// Labels 1..4 stand in one row under the title, 225 apart; a label that would
// start past the grid's right edge starts a new row at the grid's left, 100
// below the label before it, and the labels after it continue on that row.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace report {

struct ScrollBarState {
    bool visible = false;
    QRect rect;
    int min = 0, max = 0, smallChange = 1, largeChange = 1;
};

struct LayoutInput {
    int width = 0, height = 0; // the window's inner size
    int pageWidth = 11906;
    int leftMargin = 680, rightMargin = 680;
    int verticalOffset = 0;
    int gridRows = 2;
    bool designView = true;
    QRect frame; // the page frame and grid as they are now
    QRect grid;
    QRect labels[7]; // labels 0..6 as they are now (sizes fit their texts)
    int barThickness = 255;
};

struct LayoutResult {
    QRect frame;
    QRect preview;
    ScrollBarState vsb, hsb;
    QRect grid;
    int col0Width = 315;
    QRect labels[7];
    int redLineX = 0, redLineTop = 0, redLineBottom = 0;
};

LayoutResult layoutPage(const LayoutInput& in);

// The red line's x: the grid's left + the printable width.
int redLineX(int gridLeft, int pageWidth, int leftMargin, int rightMargin);

// The column 0 width for a grid of `rows` rows.
inline int col0Width(int rows) {
    return rows > 99 ? 400 : 315;
}

} // namespace report
