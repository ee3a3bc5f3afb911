#include "turnelle/TurnelleCommand.h"

#include "turnelle/interface/TurnelleInterface.h"

namespace turnelle {

const com::EngineCommand& TurnelleCommand() {
    static const com::EngineCommand command{
        "turnelle",
        "Writes a copy of the PDF file INPUT to OUTPUT in which the selected pages are rotated.\n",
        "An INPUT ending in .txt (or of four characters or fewer) is a list of input files, one\n"
        "a line; OUTPUT then reads -fFOLDER (each output in FOLDER under its input's name) or\n"
        "-oFILE (every output to FILE).\n"
        "Exit status: 0 done, 1 the run failed (its message is printed), 2 bad command line.\n",
        com::TurnelleContract()};
    return command;
}

}  // namespace turnelle
