// Two desks: the management windows' actions from lists loaded before another
// desk changed the queue or collected the copy.

#include "ManageFixture.h"

#include "consign/basApplyManage.h"
#include "consign/basFindManage.h"

#include "tests/support/SecondDeskClient.h"

#include <chrono>
#include <future>

using testsupport::RawConnection;

class ManageTwoDesksTest : public ManageTest {
protected:
    void openQueue(consign::ApplyManage& m) {
        ASSERT_EQ(m.subInitLocation(), 0);
        ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
        for (int i = 0; i < m.titles.size(); ++i)
            if (m.titles[i].callNo == "TP311.12/W23") {
                ASSERT_EQ(m.subShowQueue(i), 0);
            }
        ASSERT_FALSE(m.queue.isEmpty());
    }
    void deskB(RawConnection& b, const QString& sql) {
        QString err;
        ASSERT_TRUE(b.exec(sql, &err)) << err.toStdString();
    }
    // What another desk's find desk does when it serves DR09 (number 1).
    const QString serveFirst =
        "begin; select pg_advisory_xact_lock(hashtext('TP311.12/W23|A1')); "
        "update relegate_lst set relegate_flag = '1', relegate_no = 0 where cert_id = 'DR09' "
        "and call_no = 'TP311.12/W23' and relegate_flag = '0'; update relegate_lst set "
        "relegate_no = relegate_no - 1 where call_no = 'TP311.12/W23' and location = 'A1' and "
        "relegate_no > 1 and relegate_flag = '0'; commit";
    // The pick-up at the desk, up to its commit: the open row locked, the loan
    // re-dated, the copy lent, the row collected.
    static QString pickUp(const QString& certId, const QString& propNo) {
        return QStringLiteral(
                   "begin; select 1 from relegate_arri_lst where cert_id = '%1' and prop_no = '%2' and "
                   "relegate_end_flag < '3' for update; select 1 from lend_lst where prop_no = '%2' for "
                   "update; update lend_lst set lend_date = '2026-01-01 10:00:00' where prop_no = '%2'; "
                   "update item set book_lend_flag = '1' where prop_no = '%2'; update relegate_arri_lst "
                   "set relegate_end_flag = '3' where cert_id = '%1' and prop_no = '%2' and "
                   "relegate_end_flag < '3'")
            .arg(certId, propNo);
    }
    void expectSound() {
        const QStringList broken = invariants();
        EXPECT_TRUE(broken.isEmpty()) << broken.join("; ").toStdString();
        EXPECT_FALSE(LIB_DB_InTrans());
    }
};

TEST_F(ManageTwoDesksTest, DeleteFromAStaleQueueWorksOnTheCurrentNumbers) {
    addRequest("DR01", "TP311.12/W23", "A1", 3);
    consign::ApplyManage m;
    openQueue(m); // DR09 1, DR15 2, DR01 3
    RawConnection b;
    deskB(b, serveFirst); // DR15 1, DR01 2
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteApply(1), 0) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR01:1"}));
    expectSound();

    // A request another desk cancelled meanwhile: refused, nothing moves, the queue read again.
    addRequest("DR02", "TP311.12/W23", "A1", 2);
    openQueue(m); // DR01 1, DR02 2
    deskB(b,
          "begin; update relegate_lst set relegate_flag = '2', relegate_no = 0 where cert_id = 'DR01' and "
          "call_no = 'TP311.12/W23' and relegate_flag = '0'; update relegate_lst set relegate_no = 1 where "
          "cert_id = 'DR02' and call_no = 'TP311.12/W23' and relegate_flag = '0'; commit");
    dialogs.answers << ui::BoxAnswer::Ok;
    EXPECT_EQ(m.subDeleteApply(0), -1);
    EXPECT_TRUE(shown().contains("已不再等待")) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR02:1"}));
    ASSERT_EQ(m.queue.size(), 1);
    EXPECT_EQ(m.queue[0].certId, "DR02");
    expectSound();
}

