// Loading the code-table caches from the database, and the circulation
// services over what was loaded (the demo library of db/demo).

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basLTFunc.h"
#include "platform/text/AnsiFile.h"
#include "tests/support/TestDatabase.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

class BaseCodeLoad : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        testsupport::DatabaseTest::SetUp();
        for (int n = 1; n <= 24; ++n) *varBaseCodeCache(n) = DBResultSet();
        g_varDeskLocation = DBResultSet();
    }
    void TearDown() override {
        for (int n = 1; n <= 24; ++n) *varBaseCodeCache(n) = DBResultSet();
        g_varDeskLocation = DBResultSet();
        testsupport::DatabaseTest::TearDown();
    }
    static QStringList names(const DBResultSet& r) {
        QStringList l;
        for (int c = 0; c < r.fieldCount(); ++c) l << r.fieldName(c);
        return l;
    }
};

TEST_F(BaseCodeLoad, EveryCacheInItsColumnOrder) {
    const int savedSerialCols = g_intClassSerialCols;
    g_intClassSerialCols = 0;
    ASSERT_EQ(intLoadBaseCode(), 0) << g_strErrText.toStdString();
    g_intClassSerialCols = savedSerialCols;

    ASSERT_EQ(g_varCircRule.fieldCount(), 36);
    EXPECT_EQ(g_varCircRule.fieldName(circrule::RuleNo), QString("RULE_NO"));
    EXPECT_EQ(g_varCircRule.fieldName(circrule::PregKeepDays), QString("PREG_KEEP_DAYS"));
    EXPECT_EQ(g_varCircRule.fieldName(circrule::FstFinePrice), QString("FST_FINE_PRICE"));
    EXPECT_EQ(g_varCircRule.fieldName(circrule::KeepBookQty), QString("KEEP_BOOK_QTY"));
    EXPECT_EQ(g_varCircRule.fieldName(circrule::RespWkr), QString("RESP_WKR"));
    EXPECT_EQ(names(g_varRuleComp),
              QStringList({"NO", "RULE_NO", "LOCA_CODE_C", "CIRC_TYPE_CODE_C", "REDR_TYPE_CODE_C", "R_DEP_ID"}));
    EXPECT_EQ(names(g_varLocation),
              QStringList({"LOCATION", "LOCATION_NAME", "LOCATION_PROPERTY", "SHORT_LOCA_NAME"}));
    EXPECT_EQ(names(g_varRedrType), QStringList({"REDR_TYPE_CODE", "REDR_TYPE_NAME", "CHK_VALIDITY_PERIOD",
                                                 "MAX_LEND_QTY", "MAX_DEBT_AMT", "MAX_PREG_QTY", "MAX_PREG_DAYS"}));
    EXPECT_EQ(names(g_varCloseDay), QStringList({"CLOSE_BGN_DAY", "CLOSE_END_DAY", "EXT_DAYS", "LOCATION"}));
    EXPECT_EQ(names(g_varOpenTime),
              QStringList({"MORN_OPEN_TIME", "AFTN_OPEN_TIME", "EVEN_OPEN_TIME", "WEEK", "LOCATION"}));
    EXPECT_EQ(names(g_varGroupRuleComp),
              QStringList({"R_GROUP_ID", "REDR_TYPE_CODE_R", "MAX_LEND_QTY", "CIRC_TYPE_CODE_R"}));
    for (int n = 1; n <= 24; ++n) {
        if (n == 8) continue;
        EXPECT_GT(varBaseCodeCache(n)->fieldCount(), 0) << "cache " << n;
    }
    EXPECT_TRUE(g_varClsGroup.isEmpty()); // narrow class-serial table: not loaded

    // Rule assignments in descending number; numbers and money arrive as numbers.
    for (int i = 1; i < g_varRuleComp.rowCount(); ++i)
        EXPECT_GT(g_varRuleComp.number(i - 1, rulecomp::No), g_varRuleComp.number(i, rulecomp::No));
    const int r1 = [] {
        for (int i = 0; i < g_varCircRule.rowCount(); ++i)
            if (g_varCircRule.text(i, circrule::RuleNo) == "R1") return i;
        return -1;
    }();
    ASSERT_GE(r1, 0);
    EXPECT_EQ(g_varCircRule.number(r1, circrule::NormTerm), 30.0);
    EXPECT_EQ(g_varCircRule.number(r1, circrule::FstFinePrice), 0.10);
    EXPECT_EQ(g_varCircRule.text(r1, circrule::TimeUnit), QString("D"));

    // Only codes in use are cached; look-ups turn codes into names.
    EXPECT_EQ(strLocationName("A1"), QString("总馆书库"));
    EXPECT_EQ(strCircTypeName("01"), QString("普通图书"));
    EXPECT_EQ(strCircTypeName("09"), QString("09"));
    EXPECT_EQ(strRedrTypeName("T2"), QString("教师"));
    EXPECT_EQ(strRedrTypeName("T9"), QString("T9"));
    EXPECT_EQ(strLangName("chi"), QString("中文"));
    EXPECT_EQ(strLangName("lat"), QString("lat"));
    EXPECT_EQ(strCountryName("cn"), QString("中国"));
    EXPECT_EQ(strWorkerName("0001"), QString("张明"));
    EXPECT_EQ(strDeptName("D01"), QString("计算机学院"));
    EXPECT_EQ(strDeptName("D09"), QString("D09"));
    EXPECT_EQ(strVoltName("01"), QString("超期"));
    EXPECT_EQ(strLendGrdName("2"), QString("二级"));
    EXPECT_EQ(strClsName("I"), QString("文学"));
    EXPECT_EQ(strDocTypeName("01"), QString("中文图书"));
    EXPECT_EQ(strCarrierName("01"), QString("印刷本"));
    EXPECT_EQ(strGetModeName("2"), QString("赠送"));
}

