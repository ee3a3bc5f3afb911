// The output name the window proposes for an input while the Output field is empty: the
// input's name with what the layout makes of it ("report.pdf" -> "report-booklet.pdf"), in the
// input's folder. The window shows it in the empty field and imposes into it; a proposal never
// names a file that is already there, so no file of the user's is replaced by a name the user
// did not type.
#pragma once

#include <functional>
#include <string>

#include "desktop/core/JobSetup.h"

namespace desktop {

// What the layout of `setup` makes: "poster", "signatures", "booklet", "4up-duplex", "halves",
// "2up", "6up-2x3", ...
std::string LayoutWord(const JobSetup& setup);

// "FOLDER/TITLE-WORD.pdf" for the input of `setup` (TITLE is the input's name without its
// extension); "-2", "-3", ... is added before ".pdf" while `exists` says a file of that name is
// there. Empty without an input, or when every such name is taken.
std::string ProposedOutputName(const JobSetup& setup,
                               const std::function<bool(const std::string&)>& exists);

// The same, looking at the disk.
std::string ProposedOutputName(const JobSetup& setup);

// "FOLDER/TITLE-calibration.pdf": where the window offers to save the test sheet for the back
// shift of the input of `setup` (a file that is there is replaced only when the user says so).
// Empty without an input.
std::string CalibrationSheetName(const JobSetup& setup);

// Whether OUTFILE of `setup` has the form of a name proposed for its input and layout
// ("FOLDER/TITLE-WORD.pdf" or "FOLDER/TITLE-WORD-N.pdf"), so that it may follow a new input.
bool IsProposedOutputName(const JobSetup& setup);

}  // namespace desktop
