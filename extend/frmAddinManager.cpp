#include "extend/frmAddinManager.h"

#include "common/LoginState.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "extend/PackageInstaller.h"
#include "extend/cAddinsCollection.h"
#include "shell/basShellIni.h"
#include "shell/frmMain.h"

#include "platform/ui/DialogService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace extend {

namespace {

QPointer<frmAddinManager> g_window;

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

ui::BoxAnswer box(ui::BoxIcon icon, const QString& title, const QString& text, bool question = false)
{
    ui::BoxRequest r;
    r.icon = icon;
    r.buttons = question ? ui::BoxButtons::OkCancel : ui::BoxButtons::Ok;
    r.defaultAnswer = ui::BoxAnswer::Ok;
    r.title = title;
    r.text = text;
    r.beep = icon == ui::BoxIcon::Error;
    return ui::DialogService::current().showBox(r);
}

} // namespace

frmAddinManager* frmAddinManager::instance(QWidget* owner)
{
    if (!g_window)
        g_window = new frmAddinManager(owner);
    return g_window.data();
}

frmAddinManager* frmAddinManager::current()
{
    return g_window.data();
}

frmAddinManager::frmAddinManager(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmAddinManager"));
    setWindowTitle(QStringLiteral("插件管理器"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 440);

    QStyle* st = style();
    ilsTree_.add(QStringLiteral("Default"), st->standardIcon(QStyle::SP_FileDialogDetailedView));
    ilsTree_.add(QStringLiteral("Uninstall"), st->standardIcon(QStyle::SP_TrashIcon));
    ilsToolbar_.add(QStringLiteral("Install"), st->standardIcon(QStyle::SP_DialogOpenButton));
    ilsToolbar_.add(QStringLiteral("UnInstall"), st->standardIcon(QStyle::SP_TrashIcon));
    ilsToolbar_.add(QStringLiteral("Upgrade"), st->standardIcon(QStyle::SP_BrowserReload));
    ilsToolbar_.add(QStringLiteral("Apply"), st->standardIcon(QStyle::SP_DialogApplyButton));

    tbStandard = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbStandard"), this);
    tbStandard->setRedraw(false);
    const char* const buttons[][3] = {{"Install", "安装插件", "Install"},
                                      {"UnInstall", "卸载插件", "UnInstall"},
                                      {"Upgrade", "检查更新", "Upgrade"},
                                      {"Option", "插件选项", "Apply"}};
    ui::CommandMenu* standard = tbStandard->addMenu(QStringLiteral("Standard"), QString());
    for (const auto& b : buttons) {
        const QString caption = QString::fromUtf8(b[1]);
        standard->append(tbStandard->addItem(QString::fromLatin1(b[0]), QString::fromLatin1(b[2]), caption,
                                             ui::ItemStyle::Command, caption));
    }
    tbStandard->setImageList(&ilsToolbar_);
    tbStandard->setActiveMenu(standard);
    tbStandard->setRedraw(true);
    tbStandard->setItemEnabled(QStringLiteral("Upgrade"), false);
    connect(tbStandard, &ui::CommandBar::keyClicked, this, &frmAddinManager::tbStandard_ButtonClick);

    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setRootIsDecorated(false);
    connect(tvTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* it) { tvTree_NodeClick(it); });

    auto* picInfo = new QWidget(this);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    auto* info = new QGridLayout(picInfo);
    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    lblVersion = label("lblVersion");
    lblProvider = label("lblProvider");
    lblDesc = label("lblDesc");
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    info->addWidget(new QLabel(QStringLiteral("版本："), this), 0, 0);
    info->addWidget(lblVersion, 0, 1);
    info->addWidget(new QLabel(QStringLiteral("提供者："), this), 0, 2);
    info->addWidget(lblProvider, 0, 3);
    info->addWidget(new QLabel(QStringLiteral("描述："), this), 1, 0, Qt::AlignTop);
    info->addWidget(lblDesc, 1, 1, 1, 3);
    info->setColumnStretch(3, 1);
    imgShow = label("imgShow");
    imgShow->setAlignment(Qt::AlignCenter);
    imgShow->setMinimumHeight(160);
    lblGetOther = label("lblGetOther");
    lblGetOther->setText(QStringLiteral("<a href=\"#\">获取更多的插件</a>"));
    lblGetOther->setCursor(Qt::PointingHandCursor);
    lblGetOther->installEventFilter(this);
    picProcess = new QProgressBar(this);
    picProcess->setObjectName(QStringLiteral("picProcess"));
    picProcess->setRange(0, 0);
    picProcess->setTextVisible(false);
    picProcess->hide();

    auto* right = new QVBoxLayout;
    right->addWidget(picInfo, 1);
    right->addWidget(imgShow, 1);
    right->addWidget(lblGetOther, 0, Qt::AlignRight);
    auto* body = new QGridLayout;
    body->addWidget(tvTree, 0, 0);
    body->addWidget(picProcess, 1, 0);
    body->addLayout(right, 0, 1, 2, 1);
    body->setColumnStretch(0, 2);
    body->setColumnStretch(1, 3);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(tbStandard);
    outer->addLayout(body, 1);

    for (const char* key : {"UnInstall", "Upgrade", "Option"})
        tbStandard->setItemEnabled(QString::fromLatin1(key), false);
}

