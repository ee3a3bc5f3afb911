// The window mode of `velmorade`: desktop::RunWindowed (declared by the core's
// WindowedProgram.h) starts Qt, opens the main window, acts on the command line there and runs
// until the window closes.
#pragma once

#include "desktop/core/WindowedProgram.h"
