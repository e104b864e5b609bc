// The lend and return modes of the desk window as a worker drives them: F2
// with a card and bar codes, F3 with bar codes; the road of a consignment copy
// collected at the branch desk and returned there.

#include "DeskUiFixture.h"

#include "common/basCodeFunc.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "desk/frmAttachment.h"
#include "shell/basMainSettings.h"
#include "shell/frmAdmAuth.h"
#include "tests/support/BoxWatch.h"
#include "tests/support/RoundTrips.h"

namespace {

const QColor kCyan(192, 255, 255);
const QColor kRed(255, 0, 0);

} // namespace

class DeskLendReturnTest : public DeskUiTest {
protected:
    void SetUp() override {
        DeskUiTest::SetUp();
        db().recreate();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intLoadDeskLocation(3), 0);
        logIn(QStringLiteral("0001"));
        g_intFineReturn = 0;
        g_intReturnClear = 1;
        openDesk();
    }
    void lendMode(const QString& card) {
        form->Form_KeyUp(113);
        ASSERT_EQ(form->intMode(), desk::ModeLend);
        type(form->txtReader, card);
        ASSERT_TRUE(form->fraBack[3]->isEnabled()) << shown();
    }
    void returnMode() {
        form->Form_KeyUp(114);
        ASSERT_EQ(form->intMode(), desk::ModeReturn);
    }
    QString found(const QString& propNo) {
        return db()
            .column("select cert_id || ':' || relegate_end_flag from relegate_arri_lst where prop_no = '" +
                    propNo + "' order by relegate_end_flag")
            .join(' ');
    }
};

// DC13 collects the arrived copy B500003 at D2 and returns it there: the copy
// of the main library is handed on to the first fit requester of its queue.
TEST_F(DeskLendReturnTest, RoadOfAConsignmentCopyThroughTheDesk) {
    lendMode("DC13");
    EXPECT_TRUE(opened.contains("frmFindList")); // its arrived copy is shown
    type(form->txtLendBook, "B500003");
    EXPECT_TRUE(form->txtLendBook->text().isEmpty());
    int row = 0;
    for (int r = 1; r <= form->spdLendBook->maxRows(); ++r)
        if (form->spdLendBook->getText(1, r) == "B500003") row = r;
    ASSERT_GT(row, 0);
    EXPECT_EQ(form->spdLendBook->getText(7, row), "借出");
    EXPECT_EQ(form->spdLendBook->rowBackColor(row), kCyan);
    EXPECT_EQ(found("P500003"), "DR13:3");

    returnMode();
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok}; // the attachment is there
    QStringList beside;                    // the panel's name when each box shows
    {
        testsupport::BoxWatch watch(dialogs,
                                    [&](const ui::BoxRequest&) { beside << form->txtDetail[0]->text(); });
        type(form->txtReturnBook, "B500003");
    }
    EXPECT_EQ(beside, (QStringList{"蒋到书", "蒋到书"}));
    EXPECT_EQ(shown(), "该书为委托借阅书刊，有本地读者委托该书。");
    EXPECT_EQ(found("P500003"), "DR15:1 DR13:6"); // DR09 passed over for fines
    EXPECT_EQ(form->txtDetail[3]->text(), "DC13");
    EXPECT_EQ(form->txtDetail[0]->text(), "蒋到书");
    EXPECT_EQ(g_strCertID, "DR13");
    EXPECT_EQ(form->m_strRetRedr, "DR13");
    ASSERT_EQ(form->spdReturnBook->maxRows(), 1);
    EXPECT_EQ(form->spdReturnBook->getText(1, 1), "B500003");
    EXPECT_EQ(form->spdReturnBook->getText(4, 1), "总馆书库");
    EXPECT_TRUE(form->txtReturnBook->text().isEmpty());
}

TEST_F(DeskLendReturnTest, WithNobodyFitTheReturnedCopyStaysOnItsWayHome) {
    db().exec("update reader set debt_flag = 20 where cert_id = 'DR15'");
    lendMode("DC13");
    type(form->txtLendBook, "B500003");
    returnMode();
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    type(form->txtReturnBook, "B500003");
    EXPECT_EQ(shown(), "该书为委托借阅书刊。");
    EXPECT_EQ(found("P500003"), "DR13:4");
}

TEST_F(DeskLendReturnTest, CollectedCopyReturnedInItsHomeGroupGetsNoHandOn) {
    g_strLocation = "D1";
    g_varLocaProperty = "01";
    lendMode("DC13");
    type(form->txtLendBook, "B500003");
    returnMode();
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    type(form->txtReturnBook, "B500003");
    EXPECT_EQ(dialogs.shown.size(), 1); // the attachment question only
    EXPECT_EQ(found("P500003"), "DR13:4");
    EXPECT_EQ(form->spdReturnBook->maxRows(), 1);
}

