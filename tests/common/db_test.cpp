// Statements, procedures, transactions, quoting, the server date and query
// results through the common library's routines.

#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "platform/oradb/Database.h"
#include "tests/support/TestDatabase.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class DbRoutines : public testsupport::DatabaseTest {
protected:
    static void SetUpTestSuite() {
        testsupport::TestDatabase::instance().exec(
            "DROP TABLE IF EXISTS db_t, db_shape;"
            "CREATE TABLE db_t (k integer PRIMARY KEY, v varchar(40));"
            "CREATE TABLE db_shape (name varchar(20), qty integer, small smallint, amount numeric(12,2),"
            "  day date, flag char(1));");
    }
    void SetUp() override {
        DatabaseTest::SetUp();
        db().exec("TRUNCATE db_t, db_shape");
    }
    QString value(int k) { return db().scalar(QString("SELECT coalesce(v, '<null>') FROM db_t WHERE k = %1").arg(k)); }
};

TEST_F(DbRoutines, ExecuteModesRewriteOnlyWholeEmptyLiterals) {
    // Mode 1 turns an empty literal into one blank; mode 0 sends it as NULL.
    // A doubled quote inside a literal is never touched by either.
    const QString quoted = strSQLQuote("O'Neil");
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (1, " + quoted + ")", 1), 0);
    EXPECT_EQ(LIB_DB_Execute("  INSERT INTO db_t VALUES (2, '')  ", 1), 0);
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (3, '')", 0), 0);
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (4, " + strSQLQuote("'") + ")", 1), 0);
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (5, " + strSQLQuote("it's ''quoted''") + ")", 1), 0);
    EXPECT_EQ(value(1), "O'Neil");
    EXPECT_EQ(value(2), " ");
    EXPECT_EQ(value(3), "<null>");
    EXPECT_EQ(value(4), "'");
    EXPECT_EQ(value(5), "it's ''quoted''");
    EXPECT_EQ(strBlankEmptyLiterals("a='' AND b='it''s'"), "a=' ' AND b='it''s'");
}

TEST_F(DbRoutines, QuotingHelper) {
    EXPECT_EQ(strSQLQuote("O'Neil"), "'O''Neil'");
    EXPECT_EQ(strSQLQuote(QVariant()), "''");
    EXPECT_EQ(strSQLQuote(QString()), "''");
    EXPECT_EQ(strSQLQuote(12), "'12'");
    EXPECT_EQ(strSQLQuote(12.5), "'12.5'");
    EXPECT_EQ(strSQLQuote("''"), "''''''");
    // No length limit: every quote of a long value is doubled.
    const QString longText = QString(40000, 'x') + "'" + QString(10, 'y') + "'";
    EXPECT_EQ(strSQLQuote(longText), "'" + QString(40000, 'x') + "''" + QString(10, 'y') + "'''");
}

TEST_F(DbRoutines, FailedStatementRecordsAndTheRestCommits) {
    ASSERT_EQ(LIB_DB_BeginTrans(), 0);
    EXPECT_TRUE(LIB_DB_InTrans());
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (1, 'a')"), 0);
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (1, 'dup')"), -1);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(g_lngErrNo, 1);
    EXPECT_EQ(g_strErrProc, "LIB_DB_Execute");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.shown.isEmpty()); // the routines show nothing
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (2, 'b')"), 0);
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(db().scalar("SELECT count(*) FROM db_t"), "2");
}

// A prepared write of a batch fails as a statement does, and the statement
// on record carries its values; the statements before it stand.
TEST_F(DbRoutines, FailedPreparedWriteOfABatchIsRecordedWithItsValues) {
    LIB_DB_Batch b;
    b.begin();
    b.preparedWrite("db_t_put", "INSERT INTO db_t VALUES ($1, $2)", {1, "a"});
    const int dup = b.preparedWrite("db_t_put", "INSERT INTO db_t VALUES ($1, $2)", {1, "O'Neil"});
    EXPECT_EQ(b.run(), -1);
    EXPECT_EQ(b.failedAt(), dup);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(g_strSQL, "INSERT INTO db_t VALUES ('1', 'O''Neil')");
    ASSERT_TRUE(LIB_DB_InTrans());
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
    EXPECT_EQ(value(1), "a");
}

TEST_F(DbRoutines, RefusedCommitFails) {
    db().exec("DROP TABLE IF EXISTS db_deferred;"
              "CREATE TABLE db_deferred (k integer CONSTRAINT uq_db_deferred UNIQUE DEFERRABLE INITIALLY DEFERRED)");
    LIB_DB_BeginTrans();
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_deferred VALUES (1)"), 0);
    EXPECT_EQ(LIB_DB_Execute("INSERT INTO db_deferred VALUES (1)"), 0);
    EXPECT_EQ(LIB_DB_CommitTrans(), -1);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(g_lngErrNo, 1);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM db_deferred"), "0");
    // Commit and rollback without a transaction: 0, nothing shown.
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
    EXPECT_EQ(LIB_DB_Rollback(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// The connection breaks inside the action and the one failing call is ignored
// (as the workload counter's is): the commit must not report success.
TEST_F(DbRoutines, CommitAfterTheConnectionBrokeFails) {
    LIB_DB_BeginTrans();
    ASSERT_EQ(LIB_DB_Execute("INSERT INTO db_t VALUES (1, 'a')"), 0);
    ASSERT_TRUE(testsupport::killBackend(LIB_DB_Database()->BackendPid()));
    EXPECT_EQ(LIB_DB_CallProc("XT_wkr_job_qty '401','0001',0,1,0"), -1);
    EXPECT_EQ(LIB_DB_CommitTrans(), -1);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(g_lngErrNo, 3114); // the error report offers to reconnect
    EXPECT_EQ(db().scalar("SELECT count(*) FROM db_t"), "0");
    // The lost transaction is reported once; a rollback also forgets it.
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
    EXPECT_EQ(LIB_DB_Rollback(), 0);
    EXPECT_EQ(LIB_DB_CommitTrans(), 0);
}

TEST_F(DbRoutines, RollbackUndoesTheAction) {
    LIB_DB_BeginTrans();
    LIB_DB_Execute("INSERT INTO db_t VALUES (1, 'a')");
    EXPECT_EQ(LIB_DB_Rollback(), 0);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM db_t"), "0");
}

TEST_F(DbRoutines, CallProcBuildsTheCallAndFailsWithoutArguments) {
    db().pinClock("2025-03-04 10:11:12");
    EXPECT_EQ(LIB_DB_CallProc("  XT_wkr_job_qty '402','0007',0,1,0  "), 0);
    EXPECT_EQ(db().scalar("SELECT job_type || wkr_no_f || oper_date || volume FROM wkr_job_qty WHERE wkr_no_f = '0007'"),
              "40200072025-03-041");
    EXPECT_EQ(LIB_DB_CallProc("SYS_GetServerDate"), -1);
    EXPECT_EQ(g_intErrKind, 1005);
    EXPECT_EQ(g_strErrProc, "LIB_DB_CallProc");
    EXPECT_EQ(LIB_DB_CallProc("no_such_proc 1,2"), -1);
    EXPECT_EQ(g_lngErrNo, 6550);
    db().exec("DELETE FROM wkr_job_qty");
}

TEST_F(DbRoutines, ServerDateFormAndPinnedClock) {
    db().pinClock("2024-12-31 23:59:59");
    EXPECT_EQ(strGetServerDate(), "2024-12-31 23:59:59");
    db().unpinClock();
    static const QRegularExpression form("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$");
    EXPECT_TRUE(form.match(strGetServerDate()).hasMatch());
    // The parameter is removed again: a second call works the same.
    EXPECT_TRUE(form.match(strGetServerDate()).hasMatch());
}

TEST_F(DbRoutines, SelectFillsTheResultShape) {
    db().exec("INSERT INTO db_shape VALUES ('  two  ', 3, 4, 12.50, '2024-01-01', 'Y'),"
              " (NULL, NULL, NULL, NULL, NULL, NULL), ('x', 0, 0, 0, NULL, '0')");
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("SELECT name, qty, amount, day, small, flag FROM db_shape ORDER BY name NULLS LAST", rs),
              0);
    EXPECT_EQ(rs.rowCount(), 3);
    EXPECT_EQ(rs.fieldCount(), 6);
    EXPECT_EQ(rs.cell(0, 0).toString(), "NAME");
    EXPECT_EQ(rs.fieldIndex("amount"), 2);
    const int types[] = {10, 4, 7, 8, 3, 10};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(rs.fieldType(c), types[c]) << c;
    // Text right-trimmed only; numbers as doubles; dates empty.
    EXPECT_EQ(rs.value(0, 0), QVariant(QString("  two")));
    EXPECT_EQ(rs.value(0, 1).metaType().id(), QMetaType::Double);
    EXPECT_EQ(rs.number(0, 2), 12.5);
    EXPECT_FALSE(rs.value(0, 3).isValid());
    // Null cells: "" for text, integer 0 for numbers, empty for dates.
    EXPECT_EQ(rs.value(2, 0), QVariant(QString()));
    EXPECT_EQ(rs.value(2, 0).metaType().id(), QMetaType::QString);
    EXPECT_EQ(rs.value(2, 1).toInt(), 0);
    EXPECT_NE(rs.value(2, 1).metaType().id(), QMetaType::Double);
    EXPECT_FALSE(rs.value(2, 3).isValid());
    // Spare column and row exist and stay empty.
    EXPECT_FALSE(rs.cell(6, 0).isValid());
    EXPECT_FALSE(rs.cell(0, 5).isValid());
}

TEST_F(DbRoutines, EmptySelectAndFailureLeaveTheRightShape) {
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("SELECT k, v FROM db_t", rs), 0);
    EXPECT_EQ(rs.rowCount(), 0);
    EXPECT_EQ(rs.fieldName(1), "V");
    EXPECT_EQ(rs.fieldType(1), 10);
    EXPECT_FALSE(rs.cell(0, 2).isValid());

    // A failing SELECT leaves the caller's previous result as it was.
    EXPECT_EQ(LIB_DB_Select("SELECT nothing FROM db_t", rs), -1);
    EXPECT_EQ(g_intErrKind, 1003);
    EXPECT_EQ(g_lngErrNo, 904);
    EXPECT_EQ(g_strErrProc, "LIB_DB_Select");
    EXPECT_EQ(rs.fieldName(1), "V");
}

TEST_F(DbRoutines, CountsAndSumsArriveAsNumbers) {
    db().exec("INSERT INTO db_shape (qty, amount) VALUES (2, 0.10), (3, 0.20)");
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("SELECT count(*), sum(amount), sum(qty) FROM db_shape", rs), 0);
    EXPECT_EQ(rs.fieldType(0), 7);
    EXPECT_EQ(rs.number(0, 0), 2.0);
    EXPECT_EQ(qRound64(rs.number(0, 1) * 100), 30); // exact cents
    EXPECT_EQ(rs.number(0, 2), 5.0);
}

TEST_F(DbRoutines, LongResultsHaveNoSixteenBitLimit) {
    db().exec("INSERT INTO db_t SELECT g, 'v' || g FROM generate_series(1, 40000) g");
    DBResultSet rs;
    ASSERT_EQ(LIB_DB_Select("SELECT k, v FROM db_t ORDER BY k", rs), 0);
    EXPECT_EQ(rs.rowCount(), 40000);
    EXPECT_EQ(rs.text(39999, 1), "v40000");
}

} // namespace
