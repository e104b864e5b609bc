// Returns at the branch desk D2: the loan's closing with its fine, the found
// rows of consignment copies, reservations, and the hand-on of a copy
// returned away from home.

#include "LendingFixture.h"
#include "platform/oradb/FaultHook.h"

using ui::BoxAnswer;

class ReturnTest : public LendingTest {
protected:
    // Days between the due date of a loan of A1 (moved past closed Sundays)
    // and today.
    int overdueDaysAtA1(int dueOffset) {
        QDate due = QDate::fromString(dayPlus(dueOffset), "yyyy-MM-dd");
        while (due.dayOfWeek() == 7)
            due = due.addDays(1);
        return int(due.daysTo(QDate::fromString(day, "yyyy-MM-dd")));
    }
    // DR13 collects the arrived copy B500003 at this desk.
    void collectArrival() {
        ASSERT_EQ(desk.intLoadRedr("DC13"), 0) << shown();
        ASSERT_EQ(lending.subLendReleBook("B500003"), 0) << shown();
        dialogs.clear();
    }
};

TEST_F(ReturnTest, OnTimeReturnAtHomeClosesTheLoanOnly) {
    const QString jobs = workload("402");
    ASSERT_EQ(lending.subReturnBook("B500005"), 0) << shown();
    EXPECT_TRUE(dialogs.shown.isEmpty()) << shown();
    EXPECT_EQ(loanOf("P500005"), "");
    EXPECT_EQ(flagOf("P500005"), "0");
    EXPECT_EQ(
        db().scalar("select count(*) || '|' || max(ret_wkr) from lend_hist where prop_no_f = 'P500005'"),
        "1|0001");
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where prop_no = 'P500005'"), "0");
    EXPECT_EQ(workload("402").toInt(), jobs.toInt() + 1);
    EXPECT_TRUE(foundRows("P500005").isEmpty());

    EXPECT_EQ(g_strCertID, "DR01");
    EXPECT_EQ(lending.m_strRetRedr, "DR01");
    const desk::ReaderPanel& p = desk.panel();
    EXPECT_EQ(p.name, "王小明");
    EXPECT_EQ(p.certId, "DC01"); // the card number
    EXPECT_EQ(p.loans, "0 / 10");
    EXPECT_EQ(p.debt, "0.00");
    ASSERT_EQ(lending.returns().size(), 1);
    EXPECT_EQ(lending.returns()[0].barCode, "B500005");
    EXPECT_FALSE(lending.returns()[0].overdue);
}

TEST_F(ReturnTest, OverdueReturnAwayFromHomeIsFinedAndTravelsHome) {
    const int days = overdueDaysAtA1(-10);
    const QString fine = QString::number(days * 0.10, 'f', 2);
    const QString text = QString::number(days) + "首期天 * 0.10";
    ASSERT_EQ(lending.subReturnBook("B500012"), 0) << shown();

    EXPECT_EQ(db().scalar("select fine_amt || '|' || remark || '|' || time_unit from exceed_fine_lst "
                          "where prop_no = 'P500012'"),
              fine + "|" + text + "|D");
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR10'"), fine);
    EXPECT_EQ(db().scalar("select excd_days from lend_hist where prop_no_f = 'P500012'"),
              QString::number(days));
    // Returned at a desk of another group: a row of the borrower on its way home.
    EXPECT_EQ(
        db().scalar("select cert_id || '|' || relegate_end_flag || '|' || relegate_ret_location || '|' || "
                    "relegate_ret_date from relegate_arri_lst where prop_no = 'P500012'"),
        "DR10|4|D2|" + day);
    EXPECT_EQ(shown(), "该书为委托借阅书刊。");
    EXPECT_EQ(desk.panel().debt, fine);
    ASSERT_EQ(lending.returns().size(), 1);
    EXPECT_TRUE(lending.returns()[0].overdue);
    EXPECT_EQ(lending.returns()[0].overdueText, QString::number(days) + "天");
}

