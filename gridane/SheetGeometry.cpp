#include "gridane/SheetGeometry.h"

#include <algorithm>
#include <cmath>

namespace gridane {
namespace {

bool IsQuarterTurned(int rotation) {
    return rotation == 90 || rotation == 270;
}

bool IsTurnedByAHalf(int rotation) {
    return rotation == 180 || rotation == 270;
}

// The 2-to-1 group cuts a page's MediaBox to the whole-number upper corner of its CropBox
// before halving it. Only a CropBox the page has counts (the page-tree default would cut A4
// and landscape pages to letter size), and none when the job gives the sheet's crop box.
Box CutToCropLimits(Box media, const PageGeometry& page, const JobSettings& settings) {
    if (settings.cropBox.IsGiven() || !page.hasCropBox) return media;
    double limitX = std::trunc(page.cropBox.x2);
    double limitY = std::trunc(page.cropBox.y2);
    if (limitX > 0 && media.x2 > limitX) media.x2 = limitX;
    if (limitY > 0 && media.y2 > limitY) media.y2 = limitY;
    return media;
}

}  // namespace

std::string_view KeyName(SheetBoxKey key) {
    switch (key) {
        case SheetBoxKey::CropBox:
            return "/CropBox";
        case SheetBoxKey::BleedBox:
            return "/BleedBox";
        case SheetBoxKey::TrimBox:
            return "/TrimBox";
        case SheetBoxKey::ArtBox:
            return "/ArtBox";
        case SheetBoxKey::MediaBox:
            return "/MediaBox";
    }
    return "/MediaBox";
}

Grid PageGridOf(Grid grid, int baseRotation) {
    if (IsQuarterTurned(baseRotation)) return {grid.rows, grid.columns};
    return grid;
}

CellSteps CellStepsOf(const JobSettings& settings, Grid grid, const Box& baseMediaBox,
                      int baseRotation) {
    const Box& job = settings.mediaBox;
    if (job.x2 != -1) {
        Grid pageGrid = PageGridOf(grid, baseRotation);
        return {settings.rightMargin + job.x2 / pageGrid.columns,
                settings.bottomMargin + job.y2 / pageGrid.rows};
    }
    return {settings.rightMargin + baseMediaBox.Width(),
            settings.bottomMargin + baseMediaBox.Height()};
}

Box GridSheetBox(const Box& pageBox, Grid pageGrid, CellSteps steps) {
    // Every cell holds the page's box at the same place within the cell, so the sheet's box
    // runs from the first cell's box to the last one's, whatever the box's inset.
    return {pageBox.x1, pageBox.y1, pageBox.x2 + (pageGrid.columns - 1) * steps.x,
            pageBox.y2 + (pageGrid.rows - 1) * steps.y};
}

HalfCut TwoToOneCut(const JobSettings& settings, const PageGeometry& page) {
    HalfCut cut;
    cut.across = !settings.up2to1 && settings.up2to1h;
    cut.offset = settings.splitOffset;
    // One line for every box of both halves, so that no strip at the fold is on neither.
    Box visible = page.VisibleBox();
    cut.line =
        cut.across ? visible.y1 + visible.Height() * 0.5 : visible.x1 + visible.Width() * 0.5;
    return cut;
}

Box HalfPageBox(const Box& box, const HalfCut& cut, PageHalf half) {
    Box part = box;
    bool first = half == PageHalf::First;
    double end = cut.line - cut.offset;
    double start = cut.line + cut.offset;
    if (cut.across) {
        (first ? part.y2 : part.y1) = first ? end : start;
    } else {
        (first ? part.x2 : part.x1) = first ? end : start;
    }
    return part;
}

Box ComputeSheetBox(SheetBoxKey key, const PageGeometry& base, const Box& jobCropBox,
                    const Box& jobMediaBox, const JobSettings& settings, Grid grid,
                    int baseRotation, PageHalf half) {
    const Box& job = key == SheetBoxKey::MediaBox ? jobMediaBox : jobCropBox;
    if (job.IsGiven()) return job;
    const Box& pageBox = base.BoxFor(key);
    if (half == PageHalf::Whole) {
        CellSteps steps = CellStepsOf(settings, grid, base.mediaBox, baseRotation);
        return GridSheetBox(pageBox, PageGridOf(grid, baseRotation), steps);
    }
    Box box = key == SheetBoxKey::MediaBox ? CutToCropLimits(pageBox, base, settings) : pageBox;
    return HalfPageBox(box, TwoToOneCut(settings, base), half);
}

std::vector<PlannedCell> PlaceGridCells(const JobSettings& settings, Grid grid,
                                        const PageGeometry& base,
                                        const std::vector<int>& cellRotations) {
    int baseRotation = NormaliseRotation(base.rotation);
    bool turnedBase = IsQuarterTurned(baseRotation);
    CellSteps steps = CellStepsOf(settings, grid, base.mediaBox, baseRotation);
    // The cell is the step less the gap after it: a page turned by a half turns about the
    // cell, not about the cell and its gap.
    double cellWidth = steps.x - settings.rightMargin;
    double cellHeight = steps.y - settings.bottomMargin;
    const Box& media = base.mediaBox;
    std::vector<PlannedCell> cells;
    for (size_t k = 0; k < cellRotations.size(); ++k) {
        int cell = static_cast<int>(k);
        int rotation = NormaliseRotation(cellRotations[k]);
        double left, bottom;
        bool turned;
        if (turnedBase) {
            // The sheet is shown turned: the cells go column by column from the lower-left
            // corner of the page's own coordinates, which reads row by row on screen.
            left = (cell / grid.columns) * steps.x;
            bottom = (cell % grid.columns) * steps.y;
            turned = rotation == 270;
        } else {
            left = (cell % grid.columns) * steps.x;
            bottom = (grid.rows - 1 - cell / grid.columns) * steps.y;
            turned = IsTurnedByAHalf(rotation);
        }
        PlannedCell p;
        p.rect = {left + media.x1, bottom + media.y1, left + media.x1 + cellWidth,
                  bottom + media.y1 + cellHeight};
        // Turning maps x to x' - x: the page box's corners swap places within the cell.
        p.x = turned ? left + cellWidth + 2 * media.x1 : left;
        p.y = turned ? bottom + cellHeight + 2 * media.y1 : bottom;
        p.quarterTurns = turned ? 2 : 0;
        cells.push_back(p);
    }
    return cells;
}

PlannedCell PlaceTwoToOneCell(const PageGeometry& page, const Box& sideMediaBox) {
    PlannedCell cell;
    cell.rect = sideMediaBox;
    if (IsTurnedByAHalf(NormaliseRotation(page.rotation))) {
        Box visible = page.VisibleBox();
        cell.x = visible.x1 + visible.x2;
        cell.y = visible.y1 + visible.y2;
        cell.quarterTurns = 2;
    }
    return cell;
}

int SheetRotation(int baseRotation) {
    return IsQuarterTurned(baseRotation) ? 90 : 0;
}

}  // namespace gridane
