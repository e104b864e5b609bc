// Fine settlement against the database: loading (which holds nothing), the
// stored total's correction, payment and waiver with their writes, refusals
// that write nothing, and two desks settling the same reader.

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "reader/ReaderContext.h"
#include "reader/clsFineSettle.h"
#include "tests/reader/FineDeskFixture.h"
#include "tests/support/BoxWatch.h"
#include "tests/support/RoundTrips.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using testsupport::RawConnection;

namespace {

const QString kReader = QStringLiteral("TZ01");

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

class FineSettleTest : public FineDeskTest {
protected:
    void SetUp() override
    {
        FineDeskTest::SetUp();
        if (HasFatalFailure())
            return;
        asWorker(QStringLiteral("SUPR"), {});
        g_fnPrintFineReceipt = [this](const FineReceipt& r) { printed.append(r); };
        g_strCertID = kReader;
    }

    void TearDown() override
    {
        FineDeskTest::TearDown();
        g_fnPrintFineReceipt = nullptr;
    }

    void asWorker(const QString& no, const QStringList& rights)
    {
        g_strWkrNo = no;
        g_varAuthList = DBResultSet(int(rights.size()), 1);
        for (int i = 0; i < rights.size(); ++i)
            g_varAuthList.setCell(0, 2 + i, rights[i]);
    }

    // A reader with a card, an unpaid total, a prepaid balance and open fines
    // given as (amount, location) pairs; fines are lent a day apart.
    void addReader(const QString& debt, const QString& obligate, const QList<QPair<QString, QString>>& fines,
                   const QString& id = kReader)
    {
        db().exec(QStringLiteral("insert into reader (cert_id, name, debt_flag, obligate) values ('%1', '测试读者', %2, %3)")
                      .arg(id, debt, obligate));
        db().exec(QStringLiteral("insert into reader_cert (redr_cert_id, cert_id, cert_flag) values ('%1C', '%1', '1')")
                      .arg(id));
        int n = 0;
        for (const auto& f : fines) {
            ++n;
            db().exec(QStringLiteral("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, "
                                     "time_unit, fine_amt, debt_deal_flag, remark, location_f) values "
                                     "('TP%1', '%2', '2024-01-%3 10:00:00', '2024-02-01 10:00:00', "
                                     "'2024-02-05 10:00:00', 'D', %4, '0', '旧%1', '%5')")
                          .arg(n)
                          .arg(id)
                          .arg(n, 2, 10, QLatin1Char('0'))
                          .arg(f.first, f.second));
        }
        g_dblExceedFine = debt.toDouble();
    }

    QString q(const QString& sql) { return db().scalar(sql); }
    QString q(const char* sql) { return db().scalar(QString::fromUtf8(sql)); }
    int journalRows() { return q("select count(*) from deposit_account_lst where cert_id like 'TZ%'").toInt(); }
    int settledRows() { return q("select count(*) from exceed_fine_lst where cert_id like 'TZ%' and debt_deal_flag = '1'").toInt(); }

    // Nothing of a settlement reached the database.
    void expectNothingWritten(const QString& debt)
    {
        EXPECT_EQ(journalRows(), 0);
        EXPECT_EQ(settledRows(), 0);
        EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), debt);
        EXPECT_EQ(q("select count(*) from wkr_job_qty"), "0");
        EXPECT_TRUE(printed.isEmpty());
    }

    clsFineSettle::PayInput input(const QString& amount, const QString& bill, int mode = 0,
                                  const QString& remark = QStringLiteral("已收"))
    {
        clsFineSettle::PayInput in;
        in.amountText = amount;
        in.billNo = bill;
        in.payMode = mode;
        in.remark = remark;
        return in;
    }

    void answer(std::initializer_list<ui::BoxAnswer> a)
    {
        for (ui::BoxAnswer x : a)
            dialogs.answers.append(x);
    }

    // The other desk commits a moment later, while this desk waits for it.
    static std::thread commitSoon(RawConnection& other)
    {
        return std::thread([&other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            other.exec("commit");
        });
    }

    // Another desk pays both fines of TZ01 (3.00 under bill B-B) in the
    // transaction `other` has begun, holding the reader row and the fine rows.
    static void otherDeskPays(RawConnection& other)
    {
        const char* const steps[] = {
            "select 1 from reader where cert_id = 'TZ01' for update",
            "call lt_upd_exceed_fine_lst('TP1','TZ01','2024-01-01 10:00:00',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,"
            "1.00,'B-B','2024-05-01 10:00:00','1','0002','x',NULL,NULL)",
            "call lt_upd_exceed_fine_lst('TP2','TZ01','2024-01-02 10:00:00',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,"
            "2.00,'B-B','2024-05-01 10:00:00','1','0002','x',NULL,NULL)",
            "call lt_upd_reader_new('TZ01',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,"
            "NULL,NULL,0.00,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL)",
            "call insert_deposit_account_lst('TZ01','5','0','1','2024-05-01 10:00:00','B-B','0002','3.00')"};
        for (const char* sql : steps) {
            QString error;
            ASSERT_TRUE(other.exec(QString::fromUtf8(sql), &error)) << error.toStdString();
        }
    }

    // Both fines of TZ01 (1.00 and 2.00) paid once, under `bill`, and the
    // money tables agree.
    void expectPaidOnce(const QString& bill)
    {
        EXPECT_EQ(db().column("select bill_no || ' ' || amount from deposit_account_lst where cert_id = 'TZ01'"),
                  QStringList({bill + " 3.00"}));
        EXPECT_EQ(db().column("select bill_no || ' ' || real_fine_amt || ' ' || debt_deal_flag from exceed_fine_lst "
                              "where cert_id = 'TZ01' order by lend_date"),
                  QStringList({bill + " 1.00 1", bill + " 2.00 1"}));
        EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
    }

    QList<FineReceipt> printed;
    clsFineSettle settle;
};

