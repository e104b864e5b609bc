#include "consign/ManageService.h"

#include "common/basAuth.h"
#include "consign/frmApplyManage.h"
#include "consign/frmEmailOption.h"
#include "consign/frmFind.h"
#include "consign/frmFindManage.h"
#include "consign/frmReturnManage.h"
#include "shell/basMenu.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace consign {

namespace {

// Shows a modeless window in the frame, adding it there the first time.
void showInFrame(QMdiArea* frame, QWidget* form) {
    if (!frame) {
        form->show();
        form->raise();
        form->activateWindow();
        return;
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    if (!sub) {
        sub = frame->addSubWindow(form);
        sub->setWindowTitle(form->windowTitle());
        sub->resize(form->size().boundedTo(frame->viewport()->size()));
        subCenterForm(sub, false);
    }
    sub->isMinimized() ? sub->showNormal() : sub->show();
    form->show();
    frame->setActiveSubWindow(sub);
}

void closeWindow(QWidget* form) {
    if (!form) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        sub->close();
    else
        form->close();
}

} // namespace

void ManageService::showFind(QMdiArea* frame, const QString& key) {
    frmFind* form = frmFind::instance();
    if (!form) form = new frmFind;
    showInFrame(frame, form);
    form->tbFind_ButtonClick(key);
}

void ManageService::showReturnManage(QMdiArea* frame, const QString& key) {
    frmReturnManage* form = frmReturnManage::instance();
    if (!form) form = new frmReturnManage;
    showInFrame(frame, form);
    form->tbReturnManage_ButtonClick(key);
}

void ManageService::showApplyManage(QMdiArea* frame) {
    frmApplyManage* form = frmApplyManage::instance();
    if (!form) form = new frmApplyManage;
    showInFrame(frame, form);
}

void ManageService::showFindManage(QMdiArea* frame) {
    frmFindManage* form = frmFindManage::instance();
    if (!form) form = new frmFindManage;
    showInFrame(frame, form);
}

void ManageService::showEmailOption(QWidget* owner) {
    frmEmailOption* form = frmEmailOption::instance();
    if (!form) form = new frmEmailOption(owner);
    form->show();
    form->raise();
    form->activateWindow();
}

void ManageService::unloadAll() {
    closeWindow(frmFind::instance());
    closeWindow(frmReturnManage::instance());
    closeWindow(frmApplyManage::instance());
    closeWindow(frmFindManage::instance());
    closeWindow(frmEmailOption::instance());
}

void ManageService::unloadWithoutRight() {
    const auto allowed = [](const char* menuKey) {
        return blnCheckAuth(strMenuRight(QLatin1String(menuKey)), false);
    };
    if (!allowed("mnuConsignFind")) closeWindow(frmFind::instance());
    if (!allowed("mnuConsignCheck")) closeWindow(frmReturnManage::instance());
    if (!allowed("mnuConsignApplyManage")) closeWindow(frmApplyManage::instance());
    if (!allowed("mnuConsignFindManage")) closeWindow(frmFindManage::instance());
}

ManageService& manageService() {
    static ManageService service;
    return service;
}

} // namespace consign
