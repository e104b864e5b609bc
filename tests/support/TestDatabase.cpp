#include "tests/support/TestDatabase.h"
#include "tests/support/QtPrinters.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/oradb/Database.h"
#include "platform/text/AnsiFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <libpq-fe.h>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

namespace {

QString quoteConn(const QString& v) {
    QString s = v;
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

[[noreturn]] void fatal(const QString& message) {
    ADD_FAILURE() << message.toStdString();
    throw std::runtime_error(message.toStdString());
}

PGconn* connectTo(const QString& conninfo) {
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        const QString msg = QString::fromUtf8(PQerrorMessage(c));
        PQfinish(c);
        fatal(QStringLiteral("test database: cannot connect (%1): %2").arg(conninfo, msg));
    }
    PQsetNoticeReceiver(c, [](void*, const PGresult*) {}, nullptr);
    return c;
}

// Runs SQL; returns the result or fails the test with the server's message.
PGresult* run(PGconn* c, const QString& sql) {
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        const QString msg = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
        fatal(QStringLiteral("test database: %1\n  in: %2").arg(msg.trimmed(), sql));
    }
    return r;
}

bool g_pinned = false;

} // namespace

// ---------------------------------------------------------------- TestDatabase

TestDatabase& TestDatabase::instance() {
    static TestDatabase db;
    return db;
}

TestDatabase::TestDatabase() {
    const QString envFile = qEnvironmentVariable("TESTDB_ENV");
    if (envFile.isEmpty())
        fatal(QStringLiteral("TESTDB_ENV is not set: run the tests through ctest (the pg fixture starts the server)"));
    QFile f(envFile);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        fatal(QStringLiteral("cannot read %1: did the pg.setup test run?").arg(envFile));
    QString host, port, user;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = line.left(eq), value = line.mid(eq + 1);
        if (key == QLatin1String("PGHOST")) host = value;
        else if (key == QLatin1String("PGPORT")) port = value;
        else if (key == QLatin1String("PGUSER")) user = value;
        else if (key == QLatin1String("TESTDB_TEMPLATE")) template_ = value;
    }
    server_ = QStringLiteral("host=%1 port=%2 user=%3").arg(quoteConn(host), quoteConn(port), quoteConn(user));
    for (const char* sub : {"BIN", "DOC", "CFG", "LOG", "TMP", "DAT"}) QDir(folder_.path()).mkpath(QLatin1String(sub));
    clone();
}

TestDatabase::~TestDatabase() {
    LIB_DB_Disconnect();
    try {
        drop();
    } catch (...) {
    }
}

QString TestDatabase::conninfo() const { return server_ + QStringLiteral(" dbname=") + name_; }

void TestDatabase::clone() {
    name_ = QStringLiteral("t_%1_%2")
                .arg(::getpid())
                .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16, QLatin1Char('0'));
    PGconn* c = connectTo(server_ + QStringLiteral(" dbname=postgres"));
    // Another program may be cloning the same template at this moment.
    for (int attempt = 0;; ++attempt) {
        PGresult* r = PQexec(c, QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name_, template_).toUtf8());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const QString msg = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
        if (ok) break;
        if (attempt >= 100 || !msg.contains(QLatin1String("being accessed"))) {
            PQfinish(c);
            fatal(QStringLiteral("test database: cannot clone %1: %2").arg(template_, msg));
        }
        QThread::msleep(100);
    }
    PQfinish(c);
}

void TestDatabase::drop() {
    if (name_.isEmpty()) return;
    PGconn* c = PQconnectdb((server_ + QStringLiteral(" dbname=postgres")).toUtf8().constData());
    if (PQstatus(c) == CONNECTION_OK)
        PQclear(PQexec(c, QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_).toUtf8()));
    PQfinish(c);
    name_.clear();
}

int TestDatabase::connectCommon() {
    g_strDBName = conninfo();
    g_strDBUser.clear();
    g_strDBPwd.clear();
    return LIB_DB_Connect();
}

