// The circulation rule editor without its window: the server procedure, the
// rule loaded into the form, the checks of OK, the argument text, the save,
// two desks creating one code, the key filters and the help file.

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "common/basRuleEdit.h"
#include "platform/text/AnsiFile.h"
#include "tests/support/BadInput.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <chrono>
#include <future>

using testsupport::RawConnection;

namespace {

class RuleEditTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        db().recreate();
        g_strWkrNo = QStringLiteral("0002");
        ASSERT_EQ(intLoadBaseCode(), 0);
    }
    void TearDown() override
    {
        g_strWkrNo.clear();
        DatabaseTest::TearDown();
    }
    QString cell(const QString& rule, const char* column)
    {
        return db().scalar(
            QStringLiteral("select %1 from circ_rule where rule_no = '%2'").arg(QLatin1String(column), rule));
    }
    int ruleCount() { return db().scalar("select count(*) from circ_rule").toInt(); }
    static QString msg(const char* code) { return strGetMsg(QString::fromLatin1(code)); }

    // A complete new rule as a worker would type it.
    static RuleForm typedRule(const QString& code)
    {
        RuleForm f;
        f.txtField[0] = code;
        f.txtField[1] = QStringLiteral("新规则");
        for (int i = 0; i < kRuleBoxes; ++i)
            if (blnRuleWholeNumberBox(i))
                f.txtField[i] = QString::number(i);
        f.txtField[22] = QStringLiteral("12.50");
        f.txtField[23] = QStringLiteral("0.05");
        f.txtField[24] = QStringLiteral("5");
        f.txtField[25] = QString();
        f.enabled = 1;
        f.renew = 1;
        return f;
    }
};

TEST_F(RuleEditTest, ProcedureInsertsNewCodesAndUpdatesExistingOnes)
{
    db().pinClock("2026-05-04 10:00:00");
    g_strSQL = strRuleCallText(typedRule(QStringLiteral("0000000077")), QStringLiteral("0002"));
    ASSERT_EQ(LIB_DB_CallProc(g_strSQL), 0) << g_strErrText.toStdString();
    EXPECT_EQ(cell("0000000077", "reg_day"), "2026-05-04");
    EXPECT_EQ(cell("0000000077", "upt_day"), "");
    EXPECT_EQ(cell("0000000077", "resp_wkr"), "0002");
    EXPECT_EQ(cell("0000000077", "fst_fine_price"), "12.50");
    EXPECT_EQ(cell("0000000077", "other_fine_price"), "0.05");
    EXPECT_EQ(cell("0000000077", "serv_fee"), "0.00");
    EXPECT_EQ(cell("0000000077", "norm_term"), "3");
    EXPECT_EQ(cell("0000000077", "keep_book_qty"), "30");

    db().pinClock("2026-05-06 09:00:00");
    RuleForm changed = typedRule(QStringLiteral("0000000077"));
    changed.txtField[3] = QStringLiteral("45");
    g_strSQL = strRuleCallText(changed, QStringLiteral("0001"));
    ASSERT_EQ(LIB_DB_CallProc(g_strSQL), 0);
    EXPECT_EQ(cell("0000000077", "reg_day"), "2026-05-04");
    EXPECT_EQ(cell("0000000077", "upt_day"), "2026-05-06");
    EXPECT_EQ(cell("0000000077", "resp_wkr"), "0001");
    EXPECT_EQ(cell("0000000077", "norm_term"), "45");
    EXPECT_EQ(db().scalar("select count(*) from circ_rule where rule_no = '0000000077'"), "1");
}

