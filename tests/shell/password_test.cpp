// Password change: confirmation, storage form, refusals and failures.

#include "tests/shell/ShellFixture.h"

#include "common/basDB.h"
#include "shell/basLogin.h"

namespace {

class PasswordTest : public ShellTest {
protected:
    QString stored(const char* wkr)
    {
        return db().scalar(QStringLiteral("select password from lib_worker where wkr_no = '%1'").arg(QLatin1String(wkr)));
    }
};

TEST_F(PasswordTest, StoredUpperCaseWithoutBlanksAndAcceptedInAnyCase)
{
    ASSERT_TRUE(blnSaveNewPassword(QStringLiteral(" 0002"), QStringLiteral(" neu7 "), QStringLiteral(" neu7 ")));
    EXPECT_EQ(stored("0002"), QStringLiteral("NEU7"));
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("成功修改登录口令！"));
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Information);
    dialogs.clear();
    EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("Neu7")), 0);
    EXPECT_EQ(blnCheckWorker(QStringLiteral("0002"), QStringLiteral("1234")), -1);
    EXPECT_EQ(dialogs.lastText(), msg("ECM502"));
    db().exec("update lib_worker set password = '1234' where wkr_no = '0002'");
}

TEST_F(PasswordTest, RefusalsWriteNothing)
{
    struct Case {
        const char* name;
        const char* newPwd;
        const char* confirm;
        QString shown;
    } cases[] = {
        {"confirmation differs in letter case", "abc", "ABC", msg("ECM510")},
        {"confirmation differs in blanks", "abc", "abc ", msg("ECM510")},
        {"empty new password", "", "", QStringLiteral("新口令不能为空，请重新输入！")},
        {"blank new password", "  ", "  ", QStringLiteral("新口令不能为空，请重新输入！")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        EXPECT_FALSE(blnSaveNewPassword(QStringLiteral("0002"), QString::fromUtf8(c.newPwd),
                                        QString::fromUtf8(c.confirm)));
        EXPECT_EQ(dialogs.lastText(), c.shown);
        EXPECT_EQ(stored("0002"), QStringLiteral("1234"));
    }
}

TEST_F(PasswordTest, FailedUpdateIsRolledBackAndReported)
{
    db().exec("alter table lib_worker add constraint ck_test_pwd check (password <> 'BAD')");
    const bool saved = blnSaveNewPassword(QStringLiteral("0002"), QStringLiteral("bad"), QStringLiteral("bad"));
    db().exec("alter table lib_worker drop constraint ck_test_pwd");
    EXPECT_FALSE(saved);
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(stored("0002"), QStringLiteral("1234"));
}

TEST_F(PasswordTest, AWorkerRemovedMeanwhileIsToldNothingWasStored)
{
    // The worker passed the check, then another computer removed the row: the
    // update finds nothing, and that is no success.
    db().exec("insert into lib_worker (wkr_no, password) values ('T0X9', '1234'); "
              "delete from lib_worker where wkr_no = 'T0X9'");
    dialogs.clear();
    EXPECT_FALSE(blnSaveNewPassword(QStringLiteral("t0x9"), QStringLiteral("neu"), QStringLiteral("neu")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("该工作人员已不存在，新口令没有保存！"));
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("select count(*) from lib_worker where wkr_no = 'T0X9'"), QStringLiteral("0"));
}

TEST_F(PasswordTest, EnteringTheChangeNeedsAPassedWorkerCheck)
{
    EXPECT_EQ(intCheckPasswordChange(QString(), QString()), -1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("请输入正确的名称以及口令！"));
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Warning);

    dialogs.clear();
    LoginFocus focus = LoginFocus::None;
    EXPECT_EQ(intCheckPasswordChange(QString(), QStringLiteral("x"), &focus), -1);
    EXPECT_EQ(dialogs.lastText(), msg("ECM500"));
    EXPECT_EQ(int(focus), int(LoginFocus::User));

    dialogs.clear();
    // 0004 lacks the program right: the change only needs the worker check.
    EXPECT_EQ(intCheckPasswordChange(QStringLiteral("0004"), QStringLiteral("0004")), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
