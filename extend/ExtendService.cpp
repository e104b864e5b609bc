#include "extend/ExtendService.h"

#include "extend/cAddinsCollection.h"
#include "extend/cThemesCollection.h"
#include "extend/frmAddinManager.h"
#include "extend/frmThemeManager.h"

namespace extend {

std::unique_ptr<shell::AddinsCollection> ExtendServiceImpl::createAddins() {
    return std::make_unique<cAddinsCollection>();
}

std::unique_ptr<shell::ThemesCollection> ExtendServiceImpl::createThemes() {
    return std::make_unique<cThemesCollection>();
}

void ExtendServiceImpl::showAddinManager(QWidget* owner) {
    frmAddinManager* w = frmAddinManager::instance(owner);
    w->subLoadAddinTree();
    w->show();
    w->raise();
}

void ExtendServiceImpl::showThemeManager(QWidget* owner) {
    frmThemeManager* w = frmThemeManager::instance(owner);
    w->subLoadThemeTree();
    w->show();
    w->raise();
}

void ExtendServiceImpl::unloadAll() {
    delete frmAddinManager::current();
    delete frmThemeManager::current();
}

ExtendServiceImpl& extendService() {
    static ExtendServiceImpl service;
    return service;
}

} // namespace extend
