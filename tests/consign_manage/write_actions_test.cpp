// The queue and found-copy management's write actions with the connection
// lost at every statement (see tests/support/LostConnection.h) and meeting a
// row another desk holds (see tests/support/LockWait.h): cancelling a found
// copy, cancelling the passed ones, deleting a request and moving it in its
// queue; and the found-copy list read with the connection lost, after a write
// and on a location choice.

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
    // The found copies of A1 read. A session lost before or after an
    // action's commit has been reported and reconnected by the action itself
    // (its list read again included).
    void openFound() {
        ASSERT_EQ(found.subInitLocation(), 0);
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

TEST_F(ManageWriteActionsTest, TheFoundListReadLostIsReportedAtOnceAndAWriteBeforeItStands) {
    using testsupport::boxTexts;
    namespace faults = oradb::faults;
    struct Case {
        const char* name;
        std::function<int()> act;
        const char* done; // the box that says the write went through
    } cases[] = {
        {"Delete",
         [this] { return onFound("P500003", [this](int row) { return found.subDeleteFind(row); }); },
         "该到书已取消；到书列表未能重新读取，请重新选择馆藏地。"},
        {"DeleteOld", [this] { return found.subDeleteOldFind(); },
         "保留期已过的到书已取消；到书列表未能重新读取，请重新选择馆藏地。"},
        {"Modify",
         [this] {
             return onFound("P500003", [this](int row) {
                 return found.subModifyFind(row, "10",
                                            consign::strKeepEndDate(found.rows[row].arriDate, "10"));
             });
         },
         "保留天数已修改；到书列表未能重新读取，请重新选择馆藏地。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = [&] {
            fresh();
            addFound("DR01", "P500001", 8, 7); // passed
            openFound();
            testsupport::answerOk(dialogs);
        };
        // One clean run: its records, and the statement that begins the list read.
        start();
        faults::endSessionBeforeStatement(0);
        ASSERT_EQ(c.act(), 0) << boxTexts(dialogs).join('|').toStdString();
        const int listRead = faults::lastCommitStatement() + 1;
        ASSERT_LT(listRead, faults::statementCount());
        const QString once = testsupport::recordsDigest(db());

        // The session ends there: the write is reported done, the lost
        // connection at once, and no row of the old list is shown.
        start();
        faults::endSessionBeforeStatement(listRead);
        EXPECT_EQ(c.act(), 0);
        faults::clear();
        const QStringList shown = boxTexts(dialogs);
        EXPECT_TRUE(shown.contains("网络非正常中断，重新连接数据库？") &&
                    shown.contains("数据库连接成功！") && shown.contains(QString::fromUtf8(c.done)))
            << shown.join('|').toStdString();
        EXPECT_TRUE(found.rows.isEmpty());
        EXPECT_EQ(testsupport::recordsDigest(db()), once);
        EXPECT_TRUE(invariants().isEmpty()) << invariants().join("; ").toStdString();
        // Choosing the location again lists what was written.
        ASSERT_EQ(found.cmbLocation_Click(indexOf(found, "A1")), 0);
        EXPECT_FALSE(found.rows.isEmpty());
    }
    // A location choice that fails says so at once and keeps the rows shown,
    // as no action of this desk changed them.
    const auto listed = found.rows.size();
    testsupport::answerOk(dialogs);
    faults::endSessionBeforeStatement(1);
    EXPECT_EQ(found.cmbLocation_Click(indexOf(found, "A1")), -1);
    faults::clear();
    EXPECT_TRUE(boxTexts(dialogs).contains("网络非正常中断，重新连接数据库？"))
        << boxTexts(dialogs).join('|').toStdString();
    EXPECT_EQ(found.rows.size(), listed);
}
