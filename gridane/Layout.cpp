#include "gridane/Layout.h"

#include <algorithm>

#include "gridane/LayoutBuilder.h"

namespace gridane {
namespace layout {

void SheetListBuilder::Add(const std::vector<int>& cells) {
    SheetRecord sheet;
    size_t limit = kMaxCells;
    if (cells.size() > size_t(kSheetSlots)) {
        sheet.slots.resize(cells.size());
        limit = cells.size();
    } else if (m_anyCount) {
        limit = cells.size();
    }
    for (size_t k = 0; k < cells.size() && k < limit; ++k) {
        sheet.slots[k] = cells[k] > m_lastPage ? 0 : cells[k];
    }
    m_sheets.push_back(sheet);
}

void AddDuplicateSides(SheetListBuilder& out, int first, int cells) {
    for (int page = first; page <= out.LastPage(); ++page) {
        out.Add(std::vector<int>(static_cast<size_t>(cells), page));
    }
}

std::vector<std::vector<int>> CutAndStackSequences(int first, int lastPage, int cells) {
    int pairs = cells / 2;
    int half = pairs * ((lastPage + cells - 1) / cells);
    std::vector<std::vector<int>> sides;
    for (int k = first; k <= half; k += pairs) {
        std::vector<int> sequence;
        for (int i = 0; i < pairs; ++i) {
            sequence.push_back(k + i > half ? 0 : k + i);
            sequence.push_back(half + k + i > lastPage ? 0 : half + k + i);
        }
        sides.push_back(std::move(sequence));
    }
    return sides;
}

int ColumnOrderCell(int t, Grid grid) {
    int column = t / grid.rows;
    int row = t % grid.rows;
    return row * grid.columns + column;
}

std::vector<int> InColumnOrder(const std::vector<int>& sequence, Grid grid) {
    std::vector<int> cells(sequence.size(), 0);
    for (size_t t = 0; t < sequence.size(); ++t) {
        cells[static_cast<size_t>(ColumnOrderCell(static_cast<int>(t), grid))] = sequence[t];
    }
    return cells;
}

void AddDuplicateSidesOf(SheetListBuilder& out, const std::vector<std::vector<int>>& sequences,
                         int cells) {
    for (const auto& sequence : sequences) {
        for (int page : sequence) {
            if (page >= 1) out.Add(std::vector<int>(static_cast<size_t>(cells), page));
        }
    }
}

bool FoldedOrderFlag(const JobSettings& s, LayoutGroup group) {
    switch (group) {
        case LayoutGroup::Up4:
            return s.ab4;
        case LayoutGroup::Up6:
            return s.ab6;
        case LayoutGroup::Up8:
            return s.ab8;
        case LayoutGroup::Up10:
            return s.ab10;
        case LayoutGroup::Up12:
            return s.ab12;
        default:
            return false;
    }
}

}  // namespace layout

void TrimAtFirstEmptySheet(SheetList& sheets, LayoutGroup group) {
    auto empty = std::find_if(sheets.begin(), sheets.end(), [&](const SheetRecord& sheet) {
        int significant = group == LayoutGroup::Free ? static_cast<int>(sheet.slots.size())
                                                     : SignificantSlotCount(group);
        return std::all_of(sheet.slots.begin(), sheet.slots.begin() + significant,
                           [](int32_t v) { return v == 0; });
    });
    sheets.erase(empty, sheets.end());
}

// Right-to-left reading: every row of cells, as the side is shown, in mirrored order.
void MirrorRows(SheetList& sheets, Grid grid) {
    for (SheetRecord& record : sheets) {
        for (int row = 0; row < grid.rows; ++row) {
            auto begin = record.slots.begin() + row * grid.columns;
            std::reverse(begin, begin + grid.columns);
        }
    }
}

LayoutPlan PlanLayout(const JobSettings& settings, int pageCount) {
    using namespace layout;
    JobSettings s = settings;
    LayoutGroup group = SelectLayoutGroup(s);
    int cells = CellCountOf(s);
    // The folded orders fill whole blocks: `e` drops to a multiple of the cell count.
    if (FoldedOrderFlag(s, group) && s.lastPage % cells != 0) {
        s.lastPage = cells * (s.lastPage / cells);
    }
    int lastPage = s.lastPage < pageCount ? s.lastPage : pageCount;
    SheetListBuilder out(lastPage, group == LayoutGroup::Free);
    switch (group) {
        case LayoutGroup::Up2:
            PlanTwoUp(s, out);
            break;
        case LayoutGroup::TwoToOne:
            PlanTwoToOne(s, pageCount, out);
            break;
        case LayoutGroup::Up3:
            PlanThreeUp(s, out);
            break;
        case LayoutGroup::Free:
            if (s.fold != 0) {
                PlanFoldedSignatures(s, out);
            } else {
                PlanFreeGrid(s, out);
            }
            break;
        default:
            PlanGrid(s, group, out);
            break;
    }
    LayoutPlan plan{out.Take(), s.lastPage};
    TrimAtFirstEmptySheet(plan.sheets, group);
    if (s.rightToLeft && group != LayoutGroup::TwoToOne) MirrorRows(plan.sheets, GridOf(s));
    return plan;
}

}  // namespace gridane
