// The report grid model: loading from the report array, fitting, and the
// column and display commands, without any widget.
#include "report/ReportArray.h"
#include "report/ReportGrid.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

// Fixed-width measure: 100 twips a character, 200 a line, wrapping by count.
QSize fakeMeasure(const QFont& f, const QString& text, int wrap) {
    const int scale = f.bold() ? 2 : 1;
    int w = 0, lines = 0;
    for (const QString& l : text.split(u'\n')) {
        const int lw = int(l.size()) * 100 * scale;
        if (wrap > 0 && lw > wrap) {
            lines += (lw + wrap - 1) / wrap;
            w = std::max(w, wrap);
        } else {
            ++lines;
            w = std::max(w, lw);
        }
    }
    return QSize(w, lines * 200 * scale);
}

ReportGrid loaded(const QList<QStringList>& records, const QStringList& titles, int addOrder = 0) {
    ReportArray a;
    a.resize(int(records.size()), int(titles.size()));
    for (int c = 0; c < titles.size(); ++c)
        a.setCell(0, c + 1, titles[c]);
    for (int r = 0; r < records.size(); ++r)
        a.setRow(r + 1, records[r]);
    ReportGrid g;
    g.setMeasure(fakeMeasure);
    initRawGrid(g, a, int(records.size()), int(titles.size()), addOrder);
    return g;
}

QStringList column(const ReportGrid& g, int c) {
    QStringList out;
    for (int r = 2; r < g.rows(); ++r)
        out << g.textMatrix(r, c);
    return out;
}

QStringList keys(const ReportGrid& g) {
    QStringList out;
    for (int r = 2; r < g.rows(); ++r)
        out << g.rowData(r).toString();
    return out;
}

const QStringList kTitles = {"索书号", "题名", "姓名"};
const QList<QStringList> kRecords = {{"K1", "TP2", "乙", "王"},
                                     {"K2", "TP1", "甲", "李"},
                                     {"K3", "TP3", "甲", "王"},
                                     {"K4", "TP1", "丙", "张"}};

} // namespace

TEST(ReportGrid, LoadsEveryShapeOfTheListWindows) {
    for (const auto& shape : reportshapes::shapes()) {
        for (int n : {0, 1, 97, 98, 300}) {
            reportshapes::fill(shape, n);
            ReportGrid g;
            g.setMeasure(fakeMeasure);
            initRawGrid(g, g_varPrtData, g_lngPrtRows, g_lngPrtCols, 0);
            SCOPED_TRACE(shape.title.toStdString() + " " + std::to_string(n));
            ASSERT_EQ(g.rows(), n + 2);
            ASSERT_EQ(g.cols(), shape.columns.size() + 1);
            for (int c = 1; c < g.cols(); ++c) {
                EXPECT_EQ(g.textMatrix(0, c), shape.columns[c - 1]);
                EXPECT_EQ(g.textMatrix(1, c), shape.columns[c - 1]);
                EXPECT_EQ(g.cellAlignment(0, c), 4);
                EXPECT_EQ(g.cellBackColor(0, c), QColor(224, 224, 224));
            }
            EXPECT_TRUE(g.rowHidden(1));
            EXPECT_TRUE(g.colHidden(0));
            EXPECT_EQ(g.colData(0), "Hide");
            EXPECT_EQ(g.highLight, 0);
            if (n > 0) {
                EXPECT_EQ(g.rowData(2).toString(), "M1");
                EXPECT_EQ(g.rowData(n + 1).toString(), QStringLiteral("M%1").arg(n));
                EXPECT_EQ(g.textMatrix(n + 1, 1), shape.columns[0] + QString::number(n));
            }
        }
    }
}

TEST(ReportGrid, CellsTheCallerLeftOutReadEmpty) {
    ReportArray a;
    a.setCell(0, 1, "题名");
    a.setCell(2, 2, "孤");
    ReportGrid g;
    g.setMeasure(fakeMeasure);
    initRawGrid(g, a, 3, 2, 1); // rows and columns beyond what was written
    ASSERT_EQ(g.rows(), 5);
    EXPECT_EQ(g.textMatrix(0, 2), "");
    EXPECT_EQ(g.textMatrix(3, 2), "孤");
    EXPECT_EQ(g.textMatrix(4, 1), "");
    EXPECT_EQ(g.rowData(4).toString(), "");
    EXPECT_EQ(g.textMatrix(2, 0), "1");
    EXPECT_EQ(g.textMatrix(4, 0), "3");
    EXPECT_FALSE(g.colHidden(0));
    EXPECT_EQ(a.cell(-1, 5), "");
}

