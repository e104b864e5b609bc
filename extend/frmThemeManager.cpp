#include "extend/frmThemeManager.h"

#include "common/basFile.h"
#include "extend/basXml.h"
#include "extend/cThemesCollection.h"
#include "shell/basMainSettings.h"
#include "shell/frmMain.h"

#include <QDomDocument>
#include <QLabel>
#include <QPointer>
#include <QTreeWidget>

namespace extend {

namespace {

QPointer<frmThemeManager> g_window;

const QString kCurrentMark = QStringLiteral("(当前应用主题)");

} // namespace

frmThemeManager* frmThemeManager::instance(QWidget* owner) {
    return single(g_window, owner);
}

frmThemeManager* frmThemeManager::current() {
    return g_window.data();
}

frmThemeManager::frmThemeManager(QWidget* owner)
    : ManagerWindow(owner, QStringLiteral("frmThemeManager"), QStringLiteral("主题管理器"),
                    {{"Install", "安装主题", "Install"},
                     {"UnInstall", "卸载主题", "UnInstall"},
                     {"Upgrade", "检查更新", "Upgrade"},
                     {"Apply", "应用主题", "Apply"}},
                    QStringLiteral("获取更多的主题"), false) {}

cThemesCollection* frmThemeManager::collection() {
    return dynamic_cast<cThemesCollection*>(g_objThemes);
}

cTheme* frmThemeManager::themeOf(const QTreeWidgetItem* node) const {
    const QString id = strNodeId(node);
    return collection() && !id.isEmpty() ? collection()->item(id) : nullptr;
}

QTreeWidgetItem* frmThemeManager::addThemeNode(const cTheme* theme) {
    const bool current = theme->ID() == g_strStyleID;
    return addNode((current ? QStringLiteral("A") : QStringLiteral("K")) + theme->ID(),
                   theme->Name + (current ? kCurrentMark : QString()), theme->DemoIcon);
}

void frmThemeManager::subLoadThemeTree() {
    tvTree->clear();
    if (cThemesCollection* c = collection())
        for (int i = 0; i < c->count(); ++i)
            addThemeNode(c->cThemeAt(i));
    QTreeWidgetItem* first = tvTree->topLevelItem(0);
    if (!first) {
        setButtons(false, false, QStringLiteral("Apply"));
        return;
    }
    tvTree->setCurrentItem(first);
    tvTree_NodeClick(first);
}

void frmThemeManager::tvTree_NodeClick(QTreeWidgetItem* node) {
    const cTheme* t = themeOf(node);
    if (!t) return;
    lblVersion->setText(t->Version);
    lblDesc->setText(t->Description);
    showPicture(t->DemoPic);
    const bool current = nodeKey(node).startsWith(u'A');
    setButtons(tvTree->topLevelItemCount() > 1 && !current, !current, QStringLiteral("Apply"));
}

void frmThemeManager::tbStandard_ButtonClick(const QString& key) {
    if (key == QLatin1String("Install"))
        subInstallTheme();
    else if (key == QLatin1String("UnInstall"))
        subUninstallTheme();
    else if (key == QLatin1String("Apply"))
        subApplySelTheme();
}

void frmThemeManager::subApplySelTheme() {
    QTreeWidgetItem* node = tvTree->currentItem();
    cThemesCollection* c = collection();
    if (!node || !c) return;
    cTheme* t = themeOf(node);
    g_strStyleID = nodeKey(node).mid(1);
    if (!t) {
        box(ui::BoxIcon::Error, QStringLiteral("提示"), QStringLiteral("选定主题应用失败！"));
        t = c->cThemeAt(0);
        if (!t) return;
        g_strStyleID = t->ID();
    }
    g_objCurTheme = t;
    t->LoadTheme();
    t->ApplyTheme();
    subLoadThemeTree();
}

void frmThemeManager::subUninstallTheme() {
    QTreeWidgetItem* node = tvTree->currentItem();
    cThemesCollection* c = collection();
    if (!node || !c) return;
    if (nodeKey(node).startsWith(u'A')) {
        box(ui::BoxIcon::Error, QStringLiteral("提示"), QStringLiteral("不能卸载当前应用主题！"));
        tbStandard->setItemEnabled(QStringLiteral("UnInstall"), false);
        return;
    }
    const QString name = node->text(0);
    if (box(ui::BoxIcon::Question, QStringLiteral("卸载 ") + name,
            QStringLiteral("您确定要卸载界面主题 %1 吗？").arg(name), true) != ui::BoxAnswer::Ok)
        return;
    const cTheme* t = themeOf(node);
    if (!t) return;
    // Only a theme folder directly inside the themes folder is ever deleted.
    const QString folder = strFixBackslash(t->ThemePath, false);
    const bool deletable = blnIsDirectChild(folder, c->Path());
    c->remove(t->ID());
    if (deletable) blnDeleteFolder(folder, true);
    subLoadThemeTree();
}

void frmThemeManager::subInstallTheme() {
    cThemesCollection* c = collection();
    if (!c) return;
    const QStringList installed = installChosenPackage(
        QStringLiteral("选择要安装的界面主题"), QStringLiteral("主题文件 (*.qtz)|*.qtz|所有文件(*.*)|*.*||"),
        QStringLiteral("是否确定从 %1 中安装界面主题？"), c->Path(),
        {c->ConfigFile, QStringLiteral("界面主题"), QStringLiteral("界面主题文件无效！"),
         [c](const QString& folder) { return cThemesCollection::blnIsModuleTheme(folder, c->Module); },
         QStringLiteral("qnui.qorlan.lt4.*.*")},
        [](const QString& file, QString* why) -> std::optional<QString> {
            cTheme t;
            if (t.Initialize(file)) return t.ID();
            QDomDocument doc;
            if (!blnLoadXml(file, &doc)) return std::nullopt;
            if (t.ID().isEmpty()) return QString();
            if (why) *why = QStringLiteral("它指定的图片无法载入");
            return std::nullopt;
        },
        [c](const QString& id) { return c->item(id) != nullptr; });
    for (const QString& description : installed) {
        auto t = std::make_unique<cTheme>();
        if (!t->Initialize(description)) continue;
        const cTheme* added = t.get();
        if (!c->add(std::move(t))) continue;
        QTreeWidgetItem* node = addThemeNode(added);
        tvTree->setCurrentItem(node);
        tvTree_NodeClick(node);
    }
}

} // namespace extend
