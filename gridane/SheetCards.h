// Step-and-repeat (`repeat`): one card copied into every cell of a block of card-sized cells
// centred on the sheet, the grid and the cards' turn chosen to fit the most copies at 100%;
// bleed that stops at shared cuts; crop marks once per cut line, outside the block; and the
// back side of a sheet turned over its long or short edge and shifted for the printer.
// Pure functions over the plan's types; SheetLayout.cpp applies them side by side.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetLayout.h"
#include "gridane/SheetPlan.h"

namespace gridane {

// The first setting of cards and free grids that cannot be used, as the run's failure
// message; empty when all can be.
std::string CheckCardSettings(const JobSettings& settings);

// A sheet a block or a tile may be laid on, in the frame's coordinates.
struct SheetChoice {
    double width = 0;
    double height = 0;
};

// The named sheet size in the orientation asked for, or portrait then landscape. Without a
// sheet none (the sheet follows the block). `turnedBase`: the frame is the sheet as shown
// turned by a quarter, so width and height are exchanged.
std::vector<SheetChoice> SheetChoices(const JobSettings& settings, bool turnedBase);

// A block of cards on a sheet, in the base page's own coordinates (the frame's).
struct CardFit {
    Grid grid;              // columns and rows of the block
    bool turned = false;    // cards drawn turned by a quarter
    double sheetWidth = 0;  // the sheet the block is centred on
    double sheetHeight = 0;
    double margin = 0;  // the smaller space left between the block and a sheet edge
    int Copies() const { return grid.columns * grid.rows; }
};

// Space a card block keeps from the sheet's edges: the outer margin, the bleed, and the crop
// marks beyond the bleed.
double CardEdgeSpace(const JobSettings& settings);

// Where crop marks start beyond the cut: past the gap, and past the bleed.
double CardMarkStart(const JobSettings& settings);

// The block of `card` (the part of a page a cell shows) for `settings`: the grid given
// (cards turned only when they do not fit upright), or with none the arrangement that places the
// most copies at 100% on the sheet (cards turned by a quarter when that fits more; on a tie the
// larger margins win, then upright cards, then the sheet as named). `turnedBase`: the base page is
// shown turned by a quarter, so the sheet is laid out exchanged. nullopt and a message in `problem`
// when not one copy fits.
std::optional<CardFit> FitCards(const JobSettings& settings, const Box& card, bool turnedBase,
                                std::string& problem);

// "8 copies per sheet, 2 x 4, cards turned", the grid as the sheet is shown.
std::string CardFitText(Grid shownGrid, bool turned);

// The frame of a card block: cells of the card's size (exchanged when turned), the gutter
// between them, the block centred on the sheet.
SheetFrame CardFrame(const CardFit& fit, const JobSettings& settings, const Box& card);

// How far a card's drawing may reach beyond its trim on each side of the sheet (left,
// bottom, right, top as x1, y1, x2, y2): the bleed at the block's edges, at most half the
// gutter between neighbours (none at a shared cut).
Box CardBleedAllowance(const JobSettings& settings, const SheetFrame& frame, int column, int row);

// One crop mark at each end of every cut line, outside the block: every distinct x of the
// trims' left and right edges gets a mark below and above, every distinct y one left and
// right. None inside the block, so shared cuts are marked once.
void AddCutMarks(const JobSettings& settings, const std::vector<Box>& trims,
                 std::vector<MarkLine>& marks);

// Whether the side is a back printed on the other side of its sheet: every second side of
// duplex cards and of the duplex orders.
bool IsPrintedBack(const JobSettings& settings, const PlannedSide& side);

// A back side turned over the short edge: everything on it turned by a half about the
// sheet's centre. `width` and `height` are the side's.
void TurnSideByAHalf(PlannedSide& side, double width, double height);

// Everything on the side moved by (dx, dy).
void ShiftSide(PlannedSide& side, double dx, double dy);

// "X,Y" in points; nullopt for anything else.
std::optional<std::pair<double, double>> ParseBackShift(std::string_view text);

}  // namespace gridane
