#include "extend/basXml.h"

#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QFile>

namespace extend {

bool blnSameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString strLocalName(const QDomNode& n) {
    return n.localName().isEmpty() ? n.nodeName() : n.localName();
}

QList<QDomElement> childElements(const QDomElement& parent, const char* name) {
    QList<QDomElement> out;
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.isElement() && blnSameText(strLocalName(n), QLatin1String(name))) out << n.toElement();
    return out;
}

QString strAttribute(const QDomElement& e, const char* name) {
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i)
        if (blnSameText(strLocalName(attrs.item(i)), QLatin1String(name))) return attrs.item(i).nodeValue();
    return {};
}

bool blnLoadXml(const QString& file, QDomDocument* doc) {
    QFile f(QString(file).replace(u'\\', u'/'));
    return f.open(QIODevice::ReadOnly) && doc->setContent(&f, true) && !doc->documentElement().isNull();
}

} // namespace extend