TEST_F(FineSettleTest, SettlementIsDueFromTenCentsOfStoredUnpaidTotal)
{
    const struct {
        const char* debt;
        bool due;
    } cases[] = {{"0.00", false}, {"0.09", false}, {"0.10", true}, {"12.34", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.debt);
        db().exec("delete from reader where cert_id = 'TZ01'");
        db().exec(QStringLiteral("insert into reader (cert_id, name, debt_flag) values ('TZ01', 'x', %1)")
                      .arg(QString::fromLatin1(c.debt)));
        g_strCertID.clear();
        g_dblExceedFine = -1;
        EXPECT_EQ(blnFineDue(kReader), c.due);
        EXPECT_EQ(g_strCertID, kReader);
        EXPECT_EQ(lngMoneyFromDouble(g_dblExceedFine), lngMoneyFromDouble(QString::fromLatin1(c.debt).toDouble()));
    }
    // No such reader owes nothing; no reader at all reads nothing.
    EXPECT_FALSE(blnFineDue(QStringLiteral("TZ99")));
    EXPECT_EQ(g_dblExceedFine, 0.0);
    g_dblExceedFine = 5;
    EXPECT_FALSE(blnFineDue(QString()));
    EXPECT_EQ(g_strCertID, QStringLiteral("TZ99"));
    EXPECT_EQ(g_dblExceedFine, 5.0);
}

TEST_F(FineSettleTest, LoadTicksOwnLocationsRefusesOthersAndHoldsNothing)
{
    addReader("5.00", "0", {{"3.00", "TA"}, {"2.00", "TB"}});
    // A fine whose copy is no longer catalogued is listed all the same.
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    ASSERT_EQ(settle.rows().size(), 2);
    EXPECT_TRUE(settle.blnReady());
    EXPECT_EQ(settle.lngTotal(), 500);
    EXPECT_EQ(settle.lngAllowed(), 300);
    EXPECT_EQ(settle.intCount(), 1);
    EXPECT_FALSE(settle.rows()[0].refused);
    EXPECT_TRUE(settle.rows()[1].refused);
    EXPECT_FALSE(settle.rows()[1].ticked);

    EXPECT_FALSE(settle.blnSetTicked(1, true));
    EXPECT_EQ(dialogs.lastText(), S("本地无权处理 测试分馆 的超期罚款"));
    EXPECT_EQ(settle.lngAllowed(), 300);

    // The window shows, and other desks take the reader and its rows at once.
    expectReaderFree(kReader);

    // Unticking everything leaves nothing to pay or waive.
    settle.blnSetTicked(0, false);
    EXPECT_EQ(settle.intCount(), 0);
    EXPECT_FALSE(settle.blnPayEnabled());
    EXPECT_FALSE(settle.blnWaiveEnabled());
    settle.cancel();
    EXPECT_EQ(g_dblExceedFine, 5.0);
    EXPECT_FALSE(LIB_DB_InTrans());
}

