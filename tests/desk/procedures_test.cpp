// Circulation procedures of the server and the queue guards of the schema.

#include "DeskFixture.h"

using testsupport::RawConnection;

class ProceduresTest : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        db().recreate();
    }
    int call(const QString& text)
    {
        if (LIB_DB_BeginTrans() != 0)
            return -1;
        if (LIB_DB_CallProc(text) != 0) {
            LIB_DB_Rollback();
            return -1;
        }
        return LIB_DB_CommitTrans();
    }
};

TEST_F(ProceduresTest, LoanMadeAndClosedWithFine)
{
    const QString due = dayOffset(30);
    ASSERT_EQ(call("LT_lendbook_new 'DR02','P500001','" + due + "','R1','','0001','0','1'"), 0) << g_strErrText;
    EXPECT_EQ(db().scalar("select cert_id || '|' || norm_ret_date || '|' || rule_no_f || '|' || location_f "
                          "from lend_lst where prop_no = 'P500001'"),
              "DR02|" + due + "|R1|A1");
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500001'"), "1");
    EXPECT_EQ(db().scalar("select total_lend_qty from reader where cert_id = 'DR02'"), "6");

    // A copy on loan cannot be lent again, whatever its flag says.
    db().exec("update item set book_lend_flag = '0' where prop_no = 'P500001'");
    EXPECT_EQ(call("LT_lendbook 'DR01','P500001','" + due + "','R1','','0001'"), -1);
    EXPECT_EQ(db().scalar("select cert_id from lend_lst where prop_no = 'P500001'"), "DR02");

    ASSERT_EQ(call("LT_retbook_new 'P500001','DR02','" + dayOffset(-3) + "',3,1.5,'D','超期3天','0002'"), 0)
        << g_strErrText;
    EXPECT_EQ(db().scalar("select count(*) from lend_lst where prop_no = 'P500001'"), "0");
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500001'"), "0");
    EXPECT_EQ(db().scalar("select excd_days || '|' || ret_wkr from lend_hist where prop_no_f = 'P500001' "
                          "and cert_id_f = 'DR02'"),
              "3|0002");
    EXPECT_EQ(db().scalar("select fine_amt || '|' || debt_deal_flag || '|' || time_unit || '|' || location_f "
                          "from exceed_fine_lst where cert_id = 'DR02'"),
              "1.50|0|D|A1");
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR02'"), "1.50");

    // A second return of the same loan fails and charges nothing.
    EXPECT_EQ(call("LT_retbook_new 'P500001','DR02','" + dayOffset(-3) + "',3,1.5,'D','超期3天','0002'"), -1);
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR02'"), "1.50");
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where cert_id = 'DR02'"), "1");
}

TEST_F(ProceduresTest, ReturnWithoutFineAddsNoFineRow)
{
    ASSERT_EQ(call("LT_retbook_new 'P500005','DR01','" + dayOffset(4) + "',0,0,'','','0001'"), 0) << g_strErrText;
    EXPECT_EQ(db().scalar("select count(*) from exceed_fine_lst where cert_id = 'DR01'"), "0");
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR01'"), "0.00");
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500005'"), "0");
}

TEST_F(ProceduresTest, ViolationStateAndReaderCountByPosition)
{
    const QString punish = db().scalar("select punish_date from reader_volt_lst where cert_id = 'DR07' "
                                       "and volt_deal_flag = '1'");
    ASSERT_EQ(call("LT_UPD_reader_volt_lst 'DR07','" + punish + "',NULL,NULL,NULL,NULL,NULL,NULL,NULL,'0',NULL,NULL"),
              0)
        << g_strErrText;
    EXPECT_EQ(db().scalar("select volt_deal_flag || '|' || remark from reader_volt_lst where cert_id = 'DR07' "
                          "and punish_date = '" + punish + "'"),
              "0|污损停借30天");
    EXPECT_EQ(call("LT_UPD_reader_volt_lst 'DR07','1900-01-01',NULL,NULL,NULL,NULL,NULL,NULL,NULL,'0',NULL,NULL"), -1);

    QString args = "'DR07'";
    for (int pos = 2; pos <= 28; ++pos)
        args += pos == 18 ? QStringLiteral(",0") : QStringLiteral(",NULL");
    ASSERT_EQ(call("LT_UPD_reader " + args), 0) << g_strErrText;
    EXPECT_EQ(db().scalar("select volt_flag || '|' || name || '|' || debt_flag || '|' || total_lend_qty "
                          "from reader where cert_id = 'DR07'"),
              "0|吴停借|0.00|21");
}

