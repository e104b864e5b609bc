#include "platform/ui/CommandBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace ui {

namespace {
// Window key code and shift mask to a key sequence.
QKeySequence shortcutFor(int keyCode, int shiftMask) {
    int key = 0;
    if (keyCode >= 65 && keyCode <= 90) key = Qt::Key_A + (keyCode - 65);
    else if (keyCode >= 48 && keyCode <= 57) key = Qt::Key_0 + (keyCode - 48);
    else if (keyCode >= 112 && keyCode <= 123) key = Qt::Key_F1 + (keyCode - 112);
    else if (keyCode == 13) key = Qt::Key_Return;
    else if (keyCode == 27) key = Qt::Key_Escape;
    else if (keyCode == 46) key = Qt::Key_Delete;
    else if (keyCode == 45) key = Qt::Key_Insert;
    if (key == 0) return {};
    int mods = 0;
    if (shiftMask & 1) mods |= Qt::SHIFT;
    if (shiftMask & 2) mods |= Qt::CTRL;
    if (shiftMask & 4) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}
} // namespace

// ---- CommandItem ---------------------------------------------------------

CommandItem::CommandItem(CommandBar* bar, const QString& key, ItemStyle style)
    : bar_(bar), key_(key), style_(style) {
    if (style == ItemStyle::Control) action_ = new QWidgetAction(bar);
    else action_ = new QAction(bar);
    action_->setObjectName(key);
    action_->setSeparator(style == ItemStyle::Separator);
    action_->setCheckable(style == ItemStyle::Check);
}

CommandItem::~CommandItem() { delete action_; }

QString CommandItem::caption() const { return action_->text(); }

void CommandItem::setCaption(const QString& caption) {
    action_->setText(caption);
    action_->setIconText(caption);
}

QString CommandItem::description() const { return action_->toolTip(); }

void CommandItem::setDescription(const QString& text) {
    action_->setToolTip(text.isEmpty() ? action_->text() : text);
    action_->setStatusTip(text);
}

void CommandItem::setImageKey(const QString& key) {
    image_ = (key == QLatin1String("0")) ? QString() : key;
    const ImageList* images = bar_->imageList();
    action_->setIcon(images && !image_.isEmpty() ? images->icon(image_) : QIcon());
}

bool CommandItem::isChecked() const { return action_->isChecked(); }

void CommandItem::setChecked(bool checked) {
    if (!action_->isCheckable()) return;
    const QSignalBlocker block(action_);
    action_->setChecked(checked);
}

bool CommandItem::isEnabled() const { return action_->isEnabled(); }
void CommandItem::setEnabled(bool enabled) { action_->setEnabled(enabled); }
bool CommandItem::isVisible() const { return action_->isVisible(); }
void CommandItem::setVisible(bool visible) { action_->setVisible(visible); }

void CommandItem::setSubMenu(CommandMenu* menu) {
    subMenu_ = menu;
    if (menu) opensSubMenu_ = true;
    bar_->changed();
}

void CommandItem::setOpensSubMenu(bool on) {
    opensSubMenu_ = on;
    bar_->changed();
}

void CommandItem::setControl(QWidget* widget, int width) {
    control_ = widget;
    controlWidth_ = width;
    if (auto* wa = qobject_cast<QWidgetAction*>(action_)) {
        if (widget && width > 0) widget->setFixedWidth(width);
        wa->setDefaultWidget(widget);
    }
    bar_->changed();
}

void CommandItem::click() {
    if (action_->isEnabled()) action_->trigger();
}

// ---- CommandMenu ---------------------------------------------------------

CommandMenu::CommandMenu(CommandBar* bar, const QString& key, const QString& caption)
    : bar_(bar), key_(key), caption_(caption) {
    menu_ = new QMenu(caption, bar);
    menu_->setObjectName(key);
}

CommandMenu::~CommandMenu() { delete menu_; }

void CommandMenu::setCaption(const QString& caption) {
    caption_ = caption;
    menu_->setTitle(caption);
}

void CommandMenu::append(CommandItem* item) {
    if (!item) return;
    items_.removeAll(item);
    items_.append(item);
    bar_->changed();
}

void CommandMenu::insertBefore(CommandItem* item, CommandItem* anchor) {
    if (!item) return;
    items_.removeAll(item);
    const qsizetype at = anchor ? items_.indexOf(anchor) : -1;
    if (at < 0) items_.append(item);
    else items_.insert(at, item);
    bar_->changed();
}

void CommandMenu::insertAfter(CommandItem* item, CommandItem* anchor) {
    if (!item) return;
    items_.removeAll(item);
    const qsizetype at = anchor ? items_.indexOf(anchor) : -1;
    if (at < 0) items_.append(item);
    else items_.insert(at + 1, item);
    bar_->changed();
}

void CommandMenu::remove(CommandItem* item) {
    if (items_.removeAll(item)) bar_->changed();
}

// ---- CommandBar ----------------------------------------------------------