TEST_F(FineSettleTest, PayButtonNeedsTenCentsAndTheRightToTakePayments)
{
    addReader("0.10", "0", {{"0.09", "TA"}, {"0.01", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_TRUE(settle.blnPayEnabled()); // 0.10
    settle.blnSetTicked(1, false);
    EXPECT_FALSE(settle.blnPayEnabled()); // 0.09
    settle.blnSetTicked(1, true);

    // Without right 4005 no click enables payment, and a pay is refused.
    asWorker(QStringLiteral("0009"), {QStringLiteral("4024")});
    EXPECT_FALSE(settle.blnPayEnabled());
    const clsFineSettle::Outcome o = settle.pay(input("0.10", "B-R1"));
    EXPECT_FALSE(o.done);
    EXPECT_EQ(dialogs.lastText(), S("您没有使用该功能的权限！"));
    EXPECT_TRUE(settle.blnReady());
    expectNothingWritten("0.10");
}

TEST_F(FineSettleTest, StoredTotalThatDisagreesIsCorrectedAndNothingStaysPayable)
{
    addReader("5.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    EXPECT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Corrected);
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "3.00");
    EXPECT_EQ(g_dblExceedFine, 3.0);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_FALSE(settle.blnPayEnabled());

    // A list read before the correction cannot pay or waive.
    for (bool paying : {true, false}) {
        const clsFineSettle::Outcome o = paying ? settle.pay(input("3.00", "B-C1")) : settle.waive(input("", "W-C1"));
        EXPECT_FALSE(o.done);
        EXPECT_EQ(dialogs.lastText(), S("超期罚款记录尚未重新读取,请关闭窗口后重新结算!"));
    }
    EXPECT_EQ(settledRows(), 0);
    EXPECT_EQ(journalRows(), 0);
    expectReaderFree(kReader);

    // Loaded again, the totals agree and the rows stand ready.
    EXPECT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_TRUE(settle.blnPayEnabled());
    settle.cancel();

    // A stored total without open rows goes to zero.
    db().exec("update exceed_fine_lst set debt_deal_flag = '1' where cert_id = 'TZ01'");
    db().exec("update reader set debt_flag = 0.50 where cert_id = 'TZ01'");
    g_dblExceedFine = 0.5;
    EXPECT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Corrected);
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
}

TEST_F(FineSettleTest, ReducedPaymentSpreadsOverRowsAndBooksTheReduction)
{
    addReader("6.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}, {"3.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    answer({ui::BoxAnswer::Ok});
    const clsFineSettle::Outcome o = settle.pay(input(" 3 ", "B-100"));
    ASSERT_TRUE(o.done) << dialogs.lastText().toStdString();
    EXPECT_EQ(dialogs.shown.first().text, S("已选择3条记录,即将进行交款操作,是否继续?"));
    EXPECT_EQ(o.amountText, "3.00");
    EXPECT_FALSE(LIB_DB_InTrans());

    EXPECT_EQ(db().column("select real_fine_amt || ' ' || debt_deal_flag || ' ' || bill_no || ' ' || remark "
                          "from exceed_fine_lst where cert_id = 'TZ01' order by lend_date"),
              QStringList({S("0.50 1 B-100 已收 LT2(旧1)"), S("1.00 1 B-100 已收 LT2(旧2)"),
                           S("1.50 1 B-100 已收 LT2(旧3)")}));
    EXPECT_EQ(db().column("select rec_type || ' ' || pay_mode || ' ' || bill_no || ' ' || amount || ' ' || resp_wkr "
                          "from deposit_account_lst where cert_id = 'TZ01' order by rec_type"),
              QStringList({"5 0 B-100 3.00 SUPR", "6 0 B-100C 3.00 SUPR"}));
    EXPECT_EQ(db().column("select job_type || ' ' || kind || ' ' || volume || ' ' || amount from wkr_job_qty "
                          "order by job_type"),
              QStringList({"415 3 3 3.00", "419 3 3 3.00"}));
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
    EXPECT_EQ(g_dblExceedFine, 0.0);
    // Charged rows add up to the amount paid.
    EXPECT_EQ(q("select sum(real_fine_amt) from exceed_fine_lst where cert_id = 'TZ01'"), "3.00");

    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].billNo, "B-100");
    EXPECT_EQ(printed[0].collected, 300);
    EXPECT_EQ(printed[0].reduction, 300);
    ASSERT_EQ(printed[0].rows.size(), 3);
    EXPECT_EQ(printed[0].rows[2].charged, 150);
}

TEST_F(FineSettleTest, PaymentAboveTheTotalRaisesEveryRowAlike)
{
    addReader("1.25", "0", {{"0.50", "TA"}, {"0.75", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    answer({ui::BoxAnswer::Ok, ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("1.30", "B-200")).done);
    EXPECT_EQ(dialogs.shown.last().text, S("实际罚款额超过最大可罚款额,是否继续?"));
    EXPECT_EQ(db().column("select real_fine_amt from exceed_fine_lst where cert_id = 'TZ01' order by lend_date"),
              QStringList({"0.52", "0.78"}));
    EXPECT_EQ(db().column("select rec_type || ' ' || amount from deposit_account_lst where cert_id = 'TZ01'"),
              QStringList({"5 1.30"}));
    EXPECT_EQ(q("select job_type from wkr_job_qty"), "415");
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
}

TEST_F(FineSettleTest, SmallReductionNeedsNoRight)
{
    addReader("1.25", "0", {{"0.50", "TA"}, {"0.75", "TA"}});
    asWorker(QStringLiteral("0009"), {QStringLiteral("4005")});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    answer({ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("1.20", "B-300")).done) << dialogs.lastText().toStdString();
    EXPECT_EQ(db().column("select rec_type || ' ' || bill_no || ' ' || amount from deposit_account_lst "
                          "where cert_id = 'TZ01' order by rec_type"),
              QStringList({"5 B-300 1.20", "6 B-300C 0.05"}));
}

TEST_F(FineSettleTest, CollectingTenCentsOrMoreLessNeedsTheRightToReduce)
{
    addReader("1.25", "0", {{"0.50", "TA"}, {"0.75", "TA"}});
    asWorker(QStringLiteral("0009"), {QStringLiteral("4005")});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_FALSE(settle.blnAmountEditable());
    answer({ui::BoxAnswer::Ok});
    EXPECT_FALSE(settle.pay(input("1.15", "B-R1")).done);
    EXPECT_EQ(dialogs.lastText(), S("您没有使用该功能的权限！"));
    EXPECT_TRUE(settle.blnReady());
    expectNothingWritten("1.25");
    // With the right the same amount is taken.
    asWorker(QStringLiteral("0009"), {QStringLiteral("4005"), QStringLiteral("4024")});
    EXPECT_TRUE(settle.blnAmountEditable());
    answer({ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("1.15", "B-R1")).done) << dialogs.lastText().toStdString();
    EXPECT_EQ(db().column("select rec_type || ' ' || amount from deposit_account_lst where cert_id = 'TZ01' "
                          "order by rec_type"),
              QStringList({"5 1.15", "6 0.10"}));
}

TEST_F(FineSettleTest, RefusedPaymentsWriteNothingAndKeepTheWindowUsable)
{
    db().exec("insert into reader (cert_id, name) values ('TZ99', 'x')");
    db().exec("insert into deposit_account_lst (cert_id, rec_type, pay_mode, oper_date, bill_no, amount) "
              "values ('TZ99', '5', '0', '2024-01-01 00:00:00', 'USED1', 1.00)");
    struct Case {
        const char* name;
        const char* amount;
        const char* bill;
        int mode;
        QList<ui::BoxAnswer> answers;
        const char* message;
        clsFineSettle::Focus focus;
    };
    const Case cases[] = {
        {"not a number", "abc", "B1", 0, {}, "实罚款额输入错误!", clsFineSettle::Focus::Amount},
        {"negative", "-1.00", "B1", 0, {}, "实罚款额输入错误!", clsFineSettle::Focus::Amount},
        {"bill used", "6.00", "USED1 ", 0, {}, "票据号已存在!", clsFineSettle::Focus::BillNo},
        {"question cancelled", "6.00", "B1", 0, {ui::BoxAnswer::Cancel}, "已选择2条记录,即将进行交款操作,是否继续?",
         clsFineSettle::Focus::None},
        {"above ceiling", "6.06", "B1", 0, {ui::BoxAnswer::Ok}, "实际罚款额过大!", clsFineSettle::Focus::Amount},
        {"above total declined", "6.05", "B1", 0, {ui::BoxAnswer::Ok, ui::BoxAnswer::Cancel},
         "实际罚款额超过最大可罚款额,是否继续?", clsFineSettle::Focus::Amount},
        {"zero", "0", "B1", 0, {ui::BoxAnswer::Ok}, "实际罚款额为0,请使用免罚!", clsFineSettle::Focus::Amount},
        {"prepaid too small", "6.00", "B1", 2, {ui::BoxAnswer::Ok}, "读者预付款不足(5.99),不能罚款!",
         clsFineSettle::Focus::None},
    };
    addReader("6.00", "5.99", {{"2.00", "TA"}, {"4.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        dialogs.answers = c.answers;
        const clsFineSettle::Outcome o = settle.pay(input(S(c.amount), S(c.bill), c.mode));
        EXPECT_FALSE(o.done);
        EXPECT_EQ(dialogs.lastText(), S(c.message));
        EXPECT_EQ(o.focus, c.focus);
        EXPECT_TRUE(settle.blnReady());
    }
    EXPECT_EQ(journalRows(), 1); // the row of TZ99 only
    EXPECT_EQ(settledRows(), 0);
    EXPECT_EQ(q("select debt_flag || ' ' || obligate from reader where cert_id = 'TZ01'"), "6.00 5.99");
    EXPECT_TRUE(printed.isEmpty());
    // None of the refusals holds the reader or its rows: other desks still
    // write to them.
    expectReaderFree(kReader);

    // The same window pays at the next click.
    dialogs.clear();
    answer({ui::BoxAnswer::Ok});
    EXPECT_TRUE(settle.pay(input("6.00", "B1")).done);
    db().exec("delete from deposit_account_lst where cert_id = 'TZ99'");
}

TEST_F(FineSettleTest, PaymentFindingNoUnpaidTotalRollsBack)
{
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    // The reader's total was cleared elsewhere while the window showed.
    db().exec("update reader set debt_flag = 0 where cert_id = 'TZ01'");
    answer({ui::BoxAnswer::Ok});
    EXPECT_FALSE(settle.pay(input("3.00", "B-D0")).done);
    EXPECT_EQ(dialogs.lastText(), S("读者无未处理超期罚款记录,请检查!"));
    expectReaderFree(kReader);
    EXPECT_EQ(g_dblExceedFine, 3.0); // a refused payment leaves the desk's figure alone
    expectNothingWritten("0.00");
}

TEST_F(FineSettleTest, PrepaidPaymentStartsFromTheBalanceTheDatabaseHolds)
{
    addReader("12.00", "20.00", {{"12.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_EQ(settle.lngObligate(), 2000);
    // A top-up at another desk while the window shows.
    db().exec("update reader set obligate = obligate + 5 where cert_id = 'TZ01'");
    answer({ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("12.00", "B-P1", 2)).done) << dialogs.lastText().toStdString();
    EXPECT_EQ(q("select obligate || ' ' || debt_flag from reader where cert_id = 'TZ01'"), "13.00 0.00");
    EXPECT_EQ(q("select pay_mode || ' ' || amount from deposit_account_lst where cert_id = 'TZ01'"), "2 12.00");
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].obligateAfter, 1300);
}

TEST_F(FineSettleTest, EmptyBillNumberIsTakenFromTheServerClock)
{
    addReader("1.00", "0", {{"1.00", "TA"}});
    db().pinClock("2024-05-01 09:08:07");
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    answer({ui::BoxAnswer::Ok});
    const clsFineSettle::Outcome o = settle.pay(input("1.00", "  ", 1));
    ASSERT_TRUE(o.done);
    EXPECT_EQ(o.billNo, "20240501090807");
    EXPECT_EQ(q("select bill_no || ' ' || fine_date from exceed_fine_lst where cert_id = 'TZ01'"),
              "20240501090807 2024-05-01 09:08:07");
    EXPECT_EQ(q("select bill_no || ' ' || pay_mode || ' ' || oper_date from deposit_account_lst where cert_id = 'TZ01'"),
              "20240501090807 1 2024-05-01 09:08:07");
}

TEST_F(FineSettleTest, WaiverSettlesTicksWithoutChargeAndReloads)
{
    addReader("4.00", "0", {{"1.50", "TA"}, {"2.50", "TA"}});
    db().pinClock("2024-05-01 09:08:07");
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);

    // Declined: the bill box is emptied and nothing is written.
    answer({ui::BoxAnswer::Cancel});
    clsFineSettle::Outcome o = settle.waive(input("", "W-1", 0, S("免")));
    EXPECT_FALSE(o.done);
    EXPECT_EQ(o.billNo, QString());
    EXPECT_EQ(dialogs.lastText(), S("确定要对选中的超期罚款记录进行免罚处理吗？"));
    expectNothingWritten("4.00");

    settle.blnSetTicked(1, false);
    answer({ui::BoxAnswer::Ok});
    o = settle.waive(input("", "W-1", 0, S("免")));
    ASSERT_TRUE(o.done) << dialogs.lastText().toStdString();
    // Each row is stamped with the server's time as it is written.
    EXPECT_EQ(db().column("select debt_deal_flag || ' ' || real_fine_amt || ' ' || coalesce(bill_no, '-') || ' ' || remark "
                          "|| ' ' || coalesce(fine_date, '-') from exceed_fine_lst where cert_id = 'TZ01' "
                          "order by lend_date"),
              QStringList({S("1 0.00 W-1 免 2024-05-01 09:08:07"), S("0 0.00 - 旧2 -")}));
    EXPECT_EQ(q("select rec_type || ' ' || pay_mode || ' ' || amount from deposit_account_lst where cert_id = 'TZ01'"),
              "6 0 1.50");
    EXPECT_EQ(q("select job_type || ' ' || kind || ' ' || amount from wkr_job_qty"), "419 1 1.50");
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "2.50");
    EXPECT_EQ(g_dblExceedFine, 2.5);
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed[0].kind, FineReceipt::Kind::Waived);

    // Settled, the list is read anew before anything more; then the rest shows.
    EXPECT_FALSE(settle.blnWaiveEnabled());
    EXPECT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_EQ(settle.rows().size(), 1);
    EXPECT_EQ(settle.lngTotal(), 250);
    settle.release();
}

TEST_F(FineSettleTest, WaiverNeedsItsRightFirst)
{
    addReader("1.00", "0", {{"1.00", "TA"}});
    asWorker(QStringLiteral("0009"), {QStringLiteral("4005")});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_FALSE(settle.waive(input("", "W-2")).done);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), S("您没有使用该功能的权限！"));
    expectNothingWritten("1.00");
}

TEST_F(FineSettleTest, FailureMidwayLeavesNoHalfPaymentAndNoReceipt)
{
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    // The reader update fails after the journal and the fine rows were written.
    db().exec("alter procedure lt_upd_reader_new rename to lt_upd_reader_new_away");
    answer({ui::BoxAnswer::Ok});
    RawConnection probe;
    bool heldAtError = false;
    clsFineSettle::Outcome o;
    {
        testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
            if (box.icon == ui::BoxIcon::Error)
                heldAtError = !probe.exec("select 1 from reader where cert_id = 'TZ01' for update nowait");
        });
        o = settle.pay(input("3.00", "B-F1"));
    }
    db().exec("alter procedure lt_upd_reader_new_away rename to lt_upd_reader_new");
    EXPECT_FALSE(o.done);
    EXPECT_FALSE(heldAtError); // rolled back before the error shows
    expectReaderFree(kReader);
    expectNothingWritten("3.00");

    // The fault gone, the next click locks and checks the rows anew and pays
    // them once.
    answer({ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("3.00", "B-F1")).done) << dialogs.lastText().toStdString();
    EXPECT_EQ(journalRows(), 1);
    EXPECT_EQ(settledRows(), 2);
    EXPECT_EQ(printed.size(), 1);

    // Closing after a click left work pending never commits it.
    ASSERT_EQ(LIB_DB_BeginTrans(), 0);
    ASSERT_EQ(LIB_DB_CallProc("INSERT_DEPOSIT_ACCOUNT_LST 'TZ01','5','0','1','2024-01-01 00:00:00','B-F2','SUPR','3.00'"), 0);
    settle.release();
    EXPECT_EQ(journalRows(), 1);
    expectReaderFree(kReader);
}

