// The `turnelle` command: `turnelle [--NAME=VALUE ...] INPUT OUTPUT`. It creates the rotation
// engine through the component runtime (as the desktop program does), puts the settings given
// as options and rotates one file (or a file list).
#pragma once

#include "com/EngineCommand.h"

namespace turnelle {

// The command's description for com::RunEngineCommand: exit 0 when the status text is empty,
// 1 when a run failed (the status is printed), 2 for a command line it cannot use.
const com::EngineCommand& TurnelleCommand();

}  // namespace turnelle
