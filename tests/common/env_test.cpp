// The connection file, the folder table, run-time values and the daily log.

#include "common/LoginState.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "platform/text/CodePage.h"
#include "tests/support/TestDatabase.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Environment : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        saved = {g_strDBName, g_strDBUser, g_strDBPwd};
    }
    void TearDown() override {
        g_strDBName = saved[0];
        g_strDBUser = saved[1];
        g_strDBPwd = saved[2];
        LIB_SetProgramFolder(db().programFolder());
        intInitEnvironment();
        g_strDBName = saved[0];
        DatabaseTest::TearDown();
    }
    void writeIni(const QString& folder, const QString& text) {
        QFile f(folder + "/QORLAN.INI");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text::toGb18030(QString(text).replace("\n", "\r\n")));
    }
    QString logFile() { return g_strPath[4] + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log"; }
    QStringList saved;
    QTemporaryDir dir;
};

TEST_F(Environment, ConnectionValuesFromTheIniFile) {
    writeIni(dir.path(), "[LIB-DATA]\nLIB_SERVER = 总馆服务器\n"
                         "[总馆服务器]\nDRIVER=x\nDSN = service_name\nUID=libuser\nPWD=" +
                             strScramblePwd("s3cret/中文") + "\n[Other]\nDSN=wrong\n");
    LIB_SetProgramFolder(dir.path());
    EXPECT_EQ(intInitEnvironment(), 0);
    EXPECT_EQ(g_strDBName, "service_name");
    EXPECT_EQ(g_strDBUser, "libuser");
    EXPECT_EQ(g_strDBPwd, "s3cret/中文");
}

TEST_F(Environment, MissingFileGivesEmptyValuesAndAFullFolderTable) {
    LIB_SetProgramFolder(dir.path());
    EXPECT_EQ(intInitEnvironment(), 0);
    EXPECT_EQ(g_strDBName, "");
    EXPECT_EQ(g_strDBUser, "");
    const QString p = dir.path() + "/";
    const QString expected[11] = {p, p + "BIN/", p + "DOC/", p + "CFG/", p + "LOG/", p + "TMP/", p + "DAT/",
                                  p + "CFG/BM/BaseParam/", p + "CFG/BM/CardParam/", p + "CFG/BM/Template/",
                                  p + "CFG/BM/Z3950/"};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(g_strPath[i], expected[i]) << i;
    EXPECT_EQ(varGetSysInfo(13).toString(), p + "TMP/");
    EXPECT_EQ(varGetSysInfo(14).toString(), p + "CFG/");
    EXPECT_EQ(varGetSysInfo(10).toString(), p);
    EXPECT_EQ(varGetSysInfo(20).toString(), p + "CFG/BM/Z3950/");
    // The connection then fails.
    EXPECT_EQ(LIB_DB_Connect(), -1);
    EXPECT_EQ(g_intErrKind, 1001);
    EXPECT_EQ(g_strErrProc, "LIB_DB_Connect");
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "与数据库连接失败，启动失败！");
}

TEST_F(Environment, LongPasswordIsCutBeforeUnscrambling) {
    const QString plain300(300, 'p');
    writeIni(dir.path(), "[LIB-DATA]\nLIB_SERVER=S\n[S]\nPWD=" + plain300 + "\n");
    LIB_SetProgramFolder(dir.path());
    ASSERT_EQ(intInitEnvironment(), 0);
    EXPECT_EQ(g_strDBPwd, QString(255, 'p'));
}

TEST_F(Environment, ScrambleRoundTripAndTheCommand) {
    for (const QString& s : {QString(""), QString("abc"), QString("密码 with blanks/and=signs"), QString(100, 'z')})
        EXPECT_EQ(strUnscramblePwd(strScramblePwd(s)), s);
    EXPECT_NE(strScramblePwd("abc"), "abc");
    EXPECT_EQ(strUnscramblePwd("plainpwd"), "plainpwd"); // not scrambled: taken as it is
    QProcess p;
    p.start("python3", {qEnvironmentVariable("CONSIGN_SOURCE_DIR") + "/scripts/scramble-pwd", "密码/x"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), strScramblePwd("密码/x"));
}

