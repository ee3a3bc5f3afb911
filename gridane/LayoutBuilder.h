// Shared pieces of the layout implementations (LayoutTwoUp.cpp, LayoutGrid.cpp): the sheet
// list under construction with the "beyond the last page is blank" rule, and the orders every
// group shares. Internal to the layouts.
#pragma once

#include <initializer_list>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetRecord.h"

namespace gridane::layout {

class SheetListBuilder {
  public:
    // `anyCount`: a free grid's sides keep every cell given, not only the first kMaxCells.
    explicit SheetListBuilder(int lastPage, bool anyCount = false)
        : m_lastPage(lastPage), m_anyCount(anyCount) {}

    // Appends one side; every page beyond the last page becomes a blank cell.
    void Add(const std::vector<int>& cells);
    void Add(std::initializer_list<int> cells) { Add(std::vector<int>(cells)); }
    int LastPage() const { return m_lastPage; }
    SheetList Take() { return std::move(m_sheets); }

  private:
    int m_lastPage;
    bool m_anyCount;
    SheetList m_sheets;
};

// One side per page from `first` to the last page, every one of `cells` cells showing it.
void AddDuplicateSides(SheetListBuilder& out, int first, int cells);

// Cut and stack over `cells` cells (an even count): h = (cells / 2) x (L / cells rounded up);
// the side starting at k holds the pairs (k + i, h + k + i). Returned as page sequences in
// pair order (k, h + k, k + 1, h + k + 1, ...), blanks (0) where a page passes h or L.
std::vector<std::vector<int>> CutAndStackSequences(int first, int lastPage, int cells);

// Where the t-th page of a sequence goes when a grid is filled column by column from the
// top-left: the cell index (cells count row by row).
int ColumnOrderCell(int t, Grid grid);

// A sequence placed into the cells in column order.
std::vector<int> InColumnOrder(const std::vector<int>& sequence, Grid grid);

// One duplicate side per page of `sequences`, read in order, blanks skipped.
void AddDuplicateSidesOf(SheetListBuilder& out, const std::vector<std::vector<int>>& sequences,
                         int cells);

// The layouts of each family; `lastPage` is L, the effective last page.
void PlanTwoUp(const JobSettings& s, SheetListBuilder& out);
void PlanTwoToOne(const JobSettings& s, int pageCount, SheetListBuilder& out);
void PlanThreeUp(const JobSettings& s, SheetListBuilder& out);
void PlanGrid(const JobSettings& s, LayoutGroup group, SheetListBuilder& out);
void PlanFreeGrid(const JobSettings& s, SheetListBuilder& out);
void PlanFoldedSignatures(const JobSettings& s, SheetListBuilder& out);

// Where the t-th page of a side goes in a free grid filled in the job's order (`order` rows
// or columns, `from` top or bottom; rtl mirrors the rows afterwards): the cell index, cells
// counted row by row from the top-left.
int FillOrderCell(const JobSettings& s, int t, Grid grid);

// The folded-order flag of a group (ab4, ab6, ab8, ab10, ab12); false for the other groups.
bool FoldedOrderFlag(const JobSettings& s, LayoutGroup group);

}  // namespace gridane::layout
