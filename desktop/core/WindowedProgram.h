// The seam between the program's entry and its windows. `velmorade` runs the quiet session
// itself when -h is given; otherwise it calls RunWindowed, which the window library
// (desktop_ui) provides. A build without the window library has no windowed mode.
#pragma once

#include "desktop/core/CommandLine.h"

namespace desktop {

// Opens the main window, acts on `line` there and runs until the window closes; returns the
// program's exit status. `argc` and `argv` are the program's own, for the window system.
int RunWindowed(int& argc, char** argv, const CommandLine& line);

}  // namespace desktop
