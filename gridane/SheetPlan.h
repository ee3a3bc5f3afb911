// The sheet plan: everything about an imposition that follows from the settings and the pages'
// geometry alone. For every sheet side it says which page shows in each cell, where and how
// that page is drawn, every box the side carries, its /Rotate, whether the job's second pair of
// boxes applies and, in the 2-to-1 group, which half of its page the side shows.
//
// The engine's run builds the plan from the pages it read and its sheet writers only write it
// out; a preview or an example picture builds the same plan from made-up pages (for instance
// N pages of A4) without any file:
//
//     std::vector<gridane::PageGeometry> pages(8, gridane::PageGeometry{});  // 8 letter pages
//     for (auto& p : pages) p.mediaBox = {0, 0, 595, 842};                   // ... or A4
//     gridane::SheetPlan plan = gridane::BuildSheetPlan(settings, pages);
//     for (const gridane::PlannedSide& side : plan.sides) { ... side.cells[k].rect ... }
//
// Coordinates are points in the sheet page's own space (origin lower-left, y up), before a
// viewer applies the side's /Rotate. Pages are scaled only by the sheet layout
// (SheetLayout.h): a sheet size, fit, an outer margin or gutter, creep or marks.
//
// Everything here is plain data; a plan holds copies of what it was built from and refers to
// nothing else. `BuildSheetPlan` reads no file and throws nothing: a range that names no page
// gives no sides (the engine refuses such ranges before planning).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gridane/JobSettings.h"
#include "gridane/PressItems.h"
#include "gridane/SheetRecord.h"

namespace gridane {

// One of the five page boxes.
enum class SheetBoxKey { CropBox, BleedBox, TrimBox, ArtBox, MediaBox };

// The geometry of one page of the imposed document, as its page tree gives it: each box the
// page has or inherits from the nearest node above it that has one, else the page-tree default
// 0 0 612 792 (a box never falls back to another box).
struct PageGeometry {
    Box mediaBox = kDefaultPageBox;
    Box cropBox = kDefaultPageBox;
    Box bleedBox = kDefaultPageBox;
    Box trimBox = kDefaultPageBox;
    Box artBox = kDefaultPageBox;
    // Whether the page or one of its ancestors has a /CropBox; false when `cropBox` is only the
    // default. The visible area of a page without one is its MediaBox.
    bool hasCropBox = false;
    // The same for /BleedBox and /TrimBox.
    bool hasBleedBox = false;
    bool hasTrimBox = false;
    // /Rotate as read (inherited), in degrees: any value; the plan normalises it to 0-270.
    int rotation = 0;

    const Box& BoxFor(SheetBoxKey key) const;
    // What a viewer shows: the CropBox within the MediaBox, or the MediaBox.
    Box VisibleBox() const;
};

// Which part of its page a side shows: all of it, or in the 2-to-1 group one half. The first
// half is the left one with `up2to1` and the lower one with `up2to1h`.
enum class PageHalf { Whole, First, Second };

// A box written on a sheet side.
struct SheetBox {
    Box box;
    // True for the MediaBox and for a box the job gives: written even where the base page's
    // object has no entry of that name. A box computed from the page replaces only an entry
    // the page has.
    bool insertWhenAbsent = false;
    bool operator==(const SheetBox&) const = default;
};

// One cell of a sheet side and the page drawn in it.
struct PlannedCell {
    int page = 0;  // 1-based page of the imposed document shown here; 0 for a blank cell

    // The drawing of the page (what the sheet's content writes as "cm"): a point (px, py) of
    // the page goes to (x + px, y + py), or, when the drawing is turned by a half
    // (`quarterTurns` == 2), to (x - px, y - py). Blank cells are placed too.
    double x = 0;
    double y = 0;
    // Clockwise quarter turns of the drawing on the sheet: 0 or 2, or for cards turned to fit
    // 1 (a page point goes to (x + scale py, y - scale px)) or 3 ((x - scale py, y + scale px)).
    int quarterTurns = 0;
    // The drawing's scale: a page point goes to (x + scale px, y + scale py). Only the sheet
    // layout (a sheet size, fit, margins, marks) scales pages; 1 otherwise.
    double scale = 1;

    // The rectangle the cell takes on the sheet: the base page's MediaBox put at the cell's
    // place (the gaps between cells not included). In the 2-to-1 group, the side's MediaBox.
    Box rect;

    // How the page looks on the sheet as a viewer shows it (the side's /Rotate applied),
    // compared with how a viewer shows the page on its own: clockwise quarter turns, 0-3.
    // 0 means upright; a page with /Rotate 90 on an unturned sheet shows 3 (a quarter
    // counter-clockwise), since the sheet draws its content unturned.
    int shownTurns = 0;