CommandBar::CommandBar(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (kind == Kind::MenuBar) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        layout->addWidget(menuBar_);
    } else {
        toolBar_ = new QToolBar(this);
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        layout->addWidget(toolBar_);
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

CommandBar::CommandBar(Kind kind, const QString& objectName, QWidget* parent)
    : CommandBar(kind, parent) {
    setObjectName(objectName);
}

CommandBar::~CommandBar() {
    // Menus and toolbar hold the actions; empty them before the items go.
    if (menuBar_) menuBar_->clear();
    if (toolBar_) toolBar_->clear();
    for (CommandMenu* m : std::as_const(menuOrder_)) m->menu_->clear();
    for (CommandItem* it : std::as_const(order_)) delete it;
    for (CommandMenu* m : std::as_const(menuOrder_)) delete m;
}

CommandItem* CommandBar::addItem(const QString& key, const QString& imageKey, const QString& caption,
                                 ItemStyle style, const QString& description, int keyCode,
                                 int shiftMask) {
    if (items_.contains(key)) return nullptr;
    auto* it = new CommandItem(this, key, style);
    it->setCaption(caption);
    it->setDescription(description);
    it->setImageKey(imageKey);
    const QKeySequence seq = shortcutFor(keyCode, shiftMask);
    if (!seq.isEmpty()) {
        it->action_->setShortcut(seq);
        it->action_->setShortcutContext(Qt::WindowShortcut);
        addAction(it->action_);   // the shortcut works even when the item is in no menu
    }
    connect(it->action_, &QAction::triggered, this, [this, it] { onTriggered(it); });
    items_.insert(key, it);
    order_.append(it);
    return it;
}

CommandMenu* CommandBar::addMenu(const QString& key, const QString& caption) {
    if (menus_.contains(key)) return nullptr;
    auto* m = new CommandMenu(this, key, caption);
    menus_.insert(key, m);
    menuOrder_.append(m);
    return m;
}

void CommandBar::setActiveMenu(CommandMenu* menu) {
    active_ = menu;
    changed();
}

bool CommandBar::setActiveMenu(const QString& key) {
    CommandMenu* m = menu(key);
    if (!m) return false;
    setActiveMenu(m);
    return true;
}

void CommandBar::setRedraw(bool on) {
    redraw_ = on;
    if (on && dirty_) rebuild();
}

void CommandBar::setImageList(const ImageList* images) {
    images_ = images;
    for (CommandItem* it : std::as_const(order_)) it->setImageKey(it->image_);
}

bool CommandBar::setItemEnabled(const QString& key, bool enabled) {
    CommandItem* it = item(key);
    if (it) it->setEnabled(enabled);
    return it != nullptr;
}

bool CommandBar::setItemVisible(const QString& key, bool visible) {
    CommandItem* it = item(key);
    if (it) it->setVisible(visible);
    return it != nullptr;
}

bool CommandBar::setItemChecked(const QString& key, bool checked) {
    CommandItem* it = item(key);
    if (it) it->setChecked(checked);
    return it != nullptr;
}

bool CommandBar::isItemEnabled(const QString& key) const {
    CommandItem* it = item(key);
    return it && it->isEnabled();
}

bool CommandBar::isItemVisible(const QString& key) const {
    CommandItem* it = item(key);
    return it && it->isVisible();
}

bool CommandBar::isItemChecked(const QString& key) const {
    CommandItem* it = item(key);
    return it && it->isChecked();
}

bool CommandBar::clickItem(const QString& key) {
    CommandItem* it = item(key);
    if (it) it->click();
    return it != nullptr;
}

void CommandBar::onTriggered(CommandItem* item) {
    if (item->style_ == ItemStyle::Separator) return;
    // Keep the item alive by key lookup: a handler may not delete items.
    const QString key = item->key_;
    emit itemClicked(item);
    emit keyClicked(key);
}

void CommandBar::changed() {
    dirty_ = true;
    if (redraw_) rebuild();
}

void CommandBar::fillMenu(CommandMenu* menu, QList<CommandMenu*>& path) {
    QMenu* q = menu->menu_;
    q->clear();
    path.append(menu);
    for (CommandItem* it : std::as_const(menu->items_)) {
        if (it->style_ == ItemStyle::Separator) {
            q->addSeparator();
            continue;
        }
        CommandMenu* sub = it->opensSubMenu_ ? it->subMenu_ : nullptr;
        if (sub && !path.contains(sub)) {
            fillMenu(sub, path);
            sub->menu_->setTitle(it->caption());
            it->action_->setMenu(sub->menu_);
        } else {
            it->action_->setMenu(nullptr);
        }
        q->addAction(it->action_);
    }
    path.removeLast();
}

void CommandBar::rebuild() {
    dirty_ = false;
    if (menuBar_) menuBar_->clear();
    if (toolBar_) toolBar_->clear();
    if (!active_) return;
    QList<CommandMenu*> path{active_};
    for (CommandItem* it : std::as_const(active_->items_)) {
        CommandMenu* sub = it->opensSubMenu_ ? it->subMenu_ : nullptr;
        if (sub && sub != active_) {
            fillMenu(sub, path);
            sub->menu_->setTitle(it->caption());
            it->action_->setMenu(sub->menu_);
        } else if (it->style_ != ItemStyle::Separator && it->style_ != ItemStyle::Control) {
            it->action_->setMenu(nullptr);
        }
        if (menuBar_) {
            if (it->style_ == ItemStyle::Separator) menuBar_->addSeparator();
            else menuBar_->addAction(it->action_);
        } else {
            if (it->style_ == ItemStyle::Separator) {
                toolBar_->addSeparator();
                continue;
            }
            toolBar_->addAction(it->action_);
        }
    }
    if (toolBar_) chainButtons();
    updateGeometry();
}

void CommandBar::chainButtons() {
    // A toolbar keeps its buttons out of the Tab chain; here Tab reaches them
    // (Space presses the one with the focus), in the bar's place among the
    // window's controls however late the buttons were made.
    const Qt::FocusPolicy own = toolBar_->focusPolicy();
    toolBar_->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = toolBar_;
    for (QAction* a : toolBar_->actions()) {
        auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a));
        if (!button) continue;
        button->setFocusPolicy(Qt::TabFocus);
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
    toolBar_->setFocusPolicy(own);
}

void CommandBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit sizeChanged();
}

} // namespace ui
