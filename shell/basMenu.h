#pragma once
// The main window's menu bar and toolbar as data, and the key dispatch rules:
// which right a key needs and what it opens.

#include <QList>
#include <QString>

struct MenuEntry {
    QString key;
    QString caption;
    int style = 0;            // 0 command, 1 separator, 4 check item
    bool describe = true;     // the description repeats the caption
    int keyCode = 0;          // shortcut
    int shiftMask = 0;
};

struct MenuGroup {
    QString key;     // top-level item and its sub-menu
    QString caption;
    QList<MenuEntry> entries;
};

// The six top-level menus with their entries, in order.
const QList<MenuGroup>& menuGroups();
// Items created in the menu bar's collection but placed in no menu.
const QList<MenuEntry>& hiddenMenuItems();

struct ToolEntry {
    QString key;
    int style = 0;
    QString imageKey;
    QString caption;
};
// The toolbar "Standard".
const QList<ToolEntry>& toolbarEntries();

// The module right a menu or toolbar key needs before it acts; "" when none.
QString strMenuRight(const QString& key);