TEST_F(ReturnTest, CollectedCopyAwayFromHomeIsHandedOnToTheFirstFitRequester) {
    collectArrival();
    const QString jobs = workload("401");
    dialogs.answers = {BoxAnswer::Ok}; // QLT102: the attachment is there
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();

    EXPECT_EQ(dialogs.shown.first().text, "该书带有附件：光盘1张\n请检查附件是否齐全，确定还书吗？");
    EXPECT_EQ(shown(), "该书为委托借阅书刊，有本地读者委托该书。");
    // DR09 owes too much and is passed over; DR15 takes the copy.
    EXPECT_EQ(
        db().scalar("select cert_id || '|' || rule_no_f || '|' || coalesce(attachment, '') from lend_lst "
                    "where prop_no = 'P500003'"),
        "DR15|R1|光盘1张");
    EXPECT_EQ(flagOf("P500003"), "3");
    EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR15:1"}));
    EXPECT_EQ(
        db().scalar("select relegate_location || '|' || relegate_find_location || '|' || relegate_keep_days "
                    "|| '|' || relegate_keep_end_date from relegate_arri_lst where cert_id = 'DR15'"),
        "D2|D2|7|" + dayPlus(7));
    EXPECT_EQ(
        db().scalar("select count(*) from relegate_lst where cert_id = 'DR15' and call_no = 'TP311.12/W23'"),
        "0");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList{"DR09:1"});
    EXPECT_EQ(workload("401").toInt(), jobs.toInt() + 1);
    EXPECT_EQ(g_strCertID, "DR13"); // the panel keeps the borrower
    EXPECT_EQ(desk.panel().name, "蒋到书");
}

