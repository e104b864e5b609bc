// The queue and found-copy management's write actions with the connection
// lost at every statement (see tests/support/LostConnection.h) and meeting a
// row another desk holds (see tests/support/LockWait.h): cancelling a found
// copy, cancelling the passed ones, deleting a request and moving it in its
// queue.

#include "ManageFixture.h"

#include "consign/basApplyManage.h"
#include "consign/basFindManage.h"
#include "tests/support/LockWait.h"

using consign::ApplyManage;
using consign::FindManage;

class ManageWriteActionsTest : public ManageTest {
protected:
    // A fresh database with the clock standing at 10:00 today.
    void fresh() {
        freshDatabase();
        db().pinClock(QDate::currentDate().toString(Qt::ISODate) + " 10:00:00");
    }
    void check(const testsupport::WriteAction& action, const QString& lockSql) {
        testsupport::checkEveryStatementLost(db(), dialogs, action, [this] { fresh(); });
        testsupport::checkLockWait(
            db(), dialogs, action, [this] { fresh(); }, lockSql);
    }
    // The found copies of A1 read. The titles of the list read after a
    // commit do not report a session lost meanwhile; the next read reports
    // it and reconnects, so a failed first read is read again.
    void openFound() {
        if (found.subInitLocation() != 0) {
            ASSERT_EQ(found.subInitLocation(), 0);
        }
        ASSERT_EQ(found.cmbLocation_Click(indexOf(found, "A1")), 0);
    }
    // The queue of TP311.12/W23 at A1 read.
    void openQueue() {
        ASSERT_EQ(queue.subInitLocation(), 0);
        ASSERT_EQ(queue.cmbLocation_Click(indexOf(queue, "A1")), 0);
        int title = -1;
        for (int i = 0; i < queue.titles.size(); ++i)
            if (queue.titles[i].callNo == "TP311.12/W23") title = i;
        ASSERT_EQ(queue.subShowQueue(title), 0);
    }
    // `act` on the listed row of the copy (-1 when it is no longer listed).
    int onFound(const QString& propNo, const std::function<int(int)>& act) {
        for (int i = 0; i < found.rows.size(); ++i)
            if (found.rows[i].propNo == propNo) return act(i);
        return -1;
    }
    // `act` on the listed row of the reader (-1 when he no longer waits).
    int onQueue(const QString& certId, const std::function<int(int)>& act) {
        for (int i = 0; i < queue.queue.size(); ++i)
            if (queue.queue[i].certId == certId) return act(i);
        return -1;
    }
    // An action on the list as read in prepare; its retry reads the list
    // again first, as the worker sees it after the reconnect.
    testsupport::WriteAction onList(const QString& name, const std::function<void()>& prepare,
                                    const std::function<void()>& open, const std::function<int()>& act) {
        return {name,
                [=] {
                    prepare();
                    open();
                },
                act,
                [=] {
                    open();
                    return act();
                }};
    }

    FindManage found;
    ApplyManage queue;
};

TEST_F(ManageWriteActionsTest, CancellingAFoundCopy) {
    check(onList(
              "found-copy cancel", [] {}, [this] { openFound(); },
              [this] { return onFound("P500003", [this](int row) { return found.subDeleteFind(row); }); }),
          "select 1 from item where prop_no = 'P500003' for update");
}

TEST_F(ManageWriteActionsTest, CancellingThePassedFoundCopies) {
    check(onList(
              "passed found copies",
              [this] {
                  // Only the copy of the test has passed.
                  db().exec("update relegate_arri_lst set relegate_keep_end_date = '2999-12-31'");
                  addFound("DR01", "P500001", 8, 7);
              },
              [this] { openFound(); }, [this] { return found.subDeleteOldFind(); }),
          "select 1 from item where prop_no = 'P500001' for update");
}

TEST_F(ManageWriteActionsTest, DeletingARequestFromItsQueue) {
    check(onList(
              "queue delete", [] {}, [this] { openQueue(); },
              [this] { return onQueue("DR15", [this](int row) { return queue.subDeleteApply(row); }); }),
          "select 1 from relegate_lst where cert_id = 'DR15' and relegate_flag = '0' for update");
}

TEST_F(ManageWriteActionsTest, MovingARequestInItsQueue) {
    // DR09 down below DR15, and DR15 up above DR09; once moved, the list read
    // again shows it done.
    check(onList(
              "queue down", [] {}, [this] { openQueue(); },
              [this] {
                  return onQueue("DR09",
                                 [this](int row) { return row == 0 ? queue.subMoveApply(row, true) : 0; });
              }),
          "select 1 from relegate_lst where cert_id = 'DR09' and relegate_flag = '0' for update");
    check(onList(
              "queue up", [] {}, [this] { openQueue(); },
              [this] {
                  return onQueue("DR15",
                                 [this](int row) { return row == 1 ? queue.subMoveApply(row, false) : 0; });
              }),
          "select 1 from relegate_lst where cert_id = 'DR15' and relegate_flag = '0' for update");
}
