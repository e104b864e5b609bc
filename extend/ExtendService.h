#pragma once
// What subsystem 8 offers the main window: the add-in collection of the run.

#include "shell/ShellServices.h"

namespace extend {

class ExtendServiceImpl : public shell::ExtendService {
public:
    std::unique_ptr<shell::AddinsCollection> createAddins() override;
};

// The program's instance, installed at start.
ExtendServiceImpl& extendService();

} // namespace extend
