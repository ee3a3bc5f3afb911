#include "gridane/PropertyTable.h"

#include <array>

namespace gridane {
namespace {

#define GRIDANE_FLAG(member) [](JobSettings& s, int32_t v) { s.member = v != 0; }, nullptr
#define GRIDANE_NUMBER(member) [](JobSettings& s, int32_t v) { s.member = v; }, nullptr
#define GRIDANE_BOX(member) \
    nullptr,                \
        [](JobSettings& s, std::string_view v) { s.member = ParseBoxString(v).value_or(Box{}); }

constexpr PropertyKind F = PropertyKind::Flag;
constexpr PropertyKind I = PropertyKind::Integer;
constexpr PropertyKind T = PropertyKind::Text;

// clang-format off
const std::array<PropertyInfo, 42> kProperties{{
    {"duplicate", 6, F, "0", "every cell of a sheet shows the same page; with rotateLeft or rotateRight the document is doubled instead of imposed", GRIDANE_FLAG(duplicate)},
    {"down", 7, F, "0", "column-wise variant of the grid orders; in 2-up the two cells one above the other", GRIDANE_FLAG(down)},
    {"up4", 8, F, "0", "4-up layout (2 x 2)", GRIDANE_FLAG(up4)},
    {"ab", 9, F, "1", "sequential order within the selected layout", GRIDANE_FLAG(ab)},
    {"ab4", 10, F, "0", "folded order of the 4-up layout: front and back of each block of eight pages", GRIDANE_FLAG(ab4)},
    {"e", 11, I, "99999", "last page to impose, 1-based; 99999 means up to the last page", GRIDANE_NUMBER(lastPage)},
    {"s", 12, I, "1", "first page to impose, 1-based; the pages before it are kept as they are", GRIDANE_NUMBER(firstPage)},
    {"split", 30, F, "0", "cut-and-stack order (when ab and the abN flags are off)", GRIDANE_FLAG(split)},
    {"rightmargin", 31, I, "0", "gap in points between cell columns", GRIDANE_NUMBER(rightMargin)},
    {"cropbox", 35, T, "", "x1,y1,x2,y2 for the sheets' crop, bleed, trim and art boxes", GRIDANE_BOX(cropBox)},
    {"mediabox", 36, T, "", "x1,y1,x2,y2 for the sheets' media box", GRIDANE_BOX(mediaBox)},
    {"bottommargin", 37, I, "0", "gap in points between cell rows", GRIDANE_NUMBER(bottomMargin)},
    {"seq", 38, T, "", "sequence file giving the page order by example", nullptr,
     [](JobSettings& s, std::string_view v) { s.sequenceFile = std::string(v); }},
    {"duplex", 39, F, "0", "every second sheet side takes the back-side order", GRIDANE_FLAG(duplex)},
    {"duplex1423", 40, F, "0", "duplex order: per four pages 1 and 4 on the front, 2 and 3 on the back", GRIDANE_FLAG(duplex1423)},
    {"duplex4123", 41, F, "0", "duplex order: per four pages 4 and 1 on the front, 2 and 3 on the back", GRIDANE_FLAG(duplex4123)},
    {"up3x2", 42, F, "0", "6-up layout, 3 columns by 2 rows", GRIDANE_FLAG(up3x2)},
    {"up2x3", 43, F, "0", "6-up layout, 2 columns by 3 rows", GRIDANE_FLAG(up2x3)},
    {"ab6", 44, F, "0", "folded order of the 6-up layout", GRIDANE_FLAG(ab6)},
    {"outer_in", 45, F, "0", "booklet pairing of first and last pages, outside in", GRIDANE_FLAG(outer_in)},
    {"up2to1", 46, F, "0", "2-to-1: each page shown in two halves, left then right", GRIDANE_FLAG(up2to1)},
    {"offset_split", 47, I, "0", "gap in points left out at the cut of the 2-to-1 layouts", GRIDANE_NUMBER(splitOffset)},
    {"up2to1h", 48, F, "0", "2-to-1: each page shown in two halves, lower then upper", GRIDANE_FLAG(up2to1h)},
    {"rotateLeft", 49, F, "0", "with duplicate: double the document for a later rotation", GRIDANE_FLAG(rotateLeft)},
    {"rotateRight", 50, F, "0", "with duplicate: double the document for a later rotation", GRIDANE_FLAG(rotateRight)},
    {"ab8", 51, F, "0", "folded order of the 8-up layout", GRIDANE_FLAG(ab8)},
    {"ab10", 52, F, "0", "folded order of the 10-up layout", GRIDANE_FLAG(ab10)},
    {"ab12", 53, F, "0", "folded order of the 12-up layout", GRIDANE_FLAG(ab12)},
    {"up4x2", 54, F, "0", "8-up layout, 4 columns by 2 rows", GRIDANE_FLAG(up4x2)},
    {"up2x4", 55, F, "0", "8-up layout, 2 columns by 4 rows", GRIDANE_FLAG(up2x4)},
    {"up5x2", 56, F, "0", "10-up layout, 5 columns by 2 rows", GRIDANE_FLAG(up5x2)},
    {"up2x5", 57, F, "0", "10-up layout, 2 columns by 5 rows", GRIDANE_FLAG(up2x5)},
    {"up6x2", 58, F, "0", "12-up layout, 6 columns by 2 rows", GRIDANE_FLAG(up6x2)},
    {"up2x6", 59, F, "0", "12-up layout, 2 columns by 6 rows", GRIDANE_FLAG(up2x6)},
    {"up4x3", 60, F, "0", "12-up layout, 4 columns by 3 rows", GRIDANE_FLAG(up4x3)},
    {"up3x4", 61, F, "0", "12-up layout, 3 columns by 4 rows", GRIDANE_FLAG(up3x4)},
    {"up3", 62, F, "0", "3-up layout, three pages in a row", GRIDANE_FLAG(up3)},
    {"up3down", 63, F, "0", "3-up layout, three pages in a column", GRIDANE_FLAG(up3down)},
    {"ab3", 64, F, "0", "sequential order of the 3-up layout", GRIDANE_FLAG(ab3)},
    {"duplex1342", 65, F, "0", "duplex order: per four pages 1 and 3 on the front, 4 and 2 on the back", GRIDANE_FLAG(duplex1342)},
    {"cropbox2", 66, T, "", "like cropbox, used instead of it on every second sheet", GRIDANE_BOX(cropBox2)},
    {"mediabox2", 67, T, "", "like mediabox, used together with cropbox2 on every second sheet", GRIDANE_BOX(mediaBox2)},
}};
// clang-format on

#undef GRIDANE_FLAG
#undef GRIDANE_NUMBER
#undef GRIDANE_BOX

}  // namespace

std::span<const PropertyInfo> GridaneProperties() {
    return kProperties;
}

const PropertyInfo* FindProperty(std::string_view name) {
    for (const PropertyInfo& property : kProperties) {
        if (property.name == name) return &property;
    }
    return nullptr;
}

}  // namespace gridane
