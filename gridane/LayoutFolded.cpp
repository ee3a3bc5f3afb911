// The layout of folded signatures: every sheet one signature of `fold` pages, the signatures
// nested (saddle) or stacked (perfect), the cover on a sheet of its own when asked.
#include <algorithm>
#include <vector>

#include "gridane/FoldedSignatures.h"
#include "gridane/LayoutBuilder.h"

namespace gridane::layout {
namespace {

// The page a side shows for the `index`-th page (1-based) of a run of `count` pages starting
// at `first`; 0 (blank) beyond the run.
int PageOfRun(int first, int count, int index) {
    return index >= 1 && index <= count ? first + index - 1 : 0;
}

// Page `local` (1..fold) of signature `section` of `sections`, as an index into the body: a
// perfect binding stacks the signatures; a saddle nests them, the outermost holding the first
// and the last pages.
int BodyIndex(const JobSettings& s, int section, int sections, int local) {
    int pages = s.fold, half = s.fold / 2;
    if (s.binding == "perfect") return section * pages + local;
    if (local <= half) return section * half + local;
    return sections * pages - (section + 1) * half + (local - half);
}

// A side of `grid` with only the two middle cells of its lowest row, where a cover folded
// once at the sheet's middle lies.
std::vector<int> CoverSide(Grid grid, int left, int right) {
    std::vector<int> cells(static_cast<size_t>(grid.columns * grid.rows), 0);
    size_t middle = static_cast<size_t>((grid.rows - 1) * grid.columns + grid.columns / 2);
    cells[middle - 1] = left;
    cells[middle] = right;
    return cells;
}

// The cover sheet: the first page outside on the right, the last outside on the left, the
// second and the second to last inside.
void AddCoverSheet(const JobSettings& s, int first, int count, SheetListBuilder& out) {
    Grid grid = FoldGrid(s.fold);
    auto page = [&](int index) { return PageOfRun(first, count, index); };
    int last = std::max(4, count);
    out.Add(CoverSide(grid, page(last), page(1)));
    out.Add(CoverSide(grid, page(2), page(last - 1)));
}

}  // namespace

void PlanFoldedSignatures(const JobSettings& s, SheetListBuilder& out) {
    int first = s.firstPage;
    int count = out.LastPage() - first + 1;
    if (count < 1) return;
    bool separateCover = s.cover == "separate";
    if (separateCover) AddCoverSheet(s, first, count, out);
    int bodyFirst = separateCover ? first + 2 : first;
    int bodyCount = separateCover ? std::max(0, count - 4) : count;
    int sections = (bodyCount + s.fold - 1) / s.fold;
    FoldedSheet sheet = FoldedSheetPages(s.fold);
    for (int section = 0; section < sections; ++section) {
        for (const std::vector<int>* side : {&sheet.front, &sheet.back}) {
            std::vector<int> cells;
            for (int local : *side) {
                int index = BodyIndex(s, section, sections, local);
                cells.push_back(PageOfRun(bodyFirst, bodyCount, index));
            }
            out.Add(cells);
        }
    }
}

}  // namespace gridane::layout
