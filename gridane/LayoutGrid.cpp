// The layouts of the grid groups (4-, 6-, 8-, 10- and 12-up): sequential in row or column
// order with mirrored back sides, the folded block order (abN), and cut and stack.
#include <vector>

#include "gridane/LayoutBuilder.h"

namespace gridane::layout {
namespace {

// Sequential in column order: the pages fill the first column from the top, then the next.
std::vector<int> ColumnOrderSide(int k, Grid grid) {
    std::vector<int> sequence;
    for (int t = 0; t < grid.columns * grid.rows; ++t) sequence.push_back(k + t);
    return InColumnOrder(sequence, grid);
}

// The back of a column-order side printed on both sides.
std::vector<int> ColumnOrderBackSide(const JobSettings& s, LayoutGroup group, int k, Grid grid) {
    int n = grid.columns * grid.rows;
    std::vector<int> cells(static_cast<size_t>(n));
    if (group == LayoutGroup::Up4 || s.up2x3) {
        // Two columns: the back shows them swapped, as the 2-up duplex order swaps its pair.
        std::vector<int> front = ColumnOrderSide(k, grid);
        for (int row = 0; row < grid.rows; ++row) {
            for (int column = 0; column < grid.columns; ++column) {
                cells[static_cast<size_t>(row * grid.columns + column)] =
                    front[static_cast<size_t>(row * grid.columns + grid.columns - 1 - column)];
            }
        }
        return cells;
    }
    // The first half of the cells takes the odd steps, the second half the even ones.
    for (int j = 0; j < n; ++j) {
        cells[static_cast<size_t>(j)] = j < n / 2 ? k + 2 * j + 1 : k + 2 * (j - n / 2);
    }
    return cells;
}

// The folded order over a block of 2n pages from b: the front takes b, b + 2, ...; with
// `down` the front alternates between the two halves of those pages; the back takes the
// other pages in pairs swapped.
void AddFoldedBlock(SheetListBuilder& out, int b, int n, bool down) {
    std::vector<int> front, back;
    for (int j = 0; j < n; ++j) {
        front.push_back(down ? b + 2 * (j / 2) + (j % 2) * n : b + 2 * j);
        back.push_back(b + 4 * (j / 2) + (j % 2 == 0 ? 3 : 1));
    }
    out.Add(front);
    out.Add(back);
}

bool AnyTwoSidedOrder(const JobSettings& s) {
    return s.duplex || s.duplex1423 || s.duplex1342 || s.duplex4123 || s.outer_in;
}

}  // namespace

void PlanGrid(const JobSettings& s, LayoutGroup group, SheetListBuilder& out) {
    int n = CellCount(group);
    Grid grid = GridOf(s);
    int last = out.LastPage();
    if (FoldedOrderFlag(s, group)) {
        if (s.duplicate) return AddDuplicateSides(out, s.firstPage, n);
        for (int b = s.firstPage; b <= last; b += 2 * n) AddFoldedBlock(out, b, n, s.down);
        return;
    }
    if (s.ab) {
        if (s.duplicate) return AddDuplicateSides(out, s.firstPage, n);
        // The 4-up group turns its sheets over for any of the two-sided orders, the larger
        // grids for `duplex` alone.
        bool twoSided = s.down && (group == LayoutGroup::Up4 ? AnyTwoSidedOrder(s) : s.duplex);
        bool back = false;
        for (int k = s.firstPage; k <= last; k += n) {
            if (!s.down) {
                std::vector<int> side;
                for (int t = 0; t < n; ++t) side.push_back(k + t);
                out.Add(side);
            } else if (twoSided && back) {
                out.Add(ColumnOrderBackSide(s, group, k, grid));
            } else {
                out.Add(ColumnOrderSide(k, grid));
            }
            if (twoSided) back = !back;
        }
        return;
    }
    if (s.split) {
        auto sequences = CutAndStackSequences(s.firstPage, last, n);
        if (s.duplicate) return AddDuplicateSidesOf(out, sequences, n);
        for (const auto& sequence : sequences) {
            out.Add(s.down ? InColumnOrder(sequence, grid) : sequence);
        }
    }
}

}  // namespace gridane::layout
