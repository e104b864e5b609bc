// The wait hook of the database interface: called while a statement waits on
// a row another session holds (a plain statement, one in a transaction,
// statements sent together, a COMMIT), told once when the answer came, never
// called without a wait, never re-entered; the messages sent are the same
// with and without it.

#include "platform/oradb/Pipeline.h"
#include "platform/oradb/WaitHook.h"
#include "tests/support/OraFailure.h"
#include "tests/support/TestDatabase.h"

#include <functional>
#include <gtest/gtest.h>

using testsupport::failureOf;

using testsupport::TestDatabase;

namespace {

struct CountingHook : oradb::WaitHook {
    void waiting() override {
        ++waits;
        deepest = std::max(deepest, ++depth);
        if (during) std::exchange(during, {})();
        --depth;
    }
    void answered() override { ++answers; }
    int waits = 0, answers = 0, depth = 0, deepest = 0;
    std::function<void()> during;
};

class Installed {
public:
    explicit Installed(oradb::WaitHook* hook) : before_(oradb::installWaitHook(hook)) {}
    ~Installed() { oradb::installWaitHook(before_); }

private:
    oradb::WaitHook* before_;
};

class WaitHookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TestDatabase::instance().exec(
            "DROP TABLE IF EXISTS wait_kv, wait_deferred;"
            "CREATE TABLE wait_kv (k integer PRIMARY KEY, v integer);"
            "CREATE TABLE wait_deferred (k integer UNIQUE DEFERRABLE INITIALLY DEFERRED)");
    }
    void SetUp() override {
        TestDatabase::instance().exec("TRUNCATE wait_kv, wait_deferred; INSERT INTO wait_kv VALUES (1, 1)");
        db = waitingDatabase();
    }
    static std::unique_ptr<oradb::Database> waitingDatabase() {
        auto d = testsupport::openSecondDatabase();
        d->ExecuteSQL("SET lock_timeout = '600ms'");
        return d;
    }
    std::unique_ptr<oradb::Database> db;
};

struct Case {
    const char* name;
    std::function<void(oradb::Database&)> run;
};

const Case kCases[] = {
    {"statement", [](oradb::Database& d) { d.ExecuteSQL("UPDATE wait_kv SET v = 2 WHERE k = 1"); }},
    {"query in a transaction",
     [](oradb::Database& d) {
         d.BeginTrans();
         d.CreateDynaset("SELECT v FROM wait_kv WHERE k = 1 FOR UPDATE");
     }},
    {"statements sent together",
     [](oradb::Database& d) {
         oradb::Batch b(d);
         b.Begin();
         b.Add("SELECT v FROM wait_kv");
         b.Add("UPDATE wait_kv SET v = 2 WHERE k = 1");
         b.Commit();
         b.Run();
     }},
    {"commit",
     [](oradb::Database& d) {
         d.BeginTrans();
         d.ExecuteSQL("INSERT INTO wait_deferred VALUES (7)");
         d.CommitTrans();
     }},
};

TEST_F(WaitHookTest, CalledWhileAStatementWaitsOnAHeldRow) {
    testsupport::RawConnection other;
    QString error;
    ASSERT_TRUE(other.exec("begin; select 1 from wait_kv where k = 1 for update;"
                           " insert into wait_deferred values (7)",
                           &error))
        << error.toStdString();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CountingHook hook;
        long withHook = 0, trips = 0;
        {
            Installed on(&hook);
            db->ResetTraffic();
            withHook = failureOf([&] { c.run(*db); });
            trips = db->RoundTrips();
            db->Rollback();
        }
        EXPECT_EQ(withHook, 54);
        EXPECT_GT(hook.waits, 0);
        EXPECT_EQ(hook.answers, 1);

        // Without the hook: the same answer after the same messages.
        const int waits = hook.waits;
        db->ResetTraffic();
        EXPECT_EQ(failureOf([&] { c.run(*db); }), 54);
        EXPECT_EQ(db->RoundTrips(), trips);
        db->Rollback();
        EXPECT_EQ(hook.waits, waits);
        EXPECT_EQ(hook.answers, 1);
    }
    other.exec("rollback");
}

TEST_F(WaitHookTest, NeverCalledWithoutAWait) {
    CountingHook hook;
    Installed on(&hook);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TestDatabase::instance().exec("TRUNCATE wait_deferred");
        EXPECT_EQ(failureOf([&] { c.run(*db); }), -1);
        db->Rollback();
    }
    EXPECT_EQ(hook.waits, 0);
    EXPECT_EQ(hook.answers, 0);
}

TEST_F(WaitHookTest, AStatementTheHookRunsWaitsWithoutCallingItAgain) {
    testsupport::RawConnection other;
    ASSERT_TRUE(other.exec("begin; select 1 from wait_kv where k = 1 for update"));
    auto second = waitingDatabase();
    long nested = 0;
    CountingHook hook;
    hook.during = [&] {
        nested = failureOf([&] { second->CreateDynaset("SELECT v FROM wait_kv WHERE k = 1 FOR UPDATE"); });
    };
    Installed on(&hook);
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("UPDATE wait_kv SET v = 3 WHERE k = 1"); }), 54);
    EXPECT_EQ(nested, 54);
    EXPECT_EQ(hook.deepest, 1);
    EXPECT_EQ(hook.answers, 1);
    other.exec("rollback");
}

} // namespace