TEST_F(BaseCodeLoad, ClassGroupsOnlyWithAWideClassSerialTable) {
    const int savedSerialCols = g_intClassSerialCols;
    g_intClassSerialCols = 1;
    db().exec("INSERT INTO cls_group (grp_code, grp_name) VALUES ('G2', '乙'), ('G1', '甲')");
    const int result = intLoadBaseCode();
    g_intClassSerialCols = savedSerialCols;
    db().exec("DELETE FROM cls_group WHERE grp_code IN ('G1', 'G2')");
    ASSERT_EQ(result, 0);
    ASSERT_EQ(g_varClsGroup.fieldCount(), 2);
    EXPECT_EQ(g_varClsGroup.text(0, 0), QString("G1"));
}

TEST_F(BaseCodeLoad, RulesDeskRightsAndCalendarsOfTheDemoLibrary) {
    ASSERT_EQ(intLoadBaseCode(), 0) << g_strErrText.toStdString();
    ASSERT_EQ(intLoadDeskLocation(3), 0);

    struct RuleCase {
        const char *location, *circType, *redrType, *rule;
    };
    const RuleCase rules[] = {
        {"A1", "01", "T1", "R1"}, {"A1", "02", "T3", "R2"}, {"A2", "01", "T2", "R4"}, {"B1", "015", "T3", "R3"},
        {"D2", "02", "T1", "R1"}, {"A1", "03", "T1", nullptr}, {"A1", "01", "T3", nullptr},
    };
    for (const auto& c : rules) {
        const int idx = intFindRuleIndex(c.location, c.circType, c.redrType);
        if (!c.rule) {
            EXPECT_EQ(idx, -1) << c.location << "/" << c.circType << "/" << c.redrType;
        } else {
            ASSERT_GE(idx, 0) << c.location << "/" << c.circType << "/" << c.redrType;
            EXPECT_EQ(g_varCircRule.text(idx, circrule::RuleNo), QString(c.rule));
        }
    }

    // Circulation locations in list order, with their desk lists.
    ASSERT_GE(g_varDeskLocation.rowCount(), 5);
    EXPECT_EQ(g_varDeskLocation.fieldCount(), 8);
    EXPECT_EQ(g_varDeskLocation.text(0, desklocation::Location), QString("D1"));
    EXPECT_EQ(g_varDeskLocation.text(1, desklocation::Location), QString("D2"));
    EXPECT_EQ(strCheckDeskLocation("A1", QString("D1"), DeskLend), QString(""));
    EXPECT_EQ(strCheckDeskLocation("A1", QString("D2"), DeskReturn), QString("D1"));
    EXPECT_EQ(strCheckDeskLocation("A2", QString("D1"), DeskLend), QString("RR"));
    EXPECT_EQ(strCheckDeskLocation("A2", QString("RR"), DeskReturn), QString(""));
    EXPECT_EQ(strCheckDeskLocation("A2", QString("D2"), DeskFine), QString("")); // no list: any desk
    EXPECT_EQ(strCheckDeskLocation("RR", QString("D1"), DeskLend), QString("RR")); // not a circulation location

    const DBResultSet closed = varGetCloseDay("A1");
    ASSERT_EQ(closed.rowCount(), 1);
    EXPECT_EQ(closed.number(0, closeday::ExtDays), 2.0);
    EXPECT_LT(closed.text(0, closeday::BgnDay), closed.text(0, closeday::EndDay));
    const DBResultSet open = varGetOpenTime("A1");
    ASSERT_EQ(open.rowCount(), 7);
    QStringList weeks;
    for (int i = 0; i < 7; ++i) weeks << open.text(i, opentime::Week);
    EXPECT_EQ(weeks, QStringList({"FRI", "MON", "SAT", "SUN", "THU", "TUE", "WED"}));
    EXPECT_EQ(open.text(3, opentime::Morning) + open.text(3, opentime::Afternoon) + open.text(3, opentime::Evening),
              QString("00:0000:0000:00"));
}

