// The `turnelle` command: creates the rotation engine through the component runtime (as the
// desktop program does), puts the settings given as options and rotates one file (or a file
// list). Exit 0 when the status text is empty, 1 when a run failed (the status is printed), 2
// for a command line it cannot use.
#include <iostream>
#include <string>
#include <vector>

#include "com/EngineCommand.h"
#include "platform/PartialFiles.h"
#include "turnelle/interface/TurnelleInterface.h"

int main(int argc, char** argv) {
    platform::RemovePartialFilesOnSignals();
    static const com::EngineCommand command{
        "turnelle",
        "Writes a copy of the PDF file INPUT to OUTPUT in which the selected pages are rotated.\n",
        "An INPUT ending in .txt (or of four characters or fewer) is a list of input files, one\n"
        "a line; OUTPUT then reads -fFOLDER (each output in FOLDER under its input's name) or\n"
        "-oFILE (every output to FILE).\n"
        "Exit status: 0 done, 1 the run failed (its message is printed), 2 bad command line.\n",
        com::TurnelleContract()};
    return com::RunEngineCommand(command, std::vector<std::string>(argv + 1, argv + argc),
                                 std::cout, std::cerr);
}
