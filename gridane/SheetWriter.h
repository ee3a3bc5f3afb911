// The sheet writer: writes one planned sheet side as one page object of the output, made from
// the raw text of its base page with the side's boxes, rotation, contents and parent, all as
// the plan gives them; and the writer of kept pages, which are copied as pages of the new flat
// page tree.
#pragma once

#include "gridane/ImpositionJob.h"

namespace gridane {

struct WrittenPage {
    int number = 0;
    int generation = 0;
};

// Writes the sheet side and returns its object number: that of its base page, or a new one
// when that page was written already.
WrittenPage WriteSheet(ImpositionJob& job, const PlannedSide& side);

// Writes input page `pageIndex` (0-based) unchanged but for its parent and the attributes it
// inherited; returns its object number (a new one when that number was written already).
WrittenPage WriteKeptPage(ImpositionJob& job, size_t pageIndex);

}  // namespace gridane