    // What the drawing is clipped to, in the page's own coordinates: its visible box (the
    // CropBox within the MediaBox, else the MediaBox), so that nothing the page draws beyond
    // it covers a neighbouring cell. None for a blank cell and in the 2-to-1 group, whose
    // halves are cut by the side's own boxes.
    std::optional<Box> clip;
    // The cell shows only the part of its page within `clip` (a poster tile): the page's
    // annotations beyond it stay off the sheet, the others are cut to it.
    bool showsPart = false;

    bool operator==(const PlannedCell&) const = default;
};

// A line of the marks a sheet side carries (crop or fold marks), in the side's coordinates.
struct MarkLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool dashed = false;  // fold marks are dashed, crop marks solid
    bool operator==(const MarkLine&) const = default;
};

// One sheet side: one page object of the output.
struct PlannedSide {
    int index = 0;        // 0-based position among the sides, in writing order
    int sheetNumber = 1;  // 1-based sheet of paper when printed on both sides: index / 2 + 1
    bool back = false;    // the second side of that sheet (odd index)

    // The cell whose page object becomes the side's page object, and its page: cell 0, or the
    // first cell that is not blank.
    int baseCell = 0;
    int basePage = 0;

    SheetBox mediaBox, cropBox, bleedBox, trimBox, artBox;
    int rotate = 0;            // the side's /Rotate: 90 when its base page is turned by a quarter
    bool secondBoxes = false;  // the job's second pair (cropbox2, mediabox2) gave the boxes
    PageHalf half = PageHalf::Whole;
    PressItems press;  // registration targets, colour bar and slug in the sheet's margin

    // The side's size as a viewer shows it: the MediaBox, width and height exchanged for
    // /Rotate 90.
    double shownWidth = 0;
    double shownHeight = 0;

    // Every cell of the group, in slot order: row by row from the top-left cell of the grid as
    // the side is shown. 12, 10, 8, 6, 4, 3, 2 cells, or 1 in the 2-to-1 group.
    std::vector<PlannedCell> cells;

    // Crop and fold marks, and the trimmed areas of the cells' pages that no mark may cross.
    std::vector<MarkLine> marks;
    std::vector<Box> trims;

    // Lines of `frameWidth` points round these boxes (each placed page), drawn over the cells.
    std::vector<Box> frames;
    double frameWidth = 0;

    const SheetBox& BoxFor(SheetBoxKey key) const;
    // The pages of the cells as a sheet record (what the resource merging works from).
    SheetRecord Record() const;
};

struct SheetPlan {
    LayoutGroup group = LayoutGroup::Up2;
    Grid grid;  // columns and rows of the cells as numbered (1 x 1 in the 2-to-1 group)

    // The output's pages in order: the pages before the range (written unchanged), the sides,
    // then the pages after the range. Page numbers are 1-based.
    std::vector<int> keptBefore;
    std::vector<PlannedSide> sides;
    std::vector<int> keptAfter;

    // The job's `e` after the layout: the folded orders (ab4 ... ab12) lower it to whole
    // blocks; the pages between it and the old `e` appear nowhere.
    int32_t lastPage = kToLastPage;

    // The grid step-and-repeat fitted to the sheet (0 x 0 when it fitted none), as shown, and
    // whether the cards are turned by a quarter to fit more: "8 copies per sheet, 2 x 4".
    Grid fittedGrid{0, 0};
    bool fittedTurned = false;

    // Why the sheet layout cannot be made (cells with no room, creep beyond its cells), as the
    // message the run fails with; empty when the plan is sound.
    std::string problem;
};

// The plan of the built-in layout chosen by `settings` over `pages` (poster tiles too, see
// PosterTiles.h), every page of the document being imposed, in order. The 2-to-1 groups impose a
// doubled document (the input followed by a copy of itself): pass `DoubledForTwoToOne(pages)`
// there.
SheetPlan BuildSheetPlan(const JobSettings& settings, const std::vector<PageGeometry>& pages);

// The same with the page order given, one record per side (a sequence file's reading): the
// records are cut before the first one whose cells are all blank.
SheetPlan BuildSheetPlan(const JobSettings& settings, const std::vector<PageGeometry>& pages,
                         const SheetList& order);

// Sets every cell's `shownTurns` from its drawing's turn, the side's /Rotate and its page's.
void SetShownTurns(PlannedSide& side, const std::vector<PageGeometry>& pages);

// What step-and-repeat chose, as the run prints it ("8 copies per sheet, 2 x 4, cards
// turned"); empty when it fitted no grid.
std::string FittedCardsText(const SheetPlan& plan);

// The pages of the document that the 2-to-1 groups impose: `pages` followed by a copy of
// them. Page M + k is the copy of page k.
std::vector<PageGeometry> DoubledForTwoToOne(const std::vector<PageGeometry>& pages);

}  // namespace gridane
