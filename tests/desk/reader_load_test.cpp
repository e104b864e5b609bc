// Loading a reader at the desk and the silent requester check, for the desk
// demo's readers in every standing.

#include "DeskFixture.h"
#include "tests/support/BoxWatch.h"

#include <chrono>
#include <future>

class ReaderLoadTest : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        freshDatabase();
    }
    // DR07's suspension and DR08's fine and suspension still open and counted.
    void expectSuspensionsOpen()
    {
        EXPECT_EQ(db().column("select cert_id || volt_deal_flag from reader_volt_lst where cert_id in ('DR07', 'DR08') "
                              "and volt_deal_flag <> '0' order by cert_id"),
                  (QStringList{"DR071", "DR083"}));
        EXPECT_EQ(db().scalar("select sum(volt_flag) from reader where cert_id in ('DR07', 'DR08')"), "2");
    }
    desk::ConsignDesk desk;
};

TEST_F(ReaderLoadTest, StandingChecksInTheirOrder)
{
    struct Case {
        QString card;
        int result;
        QStringList messages; // in the order shown
    };
    const QString lost = dayOffset(-3);
    const QString bgn06 = dayOffset(-400), end06 = dayOffset(-1);
    const QList<Case> cases = {
        {"DC01", 0, {}},
        {"DC02", 0, {}},
        {"DC03", -1, {msg("ELT102", "2026-06-30")}},
        {"DC04", -1, {msg("ELT103")}},
        {"DC05", -1, {msg("ELT104", lost)}},
        {"DC06", -1, {msg("ELT105", bgn06 + "-" + end06)}}, // out of date, no loans: no second message
        {"DC07", 0, {}},                                     // the ended suspension no longer counts
        {"DC08", -1, {msg("ELT106")}},
        {"DC09", -1, {msg("ELT107", "10.00")}},
        {"DC10", -1, {msg("ELT108")}},
        {"DC11", -1, {msg("ELT109")}},
        {"DC12", -1, {msg("ELT110")}},
        {"DC13", 0, {}},
        {"DC14", 0, {}}, // a loan due today is not overdue
        {"DC15", 0, {}}, // owes less than the limit
    };
    for (const Case& c : cases) {
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr(c.card), c.result) << c.card.toStdString();
        EXPECT_EQ(shownTexts(), c.messages) << c.card.toStdString();
        EXPECT_TRUE(desk.readerShown()) << c.card.toStdString();
        EXPECT_EQ(g_strCertID, desk.readerValue(desk::redr::CertId));
        EXPECT_EQ(g_strCertID, "DR" + c.card.mid(2));
        EXPECT_FALSE(LIB_DB_InTrans()) << c.card.toStdString();
    }
}

TEST_F(ReaderLoadTest, UnknownCardLeavesTheCurrentReader)
{
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    EXPECT_EQ(desk.intLoadRedr("NOCARD"), -1);
    EXPECT_EQ(shown(), msg("ELT101"));
    EXPECT_EQ(g_strCertID, "DR02");
    EXPECT_EQ(desk.panel().name, QStringLiteral("李小红"));
}

TEST_F(ReaderLoadTest, PanelOfAnAcceptedReader)
{
    ASSERT_EQ(desk.intLoadRedr("DC01"), 0);
    const desk::ReaderPanel& p = desk.panel();
    EXPECT_EQ(p.name, QStringLiteral("王小明"));
    EXPECT_EQ(p.sex, QStringLiteral("男"));
    EXPECT_EQ(p.certId, "DR01");
    EXPECT_EQ(p.typeName, QStringLiteral("学生"));
    EXPECT_EQ(p.loans, "1 / 10");
    EXPECT_EQ(p.yearTotal, "3/12");
    EXPECT_EQ(p.debt, "0.00");
    ASSERT_EQ(desk.loans().size(), 1);
    EXPECT_EQ(desk.loans()[0].barCode, "B500005");
    EXPECT_FALSE(desk.loans()[0].overdue);
}

