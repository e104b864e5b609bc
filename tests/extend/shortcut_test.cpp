// Shortcuts: the parser, the argument placeholders, interface calls on the
// first add-in importing a class, programs started with their arguments, and
// the host calls add-ins receive.

#include "tests/extend/AddinFixture.h"

#include "common/LoginState.h"
#include "common/basDB.h"
#include "extend/cAddinsCollection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QThread>

using namespace extend;

namespace {

class ShortcutTest : public AddinTest {
protected:
    void SetUp() override {
        AddinTest::SetUp();
        saved_ = {g_strDBName, g_strDBUser, g_strDBPwd, g_strWkrNo, g_strWkrPwd};
        g_strWkrNo = QStringLiteral("0001");
        g_strWkrPwd = QStringLiteral("ABC");
        g_strDBPwd = QStringLiteral("dbsecret");
        argsFile = addins + QStringLiteral("/args.txt");
        qputenv("RECORD_ARGS_FILE", argsFile.toUtf8());
    }
    void TearDown() override {
        g_strDBName = saved_[0], g_strDBUser = saved_[1], g_strDBPwd = saved_[2];
        g_strWkrNo = saved_[3], g_strWkrPwd = saved_[4];
        qunsetenv("RECORD_ARGS_FILE");
        AddinTest::TearDown();
    }

    // Two add-ins, "a" and "b", both importing the recorder's classes.
    void loadTwo() {
        const QString body = import() + import(QStringLiteral("TestAddinLib.Failer"));
        makeAddin(QStringLiteral("b"), description(QStringLiteral("id=\"second\""), body));
        makeAddin(QStringLiteral("a"), description(QStringLiteral("id=\"first\""), body));
        addinsCol.setConfigFile(QStringLiteral("addin.xml"));
        addinsCol.LoadAddins(addins);
        ASSERT_EQ(addinsCol.count(), 2);
        clearCalls();
    }

    // The lines the argument recorder wrote (waits for the started program).
    QStringList startedWith() {
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(argsFile) && t.elapsed() < 20000)
            QThread::msleep(20);
        QFile f(argsFile);
        if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("<not started>")};
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        lines.removeLast();
        f.close();
        QFile::remove(argsFile);
        return lines;
    }

    cAddinsCollection addinsCol;
    QString argsFile;

private:
    QStringList saved_;
};

TEST(ShortcutParseTest, TheTextIsSplitIntoKindTargetAndArguments) {
    const struct {
        const char* text;
        bool ok;
        const char* kind;
        const char* target;
        QStringList args;
    } cases[] = {
        {"[Interface(Run)]", true, "Interface", "Run", {}},
        {"go [Program(p,a,b)] after ]", true, "Program", "p", {"a", "b"}},
        {"[Interface(Run,a, %C001%,)]", true, "Interface", "Run", {"a", " %C001%", ""}},
        {"[ Interface(Run)]", true, " Interface", "Run", {}},
        {"[Interface(Run,a)b)]", true, "Interface", "Run", {"a"}},
        {"[x[Interface(Run)]", true, "x[Interface", "Run", {}},
        {"[Interface(Run,1,2,3,4,5,6)]", true, "Interface", "Run", {"1", "2", "3", "4", "5", "6"}},
        {"[Interface()]", false, "", "", {}},
        {"Interface(Run)", false, "", "", {}},
        {"[Interface(Run)", false, "", "", {}},
        {"]x[Interface(Run)]", false, "", "", {}},
        {"[Interface)Run(]", false, "", "", {}},
        {"[Interface(Run]", false, "", "", {}},
        {"", false, "", "", {}},
    };
    for (const auto& c : cases) {
        const auto p = cAddinsCollection::blnParseShortcut(QString::fromUtf8(c.text));
        ASSERT_EQ(bool(p), c.ok) << c.text;
        if (!p) continue;
        EXPECT_EQ(p->kind, QString::fromUtf8(c.kind)) << c.text;
        EXPECT_EQ(p->target, QString::fromUtf8(c.target)) << c.text;
        EXPECT_EQ(p->arguments, c.args) << c.text;
    }
}

