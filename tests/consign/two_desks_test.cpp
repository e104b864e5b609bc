// Two desks at once: this program's find desk or return management and the
// second desk program on the same database. A third connection holds a row
// so that both desks reach it together.

#include "ConsignFixture.h"
#include "tests/support/SecondDeskClient.h"

#include <QFile>

#include <future>

using testsupport::RawConnection;
using testsupport::SecondDesk;

class TwoDesksTest : public ConsignTest {
protected:
    void TearDown() override {
        EXPECT_EQ(invariantsBroken(), QStringList());
        ConsignTest::TearDown();
    }
    std::future<int> inBackground(std::function<int()> action) {
        return std::async(std::launch::async, action);
    }
    static bool stillRunning(std::future<int>& f) {
        return f.wait_for(std::chrono::milliseconds(300)) == std::future_status::timeout;
    }
    // The other desk's action and this desk's at once: both wait for the
    // holder's rows, which are then let go. This desk's result and the other's reply.
    std::pair<int, SecondDesk::Reply> race(SecondDesk& other, RawConnection& holder, const QString& theirs,
                                           std::function<int()> mine) {
        other.send(theirs);
        auto here = inBackground(std::move(mine));
        EXPECT_TRUE(stillRunning(here));
        EXPECT_TRUE(holder.exec("commit"));
        const int result = here.get();
        return {result, other.reply()};
    }
    // Served requesters of the title.
    QString served() {
        return db().scalar("select string_agg(cert_id, ',' order by cert_id) from relegate_arri_lst "
                           "where relegate_end_flag = '1' and call_no = 'TP311.12/W23'");
    }
};

TEST_F(TwoDesksTest, TwoFindDesksScanningTwoCopiesServeTwoRequesters) {
    request("DR02", "TP311.12/W23", "A1", 3);
    request("DR01", "TP311.12/W23", "A1", 4);
    SecondDesk other("DESK01");
    ASSERT_TRUE(other.ready());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from reader where cert_id = 'DR15' for update"));
    const auto [mine, theirs] =
        race(other, holder, "find B500002", [this] { return find.subFindBook("B500001"); });
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(theirs.result, 0);
    EXPECT_EQ(served(), "DR02,DR15");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1", "DR01:2"}));
}

// The copy's attachment is asked about (and the price noticed) with nothing
// locked: meanwhile another desk takes the requester DR15 and the copy
// without waiting. Then the scan locks, judges again and lends.
TEST_F(TwoDesksTest, TheScansQuestionsHoldNoLocks) {
    db().exec("update item set attachment = '光盘', price = '999.00' where prop_no = 'P500001'");
    RawConnection other;
    QStringList tookMeanwhile;
    find.showAttachment() = [&](desk::LendingWindow&) {
        QString error;
        tookMeanwhile << (other.exec("begin; set local lock_timeout = '100ms'; select 1 from reader where "
                                     "cert_id = 'DR15' for update; select 1 from item where prop_no = 'P500001' "
                                     "for update; commit",
                                     &error)
                              ? QStringLiteral("yes")
                              : error);
    };
    dialogs.answers = {ui::BoxAnswer::Ok};
    EXPECT_EQ(find.subFindBook("B500001"), 0) << shownTexts().join('|').toStdString();
    EXPECT_EQ(tookMeanwhile, QStringList{"yes"});
    EXPECT_EQ(shownTexts(), QStringList{msg("ILT104", "999.00")});
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_FALSE(LIB_DB_InTrans());
}

TEST_F(TwoDesksTest, AFoundCopyScannedAgainHereOrElsewhereStops) {
    request("DR02", "TP311.12/W23", "A1", 3);
    SecondDesk other("DESK01");
    ASSERT_TRUE(other.ready());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from item where prop_no = 'P500001' for update"));
    const auto [mine, theirs] =
        race(other, holder, "find B500001", [this] { return find.subFindBook("B500001"); });
    EXPECT_EQ((mine == 0) + (theirs.result == 0), 1) << mine << " " << theirs.result;
    const QString stop = "该书处于委托借出状态，请在委托借阅模块中处理。";
    EXPECT_EQ(mine == 0 ? theirs.texts : shownTexts(), QStringList{stop});
    EXPECT_EQ(db().scalar("select count(*) from relegate_arri_lst where prop_no = 'P500001'"), "1");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1", "DR02:2"}));
    // Scanned again here afterwards.
    dialogs.shown.clear();
    EXPECT_EQ(find.subFindBook("B500001"), -1);
    EXPECT_EQ(shownTexts(), QStringList{stop});
}

TEST_F(TwoDesksTest, FindDeskAndAReturnsHandOnNeverServeOneRequesterTwice) {
    request("DR02", "TP311.12/W23", "A1", 3);
    // DR01 returns an A1 copy at the branch desk: it is handed on from A1's queue.
    db().exec("update item set book_lend_flag = '1' where prop_no = 'P500002';"
              "insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, "
              "rule_no_f, location_f, resp_wkr) select 'DR01', 'P500002', "
              "to_char(desk_now()::date - 3, 'YYYY-MM-DD') || ' 10:00:00', "
              "to_char(desk_now()::date + 20, 'YYYY-MM-DD'), 0, 0, 'R1', 'A1', '0001'");
    SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from reader where cert_id = 'DR15' for update"));
    const auto [mine, theirs] =
        race(other, holder, "return B500002", [this] { return find.subFindBook("B500001"); });
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(theirs.result, 0);
    EXPECT_EQ(served(), "DR02,DR15");
    EXPECT_EQ(db().scalar("select count(*) from lend_lst where cert_id = 'DR15'"), "1");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1"}));
}

TEST_F(TwoDesksTest, AHandOverRacingThePickUpLeavesTheCopyCollected) {
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    SecondDesk other("DESK02");
    ASSERT_TRUE(other.ready());
    ASSERT_EQ(other.run("load DC15").result, 0);
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from relegate_arri_lst where prop_no = 'P500001' for update"));
    const auto [mine, theirs] = race(other, holder, "lend B500001", [this] { return find.subConnectFind(); });
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(theirs.result, 0);
    EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:3"}));
    EXPECT_EQ(flagOf("P500001"), "1");
}

TEST_F(TwoDesksTest, TwoDesksAcceptingOneCopyAcceptItOnce) {
    returnedHome("DR01", "P500002", "D2");
    SecondDesk other("DESK01");
    ASSERT_TRUE(other.ready());
    RawConnection holder;
    ASSERT_TRUE(holder.exec("begin; select 1 from relegate_arri_lst where prop_no = 'P500002' for update"));
    const auto [mine, theirs] =
        race(other, holder, "check B500002", [this] { return home.subCheckBook("B500002"); });
    EXPECT_EQ((mine == 0) + (theirs.result == 0), 1) << mine << " " << theirs.result;
    EXPECT_EQ(mine == 0 ? theirs.texts : shownTexts(), QStringList{"该书已经验收，不能重复验收。"});
    EXPECT_EQ(home.spdCheck().size(), mine == 0 ? 1 : 0);
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));
}
