#pragma once
// Consignment management as the main window sees it: the find desk, the
// return management and the two management windows, each opened once as a
// child of the frame, and the mail options.

#include "shell/ShellServices.h"

namespace consign {

class ManageService : public shell::ConsignManageService {
public:
    bool provides(Window) const override { return true; }
    void showFind(QMdiArea* frame, const QString& key) override;
    void showReturnManage(QMdiArea* frame, const QString& key) override;
    void showApplyManage(QMdiArea* frame) override;
    void showFindManage(QMdiArea* frame) override;
    void showEmailOption(QWidget* owner) override;
    void unloadAll() override;
    void unloadWithoutRight() override;
};

// The program's one management service; install it with shell::Services::install.
ManageService& manageService();

} // namespace consign