TEST_F(ReaderLoadTest, RunOutSuspensionsEndThroughTheServer)
{
    ASSERT_EQ(desk.intLoadRedr("DC07"), 0);
    EXPECT_EQ(db().scalar("select count(*) from reader_volt_lst where cert_id = 'DR07' and volt_deal_flag <> '0'"), "0");
    EXPECT_EQ(db().scalar("select volt_flag from reader where cert_id = 'DR07'"), "0");
    EXPECT_TRUE(desk.violations().isEmpty());

    // Fine and suspension: the suspension ends, the fine stays open and refuses.
    ASSERT_EQ(desk.intLoadRedr("DC08"), -1);
    EXPECT_EQ(db().scalar("select volt_deal_flag from reader_volt_lst where cert_id = 'DR08'"), "2");
    EXPECT_EQ(db().scalar("select volt_flag from reader where cert_id = 'DR08'"), "1");
    ASSERT_EQ(desk.violations().size(), 1);
    EXPECT_EQ(desk.violations()[0].stateText(), QStringLiteral("罚款"));
    EXPECT_TRUE(desk.violationsInFront());

    // The next reader does not inherit those violations.
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    EXPECT_TRUE(desk.violations().isEmpty());
    EXPECT_FALSE(desk.violationsInFront());
}

TEST_F(ReaderLoadTest, FineWindowByTheUserSetting)
{
    int opened = 0;
    desk.showFineWindow = [&] {
        ++opened;
        g_dblExceedFine = 0.0; // everything paid
    };
    ASSERT_EQ(desk.intLoadRedr("DC15"), 0);
    EXPECT_EQ(opened, 0);
    EXPECT_DOUBLE_EQ(g_dblExceedFine, 0.5);

    desk.fineLend = 1;
    ASSERT_EQ(desk.intLoadRedr("DC15"), 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(desk.panel().debt, "0.00");

    // Paying in the window lets a reader over the limit through.
    ASSERT_EQ(desk.intLoadRedr("DC09"), 0);
    EXPECT_EQ(opened, 2);

    desk.showFineWindow = [&] { ++opened; }; // closed without paying
    EXPECT_EQ(desk.intLoadRedr("DC09"), -1);
    EXPECT_EQ(shown(), msg("ELT107", "10.00"));
}

TEST_F(ReaderLoadTest, LoanLimitOnlyInRequestMode)
{
    desk.mode = desk::ModeLend;
    EXPECT_EQ(desk.intLoadRedr("DC12"), 0);
    EXPECT_EQ(desk.loans().size(), 10);
    desk.mode = desk::ModeRequest;
    EXPECT_EQ(desk.intLoadRedr("DC12"), -1);
    EXPECT_EQ(shown(), msg("ELT110"));
}

TEST_F(ReaderLoadTest, ReaderTypeMissingFromTheCacheHasNoLimits)
{
    db().exec("update reader set redr_type_code = 'TX' where cert_id = 'DR02'");
    EXPECT_EQ(desk.intLoadRedr("DC02"), -1);
    EXPECT_EQ(shown(), msg("ELT110"));
    EXPECT_EQ(desk.panel().typeName, QString());
    desk.mode = desk::ModeLend;
    EXPECT_EQ(desk.intLoadRedr("DC02"), 0);
    // Any unpaid amount of at least 0.10 then refuses.
    db().exec("update reader set debt_flag = 0.10 where cert_id = 'DR02'");
    EXPECT_EQ(desk.intLoadRedr("DC02"), -1);
    EXPECT_EQ(shown(), msg("ELT107", "0.00"));
}

TEST_F(ReaderLoadTest, ArrivedCopiesShownBeforeTheLoanChecks)
{
    QVector<desk::ArrivedRow> seen;
    desk.showFindList = [&](const QVector<desk::ArrivedRow>& rows) { seen = rows; };
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].propNo, "P500003");
    EXPECT_EQ(seen[0].relegateLocation, "D2");
    EXPECT_TRUE(desk.requests().isEmpty()); // its request was served

    // With an overdue loan too: the window first, then the refusal.
    db().exec("update lend_lst set norm_ret_date = '" + dayOffset(-1) + "' where prop_no = 'P500003'");
    seen.clear();
    EXPECT_EQ(desk.intLoadRedr("DC13"), -1);
    EXPECT_EQ(seen.size(), 1);
    EXPECT_EQ(shown(), msg("ELT108"));
}

