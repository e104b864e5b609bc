#pragma once
// What subsystem 8 offers the main window: the add-in collection of the run.

#include "shell/ShellServices.h"

namespace extend {

class ExtendServiceImpl : public shell::ExtendService {
public:
    bool provides(Window w) const override { return w == AddinManager || w == ThemeManager; }
    std::unique_ptr<shell::AddinsCollection> createAddins() override;
    std::unique_ptr<shell::ThemesCollection> createThemes() override;
    void showAddinManager(QWidget* owner) override;
    void showThemeManager(QWidget* owner) override;
    void unloadAll() override;
};

// The program's instance, installed at start.
ExtendServiceImpl& extendService();

} // namespace extend
