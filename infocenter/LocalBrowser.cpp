#include "infocenter/LocalBrowser.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/UrlOpener.h"

#include <QDir>
#include <QFileInfo>

LocalBrowser::LocalBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &LocalBrowser::follow);
}

bool LocalBrowser::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QVariant LocalBrowser::loadResource(int type, const QUrl& name) {
    if (!name.scheme().isEmpty() && !name.isLocalFile()) return {};
    return QTextBrowser::loadResource(type, name);
}

void LocalBrowser::follow(const QUrl& link) {
    if (isWebAddress(link)) {
        if (!ui::UrlOpener::current().open(link)) {
            // No browser took the address: say so rather than nothing.
            ui::BoxRequest box;
            box.icon = ui::BoxIcon::Warning;
            box.title = QStringLiteral("提示");
            box.text = QStringLiteral("无法打开链接：%1\n本机没有可以打开它的浏览器。")
                           .arg(link.toString(QUrl::FullyEncoded));
            box.beep = true;
            ui::DialogService::current().showBox(box);
        }
        return;
    }
    if (root_.isEmpty() || (!link.scheme().isEmpty() && !link.isLocalFile())) return;
    const QUrl target = source().resolved(link);
    const QString file = QFileInfo(target.toLocalFile()).canonicalFilePath();
    const QString root = QFileInfo(root_).canonicalFilePath();
    if (!file.isEmpty() && !root.isEmpty() && file.startsWith(root + QLatin1Char('/')))
        setSource(QUrl::fromLocalFile(file));
}
