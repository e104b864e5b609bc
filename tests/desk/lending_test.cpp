// Pick-up of an arrived copy and ordinary lending at the branch desk D2.

#include "LendingFixture.h"

#include "desk/frmAttachment.h"

#include <QDialog>
#include <QLineEdit>

namespace {

// A's day rule R1 (30 days) from today, moved past A1's closing period
// (today+28 .. today+32, 2 further days) and its closed Sundays.
QDate a1Due(const QDate& today) {
    QDate d = today.addDays(35);
    while (d.dayOfWeek() == 7)
        d = d.addDays(1);
    return d;
}

} // namespace

TEST_F(LendingTest, PickUpStartsTheLoanOfTheArrivedCopy) {
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
    const QString jobs = workload("401");
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();

    const QString due = a1Due(QDate::fromString(day, "yyyy-MM-dd")).toString("yyyy-MM-dd");
    EXPECT_EQ(db().scalar("select lend_date || '|' || norm_ret_date || '|' || resp_wkr from lend_lst "
                          "where prop_no = 'P500003'"),
              day + " 10:00:00|" + due + "|0001");
    EXPECT_EQ(flagOf("P500003"), "1");
    EXPECT_EQ(db().scalar("select relegate_end_flag || '|' || relegate_lend_date from relegate_arri_lst "
                          "where prop_no = 'P500003'"),
              "3|" + day);
    EXPECT_EQ(workload("401"), jobs); // no workload for a pick-up
    EXPECT_EQ(lending.markedLoan(), "B500003");
    ASSERT_FALSE(desk.loans().isEmpty());
    bool listed = false;
    for (const desk::LoanRow& l : desk.loans())
        listed = listed || (l.barCode == "B500003" && l.normRetDate == due && l.bookLendFlag == "1");
    EXPECT_TRUE(listed);
}

TEST_F(LendingTest, PickUpUnderAnHourRuleDatesTheLoanByTheHour) {
    db().exec("update lend_lst set rule_no_f = 'R2' where prop_no = 'P500003'");
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
    EXPECT_EQ(db().scalar("select norm_ret_date from lend_lst where prop_no = 'P500003'"), day + "14:00:00");
}

TEST_F(LendingTest, PickUpRefusalsWriteNothing) {
    struct Case {
        const char* name;
        const char* card;
        const char* code;
        const char* setup;
        QString text;
    };
    const Case cases[] = {
        {"unknown bar code", "DC13", "NOSUCH", "", "该书条码不存在。"},
        {"another reader's arrival", "DC02", "B500003", "", "该书不是该读者的委托到书。"},
        {"past the keep date", "DC13", "B500003",
         "update relegate_arri_lst set relegate_keep_end_date = to_char(desk_now()::date - 1, 'YYYY-MM-DD') "
         "where prop_no = 'P500003'",
         "已经超过到书保留截至日期。"},
        {"found row without its loan", "DC13", "B500003", "delete from lend_lst where prop_no = 'P500003'",
         "该书没有该读者的借阅记录，不能领取。"},
        {"loan of another reader", "DC13", "B500003",
         "update lend_lst set cert_id = 'DR02' where prop_no = 'P500003'",
         "该书没有该读者的借阅记录，不能领取。"},
        {"rule missing from the cache", "DC13", "B500003",
         "update lend_lst set rule_no_f = 'R99' where prop_no = 'P500003'",
         "该书借阅记录的流通规则（R99）不存在，不能领取。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        if (*c.setup) db().exec(c.setup);
        const QString loanBefore = loanOf("P500003");
        ASSERT_EQ(desk.intLoadRedr(c.card), 0) << shown();
        dialogs.clear();
        EXPECT_EQ(lending.subLendReleBook(c.code), -1);
        EXPECT_EQ(shown(), c.text);
        EXPECT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(flagOf("P500003"), "3");
        EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:2"});
        EXPECT_EQ(loanOf("P500003"), loanBefore);
    }
}

TEST_F(LendingTest, OrdinaryLendMakesTheLoanOnTopOfTheList) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    const QString total = db().scalar("select total_lend_qty from reader where cert_id = 'DR02'");
    const QString jobs = workload("401");
    // Nobody's arrival: the pick-up hands the copy to the ordinary lending.
    EXPECT_EQ(lending.subLendReleBook("B500001"), -1);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << shown();

    const QString due = a1Due(QDate::fromString(day, "yyyy-MM-dd")).toString("yyyy-MM-dd");
    EXPECT_EQ(db().scalar("select cert_id || '|' || norm_ret_date || '|' || rule_no_f || '|' || location_f "
                          "from lend_lst where prop_no = 'P500001'"),
              "DR02|" + due + "|R1|A1");
    EXPECT_EQ(flagOf("P500001"), "1");
    EXPECT_EQ(db().scalar("select total_lend_qty from reader where cert_id = 'DR02'").toInt(),
              total.toInt() + 1);
    EXPECT_EQ(workload("401").toInt(), jobs.toInt() + 1);
    ASSERT_FALSE(desk.loans().isEmpty());
    EXPECT_EQ(desk.loans().first().barCode, "B500001");
    EXPECT_EQ(lending.markedLoan(), "B500001");
    EXPECT_EQ(desk.panel().loans, "1 / 10"); // the panel counts the new loan
}

