// Folded signatures (`fold`): each sheet is printed on both sides and folded in half two to
// four times, alternately across and along, the last fold being the spine. The heads that
// meet at a fold across are turned by a half, and the pages read 1..n once the folded sheet
// is cut on every edge but the spine. Sections are nested (saddle) or stacked (perfect), and
// the cover may take a sheet of its own.
#pragma once

#include <string>
#include <vector>

#include "gridane/JobSettings.h"

namespace gridane {

// Whether the job folds signatures.
inline bool UsesFoldedSignatures(const JobSettings& s) {
    return s.fold != 0;
}

// The first fold setting that cannot be used, as the run's failure message; empty when all
// can be.
std::string CheckFoldSettings(const JobSettings& settings);

// The cells of a folded sheet as shown: 2 x 1 (4 pages), 2 x 2, 4 x 2 or 4 x 4 (32 pages).
Grid FoldGrid(int fold);

// Whether the pages in `row` (0 = top, as the sheet is shown) stand on their heads: those
// whose top edge meets another row's at a fold across.
bool FoldTurnsRow(int fold, int row);

// One sheet of a signature: the page of each cell (row by row from the top-left, as each side
// is shown), counted 1..fold within the signature, for the front and for the back. The back
// is the front turned over its left or right edge.
struct FoldedSheet {
    std::vector<int> front;
    std::vector<int> back;
};
FoldedSheet FoldedSheetPages(int fold);

}  // namespace gridane
