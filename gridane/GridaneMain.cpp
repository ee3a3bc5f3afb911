// The `gridane` command; what it does is described in GridaneCommand.cpp.
#include <iostream>

#include "gridane/GridaneCommand.h"
#include "platform/PartialFiles.h"

int main(int argc, char** argv) {
    platform::RemovePartialFilesOnSignals();
    return com::RunEngineCommand(gridane::GridaneCommand(),
                                 std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