TEST_F(LendingTest, AttachmentIsAskedBeforeAnythingIsLockedAndPriceNoticeShown) {
    db().exec("update item set attachment = ' 光盘1张 ', price = '100' where prop_no = 'P500001'");
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    attachmentAnswer = QStringLiteral("光盘2张");
    // While the question is open, another desk can lock the reader's row at once.
    lending.showAttachment = [this](desk::LendingWindow& w) {
        attachmentAsked = w.strAttachment();
        testsupport::RawConnection other;
        EXPECT_TRUE(
            other.exec("set lock_timeout = '200ms'; begin; select 1 from reader where cert_id = 'DR02' "
                       "for update nowait; select 1 from item where prop_no = 'P500001' for update nowait; "
                       "rollback"));
        w.setStrAttachment(*attachmentAnswer);
    };
    ASSERT_EQ(lending.subLendBook("B500001"), 0) << shown();
    EXPECT_EQ(attachmentAsked, "光盘1张");
    EXPECT_EQ(db().scalar("select attachment from lend_lst where prop_no = 'P500001'"), "光盘2张");
    EXPECT_EQ(shown(), msg("ILT104", "100"));

    // No attachment, a price that is no number: no dialog, no notice.
    db().exec("update item set attachment = '  ', price = '约20元' where prop_no = 'P500002'");
    db().exec("update sys_comm_para set sys_para_value = '1' where sys_para_code = 4");
    ASSERT_EQ(intInitBaseData(), 0);
    attachmentAsked.clear();
    dialogs.clear();
    ASSERT_EQ(lending.subLendBook("B500002"), 0) << shown();
    EXPECT_TRUE(attachmentAsked.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(db().scalar("select coalesce(attachment, '<null>') from lend_lst where prop_no = 'P500002'"),
              "<null>");
    db().exec("update sys_comm_para set sys_para_value = '0' where sys_para_code = 4");
    ASSERT_EQ(intInitBaseData(), 0);
}

TEST_F(LendingTest, OrdinaryLendRefusalsInTheirOrder) {
    struct Case {
        const char* name;
        const char* card;
        const char* code;
        const char* setup;
        QString text;
    };
    const Case cases[] = {
        {"no title row", "DC02", "B500001", "update item set call_no = 'X/1' where prop_no = 'P500001'",
         "该书的索书号没有书目记录，不能借出。"},
        {"on loan to the reader", "DC01", "B500005", "", msg("ELT112")},
        {"on loan to another reader", "DC02", "B500005", "", msg("ELT113")},
        {"held for a consignment", "DC02", "B500003", "", "该书处于委托借出状态，请在委托借阅模块中处理。"},
        {"not lendable", "DC02", "B500051", "", msg("ELT114", strItemStatusName("42"))},
        {"lending grade", "DC02", "B500041", "", msg("ELT115", "3")},
        {"reserved for nobody of this reader", "DC02", "B500001",
         "update item set book_lend_flag = '2' where prop_no = 'P500001'", msg("ELT117")},
        {"another copy reserved for the reader", "DC02", "B500001",
         "update item set book_lend_flag = '2' where prop_no = 'P500001'; insert into preg_arri_lst "
         "(cert_id, "
         "prop_no, call_no_f, pregarri_deal_flag) values ('DR02', 'P500002', 'TP311.12/W23', '0')",
         msg("ELT116")},
        {"a collected reservation of the copy", "DC02", "B500001",
         "update item set book_lend_flag = '2' where prop_no = 'P500001'; insert into preg_arri_lst "
         "(cert_id, "
         "prop_no, call_no_f, pregarri_deal_flag) values ('DR02', 'P500001', 'TP311.12/W23', '1')",
         msg("ELT117")},
        {"same title", "DC01", "B500001", "", msg("ELT118")},
        {"location limit", "DC02", "B500001", "update circ_rule set max_lend_qty = 0 where rule_no = 'R1'",
         msg("ELT120")},
        {"copies kept on the shelf", "DC02", "B500001",
         "update circ_rule set keep_book_qty = 3 where rule_no = 'R1'", msg("ELT122")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        if (*c.setup) db().exec(c.setup);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(desk.intLoadRedr(c.card), 0) << shown();
        dialogs.clear();
        const QString loans = db().scalar("select count(*) from lend_lst");
        EXPECT_EQ(lending.subLendBook(c.code), -1);
        EXPECT_EQ(shown(), c.text);
        EXPECT_EQ(db().scalar("select count(*) from lend_lst"), loans);
        EXPECT_FALSE(LIB_DB_InTrans());
    }
    ASSERT_EQ(intLoadBaseCode(), 0);
}

TEST_F(LendingTest, ReservedCopyGoesToItsReaderEvenAsTheLastOnTheShelf) {
    db().exec(
        "update circ_rule set keep_book_qty = 3 where rule_no = 'R1'; update item set book_lend_flag = '2' "
        "where prop_no = 'P500001'; insert into preg_arri_lst (cert_id, prop_no, call_no_f, "
        "pregarri_deal_flag) "
        "values ('DR02', 'P500001', 'TP311.12/W23', '0')");
    ASSERT_EQ(intLoadBaseCode(), 0);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    ASSERT_EQ(lending.subLendBook("B500001"), 0) << shown();
    EXPECT_EQ(db().scalar("select pregarri_deal_flag from preg_arri_lst where prop_no = 'P500001'"), "1");
    db().exec("update circ_rule set keep_book_qty = 0 where rule_no = 'R1'");
    ASSERT_EQ(intLoadBaseCode(), 0);
}

TEST_F(LendingTest, DeskOfTheCopysGroupThatMayNotLendIt) {
    atDesk("D1", "01");
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    EXPECT_EQ(lending.subLendBook("B500006"), -1);
    EXPECT_EQ(shown(), msg("ELT111", "总馆阅览室"));
}

TEST_F(LendingTest, HourRuleLoansAndACopyFlaggedOnLoanWithoutItsLoan) {
    // G250/L78 lends by the hour (R2, four hours).
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
    ASSERT_EQ(lending.subLendBook("B500021"), 0) << shown();
    EXPECT_EQ(loanOf("P500021"), "DR02|" + day + "14:00:00");
    EXPECT_EQ(desk.loans().first().normRetDate, day + "14:00:00");
    // A copy flagged on loan with no loan row behind the flag is judged as free.
    db().exec("update item set book_lend_flag = '1' where prop_no = 'P500001'");
    ASSERT_EQ(lending.subLendBook("B500001"), 0) << shown();
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR02");
}

TEST_F(LendingTest, ClosingTheAttachmentDialogKeepsTheCopysText) {
    db().exec("update item set attachment = '光盘1张' where prop_no = 'P500001'");
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    dialogs.dialogHandler = [](QDialog* d) {
        auto* a = qobject_cast<frmAttachment*>(d);
        EXPECT_TRUE(a);
        if (a) {
            EXPECT_EQ(a->txtAttachment->text(), "光盘1张");
            a->txtAttachment->setText("改了");
        }
        return 0; // closed through the window frame
    };
    lending.showAttachment = [](desk::LendingWindow& w) { frmAttachment::showFor(nullptr, w); };
    ASSERT_EQ(lending.subLendBook("B500001"), 0) << shown();
    EXPECT_EQ(db().scalar("select attachment from lend_lst where prop_no = 'P500001'"), "光盘1张");
}
