// The fine settlement window over the settlement logic: what it shows after
// filling, row clicks, the bill box, pay and cancel, and the main window's
// opener.

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMsg.h"
#include "platform/ui/Grid.h"
#include "reader/ReaderContext.h"
#include "reader/frmLendFine.h"
#include "tests/reader/FineDeskFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

class FrmLendFineTest : public FineDeskTest {
protected:
    void SetUp() override
    {
        FineDeskTest::SetUp();
        if (HasFatalFailure())
            return;
        g_strWkrNo = QStringLiteral("SUPR");
        db().exec("insert into reader (cert_id, name, debt_flag, obligate) values ('TZ11', '王测试', 5.00, 7.50)");
        db().exec("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, "
                  "fine_amt, debt_deal_flag, remark, location_f) values "
                  "('TP1', 'TZ11', '2008-01-01 10:00:00', '2008-03-01 10:59:00', '2008-03-05 12:01:00', 'D', 3.00, "
                  "'0', '甲', 'TA'), "
                  "('TP2', 'TZ11', '2008-01-02 10:00:00', '2008-03-01 10:59:00', '2008-03-01 12:01:00', 'H', 2.00, "
                  "'0', '乙', 'TB')");
        g_strCertID = QStringLiteral("TZ11");
        g_dblExceedFine = 5.0;
    }

    void TearDown() override
    {
        frmLendFine::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FineDeskTest::TearDown();
    }

