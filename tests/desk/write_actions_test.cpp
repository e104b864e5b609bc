// The desk's write actions with the connection lost at every statement (see
// tests/support/LostConnection.h) and meeting a row another desk holds (see
// tests/support/LockWait.h): placing and deleting requests, lending, the
// pick-up of an arrived copy, returns and the hand-on of a returned copy.

#include "LendingFixture.h"
#include "tests/support/LockWait.h"

class WriteActionsTest : public LendingTest {
protected:
    void SetUp() override {
        LendingTest::SetUp();
        desk.askKeepDays = [](const QString&, int maxDays) { return std::optional<int>(maxDays); };
        attachmentAnswer = QString();
    }
    void fresh() {
        db().recreate();
        db().pinClock(day + " 10:00:00");
    }
    // The action with the connection lost at every statement, then meeting
    // the row `lockSql` holds.
    void check(const testsupport::WriteAction& action, const QString& lockSql) {
        testsupport::checkEveryStatementLost(db(), dialogs, action, [this] { fresh(); });
        testsupport::checkLockWait(
            db(), dialogs, action, [this] { fresh(); }, lockSql);
    }
    int load(const QString& card) {
        const int r = desk.intLoadRedr(card);
        EXPECT_EQ(r, 0) << card.toStdString() << ": " << shown().toStdString();
        return r;
    }
    // The reader's request for a title, from the request list the desk shows.
    int deleteRequest(const QString& callNo) {
        for (int i = 0; i < desk.requests().size(); ++i)
            if (desk.requests()[i].callNo == callNo) return desk.subDeleteApply(i);
        return -1;
    }
};

TEST_F(WriteActionsTest, PlacingARequest) {
    check({"placing a request", [this] { load("DC14"); },
           [this] {
               desk::HoldingRow a1;
               a1.location = "A1";
               a1.lendable = 3;
               return desk.subApplyBook("TP311.12/W23", a1);
           }},
          "select 1 from reader where cert_id = 'DR14' for update");
}

TEST_F(WriteActionsTest, DeletingARequest) {
    check({"deleting a request",
           [this] {
               load("DC15");
               desk.subLoadApplyList();
           },
           [this] { return deleteRequest("TP311.12/W23"); },
           [this] {
               desk.subLoadApplyList();
               return deleteRequest("TP311.12/W23");
           }},
          "select 1 from relegate_lst where cert_id = 'DR15' and relegate_flag = '0' for update");
}

TEST_F(WriteActionsTest, Lending) {
    check({"lending", [this] { load("DC02"); }, [this] { return lending.subLendBook("B500001"); }},
          "select 1 from item where prop_no = 'P500001' for update");
}

TEST_F(WriteActionsTest, PickingUpAnArrivedCopy) {
    check({"pick-up", [this] { load("DC13"); }, [this] { return lending.subLendReleBook("B500003"); }},
          "select 1 from relegate_arri_lst where prop_no = 'P500003' for update");
}

TEST_F(WriteActionsTest, ReturningOverdueWithAFine) {
    check({"overdue return", [] {}, [this] { return lending.subReturnBook("B500012"); }},
          "select 1 from reader where cert_id = 'DR10' for update");
}

TEST_F(WriteActionsTest, ReturningACollectedCopyHandsItOn) {
    // The return and the hand-on to DR15 are one transaction: a session lost
    // at any statement, the hand-on's included, leaves nothing, and the retry
    // returns the copy and hands it on. Meeting the borrower's or the
    // requester's locked row, it waits, says so and writes nothing.
    testsupport::WriteAction a{"return and hand-on",
                               [this] {
                                   load("DC13");
                                   ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown().toStdString();
                               },
                               [this] { return lending.subReturnBook("B500003"); }};
    a.oneTransaction = true;
    check(a, "select 1 from reader where cert_id = 'DR13' for update");
    testsupport::checkLockWait(
        db(), dialogs, a, [this] { fresh(); }, "select 1 from reader where cert_id = 'DR15' for update");
    EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
    EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR15:1"}));
}
