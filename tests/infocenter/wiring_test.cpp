// The main window's menu items and the about view open the information
// centre's windows and the shell's tools.

#include "tests/shell/ShellFixture.h"

#include "infocenter/InfoCenterService.h"
#include "infocenter/frmLastUpdating.h"
#include "infocenter/frmNewsManager.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "shell/ShellTools.h"
#include "shell/basLogin.h"
#include "shell/frmCircLogo.h"
#include "shell/frmCommonView.h"
#include "shell/frmFindText.h"

namespace {

class InfoCenterWiringTest : public ShellTest {};

TEST_F(InfoCenterWiringTest, MenuItemsAndTheAboutViewOpenTheWindows) {
    shell::Services::install(&infocenter::infoCenterService());
    shell::Services::install(&shell::shellToolsService());
    ui::ScriptedDialogService dialogs;
    QStringList modal;
    dialogs.dialogHandler = [&](QDialog* d) {
        if (auto* u = qobject_cast<frmLastUpdating*>(d))
            modal << u->m_Signature + "|" + u->m_LoadPath;
        else
            modal << d->objectName();
        return 0;
    };
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    for (const char* key : {"mnuToolNews", "mnuLastUpdating", "mnuFindText"})
        EXPECT_TRUE(w->menuCommandBar()->isItemEnabled(key)) << key;

    w->menuItemClick("mnuToolNews");
    ASSERT_NE(frmNewsManager::instance(), nullptr);
    EXPECT_TRUE(frmNewsManager::instance()->isVisible());
    EXPECT_EQ(frmNewsManager::instance()->parentWidget(), w);

    w->menuItemClick("mnuLastUpdating");
    ASSERT_EQ(modal.size(), 1);
    EXPECT_TRUE(modal[0].startsWith("qn.qorlan.lt4|"));
    EXPECT_TRUE(modal[0].endsWith(u"Update/流通委托"_qs));

    w->menuItemClick("mnuFindText");
    ASSERT_NE(frmFindText::existing(), nullptr);
    EXPECT_TRUE(frmFindText::existing()->isVisible());

    frmCircLogo* about = frmCircLogo::create(w);
    about->subSetLogoMode(QStringLiteral("关于"));
    about->lblViewUpdate_Click();
    about->lblViewLicense_Click();
    ASSERT_EQ(modal.size(), 3);
    EXPECT_TRUE(modal[1].startsWith("qn.qorlan.lt4|"));
    EXPECT_EQ(modal[2], "frmCommonView");
}

} // namespace
