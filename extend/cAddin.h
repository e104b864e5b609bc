#pragma once
// An add-in: one folder below the add-ins folder with its description file
// "addin.xml", read by cAddin::Initialize.
//
// The description's root element (any name) carries the add-in's identity in
// the attributes "id", "name", "version", "provider", "icon", "pic", "url" and
// "description" (names as spelt, case-sensitive). Its children, matched by
// local name without regard to case and read in document order:
//   Requires                       recognised, ignored
//   Runtime > Import               "assembly" (library file inside the add-in
//                                  folder) and "class" (registered class name)
//   Initialize > Process           "shortcut" and "class": start-up shortcuts
//   Option                         "ShortCut" and "Class" (any case): the
//                                  option shortcut
//   Extension                      "path": an extension point; every child
//                                  element is an item (its local name is the
//                                  item key, its attributes the item's data)
// Other elements, comments and text are skipped.

#include "extend/cAssembly.h"
#include "shell/ShellServices.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QDomElement;

namespace extend {

using cAddinShortCut = shell::AddinShortCut;

class cExtenItem : public shell::ExtenItem {
public:
    using Attribute = QPair<QString, QString>;

    QString ItemKey() const override { return m_ItemKey; }
    void setItemKey(const QString& key) { m_ItemKey = key; }
    void SetAttributeValue(const QList<Attribute>& attr) { attributes_ = attr; }
    QString GetAttributeValue(const QString& Key, const QString& DefaultValue) const override;

private:
    QString m_ItemKey;
    QList<Attribute> attributes_;
};

class cExtension : public shell::Extension {
public:
    QList<shell::ExtenItem*> Items() const override;
    QString Path() const { return path_; }
    // Sets the host path and splits it into its segments at every backslash.
    void setPath(const QString& path);
    // The path equals `Path` or lies below it at a segment boundary (any case).
    bool ValidPath(const QString& Path) const;
    QString GetChildPathKey(const QString& Path) const override;

    void addItem(std::unique_ptr<cExtenItem> item) { items_.push_back(std::move(item)); }
    int itemCount() const { return int(items_.size()); }
    cExtenItem* itemAt(int i) const { return items_.at(i).get(); }

private:
    QString path_;
    QStringList segments_;
    std::vector<std::unique_ptr<cExtenItem>> items_;
};

class cAddin : public shell::Addin {
public:
    QString ID;
    QString Name;
    QString Version;
    QString Provider;
    QImage DemoIcon; // null: none
    QImage DemoPic;
    QString UpgradeURL;
    QString Description;
    QString AddinFileName;
    QString m_AddinPath;
    int m_Status = 0;
    std::optional<cAddinShortCut> AddinOption;
    QList<cAddinShortCut> m_AddinInitProcess;

    // Reads the description file: 0 when read, -1 when it cannot be loaded or
    // its root cannot be read. With bLoad false only the root's attributes.
    int Initialize(const QString& strFileName, bool bLoad);
    // The assembly of the class (any case), or nullptr.
    cAssembly* GetAssemblyByKey(const QString& sKey) const;
    int assemblyCount() const { return int(assemblys_.size()); }
    cAssembly* assemblyAt(int i) const { return assemblys_.at(i).get(); }
    int extensionCount() const { return int(extensions_.size()); }
    cExtension* extensionAt(int i) const { return extensions_.at(i).get(); }

    QList<shell::AddinShortCut> AddinInitProcess() const override { return m_AddinInitProcess; }
    QList<shell::AddinAssembly*> Assemblys() const override;
    int Status() const override { return m_Status; }
    void setStatus(int status) override { m_Status = status; }
    QString AddinPath() const override { return m_AddinPath; }

private:
    bool readRoot(const QDomElement& root);
    void readRuntime(const QDomElement& runtime);
    void readImport(const QString& folder, const QDomElement& import);
    void readInitialize(const QDomElement& init);
    void readOption(const QDomElement& option);
    void readExtension(const QDomElement& ext);

    std::vector<std::unique_ptr<cAssembly>> assemblys_;
    std::vector<std::unique_ptr<cExtension>> extensions_;
};

} // namespace extend
