// Two desks lending and taking returns at once: this program's desk and a
// second desk program on the same database.

#include "LendingFixture.h"
#include "common/basAuth.h"
#include "reader/clsFineSettle.h"
#include "tests/support/BoxWatch.h"
#include "tests/support/LostConnection.h"
#include "tests/support/SecondDeskClient.h"

#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <future>
#include <thread>

using testsupport::RawConnection;

using testsupport::SecondDesk;

class LendingConcurrencyTest : public LendingTest {
protected:
    void SetUp() override {
        LendingTest::SetUp();
        watchInvariants();
    }
    // Runs this desk's action on a thread while the test goes on.
    std::future<int> inBackground(std::function<int()> action) {
        return std::async(std::launch::async, action);
    }
    static bool stillRunning(std::future<int>& f, int ms = 300) {
        return f.wait_for(std::chrono::milliseconds(ms)) == std::future_status::timeout;
    }
};

TEST_F(LendingConcurrencyTest, OneCopyReturnedAtTwoDesksIsReturnedOnce) {
    SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    // A third party holds the borrower while both desks scan the copy.
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from reader where cert_id = 'DR10' for update"));
    other.send("return B500012");
    auto mine = inBackground([this] { return lending.subReturnBook("B500012"); });
    EXPECT_TRUE(stillRunning(mine));
    ASSERT_TRUE(holder.exec("commit"));
    const int myResult = mine.get();
    const SecondDesk::Reply theirs = other.reply();

    EXPECT_EQ((myResult == 0) + (theirs.result == 0), 1) << myResult << " " << theirs.result;
    const QStringList refused = myResult == 0 ? theirs.texts : shownTexts();
    EXPECT_TRUE(refused.contains(msg("ELT132"))) << refused.join('|').toStdString();
    EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500012'"), "1");
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where prop_no = 'P500012'"), "1");
    EXPECT_EQ(
        db().scalar("select debt_flag = (select fine_amt from exceed_fine_lst where prop_no = 'P500012') "
                    "from reader where cert_id = 'DR10'"),
        "t");
    EXPECT_EQ(db().scalar("select count(*) from relegate_arri_lst where prop_no = 'P500012'"), "1");
}