TEST_F(ReaderLoadTest, RequesterCheckIsSilentAndStrict)
{
    struct Case {
        QString certId;
        int result;
    };
    const QList<Case> cases = {
        {"DR01", 0},  {"DR02", 0},  {"DR03", -1}, {"DR04", -1}, {"DR05", -1}, {"DR06", -1}, {"DR07", -1},
        {"DR08", -1}, {"DR09", -1}, {"DR10", -1}, {"DR11", -1}, {"DR12", -1}, {"DR14", 0},  {"DR15", 0},
        {"NOBODY", -1},
    };
    g_strCertID = "DR02";
    for (const Case& c : cases) {
        EXPECT_EQ(desk.intCheckApplicant(c.certId), c.result) << c.certId.toStdString();
        EXPECT_FALSE(LIB_DB_InTrans());
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(g_strCertID, "DR02");
    // The record holds the requester last tested; nothing was written.
    EXPECT_EQ(desk.readerRecord().rowCount(), 0);
    EXPECT_EQ(db().scalar("select volt_deal_flag from reader_volt_lst where cert_id = 'DR07' and froz_end_date <> ''"),
              "1");
    ASSERT_EQ(desk.intCheckApplicant("DR14"), 0);
    EXPECT_EQ(desk.readerValue(desk::redr::Name), QStringLiteral("沈教师"));
    EXPECT_EQ(desk.readerValue(desk::redr::MaxLendQty), "20");

    // Another window's own record (the find desk's) is used the same way.
    DBResultSet own;
    ASSERT_EQ(desk::intCheckApplicant("DR15", own), 0);
    EXPECT_EQ(own.text(0, desk::redr::CertId), "DR15");
    EXPECT_EQ(desk.readerValue(desk::redr::CertId), "DR14");
    EXPECT_DOUBLE_EQ(g_dblExceedFine, 0.5);

    // All of them checked on the reads of one batch, in another order: the
    // same results, each into the record.
    QStringList all;
    for (const Case& c : cases)
        all << "('" + c.certId + "')";
    LIB_DB_Batch batch;
    batch.begin();
    const desk::ApplicantReads at = desk::addApplicantReads(batch, "VALUES " + all.join(','));
    batch.commit();
    ASSERT_EQ(batch.run(), 0);
    for (auto c = cases.crbegin(); c != cases.crend(); ++c) {
        EXPECT_EQ(desk.intJudgeApplicant(batch, at, c->certId), c->result) << "batch " << c->certId.toStdString();
        if (c->result == 0) {
            EXPECT_EQ(desk.readerValue(desk::redr::CertId), c->certId);
        }
    }
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(ReaderLoadTest, SecondDeskWaitsForTheReaderRows)
{
    // Another desk holds the reader's row (loading the same card).
    testsupport::RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("begin; select cert_id from reader where cert_id = 'DR07' for update", &err)) << err;
    auto loading = std::async(std::launch::async, [&] { return desk.intLoadRedr("DC07"); });
    EXPECT_EQ(loading.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    ASSERT_TRUE(deskB.exec("commit", &err)) << err;
    EXPECT_EQ(loading.get(), 0);
    EXPECT_EQ(db().scalar("select volt_flag from reader where cert_id = 'DR07'"), "0");
}

TEST_F(ReaderLoadTest, OutOfDateCardPassesTheFineAndLoanSteps)
{
    // DC06's card ran out yesterday; an open fine violation does not end the
    // load there: the fines and the loans are still looked at.
    const QString dates = msg("ELT105", dayOffset(-400) + "-" + dayOffset(-1));
    db().exec("update reader set volt_flag = 1 where cert_id = 'DR06'");
    db().exec("insert into reader_volt_lst (cert_id, punish_date, volt_code, real_fine_amt, volt_deal_flag) "
              "values ('DR06', '2026-01-05 10:00:00', '01', 3.00, '2')");
    struct Case {
        const char* name;
        const char* setUp;
        QStringList messages;
    };
    const QList<Case> cases = {
        {"no fines, no loans", "select 1", {dates, msg("ELT106")}},
        {"fines at the limit", "update reader set debt_flag = 10.00 where cert_id = 'DR06'",
         {dates, msg("ELT106"), msg("ELT107", "10.00")}},
        {"a loan", "update reader set debt_flag = 0 where cert_id = 'DR06'; insert into lend_lst (cert_id, prop_no, "
                   "lend_date, norm_ret_date, rule_no_f, location_f) values ('DR06', 'P500021', '2026-01-05 09:00:00', "
                   "'2099-01-01', 'R1', 'A1')",
         {dates, msg("ELT106"), msg("ELT133")}},
    };
    for (const Case& c : cases) {
        db().exec(c.setUp);
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr("DC06"), -1) << c.name;
        EXPECT_EQ(shownTexts(), c.messages) << c.name;
        EXPECT_FALSE(LIB_DB_InTrans()) << c.name;
    }
}

TEST_F(ReaderLoadTest, CardDatesAndTheDebtLimitAtTheirEdges)
{
    // DR02: a student (dates tested, debt limit 10.00), no loans.
    struct Case {
        const char* name;
        const char* setUp;
        int result;
        QStringList messages;
    };
    const QString bgn = dayOffset(1), end = dayOffset(700);
    const QList<Case> cases = {
        {"card valid from tomorrow",
         "update reader_cert set bgn_date = to_char(desk_now()::date + 1, 'YYYY-MM-DD') where cert_id = 'DR02'", -1,
         {msg("ELT105", bgn + "-" + end)}},
        {"a type that does not test the dates",
         "update reader_type set chk_validity_period = '0' where redr_type_code = 'T1'", 0, {}},
        {"owing exactly the limit",
         "update reader_type set chk_validity_period = '1' where redr_type_code = 'T1'; "
         "update reader_cert set bgn_date = '2020-01-01' where cert_id = 'DR02'; "
         "update reader set debt_flag = 10.00 where cert_id = 'DR02'",
         -1, {msg("ELT107", "10.00")}},
        {"owing a cent less", "update reader set debt_flag = 9.99 where cert_id = 'DR02'", 0, {}},
    };
    for (const Case& c : cases) {
        db().exec(c.setUp);
        ASSERT_EQ(intLoadBaseCode(), 0);
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr("DC02"), c.result) << c.name;
        EXPECT_EQ(shownTexts(), c.messages) << c.name;
    }
}

