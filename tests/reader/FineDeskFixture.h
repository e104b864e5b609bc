#pragma once
// The fine desk the settlement tests work at: desk TD settles the fines of
// stacks TA; stacks TB belong to another desk. The readers the tests add
// ("TZ..."), their cards, fines and journal rows, and the workload counters
// are removed after each test.

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "reader/frmLendFine.h"
#include "tests/support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

// A dialog handler's payment in the fine window a desk opened modally: the
// bill number and pay mode given, every question answered OK. 0 (and a
// failure) when `dialog` is no fine window ready to pay.
inline int intPayInFineWindow(QDialog* dialog, ui::ScriptedDialogService& dialogs, const QString& billNo,
                              int payMode = 0)
{
    auto* f = qobject_cast<frmLendFine*>(dialog);
    if (!f || !f->cmdOk->isEnabled()) {
        ADD_FAILURE() << "no fine window ready to pay";
        return 0;
    }
    f->txtBillNo->setText(billNo);
    f->cboFineType->setCurrentIndex(payMode);
    dialogs.answers.append(ui::BoxAnswer::Ok);
    f->cmdOk_Click();
    return 1;
}

// Nothing of this program is left open: no transaction here, no session of
// the database idle in one, and another desk takes the reader row, its cards
// and its fine rows at once.
inline void expectReaderFree(const QString& certId)
{
    EXPECT_FALSE(LIB_DB_InTrans());
    testsupport::RawConnection other;
    EXPECT_EQ(other.scalar("select count(*) from pg_stat_activity where datname = current_database() "
                           "and state like 'idle in transaction%'"),
              "0");
    for (const char* table : {"reader", "reader_cert", "exceed_fine_lst"}) {
        QString error;
        EXPECT_TRUE(other.exec(QStringLiteral("select 1 from %1 where cert_id = '%2' for update nowait")
                                   .arg(QLatin1String(table), certId),
                               &error))
            << table << ": " << error.toStdString();
    }
}

class FineDeskTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        // The tests count the workload a settlement writes: none before it
        // (the demo library's own rows included).
        db().exec("delete from wkr_job_qty");
        db().exec("insert into location_lst (location, location_name, fine_location) values "
                  "('TD', '测试借还台', 'TA,TD'), ('TA', '测试书库', 'TD'), ('TB', '测试分馆', 'TX') "
                  "on conflict do nothing");
        db().exec("insert into location_sort (location, oper_type, sequence) values "
                  "('TD', '3', 91), ('TA', '3', 92), ('TB', '3', 93) on conflict do nothing");
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intLoadDeskLocation(3), 0);
        g_strLocation = QStringLiteral("TD");
    }

    void TearDown() override
    {
        DatabaseTest::TearDown();
        removeTestReaders();
    }

    // Removes what the tests added.
    void removeTestReaders()
    {
        db().exec("delete from deposit_account_lst where cert_id like 'TZ%'");
        db().exec("delete from exceed_fine_lst where cert_id like 'TZ%'");
        db().exec("delete from reader_cert where cert_id like 'TZ%'");
        db().exec("delete from reader where cert_id like 'TZ%'");
        db().exec("delete from wkr_job_qty");
    }
};
