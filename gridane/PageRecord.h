// One leaf page of the input page tree, with what it inherits from the inner nodes above it.
// Filled by the page-tree walk (PageTree.h), read by the sheet writers. Plain data.
#pragma once

#include <string>

#include "gridane/SheetPlan.h"

namespace gridane {

// The page's geometry (its boxes and rotation, as inherited) is what the sheet plan is built
// from; the rest is what the writers need to copy the page.
struct PageRecord : PageGeometry {
    int objectNumber = 0;
    int generation = 0;
    // Entries the page inherits from an inner node of the input page tree ("/Resources ...",
    // "/CropBox [...]", "/Rotate ..."), as text to insert into the page's own dictionary: the
    // output's page tree is flat, so an inherited attribute would otherwise be lost.
    std::string inheritedEntries;
};

}  // namespace gridane
