#include "gridane/SheetGeometry.h"

#include <cmath>

namespace gridane {
namespace {

bool IsQuarterTurned(int rotation) {
    return rotation == 90 || rotation == 270;
}

}  // namespace

Grid PageGridOf(const JobSettings& settings, int baseRotation) {
    Grid grid = GridOf(settings);
    if (IsQuarterTurned(baseRotation)) return {grid.rows, grid.columns};
    return grid;
}

Box GridSheetBox(const Box& pageBox, Grid pageGrid, int rightMargin, int bottomMargin) {
    // From the box's own width and height, so that a box whose corner is not at the origin
    // still holds its cells side by side without overlap.
    return {pageBox.x1, pageBox.y1,
            pageBox.x1 + pageBox.Width() * pageGrid.columns +
                static_cast<double>(rightMargin) * (pageGrid.columns - 1),
            pageBox.y1 + pageBox.Height() * pageGrid.rows +
                static_cast<double>(bottomMargin) * (pageGrid.rows - 1)};
}

Box HalfPageBox(const Box& p, bool cutAcross, bool firstHalf, int offset) {
    if (cutAcross) {
        double middle = p.y1 + p.Height() * 0.5;
        return firstHalf ? Box{p.x1, p.y1, p.x2, middle - offset}
                         : Box{p.x1, middle + offset, p.x2, p.y2};
    }
    double middle = p.x1 + p.Width() * 0.5;
    return firstHalf ? Box{p.x1, p.y1, middle - offset, p.y2}
                     : Box{middle + offset, p.y1, p.x2, p.y2};
}

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

Box ComputeSheetBox(SheetBoxKey key, const Box& pageBox, const Box& jobCropBox,
                    const Box& jobMediaBox, const JobSettings& settings, int baseRotation,
                    bool firstHalf, CropLimits& limits) {
    const Box& job = key == SheetBoxKey::MediaBox ? jobMediaBox : jobCropBox;
    if (job.IsGiven()) return job;
    if (SelectLayoutGroup(settings) != LayoutGroup::TwoToOne) {
        return GridSheetBox(pageBox, PageGridOf(settings, baseRotation), settings.rightMargin,
                            settings.bottomMargin);
    }
    Box page = pageBox;
    if (key == SheetBoxKey::CropBox) {
        limits.x = static_cast<int>(std::trunc(page.x2));
        limits.y = static_cast<int>(std::trunc(page.y2));
    } else if (key == SheetBoxKey::MediaBox) {
        if (limits.x > 0 && page.x2 > limits.x) page.x2 = limits.x;
        if (limits.y > 0 && page.y2 > limits.y) page.y2 = limits.y;
    }
    bool cutAcross = !settings.up2to1 && settings.up2to1h;
    return HalfPageBox(page, cutAcross, firstHalf, settings.splitOffset);
}

std::vector<CellPlacement> PlaceCells(const JobSettings& settings, const Box& baseMediaBox,
                                      int baseRotation, const std::vector<int>& cellRotations) {
    Grid grid = GridOf(settings);
    Grid pageGrid = PageGridOf(settings, baseRotation);
    const Box& job = settings.mediaBox;
    // The step from one cell to the next: a page and its gap, or an equal share of the job's
    // media box.
    double w, h;
    if (job.x2 != -1) {
        w = settings.rightMargin + job.x2 / pageGrid.columns;
        h = settings.bottomMargin + job.y2 / pageGrid.rows;
    } else {
        w = settings.rightMargin + baseMediaBox.Width();
        h = settings.bottomMargin + baseMediaBox.Height();
    }
    bool turnedBase = IsQuarterTurned(baseRotation);
    std::vector<CellPlacement> placements;
    for (size_t k = 0; k < cellRotations.size(); ++k) {
        int cell = static_cast<int>(k);
        int rotation = NormaliseRotation(cellRotations[k]);
        CellPlacement p;
        if (turnedBase) {
            // The sheet is shown turned: the cells go column by column from the lower-left
            // corner of the page's own coordinates, which reads row by row on screen.
            p.x = (cell / grid.columns) * w;
            p.y = (cell % grid.columns) * h;
            p.rotation = rotation == 270 ? 180 : 0;
        } else {
            int column = cell % grid.columns;
            int row = cell / grid.columns;
            p.x = column * w;
            p.y = (grid.rows - 1 - row) * h;
            p.rotation = rotation;
        }
        // Turning maps x to altX - x: the page box's corners swap places within the cell.
        p.altX = p.x + w + 2 * baseMediaBox.x1;
        p.altY = p.y + h + 2 * baseMediaBox.y1;
        placements.push_back(p);
    }
    return placements;
}

int SheetRotation(int baseRotation) {
    return IsQuarterTurned(baseRotation) ? 90 : 0;
}

}  // namespace gridane
