#pragma once
// Consignment management as the main window sees it: the find desk and the
// return management, each opened once as a child of the frame.

#include "shell/ShellServices.h"

namespace consign {

class ManageService : public shell::ConsignManageService {
public:
    bool provides(Window w) const override { return w == Find || w == ReturnManage; }
    void showFind(QMdiArea* frame, const QString& key) override;
    void showReturnManage(QMdiArea* frame, const QString& key) override;
    void unloadAll() override;
};

// The program's one management service; install it with shell::Services::install.
ManageService& manageService();

} // namespace consign
