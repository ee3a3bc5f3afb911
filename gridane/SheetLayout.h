// The sheet layout: pages scaled into cells of a sheet of a given size (or of a grid of the
// base page's size), with an outer margin, a gutter between cells, creep for saddle booklets
// and crop and fold marks in the margin. Used by the sheet plan for every side whenever one of
// its settings is set; with none of them the plan keeps the grid of unscaled pages.
//
// Coordinates are the sheet page's own, as in SheetPlan.h: a base page shown turned by a
// quarter turns the sheet with it (/Rotate 90), so the frame and the grid are laid out
// exchanged, and the named sheet size describes the sheet as shown.
#pragma once

#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"

namespace gridane {

// Crop marks start this far outside the trim and are this long; the margin of a sheet with
// marks is at least their sum.
inline constexpr double kMarkGap = 9;
inline constexpr double kMarkLength = 18;
inline constexpr double kMarkSpace = kMarkGap + kMarkLength;

// A scale within this of 1 counts as 1: paper sizes rounded to whole points by their producer
// would otherwise shrink a page by a hair.
inline constexpr double kScaleTolerance = 0.001;

// Points per millimetre.
inline constexpr double kPointsPerMm = 72.0 / 25.4;

// Whether any of the settings that lay out sheets is set (sheet, fit, outer_margin, gutter,
// creep, cropmarks, foldmarks, and those of cards and free grids). signature and rtl only
// change the order and do not count.
bool UsesSheetLayout(const JobSettings& settings);

// Whether any setting of cards and free grids is set (grid, order, from, frame, repeat, bleed,
// duplex_backs, flip, back_shift).
bool UsesCardSettings(const JobSettings& settings);

// The first box, sheet or order setting that cannot be used, as the run's failure message; empty
// when all can be.
std::string CheckSheetSettings(const JobSettings& settings);

// The frame of a sheet side in its own coordinates: the sheet, the margin and the cells.
struct SheetFrame {
    double width = 0;
    double height = 0;
    double margin = 0;
    double cellWidth = 0;
    double cellHeight = 0;
    double gapX = 0;    // between columns
    double gapY = 0;    // between rows
    Grid grid;          // columns and rows in these coordinates
    double left = 0;    // the lower-left corner of the cells' block: the margin, or for a
    double bottom = 0;  // card block the centred place
};

// A number for a message: at most two decimals, no trailing zeros, whatever the locale.
std::string NumberText(double value);

// The part of a page that its cell holds: the TrimBox when the page has one (within its
// visible box), else the visible box.
Box TrimmedBox(const PageGeometry& page);

// The drawing's origin that puts the lower-left corner of `placed`, turned clockwise by
// `quarterTurns` and scaled, at (x, y) (PlannedCell's x and y).
std::pair<double, double> TurnedOrigin(const Box& placed, int quarterTurns, double scale, double x,
                                       double y);

// The frame for a side of `plan` (its group and grid) whose base page is shown turned by a
// quarter when `baseRotation` is 90 or 270. `placed` is the part of the base page a cell holds.
SheetFrame FrameFor(const JobSettings& settings, const SheetPlan& plan, const Box& placed,
                    int baseRotation);

// Places the cells and marks of `side` (its base page, half and rotate already set) and sets
// its boxes to the sheet, for the group and grid of `plan`. Returns a message when the layout
// cannot be made, else empty.
std::string LayOutSheetSide(const JobSettings& settings, const SheetPlan& plan,
                            const std::vector<PageGeometry>& pages, const SheetRecord& record,
                            PlannedSide& side);

}  // namespace gridane
