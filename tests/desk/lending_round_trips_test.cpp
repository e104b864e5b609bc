// What the lend and return modes cost in round trips to the server, counted by
// the database interface: a budget per action.

#include "LendingFixture.h"

#include "tests/support/RoundTrips.h"

using testsupport::roundTripsOf;
using ui::BoxAnswer;

TEST_F(LendingTest, LendAndPickUpStayWithinTheirBudget) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    // The scan goes on to the ordinary lending when nobody's arrival it is.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subLendReleBook("B500001"), -1); }), 4);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR02");
    // A copy the reader holds already is refused before anything is locked.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subLendBook("B500001"), -1); }), 1);
    EXPECT_EQ(shown(), msg("ELT112"));

    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subLendReleBook("B500003"), 0) << shown(); }), 4);
}

TEST_F(LendingTest, ReturnsStayWithinTheirBudget) {
    // On time at home: the copy and its loan, the locks, the closing, its
    // writes with the commit, the holds, the remaining loans.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500005"), 0) << shown(); }), 6);
    // Overdue away from home, with the row that travels home.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500012"), 0) << shown(); }), 6);

    // Away from home and handed on past an unfit requester: the return, the
    // candidates, one check per candidate and the lending to the fit one.
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    dialogs.answers = {BoxAnswer::Ok};
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500003"), 0) << shown(); }), 12);
    EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
}
