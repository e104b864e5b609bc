#include "report/SlipLayout.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {
constexpr int kTitleTop = 300;
constexpr int kLabelGap = 225;
constexpr int kLineStep = 100;
constexpr int kGridGap = 200;
constexpr int kGridAllowance = 100;
constexpr int kHeightReserve = 1600;

int bounded(double v) {
    return int(std::clamp(std::lround(v), -32768L, 32767L));
}
} // namespace

SlipLayout layoutSlipPage(const SlipLayoutInput& in) {
    SlipLayout out;
    const int W = in.area.width(), H = in.area.height();
    out.frame = in.frame;
    out.preview = in.preview;
    out.grid = in.grid;
    for (int i = 0; i < 7; ++i)
        out.labels[i] = QRect(in.labelAt[i], in.labels[i]);

    if (W > 0) {
        out.frame.setWidth(in.pageWidth);
        out.frame.moveLeft((W - out.frame.width()) / 2);
        out.preview = QRect(0, 0, W, out.preview.height());
    }
    if (H > 0) {
        out.frame.setHeight(H);
        out.preview.setHeight(H);
    }
    if (out.frame.height() > H) {
        ScrollBarState& b = out.vsb;
        b.visible = true;
        b.rect = QRect(W - in.vsbWidth, in.area.top(), in.vsbWidth, H);
        b.min = 0;
        b.max = bounded(out.frame.height() - H + in.vsbWidth);
        b.smallChange = in.vsbWidth;
        if (H > 0) b.largeChange = bounded(H - in.vsbWidth);
        out.frame.moveTop(0);
    }
    if (out.frame.width() > W) {
        ScrollBarState& b = out.hsb;
        b.visible = true;
        b.rect = QRect(in.area.left(), H - in.hsbHeight, W, in.hsbHeight);
        b.min = 0;
        b.max = bounded(out.frame.width() - W + in.hsbHeight);
        b.smallChange = in.hsbHeight;
        if (W > 0) b.largeChange = bounded(W - in.hsbHeight);
        out.frame.moveLeft(0);
    }
    if (!in.layoutView) out.hsb.visible = false;

    if (W > 0) out.grid.setWidth(out.frame.width() - in.leftMargin - in.rightMargin - kGridAllowance);
    if (H > 0)
        out.grid.setHeight(std::max(0, out.frame.height() - in.labels[0].height() - in.labels[1].height() -
                                           in.labels[5].height() - kHeightReserve));
    out.grid.moveLeft(in.leftMargin);
    out.grid.moveTop(in.verticalStart + kGridGap);

    const int cols = std::max(1, in.cols);
    out.colWidth = int(std::nearbyint(double(out.grid.width()) / cols));

    out.redLineX = redLineX(out.grid.left(), in.pageWidth, in.leftMargin, in.rightMargin);
    out.redLineTop = out.frame.top();
    out.redLineBottom = out.frame.top() + out.frame.height();

    QRect* l = out.labels;
    l[0].moveTop(kTitleTop);
    if (W > 0) l[0].moveLeft((out.frame.width() - l[0].width()) / 2);
    const int firstLine = l[0].top() + l[0].height() + kLabelGap;
    const int gridRight = out.grid.left() + out.grid.width();
    l[1].moveLeft(out.grid.left());
    for (int i = 1; i <= 4; ++i) {
        if (i > 1) l[i].moveLeft(l[i - 1].left() + l[i - 1].width() + kLabelGap);
        l[i].moveTop(firstLine);
        if (l[i].left() > gridRight)
            l[i].moveTo(out.grid.left(), l[i - 1].top() + l[i - 1].height() + kLineStep);
    }
    l[5].moveTo(out.grid.left(), out.grid.top() + out.grid.height() + kGridGap);
    l[6].moveTo(l[5].left() + l[5].width() + kLabelGap, l[5].top());
    return out;
}

} // namespace report
