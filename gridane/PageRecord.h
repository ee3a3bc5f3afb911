// One leaf page of the input page tree, with what it inherits from the inner nodes above it.
// Filled by the page-tree walk (PageTree.h), read by the sheet writers. Plain data.
#pragma once

#include <string>

#include "gridane/JobSettings.h"
#include "gridane/SheetGeometry.h"

namespace gridane {

struct PageRecord {
    int objectNumber = 0;
    int generation = 0;
    int rotation = 0;  // degrees as read (inherited), not normalised
    Box mediaBox = kDefaultPageBox;
    Box cropBox = kDefaultPageBox;
    Box bleedBox = kDefaultPageBox;
    Box trimBox = kDefaultPageBox;
    Box artBox = kDefaultPageBox;
    // Entries the page inherits from an inner node of the input page tree ("/Resources ...",
    // "/CropBox [...]", "/Rotate ..."), as text to insert into the page's own dictionary: the
    // output's page tree is flat, so an inherited attribute would otherwise be lost.
    std::string inheritedEntries;

    const Box& BoxFor(SheetBoxKey key) const;
};

}  // namespace gridane
