// The main window: load sequence, menus and toolbar, dispatch with rights,
// exit question, repeated log-in, fine opener.

#include "tests/shell/FakeServices.h"
#include "tests/shell/ShellFixture.h"

#include "common/basEnv.h"
#include "reader/ReaderContext.h"
#include "shell/basLogin.h"
#include "shell/basMainSettings.h"
#include "shell/basMenu.h"
#include "shell/frmCircLogo.h"

#include "platform/text/IniFile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {

class MainWindowTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        QFile::remove(text::settingsFile(QStringLiteral("流通委托")));
    }
    void login(const char* wkr, const char* pwd)
    {
        ASSERT_EQ(blnCheckWorker(QString::fromLatin1(wkr), QString::fromLatin1(pwd)), 0);
    }
    void installFakes()
    {
        shell::Services::install(&desk);
        shell::Services::install(&manage);
        shell::Services::install(&reader);
        shell::Services::install(&extend);
    }
    frmMain* loadMain()
    {
        frmMain* w = frmMain::load();
        EXPECT_NE(w, nullptr);
        return w;
    }
    static void setSetting(const char* key, const QString& value)
    {
        text::saveSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
    }
    static QString setting(const char* key)
    {
        return text::getSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"), QString::fromLatin1(key));
    }

    FakeDesk desk;
    FakeManage manage;
    FakeReader reader;
    FakeExtend extend;
};

TEST_F(MainWindowTest, MenusAndToolbarAreBuiltInOrder)
{
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    ui::CommandBar* bar = w->menuCommandBar();
    ui::CommandMenu* main = bar->activeMenu();
    ASSERT_TRUE(main);
    EXPECT_EQ(main->key(), QStringLiteral("MenuMain"));
    QStringList top;
    for (ui::CommandItem* it : main->items())
        top << it->key();
    EXPECT_EQ(top, (QStringList{"mnuConsign", "mnuStat", "mnuOption", "mnuTool", "mnuWindow", "mnuHelp"}));
    for (const MenuGroup& g : menuGroups()) {
        ui::CommandMenu* sub = bar->item(g.key)->subMenu();
        ASSERT_TRUE(sub) << g.key.toStdString();
        ASSERT_EQ(sub->items().size(), g.entries.size());
        for (int i = 0; i < g.entries.size(); ++i)
            EXPECT_EQ(sub->items()[i]->key(), g.entries[i].key);
    }
    EXPECT_EQ(bar->item("mnuConsignApply")->caption(), QStringLiteral("委托申请"));
    EXPECT_EQ(bar->item("mnuConsignApply")->description(), QStringLiteral("委托申请"));
    EXPECT_TRUE(bar->isItemChecked("mnuWindowToolbar"));
    EXPECT_TRUE(bar->isItemChecked("mnuWindowStatusBar"));
    // Created but placed in no menu.
    for (const char* key : {"mnuToolFeedback", "mnuToolSeparator3", "mnuToolUpgrade"}) {
        ASSERT_TRUE(bar->hasItem(key)) << key;
        EXPECT_EQ(bar->menu("mnuTool")->indexOf(bar->item(key)), -1) << key;
    }

    ui::CommandMenu* standard = w->toolCommandBar()->activeMenu();
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->key(), QStringLiteral("Standard"));
    QStringList tools;
    for (ui::CommandItem* it : standard->items())
        tools << it->key() + ":" + it->imageKey();
    EXPECT_EQ(tools, (QStringList{"Split1:", "Apply:Apply", "Split2:", "Find:Find", "ApplyList:ApplyList",
                                  "FindList:FindList", "Split3:", "Check:Find", "ReturnList:ApplyList",
                                  "CheckList:FindList", "Split4:"}));
}