TEST(ReportGrid, ProperSizeFillsTheGridWidthAndFitsRowHeights) {
    ReportGrid g = loaded({{"K", "A", "BBBB\nC", "CC"}}, {"T1", "Title2", "T3"});
    // Widths fitted 100/char + 120, scaled to 10545 in the ratio of the texts.
    int sum = 0;
    for (int c = 0; c < g.cols(); ++c)
        sum += g.colWidth(c);
    EXPECT_NEAR(sum, g.width, g.cols());
    EXPECT_GT(g.colWidth(2), g.colWidth(1));
    EXPECT_EQ(g.autoSizeMode, AutoSizeMode::RowHeights);
    // The record with a line break is two lines high.
    EXPECT_EQ(g.rowHeight(2), 2 * 200 + 60);

    // Twelve columns in all are fitted and scaled; more are fitted to their
    // texts only, and later re-fits go on fitting widths, not heights.
    QStringList titles;
    for (int c = 1; c <= 11; ++c)
        titles << QStringLiteral("C%1").arg(c);
    ReportGrid twelve = loaded({}, titles);
    EXPECT_EQ(twelve.autoSizeMode, AutoSizeMode::RowHeights);
    EXPECT_GT(twelve.colWidth(1), 200 + 120);
    titles << "C12";
    ReportGrid wide = loaded({{"K", "很长很长很长的文字"}}, titles);
    EXPECT_EQ(wide.colWidth(2), 320);
    EXPECT_EQ(wide.colWidth(1), 900 + 120);
    EXPECT_EQ(wide.autoSizeMode, AutoSizeMode::ColWidths);
    wide.setTextMatrix(0, 2, "更长更长更长更长的标题");
    cmd::font(wide, wide.font());
    EXPECT_EQ(wide.colWidth(2), 1100 + 120);

    // After ProperSize a font change keeps the widths and fits the heights.
    const int w1 = g.colWidth(1);
    QFont bold = g.font();
    bold.setBold(true);
    cmd::font(g, bold);
    EXPECT_EQ(g.colWidth(1), w1);
    EXPECT_EQ(g.rowHeight(2), 2 * 400 + 60);
}

