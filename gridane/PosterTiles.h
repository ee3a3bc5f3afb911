// Poster tiles: every page of the range enlarged over columns x rows sheets of the sheet size.
// Each tile is a sheet side with one cell that shows its part of the page: the page's own
// drawing, scaled and clipped to the tile's picture area inside a margin, so the output stays
// vector and small. Neighbouring tiles share `overlap` points of picture; a tile with a
// neighbour to its left or above carries a cut line along the outer edge of that overlap, so
// that cut there it lies over its neighbour's matching strip, and every tile names its row and
// column (and page, when there are several) in its lower margin, which the tile below covers.
// A pure builder of a sheet plan, written by the same sheet writer as every layout.
#pragma once

#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/SheetPlan.h"

namespace gridane {

// The least margin of a tile: room for its label, and more than printers leave unprinted.
inline constexpr double kTileMargin = 20;

// Whether tile or poster is set.
bool UsesPosterTiles(const JobSettings& settings);

// Why the poster settings cannot be used (a wrong tile grid, poster size or overlap, no sheet
// size, a layout beside them); empty when they can or when none is set.
std::string CheckPosterSettings(const JobSettings& settings);

// How one page is tiled: the sheet as laid out, the tiles and the picture on them.
struct PosterTiling {
    Grid grid;  // columns and rows of tiles
    double sheetWidth = 0;
    double sheetHeight = 0;
    double margin = 0;
    double scale = 1;     // of the page's trimmed box, as shown
    double pictureX = 0;  // the picture's lower-left corner in the whole tiled area
    double pictureY = 0;
    double AreaWidth() const { return sheetWidth - 2 * margin; }  // of one tile's picture
    double AreaHeight() const { return sheetHeight - 2 * margin; }
};

// The tiling of `page` for `settings`; nullopt and a message in `problem` when the sheet leaves
// no room or the poster needs more tiles than a tile grid may have. With tile CxR the picture
// is as large as the C x R tiles allow, on the sheet's orientation that makes it largest; with
// poster the page is scaled to fit the poster (turned like the page unless its orientation is
// given), and the fewest tiles that cover that picture are chosen, on either orientation of the
// sheet (portrait on a tie). The picture is centred on the tiles.
std::optional<PosterTiling> TilePage(const JobSettings& settings, const PageGeometry& page,
                                     std::string& problem);

// The plan of poster tiles over `pages`: the pages before and after the range kept, every page
// of the range tiled row by row from the top left.
SheetPlan BuildPosterPlan(const JobSettings& settings, const std::vector<PageGeometry>& pages);

}  // namespace gridane