TEST_F(FineSettleTest, FailedWorkloadCounterDoesNotStopTheSettlement)
{
    // The counter of one job refuses its row; the settlement commits all the
    // same and the counters after the failed one still count.
    const struct {
        const char* name;
        bool paying;
        const char* refused;
        QStringList counted;
    } cases[] = {
        {"pay with a reduction, fines paid refused", true, "415", {"419 2 2 0.50"}},
        {"pay with a reduction, fines let go refused", true, "419", {"415 2 2 2.50"}},
        {"waive", false, "419", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
        ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
        db().exec(QStringLiteral("alter table wkr_job_qty add constraint no_job_test check (job_type <> '%1')")
                      .arg(QLatin1String(c.refused)));
        dialogs.clear();
        answer({ui::BoxAnswer::Ok});
        const clsFineSettle::Outcome o = c.paying ? settle.pay(input("2.50", "B-J")) : settle.waive(input("", "W-J"));
        db().exec("alter table wkr_job_qty drop constraint no_job_test");
        EXPECT_TRUE(o.done) << dialogs.lastText().toStdString();
        EXPECT_EQ(dialogs.shown.size(), 1); // the question only
        EXPECT_FALSE(LIB_DB_InTrans());
        EXPECT_EQ(settledRows(), 2);
        EXPECT_EQ(journalRows(), c.paying ? 2 : 1);
        EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
        EXPECT_EQ(db().column("select job_type || ' ' || kind || ' ' || volume || ' ' || amount from wkr_job_qty"),
                  c.counted);
        EXPECT_EQ(printed.size(), 1);
        printed.clear();
        removeTestReaders();
    }
}

TEST_F(FineSettleTest, TwoDesksOpenTheSameFinesAndOnlyTheFirstPays)
{
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    // Both windows read the rows; the second one's desk read the reader's
    // unpaid total before the first paid.
    clsFineSettle second;
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    ASSERT_EQ(second.load(kReader), clsFineSettle::LoadResult::Ready);
    EXPECT_TRUE(second.blnPayEnabled());
    answer({ui::BoxAnswer::Ok});
    ASSERT_TRUE(settle.pay(input("3.00", "B-A")).done) << dialogs.lastText().toStdString();

    g_dblExceedFine = 3.0;
    answer({ui::BoxAnswer::Ok});
    const clsFineSettle::Outcome o = second.pay(input("3.00", "B-B"));
    EXPECT_FALSE(o.done);
    EXPECT_TRUE(o.reloaded);
    EXPECT_EQ(o.billNo, "B-B");
    EXPECT_EQ(dialogs.lastText(), strGetMsg(QStringLiteral("ELT286")));
    // The second window now shows the fines as they stand: none left.
    EXPECT_EQ(second.lastLoad(), clsFineSettle::LoadResult::Ready);
    EXPECT_TRUE(second.rows().isEmpty());
    EXPECT_FALSE(second.blnPayEnabled());
    EXPECT_EQ(g_dblExceedFine, 0.0);
    expectPaidOnce("B-A");
    EXPECT_EQ(printed.size(), 1);
    expectReaderFree(kReader);
}

TEST_F(FineSettleTest, PaymentAtAnotherDeskWhileThisClickWaitsIsNotPaidTwice)
{
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    // The other desk pays the same rows and holds them while this desk's
    // click waits for the reader row, then commits.
    RawConnection other;
    ASSERT_TRUE(other.exec("begin"));
    otherDeskPays(other);
    std::thread commitLater = commitSoon(other);
    answer({ui::BoxAnswer::Ok});
    QStringList inTransaction; // boxes shown while a transaction was open
    clsFineSettle::Outcome o;
    {
        testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
            if (LIB_DB_InTrans())
                inTransaction << box.text;
        });
        o = settle.pay(input("3.00", "B-A"));
    }
    commitLater.join();
    EXPECT_TRUE(inTransaction.isEmpty()) << inTransaction.join("; ").toStdString();
    EXPECT_FALSE(o.done);
    EXPECT_TRUE(o.reloaded);
    EXPECT_EQ(dialogs.lastText(), strGetMsg(QStringLiteral("ELT286")));
    EXPECT_TRUE(settle.rows().isEmpty());
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(q("select count(*) from wkr_job_qty"), "0");
    expectPaidOnce("B-B");
    expectReaderFree(kReader);
}

