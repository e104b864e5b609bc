#pragma once
// cThemesCollection: the interface themes of one module, from the theme
// folders named "qnui.qorlan.<module word>.<a>.<b>[...]" (at least five parts,
// the first three compared without regard to case), listed by name without
// regard to case and keyed by theme ID (any case; the first one listed wins).

#include "extend/cTheme.h"
#include "shell/ShellServices.h"

#include <memory>
#include <vector>

namespace extend {

class cThemesCollection : public shell::ThemesCollection {
public:
    int Module = 0;
    QString m_Path;
    QString ConfigFile;

    void setModule(int module) override { Module = module; }
    void setConfigFile(const QString& file) override { ConfigFile = file; }
    QString Path() const { return m_Path; }

    void Clear() { themes_.clear(); }
    // False (and an empty collection) when the themes folder cannot be listed.
    bool LoadThemes(const QString& strPath) override;
    int count() const override { return int(themes_.size()); }
    shell::Theme* theme(const QString& id) const override { return item(id); }
    shell::Theme* themeAt(int index) const override { return cThemeAt(index); }
    cTheme* item(const QString& id) const;
    cTheme* cThemeAt(int index) const;
    // Adds a theme under its ID; false (the theme dropped) when the ID is taken.
    bool add(std::unique_ptr<cTheme> theme);
    void remove(const QString& id);

    static bool blnIsModuleTheme(const QString& folderName, int module);

private:
    std::vector<std::unique_ptr<cTheme>> themes_;
};

} // namespace extend
