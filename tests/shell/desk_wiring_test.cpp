// The desk window opened from the main window's menu and toolbar.

#include "tests/shell/ShellFixture.h"

#include "desk/DeskService.h"
#include "desk/frmConsign.h"
#include "shell/basLogin.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

class DeskWiringTest : public ShellTest {};

TEST_F(DeskWiringTest, RequestEntryOpensTheDeskInTheFrameOnce)
{
    shell::Services::install(&desk::deskService());
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled(QStringLiteral("mnuConsignApply")));
    EXPECT_TRUE(w->toolCommandBar()->isItemEnabled(QStringLiteral("Apply")));

    w->menuItemClick(QStringLiteral("mnuConsignApply"));
    w->toolbarButtonClick(QStringLiteral("Apply"));
    ASSERT_NE(frmConsign::instance(), nullptr);
    int desks = 0;
    for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
        desks += sub->widget() == frmConsign::instance();
    EXPECT_EQ(desks, 1);
    EXPECT_TRUE(shownTexts().isEmpty()) << shownTexts().join('|').toStdString();

    // The worker maximised the desk: the entry brings it forward as it is; a
    // minimised desk comes back.
    QMdiSubWindow* sub = w->mdiArea()->activeSubWindow();
    ASSERT_TRUE(sub && sub->widget() == frmConsign::instance());
    sub->showMaximized();
    w->toolbarButtonClick(QStringLiteral("Apply"));
    EXPECT_TRUE(sub->isMaximized());
    sub->showMinimized();
    w->menuItemClick(QStringLiteral("mnuConsignApply"));
    EXPECT_FALSE(sub->isMinimized());
}

TEST_F(DeskWiringTest, WorkerWithoutTheRightGetsNoDesk)
{
    shell::Services::install(&desk::deskService());
    setComputer("DESK01");
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), 0);
    db().exec("delete from user_auth_lst where wkr_no = '0002' and modu_code = '4026'");
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), 0);
    db().exec("insert into user_auth_lst (wkr_no, modu_code) values ('0002', '4026')");
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    w->menuItemClick(QStringLiteral("mnuConsignApply"));
    EXPECT_EQ(frmConsign::instance(), nullptr);
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM504")});
}

} // namespace
