#pragma once
// The main window's own tools: the work statistics, the find-text tool, the
// updater launch and the text viewer of the about view.

#include "shell/ShellServices.h"

namespace shell {

class ShellToolsService : public ToolsService {
public:
    bool provides(Tool t) const override
    {
        return t == StatJob || t == FindText || t == LiveUpdate || t == CommonView;
    }
    void showStatJob(QWidget* owner, const QString& jobHead) override;
    void showFindText(QWidget* mainWindow) override;
    void runLiveUpdate(const QString& module, QWidget* mainWindow) override;
    // The viewer on `path`, modal through the dialog service.
    void showCommonView(QWidget* owner, const QString& path) override;
    void unloadAll() override;
};

// The program's one tools service; install it with Services::install.
ShellToolsService& shellToolsService();

} // namespace shell
