// The grid set-ups: the user's grid font and the one-cell search-text grid.
#include "common/basDB.h"
#include "common/basText.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/Grid.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

TEST(TextGrid, OneEditableCellLimitedToTheSearchKeyLength)
{
    g_strFontName = u"宋体"_qs;
    g_strFontSize = "12";
    g_blnFontBold = true;
    g_intIdxContLen = 30;

    ui::FlexGrid grid("vsSearch");
    grid.resize(300, 40);
    subInitTextGrid(&grid);
    grid.show();

    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);
    EXPECT_TRUE(grid.colHidden(0));
    EXPECT_TRUE(grid.rowHidden(0));
    EXPECT_FALSE(grid.colHidden(1));
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.font().family(), ui::mapFontFamily(u"宋体"_qs));
    EXPECT_EQ(grid.font().pointSize(), 12);
    EXPECT_TRUE(grid.font().bold());

    grid.editCell();
    QApplication::processEvents();
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 30);
    editor->setText(QString(40, u'x'));
    EXPECT_EQ(editor->text().size(), 30);
}
