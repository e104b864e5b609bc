#include "infocenter/InfoCenterService.h"

#include "infocenter/frmLastUpdating.h"
#include "infocenter/frmNewsManager.h"
#include "platform/ui/DialogService.h"

namespace infocenter {

void InfoCenterServiceImpl::showNewsManager(QWidget* owner) {
    frmNewsManager* form = frmNewsManager::instance();
    if (!form) {
        form = new frmNewsManager(owner);
        form->setAttribute(Qt::WA_DeleteOnClose);
    }
    form->blnReadNewsSetting();
    form->show();
    form->raise();
    form->activateWindow();
}

void InfoCenterServiceImpl::showLastUpdating(QWidget* owner, const QString& signature,
                                             const QString& loadPath) {
    (void)owner; // shown without an owner
    frmLastUpdating form;
    form.m_Signature = signature;
    form.m_LoadPath = loadPath;
    form.Form_Load();
    ui::DialogService::current().execDialog(&form);
}

void InfoCenterServiceImpl::unloadAll() {
    if (frmNewsManager* form = frmNewsManager::instance()) form->close();
}

InfoCenterServiceImpl& infoCenterService() {
    static InfoCenterServiceImpl service;
    return service;
}

} // namespace infocenter