TEST_F(RuleEditTest, ArgumentTextOfAnEmptyFormAndOfTypedAmounts)
{
    QStringList expected{"''", "''", "'D'", "0", "0", "0", "'0'", "'0'"};
    for (int i = 8; i <= 25; ++i)
        expected << "0";
    expected << "''" << "''" << "''" << "''" << "0" << "'0'" << "'0'" << "'0002'";
    EXPECT_EQ(strRuleCallText(RuleForm(), "0002"), "LT_circ_rule " + expected.join(','));

    RuleForm f = typedRule("R7");
    f.hours = true;
    f.renewFromDue = true;
    f.enabled = 2; // grey is not ticked
    f.preg = 1;
    f.txtField[26] = "N'1";
    const QStringList args = strRuleCallText(f, "0002").mid(13).split(',');
    ASSERT_EQ(args.size(), 34);
    EXPECT_EQ(args[0], "'R7'");
    EXPECT_EQ(args[2], "'H'");
    EXPECT_EQ(args[6], "'1'");
    EXPECT_EQ(args[7], "'1'");
    EXPECT_EQ(args[22], "12.5");
    EXPECT_EQ(args[23], "0.05");
    EXPECT_EQ(args[24], "5");
    EXPECT_EQ(args[25], "0");
    EXPECT_EQ(args[26], "'N''1'");
    EXPECT_EQ(args[31], "'1'");
    EXPECT_EQ(args[32], "'0'");
}

TEST_F(RuleEditTest, TextConversions)
{
    const struct {
        const char* in;
        const char* val;
        const char* money;
    } values[] = {
        {"", "0", ""},          {"12.50", "12.5", "12.50"}, {"1.5", "1.5", "1.50"},   {"007", "7", "7.00"},
        {".5", "0.5", "0.50"},  {"5.", "5", "5.00"},        {"abc", "0", "abc"},      {" 12", "12", "12.00"},
        {"0.00", "0", "0.00"},  {"99999.99", "99999.99", "99999.99"}, {"1.005", "1.005", "1.01"},
        {"9.995", "9.995", "10.00"}, {"12345678901234567.25", "12345678901234567.25", "12345678901234567.25"},
    };
    for (const auto& v : values) {
        EXPECT_EQ(strValText(v.in), v.val) << v.in;
        EXPECT_EQ(strFormatMoneyBox(v.in), v.money) << v.in;
    }
    const struct {
        const char* in;
        const char* padded;
        const char* copy;
    } codes[] = {
        {"12", "0000000012", "COPY000012"},    {"0000000012", "0000000012", "COPY000012"},
        {"1234567", "0001234567", "COPY1234567"}, {"R5", "R5", "COPYR5"},
        {"COPY000003", "COPY000003", "COPY000003"}, {"1.5", "1.5", "COPY1.5"},
    };
    for (const auto& c : codes) {
        EXPECT_EQ(strFormatRuleCode(c.in), c.padded) << c.in;
        EXPECT_EQ(strCopyRuleCode(c.in), c.copy) << c.in;
    }
    const struct {
        int box;
        const char* text;
        bool valid;
    } boxes[] = {
        {3, "123", true},  {3, "12a", false},        {3, "123456789", true}, {3, "1234567890", false},
        {3, "1.5", false}, {22, "12345.67", true},   {22, "123456", false},  {22, "1.234", false},
        {23, "123.45", true}, {23, "1234", false},   {23, "1.2.3", false},   {23, "", true},
        {0, "ABCDEFGHIJ", true}, {0, "ABCDEFGHIJK", false},
    };
    for (const auto& b : boxes)
        EXPECT_EQ(blnRuleBoxTextValid(b.box, b.text), b.valid) << b.box << " " << b.text;
}

