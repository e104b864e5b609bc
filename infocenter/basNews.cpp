#include "infocenter/basNews.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "common/cProfile.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

#include <cmath>

DBResultSet g_varNewsChannels;

namespace {

const QString kSection = QStringLiteral("NewsChannel");

QString nameOf(const QDomNode& n) {
    return n.localName().isEmpty() ? n.nodeName() : n.localName();
}

bool named(const QDomNode& n, const char* name) {
    return n.isElement() && nameOf(n).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool loadXml(const QString& path, QDomDocument& doc) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return bool(doc.setContent(&f, true));
}

// A 32-bit number as the settings hold it: blanks around it, a fraction
// rounded to the nearest (a half to the even one).
bool parseLong(const QString& text, int* out) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0) return false;
    *out = int(r);
    return true;
}

// Fills the fields of `item` from the children of `parent` by the element
// names given in field order: ID, Subject, Content, LinkUrl, NewsType,
// IssueTime, IssueOrgName.
void fillItem(const QDomElement& parent, const char* const names[7], NewsItem& item) {
    QString* fields[7] = {&item.NewsID,   &item.Subject,   &item.Content,     &item.LinkUrl,
                          &item.NewsType, &item.IssueTime, &item.IssueOrgName};
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling()) {
        for (int i = 0; i < 7; ++i) {
            if (named(n, names[i])) {
                *fields[i] = n.toElement().text();
                break;
            }
        }
    }
    item.NewsID = item.NewsID.trimmed();
    item.IssueTime = item.IssueTime.trimmed();
}

const char* const kFileNames[7] = {"NewsID",   "Subject",   "Content",     "LinkUrl",
                                   "NewsType", "IssueTime", "IssueOrgName"};
const char* const kReplyNames[7] = {"NEWS_ID",   "SUBJECT",    "CONTENT",      "LINKURL",
                                    "NEWS_TYPE", "ISSUE_TIME", "ISSUE_ORGNAME"};

} // namespace

QString strInfoCenterFolder() {
    return g_strPath[0] + QStringLiteral("InfoCenter/");
}

QString strNewsFolder() {
    return strInfoCenterFolder() + QStringLiteral("News/");
}

bool blnReadNewsSettingFile(const QString& file, NewsSetting& s, QString* error) {
    cProfile ini;
    if (!ini.ReadFile(file)) return true;
    for (const char* key : {"CheckCycle", "Timeout"}) {
        int value = 0;
        const QString text = ini.GetValueS(kSection, QLatin1String(key), QString());
        if (!parseLong(text, &value)) {
            if (error)
                *error = QStringLiteral("消息设置 %1 的值不是数字：\"%2\"").arg(QLatin1String(key), text);
            return false;
        }
        (key[0] == 'C' ? s.CheckCycle : s.Timeout) = value;
    }
    s.LastNewsTime = ini.GetValueS(kSection, QStringLiteral("LastNewsTime"),
                                   QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    return true;
}

bool blnSaveNewsSettingFile(const QString& file, const QString& lastNewsTime) {
    cProfile ini;
    if (!ini.ReadFile(file)) return false;
    return ini.SetValue(kSection, QStringLiteral("LastNewsTime"), lastNewsTime) != 0;
}

bool blnIsSafeNewsId(const QString& id) {
    return !id.isEmpty() && id != QLatin1String(".") && id != QLatin1String("..") &&
           !id.contains(QLatin1Char('/')) && !id.contains(QLatin1Char('\\')) && !id.contains(QChar(0));
}

QString strNewsKey(const NewsItem& item) {
    if (blnIsSafeNewsId(item.NewsID)) return QStringLiteral("K") + item.NewsID;
    return QStringLiteral("K/") + item.Folder;
}

bool blnReadNewsFile(const QString& path, NewsItem& item, bool* parsed) {
    QDomDocument doc;
    const bool ok = loadXml(path, doc);
    if (parsed) *parsed = ok;
    if (!ok) return true;
    NewsItem read;
    fillItem(doc.documentElement(), kFileNames, read);
    // Only the elements present replace the item's values.
    const QDomElement root = doc.documentElement();
    QString* target[7] = {&item.NewsID,   &item.Subject,   &item.Content,     &item.LinkUrl,
                          &item.NewsType, &item.IssueTime, &item.IssueOrgName};
    const QString* source[7] = {&read.NewsID,   &read.Subject,   &read.Content,     &read.LinkUrl,
                                &read.NewsType, &read.IssueTime, &read.IssueOrgName};
    for (int i = 0; i < 7; ++i) {
        for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (named(n, kFileNames[i])) {
                *target[i] = *source[i];
                break;
            }
        }
    }
    return true;
}

bool blnSaveNewsFile(const QString& newsFolder, NewsItem& item) {
    if (!blnIsSafeNewsId(item.NewsID)) return false;
    const QString folder = newsFolder + item.NewsID;
    if (intMakePath(folder) != 0) return false;
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = doc.createElement(QStringLiteral("News"));
    doc.appendChild(root);
    const QString* values[7] = {&item.NewsID,   &item.Subject,   &item.Content,     &item.LinkUrl,
                                &item.NewsType, &item.IssueTime, &item.IssueOrgName};
    for (int i = 0; i < 7; ++i) {
        QDomElement e = doc.createElement(QLatin1String(kFileNames[i]));
        e.appendChild(doc.createTextNode(*values[i]));
        root.appendChild(e);
    }
    QSaveFile f(folder + QStringLiteral("/news.xml"));
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(doc.toByteArray(1));
    if (!f.commit()) return false;
    item.Folder = item.NewsID;
    return true;
}

bool blnDeleteNewsFolder(const QString& newsFolder, const QString& folder) {
    if (!blnIsSafeNewsId(folder)) return false;
    return blnDeleteFolder(newsFolder + folder, true);
}

QList<NewsItem> listStoredNews(const QString& newsFolder) {
    QList<NewsItem> out;
    QStringList keys;
    const QStringList folders =
        QDir(newsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : folders) {
        const QString path = newsFolder + name + QStringLiteral("/news.xml");
        if (!QFileInfo(path).isFile()) continue;
        NewsItem item;
        blnReadNewsFile(path, item);
        item.Readed = true;
        item.Folder = name;
        const QString key = strNewsKey(item);
        if (keys.contains(key)) continue;
        if (out.size() >= 32767) break;
        keys.append(key);
        out.append(item);
    }
    return out;
}

QList<NewsItem> parseNewsReply(const QString& path) {
    QList<NewsItem> rows;
    QDomDocument doc;
    if (!loadXml(path, doc)) return rows;
    for (QDomNode top = doc.firstChild(); !top.isNull(); top = top.nextSibling()) {
        for (QDomNode n = top.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (!named(n, "Table")) continue;
            NewsItem item;
            fillItem(n.toElement(), kReplyNames, item);
            rows.append(item);
        }
    }
    return rows;
}

QString strCheckNewsUrl(const QString& base, const QString& lastNewsTime) {
    const QString datePart = lastNewsTime.trimmed().section(QLatin1Char(' '), 0, 0);
    QDate date;
    for (const char* format : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d"}) {
        date = QDate::fromString(datePart, QLatin1String(format));
        if (date.isValid()) break;
    }
    if (!date.isValid()) date = QDate::currentDate();
    return base + QStringLiteral("CheckLastNews.aspx?lasttime=") +
           date.toString(QStringLiteral("yyyy-MM-dd"));
}

void subRaiseLastNewsTime(QString& last, const QString& issueTime) {
    if (last < issueTime) last = issueTime;
}
