#include "extend/cAddinsCollection.h"

#include "common/LoginState.h"
#include "common/basEnv.h"
#include "common/basFile.h"
#include "common/basMsg.h"
#include "extend/RunError.h"
#include "shell/basVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace extend {

namespace {

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList subfolders(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

} // namespace

void cAddinsCollection::Clear() {
    addins_.clear();
}

cAddin* cAddinsCollection::cAddinAt(int index) const {
    return index >= 0 && index < count() ? addins_.at(index).get() : nullptr;
}

void cAddinsCollection::removeAddin(int index) {
    if (index >= 0 && index < count()) addins_.erase(addins_.begin() + index);
}

cAddin* cAddinsCollection::item(const QString& id) const {
    for (const auto& a : addins_)
        if (sameText(a->ID, id)) return a.get();
    return nullptr;
}

bool cAddinsCollection::add(std::unique_ptr<cAddin> addin) {
    if (!addin || item(addin->ID)) return false;
    addins_.push_back(std::move(addin));
    return true;
}

void cAddinsCollection::LoadAddins(const QString& strPath) {
    Clear();
    if (!strPath.isEmpty()) m_Path = strFixBackslash(QString(strPath).replace(u'\\', u'/'), false);
    if (m_Path.isEmpty() || !QFileInfo(m_Path).isDir()) return;
    for (const QString& name : subfolders(m_Path)) {
        const QString file = strResolvePath(m_Path + u'/' + name, ConfigFile);
        if (ConfigFile.isEmpty() || !QFileInfo(file).isFile()) continue;
        auto addin = std::make_unique<cAddin>();
        try {
            if (addin->Initialize(file, true) != 0) continue;
        } catch (const std::exception&) {
            // What was read before the error stays; the add-in is kept.
        }
        addin->setStatus(1);
        add(std::move(addin));
    }
}

void cAddinsCollection::GetExtensByPath(const QString& Path, QList<shell::Extension*>& cols) const {
    for (const auto& a : addins_)
        for (int i = 0; i < a->extensionCount(); ++i)
            if (a->extensionAt(i)->ValidPath(Path)) cols.append(a->extensionAt(i));
}

std::optional<ParsedShortcut> cAddinsCollection::blnParseShortcut(const QString& shortcut) {
    const qsizetype open = shortcut.indexOf(u'[');
    const qsizetype close = shortcut.indexOf(u']');
    if (open < 0 || close < 0 || open > close) return std::nullopt;
    const QString inner = shortcut.mid(open + 1, close - open - 1);
    const qsizetype lp = inner.indexOf(u'(');
    const qsizetype rp = inner.indexOf(u')');
    if (lp < 0 || rp < 0 || lp > rp) return std::nullopt;
    const QString params = inner.mid(lp + 1, rp - lp - 1);
    if (params.isEmpty()) return std::nullopt;
    QStringList parts = params.split(u',');
    ParsedShortcut p;
    p.kind = inner.left(lp);
    p.target = parts.takeFirst();
    p.arguments = parts;
    return p;
}

QVariant cAddinsCollection::varExpandArgument(const QString& argument, bool forProgram,
                                              QHash<QString, QString>* environment) const {
    if (argument.startsWith(QLatin1String("%OBJECT%"))) {
        const QString name = argument.mid(8);
        if (!mainForm_) return {};
        for (QWidget* w : mainForm_->findChildren<QWidget*>())
            if (sameText(w->objectName(), name)) return qint64(reinterpret_cast<quintptr>(w));
        return {};
    }
    const QString code = argument.toUpper();
    if (code == QLatin1String("%A001%")) return g_strPath[0];
    if (code == QLatin1String("%B001%")) return qint64(reinterpret_cast<quintptr>(addinHostCalls()));
    if (code == QLatin1String("%B002%")) return g_strDBName;
    if (code == QLatin1String("%B003%")) return g_strDBUser;
    if (code == QLatin1String("%B004%") || code == QLatin1String("%C002%")) {
        const bool db = code == QLatin1String("%B004%");
        const QString secret = db ? g_strDBPwd : g_strWkrPwd;
        if (!forProgram) return secret;
        // Never on a command line: the started program reads it from its environment.
        if (environment)
            environment->insert(QString::fromLatin1(db ? ADDIN_ENV_DB_PASSWORD : ADDIN_ENV_WORKER_PASSWORD),
                                secret);
        return {};
    }
    if (code == QLatin1String("%C001%")) return g_strWkrNo;
    if (code == QLatin1String("%D001%"))
        return QStringLiteral("%1.%2.%3")
            .arg(kVersionMajor)
            .arg(kVersionMinor)
            .arg(kVersionRevision);
    if (code == QLatin1String("%D003%")) return varGetSysPara(1);
    if (code == QLatin1String("%D004%")) return varGetSysPara(99);
    if (code == QLatin1String("%E001%")) return QStringLiteral("QORLAN 3.5");
    if (code == QLatin1String("%E002%"))
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return {};
}

void cAddinsCollection::ExcuteExtenShortcut(const QString& sClass, const QString& sShortcut) {
    try {
        const std::optional<ParsedShortcut> p = blnParseShortcut(sShortcut);
        if (!p) return;
        if (sameText(p->kind, QStringLiteral("Interface"))) {
            QList<QVariant> argv{QVariant()};
            for (const QString& a : p->arguments)
                argv << varExpandArgument(a);
            for (const auto& a : addins_)
                if (cAssembly* assembly = a->GetAssemblyByKey(sClass)) {
                    assembly->CallProcessByName(p->target, argv);
                    break;
                }
        } else if (sameText(p->kind, QStringLiteral("Program"))) {
            cAssembly launcher;
            QList<QVariant> argv{QVariant()};
            for (const QString& a : p->arguments)
                argv << varExpandArgument(a, true, &launcher.ProgEnvironment);
            launcher.ProgName = p->target;
            launcher.RunExecute(argv);
        }
    } catch (const RunError& e) {
        reportRunError(e);
    } catch (const std::exception& e) {
        reportRunError(RunError(440, QString::fromLocal8Bit(e.what())));
    }
}

} // namespace extend
