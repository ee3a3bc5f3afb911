// The layout of the free group: a grid of any size (`grid`) filled in any of the eight reading
// orders, one page a side repeated in every cell (`duplicate`, `repeat`), or cut and stack.
#include <vector>

#include "gridane/LayoutBuilder.h"

namespace gridane::layout {

int FillOrderCell(const JobSettings& s, int t, Grid grid) {
    bool byColumns = s.fillOrder == "columns";
    int row = byColumns ? t % grid.rows : t / grid.columns;
    int column = byColumns ? t / grid.rows : t % grid.columns;
    if (s.fillFrom == "bottom") row = grid.rows - 1 - row;
    return row * grid.columns + column;
}

namespace {

std::vector<int> InFillOrder(const JobSettings& s, const std::vector<int>& sequence, Grid grid) {
    std::vector<int> cells(static_cast<size_t>(grid.columns * grid.rows), 0);
    for (size_t t = 0; t < sequence.size() && t < cells.size(); ++t) {
        cells[static_cast<size_t>(FillOrderCell(s, static_cast<int>(t), grid))] = sequence[t];
    }
    return cells;
}

}  // namespace

void PlanFreeGrid(const JobSettings& s, SheetListBuilder& out) {
    Grid grid = GridOf(s);
    int n = grid.columns * grid.rows;
    if (s.repeat || s.duplicate) return AddDuplicateSides(out, s.firstPage, n);
    if (s.split && n % 2 == 0) {
        for (const auto& sequence : CutAndStackSequences(s.firstPage, out.LastPage(), n)) {
            out.Add(InFillOrder(s, sequence, grid));
        }
        return;
    }
    for (int k = s.firstPage; k <= out.LastPage(); k += n) {
        std::vector<int> sequence;
        for (int t = 0; t < n; ++t) sequence.push_back(k + t);
        out.Add(InFillOrder(s, sequence, grid));
    }
}

}  // namespace gridane::layout
