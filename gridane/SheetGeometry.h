// The geometry rules the sheet plan is made of: the boxes of a sheet side and where each
// cell's page is drawn. Pure functions of the settings, the base page's geometry and rotation,
// and the cell rotations; `BuildSheetPlan` (SheetPlan.h) applies them side by side.
//
// Cells are numbered row by row from the top-left. No page is scaled: a sheet is as large as
// its grid of pages plus the gaps (`rightmargin` between columns, `bottommargin` between rows)
// unless the job gives the sheet's boxes.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"

namespace gridane {

std::string_view KeyName(SheetBoxKey key);  // "/CropBox", ...
// The order in which a sheet's boxes are written.
inline constexpr std::array<SheetBoxKey, 5> kSheetBoxKeys{
    SheetBoxKey::CropBox, SheetBoxKey::BleedBox, SheetBoxKey::TrimBox, SheetBoxKey::ArtBox,
    SheetBoxKey::MediaBox};

// The grid in the base page's own coordinates: the plan's cell grid, with columns and rows
// exchanged when the base page is shown turned by a quarter (the viewer turns the sheet back).
Grid PageGridOf(Grid grid, int baseRotation);

// From one cell to the next, in the base page's own coordinates: a page and its gap, or an
// equal share of the job's media box and the gap.
struct CellSteps {
    double x = 0;
    double y = 0;
};
CellSteps CellStepsOf(const JobSettings& settings, Grid grid, const Box& baseMediaBox,
                      int baseRotation);

// A sheet box from the base page's box of the same name: from that box in the first cell to
// the same box in the last cell, the cells `steps` apart.
Box GridSheetBox(const Box& pageBox, Grid pageGrid, CellSteps steps);

// The 2-to-1 group's cut: the middle of the page's visible box, across x (`up2to1`, left and
// right halves) or across y (`up2to1h`, lower and upper halves).
struct HalfCut {
    bool across = false;  // true: lower and upper halves
    double line = 0;      // the x (or y) of the cut
    int offset = 0;       // `offset_split`: each half ends this far from the line
};
HalfCut TwoToOneCut(const JobSettings& settings, const PageGeometry& page);

// One half of a box, cut at the line: the first half ends `offset` before it, the second
// begins `offset` after it.
Box HalfPageBox(const Box& box, const HalfCut& cut, PageHalf half);

// The box written for `key` on a sheet side: the job box when given (`jobCropBox` for the
// first four keys, `jobMediaBox` for the MediaBox: the job's first or second pair), else
// computed from the base page's box of that name and the plan's grid.
Box ComputeSheetBox(SheetBoxKey key, const PageGeometry& base, const Box& jobCropBox,
                    const Box& jobMediaBox, const JobSettings& settings, Grid grid,
                    int baseRotation, PageHalf half);

// The placements of the cells of a grid side, from the plan's grid, the base page's geometry
// and each cell's page rotation as read (0 for a blank cell). `page` and `shownTurns` are
// left to the caller.
std::vector<PlannedCell> PlaceGridCells(const JobSettings& settings, Grid grid,
                                        const PageGeometry& base,
                                        const std::vector<int>& cellRotations);

// The one cell of a 2-to-1 side: the page unmoved, or turned by a half about its visible box,
// so that the side's half of the visible area shows the same half of the page either way.
PlannedCell PlaceTwoToOneCell(const PageGeometry& page, const Box& sideMediaBox);

// The /Rotate a sheet carries: 90 for a base page turned by a quarter either way, else 0.
int SheetRotation(int baseRotation);

}  // namespace gridane