TEST_F(FineSettleTest, TickedFinesChangedElsewhereAreNotSettled)
{
    // What another desk did to the ticked rows after this window read them.
    const struct {
        const char* name;
        bool paying;
        const char* change;
    } cases[] = {
        {"amount changed, pay", true, "update exceed_fine_lst set fine_amt = 1.50 where prop_no = 'TP1'"},
        {"amount changed, waive", false, "update exceed_fine_lst set fine_amt = 1.50 where prop_no = 'TP1'"},
        {"settled, waive", false, "update exceed_fine_lst set debt_deal_flag = '1' where prop_no = 'TP2'"},
        {"removed, pay", true, "delete from exceed_fine_lst where prop_no = 'TP2'"},
    };
    const auto fines = [this] {
        return q("select string_agg(prop_no || fine_amt || debt_deal_flag, ',' order by prop_no) "
                 "from exceed_fine_lst where cert_id = 'TZ01'");
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
        ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
        const QString before = fines();
        db().exec(QString::fromUtf8(c.change));
        const QString changed = fines();
        ASSERT_NE(before, changed);
        dialogs.clear();
        answer({ui::BoxAnswer::Ok});
        const clsFineSettle::Outcome o = c.paying ? settle.pay(input("3.00", "B-C")) : settle.waive(input("", "W-C"));
        EXPECT_FALSE(o.done);
        EXPECT_TRUE(o.reloaded);
        EXPECT_EQ(dialogs.lastText(), strGetMsg(QStringLiteral("ELT286")));
        // Nothing written; the list shows the rows as they stand now.
        EXPECT_EQ(fines(), changed);
        EXPECT_EQ(journalRows(), 0);
        EXPECT_EQ(q("select count(*) from wkr_job_qty"), "0");
        EXPECT_TRUE(printed.isEmpty());
        Cents open = 0;
        for (const auto& r : settle.rows())
            open += r.fine;
        EXPECT_EQ(settle.lngTotal(), open);
        EXPECT_EQ(lngMoneyFromDouble(q("select sum(fine_amt) from exceed_fine_lst where cert_id = 'TZ01' "
                                       "and debt_deal_flag = '0'")
                                         .toDouble()),
                  open);
        expectReaderFree(kReader);
        settle.release();
        removeTestReaders();
    }
}