TEST_F(MainWindowTest, WindowsOfLaterSubsystemsStayInPlaceDisabled)
{
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    ui::CommandBar* bar = w->menuCommandBar();
    for (const char* key : {"mnuConsignApply", "mnuConsignFind", "mnuConsignFindManage", "mnuStatReader",
                            "mnuStatBook", "mnuOptionEmailOption", "mnuToolAddins", "mnuToolNews",
                            "mnuLastUpdating"}) {
        EXPECT_TRUE(bar->hasItem(key)) << key;
        EXPECT_FALSE(bar->isItemEnabled(key)) << key;
    }
    for (const char* key : {"mnuLogin", "mnuExit", "mnuWindowCascade", "mnuHelpAbout", "mnuHelpContents"})
        EXPECT_TRUE(bar->isItemEnabled(key)) << key;
    EXPECT_FALSE(w->toolCommandBar()->isItemEnabled("Apply"));
    delete w;

    installFakes();
    w = loadMain();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled("mnuConsignFind"));
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled("mnuStatReader"));
    EXPECT_TRUE(w->toolCommandBar()->isItemEnabled("Apply"));
}

TEST_F(MainWindowTest, DispatchChecksTheRightFirst)
{
    installFakes();
    login("0002", "1234"); // rights 4025 to 4028
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    struct Case {
        const char* key;
        bool toolbar;
        const char* call; // "" refused with ECM504
    } cases[] = {
        {"Apply", true, "desk:Apply"},
        {"mnuConsignApply", false, "desk:Apply"},
        {"mnuConsignFind", false, ""},
        {"ApplyList", true, ""},
        {"mnuConsignCheckList", false, ""},
        {"mnuConsignApplyManage", false, ""},
        {"mnuConsignFindManage", false, ""},
        {"mnuOptionEmailOption", false, "emailOption"}, // no right needed
        {"mnuOptionBarReadRule", false, "barReadRule"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        dialogs.clear();
        desk.calls.clear();
        manage.calls.clear();
        reader.calls.clear();
        if (c.toolbar)
            w->toolbarButtonClick(QString::fromLatin1(c.key));
        else
            w->menuItemClick(QString::fromLatin1(c.key));
        const QStringList calls = desk.calls + manage.calls + reader.calls;
        if (*c.call) {
            EXPECT_EQ(calls, QStringList{QString::fromLatin1(c.call)});
            EXPECT_TRUE(dialogs.shown.isEmpty());
        } else {
            EXPECT_TRUE(calls.isEmpty());
            EXPECT_EQ(shownTexts(), QStringList{msg("ECM504")});
        }
    }
}

TEST_F(MainWindowTest, SuperUserOpensEveryWindowAndUnknownKeysGoToTheAddins)
{
    installFakes();
    setComputer("NOWHERE");
    login("SUPR", "SUPR");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    const struct {
        const char* key;
        bool toolbar;
        const char* call;
    } cases[] = {
        {"Find", true, "find:Find"},
        {"mnuConsignApplyList", false, "find:ApplyList"},
        {"FindList", true, "find:FindList"},
        {"Check", true, "return:Check"},
        {"mnuConsignReturnList", false, "return:ReturnList"},
        {"CheckList", true, "return:CheckList"},
        {"mnuConsignApplyManage", false, "applyManage"},
        {"mnuConsignFindManage", false, "findManage"},
        {"mnuConsignLend", false, "desk:Lend"},
        {"Return", true, "desk:Return"},
    };
    for (const auto& c : cases) {
        manage.calls.clear();
        desk.calls.clear();
        if (c.toolbar)
            w->toolbarButtonClick(QString::fromLatin1(c.key));
        else
            w->menuItemClick(QString::fromLatin1(c.key));
        EXPECT_EQ(manage.calls + desk.calls, QStringList{QString::fromLatin1(c.call)}) << c.key;
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());

    extend.log.clear();
    w->menuItemClick(QStringLiteral("myAddinItem"));
    w->toolbarButtonClick(QStringLiteral("myAddinButton"));
    w->menuItemClick(QStringLiteral("mnuToolFeedback"));
    EXPECT_EQ(extend.log, (QStringList{"extensions:%frmMain%\\%MainMenu%",
                                       "extensions:%frmMain%\\%Toolbar%\\Standard"}));
}

TEST_F(MainWindowTest, ExitQuestionDecidesAndTheReleaseRunsOnce)
{
    installFakes();
    extend.themeIds = {QStringLiteral("Green"), QStringLiteral("Blue")};
    setSetting("StyleID", QStringLiteral("Gone"));
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    // The stored theme is not installed: the first one is applied.
    EXPECT_EQ(g_strStyleID, QStringLiteral("Green"));
    EXPECT_EQ(extend.themes[0]->applies, 1);
    EXPECT_EQ(extend.log.value(0), QStringLiteral("load:addins"));
    w->show();

    dialogs.answers = {ui::BoxAnswer::Cancel};
    w->menuItemClick(QStringLiteral("mnuExit"));
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM000")});
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Question);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(setting("StyleID"), QStringLiteral("Gone"));

    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    QPointer<frmMain> alive(w);
    w->close(); // the close box asks the same question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM000")});
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(setting("StyleID"), QStringLiteral("Green"));
    EXPECT_EQ(extend.log.mid(1),
              (QStringList{"extensions:%frmMain%\\%MainMenu%", "release", "unregister", "removed"}));
}

