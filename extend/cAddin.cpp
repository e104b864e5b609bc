#include "extend/cAddin.h"

#include "common/basFile.h"
#include "extend/basXml.h"
#include "extend/mRegisterTypeLib.h"

#include "platform/ui/DialogService.h"

#include <QDir>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNamedNodeMap>

namespace extend {

namespace {

// The first attribute whose name is exactly `name`; "" when none.
QString exactAttribute(const QDomElement& e, const char* name) {
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr a = attrs.item(i).toAttr();
        if (a.name() == QLatin1String(name)) return a.value();
    }
    return {};
}

QImage loadPicture(const QString& folder, const QString& name) {
    if (name.isEmpty()) return {};
    return QImage(strResolvePath(folder, QString(name).replace(u'\\', u'/')));
}

void showRegisterFailure(const QString& assembly) {
    ui::BoxRequest box;
    box.icon = ui::BoxIcon::Error;
    box.buttons = ui::BoxButtons::Ok;
    box.title = QStringLiteral("提示");
    box.text = QStringLiteral("注册") + assembly + QStringLiteral("文件失败");
    box.beep = true;
    ui::DialogService::current().showBox(box);
}

// The library file named by an "assembly" text inside the add-in folder
// `folder` (ending in "/"); "" for a name that is absolute or leads out of
// the folder.
QString libraryFile(const QString& folder, const QString& assembly) {
    const QString name = QString(assembly).replace(u'\\', u'/');
    if (name.startsWith(u'/') || name.contains(u':')) return {};
    const QString root = QDir::cleanPath(folder);
    const QString file = QDir::cleanPath(root + u'/' + name);
    if (!file.startsWith(root + u'/')) return {};
    return file;
}

// The objects a list owns, as pointers to their interface.
template <class Base, class T> QList<Base*> pointers(const std::vector<std::unique_ptr<T>>& owned) {
    QList<Base*> out;
    for (const auto& p : owned)
        out << p.get();
    return out;
}

} // namespace

QString cExtenItem::GetAttributeValue(const QString& Key, const QString& DefaultValue) const {
    for (const Attribute& a : attributes_)
        if (blnSameText(a.first, Key)) return a.second;
    return DefaultValue;
}

QList<shell::ExtenItem*> cExtension::Items() const {
    return pointers<shell::ExtenItem>(items_);
}

void cExtension::setPath(const QString& path) {
    path_ = path;
    segments_ = path.split(u'\\');
}

bool cExtension::ValidPath(const QString& Path) const {
    const QString mine = (path_ + u'\\').left(Path.size() + 1);
    return blnSameText(mine, Path + u'\\');
}

QString cExtension::GetChildPathKey(const QString& Path) const {
    for (qsizetype i = 0; i + 1 < segments_.size(); ++i)
        if (blnSameText(segments_.at(i), Path)) return segments_.at(i + 1);
    return {};
}

cAssembly* cAddin::GetAssemblyByKey(const QString& sKey) const {
    for (const auto& a : assemblys_)
        if (blnSameText(a->ClassName, sKey)) return a.get();
    return nullptr;
}

QList<shell::AddinAssembly*> cAddin::Assemblys() const {
    return pointers<shell::AddinAssembly>(assemblys_);
}

int cAddin::Initialize(const QString& strFileName, bool bLoad) {
    AddinFileName = strFileName;
    m_AddinPath = strFixBackslash(strFolderOfPath(strFileName), false);
    QDomDocument doc;
    if (!blnLoadXml(strFileName, &doc)) return -1;
    const QDomElement root = doc.documentElement();
    if (root.isNull() || !readRoot(root)) return -1;
    // Requires is recognised and rejects nothing.
    (void)childElements(root, "Requires");
    if (bLoad) {
        for (const QDomElement& e : childElements(root, "Runtime"))
            readRuntime(e);
        for (const QDomElement& e : childElements(root, "Initialize"))
            readInitialize(e);
        for (const QDomElement& e : childElements(root, "Option"))
            readOption(e);
        for (const QDomElement& e : childElements(root, "Extension"))
            readExtension(e);
    }
    return 0;
}

bool cAddin::readRoot(const QDomElement& root) {
    ID = exactAttribute(root, "id");
    Name = exactAttribute(root, "name");
    Version = exactAttribute(root, "version");
    Provider = exactAttribute(root, "provider");
    DemoIcon = loadPicture(m_AddinPath, exactAttribute(root, "icon"));
    DemoPic = loadPicture(m_AddinPath, exactAttribute(root, "pic"));
    UpgradeURL = exactAttribute(root, "url");
    Description = exactAttribute(root, "description");
    return true;
}

void cAddin::readRuntime(const QDomElement& runtime) {
    const QString folder = strFolderOfPath(AddinFileName);
    for (const QDomElement& e : childElements(runtime, "Import"))
        readImport(folder, e);
}

void cAddin::readImport(const QString& folder, const QDomElement& import) {
    const QString assembly = exactAttribute(import, "assembly");
    const QString className = exactAttribute(import, "class");
    const QString file = libraryFile(QString(folder).replace(u'\\', u'/'), assembly);
    // A library outside the add-in's own folder is refused like one that
    // cannot be registered.
    if (file.isEmpty() || (intTypeLibRegistered(file) != 1 && !blnRegisterTypeLib(file, true))) {
        showRegisterFailure(assembly);
        return;
    }
    if (GetAssemblyByKey(className)) return;
    auto a = std::make_unique<cAssembly>();
    a->ClassName = className;
    a->AssemblyFile = file;
    a->LoadAssemblyLibrary(file);
    assemblys_.push_back(std::move(a));
}

void cAddin::readInitialize(const QDomElement& init) {
    for (const QDomElement& e : childElements(init, "Process"))
        m_AddinInitProcess.append({exactAttribute(e, "shortcut"), exactAttribute(e, "class")});
}

void cAddin::readOption(const QDomElement& option) {
    if (!AddinOption) AddinOption = cAddinShortCut{};
    const QDomNamedNodeMap attrs = option.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomNode a = attrs.item(i);
        if (blnSameText(strLocalName(a), QStringLiteral("ShortCut")))
            AddinOption->ShortCut = a.nodeValue();
        else if (blnSameText(strLocalName(a), QStringLiteral("Class")))
            AddinOption->ClassName = a.nodeValue();
    }
}

void cAddin::readExtension(const QDomElement& ext) {
    auto extension = std::make_unique<cExtension>();
    extension->setPath(exactAttribute(ext, "path"));
    for (QDomNode n = ext.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (!n.isElement()) continue;
        auto item = std::make_unique<cExtenItem>();
        item->setItemKey(strLocalName(n));
        QList<cExtenItem::Attribute> attrs;
        const QDomNamedNodeMap map = n.attributes();
        for (int i = 0; i < map.count(); ++i)
            attrs.append({strLocalName(map.item(i)), map.item(i).nodeValue()});
        item->SetAttributeValue(attrs);
        extension->addItem(std::move(item));
    }
    extensions_.push_back(std::move(extension));
}

} // namespace extend
