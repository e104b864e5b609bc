// Which desks may act for a location, and one location's calendar rows.

#include "CacheFixture.h"
#include "common/basCodeFunc.h"
#include "common/basLTFunc.h"

#include <gtest/gtest.h>

namespace {

class DeskRights : public ::testing::Test {
protected:
    void SetUp() override {
        g_varDeskLocation = makeCache(
            {"location", "location_name", "location_property", "short_loca_name", "lend_location", "ret_location",
             "fine_location", "group_id"},
            {
                {"A1", "书库", "01", "书库", "D1,D2", "D1", "", "01"},
                {"A2", "期刊", "01", "期刊", "010,020", "D1, D2", "D2,", "01"},
                {"D1", "总台", "01", "总台", "", "", "", "01"},
            });
    }
    void TearDown() override { g_varDeskLocation = DBResultSet(); }
};

struct DeskCase {
    const char* location;
    const char* desk;
    int kind;
    const char* result;
};

TEST_F(DeskRights, Table) {
    const DeskCase cases[] = {
        {"A1", "D1", DeskLend, ""},
        {"A1", "D2", DeskLend, ""},
        {"A1", "D3", DeskLend, "D1,D2"},
        {"A1", "D", DeskLend, "D1,D2"},     // no substring match
        {"A1", "D2", DeskReturn, "D1"},
        {"A1", "D9", DeskFine, ""},         // empty list: every desk
        {"A2", "01", DeskLend, "010,020"},  // "01" is not an element of "010,020"
        {"A2", "010", DeskLend, ""},
        {"A2", "020", DeskLend, ""},
        {"A2", "D2", DeskReturn, ""},       // blanks around elements do not count
        {"A2", "D2", DeskFine, ""},
        {"A2", "", DeskLend, "010,020"},    // an empty desk code matches nothing
        {"A2", "", DeskFine, "D2,"},
        {"D1", "", DeskLend, ""},
        {"A1", "D1", 3, ""},                // unknown kind
        {"A9", "D1", DeskLend, "A9"},       // not a circulation location: its own code
        {"a1", "D1", DeskLend, "a1"},       // codes compare exactly
    };
    for (const auto& c : cases)
        EXPECT_EQ(strCheckDeskLocation(QString::fromUtf8(c.location), QString::fromUtf8(c.desk), c.kind),
                  QString::fromUtf8(c.result))
            << c.location << " / " << c.desk << " / kind " << c.kind;
}

TEST_F(DeskRights, UnloadedCacheRefuses) {
    g_varDeskLocation = DBResultSet();
    EXPECT_EQ(strCheckDeskLocation("A1", QString("D1"), DeskLend), QString("A1"));
}

TEST(LocationCalendar, RowsOfOneLocationInCacheOrder) {
    g_varCloseDay = makeCache({"close_bgn_day", "close_end_day", "ext_days", "location"},
                              {{"2026-01-01", "2026-01-03", "0", "A"},
                               {"2026-05-01", "2026-05-05", "1", "A"},
                               {"2026-10-01", "2026-10-07", "2", "B"}});
    const DBResultSet b = varGetCloseDay("B");
    EXPECT_EQ(b.rowCount(), 1);
    EXPECT_EQ(b.fieldCount(), 4);
    EXPECT_EQ(b.fieldName(closeday::EndDay), QString("CLOSE_END_DAY"));
    EXPECT_EQ(b.text(0, closeday::BgnDay), QString("2026-10-01"));
    EXPECT_EQ(b.text(0, closeday::ExtDays), QString("2"));
    EXPECT_TRUE(b.text(1, closeday::BgnDay).isEmpty()); // nothing of other locations after the valid rows

    const DBResultSet a = varGetCloseDay("A");
    ASSERT_EQ(a.rowCount(), 2);
    EXPECT_EQ(a.text(0, closeday::EndDay), QString("2026-01-03"));
    EXPECT_EQ(a.text(1, closeday::EndDay), QString("2026-05-05"));

    const DBResultSet none = varGetCloseDay("C");
    EXPECT_EQ(none.rowCount(), 0);
    EXPECT_EQ(none.fieldCount(), 4);
    g_varCloseDay = DBResultSet();
    EXPECT_EQ(varGetCloseDay("A").rowCount(), 0);
}

TEST(LocationCalendar, OpeningTimesKeepCacheOrder) {
    // Loaded ordered by week as text.
    g_varOpenTime = makeCache({"morn_open_time", "aftn_open_time", "even_open_time", "week", "location"},
                              {{"08:00", "14:00", "19:00", "FRI", "A"},
                               {"08:00", "14:00", "19:00", "FRI", "B"},
                               {"08:00", "14:00", "00:00", "MON", "A"},
                               {"00:00", "00:00", "00:00", "SUN", "A"}});
    const DBResultSet a = varGetOpenTime("A");
    ASSERT_EQ(a.rowCount(), 3);
    EXPECT_EQ(a.text(0, opentime::Week), QString("FRI"));
    EXPECT_EQ(a.text(1, opentime::Week), QString("MON"));
    EXPECT_EQ(a.text(2, opentime::Week), QString("SUN"));
    EXPECT_EQ(a.text(2, opentime::Evening), QString("00:00"));
    EXPECT_EQ(varGetOpenTime("B").rowCount(), 1);
    g_varOpenTime = DBResultSet();
}

} // namespace
