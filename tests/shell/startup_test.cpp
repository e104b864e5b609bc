// Start-up: environment, connection, base data and value lists, and the
// messages of each failure.

#include "tests/shell/ShellFixture.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "reader/basLTMore.h"
#include "shell/frmCircLogo.h"

#include <QElapsedTimer>
#include <QFile>

namespace {

class StartUpTest : public ShellTest {
protected:
    void TearDown() override
    {
        QFile::remove(ini());
        db().connectCommon();
        ShellTest::TearDown();
    }
    QString ini() { return db().programFolder() + QStringLiteral("qorlan.ini"); }
    void writeIni(const QByteArray& bytes)
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void writeServer(const QString& dsn, const QString& uid, const QString& pwd = QString())
    {
        writeIni("[LIB-DATA]\r\nLIB_SERVER=LOCAL\r\n[LOCAL]\r\nDSN=" + dsn.toUtf8() + "\r\nUID=" + uid.toUtf8()
                 + "\r\nPWD=" + strScramblePwd(pwd).toUtf8() + "\r\n");
    }
};

TEST_F(StartUpTest, GoodIniLoadsEverythingInOrder)
{
    writeServer(db().conninfo(), QString());
    g_varItemList11 = g_varItemList15 = DBResultSet();
    QStringList status;
    EXPECT_EQ(intStartUp([&](const QString& s) { status << s; }), 0);
    EXPECT_EQ(status, (QStringList{QStringLiteral("取系统环境变量..."), QStringLiteral("连接数据库..."),
                                   QStringLiteral("初始化系统使用的基本数据...")}));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
    EXPECT_GT(g_varItemList11.rowCount(), 0);
    EXPECT_EQ(g_varItemList11.fieldName(0), QStringLiteral("ITEMCONTENT"));
    for (int i = 1; i < g_varItemList11.rowCount(); ++i)
        EXPECT_LE(g_varItemList11.text(i - 1, 0), g_varItemList11.text(i, 0));
}

TEST_F(StartUpTest, BadConnectionValuesEndWithTheConnectionMessage)
{
    const QString refused = QStringLiteral("host=127.0.0.1 port=1");
    struct Case {
        const char* name;
        QByteArray ini;
    } cases[] = {
        {"missing INI file", QByteArray()},
        {"broken INI file", QByteArray("\xff\xfe\x00garbage[[[\r\n=\r\n[LIB-DATA\r\nLIB_SERVER", 31)},
        {"server section missing", "[LIB-DATA]\r\nLIB_SERVER=NOWHERE\r\n"},
        {"unreachable server", "[LIB-DATA]\r\nLIB_SERVER=S\r\n[S]\r\nDSN=" + refused.toUtf8() + "\r\n"},
        {"unknown database user", "[LIB-DATA]\r\nLIB_SERVER=S\r\n[S]\r\nDSN=" + db().conninfo().toUtf8()
                                      + "\r\nUID=no_such_user\r\nPWD=" + strScramblePwd("wrong").toUtf8() + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini());
        if (!c.ini.isNull())
            writeIni(c.ini);
        dialogs.clear();
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(intStartUp(), -1);
        EXPECT_LT(t.elapsed(), 30000);
        EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("与数据库连接失败，启动失败！")});
    }
}

TEST_F(StartUpTest, ServerThatDoesNotAnswerGivesUpInTime)
{
    // A reserved address that nothing answers; the connect time-out bounds the wait.
    qputenv("PGCONNECT_TIMEOUT", "2");
    writeServer(QStringLiteral("host=192.0.2.1 port=5432"), QStringLiteral("x"));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(intStartUp(), -1);
    qunsetenv("PGCONNECT_TIMEOUT");
    EXPECT_LT(t.elapsed(), 15000);
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("与数据库连接失败，启动失败！"));
}

TEST_F(StartUpTest, FailingValueListShowsOnlyTheDatabaseError)
{
    writeServer(db().conninfo(), QString());
    db().exec("alter table tmp_itemlist rename to tmp_itemlist_gone");
    const int rc = intStartUp();
    db().exec("alter table tmp_itemlist_gone rename to tmp_itemlist");
    EXPECT_EQ(rc, -1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_NE(dialogs.lastText(), QStringLiteral("系统初始化出错，启动失败！"));
}

TEST_F(StartUpTest, ItemListsStopAtTheFirstFailingQuery)
{
    // A view in place of the table that fails for the rows of type "13" only.
    db().exec("alter table tmp_itemlist rename to tmp_itemlist_base");
    db().exec("insert into tmp_itemlist_base (itemtype, itemcontent) values ('13', 'x')");
    db().exec("create view tmp_itemlist as select itemtype, "
              "case when 1 / (itemtype::int - 13) <> 0 then itemcontent else itemcontent end as itemcontent "
              "from tmp_itemlist_base");
    g_varItemList11 = g_varItemList12 = DBResultSet();
    g_varItemList14 = DBResultSet(1, 1);
    g_varItemList14.setCell(0, 2, QStringLiteral("untouched"));
    const int rc = intLoadItemList();
    db().exec("drop view tmp_itemlist");
    db().exec("delete from tmp_itemlist_base where itemtype = '13' and itemcontent = 'x'");
    db().exec("alter table tmp_itemlist_base rename to tmp_itemlist");
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_GT(g_varItemList11.rowCount(), 0);
    EXPECT_EQ(g_varItemList12.fieldCount(), 1);
    EXPECT_EQ(g_varItemList14.text(0, 0), QStringLiteral("untouched"));
}

TEST_F(StartUpTest, MainShowsTheLoginLayoutOrEndsTheProgram)
{
    writeServer(db().conninfo(), QString());
    frmCircLogo* logo = Main();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->mode(), QStringLiteral("登录"));
    EXPECT_TRUE(logo->isVisible());
    EXPECT_EQ(logo->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(frmMain::instance(), nullptr);
    EXPECT_EQ(ends, 0);
    delete logo;

    QFile::remove(ini());
    EXPECT_EQ(Main(), nullptr);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(dialogs.lastText(), QStringLiteral("与数据库连接失败，启动失败！"));
}

} // namespace