TEST_F(Environment, RunTimeValues) {
    db().pinClock("2023-07-08 09:10:11");
    EXPECT_EQ(varGetSysInfo(0).toString(), "2023-07-08 09:10:11");
    EXPECT_EQ(varGetSysInfo(1).toString(), "2023-07-08");
    EXPECT_EQ(varGetSysInfo(2).toString(), "09:10:11");
    EXPECT_EQ(varGetSysInfo(7).toString(), "2023");
    EXPECT_EQ(varGetSysInfo(8), QVariant(true));
    EXPECT_EQ(varGetSysInfo(6).toString(), "");
    EXPECT_EQ(varGetSysInfo(9).toString(), "");
    EXPECT_EQ(varGetSysInfo(21).toString(), "");
    // Asked anew each time.
    db().pinClock("2023-07-09 00:00:00");
    EXPECT_EQ(varGetSysInfo(1).toString(), "2023-07-09");
    g_strLocation.clear();
    g_strWkrNo.clear();
    g_strWkrPwd.clear();
    EXPECT_EQ(varGetSysInfo(3).toString(), "");
    EXPECT_EQ(varGetSysInfo(4).toString(), "");
    g_strLocation = "A01";
    g_strWkrNo = "0001";
    g_strWkrPwd = "PW";
    EXPECT_EQ(varGetSysInfo(3).toString(), "A01");
    EXPECT_EQ(varGetSysInfo(4).toString(), "0001");
    EXPECT_EQ(varGetSysInfo(5).toString(), "PW");
    g_strLocation.clear();
    g_strWkrNo.clear();
    g_strWkrPwd.clear();
}

TEST_F(Environment, DailyLogLinesInCallOrder) {
    QFile::remove(logFile());
    EXPECT_EQ(LIB_WriteLogFile("t", "第一行", 0), 0);
    EXPECT_EQ(LIB_WriteLogFile("t", "second", 0), 0);
    QFile f(logFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QStringList lines = text::fromGb18030(bytes).split("\r\n");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2], "");
    const QRegularExpression form("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2};第一行$");
    EXPECT_TRUE(form.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(";second"));
    EXPECT_TRUE(bytes.contains(text::toGb18030(QString("第一行"))));
    // Mode 1 rewrites the file.
    EXPECT_EQ(LIB_WriteLogFile("t", "only", 1), 0);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(f.readAll()).endsWith(";only\r\n"));
}

TEST_F(Environment, LogFailuresBeepAndStayPendingWithoutAMessage) {
    EXPECT_EQ(LIB_WriteLogFile("t", "x", 2), -1);
    EXPECT_EQ(g_intErrKind, 1007);
    EXPECT_EQ(g_strErrProc, "LIB_WriteLogFile");
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    g_intErrKind = 0;
    LIB_SetProgramFolder(dir.path()); // no LOG folder here
    intInitEnvironment();
    EXPECT_EQ(LIB_WriteLogFile("t", "x", 0), -1);
    EXPECT_EQ(g_intErrKind, 1007);
    EXPECT_FALSE(QDir(dir.path() + "/LOG").exists());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    // A pending log failure turns the next report of a run-time error into ECM002.
    LIB_SetRunError(13, "Type mismatch");
    intShowDBError();
    EXPECT_EQ(dialogs.lastText(), "系统出错，请查看日志文件或与系统管理员联系！");
    EXPECT_EQ(g_intErrKind, 0);
}

TEST_F(Environment, LogLineThatCannotBeWrittenOutFails) {
    // Today's log file on a full disk: opening works, writing the line does not.
    QDir(dir.path()).mkpath("LOG");
    LIB_SetProgramFolder(dir.path());
    intInitEnvironment();
    ASSERT_TRUE(QFile::link("/dev/full", logFile()));
    EXPECT_EQ(LIB_WriteLogFile("t", "x", 0), -1);
    EXPECT_EQ(g_intErrKind, 1007);
    EXPECT_EQ(dialogs.beeps, 1);
}

} // namespace
