// The add-in manager: installing the demo package, loading it at the next
// start, its option, marking it for removal, and packages that must change
// nothing.

#include "tests/extend/HostFixture.h"
#include "tests/extend/ZipMaker.h"

#include "extend/frmAddinManager.h"

#include <QLabel>
#include <QMessageBox>
#include <QTreeWidget>

namespace {

class ManagerTest : public HostTest {
protected:
    frmAddinManager* open(frmMain* w) {
        w->menuItemClick(QStringLiteral("mnuToolAddins"));
        return frmAddinManager::current();
    }
    bool enabled(frmAddinManager* m, const char* key) {
        return m->tbStandard->isItemEnabled(QString::fromLatin1(key));
    }
    QStringList listing() const { return treeListing(addins); }
    static QStringList classIds() {
        return sys::RegistryStore().subkeyNames(sys::HKEY_CLASSES_ROOT, QStringLiteral("CLSID"));
    }
};

TEST_F(ManagerTest, TheDemoPackageInstallsLoadsAtTheNextStartAndIsRemovedAtExit) {
    const QString package = QString::fromUtf8(DEMO_ADDIN_PACKAGE);
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    frmAddinManager* m = open(w);
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->isVisible());
    EXPECT_EQ(m->tvTree->topLevelItemCount(), 0);
    EXPECT_TRUE(enabled(m, "Install"));
    EXPECT_FALSE(enabled(m, "UnInstall") || enabled(m, "Option") || enabled(m, "Upgrade"));

    installThrough(m->tbStandard, package);
    EXPECT_EQ(shownTexts(),
              QStringList{QStringLiteral("是否确定从") + package + QStringLiteral("中安装插件？")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("确定"));
    ASSERT_EQ(m->tvTree->topLevelItemCount(), 1);
    QTreeWidgetItem* node = m->tvTree->currentItem();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(frmAddinManager::nodeKey(node), QStringLiteral("Kdemo.consign.addin"));
    EXPECT_EQ(frmAddinManager::nodeImage(node), QStringLiteral("Kdemo.consign.addin"));
    EXPECT_EQ(node->text(0), QStringLiteral("演示插件"));
    EXPECT_EQ(m->lblDesc->text(), QStringLiteral("此插件将在您下次运行 [流通委托] 时启用"));
    EXPECT_TRUE(enabled(m, "UnInstall"));
    EXPECT_FALSE(enabled(m, "Option"));
    EXPECT_EQ(QDir(addins).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"demo"});
    EXPECT_TRUE(QFileInfo::exists(addins + QStringLiteral("/demo/libdemo_addin.so")));
    EXPECT_EQ(collection()->item(QStringLiteral("demo.consign.addin"))->Status(), 0);
    EXPECT_TRUE(classIds().isEmpty());

    // No supplier address is configured.
    dialogs.clear();
    m->lblGetOther_Click();
    EXPECT_TRUE(dialogs.lastText().contains(QStringLiteral("SUPPLIER_URL")));

    // The next start loads it.
    closeMain(w);
    EXPECT_EQ(frmAddinManager::current(), nullptr);
    dialogs.clear();
    w = frmMain::load();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(g_objAddins->count(), 1);
    EXPECT_EQ(g_objAddins->addin(0)->Status(), 1);
    EXPECT_TRUE(w->menuCommandBar()->hasItem(QStringLiteral("mnuDemoAddin")));
    EXPECT_EQ(classIds().size(), 1);
    m = open(w);
    EXPECT_EQ(m->lblDesc->text(), collection()->cAddinAt(0)->Description);
    EXPECT_TRUE(enabled(m, "Option"));
    ASSERT_TRUE(m->tbStandard->clickItem(QStringLiteral("Option")));
    QMessageBox* shown = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == QLatin1String("demoAddinMessage")) shown = qobject_cast<QMessageBox*>(t);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), QStringLiteral("演示插件没有需要设置的选项。"));

    // Marked for removal: it keeps working until the program ends.
    dialogs.clear();
    dialogs.answers = {ui::BoxAnswer::Ok};
    ASSERT_TRUE(m->tbStandard->clickItem(QStringLiteral("UnInstall")));
    EXPECT_EQ(shownTexts(),
              QStringList{QStringLiteral(
                  "如果您卸载 演示插件，那就不能再使用它提供的功能，您确定要卸载 演示插件 吗？")});
    EXPECT_EQ(dialogs.shown.value(0).title, QStringLiteral("卸载 演示插件"));
    EXPECT_EQ(frmAddinManager::nodeImage(m->tvTree->currentItem()), QStringLiteral("Uninstall"));
    EXPECT_EQ(m->lblDesc->text(), QStringLiteral("此插件将在您关闭 [流通委托] 时卸载"));
    EXPECT_FALSE(enabled(m, "UnInstall") || enabled(m, "Option"));
    EXPECT_EQ(g_objAddins->addin(0)->Status(), 2);
    closeMain(w);
    EXPECT_FALSE(QFileInfo::exists(addins + QStringLiteral("/demo")));
    EXPECT_TRUE(classIds().isEmpty());
}

