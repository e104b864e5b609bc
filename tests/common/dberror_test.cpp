// The error report: messages chosen by kind, server number and constraint
// names, log lines, the reconnect loop after a lost connection.

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/oradb/Database.h"
#include "tests/support/TestDatabase.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class ErrorReport : public testsupport::DatabaseTest {
protected:
    void pending(int kind, long number, const QString& text) {
        g_intErrKind = kind;
        g_lngErrNo = number;
        g_strErrText = text;
        g_strErrProc = "LIB_DB_Execute";
    }
    QStringList logLines() {
        QFile f(g_strPath[4] + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    void clearLog() { QFile::remove(g_strPath[4] + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log"); }
};

TEST_F(ErrorReport, MessageByKindNumberAndText) {
    struct Case { int kind; long number; const char* text; const char* shown; } cases[] = {
        {1005, 1, "ORA-00001: unique constraint (LIB.PK_READER_CERT) violated", "读者条码号重复!"},
        {1005, 1, "ORA-00001: unique constraint (PK_READER) violated", "读者证件号重复!"},
        {1003, 1, "ora-00001: unique constraint (pk_asord_cata_detl) violated", "征订号重复!"},
        {1005, 1, "ORA-00001: unique constraint (PK_ASORD_CATA) violated", "征订目录重复!"},
        {1005, 1, "ORA-00001: unique constraint (INDI_BARCODE_IDX) violated", "条码号重复!"},
        {1005, 1, "ORA-00001: unique constraint (PK_SOMETHING) violated", "记录重复，不能保存！"},
        {1003, 2292, "ORA-02292: integrity constraint (FK_ITEM_RE_MARC) violated - child record found",
         "该MARC已经被相关记录引用!"},
        {1005, 2292, "ORA-02292: integrity constraint (FK3_RE_CALL) violated - child record found",
         "该索书号已经被相关记录引用!"},
        {1005, 2292, "ORA-02292: integrity constraint (READERFK) violated", "该读者已经被相关记录引用!"},
        {1005, 2292, "ORA-02292: integrity constraint (FK_X_RE_Y) violated - child record found",
         "该记录已经被相关记录引用，不能删除！"},
        {1005, 54, "ORA-00054: resource busy", "该记录已经被锁定!"},
        {1005, -1, "no number here", "数据库操作出错，请查看日志文件或与系统管理员联系！"},
        {1003, 942, "ORA-00942: table or view does not exist", "数据库操作出错，请查看日志文件或与系统管理员联系！"},
        {1001, 12154, "cannot connect", "与数据库连接失败，启动失败！"},
        {1007, 75, "Path/File access error", "系统出错，请查看日志文件或与系统管理员联系！"},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        pending(c.kind, c.number, QString::fromUtf8(c.text));
        EXPECT_EQ(intShowDBError(), 0);
        ASSERT_EQ(dialogs.shown.size(), 1) << c.text;
        EXPECT_EQ(dialogs.lastText(), QString::fromUtf8(c.shown)) << c.text;
        EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
        EXPECT_EQ(g_intErrKind, 0);
        EXPECT_TRUE(g_strErrText.isEmpty() && g_strErrProc.isEmpty() && g_strErrMsgCode.isEmpty());
        EXPECT_EQ(g_lngErrNo, c.number); // kept
    }
    // The connection failure text has no type letter: shown whole, no beep.
    dialogs.clear();
    pending(1001, 1, "x");
    intShowDBError();
    EXPECT_FALSE(dialogs.shown.last().beep);
}

TEST_F(ErrorReport, NoOtherKeyOfTheSchemaPassesForAKnownDuplicate) {
    // A duplicate is named by the first known key its constraint name contains,
    // so a key such as PK_READER_TYPE would be reported as a duplicate card.
    const QStringList known = {"INDI_BARCODE_IDX", "PK_INDI_ACCT",       "PK_CALL_NO_LST", "PK_ORDER",
                               "PK_ASORD_CATA_DETL", "PK_ASORD_CATA",    "PK_INPUT_BATCH", "PK_CHECK_ACCT",
                               "PK_READER_CERT",   "PK_READER"};
    const QStringList names = db().column(
        "SELECT upper(c.relname) FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid"
        " JOIN pg_namespace n ON n.oid = c.relnamespace WHERE i.indisunique AND n.nspname = 'public'");
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        for (const QString& key : known) {
            if (name.contains(key)) {
                EXPECT_EQ(name, key) << "unique key " << name.toStdString() << " reads as " << key.toStdString();
                break;
            }
        }
    }
}

TEST_F(ErrorReport, RunTimeErrorsWhenNothingIsPending) {
    struct Case { long number; const char* shown; } cases[] = {
        {5, "程序运行出错：无效的参数！"},
        {6, "程序运行出错：数值溢出！"},
        {13, "程序运行出错：Type mismatch"},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        LIB_SetRunError(c.number, "Type mismatch");
        EXPECT_EQ(intShowDBError(), 0);
        EXPECT_EQ(dialogs.lastText(), QString::fromUtf8(c.shown));
        EXPECT_EQ(LIB_RunErrorNumber(), 0);
    }
    // 364: nothing shown, nothing logged, -1.
    clearLog();
    dialogs.clear();
    LIB_SetRunError(364, "unloaded");
    EXPECT_EQ(intShowDBError(), -1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(LIB_RunErrorNumber(), 0);
}

TEST_F(ErrorReport, ServerFailureIsShownAndLoggedWithItsSql) {
    db().exec("DROP TABLE IF EXISTS err_t; CREATE TABLE err_t (k integer CONSTRAINT pk_reader_cert_e PRIMARY KEY)");
    clearLog();
    g_strSQL = "INSERT INTO err_t VALUES (1)";
    ASSERT_EQ(LIB_DB_Execute(g_strSQL), 0);
    g_intSQLRet = LIB_DB_Execute(g_strSQL);
    ASSERT_EQ(g_intSQLRet, -1);
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "读者条码号重复!");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("ORA-00001")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(";INSERT INTO err_t VALUES (1)")) << lines[1].toStdString();
}

TEST_F(ErrorReport, RowLockedByAnotherDeskIsReportedAsLocked) {
    db().exec("DROP TABLE IF EXISTS err_lock; CREATE TABLE err_lock (k integer PRIMARY KEY); INSERT INTO err_lock VALUES (1)");
    testsupport::RawConnection otherDesk;
    ASSERT_TRUE(otherDesk.exec("BEGIN; SELECT * FROM err_lock WHERE k = 1 FOR UPDATE"));
    LIB_DB_BeginTrans();
    DBResultSet rs;
    g_strSQL = "SELECT * FROM err_lock WHERE k = 1 FOR UPDATE NOWAIT";
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    ASSERT_EQ(g_intSQLRet, -1);
    LIB_DB_Rollback();
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "该记录已经被锁定!");
    otherDesk.exec("ROLLBACK");
}

