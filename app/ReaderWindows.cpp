#include "app/ReaderWindows.h"

#include "reader/ReaderContext.h"
#include "reader/frmBarReadRule.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrInfo.h"

#include <QPointer>

namespace app {

namespace {

// Shows a modeless window owned by `owner` and brings it to the front.
void showOwned(QWidget* form, QWidget* owner) {
    if (owner && form->parentWidget() != owner) form->setParent(owner, form->windowFlags() | Qt::Window);
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace

void ReaderWindows::showRedrInfo(QWidget* owner, const QString& redrId, const QString& barcode) {
    g_strRedrID = redrId;
    g_strRedrBarcode = barcode;
    QPointer<frmRedrInfo> form = frmRedrInfo::form(owner);
    form->pInitialize();
    if (form) showOwned(form, owner);
}

void ReaderWindows::showBarReadRule(QWidget* owner) {
    showOwned(frmBarReadRule::form(owner), owner);
}

void ReaderWindows::unloadAll() {
    frmRedrInfo::unload();
    if (frmBarReadRule::loaded()) frmBarReadRule::form()->close();
}

ReaderWindows& readerWindows() {
    static ReaderWindows service;
    return service;
}

} // namespace app
