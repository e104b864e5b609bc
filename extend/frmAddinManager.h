#pragma once
// The add-in manager: the installed add-ins in a tree with the chosen one's
// details, installing add-ins from a package (they load at the next start),
// marking an add-in for removal when the program ends, and an add-in's option
// command. Nothing loaded is changed while the program runs.

#include "extend/ManagerWindow.h"

namespace extend {

class cAddin;
class cAddinsCollection;

class frmAddinManager : public ManagerWindow {
    Q_OBJECT
public:
    // The window of the run, created on first use, owned by `owner`.
    static frmAddinManager* instance(QWidget* owner);
    // The window when it is open, else nullptr.
    static frmAddinManager* current();

    // Fills the tree from the add-in collection and shows the first add-in.
    void subLoadAddinTree();
    // Shows the add-in of a node and enables the buttons for it.
    void tvTree_NodeClick(QTreeWidgetItem* node) override;
    // "Install", "UnInstall", "Upgrade" (never enabled) and "Option".
    void tbStandard_ButtonClick(const QString& key) override;

    explicit frmAddinManager(QWidget* owner);

private:
    void subInstallAddin();
    void subUninstallAddin();
    void subRunAddinOption();
    cAddin* addinOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* addAddinNode(const cAddin* addin);
    static cAddinsCollection* collection();
};

} // namespace extend
