// The find-text tool on the desk window with the demo library.

#include "DeskUiFixture.h"

#include "common/basMarc.h"
#include "shell/frmFindText.h"

#include <QRadioButton>

namespace {

class DeskFindTextTest : public DeskUiTest {
protected:
    void SetUp() override {
        DeskUiTest::SetUp();
        db().recreate();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        logIn(QStringLiteral("0001"));
    }
};

} // namespace

TEST_F(DeskFindTextTest, FindsTheHoldingsOfASearchedTitle) {
    openDesk();
    type(form->txtReader, "DC01");
    type(form->txtApplyBook, "tp393/s91");
    ASSERT_GE(form->spdApplyBook->maxRows(), 2);

    frmFindText find(form);
    find.show();
    find.initFindForm(form);
    find.optSearch[1]->setChecked(true);
    find.subRecollect();
    EXPECT_TRUE(find.gridList().contains(form->spdApplyBook));
    EXPECT_TRUE(find.gridList().contains(form->spdApplyList));

    const int mode = form->spdApplyBook->operationMode();
    find.cmbValue->setEditText(u"总馆书库"_qs);
    int found = 0;
    for (int i = 0; i < 20 && dialogs.shown.isEmpty(); ++i) {
        find.cmdFind_Click();
        if (!dialogs.shown.isEmpty()) break;
        auto* grid = qobject_cast<ui::SpreadGrid*>(find.currentGrid());
        ASSERT_NE(grid, nullptr);
        EXPECT_TRUE(grid->getText(grid->col(), grid->row()).contains(u"总馆书库"_qs));
        if (grid == form->spdApplyBook) ++found;
    }
    EXPECT_GE(found, 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), u"已搜索指定区域！"_qs);
    EXPECT_EQ(form->spdApplyBook->operationMode(), mode); // the grid's own mode is back
}
