#include "extend/frmAddinManager.h"

#include "extend/cAddinsCollection.h"
#include "shell/basShellIni.h"
#include "shell/frmMain.h"

#include <QLabel>
#include <QPointer>
#include <QTreeWidget>

namespace extend {

namespace {

QPointer<frmAddinManager> g_window;

} // namespace

frmAddinManager* frmAddinManager::instance(QWidget* owner) {
    return single(g_window, owner);
}

frmAddinManager* frmAddinManager::current() {
    return g_window.data();
}

frmAddinManager::frmAddinManager(QWidget* owner)
    : ManagerWindow(owner, QStringLiteral("frmAddinManager"), QStringLiteral("插件管理器"),
                    {{"Install", "安装插件", "Install"},
                     {"UnInstall", "卸载插件", "UnInstall"},
                     {"Upgrade", "检查更新", "Upgrade"},
                     {"Option", "插件选项", "Apply"}},
                    QStringLiteral("获取更多的插件"), true) {}

cAddinsCollection* frmAddinManager::collection() {
    return dynamic_cast<cAddinsCollection*>(g_objAddins);
}

cAddin* frmAddinManager::addinOf(const QTreeWidgetItem* node) const {
    const QString id = strNodeId(node);
    return collection() && !id.isEmpty() ? collection()->item(id) : nullptr;
}

QTreeWidgetItem* frmAddinManager::addAddinNode(const cAddin* addin) {
    return addNode(QStringLiteral("K") + addin->ID, addin->Name, addin->DemoIcon);
}

void frmAddinManager::subLoadAddinTree() {
    cAddinsCollection* c = collection();
    if (!c || c->count() == 0) return;
    tvTree->clear();
    for (int i = 0; i < c->count(); ++i)
        addAddinNode(c->cAddinAt(i));
    QTreeWidgetItem* first = tvTree->topLevelItem(0);
    tvTree->setCurrentItem(first);
    tvTree_NodeClick(first);
}

void frmAddinManager::tvTree_NodeClick(QTreeWidgetItem* node) {
    const cAddin* a = addinOf(node);
    if (!a) {
        setButtons(false, false, QStringLiteral("Option"));
        return;
    }
    lblVersion->setText(a->Version);
    lblProvider->setText(a->Provider);
    const QString title = strProgramTitle();
    if (a->Status() == 0) {
        lblDesc->setText(QStringLiteral("此插件将在您下次运行 [%1] 时启用").arg(title));
        setButtons(true, false, QStringLiteral("Option"));
    } else if (a->Status() == 2) {
        lblDesc->setText(QStringLiteral("此插件将在您关闭 [%1] 时卸载").arg(title));
        setButtons(false, false, QStringLiteral("Option"));
    } else {
        lblDesc->setText(a->Description);
        setButtons(true, bool(a->AddinOption), QStringLiteral("Option"));
    }
    showPicture(a->DemoPic);
}

void frmAddinManager::tbStandard_ButtonClick(const QString& key) {
    if (key == QLatin1String("Install"))
        subInstallAddin();
    else if (key == QLatin1String("UnInstall"))
        subUninstallAddin();
    else if (key == QLatin1String("Option"))
        subRunAddinOption();
}

void frmAddinManager::subInstallAddin() {
    cAddinsCollection* c = collection();
    if (!c) return;
    const QStringList installed = installChosenPackage(
        QStringLiteral("选择要安装的插件"), QStringLiteral("插件文件 (*.qpz)|*.qpz|所有文件(*.*)|*.*||"),
        QStringLiteral("是否确定从%1中安装插件？"), c->Path(),
        {c->ConfigFile, QStringLiteral("插件"), QStringLiteral("插件文件无效！")},
        [](const QString& file, QString*) -> std::optional<QString> {
            cAddin a;
            if (a.Initialize(file, false) != 0) return std::nullopt;
            return a.ID;
        },
        [c](const QString& id) { return c->item(id) != nullptr; });
    for (const QString& description : installed) {
        auto a = std::make_unique<cAddin>();
        a->Initialize(description, false);
        a->setStatus(0);
        const cAddin* added = a.get();
        if (!c->add(std::move(a))) continue;
        QTreeWidgetItem* node = addAddinNode(added);
        tvTree->setCurrentItem(node);
        tvTree_NodeClick(node);
    }
}

void frmAddinManager::subUninstallAddin() {
    QTreeWidgetItem* node = tvTree->currentItem();
    if (!node) return;
    const QString name = node->text(0);
    if (box(ui::BoxIcon::Question, QStringLiteral("卸载 ") + name,
            QStringLiteral("如果您卸载 %1，那就不能再使用它提供的功能，您确定要卸载 %1 吗？").arg(name),
            true) != ui::BoxAnswer::Ok)
        return;
    cAddin* a = addinOf(node);
    if (!a) return;
    a->setStatus(2);
    setNodeImage(node, QStringLiteral("Uninstall"));
    tvTree_NodeClick(node);
}

void frmAddinManager::subRunAddinOption() {
    const cAddin* a = addinOf(tvTree->currentItem());
    if (a && a->AddinOption && collection())
        collection()->ExcuteExtenShortcut(a->AddinOption->ClassName, a->AddinOption->ShortCut);
}

} // namespace extend
