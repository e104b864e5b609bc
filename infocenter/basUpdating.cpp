#include "infocenter/basUpdating.h"

#include "common/basFile.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>

namespace {

QString localName(const QDomNode& n) {
    return n.localName().isEmpty() ? n.nodeName() : n.localName();
}

bool named(const QDomNode& n, const char* name) {
    return n.isElement() && localName(n).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The value of the first attribute whose local name is `name`, else "".
QString strGetAttribute(const QDomElement& e, const char* name, Qt::CaseSensitivity cs) {
    if (e.isNull()) return {};
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomNode a = attrs.item(i);
        if (localName(a).compare(QLatin1String(name), cs) == 0) return a.nodeValue();
    }
    return {};
}

bool blnCheckProperties(const QDomElement& properties, const QString& signature, QString& releaseTime) {
    bool result = false;
    for (QDomNode n = properties.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!named(n, "property")) continue;
        const QDomElement p = n.toElement();
        const QString name = strGetAttribute(p, "name", Qt::CaseInsensitive);
        if (name == QStringLiteral("数字签名")) {
            if (strGetAttribute(p, "value", Qt::CaseInsensitive) != signature) return result;
            result = true;
        } else if (name == QStringLiteral("发布时间")) {
            releaseTime = strGetAttribute(p, "value", Qt::CaseInsensitive);
        }
    }
    return result;
}

UpdateItem makeItem(const QDomElement& e, const QString& releaseTime, const QString& filePath) {
    UpdateItem u;
    u.ReleaseTime = releaseTime;
    u.FilePath = filePath;
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomNode a = attrs.item(i);
        const QString n = localName(a).toLower();
        if (n == QLatin1String("subject"))
            u.Subject = a.nodeValue();
        else if (n == QLatin1String("catalog"))
            u.Catalog = a.nodeValue();
        else if (n == QLatin1String("date"))
            u.Date = a.nodeValue();
        else if (n == QLatin1String("level"))
            u.Level = a.nodeValue();
        else if (n == QLatin1String("descript"))
            u.Descript = a.nodeValue();
    }
    return u;
}

} // namespace

bool UpdatingReader::LoadUpdatings(QString& folder, const QString& strSignature, QList<UpdateItem>& items) {
    m_Signature = strSignature;
    overflow_ = false;
    if (folder.isEmpty()) return false;
    folder = strFixBackslash(folder, false);
    QDir dir(QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (!dir.exists() || !dir.isReadable()) return false;
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files) {
        blnReadUpdateFile(dir.filePath(name), items);
        if (overflow_) return false;
    }
    return true;
}

bool UpdatingReader::blnReadUpdateFile(const QString& path, QList<UpdateItem>& items) {
    QFile f(path);
    QDomDocument doc;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f, true)) return true;
    const QDomElement root = doc.documentElement();
    QString releaseTime;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!named(n, "properties")) continue;
        if (!blnCheckProperties(n.toElement(), m_Signature, releaseTime)) return false;
        break;
    }
    if (releaseTime.isEmpty()) return true;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!named(n, "item")) continue;
        if (items.size() >= kMaxItems) {
            overflow_ = true;
            return true;
        }
        items.append(makeItem(n.toElement(), releaseTime, path));
    }
    return true;
}

QList<UpdateGroup> groupUpdatings(const QList<UpdateItem>& items, bool byCatalog) {
    QList<UpdateGroup> groups;
    for (int i = 0; i < items.size(); ++i) {
        const QString& key = byCatalog ? items.at(i).Catalog : items.at(i).ReleaseTime;
        auto it =
            std::find_if(groups.begin(), groups.end(), [&](const UpdateGroup& g) { return g.Key == key; });
        if (it == groups.end()) {
            groups.append({key, {}});
            it = groups.end() - 1;
        }
        it->Items.prepend(i);
    }
    return groups;
}
