// The four settings of a rotation run. `TurnelleCom` holds one set across calls; each run
// copies it into its own `RotationJob`.
#pragma once

#include <string>

namespace turnelle {

// Values of `type` that pick the pages without a page-range text.
enum SelectionType : int {
    kSelectAll = 2,
    kSelectOdd = 3,
    kSelectEven = 4,
    kSelectFirstHalf = 5,
    kSelectSecondHalf = 6,
};

struct TurnelleSettings {
    int type = kSelectAll;
    int rotateAngle = 0;
    std::string rotatePages;  // page-range text, used when `type` is none of the above
    bool force = false;       // combine with the page's rotation instead of replacing it
};

}  // namespace turnelle
