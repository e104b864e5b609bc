#include "extend/PackageInstaller.h"

#include "common/basFile.h"
#include "extend/cUnzip.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <optional>

namespace extend {

namespace {

bool existsAnyCase(const QString& parent, const QString& name) {
    for (const QString& e : QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        if (e.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

InstallOutcome refuse(const QString& message) {
    InstallOutcome o;
    o.message = message;
    return o;
}

} // namespace

InstallOutcome installPackage(const QString& package, const QString& targetFolder, const PackageKind& kind,
                              const DescriptionReader& read, const IdTaken& taken) {
    cUnzip unzip;
    unzip.setZipFile(package);
    unzip.Directory();
    const QStringList folders = unzip.GetFilePath(kind.descriptionFile);
    if (folders.isEmpty()) return refuse(kind.invalidMessage);
    // Every description lies in a folder of its own at the package's first level.
    for (const QString& f : folders)
        if (f.isEmpty() || f.contains(u'\\') || f == QLatin1String(".") || folders.count(f) > 1)
            return refuse(kind.invalidMessage);

    const QString target = QDir::cleanPath(QString(targetFolder).replace(u'\\', u'/'));
    if (!QDir().mkpath(target)) return refuse(kind.invalidMessage);
    const QString staging =
        target + QStringLiteral("/.staging-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto fail = [&](const QString& message) {
        if (blnIsDirectChild(staging, target)) blnDeleteFolder(staging, true);
        return refuse(message);
    };
    unzip.setUnzipFolder(staging);
    unzip.UseFolderNames = true;
    if (!unzip.Unzip()) return fail(kind.invalidMessage);

    QStringList ids;
    for (const QString& f : folders) {
        const std::optional<QString> id = read(strResolvePath(staging + u'/' + f, kind.descriptionFile));
        if (!id || id->isEmpty()) return fail(kind.invalidMessage);
        for (const QString& seen : ids)
            if (seen.compare(*id, Qt::CaseInsensitive) == 0)
                return fail(QStringLiteral("%1标识 [%2] 重复，不能安装！").arg(kind.noun, *id));
        if (taken(*id))
            return fail(QStringLiteral("标识为 [%1] 的%2已经安装，不能再次安装！").arg(*id, kind.noun));
        if (existsAnyCase(target, f))
            return fail(QStringLiteral("%1文件夹 [%2] 已经存在，不能安装！").arg(kind.noun, f));
        ids << *id;
    }

    QStringList moved;
    for (const QString& f : folders) {
        if (!QDir().rename(staging + u'/' + f, target + u'/' + f)) {
            for (const QString& back : moved)
                QDir().rename(target + u'/' + back, staging + u'/' + back);
            return fail(kind.invalidMessage);
        }
        moved << f;
    }
    blnDeleteFolder(staging, true);
    InstallOutcome o;
    o.ok = true;
    for (const QString& f : folders)
        o.descriptions << strResolvePath(target + u'/' + f, kind.descriptionFile);
    return o;
}

} // namespace extend
