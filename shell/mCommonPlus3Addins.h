#pragma once
// The main window's side of the add-ins (the add-in routines of mCommonPlus3): the start-up shortcuts, the add-in
// menu items, the items run for keys the main window does not know, and the
// release and removal of add-ins when it closes. All of them work on
// g_objAddins and do nothing while it is null.

#include <QString>

namespace ui {
class CommandBar;
}

// Host paths of the main window's extension points.
extern const QString kMainMenuPath; // "%frmMain%\%MainMenu%"
extern const QString kToolbarPath;  // "%frmMain%\%Toolbar%\Standard"

// Every add-in's start-up shortcuts, add-in by add-in, in order.
void subRunAddinInit();
// Places the add-ins' "MenuItem" entries of the main-menu path in the bar's
// menus: the menu named by the path segment after "%MainMenu%" ("MenuMain"
// for the bar itself), after "insertafter", else before "insertbefore", else
// at the end; "menu"="true" makes the item open a sub-menu keyed by its id.
// Item keys are compared without regard to case.
// An id that is empty or already a key of the bar is skipped; an anchor key
// that names no item places the item at the end.
void subLoadAddinMenus(ui::CommandBar* bar);
// Runs every item of kind `itemKey` whose "id" is `key` (both any case) of the
// extension points at `hostPath` or below it, in order.
void subRunExtenShortcut(const QString& hostPath, const QString& itemKey, const QString& key);
// Releases every add-in's library objects.
void subReleaseAddins();
// Unregisters and drops every add-in marked for removal (status 2) and deletes
// its folder: only a folder that lies directly in the add-ins folder is
// deleted; any other stays where it is.
void subRemoveAddins();
