#include "extend/ManagerWindow.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "shell/basShellIni.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace extend {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

} // namespace

ManagerWindow::ManagerWindow(QWidget* owner, const QString& name, const QString& caption,
                             const QList<Button>& buttons, const QString& linkText, bool withProvider)
    : QWidget(owner, Qt::Window) {
    setObjectName(name);
    setWindowTitle(caption);
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
    ui::CommandMenu* standard = tbStandard->addMenu(QStringLiteral("Standard"), QString());
    for (const Button& b : buttons) {
        const QString text = QString::fromUtf8(b.caption);
        standard->append(tbStandard->addItem(QString::fromLatin1(b.key), QString::fromLatin1(b.image), text,
                                             ui::ItemStyle::Command, text));
        if (QLatin1String(b.key) != QLatin1String("Install"))
            tbStandard->setItemEnabled(QString::fromLatin1(b.key), false);
    }
    tbStandard->setImageList(&ilsToolbar_);
    tbStandard->setActiveMenu(standard);
    tbStandard->setRedraw(true);
    connect(tbStandard, &ui::CommandBar::keyClicked, this,
            [this](const QString& key) { tbStandard_ButtonClick(key); });

    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setRootIsDecorated(false);
    connect(tvTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* it) { tvTree_NodeClick(it); });

    auto label = [this](const char* objectName) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(objectName));
        return l;
    };
    auto* picInfo = new QWidget(this);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    auto* info = new QGridLayout(picInfo);
    lblVersion = label("lblVersion");
    lblDesc = label("lblDesc");
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    info->addWidget(new QLabel(QStringLiteral("版本："), this), 0, 0);
    info->addWidget(lblVersion, 0, 1);
    if (withProvider) {
        lblProvider = label("lblProvider");
        info->addWidget(new QLabel(QStringLiteral("提供者："), this), 0, 2);
        info->addWidget(lblProvider, 0, 3);
    }
    info->addWidget(new QLabel(QStringLiteral("描述："), this), 1, 0, Qt::AlignTop);
    info->addWidget(lblDesc, 1, 1, 1, 3);
    info->setColumnStretch(3, 1);
    imgShow = label("imgShow");
    imgShow->setAlignment(Qt::AlignCenter);
    imgShow->setMinimumHeight(160);
    lblGetOther = label("lblGetOther");
    lblGetOther->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(linkText));
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
}

bool ManagerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblGetOther && event->type() == QEvent::MouseButtonRelease) {
        lblGetOther_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

ui::BoxAnswer ManagerWindow::box(ui::BoxIcon icon, const QString& title, const QString& text, bool question) {
    ui::BoxRequest r;
    r.icon = icon;
    r.buttons = question ? ui::BoxButtons::OkCancel : ui::BoxButtons::Ok;
    r.defaultAnswer = ui::BoxAnswer::Ok;
    r.title = title;
    r.text = text;
    r.beep = icon == ui::BoxIcon::Error;
    return ui::DialogService::current().showBox(r);
}

QString ManagerWindow::nodeKey(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

QString ManagerWindow::nodeImage(const QTreeWidgetItem* node) {
    return node ? node->data(0, kImageRole).toString() : QString();
}

void ManagerWindow::setNodeImage(QTreeWidgetItem* node, const QString& key) {
    const QString k = ilsTree_.contains(key) ? key : QStringLiteral("Default");
    node->setData(0, kImageRole, k);
    node->setIcon(0, ilsTree_.icon(k));
}

QTreeWidgetItem* ManagerWindow::addNode(const QString& key, const QString& text, const QImage& icon) {
    const QString imageKey = QStringLiteral("K") + key.mid(1);
    if (!icon.isNull() && !ilsTree_.contains(imageKey))
        ilsTree_.add(imageKey, QIcon(QPixmap::fromImage(icon)));
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kKeyRole, key);
    setNodeImage(node, imageKey);
    tvTree->addTopLevelItem(node);
    return node;
}

void ManagerWindow::setButtons(bool uninstall, bool other, const QString& otherKey) {
    tbStandard->setItemEnabled(QStringLiteral("UnInstall"), uninstall);
    tbStandard->setItemEnabled(otherKey, other);
}

void ManagerWindow::showPicture(const QImage& picture) {
    imgShow->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

QString ManagerWindow::strNodeId(const QTreeWidgetItem* node) {
    const QString key = nodeKey(node);
    return key.size() > 1 && key != QLatin1String("Default") ? key.mid(1) : QString();
}

QStringList ManagerWindow::installChosenPackage(const QString& title, const QString& filter,
                                                const QString& question, const QString& target,
                                                const PackageKind& kind, const DescriptionReader& read,
                                                const IdTaken& taken) {
    const QString package = strShowOpenDialog(this, title, filter, g_strPath[0]);
    if (package.isEmpty() ||
        box(ui::BoxIcon::Question, QStringLiteral("确定"), question.arg(package), true) != ui::BoxAnswer::Ok)
        return {};
    subStartProcess();
    const InstallOutcome outcome = installPackage(package, target, kind, read, taken);
    subStopProcess();
    if (!outcome.ok) box(ui::BoxIcon::Error, QStringLiteral("错误提示"), outcome.message);
    return outcome.descriptions;
}

void ManagerWindow::subStartProcess() {
    auto* node = new QTreeWidgetItem(QStringList{QString()});
    node->setData(0, kKeyRole, QStringLiteral("Default"));
    setNodeImage(node, QStringLiteral("Default"));
    tvTree->insertTopLevelItem(0, node);
    picProcess->show();
    QCoreApplication::processEvents();
}

void ManagerWindow::subStopProcess() {
    picProcess->hide();
    for (int i = tvTree->topLevelItemCount() - 1; i >= 0; --i)
        if (nodeKey(tvTree->topLevelItem(i)) == QLatin1String("Default")) delete tvTree->takeTopLevelItem(i);
}

void ManagerWindow::lblGetOther_Click() {
    const QString address = strReadConnectionIni(QStringLiteral("LIB-DATA"), QStringLiteral("SUPPLIER_URL"));
    const QUrl url(address);
    if (address.isEmpty() || !url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        box(ui::BoxIcon::Information, strProgramTitle(),
            QStringLiteral("没有设定供应商网址：请在 qorlan.ini 的 [LIB-DATA] 节中以 SUPPLIER_URL 设定。"));
        return;
    }
    QDesktopServices::openUrl(url);
}

} // namespace extend
