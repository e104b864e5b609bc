// Code-to-name look-ups over the caches, and the fixed lists.

#include "CacheFixture.h"
#include "common/basCodeFunc.h"

#include <gtest/gtest.h>

namespace {

TEST(CodeLookup, FirstRowWinsUnknownCodesComeBack) {
    g_varLocation = makeCache({"location", "location_name", "location_property", "short_loca_name"},
                              {{"A1", "书库", "01", "库"}, {"D1", "总台", "01", "台"}, {"A1", "重复", "02", ""}});
    EXPECT_EQ(strLocationName("A1"), QString("书库"));
    EXPECT_EQ(strLocationName("D1"), QString("总台"));
    EXPECT_EQ(strLocationName("a1"), QString("a1"));
    EXPECT_EQ(strLocationName("ZZ"), QString("ZZ"));
    EXPECT_EQ(strLocationName(""), QString(""));
    g_varLocation = DBResultSet();
    EXPECT_EQ(strLocationName("A1"), QString("A1")); // empty cache
}

TEST(CodeLookup, LanguageAndCountryCompareUpperCase) {
    g_varLanguage = makeCache({"lang_code", "lang_name"}, {{"CHI", "中文"}, {"ENG", "英文"}});
    g_varCountry = makeCache({"country_code", "country_name"}, {{"CN", "中国"}});
    EXPECT_EQ(strLangName("chi"), QString("中文"));
    EXPECT_EQ(strLangName("ENG"), QString("英文"));
    EXPECT_EQ(strLangName("fre"), QString("fre")); // unchanged, not upper-cased
    EXPECT_EQ(strCountryName("cn"), QString("中国"));
    EXPECT_EQ(strCountryName("us"), QString("us"));
    g_varLanguage = DBResultSet();
    g_varCountry = DBResultSet();
}

TEST(CodeLookup, EachRoutineReadsItsOwnCache) {
    struct Member {
        DBResultSet* cache;
        QString (*lookUp)(const QString&);
    };
    const Member members[] = {
        {&g_varDepartment, strDeptName}, {&g_varDocType, strDocTypeName},   {&g_varRedrType, strRedrTypeName},
        {&g_varWorker, strWorkerName},   {&g_varLendGrd, strLendGrdName},   {&g_varViolate, strVoltName},
        {&g_varCarrier, strCarrierName}, {&g_varGetMode, strGetModeName},   {&g_varCircType, strCircTypeName},
        {&g_varClassCode, strClsName},
    };
    int n = 0;
    for (const Member& m : members) {
        const QString code = QStringLiteral("K%1").arg(n++);
        *m.cache = makeCache({"code", "name", "extra"}, {{"X", "other", ""}, {code, "name of " + code, "z"}});
        EXPECT_EQ(m.lookUp(code), "name of " + code);
        EXPECT_EQ(m.lookUp("nope"), QString("nope"));
        *m.cache = DBResultSet();
        EXPECT_EQ(m.lookUp(code), code);
    }
}

TEST(CodeLookup, FixedLists) {
    EXPECT_EQ(strLendStateName("0"), QString("在馆"));
    EXPECT_EQ(strLendStateName("3"), QString("委托借出"));
    EXPECT_EQ(strLendStateName("9"), QString("9"));
    EXPECT_EQ(strLendStateText("2"), QString("预约回馆"));
    EXPECT_EQ(strLendStateText("x"), QString("x"));

    EXPECT_EQ(strItemStatusName("41"), QString("可借"));
    EXPECT_EQ(strItemStatusName("3C"), QString("停借"));
    EXPECT_EQ(strItemStatusName("3c"), QString(""));
    EXPECT_EQ(strItemStatusName("99"), QString(""));
    EXPECT_TRUE(blnInCollection("3C"));
    EXPECT_FALSE(blnInCollection("3c"));
    EXPECT_TRUE(blnInCollection("33"));
    EXPECT_FALSE(blnInCollection("34"));
    EXPECT_TRUE(blnInCollection("46"));
    EXPECT_FALSE(blnInCollection("11"));
    EXPECT_FALSE(blnInCollection(""));

    EXPECT_EQ(strTransTypeName("05"), QString("书刊交换"));
    EXPECT_EQ(strTransTypeName("5"), QString(""));
    EXPECT_EQ(strAcqStateName("4"), QString("审校"));
    EXPECT_EQ(strAcqStateName("5"), QString(""));
    EXPECT_EQ(strMarcTypeName("N"), QString("CN"));
    EXPECT_EQ(strMarcTypeName("n"), QString(""));
    EXPECT_EQ(strMarcTypeName("U"), QString("US"));
    EXPECT_EQ(strMarcTypeName("c"), QString("CN规范"));
    EXPECT_EQ(strMarcTypeName("u"), QString("US规范"));
}

} // namespace
