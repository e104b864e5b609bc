#include "infocenter/basInfoServers.h"

#include "common/cProfile.h"
#include "infocenter/basNews.h"

#include <QUrl>

namespace {

QString serverUrl(const char* key) {
    cProfile ini;
    ini.ReadFile(strInfoCenterFolder() + QStringLiteral("setting.ini"));
    QString url = ini.GetValueS(QStringLiteral("Server"), QLatin1String(key), QString()).trimmed();
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    const QUrl parsed(url);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

} // namespace

QString strHelpServerUrl() {
    return serverUrl("HelpUrl");
}

QString strFeedbackServerUrl() {
    return serverUrl("FeedbackUrl");
}
