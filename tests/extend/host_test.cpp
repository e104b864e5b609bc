// The main window with its add-ins: loading at start, start-up shortcuts, menu
// items, clicks on keys the window does not know, and removal at exit.

#include "tests/extend/HostFixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const char* kFirstBody = R"(%1
  <Initialize><Process shortcut="[Interface(InitA1)]" class="TestAddinLib.Recorder"/>
              <Process shortcut="[Interface(InitA2,%C001%)]" class="TestAddinLib.Recorder"/></Initialize>
  <Extension path="%frmMain%\%MainMenu%\mnuTool">
    <MenuItem id="mnuExit" label="x"/>
    <MenuItem id="mnuToolFeedback" label="x"/>
    <MenuItem id="" label="x"/>
    <MenuItem id="addA" label="插件甲" insertafter="MNUTOOLADDINS" insertbefore="mnuToolTheme"
              class="TestAddinLib.Recorder" Shortcut="[Interface(MenuA,%C001%)]"/>
    <menuitem ID="addB" LABEL="插件乙" insertBefore="mnuToolTheme"/>
    <MenuItem id="addSub" label="子菜单" menu="TRUE"/>
    <MenuItem id="addTypo" label="拼错" insertafter="mnuNoSuchItem"/>
    <CommandItem id="addA" class="TestAddinLib.Recorder" Shortcut="[Interface(NotForMenus)]"/>
  </Extension>
  <Extension path="%frmMain%\%MainMenu%\MenuMain"><MenuItem id="topA" label="顶层"/></Extension>
  <Extension path="%frmMain%\%MainMenu%"><MenuItem id="hostOnly" label="x"/></Extension>
  <Extension path="%frmMain%\%MainMenuX\mnuTool"><MenuItem id="elsewhere" label="x"/></Extension>
  <Extension path="%frmMain%\%MainMenu%\mnuNoMenu"><MenuItem id="noMenu" label="x"/></Extension>
  <Extension path="%frmMain%\%Toolbar%\Standard">
    <CommandItem id="tbX" class="TestAddinLib.Recorder" Shortcut="[Interface(Tool)]"/>
    <MenuItem id="tbX" class="TestAddinLib.Recorder" Shortcut="[Interface(NotForButtons)]"/>
  </Extension>)";

const char* kSecondBody = R"(
  <Initialize><Process shortcut="[Interface(InitB)]" class="TestAddinLib.Recorder"/></Initialize>
  <Extension path="%frmMain%\%MainMenu%\addSub">
    <MenuItem id="subItem" label="子项" class="TestAddinLib.Recorder" Shortcut="[Interface(Sub)]"/>
  </Extension>
  <Extension path="%frmMain%\%MainMenu%\mnuTool">
    <MenuItem id="ADDA" label="重复" class="TestAddinLib.Recorder" Shortcut="[Interface(MenuA2)]"/>
  </Extension>)";

TEST_F(HostTest, AddinsLoadRunTheirStartupShortcutsAndFillTheMenus) {
    makeAddin(QStringLiteral("a_first"), description(QStringLiteral("id=\"first\" icon=\"gone.png\""),
                                                     QString::fromUtf8(kFirstBody).arg(import())));
    makeAddin(QStringLiteral("B_second"),
              description(QStringLiteral("id=\"second\""), QString::fromUtf8(kSecondBody)), {});
    makeAddin(QStringLiteral("c_same_id"), description(QStringLiteral("id=\"FIRST\""), kSecondBody), {});
    makeAddin(QStringLiteral("d_broken"), QStringLiteral("<addin id=\"broken\">"), {});
    makeAddin(QStringLiteral("e_nolib"),
              description(QStringLiteral("id=\"nolib\""),
                          QStringLiteral("<Runtime><Import assembly=\"gone.so\" class=\"X.Y\"/></Runtime>")),
              {});
    QDir().mkpath(addins + QStringLiteral("/f_empty"));
    // Without an ID: kept under the empty key, and again the first one wins.
    makeAddin(QStringLiteral("g_no_id"), description(QStringLiteral("name=\"g\""), {}), {});
    makeAddin(QStringLiteral("h_no_id"), description(QStringLiteral("id=\"\" name=\"h\""), {}), {});

    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("注册gone.so文件失败")});
    ASSERT_EQ(g_objAddins->count(), 4);
    EXPECT_EQ(QStringList({collection()->cAddinAt(0)->ID, collection()->cAddinAt(1)->ID,
                           collection()->cAddinAt(2)->ID, collection()->cAddinAt(3)->Name}),
              (QStringList{"first", "second", "nolib", "g"}));
    EXPECT_EQ(g_objAddins->addin(0)->Status(), 1);
    // Every start-up shortcut runs on the first add-in importing its class.
    EXPECT_EQ(calls(), (QStringList{"a_first|Recorder.InitA1|0", "a_first|Recorder.InitA2|1|t:0001",
                                    "a_first|Recorder.InitB|0"}));
    clearCalls();

    ui::CommandBar* bar = w->menuCommandBar();
    EXPECT_EQ(keys(bar->menu(QStringLiteral("mnuTool"))),
              (QStringList{"mnuFindText", "mnuToolSeparator1", "addB", "mnuToolTheme", "mnuToolAddins",
                           "addA", "mnuToolSeparator2", "mnuToolNews", "addSub", "addTypo"}));
    EXPECT_EQ(bar->item(QStringLiteral("addA"))->caption(), QStringLiteral("插件甲"));
    EXPECT_EQ(bar->item(QStringLiteral("addB"))->caption(), QStringLiteral("插件乙"));
    EXPECT_EQ(keys(bar->menu(QStringLiteral("MenuMain"))).last(), QStringLiteral("topA"));
    ui::CommandItem* sub = bar->item(QStringLiteral("addSub"));
    EXPECT_TRUE(sub->opensSubMenu());
    ASSERT_NE(sub->subMenu(), nullptr);
    EXPECT_EQ(keys(sub->subMenu()), QStringList{QStringLiteral("subItem")});
    for (const char* absent : {"hostOnly", "elsewhere", "noMenu", "tbX"})
        EXPECT_FALSE(bar->hasItem(QString::fromLatin1(absent))) << absent;
    EXPECT_NE(bar->item(QStringLiteral("mnuExit"))->caption(), QStringLiteral("x"));

    // Every matching item runs, in order; items of the other kind do not.
    w->menuItemClick(QStringLiteral("addA"));
    ASSERT_TRUE(bar->clickItem(QStringLiteral("subItem")));
    w->toolbarButtonClick(QStringLiteral("tbX"));
    w->menuItemClick(QStringLiteral("addB"));
    EXPECT_EQ(calls(), (QStringList{"a_first|Recorder.MenuA|1|t:0001", "a_first|Recorder.MenuA2|0",
                                    "a_first|Recorder.Sub|0", "a_first|Recorder.Tool|0"}));
}

