// Statements sent together and prepared statements against the real server:
// one round trip, savepoints per statement, error numbers, transactions.

#include "platform/oradb/Pipeline.h"
#include "tests/support/OraFailure.h"
#include "tests/support/TestDatabase.h"

#include <functional>
#include <gtest/gtest.h>

using testsupport::failureOf;

using testsupport::TestDatabase;

namespace {

class OraPipeline : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TestDatabase::instance().exec(
            "DROP TABLE IF EXISTS pipe_child, pipe_kv, pipe_deferred;"
            "CREATE TABLE pipe_kv (k integer CONSTRAINT pk_pipe_kv PRIMARY KEY, v varchar(20));"
            "CREATE TABLE pipe_child (id integer PRIMARY KEY, k integer CONSTRAINT fk_pipe_kv REFERENCES "
            "pipe_kv(k));"
            "CREATE TABLE pipe_deferred (k integer CONSTRAINT pk_reader_cert_p UNIQUE DEFERRABLE INITIALLY "
            "DEFERRED)");
    }
    void SetUp() override {
        TestDatabase::instance().exec("TRUNCATE pipe_kv, pipe_child, pipe_deferred");
        db = testsupport::openSecondDatabase();
        db->ResetTraffic();
    }
    QStringList keys() { return TestDatabase::instance().column("SELECT k FROM pipe_kv ORDER BY k"); }
    std::unique_ptr<oradb::Database> db;
};

TEST_F(OraPipeline, IndependentStatementsTravelInOneRoundTrip) {
    db->ExecuteSQL("INSERT INTO pipe_kv VALUES (1, 'a'), (2, 'b')");
    db->ResetTraffic();
    oradb::Batch b(*db);
    const int all = b.Add("SELECT k, v FROM pipe_kv ORDER BY k");
    const int none = b.Add("SELECT k FROM pipe_kv WHERE v = ''"); // '' is NULL: no row
    const int ins = b.Add("INSERT INTO pipe_kv VALUES (3, 'c')");
    const int one = b.AddPrepared("pipe_v_of", "SELECT v FROM pipe_kv WHERE k = $1", {2});
    b.Run();
    EXPECT_EQ(db->RoundTrips(), 1);
    EXPECT_EQ(db->StatementsSent(), 4);
    EXPECT_EQ(b.Result(all).RecordCount(), 2);
    EXPECT_EQ(b.Result(all).Fields("V").Text(), "a");
    EXPECT_EQ(b.Result(none).RecordCount(), 0);
    EXPECT_EQ(b.RowsAffected(ins), 1);
    EXPECT_EQ(b.Result(one).Fields(0).Text(), "b");
    EXPECT_EQ(keys(), QStringList({"1", "2", "3"}));
}

TEST_F(OraPipeline, FailingStatementInTransactionUndoesOnlyItselfAndStopsTheRest) {
    struct Case {
        const char* bad;
        long number;
    };
    const Case cases[] = {
        {"INSERT INTO pipe_kv VALUES (1, 'again')", 1},
        {"INSERT INTO pipe_kv VALUES (9", 900},          // the server cannot parse it
        {"INSERT INTO pipe_child VALUES (1, 77)", 2291}, // no such parent
        {"SELECT no_such FROM pipe_kv", 904},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bad);
        TestDatabase::instance().exec("TRUNCATE pipe_kv, pipe_child");
        db->BeginTrans();
        oradb::Batch b(*db);
        b.Add("INSERT INTO pipe_kv VALUES (1, 'a')");
        const int bad = b.Add(c.bad);
        const int after = b.Add("INSERT INTO pipe_kv VALUES (2, 'b')");
        EXPECT_EQ(failureOf([&] { b.Run(); }), c.number);
        EXPECT_TRUE(db->LastServerErrText().startsWith(QString("ORA-%1").arg(c.number, 5, 10, QChar('0'))))
            << db->LastServerErrText().toStdString();
        EXPECT_EQ(b.FailedAt(), bad);
        EXPECT_TRUE(b.Ran(0));
        EXPECT_FALSE(b.Ran(after));
        // The transaction goes on with what ran before the failure.
        EXPECT_TRUE(db->InTransaction());
        db->ExecuteSQL("INSERT INTO pipe_kv VALUES (3, 'c')");
        db->CommitTrans();
        EXPECT_EQ(keys(), QStringList({"1", "3"}));
    }
}

