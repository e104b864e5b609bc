// The database interface against the real server: statement-level atomicity,
// commit outcome, empty strings, procedure blocks, server errors and results.

#include "platform/oradb/Database.h"
#include "tests/support/OraFailure.h"
#include "tests/support/TestDatabase.h"

#include <QFile>
#include <cstdio>
#include <functional>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <libpq-fe.h>

using testsupport::failureOf;

using testsupport::TestDatabase;

namespace {

class OraDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TestDatabase::instance().exec(
            "DROP TABLE IF EXISTS ora_child, ora_parent, ora_kv, ora_types, ora_deferred, ora_self;"
            "CREATE TABLE ora_kv (k integer CONSTRAINT pk_ora_kv PRIMARY KEY, v varchar(20));"
            "CREATE TABLE ora_parent (id varchar(10) CONSTRAINT pk_reader_t PRIMARY KEY);"
            "CREATE TABLE ora_child (id integer PRIMARY KEY, parent varchar(10)"
            "  CONSTRAINT fk9_re_reader_t REFERENCES ora_parent(id));"
            "CREATE TABLE ora_self (id integer PRIMARY KEY, up integer CONSTRAINT ora_parent REFERENCES ora_self(id));"
            "CREATE TABLE ora_deferred (k integer CONSTRAINT pk_reader_cert_t UNIQUE DEFERRABLE INITIALLY DEFERRED);"
            "CREATE TABLE ora_types (t text, vc varchar(30), ch char(4), i2 smallint, i4 integer, i8 bigint,"
            "  n numeric(12,2), f double precision, d date, ts timestamp, b boolean, raw bytea);");
    }
    void SetUp() override {
        TestDatabase::instance().exec("TRUNCATE ora_kv, ora_child, ora_parent, ora_types, ora_deferred, ora_self");
        db = testsupport::openSecondDatabase();
    }
    long count(const QString& where = "true") {
        return TestDatabase::instance().scalar("SELECT count(*) FROM ora_kv WHERE " + where).toLong();
    }
    std::unique_ptr<oradb::Database> db;
};

TEST_F(OraDatabase, FailedStatementInTransactionUndoesOnlyItself) {
    db->BeginTrans();
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')");
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'again')"); }), 1);
    EXPECT_EQ(failureOf([&] { db->CreateDynaset("SELECT no_such_column FROM ora_kv"); }), 904);
    // A text the server cannot even parse fails before any part of its request runs.
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("INSERT INTO ora_kv VALUES (3"); }), 900);
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("INSERT INTO ora_kv VALUES (3, 'x"); }), 900);
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (2, 'b')");
    EXPECT_TRUE(db->InTransaction());
    db->CommitTrans();
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(count("k = 1 AND v = 'a'"), 1);
}

// Counts the query messages the client sends while f runs.
int queriesSent(oradb::Database& db, const std::function<void()>& f) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path() + "/trace");
    FILE* trace = std::fopen(path.constData(), "w");
    PQtrace(db.handle(), trace);
    f();
    PQuntrace(db.handle());
    std::fclose(trace);
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    int n = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.contains("\tF\t") && line.contains("\tQuery\t")) ++n;
    return n;
}

