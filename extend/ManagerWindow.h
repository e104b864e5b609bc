#pragma once
// What the add-in manager and the theme manager share: a tree of installed
// items on the left, a toolbar of commands, the chosen item's details and
// preview on the right, a link to the supplier's page, the progress shown
// while a package installs, and the choice and confirmation of a package.

#include "extend/PackageInstaller.h"

#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace extend {

class ManagerWindow : public QWidget {
    Q_OBJECT
public:
    struct Button {
        const char* key;
        const char* caption;
        const char* image;
    };

    // The image a node shows ("Default", "Uninstall", "K" + ID) and its key.
    static QString nodeImage(const QTreeWidgetItem* node);
    static QString nodeKey(const QTreeWidgetItem* node);

    // The toolbar's command by key.
    virtual void tbStandard_ButtonClick(const QString& key) = 0;
    // Shows the item of a node and enables the buttons for it.
    virtual void tvTree_NodeClick(QTreeWidgetItem* node) = 0;
    // Opens the supplier's page of further add-ins and themes (SUPPLIER_URL
    // of section LIB-DATA in qorlan.ini), or says that none is set.
    void lblGetOther_Click();

    QTreeWidget* tvTree = nullptr;
    ui::CommandBar* tbStandard = nullptr;
    QLabel* lblProvider = nullptr; // nullptr where the window shows no provider
    QLabel* lblVersion = nullptr;
    QLabel* lblDesc = nullptr;
    QLabel* imgShow = nullptr;
    QLabel* lblGetOther = nullptr;
    QProgressBar* picProcess = nullptr;

protected:
    ManagerWindow(QWidget* owner, const QString& name, const QString& caption, const QList<Button>& buttons,
                  const QString& linkText, bool withProvider);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // A top-level node keyed `key` with the item's icon (or "Default").
    QTreeWidgetItem* addNode(const QString& key, const QString& text, const QImage& icon);
    void setNodeImage(QTreeWidgetItem* node, const QString& key);
    void setButtons(bool uninstall, bool other, const QString& otherKey);
    void showPicture(const QImage& picture);
    // The ID behind a node ("" for the progress node or no node).
    static QString strNodeId(const QTreeWidgetItem* node);
    // Lets the user choose and confirm a package (`question` takes its path
    // as %1) and installs it into `target`; the installed description files,
    // or none after a cancel or a failure (its message shown).
    QStringList installChosenPackage(const QString& title, const QString& filter, const QString& question,
                                     const QString& target, const PackageKind& kind,
                                     const DescriptionReader& read, const IdTaken& taken);
    void subStartProcess();
    void subStopProcess();
    static ui::BoxAnswer box(ui::BoxIcon icon, const QString& title, const QString& text,
                             bool question = false);

    // The one window of a kind, created on first use.
    template <class W> static W* single(QPointer<W>& slot, QWidget* owner) {
        if (!slot) slot = new W(owner);
        return slot.data();
    }

    ui::ImageList ilsTree_;
    ui::ImageList ilsToolbar_;
};

} // namespace extend