TEST_F(RuleEditTest, LoadFillsTheFormByMode)
{
    RuleForm change;
    ASSERT_EQ(subLoadRuleData("R1", 1, change), 0);
    EXPECT_EQ(change.txtField[0], "R1");
    EXPECT_EQ(change.txtField[1], "普通图书借阅规则");
    EXPECT_FALSE(change.hours);
    EXPECT_EQ(change.txtField[3], "30");
    EXPECT_EQ(change.preg, 1);
    EXPECT_EQ(change.renew, 1);
    EXPECT_EQ(change.txtField[22], "0.10");
    EXPECT_EQ(change.txtField[24], "5.00");
    EXPECT_EQ(change.txtField[26], "N1");
    EXPECT_TRUE(change.renewFromDue);
    EXPECT_EQ(change.enabled, 1);

    RuleForm copy;
    ASSERT_EQ(subLoadRuleData("R2", 2, copy), 0);
    EXPECT_EQ(copy.txtField[0], "");
    EXPECT_EQ(copy.txtField[1], "");
    EXPECT_TRUE(copy.hours);
    EXPECT_EQ(copy.txtField[3], "4");
    EXPECT_EQ(copy.txtField[26], ""); // null stays empty
    EXPECT_FALSE(copy.renewFromDue);

    RuleForm none;
    ASSERT_EQ(subLoadRuleData("NOSUCH", 1, none), 0);
    EXPECT_EQ(none.txtField[3], "");
    EXPECT_EQ(none.enabled, 0);

    db().exec("alter table circ_rule rename to circ_rule_gone");
    RuleForm failed;
    EXPECT_EQ(subLoadRuleData("R1", 1, failed), -1);
    db().exec("alter table circ_rule_gone rename to circ_rule");
    EXPECT_EQ(dialogs.lastText(), msg("ECM012"));
}

TEST_F(RuleEditTest, OkRefusalsOfNewAndCopiedRulesWriteNothing)
{
    const int before = ruleCount();
    const struct {
        const char* name;
        const char* code;
        int read;
        QString shown;
    } cases[] = {
        {"empty code", "  ", 0, msg("ELT703")},
        {"existing code", "R1", 0, msg("ELT700")},
        {"existing code typed short", "R1 ", 0, msg("ELT700")},
        // 1 becomes COPY000001, which exists: checked as it would be saved.
        {"existing copy rule", "1", 1, msg("ELT700")},
        {"copy code over ten characters", "1234567", 1,
         QStringLiteral("借阅规则代码“COPY1234567”超过10个字符，不能保存，请重新输入！")},
    };
    for (int mode : {0, 2}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            dialogs.clear();
            RuleForm f = typedRule(QString::fromLatin1(c.code));
            f.read = c.read;
            int dealType = mode;
            QString ruleNo = "R2";
            EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Stay);
            EXPECT_EQ(shownTexts(), QStringList{c.shown});
            EXPECT_EQ(dealType, mode);
            EXPECT_EQ(ruleNo, "R2");
        }
    }
    EXPECT_EQ(ruleCount(), before);
    EXPECT_EQ(cell("COPY000001", "rule_name"), "复印件外借规则");
}

// Bad input (tests/support/BadInput.h) in the code box of a new rule: refused
// with the code's message, or saved under exactly the code the form then
// shows, never under an empty code; in every other box of a changed rule:
// saved, no error. A NUL is no part of a code.
TEST_F(RuleEditTest, BadTextsInTheBoxesAreRefusedOrSavedAsShown)
{
    testsupport::NewRules rules(db());
    const auto added = [&rules] { return rules.added(); };
    for (const QString& t : testsupport::badTexts()) {
        SCOPED_TRACE(t.left(20).toUtf8().toHex().toStdString());
        dialogs.clear();
        RuleForm f = typedRule(t);
        int dealType = 0;
        QString ruleNo;
        const RuleOk ok = intRuleEditOk(dealType, ruleNo, f);
        EXPECT_EQ(g_intErrKind, 0);
        EXPECT_FALSE(LIB_DB_InTrans());
        if (ok == RuleOk::Stay) {
            ASSERT_EQ(dialogs.shown.size(), 1);
            EXPECT_TRUE(shownTexts()[0] == msg("ELT703") || shownTexts()[0].contains("超过10个字符"))
                << shownTexts()[0].toStdString();
            EXPECT_TRUE(added().isEmpty());
            continue;
        }
        ASSERT_EQ(ok, RuleOk::Saved) << shownTexts().join('|').toStdString();
        EXPECT_TRUE(dialogs.shown.isEmpty());
        EXPECT_FALSE(ruleNo.trimmed().isEmpty());
        EXPECT_EQ(f.txtField[0], ruleNo);
        EXPECT_EQ(added(), QStringList{ruleNo});
        RuleForm again;
        ASSERT_EQ(subLoadRuleData(ruleNo, 1, again), 0);
        EXPECT_EQ(again.txtField[1], QStringLiteral("新规则"));
        rules.forget();
    }

    const QString before = db().scalar("select md5(string_agg(r::text, '|' order by rule_no)) from circ_rule r "
                                       "where rule_no <> 'R2'");
    for (int box = 1; box < kRuleBoxes; ++box) {
        if (box == 2 || box == 6 || box == 7) continue;
        for (const QString& t : testsupport::badTexts()) {
            SCOPED_TRACE(std::to_string(box) + " " + t.left(20).toUtf8().toHex().toStdString());
            dialogs.clear();
            RuleForm f;
            ASSERT_EQ(subLoadRuleData("R2", 1, f), 0);
            f.txtField[box] = t;
            int dealType = 1;
            QString ruleNo = "R2";
            EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Saved) << shownTexts().join('|').toStdString();
            EXPECT_TRUE(dialogs.shown.isEmpty());
            EXPECT_EQ(g_intErrKind, 0);
        }
    }
    EXPECT_EQ(db().scalar("select md5(string_agg(r::text, '|' order by rule_no)) from circ_rule r "
                          "where rule_no <> 'R2'"),
              before);
}

