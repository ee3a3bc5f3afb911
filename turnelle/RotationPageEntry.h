// One leaf page of the input's page tree, as the rotation job sees it: filled by the page-tree
// walk in document order (entry k is page k + 1) and marked by the page-range parser.
#pragma once

namespace turnelle {

struct RotationPageEntry {
    // Object number of the page as stored in its parent's /Kids; -1 for a page written as a
    // direct dictionary, which has no object of its own to edit.
    int objectNumber = -1;
    // The rotation the page shows in the input: its own /Rotate or the one it inherits.
    int currentRotate = 0;
    // The angle the selection gives the page; meaningful only when `selected`.
    int angle = 0;
    bool selected = false;
};

}  // namespace turnelle
