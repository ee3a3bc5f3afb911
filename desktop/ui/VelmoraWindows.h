// The entry of the window mode of `velmorade`: runs the main window until it closes.
#pragma once

namespace desktop::ui {

// Starts Qt, opens the main window with the command line (`argv[0]` first) and runs it;
// returns the program's exit status.
int RunVelmoraWindows(int argc, char** argv);

}  // namespace desktop::ui
