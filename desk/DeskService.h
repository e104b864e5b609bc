#pragma once
// The consignment desk as the main window sees it.

#include "shell/ShellServices.h"

namespace desk {

class DeskService : public shell::ConsignDeskService {
public:
    bool provides() const override { return true; }
    // Opens the desk (once) as a child of the frame and runs its bar item.
    void showDesk(QMdiArea* frame, const QString& key) override;
    QString strRetRedr() const override;
    void unloadAll() override;
    void unloadWithoutRight() override;
};

// The program's one desk service; install it with shell::Services::install.
DeskService& deskService();

} // namespace desk
