// What each request-mode action of the desk costs in round trips to the
// server, counted by the database interface: a budget per action that holds
// however many titles, locations or requests the action shows.

#include "DeskFixture.h"
#include "PagedTitles.h"

#include "tests/support/RoundTrips.h"

#include <optional>

using desk::ConsignDesk;
using testsupport::roundTripsOf;

class RoundTripsTest : public DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        freshDatabase();
        desk.askKeepDays = [](const QString&, int maxDays) -> std::optional<int> { return maxDays; };
    }
    int holdingAt(const QString& loc) {
        const auto& h = desk.titles()[0].holdings;
        for (int i = 0; i < h.size(); ++i)
            if (h[i].location == loc) return i;
        return -1;
    }

    ConsignDesk desk;
};

TEST_F(RoundTripsTest, ReaderLoadsStayWithinTheirBudget) {
    struct Case {
        const char* card;
        int result;
        long budget;
        const char* what;
    };
    const Case cases[] = {
        {"DC02", 0, 2, "accepted, with its loans and requests"},
        {"DC13", 0, 2, "an arrived copy with its title"},
        {"DC07", 0, 4, "run-out suspensions ended through the server"},
        {"DC08", -1, 3, "a fine and suspension refuses"},
        {"NOSUCHCARD", -1, 2, "unknown card"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int result = 0;
        const long trips = roundTripsOf([&] { result = desk.intLoadRedr(c.card); });
        EXPECT_EQ(result, c.result);
        EXPECT_LE(trips, c.budget);
    }
}

TEST_F(RoundTripsTest, SearchesCostTheSameHoweverManyTitlesTheyFind) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    struct Case {
        QString text;
        QString group;
    };
    const Case cases[] = {
        {"TP311.12/W23", "91"},
        {"T", "91"}, // every title whose call number starts so
        {QStringLiteral("数据结构"), "02"},
        {"7-5041-8765", "05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const long trips = roundTripsOf([&] { EXPECT_EQ(desk.subSearchBookByGroup(c.text, c.group), 0); });
        EXPECT_LE(trips, 2);
    }
    ASSERT_EQ(desk.subSearchBookByGroup("T", "91"), 0);
    EXPECT_GT(desk.titles().size(), 1);
    // The locations of another title: one more round trip.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(desk.subShowHoldings(desk.titles().size() - 1), 0); }), 1);
}

TEST_F(RoundTripsTest, SearchesFindingMoreThanAPageReadItsRecordsAPageAtATime) {
    const int page = ConsignDesk::kTitlePage;
    addPagedTitles(2 * page + 2);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    const long three = roundTripsOf([&] { EXPECT_EQ(desk.subSearchBook("ZPG/010", desk::SearchCallNo), 0); });
    ASSERT_EQ(desk.titles().size(), 3); // ZPG/0100 .. ZPG/0102
    EXPECT_EQ(desk.waitingTitles(), 0);
    QStringList log;
    desk.statementLog = &log;
    EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(desk.subSearchBook("ZPG/", desk::SearchCallNo), 0); }), three);
    EXPECT_EQ(desk.titles().size(), page);
    EXPECT_EQ(desk.waitingTitles(), page + 2);
    // Each page's record query names the titles of that page and no other.
    auto recordQueries = [&] {
        QStringList out;
        for (const QString& s : log)
            if (s.contains("FROM marc_data"))
                out << s;
        log.clear();
        return out;
    };
    auto named = [](const QString& sql) { return int(sql.count("'PGD")); };
    QStringList records = recordQueries();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(named(records[0]), page);
    for (const desk::TitleRow& t : desk.titles())
        EXPECT_TRUE(records[0].contains(strSQLQuote(t.marcRecNo))) << t.marcRecNo.toStdString();

    for (const int added : {page, 2}) {
        SCOPED_TRACE(added);
        const int before = int(desk.titles().size());
        EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(desk.subReadTitlePage(), added); }), 1);
        records = recordQueries();
        ASSERT_EQ(records.size(), 1);
        EXPECT_EQ(named(records[0]), added);
        for (int i = before; i < desk.titles().size(); ++i)
            EXPECT_TRUE(records[0].contains(strSQLQuote(desk.titles()[i].marcRecNo)));
    }
    EXPECT_EQ(desk.titles().size(), 2 * page + 2);
    // Nothing waits: nothing is read.
    EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(desk.subReadTitlePage(), 0); }), 0);
    desk.statementLog = nullptr;
}

TEST_F(RoundTripsTest, PlacingDeletingAndTheListStayWithinTheirBudget) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    ASSERT_EQ(desk.subSearchBook("TP311.12/W23", desk::SearchCallNo), 0);
    const int a1 = holdingAt("A1");
    ASSERT_GE(a1, 0);
    // The server's date with the checks' reads; the locks, re-checks and
    // queue; the insert with the commit and the request list behind it.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(desk.subApplyBook(0, a1), 0) << shown().toStdString(); }), 3);
    ASSERT_EQ(desk.requests().size(), 1);
    EXPECT_EQ(desk.markedRequestRow(), 0);
    // A refused second press ends before the dialog.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(desk.subApplyBook(0, a1), -1); }), 1);
    EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(desk.subLoadApplyList(0), 0); }), 1);
    ASSERT_EQ(desk.requests().size(), 1);
    dialogs.answers << ui::BoxAnswer::Ok;
    // The queue and the request locked; the writes, the commit and the list.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(desk.subDeleteApply(0), 0) << shown().toStdString(); }), 2);
    EXPECT_TRUE(desk.requests().isEmpty());
}
