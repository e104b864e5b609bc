// Bad input (tests/support/BadInput.h) through the log-in's boxes: the worker
// number and the password of the log-in and of the password change, and the
// new password. The worker check refuses with its ordinary message and writes
// nothing; a new password is either refused as empty or stored so that the
// same text opens the log-in and an empty one does not.

#include "tests/shell/ShellFixture.h"

#include "shell/basLogin.h"
#include "tests/support/BadInput.h"

namespace {

class LoginBadInputTest : public ShellTest {
protected:
    void TearDown() override {
        db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
        ShellTest::TearDown();
    }
    QString workers() {
        return db().scalar("select md5(string_agg(w::text, '|' order by wkr_no)) from lib_worker w");
    }
    // Every bad text through `enter`, all refused (the empty text too).
    void expectRefused(const char* entry, const std::function<int(const QString&)>& enter,
                       const QStringList& ordinary) {
        const QString before = workers();
        testsupport::expectOrdinaryAnswers(db(), dialogs, entry, enter, ordinary,
                                           [](const QString&) { return false; });
        EXPECT_EQ(workers(), before) << entry;
    }
};

TEST_F(LoginBadInputTest, WorkerCheckRefusesEveryBadText) {
    const auto login = [](const QString& user, const QString& pwd) {
        return intLoginAction(user, pwd, false) == LoginOutcome::Passed ? 0 : 1;
    };
    expectRefused("worker number", [&](const QString& t) { return login(t, QStringLiteral("ABC")); },
                  {msg("ECM500")});
    expectRefused("password", [&](const QString& t) { return login(QStringLiteral("0001"), t); },
                  {msg("ECM502")});
    expectRefused("repeated log-in",
                  [](const QString& t) {
                      return intLoginAction(QStringLiteral("0001"), t, true) == LoginOutcome::Passed ? 0 : 1;
                  },
                  {msg("ECM502")});
    expectRefused("change: worker number",
                  [](const QString& t) { return intCheckPasswordChange(t, QStringLiteral("1234")); },
                  {msg("ECM500")});
    expectRefused("change: password",
                  [](const QString& t) { return intCheckPasswordChange(QStringLiteral("0002"), t); },
                  {msg("ECM502")});
    EXPECT_TRUE(g_strWkrNo.isEmpty());
}

TEST_F(LoginBadInputTest, NewPasswordIsRefusedOrOpensTheLogInAsTyped) {
    const QString empty = QStringLiteral("新口令不能为空，请重新输入！");
    for (const QString& t : testsupport::badTexts()) {
        SCOPED_TRACE(t.left(20).toUtf8().toHex().toStdString());
        db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
        dialogs.clear();
        if (!blnSaveNewPassword(QStringLiteral("0002"), t, t)) {
            EXPECT_EQ(shownTexts(), QStringList{empty});
            EXPECT_EQ(db().scalar("select password from lib_worker where wkr_no = '0002'"),
                      QStringLiteral("1234"));
            continue;
        }
        EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("成功修改登录口令！")});
        EXPECT_EQ(g_intErrKind, 0);
        dialogs.clear();
        EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), t), 0) << shownTexts().join('|').toStdString();
        EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QString()), -1);
        EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), -1);
    }
}

} // namespace
