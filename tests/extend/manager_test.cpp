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
    const auto why = [&](const char* reason) { return invalid + u'\n' + QString::fromUtf8(reason); };
    const struct {
        const char* name;
        QList<ZipItem> items;
        QString message;
    } cases[] = {
        {"text.qpz", {}, why("文件不是可读的压缩包")},
        {"empty.qpz", {}, why("文件不是可读的压缩包")},
        {"none.qpz", {{QStringLiteral("a/readme.txt"), "x"}}, why("包中没有描述文件 addin.xml")},
        {"root.qpz", {{QStringLiteral("addin.xml"), good}}, why("描述文件 [addin.xml] 不在包的第一层文件夹中")},
        {"nested.qpz",
         {{QStringLiteral("p/a/addin.xml"), good}},
         why("描述文件 [p/a/addin.xml] 不在包的第一层文件夹中")},
        {"malformed.qpz",
         {{QStringLiteral("a/addin.xml"), "<addin id=\"a\""}},
         why("描述文件 [a/addin.xml] 格式错误，无法读取")},
        {"noid.qpz", {{QStringLiteral("a/addin.xml"), "<addin name=\"x\"/>"}}, why("描述文件 [a/addin.xml] 没有标识")},
        {"twice.qpz",
         {{QStringLiteral("a/addin.xml"), "<addin id=\"r\"/>"},
          {QStringLiteral("b/ADDIN.XML"), "<addin id=\"R\"/>"}},
         why("插件标识 [R] 重复，不能安装！")},
        {"taken.qpz",
         {{QStringLiteral("z/addin.xml"), "<addin id=\"INSTALLED\"/>"}},
         why("标识为 [INSTALLED] 的插件已经安装，不能再次安装！")},
        {"folder.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("Inst/addin.xml"), "<addin id=\"n\"/>"}},
         why("插件文件夹 [Inst] 已经存在，不能安装！")},
        {"escape.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("../evil.txt"), "x"}},
         why("条目 [../evil.txt] 指向包外的文件夹（含有“..”）")},
        {"absolute.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("/tmp/evil.txt"), "x"}},
         why("条目 [/tmp/evil.txt] 是绝对路径")},
        {"link.qpz",
         {{QStringLiteral("a/addin.xml"), good}, {QStringLiteral("a/link"), "/etc", ZipItem::Link}},
         why("条目 [a/link] 是链接或特殊文件")},
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
        // The daily log names the package and the same reason.
        EXPECT_TRUE(dailyLog().contains(invalid + u' ' + package + QStringLiteral("：") +
                                        c.message.section(u'\n', 1)))
            << c.name;
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

TEST_F(ManagerTest, InstalledFilesKeepTheirExecuteBitsAndNothingMore) {
    // The demo package's program can be started once installed.
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    frmAddinManager* m = open(w);
    ASSERT_NE(m, nullptr);
    installThrough(m->tbStandard, QString::fromUtf8(DEMO_ADDIN_PACKAGE));
    ASSERT_EQ(m->tvTree->topLevelItemCount(), 1);
    EXPECT_TRUE(QFileInfo(addins + QStringLiteral("/demo/demo-tool")).isExecutable());
    EXPECT_FALSE(QFileInfo(addins + QStringLiteral("/demo/addin.xml")).isExecutable());

    const QString package = g_strPath[0] + QStringLiteral("modes.qpz");
    const struct {
        const char* name;
        quint32 stored;
        QFile::Permissions expected;
    } files[] = {
        {"tool", 0755, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther},
        {"own", 0700, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ReadOther},
        {"setid", 06755, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther},
        {"sticky", 01777, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther},
        {"data", 0666, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther},
        {"plain", 0, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther},
    };
    QList<ZipItem> items{{QStringLiteral("m/addin.xml"), "<addin id=\"m\"/>"}};
    for (const auto& f : files)
        items.append({QStringLiteral("m/") + QLatin1String(f.name), "#!/bin/sh\n", ZipItem::File, f.stored});
    ASSERT_TRUE(makeZip(package, items));
    installThrough(m->tbStandard, package);
    ASSERT_EQ(m->tvTree->topLevelItemCount(), 2);
    for (const auto& f : files) {
        const QString path = addins + QStringLiteral("/m/") + QLatin1String(f.name);
        EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                  f.expected)
            << f.name;
        struct stat st {};
        ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0) << f.name;
        EXPECT_EQ(st.st_mode & 07000, 0u) << f.name;
    }
}

} // namespace