TEST_F(DeskLendReturnTest, OrdinaryLendAsksForTheAttachment) {
    db().exec("update item set attachment = '光盘1张' where prop_no in ('P500001', 'P500002')");
    db().exec("update sys_comm_para set sys_para_value = '1' where sys_para_code = 4");
    ASSERT_EQ(intInitBaseData(), 0);
    QString shownText;
    onDialog = [&](QDialog* d) {
        auto* a = qobject_cast<frmAttachment*>(d);
        if (!a) return 1;
        shownText = a->txtAttachment->text();
        a->txtAttachment->setText(" 光盘2张 ");
        a->cmdYes->click();
        return 1;
    };
    lendMode("DC02");
    const auto totals = [this] {
        return db().scalar("select year_lend_qty || '/' || total_lend_qty from reader where cert_id = 'DR02'");
    };
    EXPECT_EQ(form->txtDetail[7]->text(), totals());
    type(form->txtLendBook, "B500001");
    EXPECT_EQ(shownText, "光盘1张");
    // The panel's year/total lend counts follow the loan, as the loan count does.
    EXPECT_EQ(form->txtDetail[7]->text(), totals());
    EXPECT_EQ(db().scalar("select attachment from lend_lst where prop_no = 'P500001'"), "光盘2张");
    ASSERT_GE(form->spdLendBook->maxRows(), 1);
    EXPECT_EQ(form->spdLendBook->getText(1, 1), "B500001");
    EXPECT_EQ(form->spdLendBook->rowBackColor(1), kCyan);

    onDialog = [](QDialog* d) {
        if (auto* a = qobject_cast<frmAttachment*>(d)) a->cmdNO->click();
        return 1;
    };
    type(form->txtLendBook, "B500002");
    EXPECT_EQ(db().scalar("select coalesce(attachment, '') from lend_lst where prop_no = 'P500002'"), "");
    EXPECT_EQ(form->txtDetail[7]->text(), totals());
    EXPECT_EQ(form->spdLendBook->getText(1, 1), "B500002");
    EXPECT_EQ(form->spdLendBook->rowBackColor(1), kCyan);
    EXPECT_NE(form->spdLendBook->rowBackColor(2), kCyan);
    db().exec("update sys_comm_para set sys_para_value = '0' where sys_para_code = 4");
    ASSERT_EQ(intInitBaseData(), 0);
}

TEST_F(DeskLendReturnTest, OverdueReturnsShowInRedAndANewBorrowerClearsTheList) {
    returnMode();
    type(form->txtReturnBook, "B500101"); // DR12, on time
    type(form->txtReturnBook, "B500102");
    EXPECT_EQ(form->spdReturnBook->maxRows(), 2);
    EXPECT_EQ(form->spdReturnBook->getText(1, 1), "B500102");
    type(form->txtReturnBook, "B500012"); // DR10, overdue
    ASSERT_EQ(form->spdReturnBook->maxRows(), 1);
    EXPECT_TRUE(form->spdReturnBook->getText(7, 1).endsWith("天"));
    EXPECT_EQ(form->spdReturnBook->rowForeColor(1), kRed);
    EXPECT_EQ(form->txtDetail[0]->text(), "陈超期");

    g_intReturnClear = 0;
    type(form->txtReturnBook, "B500103");
    EXPECT_EQ(form->spdReturnBook->maxRows(), 2);
    EXPECT_EQ(form->spdReturnBook->rowBackColor(1), kCyan);
}

TEST_F(DeskLendReturnTest, OverrideDialogIsAskedOnlyWhileOverridesAreOn) {
    g_strWkrPwd = "ABC";
    frmAdmAuth* adm = frmAdmAuth::form();
    adm->m_blnCheckAdmAuth = false;
    adm->m_blnAdmAuth = false;
    EXPECT_FALSE(form->blnCheckAdmAuth("ELT107", "10.00"));
    EXPECT_FALSE(opened.contains("frmAdmAuth"));

    adm->m_blnCheckAdmAuth = true;
    QString message;
    onDialog = [&](QDialog* d) {
        if (d != adm) return 1;
        message = adm->lblMessage->text();
        EXPECT_FALSE(adm->cmdOk->isEnabled());
        adm->txtPassword->setText(" abc ");
        adm->cmdOk->click();
        return adm->result();
    };
    EXPECT_TRUE(form->blnCheckAdmAuth("ELT107", "10.00"));
    EXPECT_EQ(message, strGetMsg("ELT107" + QStringLiteral("10.00")));
    // A confirmed override holds until the next entry.
    opened.clear();
    EXPECT_TRUE(form->blnCheckAdmAuth("ELT107", "10.00"));
    EXPECT_TRUE(opened.isEmpty());
    lendMode("DC02");
    type(form->txtLendBook, "NOSUCH");
    EXPECT_FALSE(adm->m_blnAdmAuth);
}

// The return list reads the records of all its rows in one query: a return
// costs the same with three rows listed as with one, each row with its title.
TEST_F(DeskLendReturnTest, TheReturnListReadsItsTitlesTogether) {
    g_intReturnClear = 0;
    returnMode();
    QList<long> trips;
    for (const char* bar : {"B500101", "B500102", "B500103"})
        trips << testsupport::roundTripsOf([&] { type(form->txtReturnBook, bar); });
    ASSERT_EQ(form->spdReturnBook->maxRows(), 3) << shown();
    EXPECT_EQ(trips[1], trips[0]);
    EXPECT_EQ(trips[2], trips[0]);
    for (int r = 1; r <= 3; ++r) {
        const QString no =
            db().scalar("select marc_rec_no from item where bar_code = '" + form->spdReturnBook->getText(1, r) + "'");
        EXPECT_EQ(form->spdReturnBook->getText(2, r), strGetMarcTitle(strReadMarc(no), 0)) << r;
    }
}