TEST_F(OraDatabase, SavepointStatementAndReleaseGoInOneRoundTrip) {
    db->BeginTrans();
    EXPECT_EQ(queriesSent(*db, [&] { db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')"); }), 1);
    EXPECT_EQ(queriesSent(*db, [&] { db->CreateDynaset("SELECT * FROM ora_kv"); }), 1);
    db->CommitTrans();
    EXPECT_EQ(count(), 1);
}

TEST_F(OraDatabase, OutsideTransactionEachStatementCommitsAtOnce) {
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')");
    EXPECT_EQ(count(), 1);
    db->BeginTrans();
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (2, 'b')");
    EXPECT_EQ(count(), 1); // not visible to others before the commit
    db->Rollback();
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(count(), 1);
    // Commit and rollback without a transaction are harmless.
    db->CommitTrans();
    db->Rollback();
}

TEST_F(OraDatabase, RefusedCommitIsAFailure) {
    // A deferred unique check refuses the commit itself.
    db->BeginTrans();
    db->ExecuteSQL("INSERT INTO ora_deferred VALUES (7)");
    db->ExecuteSQL("INSERT INTO ora_deferred VALUES (7)");
    QString text;
    EXPECT_EQ(failureOf([&] { db->CommitTrans(); }, &text), 1);
    EXPECT_TRUE(text.contains("PK_READER_CERT")) << text.toStdString();
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT count(*) FROM ora_deferred"), "0");

    // A transaction the server has aborted answers COMMIT with ROLLBACK.
    db->BeginTrans();
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (5, 'lost')");
    PQclear(PQexec(db->handle(), "SELECT 1/0")); // bypasses the savepoints
    EXPECT_EQ(failureOf([&] { db->CommitTrans(); }), 2091);
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(db->LastServerErrText().startsWith("ORA-02091"));
}

TEST_F(OraDatabase, EmptyLiteralArrivesAsNullDoubledQuoteUntouched) {
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, '')");
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (2, 'it''s')");
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (3, '''')");
    EXPECT_EQ(count("v IS NULL"), 1);
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT v FROM ora_kv WHERE k = 2"), "it's");
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT v FROM ora_kv WHERE k = 3"), "'");
    // A comparison with '' finds nothing, as with NULL.
    EXPECT_EQ(db->CreateDynaset("SELECT k FROM ora_kv WHERE v = ''")->RecordCount(), 0);
    // A bound value never carries a NUL (which would cut the statement short)
    // or a lone surrogate to the server.
    db->Parameters().Add("V", QString("B") + QChar(0) + "7" + QChar(0xDC00), oradb::ParamInput);
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (4, :V)");
    db->Parameters().Remove("V");
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT v FROM ora_kv WHERE k = 4"), "B7");
}

TEST_F(OraDatabase, ProcedureBlockRunsAsCallAndOutputBindIsRead) {
    TestDatabase::instance().pinClock("2024-02-29 23:59:58");
    db->ExecuteSQL("Begin XT_wkr_job_qty('401','0001',0,1,0); end;");
    EXPECT_EQ(TestDatabase::instance().scalar(
                  "SELECT volume FROM wkr_job_qty WHERE wkr_no_f='0001' AND job_type='401' AND oper_date='2024-02-29'"),
              "1");

    db->Parameters().Add("SVRDATE", QString(), oradb::ParamOutput);
    db->DbExecuteSQL("Begin SYS_GetServerDate(:SVRDATE); end;");
    EXPECT_EQ(db->Parameters().Item("svrdate").Value.toString(), "2024-02-29 23:59:58");
    db->Parameters().Remove("SVRDATE");

    TestDatabase::instance().unpinClock();
    db->Parameters().Add("SVRDATE", QString(), oradb::ParamOutput);
    db->DbExecuteSQL("Begin SYS_GetServerDate(:SVRDATE); end;");
    static const QRegularExpression form("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$");
    EXPECT_TRUE(form.match(db->Parameters().Item("SVRDATE").Value.toString()).hasMatch());
    TestDatabase::instance().exec("DELETE FROM wkr_job_qty");
}

TEST_F(OraDatabase, ServerErrorsCarryTheNumbersTheErrorReportActsOn) {
    db->ExecuteSQL("INSERT INTO ora_parent VALUES ('R1')");
    db->ExecuteSQL("INSERT INTO ora_child VALUES (1, 'R1')");
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')");
    struct Case { const char* sql; long number; const char* inText; } cases[] = {
        {"INSERT INTO ora_parent VALUES ('R1')", 1, "ORA-00001: unique constraint (PK_READER_T) violated"},
        {"DELETE FROM ora_parent", 2292, "(FK9_RE_READER_T) violated - child record found"},
        {"INSERT INTO ora_child VALUES (2, 'NONE')", 2291, "(FK9_RE_READER_T) violated - parent key not found"},
        {"INSERT INTO ora_kv VALUES (NULL, 'x')", 1400, "ORA-01400"},
        {"INSERT INTO ora_kv VALUES (9, 'a string far too long for it')", 12899, "ORA-12899"},
        {"SELECT 'x'::integer", 1722, "ORA-01722"},
        {"SELECT * FROM no_such_table", 942, "ORA-00942"},
        {"SELEC 1", 900, "ORA-00900"},
    };
    for (const Case& c : cases) {
        QString text;
        EXPECT_EQ(failureOf([&] { db->ExecuteSQL(c.sql); }, &text), c.number) << c.sql;
        EXPECT_TRUE(text.contains(c.inText)) << c.sql << " -> " << text.toStdString();
        EXPECT_EQ(db->LastServerErrText(), text);
    }
    // The text is reset by the next call.
    db->ExecuteSQL("SELECT 1");
    EXPECT_EQ(db->LastServerErrText(), "");
}

// A missing parent and a remaining child are told apart by the tables the
// server names, not by the words of its message: the same in Chinese, inside a
// transaction and out of it, for a table that refers to itself and for a
// constraint named like a table.
TEST_F(OraDatabase, ForeignKeyNumbersDoNotDependOnTheMessageLanguage) {
    db->ExecuteSQL("INSERT INTO ora_parent VALUES ('R1')");
    db->ExecuteSQL("INSERT INTO ora_child VALUES (1, 'R1')");
    db->ExecuteSQL("INSERT INTO ora_self VALUES (1, NULL), (2, 1)");
    struct Case { const char* sql; long number; } cases[] = {
        {"DELETE FROM ora_parent", 2292},
        {"UPDATE ora_parent SET id = 'R9'", 2292},
        {"INSERT INTO ora_child VALUES (2, 'NONE')", 2291},
        {"UPDATE ora_child SET parent = 'NONE'", 2291},
        {"DELETE FROM ora_self WHERE id = 1", 2292},
        {"INSERT INTO ora_self VALUES (3, 7)", 2291},
        {"UPDATE ora_self SET up = 7 WHERE id = 2", 2291},
    };
    for (const char* language : {"C", "zh_CN.UTF-8"}) {
        ASSERT_EQ(failureOf([&] { db->ExecuteSQL(QStringLiteral("SET lc_messages = '%1'").arg(language)); }), -1)
            << language << " is not a locale of this machine (scripts/install-deps generates it)";
        QString text;
        failureOf([&] { db->ExecuteSQL("SELECT * FROM no_such_table"); }, &text);
        EXPECT_EQ(text.contains(QString::fromUtf8("不存在")), language[0] == 'z')
            << text.toStdString() << " (are the server's message translations installed?)";
        for (const bool inTrans : {false, true}) {
            if (inTrans) db->BeginTrans();
            for (const Case& c : cases)
                EXPECT_EQ(failureOf([&] { db->ExecuteSQL(c.sql); }), c.number) << language << ": " << c.sql;
            if (inTrans) db->Rollback();
        }
    }
    EXPECT_EQ(TestDatabase::instance().scalar("SELECT count(*) FROM ora_self"), "2");
}

TEST_F(OraDatabase, LockedRowWithNowaitIs54) {
    auto other = testsupport::openSecondDatabase();
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')");
    other->BeginTrans();
    other->CreateDynaset("SELECT * FROM ora_kv WHERE k = 1 FOR UPDATE");
    db->BeginTrans();
    EXPECT_EQ(failureOf([&] { db->CreateDynaset("SELECT * FROM ora_kv WHERE k = 1 FOR UPDATE NOWAIT"); }), 54);
    // The transaction goes on after the refused lock.
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (2, 'b')");
    other->Rollback();
    db->CommitTrans();
    EXPECT_EQ(count(), 2);
}

TEST_F(OraDatabase, KilledConnectionGivesLostConnectionNumbers) {
    db->BeginTrans();
    db->ExecuteSQL("INSERT INTO ora_kv VALUES (1, 'a')");
    ASSERT_TRUE(testsupport::killBackend(db->BackendPid()));
    const long first = failureOf([&] { db->ExecuteSQL("INSERT INTO ora_kv VALUES (2, 'b')"); });
    EXPECT_TRUE(first == 28 || first == 3113) << first;
    EXPECT_FALSE(db->IsConnected());
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(failureOf([&] { db->ExecuteSQL("SELECT 1"); }), 3114);
    EXPECT_EQ(count(), 0);
}

// The server ends an idle session: the next statement meets a lost connection,
// whatever the server named as the reason.
TEST_F(OraDatabase, SessionEndedByTheServerIsALostConnection) {
    db->ExecuteSQL("SET idle_session_timeout = '100ms'");
    QThread::msleep(400);
    const long number = failureOf([&] { db->ExecuteSQL("SELECT 1"); });
    EXPECT_TRUE(number == 3113 || number == 3114) << number;
}

TEST_F(OraDatabase, ResultShapeTypesSizesAndNulls) {
    db->ExecuteSQL("INSERT INTO ora_types VALUES ('  ab  ', 'x', 'ab', 7, 70000, 9000000000, 12.50, 0.25,"
                   " '2024-01-02', '2024-01-02 03:04:05', true, '\\x424d00ff'::bytea)");
    db->ExecuteSQL("INSERT INTO ora_types (t) VALUES (NULL)");
    auto ds = db->CreateDynaset("SELECT t, vc, ch, i2, i4, i8, n, f, d, ts, b, raw, count(*) over () AS cnt "
                                "FROM ora_types ORDER BY t NULLS LAST");
    ASSERT_EQ(ds->RecordCount(), 2);
    ASSERT_EQ(ds->FieldCount(), 13);
    const int types[] = {10, 10, 10, 3, 4, 7, 7, 7, 8, 8, 11, 24, 7};
    for (int c = 0; c < 13; ++c) EXPECT_EQ(ds->Fields(c).Type(), types[c]) << c;
    EXPECT_EQ(ds->Fields(0).Name(), "T");
    EXPECT_EQ(ds->Fields("Cnt").Name(), "CNT");
    EXPECT_EQ(ds->Fields("vc").Size(), 30);
    EXPECT_EQ(ds->Fields("ch").Size(), 4);
    EXPECT_EQ(ds->Fields("n").Size(), 12);
    EXPECT_EQ(ds->Fields("t").Size(), 0);

    ds->MoveFirst();
    EXPECT_EQ(ds->Fields("t").Value().toString(), "  ab  ");
    EXPECT_EQ(ds->Fields("i8").Value().toLongLong(), 9000000000LL);
    EXPECT_DOUBLE_EQ(ds->Fields("n").Value().toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(ds->Fields("f").Value().toDouble(), 0.25);
    QByteArray chunk;
    EXPECT_EQ(ds->GetChunkByte(chunk, 11, 0, 2), 2);
    EXPECT_EQ(chunk, QByteArray("\x42\x4d", 2));
    EXPECT_EQ(ds->GetChunkByte(chunk, 11, 2, 100), 2);
    EXPECT_EQ(chunk, QByteArray("\x00\xff", 2));
    ds->MoveNext();
    EXPECT_TRUE(ds->Fields("t").IsNull());
    EXPECT_TRUE(ds->Fields("n").Value().isNull());
    ds->MoveNext();
    EXPECT_TRUE(ds->IsEOF());
    EXPECT_EQ(failureOf([&] { ds->Fields("nope"); }), oradb::ErrNoSuchField);
}

TEST_F(OraDatabase, ServiceNameFromTheServiceFile) {
    // A plain DSN names a service of the libpq service file.
    QTemporaryDir dir;
    QFile file(dir.path() + "/pg_service.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[desk_test]\n");
    PQconninfoOption* opts = PQconninfoParse(TestDatabase::instance().conninfo().toUtf8().constData(), nullptr);
    ASSERT_NE(opts, nullptr);
    for (PQconninfoOption* o = opts; o->keyword; ++o)
        if (o->val) file.write(QByteArray(o->keyword) + "=" + o->val + "\n");
    PQconninfoFree(opts);
    file.close();
    qputenv("PGSERVICEFILE", QFile::encodeName(file.fileName()));
    auto viaService = oradb::Database::open("desk_test", "");
    qunsetenv("PGSERVICEFILE");
    auto ds = viaService->CreateDynaset("SELECT current_database()");
    ds->MoveFirst();
    EXPECT_EQ(ds->Fields(0).Text(), TestDatabase::instance().name());
}

TEST_F(OraDatabase, ConnectFailureAndServiceNames) {
    EXPECT_EQ(failureOf([] { oradb::Database::open("host=/nonexistent-socket-dir dbname=x", "u/p"); }),
              oradb::ErrConnectFailed);
    EXPECT_EQ(failureOf([] { oradb::Database::open("no_such_service_name", "u/p"); }), oradb::ErrConnectFailed);
}

} // namespace
