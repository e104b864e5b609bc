// The find desk's and the return management's write actions with the
// connection lost at every statement (see tests/support/LostConnection.h) and
// meeting a row another desk holds (see tests/support/LockWait.h): the scan
// that lends a copy to its first requester, the hand-over of the found copies
// and the acceptance of a returned copy at its home group.

#include "ConsignFixture.h"
#include "tests/support/LockWait.h"

class ConsignWriteActionsTest : public ConsignTest {
protected:
    void fresh() {
        db().recreate();
        db().pinClock(day + " 10:00:00");
    }
    void check(const testsupport::WriteAction& action, const QString& lockSql) {
        testsupport::checkEveryStatementLost(db(), dialogs, action, [this] { fresh(); });
        testsupport::checkLockWait(
            db(), dialogs, action, [this] { fresh(); }, lockSql);
    }
};

TEST_F(ConsignWriteActionsTest, ScanningACopyForItsRequester) {
    check({"scan", [] {}, [this] { return find.subFindBook("B500001"); }},
          "select 1 from item where prop_no = 'P500001' for update");
}

TEST_F(ConsignWriteActionsTest, HandingOverTheFoundCopies) {
    check({"hand-over", [this] { ASSERT_EQ(find.subFindBook("B500001"), 0) << shown().toStdString(); },
           [this] { return find.subConnectFind(); }},
          "select 1 from relegate_arri_lst where prop_no = 'P500001' for update");
}

TEST_F(ConsignWriteActionsTest, AcceptingAReturnedCopyAtHome) {
    check({"acceptance", [this] { returnedHome("DR01", "P500002", "D2"); },
           [this] { return home.subCheckBook("B500002"); }},
          "select 1 from relegate_arri_lst where prop_no = 'P500002' for update");
}