TEST_F(FineSettleTest, TypedBillNumberTakenMeanwhileRollsBackAtOnce)
{
    addReader("2.00", "0", {{"2.00", "TA"}});
    addReader("1.00", "0", {{"1.00", "TA"}}, QStringLiteral("TZ02"));
    g_dblExceedFine = 2.0;
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);

    // The other desk writes the same bill number and commits while this desk
    // is inside its payment (after its own check of the number).
    RawConnection other;
    ASSERT_TRUE(other.exec("begin"));
    ASSERT_TRUE(other.exec("call insert_deposit_account_lst('TZ02','5','0','1','2024-05-01 10:00:00','B-SAME','0002',"
                           "'1.00')"));
    std::thread commitLater = commitSoon(other);
    // No box is shown while the reader row is held.
    RawConnection probe;
    QStringList heldAtBox;
    testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
        if (!probe.exec("select 1 from reader where cert_id = 'TZ01' for update nowait"))
            heldAtBox << box.text;
    });
    answer({ui::BoxAnswer::Ok});
    const clsFineSettle::Outcome o = settle.pay(input("2.00", "B-SAME"));
    commitLater.join();
    EXPECT_TRUE(heldAtBox.isEmpty()) << heldAtBox.join("; ").toStdString();

    EXPECT_FALSE(o.done);
    EXPECT_EQ(dialogs.lastText(), S("票据号已存在!"));
    EXPECT_EQ(o.focus, clsFineSettle::Focus::BillNo);
    EXPECT_EQ(q("select count(*) from deposit_account_lst where bill_no = 'B-SAME'"), "1");
    EXPECT_EQ(settledRows(), 0);
    EXPECT_TRUE(printed.isEmpty());
    // Rolled back at once: the reader row and the fine rows are free for other
    // desks while the window stays open.
    expectReaderFree(kReader);
    // The next click, with another number, locks and checks anew and pays.
    answer({ui::BoxAnswer::Ok});
    EXPECT_TRUE(settle.pay(input("2.00", "B-OTHER")).done);
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
}

