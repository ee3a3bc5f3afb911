// The `gridane` command: `gridane [--NAME=VALUE ...] INPUT OUTPUT`. It puts each option as a
// property of the engine object, calls getGridaneFile and reports the status text.
#pragma once

#include "com/EngineCommand.h"

namespace gridane {

// The command's description for com::RunEngineCommand: exit 0 when the status is empty or
// names the temporary file of a pre-pass, 1 when the run failed, 2 for a wrong command line.
const com::EngineCommand& GridaneCommand();

}  // namespace gridane