TEST_F(OraPipeline, OutsideTransactionEveryStatementStandsAlone) {
    oradb::Batch b(*db);
    b.Add("INSERT INTO pipe_kv VALUES (1, 'a')");
    b.Add("INSERT INTO pipe_kv VALUES (1, 'again')");
    const int after = b.Add("INSERT INTO pipe_kv VALUES (2, 'b')");
    EXPECT_EQ(failureOf([&] { b.Run(); }), 1);
    EXPECT_EQ(b.FailedAt(), 1);
    EXPECT_TRUE(b.Ran(after));
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(keys(), QStringList({"1", "2"}));
    EXPECT_EQ(db->RoundTrips(), 1);
}

TEST_F(OraPipeline, BeginAndCommitRideWithTheStatements) {
    oradb::Batch b(*db);
    b.Begin();
    b.Add("INSERT INTO pipe_kv VALUES (1, 'a')");
    b.Add("UPDATE pipe_kv SET v = 'z' WHERE k = 1");
    b.Commit();
    b.Run();
    EXPECT_EQ(db->RoundTrips(), 1);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT v FROM pipe_kv WHERE k = 1"), "z");

    // A failure before the commit leaves the transaction open for the caller.
    oradb::Batch failing(*db);
    failing.Begin();
    failing.Add("INSERT INTO pipe_kv VALUES (2, 'b')");
    failing.Add("INSERT INTO pipe_kv VALUES (1, 'again')");
    failing.Commit();
    EXPECT_EQ(failureOf([&] { failing.Run(); }), 1);
    EXPECT_TRUE(db->InTransaction());
    db->Rollback();
    EXPECT_EQ(keys(), QStringList({"1"}));

    // A commit the server refuses is a failure, and the transaction is over.
    oradb::Batch refused(*db);
    refused.Begin();
    refused.Add("INSERT INTO pipe_deferred VALUES (7)");
    refused.Add("INSERT INTO pipe_deferred VALUES (7)");
    refused.Commit();
    QString text;
    EXPECT_EQ(failureOf([&] { refused.Run(); }), 1);
    EXPECT_TRUE(db->LastServerErrText().contains("PK_READER_CERT")) << db->LastServerErrText().toStdString();
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT count(*) FROM pipe_deferred"), "0");
}

TEST_F(OraPipeline, StatementsBehindTheCommitRunOnlyWhenItWentThrough) {
    // Read behind the commit in the same round trip: they see the committed rows.
    oradb::Batch b(*db);
    b.Begin();
    b.Add("INSERT INTO pipe_kv VALUES (1, 'a')");
    b.AfterCommit();
    const int read = b.Add("SELECT count(*) FROM pipe_kv");
    b.Run();
    EXPECT_EQ(db->RoundTrips(), 1);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(b.Result(read).Fields(0).Text(), "1");

    // A failure behind the commit leaves the commit standing.
    oradb::Batch behind(*db);
    behind.Begin();
    behind.Add("INSERT INTO pipe_kv VALUES (2, 'b')");
    behind.AfterCommit();
    behind.Add("SELECT no_such_column FROM pipe_kv");
    const int after = behind.Add("SELECT count(*) FROM pipe_kv");
    EXPECT_NE(failureOf([&] { behind.Run(); }), -1);
    EXPECT_EQ(behind.FailedAt(), 1);
    EXPECT_FALSE(behind.Ran(after));
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(keys(), QStringList({"1", "2"}));

    // A refused commit runs none of them.
    oradb::Batch refused(*db);
    refused.Begin();
    refused.Add("INSERT INTO pipe_deferred VALUES (7)");
    refused.Add("INSERT INTO pipe_deferred VALUES (7)");
    refused.AfterCommit();
    const int never = refused.Add("INSERT INTO pipe_kv VALUES (3, 'c')");
    EXPECT_EQ(failureOf([&] { refused.Run(); }), 1);
    EXPECT_EQ(refused.FailedAt(), -1);
    EXPECT_FALSE(refused.Ran(never));
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(keys(), QStringList({"1", "2"}));
}

