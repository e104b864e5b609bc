#pragma once
// Installing a package of add-ins or themes, all or nothing.
//
// Each folder of the package that holds the description file (at the first
// level of the package, any case) is one add-in or theme. The package is
// unpacked into a hidden staging folder inside the target folder; there every
// description must read, carry a non-empty ID that is unique within the
// package and not installed yet, and its folder must not exist in the target
// folder (in any letter case) and must be named as the kind asks. Only then
// are the folders moved into place by rename. Any failure deletes the staging
// folder and leaves the target folder as it was.
//
// A refused package is reported as the kind's "invalid" message, a line
// break and the reason (an entry with an absolute path or a ".." part, a
// link, a malformed description, an entry too large, a duplicate or
// installed ID, a folder that exists or is badly named); the same words go
// to the daily log with the package's path.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace extend {

struct PackageKind {
    QString descriptionFile; // "addin.xml", "theme.xml"
    QString noun;            // "插件", "界面主题": the word in messages
    QString invalidMessage;  // "插件文件无效！"
    // When set, the folder names the kind accepts, and the rule in words.
    std::function<bool(const QString& folder)> folderAllowed = {};
    QString folderRule = {};
};

struct InstallOutcome {
    bool ok = false;
    QStringList descriptions; // installed description files, in package order
    QString message;          // why nothing was installed: invalidMessage, "\n", reason
    QString reason;
};

// Reads the description at the path: its ID, or nothing when it does not
// read (then *why may say what is wrong with it).
using DescriptionReader = std::function<std::optional<QString>(const QString& description, QString* why)>;
// True when an installed item already has the ID.
using IdTaken = std::function<bool(const QString& id)>;

InstallOutcome installPackage(const QString& package, const QString& targetFolder, const PackageKind& kind,
                              const DescriptionReader& read, const IdTaken& taken);

} // namespace extend
