#include "shell/ShellTools.h"

#include "platform/ui/DialogService.h"
#include "shell/frmCommonView.h"
#include "shell/frmFindText.h"
#include "shell/frmStatJob.h"
#include "shell/mCommonPlus3.h"

namespace shell {

void ShellToolsService::showStatJob(QWidget* owner, const QString& jobHead) {
    frmStatJob::showStatJob(owner, jobHead);
}

void ShellToolsService::showFindText(QWidget* mainWindow) {
    subShowFindText(mainWindow);
}

void ShellToolsService::runLiveUpdate(const QString& module, QWidget* mainWindow) {
    subRunLiveUpdate(module, mainWindow);
}

void ShellToolsService::showCommonView(QWidget* owner, const QString& path) {
    frmCommonView view(owner);
    view.subLoadFile(path);
    ui::DialogService::current().execDialog(&view);
}

void ShellToolsService::unloadAll() {
    if (frmFindText* form = frmFindText::existing()) delete form;
    delete frmStatJob::instance();
}

ShellToolsService& shellToolsService() {
    static ShellToolsService service;
    return service;
}

} // namespace shell
