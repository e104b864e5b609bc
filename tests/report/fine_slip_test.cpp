// Overdue-fine slips at the desk: a committed payment in the fine window opens
// the slip window on its settled rows, with nothing locked; a waiver, a
// payment that does not commit and the switch at 0 open nothing.
#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basMarcIdx.h"
#include "platform/ui/Grid.h"
#include "reader/ReaderContext.h"
#include "reader/frmLendFine.h"
#include "report/FineSlips.h"
#include "report/SlipText.h"
#include "report/frmPrtABF.h"
#include "tests/reader/FineDeskFixture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString kReader = QStringLiteral("DZ0002"); // card 88000002

class FineSlip : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intLoadDeskLocation(3), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        g_strLocation = QStringLiteral("D1");
        g_strWkrNo = QStringLiteral("SUPR");
        subInstallFineSlips();
        report::slipSources().library = [] { return QStringLiteral("总馆"); };
    }
    void TearDown() override {
        g_intPrtFineSlip = 0;
        g_fnPrintFineReceipt = nullptr;
        report::resetSlipSources();
        frmLendFine::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DatabaseTest::TearDown();
    }

    // In the fine window: only the fines of the copies `props` chosen (3.00
    // together), then pay (or waive) under `bill`.
    int settle(QDialog* d, const QString& bill, bool waive, const QStringList& props) {
        auto* f = qobject_cast<frmLendFine*>(d);
        if (!f) return 0;
        const auto& rows = f->settle().rows();
        for (int i = 0; i < rows.size(); ++i)
            f->spdFine->setRowSelected(i + 1, props.contains(rows[i].propNo));
        EXPECT_EQ(f->txtTrueFineExceed->text(), "3.00");
        f->txtBillNo->setText(bill);
        dialogs.answers.append(ui::BoxAnswer::Ok);
        if (waive)
            f->cmdCancelExceed_Click();
        else
            f->cmdOk_Click();
        return 1;
    }

    // Opens the fine window on the demo reader and settles there; the slip
    // windows opened meanwhile are recorded.
    void run(const QString& bill, bool waive = false,
             const QStringList& props = {QStringLiteral("P500001"), QStringLiteral("P500002")}) {
        dialogs.dialogHandler = [this, bill, waive, props](QDialog* d) {
            if (auto* s = qobject_cast<frmPrtABF*>(d)) {
                slips.append(s->grid().textMatrix(2, 1) + "\n" + s->grid().textMatrix(3, 1));
                title = s->windowTitle();
                addOrder = s->m_iAddOrder;
                cols = s->m_Cols;
                records = s->records();
                rowsShown = s->grid().visibleDataRows().size();
                expectReaderFree(kReader); // the payment is committed: nothing is held
                return 1;
            }
            return settle(d, bill, waive, props);
        };
        subOpenLendFine(nullptr, kReader, 8.0);
    }

    QStringList slips;
    QString title;
    int addOrder = 0, cols = 0;
    qsizetype rowsShown = 0;
    ReportArray records;
};

TEST_F(FineSlip, OnlyACommittedPaymentPrintsSlips) {
    // The switch stays 0 in the program: a payment prints nothing.
    EXPECT_EQ(g_intPrtFineSlip, 0);
    FineReceipt paid;
    paid.rows.resize(1);
    subPrintFineSlips(paid);
    EXPECT_FALSE(frmPrtABF::exists());

    g_intPrtFineSlip = 1;
    // A waiver.
    run(QStringLiteral("SLIP-W"), true, {QStringLiteral("P500006")});
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where bill_no = 'SLIP-W'"), "1");
    EXPECT_TRUE(slips.isEmpty());
    // A bill number the journal holds already: refused, nothing committed.
    dialogs.clear();
    run(QStringLiteral("20250101000001"));
    EXPECT_TRUE(slips.isEmpty());
    EXPECT_FALSE(shownTexts().isEmpty());
    EXPECT_EQ(
        db().scalar("select count(*) from exceed_fine_lst where cert_id = 'DZ0002' and debt_deal_flag = '0'"),
        "3");

    // The payment: one slip per settled fine, after the commit.
    dialogs.clear();
    run(QStringLiteral("SLIP-01"));
    ASSERT_EQ(slips.size(), 1) << shownTexts().join("\n").toStdString();
    EXPECT_EQ(
        db().scalar("select count(*) from exceed_fine_lst where cert_id = 'DZ0002' and bill_no = 'SLIP-01'"),
        "2");
    EXPECT_EQ(title, "打印预览－超期罚款单");
    EXPECT_EQ(addOrder, 1);
    EXPECT_EQ(cols, 1);
    EXPECT_EQ(rowsShown, 2);
    ASSERT_EQ(records.lastRow(), 2);
    EXPECT_EQ(records.lastCol(1), 16);
    QStringList charged;
    for (int r = 1; r <= 2; ++r) {
        EXPECT_EQ(records.cell(r, 16), "ExceedFine");
        EXPECT_EQ(records.cell(r, 13), kReader);
        EXPECT_EQ(records.cell(r, 12), "李四");
        EXPECT_EQ(records.cell(r, 14), "SLIP-01");
        EXPECT_EQ(records.cell(r, 15), "SUPR");
        EXPECT_EQ(records.cell(r, 8), "总馆书库");
        EXPECT_FALSE(records.cell(r, 4).isEmpty());
        EXPECT_FALSE(records.cell(r, 9).isEmpty());
        charged << records.cell(r, 11);
    }
    charged.sort();
    EXPECT_EQ(charged, QStringList({"1.00", "2.00"}));
    const QString text = slips[0];
    EXPECT_EQ(text.count("【票 据 号】：SLIP-01"), 2);
    EXPECT_TRUE(text.contains("【实罚款额】：1.00"));
    EXPECT_TRUE(text.contains("【实罚款额】：2.00"));
    EXPECT_EQ(text.count(QString(26, u' ') + "SUPR\r\n"), 2);
    EXPECT_FALSE(frmPrtABF::exists());
}

} // namespace
