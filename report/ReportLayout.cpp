#include "report/ReportLayout.h"

#include <algorithm>

namespace report {

namespace {
constexpr int kTitleTop = 300;
constexpr int kLabelGap = 225;
constexpr int kWrapGap = 100;
constexpr int kGridGap = 200;
constexpr int kHeightReserve = 2000;

int clamp16(int v) {
    return std::min(v, 32767);
}
} // namespace

int redLineX(int gridLeft, int pageWidth, int leftMargin, int rightMargin) {
    return gridLeft + pageWidth - leftMargin - rightMargin;
}

LayoutResult layoutPage(const LayoutInput& in) {
    LayoutResult out;
    const int W = in.width, H = in.height, bar = in.barThickness;
    out.frame = in.frame;
    out.grid = in.grid;
    out.preview = QRect(0, 0, 0, 0);
    for (int i = 0; i < 7; ++i)
        out.labels[i] = in.labels[i];

    if (W > 0) {
        out.frame.setWidth(in.pageWidth);
        out.frame.moveLeft((W - in.pageWidth) / 2);
        out.preview.setWidth(W);
    }
    if (H > 0) {
        out.frame.setHeight(H);
        out.preview.setHeight(H);
    }
    if (out.frame.height() > H) {
        out.vsb.visible = true;
        out.vsb.rect = QRect(W - bar, 0, bar, H);
        out.vsb.max = clamp16(out.frame.height() - H + bar);
        out.vsb.smallChange = bar;
        if (H > 0) out.vsb.largeChange = std::max(1, H - bar);
        out.frame.moveTop(0);
    }
    if (out.frame.width() > W) {
        out.hsb.visible = true;
        out.hsb.rect = QRect(0, H - bar, W, bar);
        out.hsb.max = clamp16(out.frame.width() - W + bar);
        out.hsb.smallChange = bar;
        if (W > 0) out.hsb.largeChange = std::max(1, W - bar);
        out.frame.moveLeft(0);
    }
    if (!in.designView) out.hsb.visible = false;

    if (W > 0) out.grid.setWidth(out.frame.width() - in.leftMargin - in.rightMargin);
    if (H > 0) {
        const int h = out.frame.height() - in.labels[0].height() - in.labels[1].height() -
                      in.labels[5].height() - in.labels[6].height() - kHeightReserve;
        out.grid.setHeight(std::max(0, h));
    }
    out.grid.moveLeft(in.leftMargin);
    out.grid.moveTop(in.verticalOffset + in.labels[1].top() + in.labels[1].height() + kGridGap);
    out.col0Width = col0Width(in.gridRows);

    out.redLineX = redLineX(out.grid.left(), in.pageWidth, in.leftMargin, in.rightMargin);
    out.redLineTop = out.frame.top();
    out.redLineBottom = out.frame.top() + out.frame.height();

    QRect* lbl = out.labels;
    lbl[0].moveTop(kTitleTop);
    if (W > 0) lbl[0].moveLeft((out.frame.width() - lbl[0].width()) / 2);

    const int gridRight = out.grid.left() + out.grid.width();
    int rowTop = lbl[0].top() + lbl[0].height() + kLabelGap;
    lbl[1].moveLeft(out.grid.left());
    for (int i = 1; i <= 4; ++i) {
        if (i >= 2) lbl[i].moveLeft(lbl[i - 1].left() + lbl[i - 1].width() + kLabelGap);
        lbl[i].moveTop(rowTop);
        if (gridRight < lbl[i].left()) {
            rowTop = lbl[i - 1].top() + lbl[i - 1].height() + kWrapGap;
            lbl[i].moveTo(out.grid.left(), rowTop);
        }
    }
    lbl[5].moveTo(out.grid.left(), out.grid.top() + out.grid.height() + kGridGap);
    lbl[6].moveTo(lbl[5].left(), lbl[5].top() + lbl[5].height() + kGridGap);
    return out;
}

} // namespace report