TEST_F(BaseCodeLoad, OptionalAndMissingTables) {
    // A missing optional table does not stop the loading.
    db().exec("ALTER TABLE stat_template RENAME TO stat_template_gone");
    EXPECT_EQ(intLoadBaseCode(), 0);
    EXPECT_TRUE(g_varStatTemplate.isEmpty());
    EXPECT_GT(g_varLimitType.fieldCount(), 0);
    db().exec("ALTER TABLE stat_template_gone RENAME TO stat_template");

    // A missing required table fails the loading, keeps the error pending and
    // names the cache in the log; the caches before it are loaded.
    for (int n = 1; n <= 24; ++n) *varBaseCodeCache(n) = DBResultSet();
    db().exec("ALTER TABLE limit_type RENAME TO limit_type_gone");
    EXPECT_EQ(intLoadBaseCode(), -1);
    db().exec("ALTER TABLE limit_type_gone RENAME TO limit_type");
    EXPECT_NE(g_intErrKind, 0);
    EXPECT_TRUE(g_strErrText.contains("ORA-00942")) << g_strErrText.toStdString();
    EXPECT_GT(g_varGroupRuleComp.fieldCount(), 0);
    EXPECT_TRUE(g_varLimitType.isEmpty());
    EXPECT_TRUE(todaysLog().contains("g_varLimitType")) << todaysLog().toStdString();
    intShowDBError();
    dialogs.clear();

    // A failure in the middle leaves the later caches as they were.
    db().exec("ALTER TABLE lib_worker RENAME TO lib_worker_gone");
    for (int n = 1; n <= 24; ++n) *varBaseCodeCache(n) = DBResultSet();
    EXPECT_EQ(intLoadBaseCode(), -1);
    db().exec("ALTER TABLE lib_worker_gone RENAME TO lib_worker");
    EXPECT_GT(g_varViolate.fieldCount(), 0);
    EXPECT_TRUE(g_varWorker.isEmpty());
    EXPECT_TRUE(g_varCloseDay.isEmpty());
    EXPECT_TRUE(todaysLog().contains("g_varWorker"));
    intShowDBError();
}

TEST_F(BaseCodeLoad, RuleAssignmentsOnlyNameExistingRules) {
    testsupport::RawConnection raw;
    QString error;
    EXPECT_FALSE(raw.exec("INSERT INTO rule_comp (no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c) "
                          "VALUES (999, 'NOSUCH', '*', '*', '*')",
                          &error));
}

} // namespace