// A reader loaded, or the reader's fine waived, at one desk while another
// takes back the reader's copy: all lock the reader before its cards, so none
// ends in a deadlock.
TEST_F(LendingConcurrencyTest, ReaderLocksBesideAReturnOfTheReadersCopyMeetNoDeadlock) {
    clsFineSettle settle;
    settle.fnTitle = [](const QString&) { return QString(); };
    const struct {
        const char* name;
        std::function<void()> prepare;
        std::function<bool()> act;
    } cases[] = {
        {"reader load", [this] { desk.mode = desk::ModeLend; },
         [this] { return desk.intLoadRedr("DC10") == 0; }},
        {"fine waiver",
         [&] {
             db().exec(
                 "insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, "
                 "time_unit, fine_amt, debt_deal_flag, remark, location_f, rule_no_f) values ('P500013', "
                 "'DR10', '2026-01-05 10:00:00', '2026-02-04', '2026-04-05 15:00:00', 'D', 1.00, '0', "
                 "'超期', 'B1', 'R1'); update reader set debt_flag = debt_flag + 1 where cert_id = 'DR10'");
             ASSERT_EQ(settle.load("DR10"), clsFineSettle::LoadResult::Ready);
             g_varAuthList = DBResultSet(1, 1); // the right to let fines go
             g_varAuthList.setCell(0, 2, QStringLiteral("4024"));
             dialogs.answers << ui::BoxAnswer::Ok;
         },
         [&] {
             clsFineSettle::PayInput in;
             in.remark = "waived";
             return settle.waive(in).done;
         }},
    };
    // Until `n` sessions wait for a lock.
    auto waiting = [this](int n) {
        for (int i = 0; i < 100; ++i) {
            if (db().scalar("select count(*) from pg_stat_activity where datname = current_database() "
                            "and wait_event_type = 'Lock'")
                    .toInt() >= n)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        c.prepare();
        SecondDesk other("DESK02");
        ASSERT_TRUE(other.ready());
        RawConnection holder;
        ASSERT_TRUE(holder.exec("begin; select 1 from reader where cert_id = 'DR10' for update"));
        // The return waits for the reader first, this desk behind it.
        other.send("return B500012");
        ASSERT_TRUE(waiting(1));
        auto mine = inBackground([&c] { return c.act() ? 0 : -1; });
        ASSERT_TRUE(waiting(2));
        ASSERT_TRUE(holder.exec("commit"));
        EXPECT_EQ(mine.get(), 0) << shownTexts().join('|').toStdString();
        const SecondDesk::Reply theirs = other.reply();
        EXPECT_EQ(theirs.result, 0) << theirs.texts.join('|').toStdString();
        EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500012'"), "1");
    }
}

TEST_F(LendingConcurrencyTest, OneFreeCopyLentAtTwoDesksMakesOneLoan) {
    SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    ASSERT_EQ(other.run("load DC14").result, 0);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from item where prop_no = 'P500001' for update"));
    other.send("lend B500001");
    auto mine = inBackground([this] { return lending.subLendReleBook("B500001"); });
    EXPECT_TRUE(stillRunning(mine));
    ASSERT_TRUE(holder.exec("commit"));
    mine.get();
    const SecondDesk::Reply theirs = other.reply();

    const QString borrower = db().scalar("select cert_id from lend_lst where prop_no = 'P500001'");
    ASSERT_TRUE(borrower == "DR02" || borrower == "DR14") << borrower.toStdString();
    EXPECT_EQ(db().scalar("select count(*) from lend_lst where prop_no = 'P500001'"), "1");
    // The desk that lost sees who has the copy.
    if (borrower == "DR02")
        EXPECT_EQ(theirs.texts, QStringList{msg("ELT113")});
    else
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT113")});
}

TEST_F(LendingConcurrencyTest, PickUpRacingACancelOfTheFoundCopyIsRefused) {
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    // The found-copy management cancels the copy: found row locked, loan
    // deleted, copy back on the shelf, row on its way home.
    RawConnection cancel;
    ASSERT_TRUE(cancel.exec(
        "begin; select 1 from relegate_arri_lst where prop_no = 'P500003' and "
        "relegate_end_flag < '3' for update; delete from lend_lst where prop_no = 'P500003'; "
        "update item set book_lend_flag = '0' where prop_no = 'P500003'; update relegate_arri_lst "
        "set relegate_end_flag = '4' where prop_no = 'P500003' and relegate_end_flag < '3'"));
    dialogs.clear();
    auto mine = inBackground([this] { return lending.subLendReleBook("B500003"); });
    EXPECT_TRUE(stillRunning(mine));
    ASSERT_TRUE(cancel.exec("commit"));
    EXPECT_EQ(mine.get(), -1);
    EXPECT_EQ(shown(), "该书已不是该读者待取的委托到书（已被取消或已领取）。");
    EXPECT_EQ(flagOf("P500003"), "0");
    EXPECT_EQ(loanOf("P500003"), "");
    EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:4"});
}

// A pick-up while another desk lends to the same reader (holding the reader
// and the copy, then locking the reader's loans): the pick-up waits for the
// reader and collects once the lending ends; no deadlock.
TEST_F(LendingConcurrencyTest, APickUpBesideALendingToTheReaderMeetsNoDeadlock) {
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    RawConnection lender;
    ASSERT_TRUE(lender.exec("begin; select 1 from reader where cert_id = 'DR13' for update; "
                            "select 1 from item where prop_no = 'P500003' for update"));
    dialogs.clear();
    auto mine = inBackground([this] { return lending.subLendReleBook("B500003"); });
    EXPECT_TRUE(stillRunning(mine));
    QString error;
    EXPECT_TRUE(lender.exec("select 1 from lend_lst where cert_id = 'DR13' for update", &error))
        << error.toStdString();
    ASSERT_TRUE(lender.exec("rollback"));
    EXPECT_EQ(mine.get(), 0) << shown().toStdString();
    EXPECT_EQ(flagOf("P500003"), "1");
    EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:3"});
}

// The loan's rule changes while the pick-up waits for the loan: the changes
// sent with the locks find the rule read no longer there and change nothing,
// and the loan is dated under the rule the locks hold.
TEST_F(LendingConcurrencyTest, APickUpWhoseLoanRuleChangedWhileItWaitedDatesTheLoanUnderTheNewRule) {
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    RawConnection editor;
    ASSERT_TRUE(editor.exec("begin; update lend_lst set rule_no_f = 'R2' where prop_no = 'P500003'"));
    dialogs.clear();
    auto mine = inBackground([this] { return lending.subLendReleBook("B500003"); });
    EXPECT_TRUE(stillRunning(mine));
    ASSERT_TRUE(editor.exec("commit"));
    EXPECT_EQ(mine.get(), 0) << shown().toStdString();
    EXPECT_EQ(db().scalar("select rule_no_f || '|' || norm_ret_date from lend_lst where prop_no = 'P500003'"),
              "R2|" + day + "14:00:00");
    EXPECT_EQ(flagOf("P500003"), "1");
    EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:3"});
}

TEST_F(LendingConcurrencyTest, TwoHandOnsOfOneQueueServeTheRequesterOnce) {
    // Two copies of the title come back away from home at two desks at once:
    // DR13's collected copy here, DR02's ordinary loan there.
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    db().exec(
        "update item set book_lend_flag = '1' where prop_no = 'P500001'; insert into lend_lst (cert_id, "
        "prop_no, lend_date, norm_ret_date, rule_no_f, location_f, resp_wkr) values ('DR02', 'P500001', "
        "'2026-01-01 10:00:00', '2099-01-01', 'R1', 'A1', '0001')");
    SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("select pg_advisory_lock(hashtext('TP311.12/W23|A1'))"));
    dialogs.answers = {ui::BoxAnswer::Ok}; // QLT102: the attachment is there
    other.send("return B500001");
    auto mine = inBackground([this] { return lending.subReturnBook("B500003"); });
    EXPECT_TRUE(stillRunning(mine));
    ASSERT_TRUE(holder.exec("select pg_advisory_unlock(hashtext('TP311.12/W23|A1'))"));
    EXPECT_EQ(mine.get(), 0);
    EXPECT_EQ(other.reply().result, 0);

    EXPECT_EQ(
        db().scalar(
            "select count(*) from lend_lst l, item i where l.prop_no = i.prop_no and l.cert_id = 'DR15' "
            "and i.call_no = 'TP311.12/W23'"),
        "1");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList{"DR09:1"});
    EXPECT_EQ(db().column("select relegate_end_flag from relegate_arri_lst where cert_id in ('DR13', 'DR02') "
                          "order by relegate_end_flag"),
              (QStringList{"4", "6"}));
}

