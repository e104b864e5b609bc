#include "infocenter/LocalBrowser.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/UrlOpener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

LocalBrowser::LocalBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &LocalBrowser::follow);
}

bool LocalBrowser::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString LocalBrowser::insideRoot(const QUrl& url) const {
    if (root_.isEmpty()) return {};
    QUrl target = url;
    if (target.isRelative() && source().isValid()) target = source().resolved(target);
    QString path;
    if (target.isLocalFile())
        path = target.toLocalFile();
    else if (target.scheme().isEmpty())
        path = target.path();
    else
        return {};
    if (path.isEmpty()) return {};
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString root = QFileInfo(root_).canonicalFilePath();
    if (file.isEmpty() || root.isEmpty() || !file.startsWith(root + QLatin1Char('/'))) return {};
    struct stat st {};
    if (stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return file;
}

void LocalBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    pageBytes_ = 0;
    QTextBrowser::doSetSource(name, type);
}

QVariant LocalBrowser::loadResource(int, const QUrl& name) {
    // A refused resource is an empty one, never a null value: on a null value
    // the document would read the file itself.
    const QVariant refused = QVariant::fromValue(QByteArray());
    const QString file = insideRoot(name);
    if (file.isEmpty()) return refused;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return refused;
    const qint64 room = std::min(kMaxFileBytes, kMaxPageBytes - pageBytes_);
    if (f.size() > room) return refused;
    // Read one byte more than allowed: a file that grew is not shown either.
    const QByteArray bytes = f.read(room + 1);
    if (bytes.size() > room) return refused;
    pageBytes_ += bytes.size();
    return bytes;
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
    if (!link.scheme().isEmpty() && !link.isLocalFile()) return;
    const QString file = insideRoot(link);
    if (!file.isEmpty()) setSource(QUrl::fromLocalFile(file));
}