TEST_F(HostTest, ClosingReleasesEveryObjectAndRemovesTheMarkedAddins) {
    const QString outside = g_strPath[0] + QStringLiteral("elsewhere");
    QDir().mkpath(outside);
    makeAddin(QStringLiteral("keep0"), description(QStringLiteral("id=\"keep0\""), import()));
    makeAddin(QStringLiteral("keep1"), description(QStringLiteral("id=\"keep1\""), {}), {});
    makeAddin(QStringLiteral("out"), description(QStringLiteral("id=\"out\""), {}), {});
    makeAddin(QStringLiteral("root"), description(QStringLiteral("id=\"root\""), {}), {});
    makeAddin(QStringLiteral("gone"), description(QStringLiteral("id=\"gone\""), {}), {});
    makeAddin(QStringLiteral("remove"),
              description(QStringLiteral("id=\"remove\""), import(QStringLiteral("TestAddinLib.Failer"))));

    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(g_objAddins->count(), 6);
    EXPECT_EQ(classesDefault(QStringLiteral("TestAddinLib.Failer\\Clsid")),
              QStringLiteral("{A1B2C3D4-0002-4000-8000-00000000A002}"));
    collection()->item(QStringLiteral("keep0"))->setStatus(0);
    for (const char* id : {"remove", "out", "root", "gone"})
        collection()->item(QString::fromLatin1(id))->setStatus(2);
    // Paths no removal may delete: outside the add-ins folder, the folder itself.
    collection()->item(QStringLiteral("out"))->m_AddinPath = outside;
    collection()->item(QStringLiteral("root"))->m_AddinPath = addins + u'/';
    QDir(addins + QStringLiteral("/gone")).removeRecursively();

    closeMain(w);
    EXPECT_EQ(frmMain::instance(), nullptr);
    EXPECT_EQ(g_objAddins, nullptr);
    EXPECT_EQ(calls(), (QStringList{"Recorder|release", "Failer|release"}));
    // The marked add-in's entries and folder are gone; the others stay.
    EXPECT_FALSE(QFileInfo::exists(addins + QStringLiteral("/remove")));
    EXPECT_EQ(classesDefault(QStringLiteral("TestAddinLib.Failer\\Clsid")), QString());
    EXPECT_TRUE(sys::RegistryStore().subkeyNames(sys::HKEY_CLASSES_ROOT, QStringLiteral("CLSID")).isEmpty());
    for (const char* kept : {"keep0", "keep1", "out", "root"})
        EXPECT_TRUE(
            QFileInfo::exists(addins + u'/' + QString::fromLatin1(kept) + QStringLiteral("/addin.xml")))
            << kept;
    EXPECT_TRUE(QFileInfo(outside).isDir());
    EXPECT_EQ(shownTexts(), QStringList{msg("QCM000")});
}

TEST_F(HostTest, TheDemoAddinOpensItsWindowAndFillsTheToolMenu) {
    const QString folder = addins + QStringLiteral("/demo");
    QDir().mkpath(folder);
    for (const QString& name : QDir(QString::fromUtf8(DEMO_ADDIN_FOLDER)).entryList(QDir::Files))
        QFile::copy(QString::fromUtf8(DEMO_ADDIN_FOLDER) + u'/' + name, folder + u'/' + name);
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_EQ(g_objAddins->count(), 1);
    EXPECT_FALSE(collection()->cAddinAt(0)->DemoIcon.isNull());
    ASSERT_TRUE(collection()->cAddinAt(0)->AddinOption);
    // The start-up shortcut reached the frame through %OBJECT%.
    const QList<QMdiSubWindow*> windows = w->mdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0]->windowTitle(), QStringLiteral("演示插件"));
    ui::CommandBar* bar = w->menuCommandBar();
    const QStringList tool = keys(bar->menu(QStringLiteral("mnuTool")));
    EXPECT_EQ(tool.indexOf(QStringLiteral("mnuDemoAddin")),
              tool.indexOf(QStringLiteral("mnuToolAddins")) + 1);
    ASSERT_NE(bar->item(QStringLiteral("mnuDemoAddin"))->subMenu(), nullptr);
    EXPECT_EQ(keys(bar->item(QStringLiteral("mnuDemoAddin"))->subMenu()),
              (QStringList{"mnuDemoInfo", "mnuDemoCount", "mnuDemoTool"}));
}

} // namespace