TEST_F(ManagerTest, APackageThatFailsChangesNothing) {
    makeAddin(QStringLiteral("inst"), description(QStringLiteral("id=\"installed\""), {}), {});
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    frmAddinManager* m = open(w);
    const QByteArray good("<addin id=\"good\" name=\"好\"/>");
    const QString invalid = QStringLiteral("插件文件无效！");
    const QString folder = g_strPath[0] + QStringLiteral("packages/");
    QDir().mkpath(folder);
    QFile notZip(folder + QStringLiteral("text.qpz"));
    notZip.open(QIODevice::WriteOnly);
    notZip.write("PK but not really");
    notZip.close();
    QFile empty(folder + QStringLiteral("empty.qpz"));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    const struct {
        const char* name;
        QList<ZipItem> items;
        QString message;
    } cases[] = {
        {"text.qpz", {}, invalid},
        {"empty.qpz", {}, invalid},
        {"none.qpz", {{QStringLiteral("a/readme.txt"), "x"}}, invalid},
        {"root.qpz", {{QStringLiteral("addin.xml"), good}}, invalid},
        {"nested.qpz", {{QStringLiteral("p/a/addin.xml"), good}}, invalid},
        {"malformed.qpz", {{QStringLiteral("a/addin.xml"), "<addin id=\"a\""}}, invalid},
        {"noid.qpz", {{QStringLiteral("a/addin.xml"), "<addin name=\"x\"/>"}}, invalid},
        {"twice.qpz",
         {{QStringLiteral("a/addin.xml"), "<addin id=\"r\"/>"},
          {QStringLiteral("b/ADDIN.XML"), "<addin id=\"R\"/>"}},
         QStringLiteral("插件标识 [R] 重复，不能安装！")},
        {"taken.qpz",
         {{QStringLiteral("z/addin.xml"), "<addin id=\"INSTALLED\"/>"}},
         QStringLiteral("标识为 [INSTALLED] 的插件已经安装，不能再次安装！")},
        {"folder.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("Inst/addin.xml"), "<addin id=\"n\"/>"}},
         QStringLiteral("插件文件夹 [Inst] 已经存在，不能安装！")},
        {"escape.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("../evil.txt"), "x"}},
         invalid},
        {"link.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("a/link"), "/etc", ZipItem::Link}},
         invalid},
    };
    const QStringList before = listing();
    for (const auto& c : cases) {
        const QString package = folder + QString::fromLatin1(c.name);
        if (!c.items.isEmpty()) {
            ASSERT_TRUE(makeZip(package, c.items)) << c.name;
        }
        dialogs.clear();
        installThrough(m->tbStandard, package);
        ASSERT_EQ(dialogs.shown.size(), 2) << c.name;
        EXPECT_EQ(dialogs.shown[1].text, c.message) << c.name;
        EXPECT_EQ(dialogs.shown[1].title, QStringLiteral("错误提示"));
        EXPECT_EQ(listing(), before) << c.name;
        EXPECT_EQ(g_objAddins->count(), 1) << c.name;
        EXPECT_EQ(m->tvTree->topLevelItemCount(), 1) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(g_strPath[0] + QStringLiteral("evil.txt")));

    // Two add-ins and a stray file: both add-ins, nothing else.
    const QString two = folder + QStringLiteral("two.qpz");
    ASSERT_TRUE(makeZip(two, {{QStringLiteral("x/addin.xml"), "<addin id=\"x\" name=\"X\"/>"},
                              {QStringLiteral("y/Addin.Xml"), "<addin id=\"y\" name=\"Y\"/>"},
                              {QStringLiteral("stray.txt"), "s"}}));
    dialogs.clear();
    installThrough(m->tbStandard, two);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(listing(), (QStringList{"inst", "inst/addin.xml", "x", "x/addin.xml", "y", "y/Addin.Xml"}));
    EXPECT_EQ(m->tvTree->topLevelItemCount(), 3);
    EXPECT_EQ(frmAddinManager::nodeKey(m->tvTree->currentItem()), QStringLiteral("Ky"));
    EXPECT_EQ(frmAddinManager::nodeImage(m->tvTree->currentItem()), QStringLiteral("Default"));

    // A cancelled file choice or question does nothing.
    dialogs.clear();
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    m->tbStandard_ButtonClick(QStringLiteral("Install"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

} // namespace
