#include "extend/PackageInstaller.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "extend/cUnzip.h"
#include "platform/zip/ZipArchive.h"

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

QString quoted(const QString& name) {
    return QStringLiteral("[") + name + QStringLiteral("]");
}

} // namespace

InstallOutcome installPackage(const QString& package, const QString& targetFolder, const PackageKind& kind,
                              const DescriptionReader& read, const IdTaken& taken) {
    const auto refuse = [&](const QString& reason) {
        InstallOutcome o;
        o.reason = reason;
        o.message = kind.invalidMessage + u'\n' + reason;
        LIB_WriteLogFile(kind.invalidMessage,
                         QStringLiteral("%1 %2：%3").arg(kind.invalidMessage, package, reason));
        return o;
    };
    {
        zipfile::ZipArchive archive;
        if (!archive.open(package)) return refuse(QStringLiteral("文件不是可读的压缩包"));
        const QString unsafe = archive.refusal();
        if (!unsafe.isEmpty()) return refuse(unsafe);
    }
    cUnzip unzip;
    unzip.setZipFile(package);
    unzip.Directory();
    const QStringList folders = unzip.GetFilePath(kind.descriptionFile);
    if (folders.isEmpty()) return refuse(QStringLiteral("包中没有描述文件 %1").arg(kind.descriptionFile));
    // Every description lies in a folder of its own at the package's first level.
    for (const QString& f : folders) {
        if (f.isEmpty() || f.contains(u'\\') || f == QLatin1String("."))
            return refuse(QStringLiteral("描述文件 %1 不在包的第一层文件夹中")
                              .arg(quoted(f.isEmpty() ? kind.descriptionFile
                                                      : QString(f).replace(u'\\', u'/') + u'/' +
                                                            kind.descriptionFile)));
        if (folders.count(f) > 1)
            return refuse(QStringLiteral("文件夹 %1 中有不止一个描述文件 %2").arg(quoted(f), kind.descriptionFile));
        if (kind.folderAllowed && !kind.folderAllowed(f))
            return refuse(QStringLiteral("%1文件夹 %2 的名称不符合 %3 的规则，不能安装！")
                              .arg(kind.noun, quoted(f), kind.folderRule));
    }

    const QString target = QDir::cleanPath(QString(targetFolder).replace(u'\\', u'/'));
    if (!QDir().mkpath(target)) return refuse(QStringLiteral("不能建立文件夹 %1").arg(quoted(target)));
    const QString staging =
        target + QStringLiteral("/.staging-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto fail = [&](const QString& reason) {
        if (blnIsDirectChild(staging, target)) blnDeleteFolder(staging, true);
        return refuse(reason);
    };
    unzip.setUnzipFolder(staging);
    unzip.UseFolderNames = true;
    if (!unzip.Unzip()) return fail(unzip.strUnzipError());

    QStringList ids;
    for (const QString& f : folders) {
        QString why;
        const std::optional<QString> id = read(strResolvePath(staging + u'/' + f, kind.descriptionFile), &why);
        const QString shownName = quoted(f + u'/' + kind.descriptionFile);
        if (!id)
            return fail(QStringLiteral("描述文件 %1 格式错误，无法读取%2")
                            .arg(shownName, why.isEmpty() ? QString() : QStringLiteral("：") + why));
        if (id->isEmpty()) return fail(QStringLiteral("描述文件 %1 没有标识").arg(shownName));
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
            return fail(QStringLiteral("不能把文件夹 %1 移入 %2").arg(quoted(f), quoted(target)));
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