TEST_F(RuleEditTest, NewRuleIsSavedAndTheCacheReloaded)
{
    RuleForm f = typedRule("77");
    f.read = 1;
    int dealType = 0;
    QString ruleNo;
    ASSERT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Saved) << shownTexts().join('|').toStdString();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(dealType, 1);
    EXPECT_EQ(ruleNo, "COPY000077");
    EXPECT_EQ(cell("COPY000077", "fst_fine_price"), "12.50");
    EXPECT_EQ(cell("COPY000077", "rule_flag"), "1");
    EXPECT_EQ(cell("COPY000077", "renew_ysno"), "1");
    EXPECT_EQ(cell("COPY000077", "resp_wkr"), "0002");
    bool found = false;
    for (int i = 0; i < g_varCircRule.rowCount(); ++i)
        found = found || g_varCircRule.text(i, circrule::RuleNo) == "COPY000077";
    EXPECT_TRUE(found);
    EXPECT_FALSE(LIB_DB_InTrans());

    RuleForm plain = typedRule("78");
    dealType = 2;
    ASSERT_EQ(intRuleEditOk(dealType, ruleNo, plain), RuleOk::Saved);
    EXPECT_EQ(ruleNo, "0000000078");
    EXPECT_EQ(cell("0000000078", "rule_name"), "新规则");
}

TEST_F(RuleEditTest, ChangedRuleReachesTheRuleMatchingOfTheDesk)
{
    // R1 applies to a T1 reader borrowing circulation type 01 at A1.
    const int before = intFindRuleIndex("A1", "01", "T1");
    ASSERT_GE(before, 0);
    ASSERT_EQ(g_varCircRule.text(before, circrule::RuleNo), "R1");
    ASSERT_EQ(g_varCircRule.number(before, circrule::NormTerm), 30.0);

    RuleForm f;
    ASSERT_EQ(subLoadRuleData("R1", 1, f), 0);
    f.txtField[3] = "21";
    f.txtField[23] = "0.3";
    int dealType = 1;
    QString ruleNo = "R1";
    ASSERT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Saved);
    const int after = intFindRuleIndex("A1", "01", "T1");
    ASSERT_GE(after, 0);
    EXPECT_EQ(g_varCircRule.number(after, circrule::NormTerm), 21.0);
    EXPECT_EQ(cell("R1", "other_fine_price"), "0.30");
    EXPECT_EQ(cell("R1", "reg_day"), "2026-01-05");
    EXPECT_EQ(cell("R1", "upt_day").size(), 10);
}

