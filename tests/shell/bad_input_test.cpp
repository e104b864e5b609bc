// Bad input (tests/support/BadInput.h) through the log-in's boxes: the worker
// number and the password of the log-in and of the password change, the new
// password, and the override dialog's password. The worker check refuses with
// its ordinary message and writes nothing; a new password is either refused
// as empty or stored so that the same text opens the log-in and an empty one
// does not. By the logic and by the log-in windows and the dialogs.

#include "tests/shell/ShellFixture.h"

#include "shell/basLogin.h"
#include "shell/frmAdmAuth.h"
#include "shell/frmChgPwd.h"
#include "shell/frmCircLogo.h"
#include "shell/frmLogin.h"
#include "tests/support/BadInput.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

class LoginBadInputTest : public ShellTest {
protected:
    void TearDown() override
    {
        db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
        ShellTest::TearDown();
    }
    QString workers() { return db().scalar("select md5(string_agg(w::text, '|' order by wkr_no)) from lib_worker w"); }
    // Every bad text through `enter`, all refused (the empty text too).
    void expectRefused(const char* entry, const std::function<int(const QString&)>& enter, const QStringList& ordinary)
    {
        const QString before = workers();
        testsupport::expectOrdinaryAnswers(db(), dialogs, entry, enter, ordinary, [](const QString&) { return false; });
        EXPECT_EQ(workers(), before) << entry;
    }
};

TEST_F(LoginBadInputTest, WorkerCheckRefusesEveryBadText)
{
    const auto login = [](const QString& user, const QString& pwd) {
        return intLoginAction(user, pwd, false) == LoginOutcome::Passed ? 0 : 1;
    };
    expectRefused("worker number", [&](const QString& t) { return login(t, QStringLiteral("ABC")); }, {msg("ECM500")});
    expectRefused("password", [&](const QString& t) { return login(QStringLiteral("0001"), t); }, {msg("ECM502")});
    expectRefused("repeated log-in",
                  [](const QString& t) {
                      return intLoginAction(QStringLiteral("0001"), t, true) == LoginOutcome::Passed ? 0 : 1;
                  },
                  {msg("ECM502")});
    expectRefused("change: worker number",
                  [](const QString& t) { return intCheckPasswordChange(t, QStringLiteral("1234")); }, {msg("ECM500")});
    expectRefused("change: password",
                  [](const QString& t) { return intCheckPasswordChange(QStringLiteral("0002"), t); }, {msg("ECM502")});
    EXPECT_TRUE(g_strWkrNo.isEmpty());
}

// A NUL in the worker number is no part of it: the worker the database found
// is the one logged in, SUPR with its exemption.
TEST_F(LoginBadInputTest, NulInTheWorkerNumberIsNoPartOfIt)
{
    ASSERT_EQ(blnCheckWorker(QStringLiteral("00") + QChar(0) + QStringLiteral("01"), QStringLiteral("ABC")), 0);
    EXPECT_EQ(g_strWkrNo, QStringLiteral("0001"));
    setComputer("NOWHERE");
    ASSERT_EQ(blnCheckWorker(QStringLiteral("SUPR") + QChar(0), QStringLiteral("SUPR")), 0)
        << shownTexts().join('|').toStdString();
    EXPECT_EQ(g_strWkrNo, kSuperUser);
}

// Each entry: the new password typed twice; the text the box held, and
// whether the change was stored.
struct NewPasswordEntry {
    const char* name;
    std::function<bool(const QString&, QString*)> save;
};

