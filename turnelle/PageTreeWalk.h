// The page list of the rotation job: the leaf pages under the document's Pages node in
// document order, each with its object number and the rotation it shows, read with the
// reader's page-tree walk.
#pragma once

#include <map>
#include <vector>

#include "pdf/CPdfObject.h"
#include "pdf/CPdfWarnings.h"
#include "turnelle/ProgressDots.h"
#include "turnelle/RotationPageEntry.h"

class CPdfXRef;

namespace turnelle {

struct PageTreeRead {
    std::vector<RotationPageEntry> pages;
    // Kids the walk cut (a loop, a node listed twice): positions in each node object's /Kids.
    std::map<int, std::vector<int>> cutKids;
};

// `pagesRoot` is the catalog's /Pages as stored (a reference or a direct dictionary). Damaged
// nodes are skipped into `warnings` (see CPdfPageTree.h); a page written as a direct
// dictionary is listed with object number -1. Each Pages node counts one progress step.
PageTreeRead WalkPageTree(CPdfXRef& xref, const CPdfObject& pagesRoot, CPdfWarnings& warnings,
                          ProgressDots& progress);

}  // namespace turnelle