TEST_F(OraPipeline, PreparedStatementIsPreparedOnceAndTakesItsValues) {
    db->ExecuteSQL("INSERT INTO pipe_kv VALUES (1, 'a'), (2, NULL)");
    const QString sql = "SELECT k FROM pipe_kv WHERE k = $1 OR v = $2 ORDER BY k";
    auto run = [&](const QList<QVariant>& params) {
        QStringList out;
        std::unique_ptr<oradb::Dynaset> d = oradb::CreatePreparedDynaset(*db, "pipe_find", sql, params);
        for (d->MoveFirst(); !d->IsEOF(); d->MoveNext())
            out << d->Fields(0).Text();
        return out;
    };
    db->ResetTraffic();
    EXPECT_EQ(run({2, QString("a")}), QStringList({"1", "2"}));
    EXPECT_EQ(run({1, QString()}), QStringList({"1"})); // an empty text is NULL, which matches nothing
    EXPECT_EQ(run({QVariant(), QString("a")}), QStringList({"1"}));
    EXPECT_EQ(db->RoundTrips(), 3);
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT 1"), "1");

    // A list of texts is an array, its elements kept as they are.
    db->ExecuteSQL("INSERT INTO pipe_kv VALUES (3, 'x\"y\\z,{}')");
    std::unique_ptr<oradb::Dynaset> any = oradb::CreatePreparedDynaset(
        *db, "pipe_any", "SELECT k FROM pipe_kv WHERE v = ANY ($1::text[]) ORDER BY k",
        {QStringList({"a", "x\"y\\z,{}", "b"})});
    QStringList found;
    for (any->MoveFirst(); !any->IsEOF(); any->MoveNext())
        found << any->Fields(0).Text();
    EXPECT_EQ(found, QStringList({"1", "3"}));

    // A name whose preparing was skipped behind a failure is prepared again later.
    db->BeginTrans();
    oradb::Batch b(*db);
    b.Add("SELECT 1/0");
    b.AddPrepared("pipe_late", "SELECT v FROM pipe_kv WHERE k = $1", {1});
    EXPECT_EQ(failureOf([&] { b.Run(); }), 1476);
    EXPECT_EQ(oradb::CreatePreparedDynaset(*db, "pipe_late", "SELECT v FROM pipe_kv WHERE k = $1", {1})
                  ->Fields(0)
                  .Text(),
              "a");
    db->Rollback();
}

TEST_F(OraPipeline, RoundTripCounterCountsEveryExchange) {
    db->BeginTrans();                                                                        // 1
    db->ExecuteSQL("INSERT INTO pipe_kv VALUES (1, 'a')");                                   // 1
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("INSERT INTO pipe_kv VALUES (1, 'a')"); }), 1); // 2: the undo
    db->CommitTrans();                                                                       // 1
    EXPECT_EQ(db->RoundTrips(), 5);
    EXPECT_EQ(db->StatementsSent(), 2);
    db->ResetTraffic();
    EXPECT_EQ(db->RoundTrips(), 0);
}

} // namespace

namespace {

// A named savepoint set in a batch outlives the statements after it (a failed
// one still undoes only itself), and the return to it undoes all of them
// while the transaction goes on; set alone it behaves the same.
TEST_F(OraPipeline, NamedSavepointOutlivesTheStatementsAfterIt) {
    for (const bool inBatch : {true, false}) {
        SCOPED_TRACE(inBatch ? "set in a batch" : "set alone");
        TestDatabase::instance().exec("TRUNCATE pipe_kv, pipe_child");
        db->BeginTrans();
        db->ExecuteSQL("INSERT INTO pipe_kv VALUES (1, 'kept')");
        oradb::Batch b(*db);
        if (inBatch) {
            b.Add("INSERT INTO pipe_kv VALUES (2, 'kept')");
            b.AddSavepoint("attempt");
        } else {
            db->Savepoint("attempt");
        }
        b.Add("INSERT INTO pipe_kv VALUES (3, 'undone')");
        b.Add("INSERT INTO pipe_kv VALUES (1, 'dup')"); // fails: undoes only itself
        b.Add("INSERT INTO pipe_kv VALUES (4, 'never')");
        EXPECT_EQ(failureOf([&] { b.Run(); }), 1);
        EXPECT_TRUE(db->InTransaction());
        db->ExecuteSQL("INSERT INTO pipe_kv VALUES (5, 'undone')");
        db->RollbackToSavepoint("attempt");
        EXPECT_TRUE(db->InTransaction());
        db->ExecuteSQL("INSERT INTO pipe_kv VALUES (6, 'after')");
        db->CommitTrans();
        EXPECT_EQ(keys(), inBatch ? QStringList({"1", "2", "6"}) : QStringList({"1", "6"}));
    }
    EXPECT_THROW(db->Savepoint("oradb_stmt"), oradb::Error);
    EXPECT_THROW(db->Savepoint("x; drop table pipe_kv"), oradb::Error);
}

} // namespace