frmAddinManager::~frmAddinManager() = default;

bool frmAddinManager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblGetOther && event->type() == QEvent::MouseButtonRelease) {
        lblGetOther_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

cAddinsCollection* frmAddinManager::collection()
{
    return dynamic_cast<cAddinsCollection*>(g_objAddins);
}

QString frmAddinManager::nodeKey(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QString frmAddinManager::nodeImage(const QTreeWidgetItem* node)
{
    return node ? node->data(0, kImageRole).toString() : QString();
}

void frmAddinManager::setNodeImage(QTreeWidgetItem* node, const QString& key)
{
    const QString k = ilsTree_.contains(key) ? key : QStringLiteral("Default");
    node->setData(0, kImageRole, k);
    node->setIcon(0, ilsTree_.icon(k));
}

cAddin* frmAddinManager::addinOf(const QTreeWidgetItem* node) const
{
    const QString key = nodeKey(node);
    cAddinsCollection* c = collection();
    return c && key.size() > 1 && key != QLatin1String("Default") ? c->item(key.mid(1)) : nullptr;
}

QTreeWidgetItem* frmAddinManager::addNode(const cAddin* addin, QTreeWidgetItem* before)
{
    if (!addin->DemoIcon.isNull() && !ilsTree_.contains(QStringLiteral("K") + addin->ID))
        ilsTree_.add(QStringLiteral("K") + addin->ID, QIcon(QPixmap::fromImage(addin->DemoIcon)));
    auto* node = new QTreeWidgetItem(QStringList{addin->Name});
    node->setData(0, kKeyRole, QStringLiteral("K") + addin->ID);
    setNodeImage(node, QStringLiteral("K") + addin->ID);
    if (before)
        tvTree->insertTopLevelItem(tvTree->indexOfTopLevelItem(before), node);
    else
        tvTree->addTopLevelItem(node);
    return node;
}

void frmAddinManager::subLoadAddinTree()
{
    cAddinsCollection* c = collection();
    if (!c || c->count() == 0)
        return;
    tvTree->clear();
    for (int i = 0; i < c->count(); ++i)
        addNode(c->cAddinAt(i));
    QTreeWidgetItem* first = tvTree->topLevelItem(0);
    tvTree->setCurrentItem(first);
    tvTree_NodeClick(first);
}

void frmAddinManager::tvTree_NodeClick(QTreeWidgetItem* node)
{
    const cAddin* a = addinOf(node);
    if (!a) {
        tbStandard->setItemEnabled(QStringLiteral("UnInstall"), false);
        tbStandard->setItemEnabled(QStringLiteral("Option"), false);
        return;
    }
    lblVersion->setText(a->Version);
    lblProvider->setText(a->Provider);
    const QString title = strProgramTitle();
    bool uninstall = true;
    bool option = false;
    if (a->Status() == 0) {
        lblDesc->setText(QStringLiteral("此插件将在您下次运行 [%1] 时启用").arg(title));
    } else if (a->Status() == 2) {
        lblDesc->setText(QStringLiteral("此插件将在您关闭 [%1] 时卸载").arg(title));
        uninstall = false;
    } else {
        lblDesc->setText(a->Description);
        option = bool(a->AddinOption);
    }
    tbStandard->setItemEnabled(QStringLiteral("UnInstall"), uninstall);
    tbStandard->setItemEnabled(QStringLiteral("Option"), option);
    imgShow->setPixmap(a->DemoPic.isNull() ? QPixmap() : QPixmap::fromImage(a->DemoPic));
}

void frmAddinManager::tbStandard_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Install"))
        subInstallAddin();
    else if (key == QLatin1String("UnInstall"))
        subUninstallAddin();
    else if (key == QLatin1String("Option"))
        subRunAddinOption();
}

void frmAddinManager::subInstallAddin()
{
    cAddinsCollection* c = collection();
    if (!c)
        return;
    const QString package = strShowOpenDialog(this, QStringLiteral("选择要安装的插件"),
                                              QStringLiteral("插件文件 (*.qpz)|*.qpz|所有文件(*.*)|*.*||"), g_strPath[0]);
    if (package.isEmpty())
        return;
    if (box(ui::BoxIcon::Question, QStringLiteral("确定"),
            QStringLiteral("是否确定从") + package + QStringLiteral("中安装插件？"), true)
        != ui::BoxAnswer::Ok)
        return;
    subStartProcess();
    QCoreApplication::processEvents();
    const PackageKind kind{c->ConfigFile, QStringLiteral("插件"), QStringLiteral("插件文件无效！")};
    const InstallOutcome outcome = installPackage(
        package, c->Path(), kind,
        [](const QString& file) -> std::optional<QString> {
            cAddin a;
            if (a.Initialize(file, false) != 0)
                return std::nullopt;
            return a.ID;
        },
        [c](const QString& id) { return c->item(id) != nullptr; });
    subStopProcess();
    if (!outcome.ok) {
        box(ui::BoxIcon::Error, QStringLiteral("错误提示"), outcome.message);
        return;
    }
    for (const QString& description : outcome.descriptions) {
        auto a = std::make_unique<cAddin>();
        a->Initialize(description, false);
        a->setStatus(0);
        const cAddin* added = a.get();
        if (!c->add(std::move(a)))
            continue;
        QTreeWidgetItem* node = addNode(added);
        tvTree->setCurrentItem(node);
        tvTree_NodeClick(node);
    }
}

void frmAddinManager::subUninstallAddin()
{
    QTreeWidgetItem* node = tvTree->currentItem();
    if (!node)
        return;
    const QString name = node->text(0);
    if (box(ui::BoxIcon::Question, QStringLiteral("卸载 ") + name,
            QStringLiteral("如果您卸载 %1，那就不能再使用它提供的功能，您确定要卸载 %1 吗？").arg(name), true)
        != ui::BoxAnswer::Ok)
        return;
    cAddin* a = addinOf(node);
    if (!a)
        return;
    a->setStatus(2);
    setNodeImage(node, QStringLiteral("Uninstall"));
    tvTree_NodeClick(node);
}

void frmAddinManager::subRunAddinOption()
{
    const cAddin* a = addinOf(tvTree->currentItem());
    if (a && a->AddinOption && collection())
        collection()->ExcuteExtenShortcut(a->AddinOption->ClassName, a->AddinOption->ShortCut);
}

void frmAddinManager::subStartProcess()
{
    auto* node = new QTreeWidgetItem(QStringList{QString()});
    node->setData(0, kKeyRole, QStringLiteral("Default"));
    setNodeImage(node, QStringLiteral("Default"));
    tvTree->insertTopLevelItem(0, node);
    picProcess->show();
}

void frmAddinManager::subStopProcess()
{
    picProcess->hide();
    for (int i = tvTree->topLevelItemCount() - 1; i >= 0; --i)
        if (nodeKey(tvTree->topLevelItem(i)) == QLatin1String("Default"))
            delete tvTree->takeTopLevelItem(i);
}

void frmAddinManager::lblGetOther_Click()
{
    const QString address = strReadConnectionIni(QStringLiteral("LIB-DATA"), QStringLiteral("SUPPLIER_URL"));
    const QUrl url(address);
    if (address.isEmpty() || !url.isValid()
        || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        box(ui::BoxIcon::Information, strProgramTitle(),
            QStringLiteral("没有设定供应商网址：请在 qorlan.ini 的 [LIB-DATA] 节中以 SUPPLIER_URL 设定。"));
        return;
    }
    QDesktopServices::openUrl(url);
}

} // namespace extend
