// The theme manager: the current theme marked, installing the demo theme,
// applying it to the main window and the desk at once and at the next start,
// uninstalling, and theme packages that change nothing.

#include "tests/extend/HostFixture.h"
#include "tests/extend/ZipMaker.h"

#include "desk/DeskService.h"
#include "extend/cThemesCollection.h"
#include "extend/frmThemeManager.h"
#include "shell/basMainSettings.h"

#include "platform/text/IniFile.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

class ThemeManagerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        shell::Services::install(&desk::deskService());
        themes = g_strPath[0] + QStringLiteral("themes");
        QDir(themes).removeRecursively();
        QDir().mkpath(themes + QStringLiteral("/qnui.qorlan.lt4.first.1"));
        QFile f(themes + QStringLiteral("/qnui.qorlan.lt4.first.1/theme.xml"));
        f.open(QIODevice::WriteOnly);
        f.write("<theme id=\"First\" name=\"第一\" version=\"2\" description=\"原来的主题\"/>");
    }
    frmThemeManager* open(frmMain* w) {
        w->menuItemClick(QStringLiteral("mnuToolTheme"));
        return frmThemeManager::current();
    }
    static QStringList nodes(const frmThemeManager* m) {
        QStringList out;
        for (int i = 0; i < m->tvTree->topLevelItemCount(); ++i)
            out << frmThemeManager::nodeKey(m->tvTree->topLevelItem(i)) + u'|' +
                       m->tvTree->topLevelItem(i)->text(0);
        return out;
    }
    bool enabled(const frmThemeManager* m, const char* key) const {
        return m->tbStandard->isItemEnabled(QString::fromLatin1(key));
    }
    QString themes;
};

TEST_F(ThemeManagerTest, TheDemoThemeInstallsAppliesAtOnceAndAtTheNextStart) {
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(g_strStyleID, QStringLiteral("First"));
    w->menuItemClick(QStringLiteral("mnuConsignApply"));
    QWidget* desk = nullptr;
    for (QMdiSubWindow* s : w->mdiArea()->subWindowList())
        if (s->widget() && s->widget()->objectName() == QLatin1String("frmConsign")) desk = s->widget();
    ASSERT_NE(desk, nullptr);
    const QColor deskBefore = desk->palette().color(QPalette::Window);

    frmThemeManager* m = open(w);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(nodes(m), QStringList{QStringLiteral("AFirst|第一(当前应用主题)")});
    EXPECT_EQ(m->lblDesc->text(), QStringLiteral("原来的主题"));
    EXPECT_FALSE(enabled(m, "UnInstall") || enabled(m, "Apply") || enabled(m, "Upgrade"));

    const QString package = QString::fromUtf8(DEMO_THEME_PACKAGE);
    installThrough(m->tbStandard, package);
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("是否确定从 %1 中安装界面主题？").arg(package)});
    EXPECT_EQ(nodes(m), (QStringList{"AFirst|第一(当前应用主题)", "KDemoBlue|蓝色演示主题"}));
    EXPECT_EQ(frmThemeManager::nodeKey(m->tvTree->currentItem()), QStringLiteral("KDemoBlue"));
    EXPECT_EQ(frmThemeManager::nodeImage(m->tvTree->currentItem()), QStringLiteral("KDemoBlue"));
    EXPECT_TRUE(enabled(m, "UnInstall") && enabled(m, "Apply"));
    EXPECT_TRUE(QFileInfo::exists(themes + QStringLiteral("/qnui.qorlan.lt4.demo.blue/theme.xml")));

    // Applied at once to every open window.
    ASSERT_TRUE(m->tbStandard->clickItem(QStringLiteral("Apply")));
    EXPECT_EQ(g_strStyleID, QStringLiteral("DemoBlue"));
    ASSERT_NE(g_objCurTheme, nullptr);
    EXPECT_EQ(g_objCurTheme->ID(), QStringLiteral("DemoBlue"));
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("蓝色演示主题")));
    EXPECT_EQ(w->statusBar()->palette().color(QPalette::Window), QColor(0, 84, 147));
    EXPECT_EQ(desk->palette().color(QPalette::Window), QColor(220, 235, 250));
    EXPECT_NE(desk->palette().color(QPalette::Window), deskBefore);
    EXPECT_TRUE(desk->findChild<QLabel*>(QStringLiteral("lblTitle_0"))->font().bold());
    EXPECT_EQ(nodes(m), (QStringList{"KFirst|第一", "ADemoBlue|蓝色演示主题(当前应用主题)"}));

    // The current theme cannot be uninstalled; another one can.
    dialogs.clear();
    m->tvTree->setCurrentItem(m->tvTree->topLevelItem(1));
    m->tbStandard_ButtonClick(QStringLiteral("UnInstall"));
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("不能卸载当前应用主题！")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("提示"));
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    m->tvTree->setCurrentItem(m->tvTree->topLevelItem(0));
    m->tvTree_NodeClick(m->tvTree->topLevelItem(0));
    ASSERT_TRUE(m->tbStandard->clickItem(QStringLiteral("UnInstall")));
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("您确定要卸载界面主题 第一 吗？")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("卸载 第一"));
    EXPECT_EQ(nodes(m), QStringList{QStringLiteral("ADemoBlue|蓝色演示主题(当前应用主题)")});
    EXPECT_FALSE(QFileInfo::exists(themes + QStringLiteral("/qnui.qorlan.lt4.first.1")));

    // The next start applies it again.
    closeMain(w);
    EXPECT_EQ(
        text::getSetting(QStringLiteral("流通委托"), QStringLiteral("Settings"), QStringLiteral("StyleID")),
        QStringLiteral("DemoBlue"));
    w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("蓝色演示主题")));
}