TEST_F(MainWindowTest, StatusBarSettingsAndToolbarSwitch)
{
    setSetting("FineLend", QStringLiteral("1"));
    setSetting("FontBold", QStringLiteral("True"));
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->statusText(), varGetSysPara(1).toString() + QStringLiteral(" - 0001"));
    EXPECT_EQ(w->windowTitle().right(16), QStringLiteral("Qorlan3.5 - 流通委托"));
    EXPECT_EQ(g_intFineLend, 1);
    EXPECT_EQ(g_intFineReturn, 0);
    EXPECT_EQ(g_intReturnClear, 1);
    EXPECT_EQ(g_strFontName, QStringLiteral("宋体"));
    EXPECT_TRUE(g_blnFontBold);
    EXPECT_EQ(g_intSubIdRep, 31);
    EXPECT_EQ(g_strStyleID, QStringLiteral("DefaultTheme"));
    EXPECT_EQ(g_varLocaProperty.toString(),
              db().scalar("select location_property from location_lst where location = 'D1'"));

    w->show();
    ui::CommandBar* bar = w->menuCommandBar();
    bar->clickItem(QStringLiteral("mnuWindowToolbar"));
    EXPECT_FALSE(w->toolCommandBar()->isVisible());
    bar->clickItem(QStringLiteral("mnuWindowToolbar"));
    EXPECT_TRUE(w->toolCommandBar()->isVisible());
    bar->clickItem(QStringLiteral("mnuWindowStatusBar"));
    EXPECT_FALSE(w->statusBar()->isVisible());

    w->menuItemClick(QStringLiteral("mnuHelpContents"));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("无法显示帮助目录，该工程没有相关联的帮助。"));
    EXPECT_EQ(dialogs.shown[0].title, w->windowTitle());
}

TEST_F(MainWindowTest, FailedLoadEndsWithoutTheExitQuestion)
{
    struct Case {
        const char* name;
        const char* before;
        const char* after;
        const char* setting;
    } cases[] = {
        {"location group query fails", "alter table location_lst rename to location_lst_gone",
         "alter table location_lst_gone rename to location_lst", nullptr},
        {"a stored setting that does not convert", nullptr, nullptr, "many"},
    };
    login("0001", "ABC");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        if (c.before)
            db().exec(c.before);
        if (c.setting)
            setSetting("ReturnClear", QString::fromLatin1(c.setting));
        frmMain* w = frmMain::load();
        if (c.after)
            db().exec(c.after);
        setSetting("ReturnClear", QStringLiteral("1"));
        EXPECT_EQ(w, nullptr);
        EXPECT_EQ(frmMain::instance(), nullptr);
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
        EXPECT_FALSE(shownTexts().contains(msg("QCM000")));
    }
}

