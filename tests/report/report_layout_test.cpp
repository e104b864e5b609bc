// The design view's page layout as a pure function, on the numbers of an A4
// page (11906 twips wide) with 680-twip margins.
#include "report/PageSettings.h"
#include "report/ReportLayout.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

LayoutInput a4(int w, int h) {
    LayoutInput in;
    in.width = w;
    in.height = h;
    in.pageWidth = 11906;
    in.frame = QRect(0, 0, 11906, 8000);
    in.grid = QRect(680, 1200, 10546, 4000);
    in.labels[0] = QRect(0, 300, 1500, 400);
    for (int i = 1; i <= 6; ++i)
        in.labels[i] = QRect(0, 900, 1000, 200);
    return in;
}

} // namespace

TEST(ReportLayout, PageCentredOrScrolled) {
    const LayoutResult wide = layoutPage(a4(15000, 9000));
    EXPECT_EQ(wide.frame, QRect((15000 - 11906) / 2, 0, 11906, 9000));
    EXPECT_FALSE(wide.hsb.visible);
    EXPECT_FALSE(wide.vsb.visible);
    EXPECT_EQ(wide.preview, QRect(0, 0, 15000, 9000));

    const LayoutResult narrow = layoutPage(a4(8000, 9000));
    EXPECT_EQ(narrow.frame.left(), 0);
    ASSERT_TRUE(narrow.hsb.visible);
    EXPECT_EQ(narrow.hsb.rect, QRect(0, 9000 - 255, 8000, 255));
    EXPECT_EQ(narrow.hsb.max, 11906 - 8000 + 255);
    EXPECT_EQ(narrow.hsb.smallChange, 255);
    EXPECT_EQ(narrow.hsb.largeChange, 8000 - 255);

    LayoutInput preview = a4(8000, 9000);
    preview.designView = false;
    EXPECT_FALSE(layoutPage(preview).hsb.visible);

    // 16-bit scroll ranges; a window thinner than the bar.
    LayoutInput huge = a4(100, 9000);
    huge.pageWidth = 40000;
    const LayoutResult h = layoutPage(huge);
    EXPECT_EQ(h.hsb.max, 32767);
    EXPECT_EQ(h.hsb.largeChange, 1);
}

TEST(ReportLayout, MinimisedWindowKeepsTheSizes) {
    const LayoutInput in = a4(0, 0);
    const LayoutResult out = layoutPage(in);
    EXPECT_EQ(out.frame.size(), in.frame.size());
    EXPECT_EQ(out.grid.size(), in.grid.size());
}

TEST(ReportLayout, GridAndLabelsFromTheMargins) {
    const LayoutResult out = layoutPage(a4(15000, 9000));
    EXPECT_EQ(out.grid.left(), 680);
    EXPECT_EQ(out.grid.width(), 11906 - 1360);
    EXPECT_EQ(out.grid.height(), 9000 - 400 - 200 - 200 - 200 - 2000);
    EXPECT_EQ(out.grid.top(), 900 + 200 + 200); // label 1 where it stood before
    EXPECT_EQ(out.labels[0].topLeft(), QPoint((11906 - 1500) / 2, 300));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(out.labels[i].topLeft(), QPoint(680 + (i - 1) * 1225, 300 + 400 + 225)) << i;
    EXPECT_EQ(out.labels[5].topLeft(), QPoint(680, out.grid.top() + out.grid.height() + 200));
    EXPECT_EQ(out.labels[6].topLeft(), QPoint(680, out.labels[5].top() + 200 + 200));

    // A window too low: height 0, never negative.
    EXPECT_EQ(layoutPage(a4(15000, 2500)).grid.height(), 0);
}

TEST(ReportLayout, LabelsPastTheGridsRightEdgeWrap) {
    LayoutInput in = a4(15000, 9000);
    in.labels[1].setWidth(6000);
    in.labels[2].setWidth(4000); // starts at 680+6000+225 = 6905, inside the grid
    in.labels[3].setWidth(500);  // starts at 11130, still left of the grid's right edge 11226
    in.labels[4].setWidth(500);  // would start at 11855: wraps
    const LayoutResult out = layoutPage(in);
    const int row1 = 300 + 400 + 225;
    EXPECT_EQ(out.labels[2].topLeft(), QPoint(6905, row1));
    EXPECT_EQ(out.labels[3].topLeft(), QPoint(11130, row1)); // may run past the edge
    EXPECT_EQ(out.labels[4].topLeft(), QPoint(680, row1 + 200 + 100));

    // A wrapped label takes the ones after it onto its row.
    in.labels[2].setWidth(5000);
    const LayoutResult out2 = layoutPage(in);
    EXPECT_EQ(out2.labels[3].topLeft(), QPoint(680, row1 + 300));
    EXPECT_EQ(out2.labels[4].topLeft(), QPoint(680 + 500 + 225, row1 + 300));
}

TEST(ReportLayout, ColumnZeroAndRedLine) {
    LayoutInput in = a4(15000, 9000);
    in.gridRows = 99;
    EXPECT_EQ(layoutPage(in).col0Width, 315);
    in.gridRows = 100;
    EXPECT_EQ(layoutPage(in).col0Width, 400);

    const LayoutResult base = layoutPage(in);
    EXPECT_EQ(base.redLineX, 11906 - 680);
    EXPECT_EQ(base.redLineTop, base.frame.top());
    EXPECT_EQ(base.redLineBottom, base.frame.top() + 9000);
    in.rightMargin += 500;
    EXPECT_EQ(layoutPage(in).redLineX, base.redLineX - 500);
    in.rightMargin -= 500;
    in.leftMargin += 500;
    const LayoutResult left = layoutPage(in);
    EXPECT_EQ(left.redLineX, base.redLineX);
    EXPECT_EQ(left.grid.left(), 1180);

    // Landscape widens the page, the grid and the line alike.
    in.leftMargin = 680;
    in.pageWidth = 16838;
    const LayoutResult land = layoutPage(in);
    EXPECT_EQ(land.grid.width(), 16838 - 1360);
    EXPECT_EQ(land.redLineX, 16838 - 680);
}

TEST(PageSettings, PaperOrientationAndMargins) {
    PageSettings p;
    EXPECT_EQ(p.pageWidth(), 11906);
    EXPECT_EQ(p.pageHeight(), 16838);
    EXPECT_EQ(p.paperCode(), 9);
    EXPECT_EQ(p.orientationCode(), 1);
    EXPECT_TRUE(p.fits());
    p.setOrientationCode(2);
    EXPECT_EQ(p.pageWidth(), 16838);
    for (int code : {1, 5, 8, 9, 11, 12, 13}) {
        p.setPaperCode(code);
        EXPECT_EQ(p.paperCode(), code);
    }
    p.setPaperCode(77); // unknown: the paper stays
    EXPECT_EQ(p.paperCode(), 13);

    PageSettings q;
    q.leftMargin = q.rightMargin = (11906 - 1440) / 2;
    EXPECT_TRUE(q.fits());
    q.rightMargin += 1;
    EXPECT_FALSE(q.fits());
    q = PageSettings();
    q.bottomMargin = -1;
    EXPECT_FALSE(q.fits());
}
