// The page-tree walk of the rotation job: lists the leaf pages under the document's Pages
// node in document order, each with its object number and the rotation it shows.
#pragma once

#include <vector>

#include "pdf/CPdfObject.h"
#include "turnelle/ProgressDots.h"
#include "turnelle/RotationPageEntry.h"

namespace turnelle {

// `pagesNode` is the resolved root Pages dictionary, `pagesNumber` its object number (0 when
// it is a direct dictionary). A node whose /Kids is not an array, a kid that is not a
// dictionary, and a Pages node reached twice (a loop in the tree) raise CPdfException with
// "PDF file was damaged". Kids without a /Type name, or of another type, are skipped.
std::vector<RotationPageEntry> WalkPageTree(const CPdfObject& pagesNode, int pagesNumber,
                                            ProgressDots& progress);

}  // namespace turnelle