TEST_F(RuleEditTest, RuleInUseKeepsItsFlag)
{
    for (const char* code : {"R1", "R2"}) { // R1 assigned and lent, R2 assigned
        SCOPED_TRACE(code);
        dialogs.clear();
        RuleForm f;
        ASSERT_EQ(subLoadRuleData(code, 1, f), 0);
        f.enabled = 0;
        int dealType = 1;
        QString ruleNo = code;
        EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Stay);
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT702")});
        EXPECT_EQ(f.enabled, 1);
        EXPECT_EQ(cell(code, "upt_day"), code == QLatin1String("R1") ? "2026-03-01" : "");
    }
    // Nothing uses COPY000001: it may go out of use.
    RuleForm f;
    ASSERT_EQ(subLoadRuleData("COPY000001", 1, f), 0);
    ASSERT_EQ(f.enabled, 1);
    f.enabled = 0;
    int dealType = 1;
    QString ruleNo = "COPY000001";
    EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Saved);
    EXPECT_EQ(cell("COPY000001", "rule_flag"), "0");
}

TEST_F(RuleEditTest, FailedSaveIsRolledBackReportedAndCloses)
{
    db().exec("alter table circ_rule add constraint ck_test_rule check (norm_term < 1000)");
    RuleForm f = typedRule("55");
    f.txtField[3] = "5000";
    int dealType = 0;
    QString ruleNo;
    EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Closed);
    EXPECT_EQ(dealType, 1);
    EXPECT_EQ(ruleNo, "0000000055");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("select count(*) from circ_rule where rule_no = '0000000055'"), "0");
    db().exec("alter table circ_rule drop constraint ck_test_rule");
}

TEST_F(RuleEditTest, TwoDesksCreatingOneCodeCreateItOnce)
{
    // Desk B created 0000000066 between this desk's check and its save.
    RuleForm f = typedRule("66");
    ASSERT_FALSE(blnRuleExists("0000000066"));
    RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("insert into circ_rule (rule_no, rule_name) values ('0000000066', 'B')", &err)) << err;
    f.txtField[0] = "0000000066";
    EXPECT_EQ(subSaveRuleData(f, true), RuleSave::Exists);
    EXPECT_EQ(dialogs.lastText(), msg("ELT700"));
    EXPECT_EQ(cell("0000000066", "rule_name"), "B");
    EXPECT_FALSE(LIB_DB_InTrans());

    // Desk B is saving 0000000067 and holds its lock; this desk's OK waits for
    // it and then refuses.
    dialogs.clear();
    ASSERT_TRUE(deskB.exec("begin", &err)) << err;
    ASSERT_TRUE(deskB.exec("select pg_advisory_xact_lock(hashtext('circ_rule|0000000067'))", &err)) << err;
    ASSERT_TRUE(deskB.exec("call lt_circ_rule('0000000067','B','D',1,1,1,'0','0',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
                           "0,0,null,null,null,null,0,'0','1','0001')",
                           &err))
        << err;
    RuleForm g = typedRule("67");
    int dealType = 0;
    QString ruleNo;
    auto ok = std::async(std::launch::async, [&] { return intRuleEditOk(dealType, ruleNo, g); });
    EXPECT_EQ(ok.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    ASSERT_TRUE(deskB.exec("commit", &err)) << err;
    EXPECT_EQ(ok.get(), RuleOk::Stay);
    EXPECT_EQ(shownTexts(), QStringList{msg("ELT700")});
    EXPECT_EQ(dealType, 0);
    EXPECT_EQ(cell("0000000067", "rule_name"), "B");
    EXPECT_EQ(cell("0000000067", "resp_wkr"), "0001");
}