TEST_F(ShortcutTest, PlaceholdersInAnyCase) {
    g_strDBName = QStringLiteral("lib");
    g_strDBUser = QStringLiteral("desk");
    QWidget form;
    auto* label = new QLabel(&form);
    label->setObjectName(QStringLiteral("lblTarget"));
    addinsCol.setMainForm(&form);
    const qint64 host = qint64(reinterpret_cast<quintptr>(addinHostCalls()));
    const qint64 object = qint64(reinterpret_cast<quintptr>(label));
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    const struct {
        const char* arg;
        QVariant value;
    } cases[] = {
        {"%A001%", g_strPath[0]},
        {"%a001%", g_strPath[0]},
        {"%B001%", host},
        {"%B002%", QStringLiteral("lib")},
        {"%b003%", QStringLiteral("desk")},
        {"%B004%", QStringLiteral("dbsecret")},
        {"%C001%", QStringLiteral("0001")},
        {"%c002%", QStringLiteral("ABC")},
        {"%D001%", QStringLiteral("3.5.1")},
        {"%d003%", varGetSysPara(1)},
        {"%D004%", varGetSysPara(99)},
        {"%E001%", QStringLiteral("QORLAN 3.5")},
        {"%e002%", exe},
        {"%OBJECT%lbltarget", object},
        {"%object%lblTarget", QVariant()},
        {"%OBJECT%nothing", QVariant()},
        {" %C001%", QVariant()},
        {"%C001% ", QVariant()},
        {"file.txt", QVariant()},
        {"", QVariant()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(addinsCol.varExpandArgument(QString::fromUtf8(c.arg)), c.value) << c.arg;
    EXPECT_FALSE(varGetSysPara(1).toString().isEmpty());

    // For a started program the passwords go into its environment.
    QHash<QString, QString> env;
    EXPECT_FALSE(addinsCol.varExpandArgument(QStringLiteral("%b004%"), true, &env).isValid());
    EXPECT_FALSE(addinsCol.varExpandArgument(QStringLiteral("%C002%"), true, &env).isValid());
    EXPECT_EQ(env, (QHash<QString, QString>{{ADDIN_ENV_DB_PASSWORD, "dbsecret"},
                                            {ADDIN_ENV_WORKER_PASSWORD, "ABC"}}));
}

TEST_F(ShortcutTest, InterfaceCallsReachTheFirstAddinImportingTheClass) {
    loadTwo();
    const QString cls = QStringLiteral("TestAddinLib.Recorder");
    addinsCol.ExcuteExtenShortcut(cls, QStringLiteral("[interface(Go,%C001%,%OBJECT%x,file,%D001%,%C002%)]"));
    addinsCol.ExcuteExtenShortcut(QStringLiteral("testaddinlib.recorder"),
                                  QStringLiteral("[INTERFACE(Bare)]"));
    addinsCol.ExcuteExtenShortcut(cls, QStringLiteral("[Interface(Six,1,2,3,4,5,6)]"));
    addinsCol.ExcuteExtenShortcut(cls, QStringLiteral("[ Interface(Blank)]"));
    addinsCol.ExcuteExtenShortcut(cls, QStringLiteral("[Other(Kind)]"));
    addinsCol.ExcuteExtenShortcut(QStringLiteral("Nobody.Class"), QStringLiteral("[Interface(Go)]"));
    addinsCol.ExcuteExtenShortcut(cls, QStringLiteral("Interface(Go)"));
    EXPECT_EQ(calls(), (QStringList{"a|Recorder.Go|5|t:0001|e|e|t:3.5.1|t:ABC", "a|Recorder.Bare|0"}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(ShortcutTest, FailingCallsAreReportedAndLogged) {
    loadTwo();
    addinsCol.ExcuteExtenShortcut(QStringLiteral("TestAddinLib.Recorder"),
                                  QStringLiteral("[Interface(Missing,%C001%)]"));
    addinsCol.ExcuteExtenShortcut(QStringLiteral("TestAddinLib.Failer"), QStringLiteral("[Interface(Any)]"));
    addinsCol.ExcuteExtenShortcut({}, QStringLiteral("[Program(no/such/program,%C001%)]"));
    const QString missing = QStringLiteral("对象不支持该属性或方法：Missing");
    const QString notFound = QStringLiteral("文件未找到：no/such/program");
    EXPECT_EQ(shownTexts(), (QStringList{msg("ECM206") + missing, msg("ECM206") + QStringLiteral("boom"),
                                         msg("ECM206") + notFound}));
    const QString log = dailyLog();
    EXPECT_TRUE(log.contains(missing) && log.contains(QStringLiteral("boom")) && log.contains(notFound))
        << log.toStdString();
    EXPECT_EQ(LIB_RunErrorNumber(), 0);
    EXPECT_TRUE(calls().isEmpty());
}

TEST_F(ShortcutTest, ProgramsStartWithTheirArgumentsAndPasswordsInTheEnvironment) {
    const QString program = QString::fromUtf8(RECORD_ARGS_PROGRAM);
    addinsCol.ExcuteExtenShortcut(
        {}, QStringLiteral("[program(%1,%a001%,file,%C002%,%B004%,%C001%)]").arg(program));
    EXPECT_EQ(startedWith(),
              (QStringList{g_strPath[0] + u',', QStringLiteral(","), QStringLiteral(","), QStringLiteral(","),
                           QStringLiteral("0001"), QStringLiteral("env:" ADDIN_ENV_DB_PASSWORD "=dbsecret"),
                           QStringLiteral("env:" ADDIN_ENV_WORKER_PASSWORD "=ABC")}));

    // Relative to the program folder, any case, written with backslashes.
    QDir().mkpath(g_strPath[0] + QStringLiteral("Tools"));
    QFile::copy(program, g_strPath[0] + QStringLiteral("Tools/Rec"));
    addinsCol.ExcuteExtenShortcut({}, QStringLiteral("[Program(tools\\rec,%C001%)]"));
    EXPECT_EQ(startedWith(), QStringList{QStringLiteral("0001")});
    addinsCol.ExcuteExtenShortcut({}, QStringLiteral("[Program(tools\\rec)]"));
    EXPECT_EQ(startedWith(), QStringList());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A file that cannot be started.
    QFile plain(g_strPath[0] + QStringLiteral("Tools/plain.txt"));
    plain.open(QIODevice::WriteOnly);
    plain.close();
    addinsCol.ExcuteExtenShortcut({}, QStringLiteral("[Program(Tools/plain.txt)]"));
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("外部调用执行失败！")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("错误提示"));
}

TEST_F(ShortcutTest, HostCallsRunOnTheDesksConnection) {
    const auto* host = reinterpret_cast<const AddinHostCalls*>(
        static_cast<quintptr>(addinsCol.varExpandArgument(QStringLiteral("%B001%")).toLongLong()));
    ASSERT_EQ(host->version, ADDIN_HOST_CALLS_VERSION);
    ASSERT_EQ(host->query("SELECT 'x' AS a, 2 AS b UNION ALL SELECT '乙', 3 ORDER BY 2"), 0);
    EXPECT_EQ(host->row_count(), 2);
    EXPECT_EQ(host->field_count(), 2);
    EXPECT_STREQ(host->field_name(1), "B");
    EXPECT_STREQ(host->cell(1, 0), "乙");
    EXPECT_STREQ(host->cell(0, 1), "2");
    EXPECT_STREQ(host->cell(2, 0), "");
    EXPECT_STREQ(host->last_error(), "");
    EXPECT_EQ(host->execute("UPDATE no_such_table SET x = 1"), -1);
    EXPECT_NE(QString::fromUtf8(host->last_error()), QString());
    EXPECT_EQ(g_intErrKind, 0);
    EXPECT_EQ(host->query("SELEC nothing"), -1);
    EXPECT_EQ(host->row_count(), 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
