// The grid style values: read from a grid, written back in range or free mode.
#include "report/GridStyle.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

ReportGrid grid3x3() {
    ReportGrid g;
    g.setCols(3);
    g.setRows(5);
    return g;
}

} // namespace

TEST(GridStyle, LineStyleTextsAndCodes) {
    EXPECT_EQ(lineStyleTexts(), (QStringList{"正常显示", "不显示", "只显示水平线", "只显示垂直线"}));
    const struct {
        const char* text;
        int code;
    } table[] = {{"正常显示", 1},     {"不显示", 0}, {"只显示水平线", 4},
                 {"只显示垂直线", 8}, {"", -1},      {"其他", -1}};
    for (const auto& row : table) {
        EXPECT_EQ(lineStyleCode(QString::fromUtf8(row.text)), row.code) << row.text;
        if (row.code >= 0) {
            EXPECT_EQ(lineStyleText(row.code), QString::fromUtf8(row.text));
        }
    }
    EXPECT_EQ(lineStyleText(2), "");
}

TEST(GridStyle, ReadKeepsTheTextOfAnUnknownCode) {
    ReportGrid g = grid3x3();
    g.gridLines = 8;
    g.gridLineWidth = 3;
    GridStyleValues v;
    readGridStyle(g, v);
    EXPECT_EQ(v.lineStyle, "只显示垂直线");
    EXPECT_EQ(v.lineWidth, "3");
    EXPECT_EQ(v.back, QColor(Qt::white));

    g.gridLines = 2; // no text of its own: the cell keeps what it showed
    readGridStyle(g, v);
    EXPECT_EQ(v.lineStyle, "只显示垂直线");
    applyGridStyle(g, v);
    EXPECT_EQ(g.gridLines, 8);
    EXPECT_EQ(g.gridLinesFixed, 8);

    GridStyleValues empty;
    g.gridLines = 2;
    readGridStyle(g, empty);
    EXPECT_EQ(empty.lineStyle, "");
    applyGridStyle(g, empty);
    EXPECT_EQ(g.gridLines, 2); // stays, and the second setting follows it
    EXPECT_EQ(g.gridLinesFixed, 2);
}

TEST(GridStyle, WidthIsOneDigit) {
    const struct {
        const char* text;
        int width;
    } table[] = {{"0", 0}, {"9", 9}, {" 5 ", 5}, {"", 4}, {"12", 4}, {"x", 4}, {"-1", 4}, {"٣", 4}};
    for (const auto& row : table) {
        ReportGrid g = grid3x3();
        g.gridLineWidth = 4;
        GridStyleValues v;
        readGridStyle(g, v);
        v.lineWidth = QString::fromUtf8(row.text);
        applyGridStyle(g, v);
        EXPECT_EQ(g.gridLineWidth, row.width) << row.text;
    }
}

TEST(GridStyle, ColoursGoToTheRangeOrTheWholeGrid) {
    ReportGrid g = grid3x3();
    GridStyleValues v;
    readGridStyle(g, v);
    v.back = QColor(255, 255, 0);
    v.fore = QColor(0, 0, 255);
    v.gridLine = QColor(0, 128, 0);
    v.border = QColor(128, 0, 0);

    g.highLight = 1;
    g.select(2, 1, 3, 1);
    applyGridStyle(g, v);
    EXPECT_EQ(g.cellBackColor(3, 1), v.back);
    EXPECT_EQ(g.cellForeColor(2, 1), v.fore);
    EXPECT_EQ(g.cellBackColor(4, 1), QColor(Qt::white));
    EXPECT_EQ(g.backColor, QColor(Qt::white));
    EXPECT_EQ(g.gridColor, v.gridLine);
    EXPECT_EQ(g.gridColorFixed, v.gridLine);
    EXPECT_EQ(g.borderColor, v.border);

    ReportGrid h = grid3x3();
    h.highLight = 0;
    h.select(4, 2, 4, 2);
    applyGridStyle(h, v);
    EXPECT_EQ(h.backColor, v.back);
    EXPECT_EQ(h.backColorFixed, v.back);
    EXPECT_EQ(h.foreColor, v.fore);
    EXPECT_EQ(h.cellBackColor(3, 1), v.back);
    EXPECT_EQ(h.cellStyle(4, 2).back, std::optional<QColor>(v.back)); // the current cell too
    EXPECT_FALSE(h.cellStyle(3, 1).back.has_value());
}
