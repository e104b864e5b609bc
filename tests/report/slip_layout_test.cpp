// The slip window's page panel as a pure function of the window, the page and
// the labels, in twips.
#include "report/SlipLayout.h"

#include <QList>

#include <gtest/gtest.h>

using namespace report;

namespace {

SlipLayoutInput input(int W, int H, int P = 11906) {
    SlipLayoutInput in;
    in.area = QRect(0, 0, W, H);
    in.pageWidth = P;
    in.frame = QRect(0, 0, 1000, 5000);
    in.grid = QRect(0, 0, 1000, 3000);
    for (int i = 0; i < 7; ++i)
        in.labels[i] = QSize(1000, 255);
    in.labels[0] = QSize(2000, 400);
    return in;
}

TEST(SlipLayout, PanelBarsAndGrid) {
    struct Case {
        const char* name;
        SlipLayoutInput in;
        int frameLeft, frameTop, frameHeight;
        bool hsb, vsb;
        int hsbMax, vsbMax;
        int gridWidth, gridHeight, colWidth;
    };
    SlipLayoutInput preview = input(9000, 8000);
    preview.layoutView = false;
    SlipLayoutInput two = input(14000, 8000, 11907);
    two.cols = 2;
    const QList<Case> cases = {
        // wider than the page: centred, no bar
        {"wide", input(14000, 8000), 1047, 0, 8000, false, false, 0, 0, 11706, 8000 - 400 - 255 - 255 - 1600,
         11706},
        // narrower: at the left with a bar from 0 to P - W + its height
        {"narrow", input(9000, 8000), 0, 0, 8000, true, false, 11906 - 9000 + 255, 0, 11706, 5490, 11706},
        {"preview", preview, 0, 0, 8000, false, false, 0, 0, 11706, 5490, 11706},
        // minimised: sizes kept, both bars show
        {"minimised", input(0, 0), 0, 0, 5000, true, true, 1000 + 255, 5000 + 255, 1000, 3000, 1000},
        // two slips a row: each half of the grid, halves to even
        {"two", two, 1046, 0, 8000, false, false, 0, 0, 11707, 5490, 5854},
    };
    for (const Case& c : cases) {
        const SlipLayout out = layoutSlipPage(c.in);
        EXPECT_EQ(out.frame.left(), c.frameLeft) << c.name;
        EXPECT_EQ(out.frame.top(), c.frameTop) << c.name;
        EXPECT_EQ(out.frame.height(), c.frameHeight) << c.name;
        EXPECT_EQ(out.hsb.visible, c.hsb) << c.name;
        EXPECT_EQ(out.vsb.visible, c.vsb) << c.name;
        if (c.hsb) {
            EXPECT_EQ(out.hsb.max, c.hsbMax) << c.name;
            if (c.in.area.width() > 0) {
                EXPECT_EQ(out.hsb.largeChange, c.in.area.width() - 255) << c.name;
            }
            EXPECT_EQ(out.hsb.rect, QRect(0, c.in.area.height() - 255, c.in.area.width(), 255)) << c.name;
        }
        if (c.vsb) {
            EXPECT_EQ(out.vsb.max, c.vsbMax) << c.name;
        }
        EXPECT_EQ(out.grid.width(), c.gridWidth) << c.name;
        EXPECT_EQ(out.grid.height(), c.gridHeight) << c.name;
        EXPECT_EQ(out.grid.topLeft(), QPoint(50, 250)) << c.name;
        EXPECT_EQ(out.colWidth, c.colWidth) << c.name;
        EXPECT_EQ(out.redLineX, c.in.pageWidth - 50) << c.name;
    }
}

TEST(SlipLayout, LabelsFlowAroundTheGrid) {
    // Grid from 50 to 11756: label 2 starting exactly on its right edge stays
    // on the first line; one twip further it goes below label 1.
    for (const auto& [w1, down] : {std::pair{11481, false}, {11482, true}}) {
        SlipLayoutInput in = input(14000, 8000);
        in.labels[1] = QSize(w1, 300);
        const SlipLayout out = layoutSlipPage(in);
        const int firstLine = 300 + 400 + 225;
        EXPECT_EQ(out.labels[0].topLeft(), QPoint((11906 - 2000) / 2, 300));
        EXPECT_EQ(out.labels[1].topLeft(), QPoint(50, firstLine));
        EXPECT_EQ(out.labels[2].topLeft(),
                  down ? QPoint(50, firstLine + 300 + 100) : QPoint(11756, firstLine))
            << w1;
        // label 3 starts on the first line again, right of label 2, unless
        // that is past the grid too
        EXPECT_EQ(out.labels[3].topLeft(),
                  down ? QPoint(50 + 1000 + 225, firstLine) : QPoint(50, firstLine + 255 + 100))
            << w1;
        EXPECT_EQ(out.labels[5].topLeft(), QPoint(50, out.grid.bottom() + 1 + 200));
        EXPECT_EQ(out.labels[6].topLeft(), QPoint(50 + 1000 + 225, out.labels[5].top()));
    }
}

} // namespace
