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

    // The pick-up: the copy and its found rows; the locks with the three
    // updates behind them; the commit.
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subLendReleBook("B500003"), 0) << shown(); }), 3);
}

TEST_F(LendingTest, ReturnsStayWithinTheirBudget) {
    // On time at home: the copy with its loan and borrower locked, then the
    // closing with its reads and writes, the commit and the remaining loans
    // behind it.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500005"), 0) << shown(); }), 2);
    // Overdue away from home, with the row that travels home: nobody waits,
    // but the commit waits for the closing's look at the queue.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500012"), 0) << shown(); }), 3);

    // Away from home and handed on past unfit requesters, one (DR09) or four:
    // every requester is checked, and the lending's locked reads made for
    // each, with the closing and its writes; then come the lending's writes
    // with the commit of both and the remaining loans behind it. The copy's
    // attachment asks first: the locks are given up for the question and
    // taken again (two round trips more).
    struct Case {
        const char* name;
        bool moreUnfit, question;
        int budget;
    };
    for (const Case& c : {Case{"one passed over", false, true, 5}, Case{"four passed over", true, true, 5},
                          Case{"one passed over, nothing to ask", false, false, 3}}) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        if (c.moreUnfit) queueUnfitBeforeDR15();
        ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
        ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
        if (!c.question) db().exec("update lend_lst set attachment = null where prop_no = 'P500003'");
        dialogs.answers = {BoxAnswer::Ok};
        EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(lending.subReturnBook("B500003"), 0) << shown(); }), c.budget);
        EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
        EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR15:1"}));
    }
}
