// The label set: editing box, adding, editing, hiding and deleting labels.
#include "report/ReportLabels.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

int add(LabelSet& s, const QString& text, QPoint at = QPoint(500, 5000)) {
    s.beginAdd(at, QFont());
    s.box.text = text;
    return s.commit();
}

} // namespace

TEST(ReportLabels, DesignTextsAndFonts) {
    LabelSet s;
    EXPECT_EQ(s.count(), 7);
    EXPECT_EQ(s.at(0).caption, "     标题    ");
    EXPECT_TRUE(s.at(0).font.bold());
    EXPECT_DOUBLE_EQ(s.at(0).font.pointSizeF(), 14.25);
    EXPECT_EQ(s.at(3).caption, "label3 ");
    EXPECT_DOUBLE_EQ(s.at(3).font.pointSizeF(), 9.75);
    EXPECT_EQ(s.at(1).rect.top(), 900);
    EXPECT_EQ(s.lastIndex(), 0);
    EXPECT_EQ(s.current(), -1);
    s.setCaption(2, "较长的一行说明文字");
    const int w = s.at(2).rect.width();
    s.setCaption(2, "短");
    EXPECT_LT(s.at(2).rect.width(), w); // a label sizes itself to its text
}

TEST(ReportLabels, PressesOpenTheBoxOnTitleAndLabelsSixUp) {
    LabelSet s;
    for (int i = 0; i <= 6; ++i) {
        s.box.visible = false;
        EXPECT_EQ(s.pressLeft(i), i == 0 || i == 6) << i;
        EXPECT_EQ(s.current(), i);
        EXPECT_EQ(s.box.visible, i == 0 || i == 6);
    }
    s.at(6).color = Qt::red;
    s.pressLeft(6);
    EXPECT_EQ(s.box.text, s.at(6).caption);
    EXPECT_EQ(s.box.color, QColor(Qt::red));
    EXPECT_EQ(s.box.rect, s.at(6).rect);

    const LabelMenuState three = s.pressRight(3);
    EXPECT_TRUE(three.hideEnabled);
    EXPECT_FALSE(three.deleteEnabled);
    const LabelMenuState title = s.pressRight(0);
    EXPECT_FALSE(title.hideEnabled);
    EXPECT_FALSE(title.deleteEnabled);
    s.popupClosed();
    EXPECT_EQ(s.current(), -1);
}

TEST(ReportLabels, AddEditAndDeleteKeepIndexesWithoutGaps) {
    LabelSet s;
    EXPECT_EQ(add(s, "   "), -1); // blanks add nothing
    EXPECT_FALSE(s.box.visible);
    EXPECT_EQ(s.lastIndex(), 6);
    EXPECT_EQ(add(s, " 甲 ", QPoint(100, 200)), 7);
    EXPECT_EQ(s.at(7).caption, " 甲 "); // as typed, blanks kept
    EXPECT_EQ(s.at(7).rect.topLeft(), QPoint(100, 200));
    EXPECT_EQ(add(s, "乙"), 8);
    EXPECT_EQ(add(s, "丙", QPoint(300, 400)), 9);
    s.at(9).color = Qt::blue;
    s.pressRight(9);
    s.toggleHide();
    s.popupClosed();

    s.pressRight(8);
    EXPECT_TRUE(s.pressRight(8).deleteEnabled);
    EXPECT_TRUE(s.deleteCurrent());
    s.popupClosed();
    EXPECT_EQ(s.lastIndex(), 8);
    EXPECT_EQ(s.at(8).caption, "丙");
    EXPECT_EQ(s.at(8).color, QColor(Qt::blue));
    EXPECT_EQ(s.at(8).rect.topLeft(), QPoint(300, 400));
    EXPECT_EQ(s.at(8).tag, "Hide");
    EXPECT_EQ(s.count(), 9);

    // Deleting every user label leaves 6; the next one is 7 again.
    s.pressRight(7);
    s.deleteCurrent();
    s.pressRight(7);
    s.deleteCurrent();
    EXPECT_EQ(s.lastIndex(), 6);
    EXPECT_EQ(add(s, "丁"), 7);

    // Editing: a left press on label 2 makes it current; Enter in a box left
    // open from a double-click puts the box's text and place on label 2.
    s.beginAdd(QPoint(1000, 1000), QFont());
    s.box.text = "改写";
    s.pressLeft(2);
    EXPECT_EQ(s.commit(), 2);
    EXPECT_EQ(s.at(2).caption, "改写");
    EXPECT_EQ(s.at(2).rect.topLeft(), QPoint(1000, 1000));
    EXPECT_EQ(s.current(), -1);

    // An empty text empties the edited label; it stays.
    s.pressLeft(6);
    s.box.text = "";
    EXPECT_EQ(s.commit(), 6);
    EXPECT_EQ(s.at(6).caption, "");
    EXPECT_EQ(s.count(), 8);

    // The box open on label 6, a pop-up in between: Enter adds a new label.
    s.pressLeft(6);
    s.box.text = "新加";
    s.pressRight(4);
    s.popupClosed();
    EXPECT_EQ(s.commit(), 8);
}

TEST(ReportLabels, FontColourAndHide) {
    LabelSet s;
    s.pressRight(3);
    QFont f("Serif", 20);
    f.setItalic(true);
    f.setUnderline(true);
    f.setStrikeOut(true);
    s.setFont(f);
    s.setColor(QColor(1, 2, 3));
    EXPECT_TRUE(s.at(3).font.italic());
    EXPECT_FALSE(s.at(3).font.underline());
    EXPECT_FALSE(s.at(3).font.strikeOut());
    EXPECT_EQ(s.at(3).color, QColor(1, 2, 3));
    s.toggleHide();
    EXPECT_TRUE(s.at(3).hidden());
    EXPECT_TRUE(s.pressRight(3).hideChecked);
    s.toggleHide();
    EXPECT_FALSE(s.at(3).hidden());
    s.popupClosed();
    s.setColor(Qt::red); // no current label: nothing changes
    EXPECT_EQ(s.at(3).color, QColor(1, 2, 3));
}
