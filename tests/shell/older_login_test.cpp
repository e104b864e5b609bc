// The older log-in dialog and its password dialog: the worker check without
// the superuser's exemption, OK disabled after a refusal, F1, Cancel.

#include "tests/shell/ShellFixture.h"

#include "shell/basLogin.h"
#include "shell/frmChgPwd.h"
#include "shell/frmLogin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class OlderLoginTest : public ShellTest {
protected:
    void TearDown() override
    {
        db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
        ShellTest::TearDown();
    }
    static void activate(QWidget* w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    static void enter(frmLogin& w, const char* user, const char* pwd)
    {
        w.txtName->setText(QString::fromLatin1(user));
        w.txtPwd->setText(QString::fromLatin1(pwd));
    }
};

TEST_F(OlderLoginTest, WorkerCheckAtTwoComputers)
{
    const struct {
        const char* computer;
        const char* user;
        const char* pwd;
        const char* shown; // message code, "" when the worker passes
        const char* focus; // the box that takes the focus after a refusal
    } cases[] = {
        {"DESK01", "0001", "abc", "", ""},
        {"DESK01", "0002", "1234", "", ""},
        {"DESK01", "0004", "0004", "", ""}, // no program right: not this dialog's business
        {"DESK01", "0003", "0003", "ECM501", "txtName"},
        {"DESK01", "9999", "x", "ECM500", "txtName"},
        {"DESK01", "0001", "ABD", "ECM502", "txtPwd"},
        {"DESK01", "SUPR", "SUPR", "ECM503", "txtName"}, // no exemption here
        {"DESK03", "SUPR", "SUPR", "ECM503", "txtName"},
        {"DESK03", "0002", "1234", "ECM503", "txtName"},
        {"DESK03", "0001", "ABC", "", ""}, // not a desk computer: not checked here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.computer, c.user).toStdString());
        setComputer(c.computer);
        dialogs.clear();
        g_blnDlgOk = false;
        frmLogin w;
        activate(&w);
        EXPECT_FALSE(w.cmdOk->isEnabled());
        enter(w, c.user, c.pwd);
        EXPECT_TRUE(w.cmdOk->isEnabled());
        w.cmdOk->click();
        if (*c.shown == 0) {
            EXPECT_TRUE(dialogs.shown.isEmpty()) << shownTexts().join('|');
            EXPECT_TRUE(g_blnDlgOk);
            EXPECT_EQ(w.result(), int(QDialog::Accepted));
            EXPECT_EQ(g_strWkrNo, QString::fromLatin1(c.user));
            continue;
        }
        EXPECT_EQ(shownTexts(), QStringList{msg(c.shown)});
        EXPECT_FALSE(g_blnDlgOk);
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(w.cmdOk->isEnabled());
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.focus));
        // The next input enables OK again.
        w.txtPwd->setText(w.txtPwd->text() + "x");
        EXPECT_TRUE(w.cmdOk->isEnabled());
    }
}

TEST_F(OlderLoginTest, CaptionsLimitsAndKeys)
{
    frmLogin w;
    EXPECT_EQ(w.windowTitle(), "流通委托-系统登录");
    EXPECT_EQ(w.lblName->text(), "用户");
    EXPECT_EQ(w.cmdCancel->text(), "取消(&C)");
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    activate(&w);
    EXPECT_EQ(QApplication::focusWidget(), w.txtName);
    QTest::keyClicks(w.txtName, "000123");
    EXPECT_EQ(w.txtName->text(), "0001");
    QTest::keyClicks(w.txtPwd, "abcdefghijkl");
    EXPECT_EQ(w.txtPwd->text(), "abcdefghij");
    w.txtName->setFocus();
    QTest::keyClick(w.txtName, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w.txtPwd);

    // F1 with an empty box does nothing.
    w.txtPwd->clear();
    QTest::keyClick(w.txtName, Qt::Key_F1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(w.isVisible());

    // Cancel asks first.
    g_blnDlgOk = true;
    dialogs.answers = {ui::BoxAnswer::Cancel};
    w.cmdCancel->click();
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM501")});
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(g_blnDlgOk);
    dialogs.answers = {ui::BoxAnswer::Ok};
    w.cmdCancel->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(g_blnDlgOk);
}

TEST_F(OlderLoginTest, F1OpensThePasswordDialogAndTheLogInCounts)
{
    // Cancelled password dialog: the log-in still counts.
    QStringList seen;
    dialogs.dialogHandler = [&](QDialog* d) {
        seen << d->objectName();
        if (auto* login = qobject_cast<frmLogin*>(d)) {
            login->txtName->setText("0002");
            login->txtPwd->setText("1234");
            login->onF1();
            return login->result();
        }
        auto* change = qobject_cast<frmChgPwd*>(d);
        EXPECT_FALSE(d->parentWidget()->isVisible()); // the log-in dialog waits hidden
        change->cmdCancel->click();
        return change->result();
    };
    EXPECT_TRUE(frmLogin::showLogin());
    EXPECT_EQ(seen, (QStringList{"frmLogin", "frmChgPwd"}));
    EXPECT_EQ(g_strWkrNo, "0002");

    // A changed password is stored upper case.
    dialogs.dialogHandler = [&](QDialog* d) {
        if (auto* login = qobject_cast<frmLogin*>(d)) {
            login->txtName->setText("0002");
            login->txtPwd->setText("1234");
            QTest::keyClick(login->txtPwd, Qt::Key_F1);
            return login->result();
        }
        auto* change = qobject_cast<frmChgPwd*>(d);
        EXPECT_EQ(change->windowTitle(), "修改口令");
        EXPECT_EQ(change->lblPwd[1]->text(), "确认口令");
        EXPECT_FALSE(change->cmdOk->isEnabled());
        QTest::keyClicks(change->txtPwd, "newpass99");
        EXPECT_EQ(change->txtPwd->text(), "newpass9");
        EXPECT_FALSE(change->cmdOk->isEnabled());
        change->txtPwdConfirm->setText("NEWPASS9");
        EXPECT_TRUE(change->cmdOk->isEnabled());
        change->cmdOk->click(); // differs in letter case
        EXPECT_EQ(dialogs.lastText(), msg("ECM510"));
        EXPECT_EQ(change->result(), 0);
        change->txtPwdConfirm->setText("newpass9");
        change->cmdOk->click();
        return change->result();
    };
    EXPECT_TRUE(frmLogin::showLogin());
    EXPECT_EQ(db().scalar("select password from lib_worker where wkr_no = '0002'"), "NEWPASS9");

    // A refused check opens nothing.
    seen.clear();
    dialogs.clear();
    dialogs.dialogHandler = [&](QDialog* d) {
        seen << d->objectName();
        auto* login = qobject_cast<frmLogin*>(d);
        if (!login)
            return 0;
        login->txtName->setText("0002");
        login->txtPwd->setText("wrong");
        login->onF1();
        EXPECT_FALSE(login->cmdOk->isEnabled());
        return 0;
    };
    EXPECT_FALSE(frmLogin::showLogin());
    EXPECT_EQ(seen, QStringList{"frmLogin"});
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM502")});
}

} // namespace