TEST_F(LoginBadInputTest, NewPasswordIsRefusedOrOpensTheLogInAsTyped)
{
    QPointer<frmCircLogo> logo = frmCircLogo::create();
    logo->show();
    const NewPasswordEntry entries[] = {
        {"logic",
         [](const QString& t, QString* typed) {
             *typed = t;
             return blnSaveNewPassword(QStringLiteral("0002"), t, t);
         }},
        {"password dialog",
         [](const QString& t, QString* typed) {
             frmChgPwd w(QStringLiteral("0002"));
             w.show();
             w.txtPwd->setText(t);
             w.txtPwdConfirm->setText(t);
             *typed = w.txtPwd->text();
             w.cmdOk->click();
             return w.result() == QDialog::Accepted;
         }},
        {"log-in window",
         [&logo](const QString& t, QString* typed) {
             logo->subSetLogoMode(QStringLiteral("登录"));
             logo->findChild<QComboBox*>("cboUser")->setEditText(QStringLiteral("0002"));
             logo->findChild<QLineEdit*>("txtPwd")->setText(QStringLiteral("1234"));
             logo->lblUpdate_Click();
             EXPECT_EQ(logo->mode(), QStringLiteral("修改密码"));
             logo->findChild<QLineEdit*>("txtNewPwd")->setText(t);
             logo->findChild<QLineEdit*>("txtPwdConfirm")->setText(t);
             *typed = t;
             logo->cmdSave_Click();
             return logo->mode() == QStringLiteral("登录");
         }},
    };
    const QString empty = QStringLiteral("新口令不能为空，请重新输入！");
    for (const NewPasswordEntry& entry : entries) {
        for (const QString& t : testsupport::badTexts()) {
            SCOPED_TRACE(std::string(entry.name) + " " + t.left(20).toUtf8().toHex().toStdString());
            db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
            dialogs.clear();
            QString typed;
            if (!entry.save(t, &typed)) {
                // An empty box may keep OK disabled instead.
                if (!typed.isEmpty() || !dialogs.shown.isEmpty()) {
                    EXPECT_EQ(shownTexts(), QStringList{empty});
                }
                EXPECT_EQ(db().scalar("select password from lib_worker where wkr_no = '0002'"), QStringLiteral("1234"));
                continue;
            }
            EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("成功修改登录口令！")});
            EXPECT_EQ(g_intErrKind, 0);
            dialogs.clear();
            EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), typed), 0) << shownTexts().join('|').toStdString();
            EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QString()), -1);
            EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), -1);
        }
    }
    delete logo.data();
}

// The worker number and the password typed into both log-in windows: the
// worker check's message, and the window stays for the next try.
TEST_F(LoginBadInputTest, LogInWindowsRefuseEveryBadText)
{
    frmLogin older;
    older.show();
    const auto olderLogIn = [&older](const QString& user, const QString& pwd) {
        g_blnDlgOk = false;
        older.txtName->setText(user);
        older.txtPwd->setText(pwd);
        older.cmdOk->click();
        EXPECT_TRUE(older.isVisible());
        return g_blnDlgOk ? 0 : 1;
    };
    expectRefused("older: worker number", [&](const QString& t) { return olderLogIn(t, QStringLiteral("ABC")); },
                  {msg("ECM500")});
    expectRefused("older: password", [&](const QString& t) { return olderLogIn(QStringLiteral("0001"), t); },
                  {msg("ECM502")});

    QPointer<frmCircLogo> logo = frmCircLogo::create();
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->show();
    const auto logIn = [&logo](const QString& user, const QString& pwd) {
        logo->findChild<QComboBox*>("cboUser")->setEditText(user);
        logo->findChild<QLineEdit*>("txtPwd")->setText(pwd);
        logo->cmdLogin_Click();
        EXPECT_FALSE(logo->isBusy());
        return frmMain::instance() ? 0 : 1;
    };
    expectRefused("worker number", [&](const QString& t) { return logIn(t, QStringLiteral("ABC")); }, {msg("ECM500")});
    expectRefused("password", [&](const QString& t) { return logIn(QStringLiteral("0001"), t); }, {msg("ECM502")});
    EXPECT_EQ(logo->mode(), QStringLiteral("登录"));
    EXPECT_EQ(ends, 0);
    delete logo.data();
}

// The override dialog's password: never accepted, emptied without a message,
// the dialog stays.
TEST_F(LoginBadInputTest, OverrideDialogRefusesEveryBadText)
{
    g_strWkrPwd = QStringLiteral("ABC");
    frmAdmAuth* d = frmAdmAuth::form();
    d->m_blnCheckAdmAuth = true;
    d->m_blnAdmAuth = false;
    d->show();
    expectRefused("override password",
                  [d](const QString& t) {
                      d->txtPassword->setText(t);
                      d->cmdOk->click();
                      EXPECT_TRUE(d->txtPassword->text().isEmpty());
                      EXPECT_TRUE(d->isVisible());
                      return d->m_blnAdmAuth ? 0 : 1;
                  },
                  {});
    d->cmdCancel->click();
}

} // namespace