TEST_F(MainWindowTest, ReLoginReplacesTheWorkerInTheStatusBar)
{
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    const QString before = w->statusText();

    // A repeated log-in as 0002 through the log-in window.
    dialogs.dialogHandler = [](QDialog* dlg) {
        auto* logo = qobject_cast<frmCircLogo*>(dlg);
        EXPECT_TRUE(logo && logo->m_bReLogin);
        EXPECT_EQ(logo->mode(), QStringLiteral("登录"));
        logo->findChild<QComboBox*>("cboUser")->setEditText(QStringLiteral("0002"));
        logo->findChild<QLineEdit*>("txtPwd")->setText(QStringLiteral("1234"));
        logo->findChild<QPushButton*>("cmdLogin")->click();
        return dlg->result();
    };
    w->menuItemClick(QStringLiteral("mnuLogin"));
    EXPECT_EQ(g_strWkrNo, QStringLiteral("0002"));
    EXPECT_EQ(w->statusText(), varGetSysPara(1).toString() + QStringLiteral(" - 0002"));
    EXPECT_EQ(frmMain::instance(), w);

    // Leaving a repeated log-in by the exit link keeps the main window and its worker.
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    dialogs.dialogHandler = [](QDialog* dlg) {
        QMetaObject::invokeMethod(dlg, "lblExit_Click");
        return dlg->result();
    };
    w->subReLogin();
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM501")});
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(w->statusText(), varGetSysPara(1).toString() + QStringLiteral(" - 0002"));
    (void)before;
}

TEST_F(MainWindowTest, FineOpenerFromTenCentsAndReaderInformation)
{
    installFakes();
    login("0001", "ABC");
    frmMain* w = loadMain();
    ASSERT_TRUE(w);
    const QString cert = db().scalar("select cert_id from reader order by cert_id limit 1");
    const QString debt = db().scalar(QStringLiteral("select debt_flag from reader where cert_id = '%1'").arg(cert));
    const struct {
        const char* debt;
        bool opens;
    } cases[] = {{"0.10", true}, {"0.09", false}, {"12.50", true}, {"0", false}};
    desk.retRedr = cert;
    QStringList opened;
    dialogs.dialogHandler = [&opened](QDialog* dlg) {
        opened << dlg->metaObject()->className();
        return 0;
    };
    for (const auto& c : cases) {
        opened.clear();
        db().exec(QStringLiteral("update reader set debt_flag = %1 where cert_id = '%2'").arg(c.debt, cert));
        w->subShowLendFine();
        EXPECT_EQ(opened.contains(QStringLiteral("frmLendFine")), c.opens) << c.debt;
        EXPECT_EQ(g_strCertID, cert);
    }
    db().exec(QStringLiteral("update reader set debt_flag = %1 where cert_id = '%2'").arg(debt, cert));

    opened.clear();
    desk.retRedr.clear();
    g_strCertID = QStringLiteral("SOMEONE");
    w->subShowLendFine();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(g_strCertID, QStringLiteral("SOMEONE"));

    // Reader information on the desk's reader: its first card that is not cancelled.
    g_strCertID = cert;
    const QString card = db().scalar(
        QStringLiteral("select redr_cert_id from reader_cert where cert_id = '%1' and cert_flag <> '0'").arg(cert));
    w->menuItemClick(QStringLiteral("mnuStatReader"));
    EXPECT_EQ(reader.calls, QStringList{QStringLiteral("redrInfo:%1:%2").arg(cert, card)});
    reader.calls.clear();
    g_strCertID.clear();
    w->menuItemClick(QStringLiteral("mnuStatReader"));
    EXPECT_EQ(reader.calls, QStringList{QStringLiteral("redrInfo::")});
}

} // namespace
