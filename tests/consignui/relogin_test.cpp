// A repeated log-in (重新登录) as another worker: the windows the new worker
// may not open are closed with their lists; those he may open stay.

#include "tests/shell/ShellFixture.h"

#include "common/basCodeFunc.h"
#include "common/basEnv.h"
#include "consign/ManageService.h"
#include "consign/frmApplyManage.h"
#include "consign/frmFind.h"
#include "consign/frmFindManage.h"
#include "consign/frmReturnManage.h"
#include "desk/DeskService.h"
#include "desk/frmConsign.h"
#include "shell/basLogin.h"
#include "shell/frmCircLogo.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

class ReLoginWindowsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        db().recreate();
        shell::Services::install(&desk::deskService());
        shell::Services::install(&consign::manageService());
    }
    // The repeated log-in through the log-in window, as the worker types it.
    void reLogin(frmMain* w, const char* wkr, const char* pwd)
    {
        dialogs.dialogHandler = [wkr, pwd](QDialog* dlg) {
            auto* logo = qobject_cast<frmCircLogo*>(dlg);
            EXPECT_TRUE(logo && logo->m_bReLogin);
            logo->findChild<QComboBox*>("cboUser")->setEditText(QString::fromLatin1(wkr));
            logo->findChild<QLineEdit*>("txtPwd")->setText(QString::fromLatin1(pwd));
            logo->findChild<QPushButton*>("cmdLogin")->click();
            return dlg->result();
        };
        w->menuItemClick(QStringLiteral("mnuLogin"));
        dialogs.dialogHandler = {};
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QStringList openWindows(frmMain* w)
    {
        QStringList names;
        for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
            if (sub->widget())
                names << QString::fromLatin1(sub->widget()->metaObject()->className());
        names.sort();
        return names;
    }
};

TEST_F(ReLoginWindowsTest, WindowsTheNewWorkerMayNotOpenAreClosed)
{
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    ASSERT_EQ(intInitBaseData(), 0);
    ASSERT_EQ(intLoadBaseCode(), 0);
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    for (const char* key : {"mnuConsignFindList", "mnuConsignCheckList", "mnuConsignApplyManage",
                            "mnuConsignFindManage", "mnuConsignLend"})
        w->menuItemClick(QString::fromLatin1(key));
    ASSERT_EQ(openWindows(w), (QStringList{"frmApplyManage", "frmConsign", "frmFind", "frmFindManage",
                                           "frmReturnManage"}))
        << shownTexts().join('|').toStdString();

    // 0002 has the desk's rights only: the find desk with its lists, the
    // return management and both management windows go, print buttons and all.
    reLogin(w, "0002", "1234");
    ASSERT_EQ(g_strWkrNo, "0002");
    EXPECT_EQ(openWindows(w), QStringList{"frmConsign"});
    EXPECT_EQ(frmFind::instance(), nullptr);
    EXPECT_EQ(frmReturnManage::instance(), nullptr);
    EXPECT_EQ(frmApplyManage::instance(), nullptr);
    EXPECT_EQ(frmFindManage::instance(), nullptr);
    ASSERT_NE(frmConsign::instance(), nullptr);
    EXPECT_EQ(frmConsign::instance()->intMode(), int(desk::ModeLend));

    // Without the right of the mode the desk is in, the desk goes too.
    db().exec("delete from user_auth_lst where wkr_no = '0002' and modu_code = '4027'");
    reLogin(w, "0002", "1234");
    EXPECT_EQ(frmConsign::instance(), nullptr);
    EXPECT_TRUE(openWindows(w).isEmpty());
}

} // namespace