TEST_F(FineSettleTest, RefusedWaiverRollsBackAndFreesTheReaderAndItsCards)
{
    addReader("2.00", "0", {{"2.00", "TA"}});
    db().exec("insert into reader (cert_id, name) values ('TZ99', 'x')");
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    // The number is taken by another desk after this desk's check.
    RawConnection other;
    ASSERT_TRUE(other.exec("begin"));
    ASSERT_TRUE(other.exec("call insert_deposit_account_lst('TZ99','6','0','1','2024-05-01 10:00:00','W-SAME','0002',"
                           "'1.00')"));
    std::thread commitLater = commitSoon(other);
    answer({ui::BoxAnswer::Ok});
    const clsFineSettle::Outcome o = settle.waive(input("", "W-SAME"));
    commitLater.join();
    EXPECT_FALSE(o.done);
    EXPECT_EQ(dialogs.lastText(), strGetMsg(QStringLiteral("ELT179")));
    expectReaderFree(kReader);
    EXPECT_EQ(settledRows(), 0);
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "2.00");
}

TEST_F(FineSettleTest, LockHeldElsewhereAtTheClickEndsWithinTheLockTimeOut)
{
    // A second desk holds a row the click must lock: the click waits within
    // the lock time-out, then says so and writes nothing. Freed, the same
    // window settles.
    const struct {
        const char* name;
        bool paying;
        const char* held;
    } cases[] = {
        {"reader row, pay", true, "select 1 from reader where cert_id = 'TZ01' for update"},
        {"ticked fine row, pay", true, "select 1 from exceed_fine_lst where prop_no = 'TP2' for update"},
        {"ticked fine row, waive", false, "select 1 from exceed_fine_lst where prop_no = 'TP1' for update"},
        {"card, waive", false, "select 1 from reader_cert where cert_id = 'TZ01' for update"},
    };
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    ASSERT_EQ(LIB_DB_Execute("set lock_timeout = '300ms'"), 0);
    RawConnection other;
    QStringList inTransaction; // boxes shown while a transaction was open
    testsupport::BoxWatch watch(dialogs, [&](const ui::BoxRequest& box) {
        if (LIB_DB_InTrans())
            inTransaction << box.text;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(other.exec("begin"));
        ASSERT_TRUE(other.exec(QString::fromUtf8(c.held)));
        dialogs.clear();
        answer({ui::BoxAnswer::Ok});
        const clsFineSettle::Outcome o = c.paying ? settle.pay(input("3.00", "B-L1")) : settle.waive(input("", "W-L1"));
        EXPECT_TRUE(inTransaction.isEmpty()) << inTransaction.join("; ").toStdString();
        EXPECT_FALSE(o.done);
        EXPECT_FALSE(o.reloaded);
        EXPECT_EQ(dialogs.lastText(), S("该记录已经被锁定!"));
        EXPECT_FALSE(LIB_DB_InTrans());
        ASSERT_TRUE(other.exec("rollback"));
        expectNothingWritten("3.00");
        EXPECT_TRUE(settle.blnReady());
    }
    LIB_DB_Execute("reset lock_timeout");
    answer({ui::BoxAnswer::Ok});
    EXPECT_TRUE(settle.pay(input("3.00", "B-L1")).done) << dialogs.lastText().toStdString();
}

TEST_F(FineSettleTest, FineAddedWhileTheCorrectionWaitsIsKeptInTheStoredTotal)
{
    // The desk read 7.00 with the reader; the open rows hold 7.50.
    addReader("7.00", "0", {{"3.00", "TA"}, {"4.50", "TA"}});
    // Another desk adds a fine of 1.00 and raises the stored total, and
    // commits while this desk waits for the reader row.
    RawConnection other;
    ASSERT_TRUE(other.exec("begin"));
    ASSERT_TRUE(other.exec("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, "
                           "time_unit, fine_amt, debt_deal_flag, remark, location_f) values ('TP9', 'TZ01', "
                           "'2024-03-01 10:00:00', '2024-03-02 10:00:00', '2024-03-03 10:00:00', 'D', 1.00, '0', '', "
                           "'TA')"));
    ASSERT_TRUE(other.exec("update reader set debt_flag = debt_flag + 1.00 where cert_id = 'TZ01'"));
    std::thread commitLater = commitSoon(other);
    EXPECT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Corrected);
    commitLater.join();
    EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "8.50");
    EXPECT_EQ(q("select sum(fine_amt) from exceed_fine_lst where cert_id = 'TZ01' and debt_deal_flag = '0'"), "8.50");
    EXPECT_EQ(g_dblExceedFine, 8.5);
    EXPECT_FALSE(LIB_DB_InTrans());
}

TEST_F(FineSettleTest, ClockBillNumbersOfOneSecondAreMadeUnique)
{
    db().pinClock("2024-05-01 09:08:07");
    db().exec("insert into reader (cert_id, name) values ('TZ99', 'x')");
    // Another desk paid in this second, and one more also took "-1C" for a
    // reduction; a typed number equal to a taken one is still refused.
    db().exec("insert into deposit_account_lst (cert_id, rec_type, pay_mode, oper_date, bill_no, amount) values "
              "('TZ99', '5', '0', '2024-05-01 09:08:07', '20240501090807', 1.00), "
              "('TZ99', '6', '0', '2024-05-01 09:08:07', '20240501090807-1C', 1.00)");
    addReader("3.00", "0", {{"1.00", "TA"}, {"2.00", "TA"}});
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    clsFineSettle::Outcome o = settle.pay(input("1.00", "20240501090807"));
    EXPECT_FALSE(o.done);
    EXPECT_EQ(dialogs.lastText(), S("票据号已存在!"));

    // With a reduction, "-1" is passed over for its taken "C" number.
    settle.blnSetTicked(1, false);
    answer({ui::BoxAnswer::Ok});
    o = settle.pay(input("0.50", ""));
    ASSERT_TRUE(o.done) << dialogs.lastText().toStdString();
    EXPECT_EQ(o.billNo, "20240501090807-2");
    EXPECT_EQ(db().column("select bill_no from deposit_account_lst where cert_id = 'TZ01' order by bill_no"),
              QStringList({"20240501090807-2", "20240501090807-2C"}));
    EXPECT_EQ(q("select bill_no from exceed_fine_lst where cert_id = 'TZ01' and debt_deal_flag = '1'"),
              "20240501090807-2");

    // A waiver in the same second while another desk's payment of that
    // number is not yet committed: it waits, then takes the next number.
    ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
    RawConnection other;
    ASSERT_TRUE(other.exec("begin"));
    ASSERT_TRUE(other.exec("call insert_deposit_account_lst('TZ99','5','0','1','2024-05-01 09:08:07',"
                           "'20240501090807-1','0002','1.00')"));
    std::thread commitLater = commitSoon(other);
    answer({ui::BoxAnswer::Ok});
    o = settle.waive(input("", " "));
    commitLater.join();
    ASSERT_TRUE(o.done) << dialogs.lastText().toStdString();
    EXPECT_EQ(o.billNo, "20240501090807-3");
    EXPECT_EQ(q("select count(*) from deposit_account_lst where bill_no like '20240501090807%'"), "6");
    db().exec("delete from deposit_account_lst where cert_id = 'TZ99'");
}

