// What the find desk and the return management cost in round trips to the
// server, counted by the database interface: a budget per action.

#include "ConsignFixture.h"

#include "tests/support/RoundTrips.h"

using testsupport::roundTripsOf;

TEST_F(ConsignTest, FindDeskActionsStayWithinTheirBudget) {
    request("DR02", "TP311.12/W23", "A1", 3);
    // One requester passed over (DR09 owes too much), DR15 served: the copy
    // with its queue, every requester's check and the lending's first reads
    // in one short transaction, then the lending to the fit one (its locked
    // reads, its writes with the commit).
    EXPECT_LE(roundTripsOf(
                  [&] { EXPECT_EQ(find.subFindBook("B500001"), 0) << shownTexts().join('|').toStdString(); }),
              3);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(find.subFindBook("B500002"), 0); }), 3);
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
              3);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR03:2", "DR04:3", "DR05:4"}));
}

TEST_F(ConsignTest, AcceptanceStaysWithinItsBudget) {
    returnedHome("DR01", "P500002", "D2");
    // The copy's record, the copy, and the checks' reads with the write, in
    // one transaction sent with its commit.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(home.subCheckBook("B500002"), 0); }), 1);
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));
    // A copy accepted already is refused, nothing written.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(home.subCheckBook("B500002"), -1); }), 1);
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));
}

TEST_F(ConsignTest, DayListsComeWithTheirRecordsInOneRoundTrip) {
    ASSERT_EQ(find.subInitTeam(), 0);
    find.cmbApplyTeam.index = 2;
    find.dtpApplyBegin = find.dtpApplyBegin.addDays(-3);
    // The server's date, the requests and the records of their titles.
    EXPECT_LE(roundTripsOf([&] { ASSERT_EQ(find.cmdApplySearch(), 0); }), 1);
    ASSERT_EQ(find.spdApplyList().size(), 2);
    for (const consign::ApplyRow& r : find.spdApplyList())
        EXPECT_EQ(QStringList({r.title, r.author, r.publisher}), consign::marcTexts(r.marcRecNo));

    find.cmbFindTeam.index = find.cmbFindTeamII.index = 2;
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    find.dtpFindBegin = find.dtpFindBegin.addDays(-7);
    EXPECT_LE(roundTripsOf([&] { ASSERT_EQ(find.cmdFindSearch(), 0); }), 1);
    ASSERT_GE(find.spdFindList().size(), 2);
    for (const consign::FoundRow& r : find.spdFindList())
        EXPECT_EQ(r.title, consign::marcTexts(r.marcRecNo).value(0)) << r.propNo.toStdString();
}