// The hand-on reads the loans of every queued requester with the return's
// closing. Another desk holding a loan of DR09 (first in the queue, unfit)
// holds up neither the return nor the hand-on: each attempt then reads for
// its own requester, and DR15 gets the copy.
TEST_F(LendingConcurrencyTest, ALockedLoanOfAnotherRequesterHoldsUpNeitherTheReturnNorTheHandOn) {
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    db().exec("update item set book_lend_flag = '1' where prop_no = 'P500014'; insert into lend_lst (cert_id, "
              "prop_no, lend_date, norm_ret_date, rule_no_f, location_f, resp_wkr) values ('DR09', 'P500014', "
              "'2026-01-01 10:00:00', '2099-01-01', 'R1', 'B1', '0001')");
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from lend_lst where cert_id = 'DR09' for update"));
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '300ms', false)", rs), 0);
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    EXPECT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '15s', false)", rs), 0);
    ASSERT_TRUE(holder.exec("rollback"));
    EXPECT_EQ(shown(), "该书为委托借阅书刊，有本地读者委托该书。");
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
    EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR15:1"}));
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList{"DR09:1"});
}

TEST_F(LendingConcurrencyTest, ADeadlockInTheHandOnUndoesTheWholeReturn) {
    // The return holds the requester DR15's reader row from its lock step; a
    // third party holds the copy and then asks for the reader row: the
    // server breaks the cycle by failing the return (the third party waits
    // longer before it looks for one). Nothing of the return stays, and it
    // goes through once the third party is gone.
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    const QString before = testsupport::recordsDigest(db());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; set local deadlock_timeout = '20s'; "
                            "select 1 from item where prop_no = 'P500003' for update"));
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok, ui::BoxAnswer::Ok};
    auto mine = inBackground([this] { return lending.subReturnBook("B500003"); });
    ASSERT_TRUE(stillRunning(mine));
    auto theirs = std::async(std::launch::async, [&] {
        return holder.exec("select 1 from reader where cert_id = 'DR15' for update");
    });
    EXPECT_EQ(mine.get(), -1);
    EXPECT_TRUE(theirs.get());
    EXPECT_EQ(shown(), msg("ECM012"));
    EXPECT_EQ(g_lngErrNo, 60); // ORA-00060, the deadlock
    EXPECT_FALSE(LIB_DB_InTrans());
    ASSERT_TRUE(holder.exec("rollback"));
    EXPECT_EQ(testsupport::recordsDigest(db()), before);

    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
    EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR15:1"}));
}