TEST_F(FineSettleTest, SettlementCostsTheSameRoundTripsHoweverManyFines)
{
    // The locks, the re-check's reads and the server's date travel with the
    // transaction's begin, every write with the commit: a click costs the
    // same for one fine as for twenty. A number made from the clock costs the
    // clock's reading and the look-up of its second instead of the count of
    // a typed one.
    const struct {
        const char* name;
        int fines;
        bool paying;
        const char* amount; // of fines of 1.00 each
        const char* bill;
        long budget;
    } cases[] = {
        {"pay one", 1, true, "1.00", "B-R1", 3},
        {"pay twenty", 20, true, "20", "B-R20", 3},
        {"pay three with a reduction, its C number counted too", 3, true, "2.50", "B-R3", 4},
        {"pay twenty with a reduction, number from the clock", 20, true, "19", "", 4},
        {"waive one", 1, false, "", "W-R1", 3},
        {"waive twenty", 20, false, "", "W-R20", 3},
        {"waive twenty, number from the clock", 20, false, "", "", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QList<QPair<QString, QString>> fines;
        for (int i = 0; i < c.fines; ++i)
            fines.append({QStringLiteral("1.00"), QStringLiteral("TA")});
        addReader(QString::number(c.fines) + QStringLiteral(".00"), "0", fines);
        ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready);
        dialogs.clear();
        answer({ui::BoxAnswer::Ok});
        clsFineSettle::Outcome o;
        const long trips = testsupport::roundTripsOf([&] {
            o = c.paying ? settle.pay(input(c.amount, c.bill)) : settle.waive(input("", c.bill));
        });
        EXPECT_TRUE(o.done) << dialogs.lastText().toStdString();
        EXPECT_LE(trips, c.budget);
        EXPECT_EQ(settledRows(), c.fines);
        EXPECT_EQ(q("select debt_flag from reader where cert_id = 'TZ01'"), "0.00");
        removeTestReaders();
    }
}

} // namespace

// The demo reader with fines at both desks' stacks: every row names its title,
// read from the catalogue record of the copy.
TEST_F(FineSettleTest, DemoFinesShowTheTitlesOfTheirCopies)
{
    ASSERT_EQ(intInitMarcIdx(), 0); // the title fields, read at log-in
    g_strLocation = QStringLiteral("D1");
    g_dblExceedFine = 8.0; // the unpaid total the desk read with the reader
    ASSERT_EQ(settle.load(QStringLiteral("DZ0002")), clsFineSettle::LoadResult::Ready);
    ASSERT_EQ(settle.rows().size(), 4);
    for (const auto& row : settle.rows())
        EXPECT_EQ(row.title, S("数据结构与算法:C语言描述")) << row.propNo.toStdString();
    settle.cancel();
}

// Opening the fine window reads the fines, the reader and the records of
// every fine's title together: one round trip however many fines, each row
// with the title its record gives.
TEST_F(FineSettleTest, OpeningCostsOneRoundTripHoweverManyFines)
{
    ASSERT_EQ(intInitMarcIdx(), 0);
    for (const int n : {1, 3, 20}) {
        SCOPED_TRACE(n);
        addReader(QString::number(n) + QStringLiteral(".00"), "0", {});
        db().exec(QStringLiteral("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, "
                                 "time_unit, fine_amt, debt_deal_flag, location_f) "
                                 "select prop_no, 'TZ01', '2024-01-01 10:00:00', '2024-02-01 10:00:00', "
                                 "'2024-02-05 10:00:00', 'D', 1, '0', 'TA' from (select prop_no from item "
                                 "where marc_rec_no is not null order by prop_no limit %1) p")
                      .arg(n));
        const long trips =
            testsupport::roundTripsOf([&] { ASSERT_EQ(settle.load(kReader), clsFineSettle::LoadResult::Ready); });
        EXPECT_LE(trips, 1);
        ASSERT_EQ(settle.rows().size(), q("select count(*) from exceed_fine_lst where cert_id = 'TZ01'").toInt());
        EXPECT_GE(settle.rows().size(), std::min(n, 10));
        EXPECT_EQ(settle.strRedrName(), S("测试读者"));
        for (const auto& row : settle.rows()) {
            g_recMarc = strReadMarc(row.marcRecNo);
            EXPECT_EQ(row.title, strGetMarcTitle(g_recMarc, 0)) << row.propNo.toStdString();
            EXPECT_FALSE(row.title.isEmpty()) << row.propNo.toStdString();
        }
        settle.cancel();
        removeTestReaders();
    }
}
