// Which circulation rule applies to a location, circulation type and reader type.

#include "CacheFixture.h"
#include "common/basCodeFunc.h"
#include "common/basLTFunc.h"

#include <gtest/gtest.h>

namespace {

struct PatternCase {
    const char* code;
    const char* pattern;
    bool accepted;
};

TEST(RuleMatch, PatternTable) {
    const PatternCase cases[] = {
        // lone star, also with blanks around it, also for the empty code
        {"01", "*", true},
        {"", " * ", true},
        {"ZZ", " * ", true},
        // prefix patterns
        {"01", "01*", true},
        {"015", "01*", true},
        {"02", "01*", false},
        {"0a", "0A*", false},
        {"0A", "0A*", true},
        {"", "01*", false},
        {"x", "*01", true}, // empty prefix: every non-empty code
        {"", "*01", false},
        // prefix first, then the same text as a list
        {"015", "01*,03", true},
        {"03", "01*,03", true},
        {"04", "01*,03", false},
        {"035", "01,03*", false}, // a star in second place is literal text
        {"03*", "01,03*", true},
        // comma lists: whole elements, exact, untrimmed
        {"01", "01,03", true},
        {"03", "01,03", true},
        {"013", "01,03", false},
        {"0", "01,03", false},
        {"02", "01, 02", false},
        {" 02", "01, 02", true},
        {"01", "01", true},
        {"01", "01,", true},
        {"", "01,", false}, // a trailing comma adds no element
        {"", ",01", true},  // an empty first element
        {"", "01,,03", true},
        {"", "", false},    // an empty pattern accepts nothing
        {"01", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(blnMatchRuleCode(QString::fromUtf8(c.code), QString::fromUtf8(c.pattern)), c.accepted)
            << "code '" << c.code << "' pattern '" << c.pattern << "'";
}

class FindRule : public ::testing::Test {
protected:
    void SetUp() override {
        QStringList ruleFields;
        for (int c = 0; c < circrule::ColumnCount; ++c) ruleFields << QStringLiteral("c%1").arg(c);
        g_varCircRule = makeCache(ruleFields, {{"R1", "day rule"}, {"R2", "hour rule"}, {"R3", "copy rule"}});
    }
    void TearDown() override {
        g_varCircRule = DBResultSet();
        g_varRuleComp = DBResultSet();
    }
    static void setComp(std::initializer_list<QStringList> rows) {
        g_varRuleComp = makeCache({"no", "rule_no", "loca_code_c", "circ_type_code_c", "redr_type_code_c", "r_dep_id"},
                                  rows);
    }
};

TEST_F(FindRule, FirstRowInCacheOrderWins) {
    // Cache order is descending "no": the catch-all row 20 hides row 10.
    setComp({{"20", "R1", "*", "*", "*"}, {"10", "R2", "01", "*", "*"}});
    EXPECT_EQ(intFindRuleIndex("01", "A", "T1"), 0);
    EXPECT_EQ(intFindRuleIndex("02", "A", "T1"), 0);
}

TEST_F(FindRule, AllThreePatternsMustAccept) {
    setComp({{"30", "R2", "A1", "01*", "T1,T2"}, {"20", "R3", "A*", "*", "T3"}, {"10", "R1", "*", "*", "*"}});
    EXPECT_EQ(intFindRuleIndex("A1", "015", "T2"), 1); // R2
    EXPECT_EQ(intFindRuleIndex("A1", "02", "T2"), 0);  // circulation type fails row 30 -> catch-all R1
    EXPECT_EQ(intFindRuleIndex("A2", "02", "T3"), 2);  // R3
    EXPECT_EQ(intFindRuleIndex("B1", "02", "T3"), 0);
}

TEST_F(FindRule, NoRuleApplies) {
    setComp({});
    EXPECT_EQ(intFindRuleIndex("A1", "01", "T1"), -1);

    setComp({{"10", "R1", "A1", "01", "T1"}});
    EXPECT_EQ(intFindRuleIndex("A2", "01", "T1"), -1);
    EXPECT_EQ(intFindRuleIndex("", "", ""), -1);

    // An assignment naming a rule that does not exist is "no rule", not an
    // empty rule read from the spare row.
    setComp({{"20", "GONE", "*", "*", "*"}, {"10", "R1", "*", "*", "*"}});
    EXPECT_EQ(intFindRuleIndex("A1", "01", "T1"), -1);

    g_varCircRule = DBResultSet();
    setComp({{"10", "R1", "*", "*", "*"}});
    EXPECT_EQ(intFindRuleIndex("A1", "01", "T1"), -1); // rules not loaded
}

TEST_F(FindRule, LargeCachesHaveNoRowLimit) {
    QStringList ruleFields;
    for (int c = 0; c < circrule::ColumnCount; ++c) ruleFields << QStringLiteral("c%1").arg(c);
    const int n = 40000;
    DBResultSet rules(n, circrule::ColumnCount);
    for (int c = 0; c < circrule::ColumnCount; ++c) rules.setCell(c, 0, ruleFields[c]);
    for (int i = 0; i < n; ++i) rules.setCell(circrule::RuleNo, 2 + i, QStringLiteral("R%1").arg(i, 5, 10, QLatin1Char('0')));
    g_varCircRule = rules;
    setComp({{"10", "R39999", "*", "*", "*"}});
    EXPECT_EQ(intFindRuleIndex("A1", "01", "T1"), 39999);
}

} // namespace
