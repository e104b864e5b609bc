// Module rights, the workload counter and window placement.

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basDB.h"
#include "tests/support/TestDatabase.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Rights : public testsupport::DatabaseTest {
protected:
    void TearDown() override {
        g_strWkrNo.clear();
        g_varAuthList = DBResultSet();
        DatabaseTest::TearDown();
    }
};

DBResultSet rights(const QStringList& codes) {
    DBResultSet rs(static_cast<int>(codes.size()), 1);
    rs.setCell(0, 0, "MODU_CODE");
    for (int i = 0; i < codes.size(); ++i) rs.setCell(0, 2 + i, codes[i]);
    return rs;
}

TEST_F(Rights, SuperuserPassesEverything) {
    g_strWkrNo = "SUPR";
    EXPECT_TRUE(blnCheckAuth("4026", true));
    EXPECT_TRUE(blnCheckAuth("9999", true));
    g_strWkrNo = "supr"; // exact comparison
    EXPECT_FALSE(blnCheckAuth("4026", false));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(Rights, RightsListDecides) {
    g_strWkrNo = "0002";
    g_varAuthList = rights({"4025", "4026"});
    EXPECT_TRUE(blnCheckAuth("4026", true));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(blnCheckAuth("4027", false));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(blnCheckAuth("4027", true));
    EXPECT_EQ(dialogs.lastText(), "您没有使用该功能的权限！");
    g_varAuthList = DBResultSet(); // not loaded: refused without a message
    dialogs.clear();
    EXPECT_FALSE(blnCheckAuth("4026", true));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    g_varAuthList = rights({}); // loaded, no rights at all
    EXPECT_FALSE(blnCheckAuth("4026", true));
    EXPECT_EQ(dialogs.lastText(), "您没有使用该功能的权限！");
}

TEST_F(Rights, WorkloadCounterCallsTheServerProcedure) {
    db().pinClock("2025-05-06 07:08:09");
    db().exec("DELETE FROM wkr_job_qty"); // the demo workers' own figures
    g_strWkrNo = "0001";
    EXPECT_EQ(intAddJobQty("401", 0, 1, 0), 0);
    EXPECT_EQ(g_strSQL, "XT_wkr_job_qty '401','0001',0,1,0");
    EXPECT_EQ(intAddJobQty("401", 0, 1, 0), 0);
    EXPECT_EQ(intAddJobQty("415", 2, 2, 12.5), 0);
    EXPECT_EQ(g_strSQL, "XT_wkr_job_qty '415','0001',2,2,12.5");
    EXPECT_EQ(intAddJobQty("419", 1, 1, 3), 0);
    EXPECT_EQ(g_strSQL, "XT_wkr_job_qty '419','0001',1,1,3");
    EXPECT_EQ(db().column("SELECT job_type || ':' || oper_date || ':' || kind || ':' || volume || ':' || amount "
                          "FROM wkr_job_qty WHERE wkr_no_f = '0001' ORDER BY job_type"),
              QStringList({"401:2025-05-06:0:2:0.00", "415:2025-05-06:2:2:12.50", "419:2025-05-06:1:1:3.00"}));
    db().exec("DELETE FROM wkr_job_qty");
}

TEST_F(Rights, FailedWorkloadEntryLeavesTheActionIntact) {
    db().exec("DROP TABLE IF EXISTS job_action; CREATE TABLE job_action (k integer)");
    g_strWkrNo.clear(); // no worker: the procedure refuses
    LIB_DB_BeginTrans();
    ASSERT_EQ(LIB_DB_Execute("INSERT INTO job_action VALUES (1)"), 0);
    EXPECT_EQ(intAddJobQty("402", 0, 1, 0), -1);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM job_action"), "1");
}

TEST(Numbers, PlainDecimalText) {
    EXPECT_EQ(strPlainNumber(3), "3");
    EXPECT_EQ(strPlainNumber(12.5), "12.5");
    EXPECT_EQ(strPlainNumber(0.1), "0.1");
    EXPECT_EQ(strPlainNumber(-7.25), "-7.25");
    EXPECT_EQ(strPlainNumber(0), "0");
}

TEST(Windows, CentredAndRaised) {
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    QWidget w;
    w.resize(200, 100);
    subCenterForm(&w, false);
    const int d = (s.height() - w.frameGeometry().height()) / 2;
    EXPECT_EQ(w.frameGeometry().x() - s.x(), (s.width() - w.frameGeometry().width()) / 2);
    EXPECT_EQ(w.frameGeometry().y() - s.y(), d > 18 ? d - 18 : d);
    subCenterForm(&w, true);
    EXPECT_EQ(w.frameGeometry().y(), s.y());
    // Taller than the screen: negative top, no lift.
    w.resize(200, s.height() + 100);
    subCenterForm(&w, false);
    EXPECT_EQ(w.frameGeometry().y() - s.y(), (s.height() - w.frameGeometry().height()) / 2);
    EXPECT_LT(w.frameGeometry().y() - s.y(), 0);
}

TEST(Windows, UnloadReleasesTheReference) {
    QWidget* w = new QWidget;
    w->show();
    subUnloadForm(w);
    EXPECT_EQ(w, nullptr);
    subUnloadForm(w); // nothing to unload: no error
    g_frmWaitMsg = new QWidget;
    subCloseWaitMsg();
    EXPECT_EQ(g_frmWaitMsg, nullptr);
}

} // namespace