TEST_F(ReaderLoadTest, SuspensionWithoutAnEndDateRunsOn)
{
    // A suspension with no end date has no time to run out: it stays open and
    // refuses; so does a fine and suspension without one.
    db().exec("update reader_volt_lst set froz_end_date = null where cert_id in ('DR07', 'DR08')");
    for (const char* card : {"DC07", "DC08"}) {
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr(card), -1) << card;
        EXPECT_EQ(shownTexts(), QStringList{msg("ELT106")}) << card;
    }
    expectSuspensionsOpen();
}

TEST_F(ReaderLoadTest, FailedSuspensionUpdateRefusesAndWritesNothing)
{
    db().exec("alter procedure lt_upd_reader_volt_lst rename to lt_upd_reader_volt_lst_away");
    for (const char* card : {"DC07", "DC08"}) {
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr(card), -1) << card;
        ASSERT_EQ(dialogs.shown.size(), 1) << card;
        EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error) << card;
        EXPECT_FALSE(LIB_DB_InTrans()) << card;
    }
    db().exec("alter procedure lt_upd_reader_volt_lst_away rename to lt_upd_reader_volt_lst");
    expectSuspensionsOpen();
    // The desk goes on: the next load works.
    EXPECT_EQ(desk.intLoadRedr("DC07"), 0);
}


