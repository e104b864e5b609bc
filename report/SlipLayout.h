#pragma once
// The slip window's page panel as a pure function, in twips: the window's
// inner area, the printer page (width, left and right margins, the grid's
// vertical start), the slips per row and the labels' sizes in; the panel, the
// preview, the scroll bars, the grid, the column width, the labels 0..6 and
// the red line out.
//
// The panel is as wide as the page and centred in the window (at left 0 with
// a horizontal bar when the window is narrower; never a bar in the preview);
// the grid sits between the margins, 200 below the vertical start; the title
// is centred 300 from the top, labels 1..4 follow it on one line, 225 apart (a
// label starting past the grid's right edge goes one line down at the grid's
// left), labels 5 and 6 stand 200 below the grid. A zero width or height (a
// minimised window) keeps the sizes it governs.

#include "report/ReportLayout.h"

#include <QRect>

namespace report {

struct SlipLayoutInput {
    QRect area;             // the window's inner area (ScaleLeft, ScaleTop, W, H)
    int pageWidth = 11906;  // P
    int leftMargin = 50;    // ML
    int rightMargin = 50;   // MR
    int verticalStart = 50; // V
    int cols = 1;           // slips per row
    bool layoutView = true; // false while the preview shows
    int vsbWidth = 255;
    int hsbHeight = 255;
    QRect frame, preview, grid; // as they are now
    QSize labels[7];            // sizes of labels 0..6
    QPoint labelAt[7];          // their places now
};

struct SlipLayout {
    QRect frame, preview, grid;
    ScrollBarState vsb, hsb;
    int colWidth = 0;
    QRect labels[7];
    int redLineX = 0, redLineTop = 0, redLineBottom = 0;
};

SlipLayout layoutSlipPage(const SlipLayoutInput& in);

} // namespace report
