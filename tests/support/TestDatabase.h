#pragma once
// The database fixture of the tests.
//
// A CTest fixture starts one throw-away server per test run and builds a
// template database from db/; the file named by TESTDB_ENV tells where it is.
// Each test program clones its own database from the template on first use
// (dropped again when the program ends) and connects the common library to it
// through the program's own connect routine (LIB_DB_Connect).
//
//   class MyTest : public testsupport::DatabaseTest {};
//   TEST_F(MyTest, Lends) { ... LIB_DB_Execute(...) ... dialogs.shown ... }
//
// DatabaseTest gives every test a connected common library, a scripted dialog
// service (`dialogs`), an empty pending error, a private program folder with
// its LOG/ folder, and rolls back and unpins the clock afterwards. Tests of one
// program share the clone: leave it as you found it, or call
// TestDatabase::instance().recreate() for a pristine copy.

#include "platform/ui/DialogService.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct pg_conn;

namespace oradb { class Database; }

namespace testsupport {

class TestDatabase {
public:
    // The process's clone, created on first use. Fails the calling test (and
    // throws) when the server cannot be reached.
    static TestDatabase& instance();

    QString name() const { return name_; }
    // libpq connection string of the clone: "host=... port=... user=... dbname=...".
    QString conninfo() const;

    // Sets g_strDBName, g_strDBUser and g_strDBPwd to the clone and runs
    // LIB_DB_Connect(); returns its result.
    int connectCommon();
    // Drops the clone and clones it anew from the template; reconnects the
    // common library when it was connected.
    void recreate();

    // Runs SQL on the clone over a connection of its own; fails the test on an
    // error. `scalar` gives the first cell ("" for none or null).
    void exec(const QString& sql);
    QString scalar(const QString& sql);
    QStringList column(const QString& sql);
    // The rows of tests/invariants.sql on the clone, each naming a broken invariant.
    QStringList invariantViolations();

    // Pins the server clock (desk_now(), SYS_GetServerDate) at a
    // "yyyy-mm-dd hh:mm:ss" value for every connection to the clone; unpin
    // returns it to the real time.
    void pinClock(const QString& dateTime);
    void unpinClock();

    // The private program folder of this test program (with LOG/, CFG/, TMP/, ...).
    QString programFolder() const { return folder_.path() + QLatin1Char('/'); }

    ~TestDatabase();

private:
    TestDatabase();
    void clone();
    void drop();
    QString server_;   // host/port/user part of the connection string
    QString template_;
    QString name_;
    QTemporaryDir folder_;
};

// A connection of its own to the test database, as a second desk would have.
class RawConnection {
public:
    RawConnection();
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    pg_conn* get() const { return conn_; }
    // Runs SQL; false (with the server's message in *error) when it fails.
    bool exec(const QString& sql, QString* error = nullptr);
    QString scalar(const QString& sql);
    int backendPid() const;

private:
    pg_conn* conn_ = nullptr;
};

// A second database object of the program's own interface on the test
// database (another desk running the program).
std::unique_ptr<oradb::Database> openSecondDatabase();

// Ends the backend of a connection from outside, as a network failure or an
// administrator would; true when the server did so.
bool killBackend(int pid);

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TestDatabase& db() { return TestDatabase::instance(); }
    // The texts of the message boxes shown so far, in order.
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const ui::BoxRequest& b : dialogs.shown)
            texts << b.text;
        return texts;
    }
    // The daily log of today in the program folder ("" when none was written).
    QString todaysLog();
    // Checks the invariants after the test: it must leave no broken invariant
    // beyond those the database broke when this was called (the demo keeps a
    // few broken records for the refusals they show).
    void watchInvariants() {
        captureInvariants();
        watchingInvariants_ = true;
    }
    // Takes the invariants the database breaks now as the ones it started with.
    void captureInvariants() { invariantsBefore_ = db().invariantViolations(); }
    // The invariants broken now that were not broken when they were captured.
    QStringList newInvariantViolations() {
        QStringList now = db().invariantViolations();
        for (const QString& v : invariantsBefore_)
            now.removeOne(v);
        return now;
    }
    ui::ScriptedDialogService dialogs;

private:
    bool watchingInvariants_ = false;
    QStringList invariantsBefore_;
};

} // namespace testsupport