TEST_F(ErrorReport, AnOldServerErrorNeverClassifiesANewFailure) {
    db().exec("DROP TABLE IF EXISTS err_u; CREATE TABLE err_u (k integer PRIMARY KEY); INSERT INTO err_u VALUES (1)");
    ASSERT_EQ(LIB_DB_Execute("INSERT INTO err_u VALUES (1)"), -1);
    EXPECT_EQ(intGetOraErrNo(), 1);
    ASSERT_EQ(LIB_DB_CallProc("no_blank_here"), -1);
    EXPECT_EQ(g_lngErrNo, -1);
    EXPECT_EQ(intGetOraErrNo(), -1);
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "数据库操作出错，请查看日志文件或与系统管理员联系！");
}

// Kills the common library's server session, then runs a statement.
void loseConnection() {
    ASSERT_TRUE(LIB_DB_Database());
    ASSERT_TRUE(testsupport::killBackend(LIB_DB_Database()->BackendPid()));
    g_strSQL = "SELECT 1";
    g_intSQLRet = LIB_DB_Execute(g_strSQL);
    ASSERT_EQ(g_intSQLRet, -1);
    ASSERT_TRUE(g_lngErrNo == 28 || g_lngErrNo == 3113) << g_lngErrNo;
}

TEST_F(ErrorReport, LostConnectionReconnectsWhenTheWorkerAgrees) {
    loseConnection();
    dialogs.answers = {ui::BoxAnswer::Ok};
    EXPECT_EQ(intShowDBError(), 0);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].text, "网络非正常中断，重新连接数据库？");
    EXPECT_EQ(dialogs.shown[0].defaultAnswer, ui::BoxAnswer::Ok);
    EXPECT_EQ(dialogs.shown[1].text, "数据库连接成功！");
    EXPECT_EQ(g_intSQLRet, 0);
    EXPECT_EQ(LIB_DB_Execute("SELECT 1"), 0);
}

TEST_F(ErrorReport, CancelLeavesTheConnectionBrokenAndTheNextCallAsksAgain) {
    loseConnection();
    dialogs.answers = {ui::BoxAnswer::Cancel};
    intShowDBError();
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(LIB_DB_Execute("SELECT 1"), -1);
    EXPECT_EQ(g_lngErrNo, 3114);
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "数据库连接成功！");
    EXPECT_EQ(LIB_DB_Execute("SELECT 1"), 0);
}

// Answers OK to everything and lets the server come back after the second
// failed attempt.
class ComingBack : public ui::ScriptedDialogService {
public:
    QString goodName;
    int failures = 0;
    ui::BoxAnswer showBox(const ui::BoxRequest& r) override {
        if (r.text == QString::fromUtf8("数据库连接失败，重新连接数据库？") && ++failures == 2) g_strDBName = goodName;
        return ScriptedDialogService::showBox(r);
    }
};

TEST_F(ErrorReport, TwoFailedAttemptsThenSuccess) {
    loseConnection();
    ComingBack script;
    script.goodName = g_strDBName;
    g_strDBName = "host=/nonexistent-folder dbname=none";
    script.answers = {ui::BoxAnswer::Ok, ui::BoxAnswer::Ok, ui::BoxAnswer::Ok};
    intShowDBError();
    QStringList texts;
    for (const auto& b : script.shown) texts << b.text;
    EXPECT_EQ(texts, QStringList({"网络非正常中断，重新连接数据库？", "数据库连接失败，重新连接数据库？",
                                  "数据库连接失败，重新连接数据库？", "数据库连接成功！"}));
    EXPECT_EQ(g_intSQLRet, 0);
    EXPECT_EQ(g_intErrKind, 0); // the failed attempts' records are cleared
    EXPECT_EQ(LIB_DB_Execute("SELECT 1"), 0);
}

TEST_F(ErrorReport, ServerDateOnALostConnectionIsARunTimeError) {
    ASSERT_TRUE(testsupport::killBackend(LIB_DB_Database()->BackendPid()));
    EXPECT_EQ(strGetServerDate(), "");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.lastText().startsWith("程序运行出错：")) << dialogs.lastText().toStdString();
    EXPECT_EQ(g_intErrKind, 0);
    EXPECT_EQ(varGetSysInfo(1).toString(), "");
}

} // namespace