TEST_F(ReaderLoadTest, NoBoxIsShownWhileTheReaderRowsAreLocked)
{
    QStringList inTransaction; // boxes shown while a transaction was open
    testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
        if (LIB_DB_InTrans())
            inTransaction << box.text;
    });
    db().exec("update reader set volt_flag = 1 where cert_id = 'DR06'");
    db().exec("insert into reader_volt_lst (cert_id, punish_date, volt_code, real_fine_amt, volt_deal_flag) "
              "values ('DR06', '2026-01-05 10:00:00', '01', 3.00, '2')");
    for (const char* card : {"NOCARD", "DC03", "DC04", "DC05", "DC06", "DC08"}) {
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr(card), -1) << card;
        EXPECT_FALSE(dialogs.shown.isEmpty()) << card;
    }
    EXPECT_TRUE(inTransaction.isEmpty()) << inTransaction.join("; ").toStdString();
    // The out-of-date card's message still comes before the violations'.
    EXPECT_EQ(desk.intLoadRedr("DC06"), -1);
    EXPECT_EQ(shownTexts().mid(shownTexts().size() - 2),
              (QStringList{msg("ELT105", dayOffset(-400) + "-" + dayOffset(-1)), msg("ELT106")}));
}

TEST_F(ReaderLoadTest, LockHeldElsewhereEndsTheWaitWithinTheTimeOutWritingNothing)
{
    // Another desk holds DR07's row longer than the lock time-out: the load
    // says so and ends the run-out suspension nowhere; placing a request for
    // DR02 waits for its reader row alike.
    ASSERT_EQ(LIB_DB_Execute("set lock_timeout = '300ms'"), 0);
    testsupport::RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("begin; select cert_id from reader where cert_id in ('DR07', 'DR02') for update", &err))
        << err;
    EXPECT_EQ(desk.intLoadRedr("DC07"), -1);
    EXPECT_EQ(shown(), QStringLiteral("该记录已经被锁定!"));
    EXPECT_TRUE(todaysLog().contains("ORA-00054")) << todaysLog().toStdString();
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("select volt_deal_flag from reader_volt_lst where cert_id = 'DR07' and froz_end_date <> ''"),
              "1");

    desk.mode = desk::ModeLend; // the loan limit of the request mode aside
    ASSERT_TRUE(deskB.exec("commit", &err)) << err;
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    ASSERT_TRUE(deskB.exec("begin; select cert_id from reader where cert_id = 'DR02' for update", &err)) << err;
    desk::HoldingRow a1;
    a1.location = "A1";
    a1.lendable = 3;
    int asked = 0;
    desk.askKeepDays = [&](const QString&, int maxDays) -> std::optional<int> {
        ++asked;
        return maxDays;
    };
    dialogs.clear();
    EXPECT_EQ(desk.subApplyBook("TP311.12/W23", a1), -1);
    EXPECT_EQ(asked, 1); // asked first, then it waited
    EXPECT_EQ(shown(), QStringLiteral("该记录已经被锁定!"));
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("select count(*) from relegate_lst where cert_id = 'DR02' and relegate_flag = '0'"), "0");
    ASSERT_TRUE(deskB.exec("rollback", &err)) << err;
    LIB_DB_Execute("reset lock_timeout");
}