TEST_F(LendingConcurrencyTest, AnOpenQuestionHoldsNoLocks) {
    // This desk asks QLT102 about DR13's collected copy; meanwhile the second
    // desk takes the same copy back without waiting.
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    SecondDesk other("DESK01");
    ASSERT_TRUE(other.ready());
    SecondDesk::Reply theirs;
    dialogs.answers = {ui::BoxAnswer::Ok};
    {
        testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
            if (box.icon == ui::BoxIcon::Question) theirs = other.run("return B500003");
        });
        EXPECT_EQ(lending.subReturnBook("B500003"), -1);
    }
    EXPECT_EQ(theirs.result, 0);
    EXPECT_EQ(shown(), msg("ELT132"));
    EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500003'"), "1");

    // The attachment dialog of a lending: the second desk lends the same copy
    // to the same reader meanwhile.
    db().exec("update item set attachment = '光盘' where prop_no = 'P500001'");
    ASSERT_EQ(other.run("load DC02").result, 0);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    SecondDesk::Reply lent;
    lending.showAttachment = [&](desk::LendingWindow&) { lent = other.run("lend B500001"); };
    dialogs.clear();
    EXPECT_EQ(lending.subLendBook("B500001"), -1);
    EXPECT_EQ(lent.result, -1); // handed to the ordinary lending, which lent it
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR02");
    EXPECT_EQ(shown(), msg("ELT112"));
}

// The loan changes hands while the return's question is open: the return
// locks its borrower, then only the loan and the copy, so it refuses the
// changed loan at once instead of waiting on (or deadlocking over) the new
// borrower, whom another desk holds.
TEST_F(LendingConcurrencyTest, ALoanThatChangedHandsIsRefusedWithoutWaitingOnItsNewReader) {
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '300ms', false)", rs), 0);
    db().exec("update lend_lst set attachment = '磁带' where prop_no = 'P500012'");
    RawConnection holder;
    dialogs.answers = {ui::BoxAnswer::Ok};
    {
        testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
            if (box.icon != ui::BoxIcon::Question) return;
            db().exec("update lend_lst set cert_id = 'DR02' where prop_no = 'P500012'");
            ASSERT_TRUE(holder.exec("begin; select 1 from reader where cert_id = 'DR02' for update"));
        });
        EXPECT_EQ(lending.subReturnBook("B500012"), -1);
    }
    EXPECT_EQ(shown(), "该书的借阅记录已被其他工作站改变，请重新扫描。");
    EXPECT_FALSE(LIB_DB_InTrans());
    ASSERT_TRUE(holder.exec("rollback"));
    EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500012'"), "0");
    db().exec("update lend_lst set cert_id = 'DR10', attachment = NULL where prop_no = 'P500012'");
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '15s', false)", rs), 0);
}

// Another desk moves the due date of an overdue loan while the return's
// question is open: the fine follows the loan as the return locked it.
TEST_F(LendingConcurrencyTest, AReturnFinesTheDueDateOfTheLockedLoan) {
    db().exec("update lend_lst set attachment = '磁带' where prop_no = 'P500012'");
    const QString debt = db().scalar("select debt_flag from reader where cert_id = 'DR10'");
    dialogs.answers = {ui::BoxAnswer::Ok};
    {
        testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
            if (box.icon != ui::BoxIcon::Question) return;
            db().exec("update lend_lst set norm_ret_date = '" + dayPlus(1) + "' where prop_no = 'P500012'");
        });
        ASSERT_EQ(lending.subReturnBook("B500012"), 0) << shown();
    }
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where prop_no = 'P500012'"), "0");
    EXPECT_EQ(db().scalar("select excd_days from lend_hist where prop_no_f = 'P500012'"), "0");
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR10'"), debt);
    ASSERT_EQ(lending.returns().size(), 1);
    EXPECT_FALSE(lending.returns()[0].overdue);
    EXPECT_EQ(lending.returns()[0].normRetDate, dayPlus(1));
}

TEST_F(LendingConcurrencyTest, ADeskMeetingALockWaitsItsTimeOutThenSaysSoWritingNothing) {
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '300ms', false)", rs), 0);
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from lend_lst where prop_no = 'P500012' for update"));
    EXPECT_EQ(lending.subReturnBook("B500012"), -1);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(shown(), "该记录已经被锁定!");
    EXPECT_FALSE(LIB_DB_InTrans());
    ASSERT_TRUE(holder.exec("rollback"));
    EXPECT_EQ(loanOf("P500012").section('|', 0, 0), "DR10");
    EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500012'"), "0");
    ASSERT_EQ(LIB_DB_Select("select set_config('lock_timeout', '15s', false)", rs), 0);
}
