#pragma once
// The information centre as the main window and the log-in window see it.

#include "shell/ShellServices.h"

namespace infocenter {

class InfoCenterServiceImpl : public shell::InfoCenterService {
public:
    bool provides(Window w) const override { return w == NewsManager || w == LastUpdating; }
    // Creates the news window on first use (owned by `owner`), reads its
    // settings, shows it and brings it forward.
    void showNewsManager(QWidget* owner) override;
    // The update-notes window on `loadPath`, modal, through the dialog service.
    void showLastUpdating(QWidget* owner, const QString& signature, const QString& loadPath) override;
    void unloadAll() override;
};

// The program's one information-centre service; install it with
// shell::Services::install.
InfoCenterServiceImpl& infoCenterService();

} // namespace infocenter
