// The `turnelle` command; what it does is described in TurnelleCommand.h.
#include <iostream>
#include <string>
#include <vector>

#include "platform/PartialFiles.h"
#include "turnelle/TurnelleCommand.h"

int main(int argc, char** argv) {
    platform::RemovePartialFilesOnSignals();
    return com::RunEngineCommand(turnelle::TurnelleCommand(),
                                 std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
