#pragma once
// The command bar: keyed items shown as a menu bar or a toolbar.
//
// A bar owns an item collection (by key) and a menu collection (by key). A menu
// is an ordered list of items; the bar displays one menu (setActiveMenu): a
// menu-bar bar shows its items as top-level menus, a toolbar bar as buttons.
// An item that opens a sub-menu shows the menu set with setSubMenu.
//
//   CommandBar* bar = new CommandBar(CommandBar::Kind::MenuBar, "cmdBar", this);
//   bar->setRedraw(false);
//   bar->addItem("mnuWindowToolbar", {}, "工具栏", ItemStyle::Check, "工具栏")->setChecked(true);
//   CommandMenu* m = bar->addMenu("MenuMain", "菜单栏"); m->append(bar->item("..."));
//   bar->setActiveMenu(m);
//   bar->setRedraw(true);
//   connect(bar, &CommandBar::itemClicked, this, [](CommandItem* it) { ... it->key() ... });
//   mainWindow->setMenuWidget(bar);          // or put it in a band widget
//
// Item styles: Command 0 (push button / menu command), Separator 1, Control 3
// (holds another widget, e.g. a chooser in a toolbar), Check 4 (toggle: flips
// its check mark on each click before itemClicked is emitted; programmatic
// setChecked emits nothing).
// A caption's mnemonic ("交接(&C)") runs the item with Alt and the letter while
// the bar is shown; toolbar buttons are in the Tab chain (Space presses one).
// Shortcuts use the window key codes (65..90 letters, 48..57 digits, 112..123
// F1..F12) and the shift mask (1 Shift, 2 Ctrl, 4 Alt); they work while the bar
// is in a shown window, whether or not the item is placed in a menu.
// Looking up a missing key gives nullptr (item(), menu()); the by-key setters
// return false for a missing key.

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;

namespace ui {

enum class ItemStyle { Command = 0, Separator = 1, Control = 3, Check = 4 };

// Images by key, shared by bars of one window.
class ImageList {
public:
    void add(const QString& key, const QIcon& icon) { icons_.insert(key, icon); }
    QIcon icon(const QString& key) const { return icons_.value(key); }
    bool contains(const QString& key) const { return icons_.contains(key); }
    int count() const { return int(icons_.size()); }

private:
    QHash<QString, QIcon> icons_;
};

class CommandBar;
class CommandMenu;

class CommandItem {
public:
    QString key() const { return key_; }
    ItemStyle style() const { return style_; }
    QString caption() const;
    void setCaption(const QString& caption);
    QString description() const;              // tooltip
    void setDescription(const QString& text);
    QString imageKey() const { return image_; }
    void setImageKey(const QString& key);

    bool isChecked() const;
    void setChecked(bool checked);            // pressed state of a toggle
    int state() const { return isChecked() ? 1 : 0; }
    void setState(int state) { setChecked(state != 0); }
    bool isEnabled() const;
    void setEnabled(bool enabled);
    bool isVisible() const;
    void setVisible(bool visible);

    // The menu this item opens (nullptr: none), and the flag that marks it as
    // opening one.
    void setSubMenu(CommandMenu* menu);
    CommandMenu* subMenu() const { return subMenu_; }
    void setOpensSubMenu(bool on);
    bool opensSubMenu() const { return opensSubMenu_; }

    // Style Control: the widget shown in place of a button, and its width in
    // pixels (0 keeps the widget's own). The bar takes ownership of the widget.
    void setControl(QWidget* widget, int width = 0);
    QWidget* control() const { return control_; }

    // Runs the item as a click would (a toggle flips first).
    void click();

    QAction* action() const { return action_; }
    CommandBar* bar() const { return bar_; }

private:
    friend class CommandBar;
    CommandItem(CommandBar* bar, const QString& key, ItemStyle style);
    ~CommandItem();