TEST_F(RuleEditTest, AChangeIsWrittenOnlyOverTheRowAsRead)
{
    // Desk B's change of R1 comes between this desk's load and its save, or
    // B still holds it uncommitted when this desk saves (which waits for it).
    // Either way this desk writes nothing, says so and shows R1 as it is now.
    for (const bool waiting : {false, true}) {
        SCOPED_TRACE(waiting ? "B commits while this desk waits" : "B committed before");
        dialogs.clear();
        db().exec("update circ_rule set fst_fine_price = 0.20, rule_name = '普通图书借阅规则' where rule_no = 'R1'");
        RuleForm f;
        ASSERT_EQ(subLoadRuleData("R1", 1, f), 0);
        ASSERT_EQ(f.txtField[22], "0.20");
        f.txtField[1] = QStringLiteral("本馆规则"); // an unrelated field
        RawConnection deskB;
        QString err;
        ASSERT_TRUE(deskB.exec("begin; update circ_rule set fst_fine_price = 9.99 where rule_no = 'R1'", &err))
            << err;
        int dealType = 1;
        QString ruleNo = "R1";
        RuleOk ok;
        if (waiting) {
            auto saving = std::async(std::launch::async, [&] { return intRuleEditOk(dealType, ruleNo, f); });
            EXPECT_EQ(saving.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
            ASSERT_TRUE(deskB.exec("commit", &err)) << err;
            ok = saving.get();
        } else {
            ASSERT_TRUE(deskB.exec("commit", &err)) << err;
            ok = intRuleEditOk(dealType, ruleNo, f);
        }
        EXPECT_EQ(ok, RuleOk::Reloaded);
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral("该借阅规则已被其他工作站修改，本次修改没有保存！")));
        EXPECT_FALSE(LIB_DB_InTrans());
        EXPECT_EQ(cell("R1", "fst_fine_price"), "9.99");
        EXPECT_EQ(cell("R1", "rule_name"), QStringLiteral("普通图书借阅规则"));
        // The form now holds B's rule; changed again, it is saved.
        EXPECT_EQ(f.txtField[22], "9.99");
        EXPECT_EQ(f.txtField[1], QStringLiteral("普通图书借阅规则"));
        f.txtField[1] = QStringLiteral("本馆规则");
        dialogs.clear();
        EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Saved) << shownTexts().join('|').toStdString();
        EXPECT_EQ(cell("R1", "fst_fine_price"), "9.99");
        EXPECT_EQ(cell("R1", "rule_name"), QStringLiteral("本馆规则"));
    }
}

TEST_F(RuleEditTest, ARuleDeletedMeanwhileIsNotCreatedAgain)
{
    RuleForm f;
    ASSERT_EQ(subLoadRuleData("COPY000001", 1, f), 0);
    f.txtField[3] = "9";
    RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("delete from circ_rule where rule_no = 'COPY000001'", &err)) << err;
    int dealType = 1;
    QString ruleNo = "COPY000001";
    EXPECT_EQ(intRuleEditOk(dealType, ruleNo, f), RuleOk::Closed);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("该借阅规则已被其他工作站删除，本次修改没有保存！")});
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("select count(*) from circ_rule where rule_no = 'COPY000001'"), "0");

    // A code without a row when read is written as long as it still has none.
    RuleForm none;
    ASSERT_EQ(subLoadRuleData("ZZ1", 1, none), 0);
    none.txtField[0] = "ZZ1";
    none.txtField[1] = QStringLiteral("新规则");
    ASSERT_TRUE(deskB.exec("insert into circ_rule (rule_no, rule_name) values ('ZZ1', 'B')", &err)) << err;
    dialogs.clear();
    ruleNo = "ZZ1";
    EXPECT_EQ(intRuleEditOk(dealType, ruleNo, none), RuleOk::Reloaded);
    EXPECT_EQ(cell("ZZ1", "rule_name"), "B");
    EXPECT_EQ(none.txtField[1], "B");
}