TEST(ReportGrid, SortKeepsKeysAndNumbersFromTheTop) {
    ReportGrid g = loaded(kRecords, kTitles, 1);
    cmd::sortColumn(g, 1, 2, 1);
    EXPECT_EQ(column(g, 1), (QStringList{"TP3", "TP2", "TP1", "TP1"}));
    EXPECT_EQ(keys(g), (QStringList{"K3", "K1", "K2", "K4"})); // stable for equal texts
    EXPECT_EQ(column(g, 0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(g.textMatrix(0, 1), "索书号");
    EXPECT_EQ(g.textMatrix(1, 1), "索书号");
    EXPECT_EQ(g.colSort(1), 2);

    cmd::sortColumn(g, 2, 1, 1);
    EXPECT_EQ(g.colSort(1), 2); // the other column keeps its setting
    EXPECT_EQ(column(g, 2), (QStringList{"丙", "乙", "甲", "甲"}));
    // Several keys, left to right: column 1 descending, then column 2 ascending.
    g.sortRows({1, 2});
    EXPECT_EQ(keys(g), (QStringList{"K3", "K1", "K4", "K2"}));

    ReportGrid empty = loaded({}, kTitles, 1);
    cmd::sortColumn(empty, 1, 1, 1);
    EXPECT_EQ(empty.rows(), 2);
}

TEST(ReportGrid, DeleteAndRestoreColumns) {
    ReportGrid g = loaded(kRecords, kTitles);
    // A custom column at the end, then a MARC column in position 2.
    g.setCols(6);
    g.setTextMatrix(0, 4, "自定义列");
    g.setTextMatrix(0, 5, "新增Marc子字段");
    g.setTextMatrix(1, 5, "$200a;245a.");
    g.moveColumn(5, 2);

    EXPECT_EQ(cmd::deleteColumn(g, 1), "索书号");
    EXPECT_EQ(g.cols(), 6);
    EXPECT_EQ(g.textMatrix(0, 5), "索书号");
    EXPECT_TRUE(g.colHidden(5));
    EXPECT_EQ(g.colData(5), "Hide");
    EXPECT_EQ(g.textMatrix(2, 5), "TP2"); // keeps its cells
    EXPECT_EQ(cmd::deleteColumn(g, 2), "题名");
    EXPECT_EQ(cmd::deleteColumn(g, 1), ""); // the MARC column goes
    EXPECT_EQ(g.cols(), 5);
    for (int c = 1; c < g.cols(); ++c)
        EXPECT_NE(g.textMatrix(1, c), "$200a;245a.");

    subRefit(g);
    EXPECT_TRUE(g.colHidden(3));
    EXPECT_TRUE(g.colHidden(4));

    // Restore the first deletion at position 1.
    ASSERT_TRUE(cmd::restoreColumn(g, "索书号", 1));
    EXPECT_EQ(g.textMatrix(0, 1), "索书号");
    EXPECT_FALSE(g.colHidden(1));
    EXPECT_EQ(g.colData(1), "");
    EXPECT_EQ(column(g, 1), (QStringList{"TP2", "TP1", "TP3", "TP1"}));
    EXPECT_FALSE(cmd::restoreColumn(g, "不存在", 1));

    // Deleting the last column of the grid keeps it in place, hidden.
    ReportGrid h = loaded(kRecords, kTitles);
    EXPECT_EQ(cmd::deleteColumn(h, 3), "姓名");
    EXPECT_EQ(h.textMatrix(0, 3), "姓名");
    EXPECT_TRUE(h.colHidden(3));
}

TEST(ReportGrid, EditRuleAndRenameTouchTheTitleOnly) {
    ReportGrid g = loaded(kRecords, kTitles);
    EXPECT_TRUE(cmd::editCell(g, 0, 1, ""));
    EXPECT_EQ(g.textMatrix(0, 1), "");
    EXPECT_EQ(g.textMatrix(1, 1), "索书号");
    EXPECT_FALSE(cmd::editCell(g, 2, 1, "x"));
    EXPECT_EQ(g.textMatrix(2, 1), "TP2");
    g.setTextMatrix(1, 2, "$200a;.");
    EXPECT_FALSE(cmd::editCell(g, 3, 2, "x"));
    g.setTextMatrix(1, 3, "");
    EXPECT_TRUE(cmd::editCell(g, 3, 3, "手写"));
    EXPECT_EQ(g.textMatrix(3, 3), "手写");
}

TEST(ReportGrid, StyleCommandsActOnTheSelectionOrTheWholeGrid) {
    ReportGrid g = loaded(kRecords, kTitles, 1);
    cmd::selectColumn(g, 2);
    EXPECT_EQ(g.highLight, 1);
    cmd::align(g, 4);
    cmd::textStyle(g, 1);
    for (int r = 2; r < g.rows(); ++r) {
        EXPECT_EQ(g.cellAlignment(r, 2), 4);
        EXPECT_EQ(g.cellTextStyle(r, 2), 1);
        EXPECT_EQ(g.cellAlignment(r, 1), 1);
        EXPECT_EQ(g.cellTextStyle(r, 1), 0);
    }
    EXPECT_EQ(g.cellAlignment(0, 2), 4);
    QFont bold = g.font();
    bold.setBold(true);
    bold.setUnderline(true);
    cmd::font(g, bold);
    EXPECT_TRUE(g.cellFont(2, 2).bold());
    EXPECT_FALSE(g.cellFont(2, 2).underline());
    EXPECT_FALSE(g.cellFont(2, 1).bold());
    EXPECT_GT(g.rowHeight(2), g.rowHeight(0)); // re-fit to the bold cells' height
    EXPECT_TRUE(g.rowHidden(1));

    g.highLight = 0;
    cmd::align(g, 1);
    cmd::textStyle(g, 2);
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c) {
            EXPECT_EQ(g.cellAlignment(r, c), 1);
            EXPECT_EQ(g.cellTextStyle(r, c), 2);
        }
    cmd::font(g, bold);
    EXPECT_TRUE(g.cellFont(0, 1).bold());
    EXPECT_TRUE(g.cellFont(3, 3).bold());
}

TEST(ReportGrid, MergedRunsFollowEqualNeighbours) {
    ReportGrid g = loaded(kRecords, kTitles);
    g.setMergeCol(1, true);
    cmd::sortColumn(g, 1, 1, 0);
    // TP1 TP1 TP2 TP3
    EXPECT_EQ(g.mergeRun(2, 1, 2, 5), std::make_pair(2, 2));
    EXPECT_EQ(g.mergeRun(3, 1, 2, 5), std::make_pair(2, 2));
    EXPECT_EQ(g.mergeRun(3, 1, 3, 5), std::make_pair(3, 1)); // a page starting mid-run
    EXPECT_EQ(g.mergeRun(4, 1, 2, 5), std::make_pair(4, 1));
    g.setMergeCol(1, false);
    EXPECT_EQ(g.mergeRun(3, 1, 2, 5), std::make_pair(3, 1));
    EXPECT_EQ(column(g, 1), (QStringList{"TP1", "TP1", "TP2", "TP3"}));
}