TEST_F(ThemeManagerTest, AThemePackageThatFailsChangesNothing) {
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    frmThemeManager* m = open(w);
    const QString invalid = QStringLiteral("界面主题文件无效！");
    const QString folder = g_strPath[0] + QStringLiteral("packages/");
    QDir().mkpath(folder);
    const QByteArray good("<theme id=\"Good\"/>");
    const auto why = [&](const char* reason) { return invalid + u'\n' + QString::fromUtf8(reason); };
    const struct {
        const char* name;
        QList<ZipItem> items;
        QString message;
    } cases[] = {
        {"root.qtz", {{QStringLiteral("theme.xml"), good}}, why("描述文件 [theme.xml] 不在包的第一层文件夹中")},
        {"noid.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), "<theme id=\"\"/>"}},
         why("描述文件 [qnui.qorlan.lt4.x.1/theme.xml] 没有标识")},
        {"malformed.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), "<theme id="}},
         why("描述文件 [qnui.qorlan.lt4.x.1/theme.xml] 格式错误，无法读取")},
        {"badicon.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), "<theme id=\"x\" icon=\"none.png\"/>"}},
         why("描述文件 [qnui.qorlan.lt4.x.1/theme.xml] 格式错误，无法读取：它指定的图片无法载入")},
        {"taken.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), "<theme id=\"FIRST\"/>"}},
         why("标识为 [FIRST] 的界面主题已经安装，不能再次安装！")},
        {"folder.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.first.1/theme.xml"), good}},
         why("界面主题文件夹 [qnui.qorlan.lt4.first.1] 已经存在，不能安装！")},
        // Another letter case names the installed folder all the same.
        {"case.qtz",
         {{QStringLiteral("QNUI.Qorlan.LT4.First.1/theme.xml"), good}},
         why("界面主题文件夹 [QNUI.Qorlan.LT4.First.1] 已经存在，不能安装！")},
        {"twice.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), good},
          {QStringLiteral("qnui.qorlan.lt4.x.2/theme.xml"), "<theme id=\"GOOD\"/>"}},
         why("界面主题标识 [GOOD] 重复，不能安装！")},
        // Folders the next start would not list.
        {"mytheme.qtz",
         {{QStringLiteral("mytheme/theme.xml"), good}},
         why("界面主题文件夹 [mytheme] 的名称不符合 qnui.qorlan.lt4.*.* 的规则，不能安装！")},
        {"othermodule.qtz",
         {{QStringLiteral("qnui.qorlan.lt3.x.1/theme.xml"), good}},
         why("界面主题文件夹 [qnui.qorlan.lt3.x.1] 的名称不符合 qnui.qorlan.lt4.*.* 的规则，不能安装！")},
        {"short.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x/theme.xml"), good}},
         why("界面主题文件夹 [qnui.qorlan.lt4.x] 的名称不符合 qnui.qorlan.lt4.*.* 的规则，不能安装！")},
        {"escape.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), good}, {QStringLiteral("a/../../x"), "x"}},
         why("条目 [a/../../x] 指向包外的文件夹（含有“..”）")},
        {"link.qtz",
         {{QStringLiteral("qnui.qorlan.lt4.x.1/theme.xml"), good},
          {QStringLiteral("qnui.qorlan.lt4.x.1/pic.png"), "/etc/passwd", ZipItem::Link}},
         why("条目 [qnui.qorlan.lt4.x.1/pic.png] 是链接或特殊文件")},
    };
    const QStringList before = treeListing(themes);
    for (const auto& c : cases) {
        const QString package = folder + QString::fromLatin1(c.name);
        ASSERT_TRUE(makeZip(package, c.items)) << c.name;
        dialogs.clear();
        installThrough(m->tbStandard, package);
        ASSERT_EQ(dialogs.shown.size(), 2) << c.name;
        EXPECT_EQ(dialogs.shown[1].text, c.message) << c.name;
        EXPECT_TRUE(dailyLog().contains(invalid + u' ' + package + QStringLiteral("：") +
                                        c.message.section(u'\n', 1)))
            << c.name;
        EXPECT_EQ(treeListing(themes), before) << c.name;
        EXPECT_EQ(g_objThemes->count(), 1) << c.name;
        EXPECT_EQ(m->tvTree->topLevelItemCount(), 1) << c.name;
    }
}

} // namespace
