// The worker check and the first log-in: every refusal, SUPR, repeated log-in.

#include "tests/shell/ShellFixture.h"

#include "common/basCodeFunc.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "shell/basLogin.h"
#include "platform/text/IniFile.h"

#include <QFile>

namespace {

struct LoginCase {
    const char* name;
    const char* computer;
    const char* user;
    const char* pwd;
    LoginOutcome outcome;
    const char* message; // message code or literal shown last; "" none
    LoginFocus focus;
};

class LoginTest : public ShellTest {};

TEST_F(LoginTest, FirstLoginMatrix)
{
    // DESK01 -> D1 (circulation desk), DESK03 -> RR (not a desk). 0001 may use
    // every computer, 0002 DESK01/02, 0003 is cancelled, 0004 lacks right 4025.
    db().exec("insert into user_comp_lst (wkr_no, comp_name) values ('0002', 'DESK09')"); // no location row
    const LoginCase cases[] = {
        {"unknown worker", "DESK01", "0999", "X", LoginOutcome::Refused, "ECM500", LoginFocus::User},
        {"empty worker number", "DESK01", "", "", LoginOutcome::Refused, "ECM500", LoginFocus::User},
        {"wrong password", "DESK01", "0001", "ABD", LoginOutcome::Refused, "ECM502", LoginFocus::Password},
        {"password is not trimmed", "DESK01", "0001", "ABC ", LoginOutcome::Refused, "ECM502", LoginFocus::Password},
        {"cancelled worker, right password", "DESK01", "0003", "0003", LoginOutcome::Refused, "ECM501",
         LoginFocus::User},
        {"cancelled worker, wrong password", "DESK01", "0003", "nope", LoginOutcome::Refused, "ECM501",
         LoginFocus::User},
        {"no workstation row", "DESK03", "0002", "1234", LoginOutcome::Refused, "ECM503", LoginFocus::User},
        {"workstation without a location", "DESK09", "0002", "1234", LoginOutcome::Refused, "ECM503",
         LoginFocus::User},
        {"no program right", "DESK01", "0004", "0004", LoginOutcome::Refused, "ECM504", LoginFocus::None},
        {"not a desk computer", "DESK03", "0001", "ABC", LoginOutcome::ExitProgram, "ILT003", LoginFocus::None},
        {"lower case number and password", "DESK01", " 0001 ", "abc", LoginOutcome::Passed, "", LoginFocus::None},
        {"SUPR at a computer listed nowhere", "NOWHERE", "supr", "supr", LoginOutcome::Passed, "",
         LoginFocus::None},
    };
    for (const LoginCase& c : cases) {
        SCOPED_TRACE(c.name);
        setComputer(c.computer);
        dialogs.clear();
        g_varCircRule = DBResultSet();
        LoginFocus focus = LoginFocus::None;
        QStringList status;
        const LoginOutcome got = intLoginAction(QString::fromUtf8(c.user), QString::fromUtf8(c.pwd), false,
                                                [&](const QString& s) { status << s; }, &focus);
        EXPECT_EQ(int(got), int(c.outcome));
        EXPECT_EQ(int(focus), int(c.focus));
        EXPECT_EQ(status.value(0), QStringLiteral("正在登录..."));
        if (*c.message) {
            ASSERT_FALSE(dialogs.shown.isEmpty());
            EXPECT_EQ(dialogs.lastText(), msg(c.message));
        } else {
            EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
        }
        EXPECT_EQ(g_blnDlgOk, c.outcome == LoginOutcome::Passed || QByteArray(c.message) == "ECM504"
                                  || QByteArray(c.message) == "ILT003");
        if (c.outcome == LoginOutcome::Passed) {
            // The caches of the first log-in are loaded.
            EXPECT_GT(g_varCircRule.rowCount(), 0);
            EXPECT_TRUE(status.contains(QStringLiteral("用户成功登录，初始化代码数据...")));
        }
    }
}

TEST_F(LoginTest, PassedCheckFillsTheLoginState)
{
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), 0);
    EXPECT_EQ(g_strWkrNo, QStringLiteral("0002"));
    EXPECT_EQ(g_strWkrPwd, QStringLiteral("1234"));
    EXPECT_EQ(g_strComputer, QStringLiteral("DESK01"));
    EXPECT_EQ(g_strLocation, QStringLiteral("D1"));
    EXPECT_TRUE(blnCheckAuth(QStringLiteral("4026"), false));
    EXPECT_FALSE(blnCheckAuth(QStringLiteral("4029"), false));

    // SUPR anywhere: empty location, every right.
    setComputer("nowhere");
    ASSERT_EQ(blnCheckWorker(QStringLiteral("SUPR"), QStringLiteral("supr")), 0);
    EXPECT_EQ(g_strLocation, QString());
    EXPECT_EQ(g_strComputer, QStringLiteral("NOWHERE"));
    EXPECT_TRUE(blnCheckAuth(QStringLiteral("4032"), true));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(LoginTest, ComputerNameComesFromTheEnvironmentInUpperCase)
{
    setComputer("desk02");
    EXPECT_EQ(strGetComputerName(), QStringLiteral("DESK02"));
    qunsetenv("CONSIGN_COMPUTER");
    EXPECT_FALSE(strGetComputerName().isEmpty());
    EXPECT_EQ(strGetComputerName(), strGetComputerName().toUpper());

    // The connection file may name the workstation too.
    const QString ini = g_strPath[0] + QStringLiteral("qorlan.ini");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[LIB-DATA]\r\nLIB_SERVER=X\r\nCOMPUTER_NAME = desk03 \r\n");
    f.close();
    EXPECT_EQ(strGetComputerName(), QStringLiteral("DESK03"));
    QFile::remove(ini);
}

