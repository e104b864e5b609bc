#pragma once
// The theme manager: the installed interface themes in a tree (the current
// one marked), applying a theme to every open window at once, installing
// themes from a package and uninstalling a theme that is not the current one.

#include "extend/ManagerWindow.h"

namespace extend {

class cTheme;
class cThemesCollection;

class frmThemeManager : public ManagerWindow {
    Q_OBJECT
public:
    static frmThemeManager* instance(QWidget* owner);
    static frmThemeManager* current();

    // Rebuilds the tree from the themes collection and shows the first theme.
    void subLoadThemeTree();
    void tvTree_NodeClick(QTreeWidgetItem* node) override;
    // "Install", "UnInstall", "Upgrade" (never enabled) and "Apply".
    void tbStandard_ButtonClick(const QString& key) override;

    explicit frmThemeManager(QWidget* owner);

private:
    void subInstallTheme();
    void subUninstallTheme();
    void subApplySelTheme();
    cTheme* themeOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* addThemeNode(const cTheme* theme);
    static cThemesCollection* collection();
};

} // namespace extend
