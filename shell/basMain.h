#pragma once
// The program's start: splash, environment, connection, base data, value
// lists, then the log-in window.

#include "shell/basLogin.h"

#include <functional>

class frmCircLogo;

// How the shell ends the program. The default closes the database and ends
// the process at once; tests install a handler that records the call and
// returns, so every caller returns right after calling subEndProgram.
void setEndProgramHandler(std::function<void()> handler);
void subEndProgram();

// Start-up steps after the splash is shown: environment, connection, base
// data, value lists. 0 when the log-in may begin; -1 after the failure's
// message (the caller ends the program).
int intStartUp(const StatusFn& status = {});

// The entry routine: shows the splash window, runs the start-up and switches
// the window to its log-in layout. Returns the log-in window, or nullptr after
// a failed start-up (the program's end already asked for).
frmCircLogo* Main();
