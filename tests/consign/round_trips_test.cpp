// What the find desk and the return management cost in round trips to the
// server, counted by the database interface: a budget per action.

#include "ConsignFixture.h"

#include "tests/support/RoundTrips.h"

using testsupport::roundTripsOf;

TEST_F(ConsignTest, FindDeskActionsStayWithinTheirBudget) {
    request("DR02", "TP311.12/W23", "A1", 3);
    // One requester passed over (DR09 owes too much), DR15 served: the copy
    // with its queue and every requester's check in one short transaction,
    // then the lending to the fit one (its reads, its locked reads, its
    // writes with the commit).
    EXPECT_LE(roundTripsOf(
                  [&] { EXPECT_EQ(find.subFindBook("B500001"), 0) << shownTexts().join('|').toStdString(); }),
              4);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(find.subFindBook("B500002"), 0); }), 4);
    EXPECT_EQ(loanOf("P500002").section('|', 0, 0), "DR02");
    // The hand-over of every found copy: one, however many.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(find.subConnectFind(), 0); }), 1);
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:2"}));
}

TEST_F(ConsignTest, AScanPassingOverManyRequestersCostsTheSame) {
    // DR09, DR03, DR04 and DR05 fail the check; DR15 is served.
    queueUnfitBeforeDR15();
    EXPECT_LE(roundTripsOf(
                  [&] { EXPECT_EQ(find.subFindBook("B500001"), 0) << shownTexts().join('|').toStdString(); }),
              4);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR03:2", "DR04:3", "DR05:4"}));
}

TEST_F(ConsignTest, AcceptanceStaysWithinItsBudget) {
    returnedHome("DR01", "P500002", "D2");
    // The copy, its found rows and its record together; the write with the
    // transaction and its commit.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(home.subCheckBook("B500002"), 0); }), 2);
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));
    // A copy accepted already is refused before anything is written.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(home.subCheckBook("B500002"), -1); }), 1);
}
