// Paying and waiving fines with the connection lost at every statement (see
// tests/support/LostConnection.h) and meeting the reader row another desk
// holds (see tests/support/LockWait.h).

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "reader/ReaderContext.h"
#include "reader/clsFineSettle.h"
#include "tests/reader/FineDeskFixture.h"
#include "tests/support/BadInput.h"
#include "tests/support/LockWait.h"

namespace {

class FineWriteActionsTest : public FineDeskTest {
protected:
    void SetUp() override {
        FineDeskTest::SetUp();
        if (HasFatalFailure()) return;
        g_strWkrNo = QStringLiteral("SUPR");
        g_varAuthList = DBResultSet(0, 1);
    }

    // Reader TZ01 owing 3.00 in two fines of the desk's stacks.
    void prepare() {
        db().exec(
            "insert into reader (cert_id, name, debt_flag, obligate) values ('TZ01', '测试读者', 3.00, 0)");
        db().exec("insert into reader_cert (redr_cert_id, cert_id, cert_flag) values ('TZ01C', 'TZ01', '1')");
        db().exec(
            "insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, "
            "fine_amt, debt_deal_flag, remark, location_f) values "
            "('TP1', 'TZ01', '2024-01-01 10:00:00', '2024-02-01 10:00:00', '2024-02-05 10:00:00', 'D', 1.00, "
            "'0', '旧1', 'TA'), "
            "('TP2', 'TZ01', '2024-01-02 10:00:00', '2024-02-01 10:00:00', '2024-02-05 10:00:00', 'D', 2.00, "
            "'0', '旧2', 'TA')");
        g_strCertID = QStringLiteral("TZ01");
        g_dblExceedFine = 3.0;
        ASSERT_EQ(settle.load(QStringLiteral("TZ01")), clsFineSettle::LoadResult::Ready);
    }

    void check(const QString& name,
               std::function<clsFineSettle::Outcome(const clsFineSettle::PayInput&)> settleWith,
               const QString& amount) {
        clsFineSettle::PayInput in;
        in.amountText = amount;
        in.billNo = QStringLiteral("B-LOST");
        in.remark = QStringLiteral("已收");
        const testsupport::WriteAction action{name, [this] { prepare(); },
                                              [=] { return settleWith(in).done ? 0 : -1; },
                                              [=, this] {
                                                  settle.load(QStringLiteral("TZ01"));
                                                  return settleWith(in).done ? 0 : -1;
                                              }};
        const auto fresh = [this] {
            removeTestReaders();
            db().pinClock(QStringLiteral("2026-05-01 10:00:00"));
        };
        testsupport::checkEveryStatementLost(db(), dialogs, action, fresh);
        testsupport::checkLockWait(db(), dialogs, action, fresh,
                                   QStringLiteral("select 1 from reader where cert_id = 'TZ01' for update"));
    }

    clsFineSettle settle;
};

TEST_F(FineWriteActionsTest, PayingFinesWithAReduction) {
    check(
        "paying", [this](const clsFineSettle::PayInput& in) { return settle.pay(in); },
        QStringLiteral("2.50"));
}

TEST_F(FineWriteActionsTest, WaivingFines) {
    check(
        "waiving", [this](const clsFineSettle::PayInput& in) { return settle.waive(in); }, QString());
}

TEST_F(FineWriteActionsTest, BadAmountsPayNothing) {
    removeTestReaders();
    prepare();
    testsupport::expectOrdinaryAnswers(db(), dialogs, "amount",
                                       [this](const QString& text) {
                                           settle.load(QStringLiteral("TZ01"));
                                           clsFineSettle::PayInput in;
                                           in.amountText = text;
                                           dialogs.answers = {ui::BoxAnswer::Ok};
                                           return settle.pay(in).done ? 0 : -1;
                                       },
                                       {QStringLiteral("实罚款额输入错误!")});
}

// Bad input (tests/support/BadInput.h) as the bill number and the remark of a
// payment and a waiver: settled without a database error under the bill number
// typed (trimmed, without NULs), or one made from the clock when that is
// empty, never under an empty one.
TEST_F(FineWriteActionsTest, BadBillNumbersAndRemarks) {
    const struct {
        const char* name;
        std::function<clsFineSettle::Outcome(clsFineSettle::PayInput&)> settle;
    } actions[] = {
        {"paying",
         [this](clsFineSettle::PayInput& in) {
             in.amountText = QStringLiteral("3.00");
             return settle.pay(in);
         }},
        {"waiving", [this](clsFineSettle::PayInput& in) { return settle.waive(in); }},
    };
    for (const auto& action : actions) {
        for (bool asBill : {true, false}) {
            for (const QString& t : testsupport::badTexts()) {
                SCOPED_TRACE(std::string(action.name) + (asBill ? " bill " : " remark ") +
                             t.left(20).toUtf8().toHex().toStdString());
                removeTestReaders();
                prepare();
                dialogs.clear();
                dialogs.answers = {ui::BoxAnswer::Ok, ui::BoxAnswer::Ok};
                clsFineSettle::PayInput in;
                (asBill ? in.billNo : in.remark) = t;
                const clsFineSettle::Outcome out = action.settle(in);
                EXPECT_EQ(g_intErrKind, 0);
                EXPECT_FALSE(LIB_DB_InTrans());
                ASSERT_TRUE(out.done) << testsupport::boxTexts(dialogs).join('|').toStdString();
                const QStringList bills = db().column("select distinct coalesce(bill_no, '<null>') from "
                                                      "deposit_account_lst where cert_id = 'TZ01'");
                ASSERT_EQ(bills.size(), 1);
                EXPECT_EQ(bills[0], out.billNo);
                EXPECT_FALSE(out.billNo.trimmed().isEmpty());
                const QString typed = QString(in.billNo).remove(QChar(0)).trimmed();
                if (!typed.isEmpty()) {
                    EXPECT_EQ(out.billNo, typed);
                }
            }
        }
    }
}

} // namespace
