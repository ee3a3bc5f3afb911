// GoogleTest prints a box as its four numbers, so that a failed comparison reads at a glance.
#pragma once

#include <ostream>

#include "gridane/SheetPlan.h"

namespace gridane {

inline void PrintTo(const Box& box, std::ostream* os) {
    *os << "[" << box.x1 << " " << box.y1 << " " << box.x2 << " " << box.y2 << "]";
}

inline void PrintTo(const SheetBox& box, std::ostream* os) {
    PrintTo(box.box, os);
    *os << (box.insertWhenAbsent ? " inserted where absent" : " replacing only");
}

}  // namespace gridane