TEST_F(ManageTwoDesksTest, UpAndDownRefuseANeighbourThatIsNoLongerNext) {
    addRequest("DR01", "TP311.12/W23", "A1", 3);
    consign::ApplyManage m;
    openQueue(m); // DR09 1, DR15 2, DR01 3
    RawConnection b;
    // Another desk cancels DR15: DR01 is now next to DR09.
    deskB(b,
          "begin; update relegate_lst set relegate_flag = '2', relegate_no = 0 where cert_id = 'DR15' and "
          "call_no = 'TP311.12/W23' and relegate_flag = '0'; update relegate_lst set relegate_no = 2 where "
          "cert_id = 'DR01' and call_no = 'TP311.12/W23' and relegate_flag = '0'; commit");
    EXPECT_EQ(m.subMoveApply(2, false), -1); // DR01 up past DR15
    EXPECT_TRUE(shown().contains("已被其他工作站改变")) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR01:2"}));
    // The reloaded queue moves as it stands.
    ASSERT_EQ(m.queue.size(), 2);
    ASSERT_EQ(m.subMoveApply(1, false), 0) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR01:1", "DR09:2"}));
    expectSound();
}

TEST_F(ManageTwoDesksTest, AMoveWaitsForAPlacingOnTheSameQueue) {
    consign::ApplyManage m;
    openQueue(m); // DR09 1, DR15 2
    RawConnection b;
    deskB(
        b,
        "begin; select pg_advisory_xact_lock(hashtext('TP311.12/W23|A1')); insert into relegate_lst "
        "(cert_id, "
        "call_no, location, relegate_no, relegate_date, relegate_keep_days, relegate_end_date, "
        "relegate_location, wkr_no, relegate_flag) values ('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, "
        "'2099-01-08', 'D1', '0002', '0')");
    auto moving = std::async(std::launch::async, [&] { return m.subMoveApply(1, false); });
    EXPECT_EQ(moving.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(b, "commit");
    ASSERT_EQ(moving.get(), 0) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR09:2", "DR02:3"}));
    expectSound();
}

TEST_F(ManageTwoDesksTest, CancelRacingThePickUpOneWins) {
    consign::FindManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
    int row = rowOf(m, "P500003");
    ASSERT_GE(row, 0);

    // The pick-up holds the row when the cancel comes, and gives up: the cancel wins.
    RawConnection b;
    deskB(b, pickUp("DR13", "P500003"));
    dialogs.answers << ui::BoxAnswer::Ok;
    auto cancel = std::async(std::launch::async, [&] { return m.subDeleteFind(row); });
    EXPECT_EQ(cancel.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(b, "rollback");
    ASSERT_EQ(cancel.get(), 0) << shown().toStdString();
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500003'"), "0");
    expectSound();

    // A second found copy: the pick-up commits first; the cancel leaves the
    // collected loan alone and says so.
    db().exec("delete from relegate_arri_lst where prop_no = 'P500003'");
    addFound("DR13", "P500003", 1, 7);
    ASSERT_EQ(m.subReload(), 0);
    row = rowOf(m, "P500003");
    deskB(b, pickUp("DR13", "P500003"));
    dialogs.answers << ui::BoxAnswer::Ok;
    cancel = std::async(std::launch::async, [&] { return m.subDeleteFind(row); });
    EXPECT_EQ(cancel.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(b, "commit");
    EXPECT_EQ(cancel.get(), -1);
    EXPECT_TRUE(shown().contains("已被领取或取消")) << shown().toStdString();
    EXPECT_EQ(
        db().scalar(
            "select i.book_lend_flag || ' ' || l.cert_id || ' ' || f.relegate_end_flag from item i "
            "join lend_lst l on l.prop_no = i.prop_no join relegate_arri_lst f on f.prop_no = i.prop_no "
            "where i.prop_no = 'P500003'"),
        "1 DR13 3");
    expectSound();
}

// A cancel while a desk lends to the copy's reader (holding the reader and
// the copy, then locking the reader's loans): the cancel waits for the
// reader and cancels once the lending ends; no deadlock.
TEST_F(ManageTwoDesksTest, CancelBesideALendingToTheReaderMeetsNoDeadlock) {
    consign::FindManage m;
    RawConnection lender;
    deskB(lender, "begin; select 1 from reader where cert_id = 'DR13' for update; "
                  "select 1 from item where prop_no = 'P500003' for update");
    auto cancel = std::async(std::launch::async, [&] { return m.intCancelFound("DR13", "P500003"); });
    EXPECT_EQ(cancel.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(lender, "select 1 from lend_lst where cert_id = 'DR13' for update");
    deskB(lender, "rollback");
    EXPECT_EQ(cancel.get(), 0) << shown().toStdString();
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500003'"), "0");
    expectSound();
}

TEST_F(ManageTwoDesksTest, DeleteOldRacingAPickUpClosesNoCollectedRow) {
    addFound("DR01", "P500001", 8, 7); // passed
    addFound("DR02", "P500002", 9, 7); // passed; collected meanwhile
    consign::FindManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
    RawConnection b;
    deskB(b, pickUp("DR02", "P500002"));
    dialogs.answers << ui::BoxAnswer::Ok;
    auto clearing = std::async(std::launch::async, [&] { return m.subDeleteOldFind(); });
    EXPECT_EQ(clearing.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(b, "commit");
    ASSERT_EQ(clearing.get(), 0) << shown().toStdString();
    EXPECT_EQ(db().scalar("select relegate_end_flag from relegate_arri_lst where prop_no = 'P500002'"), "3");
    EXPECT_EQ(db().scalar("select count(*) from lend_lst where prop_no = 'P500002' and cert_id = 'DR02'"),
              "1");
    EXPECT_EQ(db().scalar("select relegate_end_flag from relegate_arri_lst where prop_no = 'P500001'"), "4");
    expectSound();
}

TEST_F(ManageTwoDesksTest, CancelRacingThePickUpAtTheOtherDeskAgreesWithItself) {
    // The branch desk (a second program) collects DC13's copy while this desk
    // cancels it; a third connection holds the found row until both wait for it.
    testsupport::SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    ASSERT_EQ(other.run("load DC13").result, 0);
    consign::FindManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
    int row = rowOf(m, "P500003");
    ASSERT_GE(row, 0);
    RawConnection holder;
    deskB(holder,
          "begin; select 1 from relegate_arri_lst where prop_no = 'P500003' and relegate_end_flag < '3' "
          "for update");
    other.send("lend B500003");
    dialogs.answers << ui::BoxAnswer::Ok;
    auto cancel = std::async(std::launch::async, [&] { return m.subDeleteFind(row); });
    EXPECT_EQ(cancel.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    deskB(holder, "commit");
    const int mine = cancel.get();
    const auto theirs = other.reply();
    // One wins; the copy, its loan and its row tell the same story: either the
    // row is collected with the reader's loan kept and this desk refused, or
    // the row went home and the other desk found no copy waiting for the
    // reader (it may then lend the copy, now on the shelf, as an ordinary loan).
    const QString flag =
        db().scalar("select relegate_end_flag from relegate_arri_lst where prop_no = 'P500003'");
    if (mine == 0) {
        EXPECT_EQ(flag, "4");
        EXPECT_NE(theirs.result, 0);
    } else {
        EXPECT_EQ(flag, "3");
        EXPECT_EQ(theirs.result, 0);
        EXPECT_EQ(db().scalar("select i.book_lend_flag || ' ' || l.cert_id from item i join lend_lst l on "
                              "l.prop_no = i.prop_no where i.prop_no = 'P500003'"),
                  "1 DR13");
    }
    expectSound();
}
