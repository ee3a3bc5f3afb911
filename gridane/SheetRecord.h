// The page order of an imposition: one `SheetRecord` per sheet side, naming the input page shown in
// each cell. Plain data, built by the layouts (or a sequence file) and turned into the sheet
// plan (SheetPlan.h).
#pragma once

#include <cstdint>
#include <vector>

namespace gridane {

inline constexpr int kSheetSlots = 24;
inline constexpr int kMaxCells = 12;

struct SheetRecord {
    // Slots 0-11: the 1-based input page of each cell, row by row from the top-left cell;
    // 0 (or anything below 1) is a blank cell. The other slots stay 0. A free grid of more
    // cells than kMaxCells holds one slot per cell.
    std::vector<int32_t> slots = std::vector<int32_t>(kSheetSlots);

    int32_t Cell(int k) const { return slots[static_cast<size_t>(k)]; }
    bool IsBlank(int k) const { return slots[static_cast<size_t>(k)] < 1; }
    bool operator==(const SheetRecord&) const = default;
};

using SheetList = std::vector<SheetRecord>;

// The cell whose page object becomes the sheet's page: cell 0, or cell 1 when cell 0 is blank,
// or (when a back side leaves both blank) the first cell that shows a page. Slots beyond a
// layout's cells stay 0, so every slot is looked at: a free grid may fill only its last cells.
inline int BaseCell(const SheetRecord& sheet) {
    int cells = static_cast<int>(sheet.slots.size());
    for (int k = 0; k < cells; ++k) {
        if (!sheet.IsBlank(k)) return k;
    }
    return 0;
}

}  // namespace gridane
