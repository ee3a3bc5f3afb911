// The layouts: pure functions from the job's settings and the page count to the sheet list.
// Nothing here reads or writes a file; the sheet writers serialize what these return, and the
// same plan can feed a preview.
#pragma once

#include <cstdint>

#include "gridane/JobSettings.h"
#include "gridane/SheetRecord.h"

namespace gridane {

struct LayoutPlan {
    // The sheet sides in writing order. The list ends before the first record whose cells of
    // the group are all blank, exactly where the sheet writers stop.
    SheetList sheets;
    // The job's `e` after the layout: the folded orders (abN) lower it to a whole number of
    // sheets. The caller stores it back into the run's settings.
    int32_t lastPage = kToLastPage;
};

// Builds the sheet list of the layout group selected by `settings` over `pageCount` input pages
// (for the 2-to-1 group the doubled document's count). The range `s`..`e` is taken as given;
// the caller refuses ranges that lie outside the document. `signature` splits the booklet
// order (`outer_in`) into sections; `rtl` mirrors every row of cells as the side is shown.
LayoutPlan PlanLayout(const JobSettings& settings, int pageCount);

// Cuts `sheets` before the first record whose cells of `group` are all 0.
void TrimAtFirstEmptySheet(SheetList& sheets, LayoutGroup group);

}  // namespace gridane
