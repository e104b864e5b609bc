#include "infocenter/frmFeedbackManager.h"

#include "infocenter/basInfoServers.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/UrlOpener.h"

#include <QTextBrowser>
#include <QVBoxLayout>

frmFeedbackManager::frmFeedbackManager(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmFeedbackManager"));
    setWindowTitle(QStringLiteral("反馈信息管理"));
    resize(560, 400);
    tbToolbar = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbToolbar"), this);
    ui::CommandMenu* bar = tbToolbar->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    bar->append(tbToolbar->addItem(QStringLiteral("Send"), {}, QStringLiteral("填写反馈单")));
    bar->append(tbToolbar->addItem(QStringLiteral("View"), {}, QStringLiteral("查看回复")));
    tbToolbar->setActiveMenu(bar);
    wbBrowse = new QTextBrowser(this);
    wbBrowse->setObjectName(QStringLiteral("wbBrowse"));
    wbBrowse->setOpenLinks(false);
    connect(wbBrowse, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            ui::UrlOpener::current().open(url);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbToolbar);
    layout->addWidget(wbBrowse, 1);
    connect(tbToolbar, &ui::CommandBar::keyClicked, this, &frmFeedbackManager::tbToolbar_ButtonClick);
}

QString frmFeedbackManager::strFeedbackPage(const QString& server, const QString& key) {
    if (server.isEmpty()) return {};
    if (key == QLatin1String("Send"))
        return server + QStringLiteral("/Pelmarin/ReportFeedback.aspx?mode=1&uid=SYS&uname=SYS");
    if (key == QLatin1String("View"))
        return server + QStringLiteral("/Pelmarin/FeedbackList.aspx?mode=1&uid=SYS&uname=SYS");
    return {};
}

void frmFeedbackManager::tbToolbar_ButtonClick(const QString& key) {
    if (key != QLatin1String("Send") && key != QLatin1String("View")) return;
    const QString page = strFeedbackPage(strFeedbackServerUrl(), key);
    if (page.isEmpty()) {
        ui::BoxRequest box;
        box.icon = ui::BoxIcon::Warning;
        box.title = QStringLiteral("提示");
        box.text = QStringLiteral("没有设定反馈服务器的地址！");
        ui::DialogService::current().showBox(box);
        return;
    }
    const QUrl url(page);
    ui::UrlOpener::current().open(url);
    wbBrowse->setHtml(QStringLiteral("<p>已在浏览器中打开：</p><p><a href=\"%1\">%2</a></p>")
                          .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), page.toHtmlEscaped()));
}
