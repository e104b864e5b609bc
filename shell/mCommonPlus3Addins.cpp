#include "shell/mCommonPlus3Addins.h"

#include "common/basFile.h"
#include "shell/frmMain.h"

#include "platform/ui/CommandBar.h"

const QString kMainMenuPath = QStringLiteral("%frmMain%\\%MainMenu%");
const QString kToolbarPath = QStringLiteral("%frmMain%\\%Toolbar%\\Standard");

namespace {

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QList<shell::Extension*> extensionsAt(const QString& path) {
    QList<shell::Extension*> cols;
    g_objAddins->GetExtensByPath(path, cols);
    return cols;
}

// The bar's item keyed `key`, the key compared without regard to case.
ui::CommandItem* findItem(const ui::CommandBar* bar, const QString& key) {
    if (ui::CommandItem* it = bar->item(key)) return it;
    for (ui::CommandItem* it : bar->items())
        if (sameText(it->key(), key)) return it;
    return nullptr;
}

void placeMenuItem(ui::CommandBar* bar, ui::CommandMenu* menu, const shell::ExtenItem* it) {
    const QString id = it->GetAttributeValue(QStringLiteral("id"), {});
    if (id.isEmpty() || findItem(bar, id)) return;
    const QString afterKey = it->GetAttributeValue(QStringLiteral("insertafter"), {});
    const QString beforeKey = it->GetAttributeValue(QStringLiteral("insertbefore"), {});
    ui::CommandItem* after = afterKey.isEmpty() ? nullptr : findItem(bar, afterKey);
    ui::CommandItem* before = beforeKey.isEmpty() ? nullptr : findItem(bar, beforeKey);
    // A misspelt anchor must not cost the program its start: the item goes
    // to the end of its menu.
    const bool badAnchor = (!afterKey.isEmpty() && !after) || (!beforeKey.isEmpty() && !before);

    ui::CommandItem* item = bar->addItem(id, {}, {}, ui::ItemStyle::Command, {});
    item->setCaption(it->GetAttributeValue(QStringLiteral("label"), {}));
    const bool opens = sameText(it->GetAttributeValue(QStringLiteral("menu"), {}), QStringLiteral("true"));
    item->setOpensSubMenu(opens);
    if (badAnchor)
        menu->append(item);
    else if (after)
        menu->insertAfter(item, after);
    else if (before)
        menu->insertBefore(item, before);
    else
        menu->append(item);
    if (opens) {
        ui::CommandMenu* sub = bar->menu(id);
        if (!sub) sub = bar->addMenu(id, QString());
        item->setSubMenu(sub);
    }
}

} // namespace

void subRunAddinInit() {
    if (!g_objAddins) return;
    for (int i = 0; i < g_objAddins->count(); ++i)
        for (const shell::AddinShortCut& sc : g_objAddins->addin(i)->AddinInitProcess())
            g_objAddins->ExcuteExtenShortcut(sc.ClassName, sc.ShortCut);
}

void subLoadAddinMenus(ui::CommandBar* bar) {
    if (!g_objAddins || !bar) return;
    const QList<shell::Extension*> cols = extensionsAt(kMainMenuPath);
    bar->setRedraw(false);
    for (const shell::Extension* ext : cols) {
        ui::CommandMenu* menu = bar->menu(ext->GetChildPathKey(QStringLiteral("%MainMenu%")));
        if (!menu) continue;
        for (const shell::ExtenItem* it : ext->Items())
            if (sameText(it->ItemKey(), QStringLiteral("MenuItem"))) placeMenuItem(bar, menu, it);
    }
    bar->setRedraw(true);
}

void subRunExtenShortcut(const QString& hostPath, const QString& itemKey, const QString& key) {
    if (!g_objAddins) return;
    for (const shell::Extension* ext : extensionsAt(hostPath))
        for (const shell::ExtenItem* it : ext->Items())
            if (sameText(it->ItemKey(), itemKey) &&
                sameText(it->GetAttributeValue(QStringLiteral("id"), {}), key))
                g_objAddins->ExcuteExtenShortcut(it->GetAttributeValue(QStringLiteral("class"), {}),
                                                 it->GetAttributeValue(QStringLiteral("Shortcut"), {}));
}

void subReleaseAddins() {
    if (!g_objAddins) return;
    for (int i = 0; i < g_objAddins->count(); ++i)
        for (shell::AddinAssembly* a : g_objAddins->addin(i)->Assemblys())
            a->Release();
}

void subRemoveAddins() {
    if (!g_objAddins) return;
    for (;;) {
        int found = -1;
        for (int i = 0; i < g_objAddins->count() && found < 0; ++i)
            if (g_objAddins->addin(i)->Status() == 2) found = i;
        if (found < 0) return;
        shell::Addin* addin = g_objAddins->addin(found);
        for (shell::AddinAssembly* a : addin->Assemblys())
            a->UnRegisteLibrary();
        const QString folder = addin->AddinPath();
        const bool deletable = blnIsDirectChild(folder, g_objAddins->Path());
        g_objAddins->removeAddin(found);
        if (deletable) blnDeleteFolder(folder, true);
    }
}
