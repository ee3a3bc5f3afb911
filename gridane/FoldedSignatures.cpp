#include "gridane/FoldedSignatures.h"

#include <algorithm>
#include <array>

namespace gridane {
namespace {

// A cell of the sheet while it is folded: where it lies, how deep in the stack (0 on top),
// whether its back faces up, and whether it has been turned over a fold across (its head
// now down).
struct FoldedCell {
    int column = 0;
    int row = 0;
    int depth = 0;
    bool backUp = false;
    bool headDown = false;
};

int FoldCount(int fold) {
    switch (fold) {
        case 4:
            return 1;
        case 8:
            return 2;
        case 16:
            return 3;
        case 32:
            return 4;
        default:
            return 0;
    }
}

// Folds the sheet: the last fold is along (the spine), the ones before alternate. A fold
// along takes the left half under the right one, so that the spine ends on the left; a fold
// across takes the upper half under the lower one, heads to the fold.
std::vector<FoldedCell> FoldSheet(int fold) {
    Grid grid = FoldGrid(fold);
    std::vector<FoldedCell> cells;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) cells.push_back({column, row});
    }
    int folds = FoldCount(fold);
    int columns = grid.columns, rows = grid.rows, height = 1;
    for (int k = 0; k < folds; ++k) {
        bool along = (folds - k) % 2 == 1;
        for (FoldedCell& cell : cells) {
            int& place = along ? cell.column : cell.row;
            int extent = along ? columns : rows;
            if (place < extent / 2) {
                place = extent - 1 - place;
                cell.depth = 2 * height - 1 - cell.depth;
                cell.backUp = !cell.backUp;
                if (!along) cell.headDown = !cell.headDown;
            }
            place -= extent / 2;
        }
        (along ? columns : rows) /= 2;
        height *= 2;
    }
    return cells;
}

// The folded cells of each scheme, worked out once: every cell of every side asks for its turn.
const std::vector<FoldedCell>& FoldedCells(int fold) {
    static const std::array<std::vector<FoldedCell>, 4> kSchemes{FoldSheet(4), FoldSheet(8),
                                                                 FoldSheet(16), FoldSheet(32)};
    return kSchemes[static_cast<size_t>(std::max(FoldCount(fold), 1) - 1)];
}

}  // namespace

std::string CheckFoldSettings(const JobSettings& s) {
    if (s.fold != 0 && FoldCount(s.fold) == 0) {
        return "Fold " + std::to_string(s.fold) +
               " is not 4, 8, 16 or 32 pages a signature (0 for none)\n";
    }
    if (s.binding != "" && s.binding != "saddle" && s.binding != "perfect")
        return "Binding '" + s.binding + "' is neither saddle nor perfect\n";
    if (s.cover != "" && s.cover != "separate") return "Cover '" + s.cover + "' is not separate\n";
    if (s.fold == 0) {
        if (!s.binding.empty() || !s.cover.empty())
            return "Binding and cover apply to folded signatures: give fold\n";
        return {};
    }
    if (!s.freeGrid.empty() || s.repeat || s.duplicate || s.split)
        return "Fold lays out its own sheets: it does not combine with grid, repeat, "
               "duplicate or cut and stack\n";
    if (!s.sequenceFile.empty()) return "Fold does not combine with a sequence file\n";
    if (s.signature != 0)
        return "Each folded sheet is a signature of its own: give binding instead of "
               "signature\n";
    if (s.creep.value != 0) return "Creep applies to the 2-up booklet, not to fold\n";
    return {};
}

Grid FoldGrid(int fold) {
    switch (fold) {
        case 8:
            return {2, 2};
        case 16:
            return {4, 2};
        case 32:
            return {4, 4};
        default:
            return {2, 1};
    }
}

bool FoldTurnsRow(int fold, int row) {
    // Every cell of a row shares its turn: only folds across turn a cell, and they move rows.
    Grid grid = FoldGrid(fold);
    if (row < 0 || row >= grid.rows) return false;
    return FoldedCells(fold)[static_cast<size_t>(row * grid.columns)].headDown;
}

FoldedSheet FoldedSheetPages(int fold) {
    Grid grid = FoldGrid(fold);
    const std::vector<FoldedCell>& cells = FoldedCells(fold);
    FoldedSheet sheet;
    sheet.front.assign(cells.size(), 0);
    sheet.back.assign(cells.size(), 0);
    for (size_t k = 0; k < cells.size(); ++k) {
        // Leaf d of the folded stack shows page 2d + 1 on top and 2d + 2 below.
        int upper = 2 * cells[k].depth + 1, lower = upper + 1;
        int column = static_cast<int>(k) % grid.columns, row = static_cast<int>(k) / grid.columns;
        size_t behind = static_cast<size_t>(row * grid.columns + grid.columns - 1 - column);
        sheet.front[k] = cells[k].backUp ? lower : upper;
        sheet.back[behind] = cells[k].backUp ? upper : lower;
    }
    return sheet;
}

}  // namespace gridane