TEST_F(ProceduresTest, ReturnedCopyBecomesReservedForWaitingHold)
{
    // Without a waiting hold nothing happens.
    ASSERT_EQ(call("LT_retpregbook 'P500002'"), 0) << g_strErrText;
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500002'"), "0");

    db().exec("insert into preg_lst (cert_id, call_no, location, preg_date, preg_end_date, preg_keep_days, preg_no, "
              "take_location, preg_flag) values ('DR01', 'TP311.12/W23', 'A1', '2026-01-01', '" + dayOffset(-1)
              + "', 5, 1, 'D1', '0'), ('DR02', 'TP311.12/W23', 'A1', '2026-01-01', '" + dayOffset(3)
              + "', 5, 2, 'D1', '0')");
    ASSERT_EQ(call("LT_retpregbook 'P500002'"), 0) << g_strErrText;
    EXPECT_EQ(db().scalar("select book_lend_flag from item where prop_no = 'P500002'"), "2");
    EXPECT_EQ(db().scalar("select cert_id || '|' || pregarri_deal_flag || '|' || keep_end_date from preg_arri_lst "
                          "where prop_no = 'P500002'"),
              "DR02|0|" + dayOffset(5));
    EXPECT_EQ(db().scalar("select preg_flag from preg_lst where cert_id = 'DR02'"), "1");

    // The reserved copy lent to its reader closes the arrival.
    ASSERT_EQ(call("LT_lendbook_new 'DR02','P500002','" + dayOffset(30) + "','R1','','0001','0','1'"), 0);
    EXPECT_EQ(db().scalar("select pregarri_deal_flag from preg_arri_lst where prop_no = 'P500002'"), "1");
}

TEST_F(ProceduresTest, CopyLocationChange)
{
    ASSERT_EQ(call("LT_ModiLoca 'P500001','B1'"), 0);
    EXPECT_EQ(db().scalar("select location from item where prop_no = 'P500001'"), "B1");
    EXPECT_EQ(call("LT_ModiLoca 'NOSUCH','B1'"), -1);
}

TEST_F(ProceduresTest, SchemaGuardsTheQueue)
{
    RawConnection c;
    QString err;
    const QString cols = "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                         "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) values ";
    const QString d = "'2026-01-01', 7, '2026-01-08', 'D2', '0001'";
    // A second waiting request with number 2 in the queue of TP311.12/W23 at A1.
    EXPECT_FALSE(c.exec(cols + "('DR01', 'TP311.12/W23', 'A1', 2, " + d + ", '0')", &err));
    // The same number at another location, or on a cancelled row, is fine.
    EXPECT_TRUE(c.exec(cols + "('DR01', 'TP311.12/W23', 'B1', 2, " + d + ", '0')", &err)) << err.toStdString();
    EXPECT_TRUE(c.exec(cols + "('DR02', 'TP311.12/W23', 'A1', 0, " + d + ", '2')", &err)) << err.toStdString();
    // A waiting request needs a number; a reader waits once per title.
    EXPECT_FALSE(c.exec(cols + "('DR02', 'TP393/S91', 'B1', 0, " + d + ", '0')", &err));
    EXPECT_FALSE(c.exec(cols + "('DR01', 'TP311.12/W23', 'A1', 3, " + d + ", '0')", &err));
    // Swapping two numbers passes through a duplicate inside one transaction.
    EXPECT_TRUE(c.exec("begin; update relegate_lst set relegate_no = 2 where cert_id = 'DR09' and relegate_flag = '0' "
                       "and call_no = 'TP311.12/W23'; update relegate_lst set relegate_no = 1 where cert_id = 'DR15' "
                       "and relegate_flag = '0' and call_no = 'TP311.12/W23'; commit",
                       &err))
        << err.toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR09:2"}));
    // One open loan per copy.
    EXPECT_FALSE(c.exec("insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date) values "
                        "('DR02', 'P500005', '2026-01-01 10:00:00', '2026-02-01')",
                        &err));
}
