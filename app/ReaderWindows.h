#pragma once
// The reader windows as the main window opens them.

#include "shell/ShellServices.h"

namespace app {

class ReaderWindows : public shell::ReaderService {
public:
    bool provides(Window w) const override { return w == RedrInfo || w == BarReadRule; }
    // Sets the window's reader, sets it up afresh and shows it modeless.
    void showRedrInfo(QWidget* owner, const QString& redrId, const QString& barcode) override;
    void showBarReadRule(QWidget* owner) override;
    void unloadAll() override;
};

// The program's one reader service; install it with shell::Services::install.
ReaderWindows& readerWindows();

} // namespace app
