#include "consign/ManageWindows.h"

#include "common/basAuth.h"
#include "consign/frmApplyManage.h"
#include "consign/frmEmailOption.h"
#include "consign/frmFindManage.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace consign {

namespace {

void showIn(QMdiArea* frame, QWidget* form, bool created) {
    if (created && frame) {
        QMdiSubWindow* sub = frame->addSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(form->size().boundedTo(frame->viewport()->size()));
        subCenterForm(sub, false);
    }
    form->show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
        if (sub->isMinimized()) sub->showNormal();
        sub->show();
        if (frame) frame->setActiveSubWindow(sub);
    } else {
        form->raise();
        form->activateWindow();
    }
}

void closeForm(QWidget* form) {
    if (!form) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        sub->close();
    else
        form->close();
}

} // namespace

void showApplyManage(QMdiArea* frame) {
    frmApplyManage* form = frmApplyManage::instance();
    const bool created = !form;
    if (created) form = new frmApplyManage;
    showIn(frame, form, created);
}

void showFindManage(QMdiArea* frame) {
    frmFindManage* form = frmFindManage::instance();
    const bool created = !form;
    if (created) form = new frmFindManage;
    showIn(frame, form, created);
}

void showEmailOption(QWidget* owner) {
    frmEmailOption* form = frmEmailOption::instance();
    if (!form) form = new frmEmailOption(owner);
    form->show();
    form->raise();
    form->activateWindow();
}

void unloadManageWindows() {
    closeForm(frmApplyManage::instance());
    closeForm(frmFindManage::instance());
    closeForm(frmEmailOption::instance());
}

} // namespace consign
