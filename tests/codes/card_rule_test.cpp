// The card-reading rule: what a reader delivered -> the card barcode.

#include "common/basLTFunc.h"

#include <gtest/gtest.h>

namespace {

void useSegments(std::initializer_list<std::pair<const char*, const char*>> lines) {
    g_blnBarRuleByPos = true;
    g_arrBarRule.clear();
    for (const auto& l : lines) g_arrBarRule.append(BarRuleSegment{QString::fromUtf8(l.first), QString::fromUtf8(l.second)});
    g_arrBarRule.append(BarRuleSegment{}); // the empty end entry
}

class CardRule : public ::testing::Test {
protected:
    void TearDown() override {
        g_blnBarRuleByPos = false;
        g_intBarRuleUsed = 0;
        g_arrBarRule.clear();
    }
};

struct Case {
    const char* read;
    const char* card;
};

TEST_F(CardRule, SeparatorMode) {
    const Case cases[] = {
        {"123*SS*", "123成"},                       // suffix, then too short for the stripe test
        {"ABCDEFG025=X=Y=Z=12345678901", "512345678"},
        {"ABCDEFG025=X=Y=Z=1234", "51234"},         // shorter than eight: all of it
        {"ABCDEFG025=X=Y", ""},                     // the four cuts empty it
        {"ABCDEFG025=X=Y=Z=", ""},
        {"ABCDEFG02", "ABCDEFG02"},                 // shorter than ten characters
        {"ABCDEFG026=X=Y=Z=12345678", "ABCDEFG026=X=Y=Z=12345678"},
        {"2008001025123", "2008001025123"},         // plain card number with "025" there: unchanged
        {"0000001025", "0000001025"},
        {"R0001", "R0001"},
        {"", ""},
        {"ABCDEFG025=X=Y=Z=98765432*SS*", "598765432"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strApplyBarReadRule(QString::fromUtf8(c.read)), QString::fromUtf8(c.card)) << c.read;
}

TEST_F(CardRule, SegmentMode) {
    useSegments({{"1", "3"}, {"6", "2"}});
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCFG"));
    EXPECT_EQ(strApplyBarReadRule(QString("AB")), QString("AB"));       // too short for the first segment
    EXPECT_EQ(strApplyBarReadRule(QString("ABCD")), QString("ABC"));    // second segment beyond the end
    EXPECT_EQ(strApplyBarReadRule(QString("AB*SS*")), QString("AB成"));

    useSegments({{"5", "6"}});
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCDEFGH")); // 8 < 5 + 6 - 1
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGHIJ")), QString("EFGHIJ"));

    useSegments({{" 2", "2 "}, {"1", "0"}});
    EXPECT_EQ(strApplyBarReadRule(QString("ABCD")), QString("BC"));
}

TEST_F(CardRule, SegmentModeWithoutUsableSegments) {
    useSegments({}); // the file had no lines
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCDEFGH"));

    g_arrBarRule.clear(); // never loaded
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCDEFGH"));

    // Broken entries leave the text as it was read instead of failing.
    for (auto seg : {std::pair{"x", "2"}, std::pair{"1", ""}, std::pair{"0", "2"}, std::pair{"1", "-1"}, std::pair{"", ""}}) {
        useSegments({{"1", "2"}, seg});
        EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCDEFGH")) << seg.first << "," << seg.second;
    }
}

} // namespace