TEST_F(ReturnTest, WithNobodyFitTheCopyKeepsItsWayHome) {
    db().exec("update reader set debt_flag = 20 where cert_id = 'DR15'");
    collectArrival();
    dialogs.answers = {BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_EQ(shown(), "该书为委托借阅书刊。");
    EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:4"});
    EXPECT_EQ(flagOf("P500003"), "0");
    EXPECT_EQ(loanOf("P500003"), "");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2"}));
}

TEST_F(ReturnTest, CollectedCopyReturnedAtHomeGoesHomeWithoutHandOn) {
    atDesk("D1", "01");
    collectArrival();
    dialogs.answers = {BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_EQ(dialogs.shown.size(), 1); // QLT102 only
    EXPECT_EQ(
        db().scalar("select relegate_end_flag || '|' || relegate_ret_date || '|' || relegate_ret_location "
                    "from relegate_arri_lst where prop_no = 'P500003'"),
        "4|" + day + "|D1");
    EXPECT_EQ(flagOf("P500003"), "0");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2"}));
}

TEST_F(ReturnTest, RefusalsWriteNothing) {
    struct Case {
        const char* name;
        const char* code;
        const char* setup;
        QString text;
        const char* panelName; // the borrower shown, "" none
    };
    const Case cases[] = {
        {"unknown bar code", "NOSUCH", "", msg("ELT130"), ""},
        {"desk of the group that may not take it", "B500012", "", msg("ELT131", "总馆借还台"), ""},
        {"no loan", "B500001", "", msg("ELT132"), ""},
        {"held for a consignment", "B500003", "", "该书处于委托借出状态，请在委托借阅模块中处理。", ""},
        {"attachment question cancelled", "B500005",
         "update lend_lst set attachment = '磁带' where prop_no = 'P500005'",
         "该书带有附件：磁带\n请检查附件是否齐全，确定还书吗？", "王小明"},
        {"lent today, same-day returns refused", "B500005",
         "update lend_lst set lend_date = to_char(desk_now(), 'YYYY-MM-DD') || ' 08:00:00' "
         "where prop_no = 'P500005'; update sys_comm_para set sys_para_value = '0' where sys_para_code = 23",
         msg("ELT171"), "王小明"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        if (*c.setup) db().exec(c.setup);
        ASSERT_EQ(intInitBaseData(), 0);
        atDesk(QString(c.name).startsWith("desk of") ? "RR" : "D2",
               QString(c.name).startsWith("desk of") ? "01" : "05");
        desk.subClearRedrInfo();
        dialogs.clear();
        const QString loans = db().scalar("select count(*) from lend_lst");
        const QString history = db().scalar("select count(*) from lend_hist");
        EXPECT_EQ(lending.subReturnBook(c.code), -1);
        EXPECT_EQ(shown(), c.text);
        EXPECT_EQ(db().scalar("select count(*) from lend_lst"), loans);
        EXPECT_EQ(db().scalar("select count(*) from lend_hist"), history);
        EXPECT_TRUE(lending.returns().isEmpty());
        EXPECT_EQ(desk.panel().name, QString::fromUtf8(c.panelName));
        EXPECT_FALSE(LIB_DB_InTrans());
    }
    db().exec("update sys_comm_para set sys_para_value = '1' where sys_para_code = 23");
    ASSERT_EQ(intInitBaseData(), 0);
}

TEST_F(ReturnTest, AWaitingHoldTakesTheCopyAndOnlyAWaitingOne) {
    const char* lend =
        "update item set book_lend_flag = '1' where prop_no = 'P500021'; insert into lend_lst "
        "(cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, location_f, resp_wkr) values ('DR02', "
        "'P500021', '2026-01-01 10:00:00', '2099-01-01 10:00:00', 'R2', 'A1', '0001')";
    db().exec(lend);
    ASSERT_EQ(lending.subReturnBook("B500021"), 0) << shown();
    EXPECT_TRUE(shownTexts().contains(msg("ILT103")));
    EXPECT_EQ(flagOf("P500021"), "2");
    EXPECT_EQ(db().scalar(
                  "select cert_id || '|' || pregarri_deal_flag from preg_arri_lst where prop_no = 'P500021'"),
              "DR14|0");

    // A hold that has already had its copy is no waiting hold.
    db().recreate();
    db().pinClock(day + " 10:00:00");
    db().exec(lend);
    db().exec("update preg_lst set preg_flag = '1' where cert_id = 'DR14'");
    dialogs.clear();
    ASSERT_EQ(lending.subReturnBook("B500021"), 0) << shown();
    EXPECT_FALSE(shownTexts().contains(msg("ILT103")));
    EXPECT_EQ(flagOf("P500021"), "0");
}

TEST_F(ReturnTest, FineWindowAndGridClearingFollowTheSettings) {
    lending.fineReturn = 1;
    ASSERT_EQ(lending.subReturnBook("B500101"), 0) << shown(); // DR12, owes nothing
    EXPECT_EQ(fineWindows, 0);
    ASSERT_EQ(lending.subReturnBook("B500102"), 0) << shown();
    EXPECT_EQ(lending.returns().size(), 2); // same borrower: on top of the first
    EXPECT_EQ(lending.returns()[0].barCode, "B500102");
    ASSERT_EQ(lending.subReturnBook("B500012"), 0) << shown(); // DR10, fined
    EXPECT_EQ(fineWindows, 1);
    EXPECT_EQ(lending.returns().size(), 1); // another borrower: a fresh list

    lending.fineReturn = 0;
    lending.returnClear = 0;
    ASSERT_EQ(lending.subReturnBook("B500103"), 0) << shown();
    EXPECT_EQ(lending.returns().size(), 2);
}

TEST_F(ReturnTest, HandOnTakesOnlyWaitingValidRequestsAndClosesTheQueueBehindTheServedOne) {
    // Queue of TP311.12/W23 at A1: DR09 (fines) 1, DR15 2, DR02 3, DR01 4
    // (ended yesterday); DR14's request was cancelled, DR12 waits at B1; DR15
    // also has an old served request of the title.
    db().exec(
        "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
        "relegate_keep_days, "
        "relegate_end_date, relegate_location, wkr_no, relegate_flag) values "
        "('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-01', 'D1', '0001', '0'), "
        "('DR01', 'TP311.12/W23', 'A1', 4, '2026-01-01', 7, to_char(desk_now()::date - 1, 'YYYY-MM-DD'), "
        "'D2', '0001', '0'), "
        "('DR14', 'TP311.12/W23', 'A1', 0, '2026-01-01', 7, '2099-01-01', 'D2', '0001', '2'), "
        "('DR12', 'TP311.12/W23', 'B1', 1, '2026-01-01', 7, '2099-01-01', 'D2', '0001', '0'), "
        "('DR15', 'TP311.12/W23', 'B1', 0, '2025-01-01', 7, '2025-01-08', 'D2', '0001', '1')");
    collectArrival();
    dialogs.answers = {BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR15");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR02:2", "DR01:3"}));
    EXPECT_EQ(queue("TP311.12/W23", "B1"), QStringList{"DR12:1"});
    EXPECT_EQ(
        db().scalar("select count(*) from relegate_lst where cert_id = 'DR15' and call_no = 'TP311.12/W23'"),
        "0");
    EXPECT_EQ(db().scalar("select relegate_flag from relegate_lst where cert_id = 'DR14'"), "2");
}

TEST_F(ReturnTest, ARequesterWhoseLendingFailsIsPassedOverAndTheReturnStands) {
    // Queue of TP311.12/W23 at A1: DR09 (fines) 1, DR15 2, DR02 3. DR15's
    // lending meets a failure of the database: refused inside the loan
    // procedure, or by a write after the loan was made.
    struct Case {
        const char* name;
        const char* table;
    } cases[] = {{"the loan refused", "lend_lst"}, {"the found copy refused", "relegate_arri_lst"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db().recreate();
        db().pinClock(day + " 10:00:00");
        db().exec(QStringLiteral(
                      "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                      "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) values "
                      "('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-01', 'D1', '0001', '0'); "
                      "create function test_refuse_dr15() returns trigger language plpgsql as $$ begin "
                      "if new.cert_id = 'DR15' then raise exception 'test refuses DR15'; end if; return new; "
                      "end $$; create trigger test_refuse_dr15 before insert on %1 for each row "
                      "execute function test_refuse_dr15()")
                      .arg(QLatin1String(c.table)));
        collectArrival();
        const QString lends = workload("401"), returns = workload("402");
        const QString logBefore = todaysLog();
        dialogs.answers = {BoxAnswer::Ok, BoxAnswer::Ok, BoxAnswer::Ok};
        ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
        EXPECT_FALSE(LIB_DB_InTrans());

        // The return stands; DR02 has the copy; DR15 keeps its place and has nothing of it.
        EXPECT_EQ(db().scalar("select count(*) from lend_hist where prop_no_f = 'P500003' and cert_id_f = 'DR13'"),
                  "1");
        EXPECT_EQ(loanOf("P500003").section('|', 0, 0), "DR02");
        EXPECT_EQ(flagOf("P500003"), "3");
        EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:6", "DR02:1"}));
        EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2"}));
        EXPECT_EQ(db().scalar("select count(*) from lend_lst where cert_id = 'DR15' and prop_no = 'P500003'"), "0");
        EXPECT_EQ(workload("401").toInt(), lends.toInt() + 1);
        EXPECT_EQ(workload("402").toInt(), returns.toInt() + 1);

        // The failure is reported once the return has committed, and the
        // requester passed over is named in the daily log.
        EXPECT_EQ(shownTexts().mid(1), (QStringList{msg("ECM012"), "该书为委托借阅书刊，有本地读者委托该书。"}));
        const QString logged = todaysLog().mid(logBefore.size());
        EXPECT_TRUE(logged.contains("DR15") && logged.contains("P500003") && logged.contains("test refuses DR15"))
            << logged.toStdString();
    }
}

TEST_F(ReturnTest, ACopyNoLongerLendableStopsTheHandOn) {
    collectArrival();
    db().exec("update item set book_stat_code = '42' where prop_no = 'P500003'");
    dialogs.answers = {BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_TRUE(shownTexts().contains("该书为委托借阅书刊。"));
    EXPECT_TRUE(shownTexts().contains(msg("ILT101", strItemStatusName("42"))));
    EXPECT_EQ(foundRows("P500003"), QStringList{"DR13:4"});
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2"}));
}

TEST_F(ReturnTest, NoticesOfPriceAndRecordAndALoanWithoutItsRule) {
    // B1's copy of DR01, due three days ago: under its rule R3 (two days of
    // grace) overdue, under the first rule of the cache (three days) not.
    db().exec("update item set price = '150.00' where prop_no = 'P500005'; update marc set marc_use_flag = "
              "'2' where "
              "marc_rec_no = '0000000001'; update lend_lst set norm_ret_date = to_char(desk_now()::date - 3, "
              "'YYYY-MM-DD'), rule_no_f = 'R99' where prop_no = 'P500005'");
    ASSERT_EQ(lending.subReturnBook("B500005"), 0) << shown();
    EXPECT_EQ(shownTexts(), (QStringList{msg("ILT105", "150.00"), msg("ILT102")}));
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where prop_no = 'P500005'"), "0");
    EXPECT_EQ(db().scalar("select excd_days from lend_hist where prop_no_f = 'P500005'"), "0");
}

TEST_F(ReturnTest, TwoCollectedRowsOfOneCopyAreLeftAlone) {
    atDesk("D1", "01");
    collectArrival();
    db().exec("insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_end_flag) "
              "values ('DR13', 'P500003', 'TP311.12/W23', '2025-01-01', '3')");
    dialogs.answers = {BoxAnswer::Ok};
    ASSERT_EQ(lending.subReturnBook("B500003"), 0) << shown();
    EXPECT_EQ(foundRows("P500003"), (QStringList{"DR13:3", "DR13:3"}));
    EXPECT_EQ(loanOf("P500003"), "");
}

TEST_F(ReturnTest, AFailedReadBehindTheCommitLeavesTheReturnStandingAndIsShown) {
    // The borrower's remaining loans, and the debt when the fine window may
    // open, travel behind the return's COMMIT. The session lost before the
    // last of them: the return (and its hand-on) stays committed, the failure
    // is shown after what the commit did, and what needed the reads is left
    // out (the loan count, the fine window).
    struct Case {
        const char* name;
        const char* barCode;
        int fineReturn;
        bool handOn;
        QStringList done; // what the commit did (after the attachment question of B500003)
    };
    const Case cases[] = {
        {"at home, the remaining loans", "B500005", 0, false, {}},
        {"away from home, the debt", "B500012", 1, false, {"该书为委托借阅书刊。"}},
        {"handed on, the remaining loans", "B500003", 0, true, {"该书为委托借阅书刊，有本地读者委托该书。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = [&] {
            db().recreate();
            db().pinClock(day + " 10:00:00");
            if (c.handOn) collectArrival();
            lending.fineReturn = c.fineReturn;
            lending.clearReturns();
            dialogs.clear();
            dialogs.answers = {BoxAnswer::Ok, BoxAnswer::Ok, BoxAnswer::Ok, BoxAnswer::Ok};
        };
        start();
        oradb::faults::endSessionBeforeStatement(0);
        ASSERT_EQ(lending.subReturnBook(c.barCode), 0) << shown();
        const int last = oradb::faults::statementCount();
        ASSERT_GT(last, oradb::faults::lastCommitStatement());
        const int asked = c.handOn ? 1 : 0;
        EXPECT_EQ(shownTexts().mid(asked), c.done);
        EXPECT_FALSE(desk.panel().loans.startsWith("?"));
        const QString records =
            db().scalar("select string_agg(prop_no_f || cert_id_f, ',' order by prop_no_f, cert_id_f) from lend_hist");
        const QString loans = db().scalar("select string_agg(prop_no || cert_id, ',' order by prop_no) from lend_lst");

        start();
        const int windows = fineWindows;
        oradb::faults::endSessionBeforeStatement(last);
        EXPECT_EQ(lending.subReturnBook(c.barCode), 0) << shown();
        oradb::faults::clear();
        EXPECT_EQ(
            db().scalar("select string_agg(prop_no_f || cert_id_f, ',' order by prop_no_f, cert_id_f) from lend_hist"),
            records);
        EXPECT_EQ(db().scalar("select string_agg(prop_no || cert_id, ',' order by prop_no) from lend_lst"), loans);
        const QStringList failure = {"网络非正常中断，重新连接数据库？", "数据库连接成功！"};
        EXPECT_EQ(shownTexts().mid(asked), c.done + failure);
        ASSERT_EQ(lending.returns().size(), 1);
        EXPECT_EQ(lending.returns()[0].barCode, c.barCode);
        EXPECT_TRUE(desk.panel().loans.startsWith("?")) << desk.panel().loans.toStdString();
        EXPECT_EQ(fineWindows, windows);
    }
}