    // A click on a data row of the grid, as the user makes it.
    static void clickRow(ui::SpreadGrid* grid, int row)
    {
        const QRect r = grid->visualItemRect(grid->item(row - 1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST_F(FrmLendFineTest, FillShowsTotalsTicksAndRefusedRows)
{
    frmLendFine* f = frmLendFine::form();
    f->resize(900, 500);
    f->show();
    ASSERT_EQ(f->initShowForm(), 0);
    EXPECT_EQ(f->windowTitle(), S("超期罚款(王测试：TZ11)"));
    EXPECT_EQ(f->txtTotalFine->text(), "5.00");
    EXPECT_EQ(f->txtAllowFine->text(), "3.00");
    EXPECT_EQ(f->txtTrueFineExceed->text(), "3.00");
    EXPECT_EQ(f->lblOB->text(), "7.50");
    EXPECT_EQ(f->settle().intCount(), 1);
    EXPECT_EQ(f->settle().lngMaxFine(), 305);
    EXPECT_EQ(f->settle().varFine().rowCount(), 2);

    ui::SpreadGrid* g = f->spdFine;
    EXPECT_EQ(g->getText(0, 1), S("1★"));
    EXPECT_EQ(g->getText(0, 2), S("2"));
    EXPECT_EQ(g->getText(4, 1), "2008-01-01");
    EXPECT_EQ(g->getText(6, 1), S("4天"));
    EXPECT_EQ(g->getText(4, 2), "2008-01-02 10:00:00");
    EXPECT_EQ(g->getText(6, 2), S("2小时"));
    EXPECT_EQ(g->getText(7, 2), "2.00");
    EXPECT_EQ(g->getText(8, 2), S("测试分馆"));
    // Every cell shows whole: titles and dates are not cut off.
    for (int r = 0; r < g->rowCount(); ++r) {
        for (int k = 0; k < g->columnCount(); ++k) {
            if (const QTableWidgetItem* item = g->item(r, k)) {
                EXPECT_GE(g->columnWidth(k), g->fontMetrics().horizontalAdvance(item->text()))
                    << item->text().toStdString();
            }
        }
    }
    EXPECT_EQ(g->rowForeColor(2), QColor(255, 0, 0));
    EXPECT_TRUE(g->isRowSelected(1));
    EXPECT_FALSE(g->isRowSelected(2));
    EXPECT_TRUE(f->cmdOk->isEnabled());
    EXPECT_TRUE(f->cmdCancelExceed->isEnabled());
    EXPECT_FALSE(f->txtTrueFineExceed->isReadOnly());
    // While the window shows, nothing of the reader is held.
    expectReaderFree(QStringLiteral("TZ11"));

    // Clicking the refused row leaves it unticked and says why.
    clickRow(g, 2);
    EXPECT_FALSE(g->isRowSelected(2));
    EXPECT_EQ(dialogs.lastText(), S("本地无权处理 测试分馆 的超期罚款"));
    EXPECT_EQ(f->txtAllowFine->text(), "3.00");

    // Unticking the last ticked row disables both settlement buttons.
    clickRow(g, 1);
    EXPECT_FALSE(g->isRowSelected(1));
    EXPECT_EQ(f->settle().intCount(), 0);
    EXPECT_EQ(f->txtAllowFine->text(), "0.00");
    EXPECT_EQ(g->getText(0, 1), S("1"));
    EXPECT_FALSE(f->cmdOk->isEnabled());
    EXPECT_FALSE(f->cmdCancelExceed->isEnabled());

    // The bill number is trimmed and upper-cased when the box loses the focus.
    f->txtBillNo->setText(QStringLiteral("  ab12 "));
    f->txtBillNo_LostFocus();
    EXPECT_EQ(f->txtBillNo->text(), "AB12");

    // Cancel writes nothing and reports the total of all open rows.
    g_dblExceedFine = 0.0;
    f->cmdCancel_Click();
    EXPECT_EQ(g_dblExceedFine, 5.0);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_FALSE(frmLendFine::loaded());
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where cert_id = 'TZ11' and debt_deal_flag = '1'"), "0");
}

TEST_F(FrmLendFineTest, KeyboardAndDragSelectionsTickWhatIsSettled)
{
    db().exec("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, "
              "fine_amt, debt_deal_flag, remark, location_f) values ('TP3', 'TZ11', '2008-01-03 10:00:00', "
              "'2008-03-01 10:59:00', '2008-03-02 12:01:00', 'D', 1.50, '0', '丙', 'TA')");
    db().exec("update reader set debt_flag = 6.50 where cert_id = 'TZ11'");
    g_dblExceedFine = 6.5;
    frmLendFine* f = frmLendFine::form();
    f->resize(900, 500);
    f->show();
    ASSERT_EQ(f->initShowForm(), 0);
    ui::SpreadGrid* g = f->spdFine;
    auto chosen = [&] {
        QString rows;
        for (int r = 1; r <= g->maxRows(); ++r)
            rows += g->isRowSelected(r) ? QStringLiteral("x") : QStringLiteral("-");
        return rows + " " + QString::number(f->settle().intCount()) + " " + f->txtAllowFine->text();
    };
    ASSERT_EQ(chosen(), "x-x 2 4.50");

    // Nothing chosen, then everything with Ctrl+A: the refused row stays out
    // and says why, once.
    g->clearSelection();
    EXPECT_EQ(chosen(), "--- 0 0.00");
    EXPECT_FALSE(f->cmdCancelExceed->isEnabled());
    g->setFocus();
    dialogs.clear();
    QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(chosen(), "x-x 2 4.50");
    EXPECT_EQ(shownTexts(), QStringList{S("本地无权处理 测试分馆 的超期罚款")});
    EXPECT_EQ(g->getText(0, 2), S("2"));
    EXPECT_EQ(g->getText(0, 3), S("3★"));
    EXPECT_TRUE(f->cmdOk->isEnabled());

    // A drag over rows 1 to 2 after clearing: only row 1 counts.
    g->clearSelection();
    g->selectionModel()->select(QItemSelection(g->model()->index(0, 0), g->model()->index(1, 9)),
                                QItemSelectionModel::Select);
    EXPECT_EQ(chosen(), "x-- 1 3.00");
    EXPECT_EQ(f->txtTrueFineExceed->text(), "3.00");
}

TEST_F(FrmLendFineTest, WaiverWhoseReloadPutsTheTotalRightLeavesTheButtonsUsable)
{
    frmLendFine* f = frmLendFine::form();
    f->show();
    ASSERT_EQ(f->initShowForm(), 0);
    // Another desk adds a fine for the reader while the window shows.
    db().exec("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, "
              "fine_amt, debt_deal_flag, remark, location_f) values ('TP4', 'TZ11', '2008-01-04 10:00:00', "
              "'2008-03-01 10:59:00', '2008-03-02 12:01:00', 'D', 1.00, '0', '丁', 'TA')");
    db().exec("update reader set debt_flag = debt_flag + 1.00 where cert_id = 'TZ11'");
    dialogs.answers << ui::BoxAnswer::Ok;
    f->cmdCancelExceed_Click();
    EXPECT_EQ(db().scalar("select debt_deal_flag from exceed_fine_lst where prop_no = 'TP1'"), "1");
    // The reload found 2.00 expected against 3.00 open, put it right, and read
    // the rows again: ticked and settleable.
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'TZ11'"), "3.00");
    EXPECT_EQ(f->settle().lastLoad(), clsFineSettle::LoadResult::Ready);
    EXPECT_TRUE(f->settle().blnReady());
    EXPECT_EQ(f->txtTotalFine->text(), "3.00");
    EXPECT_EQ(f->txtAllowFine->text(), "1.00");
    EXPECT_TRUE(f->cmdOk->isEnabled());
    EXPECT_TRUE(f->cmdCancelExceed->isEnabled());
}

TEST_F(FrmLendFineTest, FinesSettledElsewhereMeanwhileAreShownAgainAndNothingIsPaid)
{
    frmLendFine* f = frmLendFine::form();
    f->show();
    ASSERT_EQ(f->initShowForm(), 0);
    // Another desk settles the ticked fine while the window shows.
    db().exec("update exceed_fine_lst set debt_deal_flag = '1', bill_no = 'B-ELSE' where prop_no = 'TP1'");
    db().exec("update reader set debt_flag = 2.00 where cert_id = 'TZ11'");
    f->txtBillNo->setText(QStringLiteral("B-HERE"));
    dialogs.answers << ui::BoxAnswer::Ok;
    f->cmdOk_Click();
    EXPECT_EQ(dialogs.lastText(), strGetMsg(QStringLiteral("ELT286")));
    EXPECT_TRUE(frmLendFine::loaded());
    // The list as it stands: only the other location's fine, nothing to pay
    // here; the bill number typed stays.
    EXPECT_EQ(f->spdFine->maxRows(), 1);
    EXPECT_EQ(f->txtTotalFine->text(), "2.00");
    EXPECT_EQ(f->txtAllowFine->text(), "0.00");
    EXPECT_FALSE(f->cmdOk->isEnabled());
    EXPECT_FALSE(f->cmdCancelExceed->isEnabled());
    EXPECT_EQ(f->txtBillNo->text(), "B-HERE");
    EXPECT_EQ(db().scalar("select count(*) from deposit_account_lst where cert_id = 'TZ11'"), "0");
    EXPECT_EQ(db().scalar("select bill_no from exceed_fine_lst where prop_no = 'TP1'"), "B-ELSE");
    expectReaderFree(QStringLiteral("TZ11"));
    // Closing leaves nothing open.
    f->close();
    EXPECT_FALSE(frmLendFine::loaded());
    expectReaderFree(QStringLiteral("TZ11"));
}

TEST_F(FrmLendFineTest, PayClosesTheWindowAndTheOpenerHonoursTheThreshold)
{
    // The opener does not open the window below 0.10.
    int opened = 0;
    dialogs.dialogHandler = [&](QDialog* d) {
        ++opened;
        return intPayInFineWindow(d, dialogs, QStringLiteral("BILL-W1"), 1);
    };
    db().exec("update reader set debt_flag = 0.09 where cert_id = 'TZ11'");
    subShowLendFine(nullptr, QStringLiteral("TZ11"));
    EXPECT_EQ(opened, 0);
    EXPECT_DOUBLE_EQ(g_dblExceedFine, 0.09);
    subShowLendFine(nullptr, QString());
    EXPECT_EQ(opened, 0);

    // 0.10 and more opens it; the stored total is put right first and the
    // window opens on the rows, ready to pay.
    db().exec("update reader set debt_flag = 0.10 where cert_id = 'TZ11'");
    subShowLendFine(nullptr, QStringLiteral("TZ11"));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(db().scalar("select bill_no || ' ' || pay_mode || ' ' || amount from deposit_account_lst "
                          "where cert_id = 'TZ11'"),
              "BILL-W1 1 3.00");
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'TZ11'"), "2.00");
    EXPECT_DOUBLE_EQ(g_dblExceedFine, 2.0);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_FALSE(frmLendFine::loaded());
}

} // namespace
