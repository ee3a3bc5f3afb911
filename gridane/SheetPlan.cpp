#include "gridane/SheetPlan.h"

#include <algorithm>

#include "gridane/Layout.h"
#include "gridane/PosterTiles.h"
#include "gridane/PressSheet.h"
#include "gridane/SheetCards.h"
#include "gridane/SheetGeometry.h"
#include "gridane/SheetLayout.h"

namespace gridane {
namespace {

const PageGeometry& GeometryOf(const std::vector<PageGeometry>& pages, int page) {
    static const PageGeometry kNoPage;
    if (page < 1 || static_cast<size_t>(page) > pages.size()) return kNoPage;
    return pages[static_cast<size_t>(page) - 1];
}

// The member of a page or a side that holds the box `key`.
template <typename Holder>
auto& BoxIn(Holder& holder, SheetBoxKey key) {
    switch (key) {
        case SheetBoxKey::CropBox:
            return holder.cropBox;
        case SheetBoxKey::BleedBox:
            return holder.bleedBox;
        case SheetBoxKey::TrimBox:
            return holder.trimBox;
        case SheetBoxKey::ArtBox:
            return holder.artBox;
        case SheetBoxKey::MediaBox:
            break;
    }
    return holder.mediaBox;
}

// Clockwise quarter turns of a page on the shown sheet against the page shown alone: the
// drawing's own turn, then the viewer's turn of the sheet, less the viewer's turn of the page.
int ShownTurns(int drawingTurns, int sideRotate, int pageRotation) {
    int degrees = drawingTurns * 90 + sideRotate - NormaliseRotation(pageRotation);
    return ((degrees % 360 + 360) % 360) / 90;
}

void PlanBoxes(PlannedSide& side, const JobSettings& s, Grid grid, const PageGeometry& base,
               int baseRotation) {
    const Box& jobCrop = side.secondBoxes ? s.cropBox2 : s.cropBox;
    const Box& jobMedia = side.secondBoxes ? s.mediaBox2 : s.mediaBox;
    for (SheetBoxKey key : kSheetBoxKeys) {
        bool media = key == SheetBoxKey::MediaBox;
        SheetBox& out = BoxIn(side, key);
        out.box = ComputeSheetBox(key, base, jobCrop, jobMedia, s, grid, baseRotation, side.half);
        out.insertWhenAbsent = media || (media ? jobMedia : jobCrop).IsGiven();
    }
}

std::vector<PlannedCell> PlanCells(const JobSettings& s, const SheetPlan& plan,
                                   const std::vector<PageGeometry>& pages,
                                   const SheetRecord& record, const PlannedSide& side) {
    const PageGeometry& base = GeometryOf(pages, side.basePage);
    if (plan.group == LayoutGroup::TwoToOne) {
        PlannedCell cell = PlaceTwoToOneCell(base, side.mediaBox.box);
        cell.page = side.basePage;
        cell.shownTurns = ShownTurns(cell.quarterTurns, side.rotate, base.rotation);
        return {cell};
    }
    int count = CellCount(plan.group);
    std::vector<int> rotations;
    for (int k = 0; k < count; ++k) rotations.push_back(GeometryOf(pages, record.Cell(k)).rotation);
    std::vector<PlannedCell> cells = PlaceGridCells(s, plan.grid, base, rotations);
    for (int k = 0; k < count; ++k) {
        PlannedCell& cell = cells[static_cast<size_t>(k)];
        cell.page = record.IsBlank(k) ? 0 : record.Cell(k);
        cell.shownTurns = ShownTurns(cell.quarterTurns, side.rotate, rotations[k]);
        if (cell.page != 0) cell.clip = GeometryOf(pages, cell.page).VisibleBox();
    }
    return cells;
}

// A side of `plan`, laid out in its group and grid. `problem` receives why the sheet layout
// cannot be made, when it cannot.
PlannedSide PlanSide(const JobSettings& s, const SheetPlan& plan,
                     const std::vector<PageGeometry>& pages, const SheetRecord& record, int index,
                     std::string& problem) {
    PlannedSide side;
    side.index = index;
    side.sheetNumber = index / 2 + 1;
    side.back = index % 2 == 1;
    side.baseCell = BaseCell(record);
    side.basePage = record.IsBlank(side.baseCell) ? 0 : record.Cell(side.baseCell);
    const PageGeometry& base = GeometryOf(pages, side.basePage);
    int baseRotation = NormaliseRotation(base.rotation);

    side.secondBoxes = s.cropBox2.AllGiven() && side.back;
    if (plan.group == LayoutGroup::TwoToOne) {
        // Right to left, a spread is read from its right half.
        bool secondHalf = side.back != (s.rightToLeft && s.up2to1);
        side.half = secondHalf ? PageHalf::Second : PageHalf::First;
    }
    side.rotate = SheetRotation(baseRotation);
    bool sheetLayout = UsesSheetLayout(s);
    if (sheetLayout) {
        side.secondBoxes = false;
        problem = LayOutSheetSide(s, plan, pages, record, side);
        SetShownTurns(side, pages);
    } else {
        PlanBoxes(side, s, plan.grid, base, baseRotation);
    }
    const Box& media = side.mediaBox.box;
    bool exchanged = side.rotate == 90;
    side.shownWidth = exchanged ? media.Height() : media.Width();
    side.shownHeight = exchanged ? media.Width() : media.Height();
    if (!sheetLayout) side.cells = PlanCells(s, plan, pages, record, side);
    std::string pressProblem = PlacePressItems(s, side);
    if (problem.empty()) problem = pressProblem;
    return side;
}

// `settings` with the range after the layout; `userLastPage` is `e` as the job gave it, after
// which the pages are kept.
SheetPlan PlanOrder(const JobSettings& settings, int32_t userLastPage,
                    const std::vector<PageGeometry>& pages, SheetList order) {
    SheetPlan plan;
    plan.group = SelectLayoutGroup(settings);
    plan.grid = plan.group == LayoutGroup::TwoToOne ? Grid{1, 1} : GridOf(settings);
    plan.lastPage = settings.lastPage;
    int pageCount = static_cast<int>(pages.size());

    for (int page = 1; page < settings.firstPage && page <= pageCount; ++page) {
        plan.keptBefore.push_back(page);
    }
    TrimAtFirstEmptySheet(order, plan.group);
    for (size_t k = 0; k < order.size(); ++k) {
        std::string problem;
        plan.sides.push_back(
            PlanSide(settings, plan, pages, order[k], static_cast<int>(k), problem));
        if (plan.problem.empty()) plan.problem = problem;
    }
    // The 2-to-1 groups impose a doubled document: what follows the range is the copy.
    if (plan.group != LayoutGroup::TwoToOne && userLastPage < pageCount) {
        for (int page = std::max(userLastPage, 0) + 1; page <= pageCount; ++page) {
            plan.keptAfter.push_back(page);
        }
    }
    return plan;
}

// `settings` with the grid that step-and-repeat fits to the sheet from the first card, when it
// is asked to choose one.
JobSettings WithFittedCards(const JobSettings& settings, const std::vector<PageGeometry>& pages) {
    if (!settings.repeat || !settings.freeGrid.empty()) return settings;
    const PageGeometry& card = GeometryOf(pages, settings.firstPage);
    bool turnedBase = SheetRotation(NormaliseRotation(card.rotation)) == 90;
    std::string problem;
    std::optional<CardFit> fit = FitCards(settings, TrimmedBox(card), turnedBase, problem);
    if (!fit) return settings;  // the side's layout reports the problem
    JobSettings fitted = settings;
    Grid shown = turnedBase ? Grid{fit->grid.rows, fit->grid.columns} : fit->grid;
    fitted.fittedColumns = shown.columns;
    fitted.fittedRows = shown.rows;
    fitted.fittedTurned = fit->turned;
    return fitted;
}

void NoteFittedCards(const JobSettings& settings, SheetPlan& plan) {
    if (settings.fittedColumns == 0) return;
    plan.fittedGrid = {settings.fittedColumns, settings.fittedRows};
    plan.fittedTurned = settings.fittedTurned;
}

// A first page that names no page of the document: nothing is imposed (the engine refuses
// such a range before it plans).
bool NamesNoPage(const JobSettings& settings, const std::vector<PageGeometry>& pages) {
    return settings.firstPage < 1 || static_cast<size_t>(settings.firstPage) > pages.size();
}

}  // namespace

void SetShownTurns(PlannedSide& side, const std::vector<PageGeometry>& pages) {
    for (PlannedCell& cell : side.cells) {
        int rotation = GeometryOf(pages, cell.page).rotation;
        cell.shownTurns = ShownTurns(cell.quarterTurns, side.rotate, cell.page ? rotation : 0);
    }
}

const Box& PageGeometry::BoxFor(SheetBoxKey key) const {
    return BoxIn(*this, key);
}

Box PageGeometry::VisibleBox() const {
    if (!hasCropBox) return mediaBox;
    Box visible{std::max(mediaBox.x1, cropBox.x1), std::max(mediaBox.y1, cropBox.y1),
                std::min(mediaBox.x2, cropBox.x2), std::min(mediaBox.y2, cropBox.y2)};
    // A crop box beside the media box would show nothing; viewers then show the media box.
    if (visible.x2 <= visible.x1 || visible.y2 <= visible.y1) return mediaBox;
    return visible;
}

const SheetBox& PlannedSide::BoxFor(SheetBoxKey key) const {
    return BoxIn(*this, key);
}

SheetRecord PlannedSide::Record() const {
    SheetRecord record;
    for (size_t k = 0; k < cells.size() && k < static_cast<size_t>(kMaxCells); ++k) {
        record.slots[k] = cells[k].page;
    }
    return record;
}

SheetPlan BuildSheetPlan(const JobSettings& settings, const std::vector<PageGeometry>& pages) {
    if (UsesPosterTiles(settings)) return BuildPosterPlan(settings, pages);
    if (NamesNoPage(settings, pages)) return PlanOrder(settings, settings.lastPage, pages, {});
    JobSettings planned = WithFittedCards(settings, pages);
    LayoutPlan layout = PlanLayout(planned, static_cast<int>(pages.size()));
    planned.lastPage = layout.lastPage;
    SheetPlan plan = PlanOrder(planned, settings.lastPage, pages, std::move(layout.sheets));
    NoteFittedCards(planned, plan);
    return plan;
}

SheetPlan BuildSheetPlan(const JobSettings& settings, const std::vector<PageGeometry>& pages,
                         const SheetList& order) {
    if (NamesNoPage(settings, pages)) return PlanOrder(settings, settings.lastPage, pages, {});
    JobSettings planned = WithFittedCards(settings, pages);
    SheetPlan plan = PlanOrder(planned, settings.lastPage, pages, order);
    NoteFittedCards(planned, plan);
    return plan;
}

std::string FittedCardsText(const SheetPlan& plan) {
    if (plan.fittedGrid.columns == 0) return {};
    return CardFitText(plan.fittedGrid, plan.fittedTurned);
}

std::vector<PageGeometry> DoubledForTwoToOne(const std::vector<PageGeometry>& pages) {
    std::vector<PageGeometry> doubled = pages;
    doubled.insert(doubled.end(), pages.begin(), pages.end());
    return doubled;
}

}  // namespace gridane