TEST(RuleEditKeys, WholeNumberAndMoneyFilters)
{
    EXPECT_EQ(intWholeKeyPress('7'), '7');
    EXPECT_EQ(intWholeKeyPress(kKeyBackspace), kKeyBackspace);
    for (int key : {int('.'), int('a'), int('-'), int(' ')})
        EXPECT_EQ(intWholeKeyPress(key), 0) << key;

    const struct {
        const char* text;
        int caret;
        int key;
        int before;
        bool passes;
    } presses[] = {
        {"1", 1, '.', 3, false},       // the point's character never passes
        {"1", 1, 'x', 3, false},
        {"12", 2, '3', 3, true},
        {"123", 3, '4', 3, false},     // no point: the whole part is full
        {"12345", 5, '6', 5, false},
        {"1.5", 3, '0', 3, true},      // 1.50
        {"1.50", 4, '1', 3, false},    // a third decimal
        {"123.45", 0, '9', 3, false},  // full on both sides
        {"123.45", 6, '9', 3, false},
        {"12.45", 1, '9', 3, true},
        {"12.4", 2, kKeyBackspace, 3, true},
        {"12.4", 3, kKeyBackspace, 3, false}, // would join the digits around the point
        {"1.", 2, kKeyBackspace, 3, true},    // the point at the end may go
        {".5", 1, kKeyBackspace, 3, true},    // the point in front may go
    };
    for (const auto& p : presses)
        EXPECT_EQ(intDecimalKeyPress(p.text, p.caret, p.key, p.before, 2) != 0, p.passes)
            << p.text << " caret " << p.caret << " key " << p.key;

    const struct {
        const char* text;
        int caret;
        int key;
        int result;
        bool insert;
    } downs[] = {
        {"15", 1, kKeyPoint, 0, true},       // 1.5
        {"15", 2, kKeyPadPoint, 0, true},    // 15.
        {"12345", 3, kKeyPoint, 0, true},    // 123.45
        {"12345", 2, kKeyPoint, 0, false},   // three digits would follow the point
        {"1.5", 1, kKeyPoint, 0, false},     // a second point
        {"12.5", 2, kKeyDelete, 0, false},   // would join the digits
        {"12.5", 1, kKeyDelete, kKeyDelete, false},
        {"12.", 2, kKeyDelete, kKeyDelete, false},
        {"125", 1, kKeyDelete, kKeyDelete, false},
    };
    for (const auto& d : downs) {
        bool insert = true;
        EXPECT_EQ(intDecimalKeyDown(d.text, d.caret, d.key, 3, 2, &insert), d.result) << d.text << " " << d.caret;
        EXPECT_EQ(insert, d.insert) << d.text << " " << d.caret;
    }
}

TEST(RuleEditHelp, FileLinesUntilTheFirstBadOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ruleedit.txt");
    ASSERT_TRUE(text::writeAnsiFile(path, QStringLiteral("03：正常借期：图书可以借阅的期限。\n"
                                                         " 4限借册数：同时可借的册数。\n"
                                                         "22罚款说明：一行没有标题\n"
                                                         "22：首次罚款单价：超期后每天的罚款。\n"
                                                         "50：最后一项\n"
                                                         "5：一位数没有前导零\n"
                                                         "12：读不到这一行\n")));
    QStringList entries;
    EXPECT_EQ(subLoadRuleHelp(path, entries), 5);
    ASSERT_EQ(entries.size(), kRuleHelpEntries);
    EXPECT_EQ(entries[3], "正常借期：图书可以借阅的期限。");
    EXPECT_EQ(entries[4], "同时可借的册数。");
    EXPECT_EQ(entries[22], "首次罚款单价：超期后每天的罚款。");
    EXPECT_EQ(entries[50], "最后一项");
    EXPECT_EQ(entries[5], "");
    EXPECT_EQ(entries[12], "");

    // The general text first, then the entry, then an entry without a title.
    const RuleHelpText general = varRuleHelpFor(3, QString(), entries);
    EXPECT_EQ(general.title, "借阅规则：");
    EXPECT_EQ(general.text, "用于定义该读者类型，在当前馆藏地，借阅所属图书流通类型书刊的细则。");
    const RuleHelpText three = varRuleHelpFor(3, general.title, entries);
    EXPECT_EQ(three.title, "正常借期：");
    EXPECT_EQ(three.text, "图书可以借阅的期限。");
    const RuleHelpText four = varRuleHelpFor(4, three.title, entries);
    EXPECT_EQ(four.title, "");
    EXPECT_EQ(four.text, "同时可借的册数。");
    const RuleHelpText caption = varRuleHelpFor(13, three.title, entries);
    EXPECT_EQ(caption.title, "最小使用天数：");
    EXPECT_EQ(caption.text, "最小使用天数");

    QStringList missing;
    EXPECT_EQ(subLoadRuleHelp(dir.filePath("none.txt"), missing), 0);
    EXPECT_EQ(missing.size(), kRuleHelpEntries);
}

} // namespace