TEST_F(LoginTest, ReLoginReplacesTheWorkerAndLoadsNothing)
{
    ASSERT_EQ(int(intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false)), int(LoginOutcome::Passed));
    g_varCircRule = DBResultSet(); // a reload would fill it again

    // At the non-desk computer the repeated log-in needs neither the right nor a desk.
    setComputer("DESK03");
    ASSERT_EQ(int(intLoginAction(QStringLiteral("0001"), QStringLiteral("abc"), true)), int(LoginOutcome::Passed));
    EXPECT_EQ(g_strLocation, QStringLiteral("RR"));
    EXPECT_TRUE(g_blnDlgOk);

    setComputer("DESK02");
    ASSERT_EQ(int(intLoginAction(QStringLiteral("0002"), QStringLiteral("1234"), true)), int(LoginOutcome::Passed));
    EXPECT_EQ(g_strWkrNo, QStringLiteral("0002"));
    EXPECT_EQ(g_strLocation, QStringLiteral("D2"));
    EXPECT_EQ(g_varCircRule.rowCount(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(LoginTest, SavedCardRuleIsInForceFromTheFirstLogin)
{
    // Saved in an earlier run; this run starts with the defaults.
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Type", "True"));
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Used", "1"));
    g_blnBarRuleByPos = false;
    g_intBarRuleUsed = 0;
    const LoginOutcome got = intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false);
    text::saveSetting("LT", "BarReadRule", "Type", "False");
    text::saveSetting("LT", "BarReadRule", "Used", "0");
    ASSERT_EQ(int(got), int(LoginOutcome::Passed));
    EXPECT_TRUE(g_blnBarRuleByPos);
    EXPECT_EQ(g_intBarRuleUsed, 1);
    g_blnBarRuleByPos = false;
    g_intBarRuleUsed = 0;
}

TEST_F(LoginTest, RefusedReLoginKeepsTheWholeFormerState)
{
    ASSERT_EQ(int(intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false)), int(LoginOutcome::Passed));
    // 0002 knows the password but may not work at DESK03.
    setComputer("DESK03");
    EXPECT_EQ(int(intLoginAction(QStringLiteral("0002"), QStringLiteral("1234"), true)), int(LoginOutcome::Refused));
    EXPECT_EQ(dialogs.lastText(), msg("ECM503"));
    EXPECT_FALSE(g_blnDlgOk);
    EXPECT_EQ(g_strWkrNo, QStringLiteral("0001"));
    EXPECT_EQ(g_strWkrPwd, QStringLiteral("ABC"));
    EXPECT_EQ(g_strLocation, QStringLiteral("D1"));
    EXPECT_TRUE(blnCheckAuth(QStringLiteral("4032"), false));
}

TEST_F(LoginTest, LocationGroupOfThisWorkstationIsRead)
{
    g_strLocation = QStringLiteral("D1");
    ASSERT_EQ(intLoadLocaProperty(), 0);
    EXPECT_EQ(g_varLocaProperty.toString(), QStringLiteral("01"));
    // An unlisted location has no group.
    g_strLocation = QStringLiteral("NOWHERE");
    ASSERT_EQ(intLoadLocaProperty(), 0);
    EXPECT_EQ(g_varLocaProperty, QVariant(QString()));
    // A failed read is shown and leaves the group as it was.
    g_varLocaProperty = QStringLiteral("G7");
    db().exec("alter table location_lst rename to location_lst_gone");
    EXPECT_EQ(intLoadLocaProperty(), -1);
    db().exec("alter table location_lst_gone rename to location_lst");
    EXPECT_EQ(g_varLocaProperty.toString(), QStringLiteral("G7"));
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
}

TEST_F(LoginTest, DatabaseFailureInTheCheckIsReported)
{
    db().exec("alter table user_location rename to user_location_gone");
    EXPECT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), -1);
    db().exec("alter table user_location_gone rename to user_location");
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
    EXPECT_TRUE(g_strWkrNo.isEmpty()); // nothing of the half-passed check stays
}

TEST_F(LoginTest, FailedCacheLoadEndsTheProgram)
{
    db().exec("alter table circ_rule rename to circ_rule_gone");
    const LoginOutcome got = intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false);
    db().exec("alter table circ_rule_gone rename to circ_rule");
    EXPECT_EQ(int(got), int(LoginOutcome::ExitProgram));
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("系统初始化出错，启动失败！"));
}

} // namespace
