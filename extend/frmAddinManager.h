#pragma once
// The add-in manager: the installed add-ins in a tree with the chosen one's
// details, installing add-ins from a package (they load at the next start),
// marking an add-in for removal when the program ends, and an add-in's option
// command. Nothing loaded is changed while the program runs.

#include "platform/ui/CommandBar.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace extend {

class cAddin;
class cAddinsCollection;

class frmAddinManager : public QWidget {
    Q_OBJECT
public:
    // The window of the run, created on first use, owned by `owner`.
    static frmAddinManager* instance(QWidget* owner);
    // The window when it is open, else nullptr.
    static frmAddinManager* current();
    ~frmAddinManager() override;

    // Fills the tree from the add-in collection and shows the first add-in.
    void subLoadAddinTree();
    // Shows the add-in of a node and enables the buttons for it.
    void tvTree_NodeClick(QTreeWidgetItem* node);
    // "Install", "UnInstall", "Upgrade" (never enabled) and "Option".
    void tbStandard_ButtonClick(const QString& key);
    // Opens the supplier's page of further add-ins.
    void lblGetOther_Click();

    // The image a node shows: "Default", "Uninstall" or "K" + the add-in's ID.
    static QString nodeImage(const QTreeWidgetItem* node);
    static QString nodeKey(const QTreeWidgetItem* node);

    QTreeWidget* tvTree = nullptr;
    ui::CommandBar* tbStandard = nullptr;
    QLabel* lblProvider = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDesc = nullptr;
    QLabel* imgShow = nullptr;
    QLabel* lblGetOther = nullptr;
    QProgressBar* picProcess = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmAddinManager(QWidget* owner);
    void subInstallAddin();
    void subUninstallAddin();
    void subRunAddinOption();
    void subStartProcess();
    void subStopProcess();
    cAddin* addinOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* addNode(const cAddin* addin, QTreeWidgetItem* before = nullptr);
    void setNodeImage(QTreeWidgetItem* node, const QString& key);
    static cAddinsCollection* collection();

    ui::ImageList ilsTree_;
    ui::ImageList ilsToolbar_;
};

} // namespace extend
