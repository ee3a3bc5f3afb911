// Reading the input page tree: one `PageRecord` per leaf page in document order, with the
// boxes, the rotation and the other attributes each page inherits from the nodes above it.
#pragma once

#include <vector>

#include "gridane/PageRecord.h"
#include "pdf/CPdfXRef.h"

namespace gridane {

struct PageTree {
    int rootNumber = 0;
    int rootGeneration = 0;
    bool hasOutlines = false;
    std::vector<PageRecord> pages;
};

// Walks the tree under the catalog's /Pages with the reader's page-tree walk (damaged nodes
// are skipped into the reader's warnings); the records follow the leaves found. A page written
// as a direct dictionary in its parent's /Kids has no object to write and is skipped too.
// Throws CPdfException when the catalog has no page tree.
PageTree ReadPageTree(CPdfXRef& xref, int catalogNumber);

}  // namespace gridane
