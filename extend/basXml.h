#pragma once
// Reading the description files of add-ins and themes: names compared by
// their local name (namespace processing on) without regard to case.

#include <QDomElement>
#include <QList>
#include <QString>

namespace extend {

bool blnSameText(const QString& a, const QString& b);
// The node's local name, or its whole name where it has none.
QString strLocalName(const QDomNode& n);
// The child elements of `parent` whose local name is `name` (any case), in order.
QList<QDomElement> childElements(const QDomElement& parent, const char* name);
// The first attribute whose local name is `name` (any case); "" when none.
QString strAttribute(const QDomElement& e, const char* name);
// Loads an XML file with namespace processing; false when it does not read
// or has no root element.
bool blnLoadXml(const QString& file, class QDomDocument* doc);

} // namespace extend