    CommandBar* bar_;
    QString key_;
    ItemStyle style_;
    QString image_;
    QAction* action_ = nullptr;
    CommandMenu* subMenu_ = nullptr;
    bool opensSubMenu_ = false;
    QPointer<QWidget> control_;
    int controlWidth_ = 0;
};

class CommandMenu {
public:
    QString key() const { return key_; }
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    const QList<CommandItem*>& items() const { return items_; }
    int indexOf(const CommandItem* item) const { return int(items_.indexOf(item)); }

    void append(CommandItem* item);
    // An anchor that is not in this menu (or nullptr) places the item at the end.
    void insertBefore(CommandItem* item, CommandItem* anchor);
    void insertAfter(CommandItem* item, CommandItem* anchor);
    void remove(CommandItem* item);

    QMenu* qmenu() const { return menu_; }

private:
    friend class CommandBar;
    CommandMenu(CommandBar* bar, const QString& key, const QString& caption);
    ~CommandMenu();

    CommandBar* bar_;
    QString key_;
    QString caption_;
    QList<CommandItem*> items_;
    QMenu* menu_ = nullptr;
};

class CommandBar : public QWidget {
    Q_OBJECT
public:
    enum class Kind { MenuBar, ToolBar };

    explicit CommandBar(Kind kind, QWidget* parent = nullptr);
    CommandBar(Kind kind, const QString& objectName, QWidget* parent);
    ~CommandBar() override;

    Kind kind() const { return kind_; }

    // Item collection. Adding an existing key returns nullptr and changes nothing.
    CommandItem* addItem(const QString& key, const QString& imageKey, const QString& caption,
                         ItemStyle style = ItemStyle::Command, const QString& description = {},
                         int keyCode = 0, int shiftMask = 0);
    CommandItem* item(const QString& key) const { return items_.value(key); }
    bool hasItem(const QString& key) const { return items_.contains(key); }
    QList<CommandItem*> items() const { return order_; }

    // Menu collection (toolbars are menus too: the desk's "Standard").
    CommandMenu* addMenu(const QString& key, const QString& caption);
    CommandMenu* menu(const QString& key) const { return menus_.value(key); }
    bool hasMenu(const QString& key) const { return menus_.contains(key); }

    void setActiveMenu(CommandMenu* menu);
    bool setActiveMenu(const QString& key);
    CommandMenu* activeMenu() const { return active_; }

    // Redraw off: changes are gathered and shown once redraw is switched on.
    void setRedraw(bool on);
    bool redraw() const { return redraw_; }

    void setImageList(const ImageList* images);
    const ImageList* imageList() const { return images_; }

    // By key; false when no item has the key.
    bool setItemEnabled(const QString& key, bool enabled);
    bool setItemVisible(const QString& key, bool visible);
    bool setItemChecked(const QString& key, bool checked);
    bool isItemEnabled(const QString& key) const;
    bool isItemVisible(const QString& key) const;
    bool isItemChecked(const QString& key) const;
    // Runs an item by key as a click would; false when no item has the key.
    bool clickItem(const QString& key);

    // The widget that shows the bar (owned by the bar).
    QMenuBar* menuBar() const { return menuBar_; }
    QToolBar* toolBar() const { return toolBar_; }

signals:
    void itemClicked(ui::CommandItem* item);
    void keyClicked(const QString& key);
    void sizeChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CommandItem;
    friend class CommandMenu;
    void changed();
    void rebuild();
    void chainButtons();
    void fillMenu(CommandMenu* menu, QList<CommandMenu*>& path);
    void onTriggered(CommandItem* item);

    Kind kind_;
    QHash<QString, CommandItem*> items_;
    QList<CommandItem*> order_;
    QHash<QString, CommandMenu*> menus_;
    QList<CommandMenu*> menuOrder_;
    CommandMenu* active_ = nullptr;
    const ImageList* images_ = nullptr;
    bool redraw_ = true;
    bool dirty_ = false;
    QMenuBar* menuBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};

} // namespace ui
