#include "extend/cThemesCollection.h"

#include "common/basFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace extend {

bool cThemesCollection::blnIsModuleTheme(const QString& folderName, int module) {
    static const char* const words[] = {"cf", "bm", "dc", "lt1", "lt2", "lt3", "lt4", "qk", "tj", "sys"};
    const QString word = module >= 0 && module <= 9 ? QLatin1String(words[module]) : QString();
    const QStringList parts = folderName.split(u'.');
    return parts.size() >= 5 && parts[0].compare(QLatin1String("qnui"), Qt::CaseInsensitive) == 0 &&
           parts[1].compare(QLatin1String("qorlan"), Qt::CaseInsensitive) == 0 &&
           parts[2].compare(word, Qt::CaseInsensitive) == 0;
}

cTheme* cThemesCollection::item(const QString& id) const {
    for (const auto& t : themes_)
        if (t->ID().compare(id, Qt::CaseInsensitive) == 0) return t.get();
    return nullptr;
}

cTheme* cThemesCollection::cThemeAt(int index) const {
    return index >= 0 && index < count() ? themes_.at(index).get() : nullptr;
}

bool cThemesCollection::add(std::unique_ptr<cTheme> theme) {
    if (!theme || item(theme->ID())) return false;
    themes_.push_back(std::move(theme));
    return true;
}

void cThemesCollection::remove(const QString& id) {
    std::erase_if(themes_, [&](const auto& t) { return t->ID().compare(id, Qt::CaseInsensitive) == 0; });
}

bool cThemesCollection::LoadThemes(const QString& strPath) {
    Clear();
    if (!strPath.isEmpty()) m_Path = strFixBackslash(QString(strPath).replace(u'\\', u'/'), false);
    if (m_Path.isEmpty() || !QFileInfo(m_Path).isDir()) return false;
    QStringList names = QDir(m_Path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& name : names) {
        if (!blnIsModuleTheme(name, Module)) continue;
        auto t = std::make_unique<cTheme>();
        if (t->Initialize(strResolvePath(m_Path + u'/' + name, ConfigFile))) add(std::move(t));
    }
    return true;
}

} // namespace extend
