// What the start-up and the log-in cost in round trips to the server: their
// reads travel as batches, and what they load is what the reads one at a
// time load.

#include "tests/shell/ShellFixture.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMarcIdx.h"
#include "reader/basLTMore.h"
#include "shell/basLogin.h"
#include "tests/support/RoundTrips.h"

#include <QFile>

namespace {

using testsupport::roundTripsOf;

QStringList cellsOf(const DBResultSet& rs)
{
    QStringList out;
    for (int c = 0; c < rs.fieldCount(); ++c)
        out << rs.fieldName(c);
    for (int i = 0; i < rs.rowCount(); ++i)
        for (int c = 0; c < rs.fieldCount(); ++c)
            out << rs.text(i, c);
    return out;
}

// The rows of `sql` read alone, as the loaders read them before.
QStringList readAlone(const QString& sql)
{
    DBResultSet rs;
    EXPECT_EQ(LIB_DB_Select(sql, rs), 0) << sql.toStdString();
    return cellsOf(rs);
}

class LoginRoundTripsTest : public ShellTest {
protected:
    void TearDown() override
    {
        QFile::remove(ini());
        db().connectCommon();
        ShellTest::TearDown();
    }
    QString ini() { return db().programFolder() + QStringLiteral("qorlan.ini"); }
    void writeServer()
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[LIB-DATA]\r\nLIB_SERVER=LOCAL\r\n[LOCAL]\r\nDSN=" + db().conninfo().toUtf8() + "\r\nUID=\r\nPWD=\r\n");
    }
};

TEST_F(LoginRoundTripsTest, StartUpAndFirstLoginSendTheirReadsAsBatches)
{
    writeServer();
    g_varItemList11 = g_varItemList15 = DBResultSet();
    g_varMsg = DBResultSet();
    // A new session: its counter starts at the connect (the session set-up,
    // then the probes, messages, parameters and value lists together).
    ASSERT_EQ(intStartUp(), 0) << dialogs.lastText().toStdString();
    EXPECT_LE(LIB_DB_RoundTrips(), 2);
    EXPECT_EQ(cellsOf(g_varItemList15), readAlone(strItemListSQLs().last()));
    EXPECT_EQ(cellsOf(g_varMsg), readAlone(strBaseDataSQLs().first()));

    // The worker check's four reads, then the desk check, the 23 code tables,
    // the desk's locations and the eleven cataloguing reads: 40 round trips
    // one at a time.
    g_varCircRule = g_varLimitType = g_varDeskLocation = DBResultSet();
    g_arrTitleFieldUs.clear();
    const long trips = roundTripsOf([&] {
        EXPECT_EQ(int(intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false)),
                  int(LoginOutcome::Passed))
            << dialogs.lastText().toStdString();
    });
    EXPECT_LE(trips, 2);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
    EXPECT_EQ(g_strLocation, QStringLiteral("D1"));
    EXPECT_GT(g_varAuthList.rowCount(), 0);
    EXPECT_GT(g_varCircRule.rowCount(), 0);
    EXPECT_EQ(cellsOf(g_varCircRule), readAlone(strBaseCodeSQL(1)));
    EXPECT_EQ(cellsOf(g_varLimitType), readAlone(strBaseCodeSQL(24)));
    EXPECT_EQ(cellsOf(g_varDeskLocation), readAlone(strDeskLocationSQL(3)));
    EXPECT_GT(g_arrTitleFieldUs.size(), 1);

    // A repeated log-in checks the worker alone: one round trip.
    EXPECT_LE(roundTripsOf([&] {
                  EXPECT_EQ(int(intLoginAction(QStringLiteral("0002"), QStringLiteral("1234"), true)),
                            int(LoginOutcome::Passed));
              }),
              1);
}

TEST_F(LoginRoundTripsTest, AReadThatFailedInTheBatchIsAskedAgainAndReportedAsAlone)
{
    // Cache 20 (opening times) fails, the later ones are read: the first
    // failing cache ends the log-in with its own error, the caches after it
    // keep what they held.
    db().exec("alter table open_time rename to open_time_gone");
    g_varDepartment = DBResultSet(1, 1);
    g_varDepartment.setCell(0, 2, QStringLiteral("untouched"));
    g_varCloseDay = DBResultSet();
    const LoginOutcome got = intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false);
    const QString logged = g_strErrText;
    db().exec("alter table open_time_gone rename to open_time");
    EXPECT_EQ(int(got), int(LoginOutcome::ExitProgram));
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("系统初始化出错，启动失败！"));
    EXPECT_TRUE(logged.contains(QStringLiteral("open_time"))) << logged.toStdString();
    EXPECT_GT(g_varCloseDay.rowCount(), 0);
    EXPECT_EQ(g_varDepartment.text(0, 0), QStringLiteral("untouched"));
}

TEST_F(LoginRoundTripsTest, ReadsAheadAreTakenOnceAndOnlyOutsideATransaction)
{
    const QString sql = QStringLiteral("SELECT count(*) FROM lib_worker");
    {
        LIB_DB_ReadAhead ahead({sql, sql});
        DBResultSet rs;
        // Both copies in one round trip, each taken once; a third read asks.
        EXPECT_EQ(roundTripsOf([&] {
                      EXPECT_EQ(LIB_DB_Select(sql, rs), 0);
                      EXPECT_EQ(LIB_DB_Select(sql, rs), 0);
                  }),
                  1);
        EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(LIB_DB_Select(sql, rs), 0); }), 1);
    }
    {
        LIB_DB_ReadAhead ahead({sql});
        ASSERT_EQ(LIB_DB_BeginTrans(), 0);
        DBResultSet rs;
        // In a transaction nothing is read ahead: the read asks on its own.
        EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(LIB_DB_Select(sql, rs), 0); }), 1);
        LIB_DB_Rollback();
    }
}

} // namespace
