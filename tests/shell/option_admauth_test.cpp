// The desk options window and the override dialog, opened directly: no menu
// reaches either.

#include "ShellFixture.h"

#include "platform/text/IniFile.h"
#include "shell/basLogin.h"
#include "shell/basMainSettings.h"
#include "shell/basShellIni.h"
#include "shell/frmAdmAuth.h"
#include "shell/frmOption.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class OptionTest : public ShellTest {
protected:
    QString stored(const char* key) {
        return text::getSetting(strProgramTitle(), "Settings", QString::fromLatin1(key), "<none>");
    }
};

TEST_F(OptionTest, OkSavesTheThreeOptionsAndCancelNothing) {
    g_intFineLend = 0;
    g_intFineReturn = 0;
    g_intReturnClear = 1;
    QPointer<frmOption> w = new frmOption;
    EXPECT_EQ(w->windowTitle(), "系统选项");
    EXPECT_FALSE(w->chkFineLend->isChecked());
    EXPECT_FALSE(w->chkFineReturn->isChecked());
    EXPECT_TRUE(w->optReturnClear[0]->isChecked());
    w->cmdOk->click();
    EXPECT_EQ(stored("FineLend"), "0");
    EXPECT_EQ(stored("FineReturn"), "0");
    EXPECT_EQ(stored("ReturnClear"), "1");

    w = new frmOption;
    w->chkFineLend->setChecked(true);
    w->optReturnClear[1]->setChecked(true);
    w->cmdCancel->click();
    EXPECT_EQ(g_intFineLend, 0);
    EXPECT_EQ(g_intReturnClear, 1);
    EXPECT_EQ(stored("FineLend"), "0");

    w = new frmOption;
    w->chkFineReturn->setChecked(true);
    w->optReturnClear[1]->setChecked(true);
    w->cmdOk->click();
    EXPECT_EQ(g_intFineReturn, 1); // at once, for the desk
    EXPECT_EQ(g_intReturnClear, 0);
    EXPECT_EQ(stored("FineReturn"), "1");
    EXPECT_EQ(stored("ReturnClear"), "0");

    // A stored ReturnClear other than 1 selects "不清屏".
    w = new frmOption;
    EXPECT_TRUE(w->optReturnClear[1]->isChecked());
    EXPECT_TRUE(w->chkFineReturn->isChecked());
    w->cmdCancel->click();
    g_intFineReturn = 0;
    g_intReturnClear = 1;
}

TEST_F(OptionTest, OverrideDialogChecksThePasswordAndCancelSwitchesChecksOff) {
    g_strWkrPwd = "ABC";
    frmAdmAuth* d = frmAdmAuth::form();
    d->m_blnCheckAdmAuth = true;
    d->m_blnAdmAuth = false;
    d->show();
    EXPECT_EQ(d->windowTitle(), "越权处理");
    EXPECT_FALSE(d->cmdOk->isEnabled());
    d->txtPassword->setText("abd");
    EXPECT_TRUE(d->cmdOk->isEnabled());
    d->cmdOk->click();
    EXPECT_TRUE(d->txtPassword->text().isEmpty()); // wrong: emptied, no message
    EXPECT_FALSE(d->cmdOk->isEnabled());
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    d->txtPassword->setText("  abc ");
    d->cmdOk->click();
    EXPECT_TRUE(d->m_blnAdmAuth);
    EXPECT_FALSE(d->isVisible());

    d->show();
    EXPECT_TRUE(d->txtPassword->text().isEmpty());
    d->cmdCancel->click();
    EXPECT_FALSE(d->m_blnAdmAuth);
    EXPECT_FALSE(d->m_blnCheckAdmAuth);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(OptionTest, MainWindowLoadsTheOverrideDialogHiddenAndShowsTheOptionsModeless) {
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    frmAdmAuth::form()->m_blnCheckAdmAuth = true;
    frmAdmAuth::form()->m_blnAdmAuth = true;
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    frmAdmAuth* d = frmAdmAuth::form();
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(d->m_blnCheckAdmAuth);
    EXPECT_FALSE(d->m_blnAdmAuth);

    w->subShowOption();
    frmOption* option = w->findChild<frmOption*>();
    ASSERT_TRUE(option);
    EXPECT_TRUE(option->isVisible());
    EXPECT_FALSE(option->isModal());
    option->cmdCancel->click();
}