void TestDatabase::recreate() {
    const bool wasConnected = LIB_DB_Database() != nullptr;
    LIB_DB_Disconnect();
    drop();
    clone();
    g_pinned = false;
    if (wasConnected) connectCommon();
}

void TestDatabase::exec(const QString& sql) {
    PGconn* c = connectTo(conninfo());
    try {
        PQclear(run(c, sql));
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
}

QStringList TestDatabase::column(const QString& sql) {
    PGconn* c = connectTo(conninfo());
    QStringList out;
    try {
        PGresult* r = run(c, sql);
        for (int i = 0; i < PQntuples(r); ++i) out << QString::fromUtf8(PQgetvalue(r, i, 0));
        PQclear(r);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
    return out;
}

QStringList TestDatabase::invariantViolations() {
    QFile f(qEnvironmentVariable("CONSIGN_SOURCE_DIR") + QStringLiteral("/tests/invariants.sql"));
    if (!f.open(QIODevice::ReadOnly)) fatal(QStringLiteral("cannot read tests/invariants.sql (CONSIGN_SOURCE_DIR)"));
    return column(QString::fromUtf8(f.readAll()));
}

QString TestDatabase::scalar(const QString& sql) {
    const QStringList c = column(sql);
    return c.isEmpty() ? QString() : c.first();
}

void TestDatabase::pinClock(const QString& dateTime) {
    exec(QStringLiteral("UPDATE sys_clock SET pinned_at = '%1'::timestamp WHERE id = 1").arg(dateTime));
    g_pinned = true;
}

void TestDatabase::unpinClock() {
    exec(QStringLiteral("UPDATE sys_clock SET pinned_at = NULL WHERE id = 1"));
    g_pinned = false;
}

// ---------------------------------------------------------------- RawConnection

RawConnection::RawConnection() : conn_(connectTo(TestDatabase::instance().conninfo())) {}

RawConnection::~RawConnection() {
    if (conn_) PQfinish(conn_);
}

bool RawConnection::exec(const QString& sql, QString* error) {
    PGresult* r = PQexec(conn_, sql.toUtf8().constData());
    const ExecStatusType st = PQresultStatus(r);
    const bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
    if (!ok && error) *error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    return ok;
}

QString RawConnection::scalar(const QString& sql) {
    PGresult* r = run(conn_, sql);
    const QString v = PQntuples(r) > 0 && PQnfields(r) > 0 ? QString::fromUtf8(PQgetvalue(r, 0, 0)) : QString();
    PQclear(r);
    return v;
}

int RawConnection::backendPid() const { return PQbackendPID(conn_); }

std::unique_ptr<oradb::Database> openSecondDatabase() {
    return oradb::Database::open(TestDatabase::instance().conninfo(), QString());
}

bool killBackend(int pid) {
    RawConnection admin;
    return admin.scalar(QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid)) == QLatin1String("t");
}

// ---------------------------------------------------------------- DatabaseTest

void DatabaseTest::SetUp() {
    TestDatabase& d = TestDatabase::instance();
    LIB_SetProgramFolder(d.programFolder());
    intInitEnvironment();
    const oradb::Database* live = LIB_DB_Database();
    if (!live || !live->IsConnected()) {
        ASSERT_EQ(d.connectCommon(), 0) << "LIB_DB_Connect: " << g_strErrText.toStdString();
        ASSERT_EQ(intInitBaseData(), 0) << "message and parameter caches: " << g_strErrText.toStdString();
    } else {
        g_strDBName = d.conninfo();
    }
    LIB_ClearDBError();
    LIB_ClearRunError();
    dialogs.clear();
}

void DatabaseTest::TearDown() {
    if (LIB_DB_InTrans()) LIB_DB_Rollback();
    if (watchingInvariants_) {
        watchingInvariants_ = false;
        EXPECT_EQ(db().invariantViolations(), invariantsBefore_) << "broken invariants (tests/invariants.sql)";
    }
    if (g_pinned) TestDatabase::instance().unpinClock();
}

QString DatabaseTest::todaysLog() {
    QString text;
    text::readAnsiFile(db().programFolder() + "LOG/" + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log",
                       &text);
    return text;
}

} // namespace testsupport
