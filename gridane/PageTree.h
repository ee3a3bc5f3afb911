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

// Walks the tree under the catalog's /Pages. Every node is visited once (a damaged tree that
// loops or lists a node twice is not followed again), the records follow the leaves found,
// and a /Kids array is never read past its end. Throws CPdfException when the catalog has no
// page tree.
PageTree ReadPageTree(CPdfXRef& xref, int catalogNumber);

}  // namespace gridane
