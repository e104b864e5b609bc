// The round trips the database interface counts are the ones the server sees
// over a network: a relay between the two counts the turns of the
// conversation, from the first statement of a session on.

#include "platform/oradb/Pipeline.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/WireRelay.h"

#include <gtest/gtest.h>

namespace {

class OraWireCount : public ::testing::Test {
protected:
    void SetUp() override {
        db = oradb::Database::open(relay.conninfo(), QString());
        ASSERT_TRUE(db->IsConnected());
        restart();
    }
    void restart() {
        db->ResetTraffic();
        relay.reset();
    }
    testsupport::WireRelay relay;
    std::unique_ptr<oradb::Database> db;
};

TEST_F(OraWireCount, TheServerSeesWhatTheCounterCounts) {
    struct Step {
        const char* name;
        std::function<void(oradb::Database&)> run;
    };
    auto selects = [](oradb::Batch& b, int n) {
        for (int i = 0; i < n; ++i)
            b.Add(QStringLiteral("SELECT %1 AS n, repeat('x', %1)").arg(i));
    };
    const Step steps[] = {
        {"statements outside a transaction, each one its own sync",
         [&](oradb::Database& d) {
             oradb::Batch b(d);
             selects(b, 200);
             b.Run();
         }},
        // Long enough for the first of them to reach the server, and be
        // answered, while the client still writes the last.
        {"five hundred short statements outside a transaction (one TCP segment)",
         [&](oradb::Database& d) {
             oradb::Batch b(d);
             for (int i = 0; i < 500; ++i)
                 b.Add(QStringLiteral("SELECT %1").arg(i));
             b.Run();
         }},
        {"a prepared statement's first use among them",
         [&](oradb::Database& d) {
             oradb::Batch b(d);
             b.AddPrepared("wire_first", "SELECT $1::int + 1, repeat('y', 4000)", {1});
             selects(b, 50);
             b.AddPrepared("wire_second", "SELECT $1::text || 'z', repeat('y', 9000)", {"a"});
             b.Run();
         }},
        {"the prepared statements again",
         [&](oradb::Database& d) {
             oradb::Batch b(d);
             b.AddPrepared("wire_first", "SELECT $1::int + 1, repeat('y', 4000)", {2});
             b.AddPrepared("wire_second", "SELECT $1::text || 'z', repeat('y', 9000)", {"b"});
             b.Run();
         }},
        {"a transaction begun and committed with its statements, a long text among them",
         [&](oradb::Database& d) {
             oradb::Batch b(d);
             b.Begin();
             selects(b, 100);
             b.Add(QStringLiteral("SELECT length('%1')").arg(QString(20000, QLatin1Char('w'))));
             b.Commit();
             b.Run();
         }},
        {"one statement", [&](oradb::Database& d) { d.CreateDynaset("SELECT 1"); }},
        {"a statement that fails in a transaction, undone to its savepoint",
         [&](oradb::Database& d) {
             d.BeginTrans();
             oradb::Batch b(d);
             selects(b, 20);
             b.Add("SELECT no_such_column FROM pg_class");
             EXPECT_THROW(b.Run(), oradb::Error);
             d.Rollback();
         }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        restart();
        s.run(*db);
        EXPECT_EQ(relay.turns(), db->RoundTrips());
    }
}

} // namespace
