#include "gridane/SheetLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <tuple>

#include "gridane/FoldedSignatures.h"
#include "gridane/PressSheet.h"
#include "gridane/SheetCards.h"
#include "gridane/SheetGeometry.h"
#include "pdf/CPdfBoxText.h"

namespace gridane {
namespace {

bool IsQuarterTurned(int rotation) {
    return rotation == 90 || rotation == 270;
}

Box Intersection(const Box& a, const Box& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

bool IsEmpty(const Box& box) {
    return box.x2 <= box.x1 || box.y2 <= box.y1;
}

// The layouts whose sheets are folded on the lines between their cells.
bool FoldLinesApply(const JobSettings& s, LayoutGroup group) {
    return group == LayoutGroup::Up2 || (group == LayoutGroup::Up4 && s.ab4) ||
           UsesFoldedSignatures(s);
}

bool MarksApply(const JobSettings& s, LayoutGroup group) {
    return s.cropMarks || (s.foldMarks && FoldLinesApply(s, group));
}

// The saddle booklet: the 2-up pairing of first and last pages, folded in the middle.
bool IsSaddleBooklet(const JobSettings& s, LayoutGroup group) {
    return group == LayoutGroup::Up2 && s.outer_in && s.ab && !s.duplicate;
}

double CellScale(const SheetFrame& frame, const Box& placed, bool enlarge) {
    if (placed.Width() <= 0 || placed.Height() <= 0) return 1;
    double scale = std::min(frame.cellWidth / placed.Width(), frame.cellHeight / placed.Height());
    if (!enlarge) scale = std::min(scale, 1.0);
    return std::abs(scale - 1) < kScaleTolerance ? 1 : scale;
}

SheetFrame FrameOfSize(double width, double height, double margin, double gapX, double gapY,
                       Grid grid) {
    SheetFrame frame{width, height, margin, 0, 0, gapX, gapY, grid, margin, margin};
    frame.cellWidth = (width - 2 * margin - (grid.columns - 1) * gapX) / grid.columns;
    frame.cellHeight = (height - 2 * margin - (grid.rows - 1) * gapY) / grid.rows;
    return frame;
}

// The named sheet in the orientation that lets the base page grow most (portrait on a tie),
// or the orientation asked for. Sizes describe the sheet as shown.
SheetFrame FrameOnSheet(const paper::SheetSize& size, bool turned, double margin, double gapX,
                        double gapY, Grid grid, const Box& placed) {
    double shortSide = std::min(size.width, size.height);
    double longSide = std::max(size.width, size.height);
    auto frameShown = [&](double shownWidth, double shownHeight) {
        return turned ? FrameOfSize(shownHeight, shownWidth, margin, gapX, gapY, grid)
                      : FrameOfSize(shownWidth, shownHeight, margin, gapX, gapY, grid);
    };
    SheetFrame portrait = frameShown(shortSide, longSide);
    SheetFrame landscape = frameShown(longSide, shortSide);
    if (size.orientation == paper::SheetOrientation::Portrait) return portrait;
    if (size.orientation == paper::SheetOrientation::Landscape) return landscape;
    bool landscapeFitsBetter =
        CellScale(landscape, placed, true) > CellScale(portrait, placed, true) + 1e-9;
    return landscapeFitsBetter ? landscape : portrait;
}

// The lower-left corner of cell k, numbered row by row as the side is shown. A turned base
// page turns the sheet: the cells then go column by column from the lower-left corner.
std::pair<double, double> CellCorner(const SheetFrame& frame, Grid shownGrid, int k, bool turned) {
    double stepX = frame.cellWidth + frame.gapX;
    double stepY = frame.cellHeight + frame.gapY;
    if (turned) {
        return {frame.left + (k / shownGrid.columns) * stepX,
                frame.bottom + (k % shownGrid.columns) * stepY};
    }
    return {frame.left + (k % shownGrid.columns) * stepX,
            frame.bottom + (shownGrid.rows - 1 - k / shownGrid.columns) * stepY};
}

// The part of a page a side shows: its trimmed box, or in the 2-to-1 group one half of it, cut
// at its middle (the other half in the page's own coordinates when the page is drawn turned).
Box PlacedPart(const JobSettings& s, const PageGeometry& page, PageHalf half, bool turned) {
    Box trim = TrimmedBox(page);
    if (half == PageHalf::Whole) return trim;
    if (turned) half = half == PageHalf::First ? PageHalf::Second : PageHalf::First;
    HalfCut cut = TwoToOneCut(s, page);
    cut.line = cut.across ? trim.y1 + trim.Height() * 0.5 : trim.x1 + trim.Width() * 0.5;
    return HalfPageBox(trim, cut, half);
}

// The column and row (from the lower left, in the frame's coordinates) of the cell whose
// lower-left corner is at (left, bottom).
std::pair<int, int> CellColumnRow(const SheetFrame& f, double left, double bottom) {
    return {static_cast<int>(std::lround((left - f.left) / (f.cellWidth + f.gapX))),
            static_cast<int>(std::lround((bottom - f.bottom) / (f.cellHeight + f.gapY)))};
}

// Pages move toward the fold by the paper's thickness for every sheet between theirs and the
// outside of their section, so that the trimmed booklet keeps even outer margins.
double CreepShift(const JobSettings& s, LayoutGroup group, int sideIndex) {
    if (!IsSaddleBooklet(s, group) || s.creep.value <= 0) return 0;
    int64_t sides = 2 * int64_t(s.signature);
    int64_t sheet = s.signature > 0 ? (sideIndex % sides) / 2 : sideIndex / 2;
    return sheet * s.creep.value * kPointsPerMm;
}

void AddCropMarks(const Box& trim, std::vector<MarkLine>& marks) {
    for (int corner = 0; corner < 4; ++corner) {
        double dx = corner % 2 == 0 ? -1 : 1;
        double dy = corner < 2 ? -1 : 1;
        double x = dx < 0 ? trim.x1 : trim.x2;
        double y = dy < 0 ? trim.y1 : trim.y2;
        marks.push_back({x + dx * kMarkGap, y, x + dx * kMarkSpace, y, false});
        marks.push_back({x, y + dy * kMarkGap, x, y + dy * kMarkSpace, false});
    }
}

// Dashed marks in the margin where the sheet is folded: the middle of every gap between
// columns (and rows) of cells.
void AddFoldMarks(const SheetFrame& f, std::vector<MarkLine>& marks) {
    double bottom = f.margin, top = f.height - f.margin;
    double left = f.margin, right = f.width - f.margin;
    for (int column = 1; column < f.grid.columns; ++column) {
        double x = f.margin + column * (f.cellWidth + f.gapX) - f.gapX / 2;
        marks.push_back({x, bottom - kMarkGap, x, bottom - kMarkSpace, true});
        marks.push_back({x, top + kMarkGap, x, top + kMarkSpace, true});
    }
    for (int row = 1; row < f.grid.rows; ++row) {
        double y = f.margin + row * (f.cellHeight + f.gapY) - f.gapY / 2;
        marks.push_back({left - kMarkGap, y, left - kMarkSpace, y, true});
        marks.push_back({right + kMarkGap, y, right + kMarkSpace, y, true});
    }
}

struct CellFit {
    PlannedCell cell;
    Box trim;  // where the page's trimmed box lands, before creep
};

}  // namespace

std::pair<double, double> TurnedOrigin(const Box& placed, int quarterTurns, double scale, double x,
                                       double y) {
    switch (quarterTurns) {
        case 1:
            return {x - scale * placed.y1, y + scale * placed.x2};
        case 2:
            return {x + scale * placed.x2, y + scale * placed.y2};
        case 3:
            return {x + scale * placed.y2, y - scale * placed.x1};
        default:
            return {x - scale * placed.x1, y - scale * placed.y1};
    }
}

namespace {

// `allowance` given on the sheet's left, bottom, right and top, as the page's own x1, y1, x2,
// y2 edges once the page is turned clockwise by `quarterTurns`.
Box AllowanceOnPage(const Box& allowance, int quarterTurns) {
    double sheet[4] = {allowance.x1, allowance.y1, allowance.x2, allowance.y2};
    auto at = [&](int edge) { return sheet[((edge - quarterTurns) % 4 + 4) % 4]; };
    return {at(0), at(1), at(2), at(3)};
}

// The page's bleed (its BleedBox, else its visible box) shown up to `allowance` points beyond
// `placed`; the clip of the cell, or nothing when that leaves nothing.
std::optional<Box> BleedClip(const PageGeometry& page, const Box& placed, const Box& allowance,
                             double scale) {
    Box bleed = page.hasBleedBox ? Intersection(page.bleedBox, page.mediaBox) : page.VisibleBox();
    Box grown{placed.x1 - allowance.x1 / scale, placed.y1 - allowance.y1 / scale,
              placed.x2 + allowance.x2 / scale, placed.y2 + allowance.y2 / scale};
    Box clip = Intersection(bleed, grown);
    if (IsEmpty(clip)) return std::nullopt;
    return clip;
}

// Fits the page into the cell at (left, bottom): scaled, centred, turned clockwise by
// `quarterTurns`, moved by the creep.
CellFit FitPage(const JobSettings& s, const SheetFrame& f, const PageGeometry& page, PageHalf half,
                int quarterTurns, double left, double bottom, double creepX, double creepY) {
    bool turned = quarterTurns == 2;
    bool sideways = quarterTurns % 2 == 1;
    Box placed = PlacedPart(s, page, half, turned);
    Box shown = sideways ? Box{placed.y1, placed.x1, placed.y2, placed.x2} : placed;
    CellFit fit;
    PlannedCell& cell = fit.cell;
    cell.rect = {left, bottom, left + f.cellWidth, bottom + f.cellHeight};
    cell.scale = CellScale(f, shown, s.fitToCell);
    double width = shown.Width() * cell.scale, height = shown.Height() * cell.scale;
    double x = left + (f.cellWidth - width) / 2, y = bottom + (f.cellHeight - height) / 2;
    fit.trim = {x, y, x + width, y + height};
    x += creepX;
    y += creepY;
    cell.quarterTurns = quarterTurns;
    std::tie(cell.x, cell.y) = TurnedOrigin(placed, quarterTurns, cell.scale, x, y);
    cell.clip = placed;
    if (s.cropMarks && half == PageHalf::Whole && !s.repeat) {
        // The bleed shows up to the marks on the edges cut at the sheet's margin, and never
        // past half the gap to a neighbour.
        double innerX = std::min(kMarkGap, (f.cellWidth - width) / 2 + f.gapX / 2);
        double innerY = std::min(kMarkGap, (f.cellHeight - height) / 2 + f.gapY / 2);
        auto [column, row] = CellColumnRow(f, left, bottom);
        Box allowance{column == 0 ? kMarkGap : innerX, row == 0 ? kMarkGap : innerY,
                      column == f.grid.columns - 1 ? kMarkGap : innerX,
                      row == f.grid.rows - 1 ? kMarkGap : innerY};
        Box onPage = AllowanceOnPage(allowance, quarterTurns);
        if (auto clip = BleedClip(page, placed, onPage, cell.scale)) cell.clip = clip;
    }
    return fit;
}

const PageGeometry& PageAt(const std::vector<PageGeometry>& pages, int page) {
    static const PageGeometry kNoPage;
    if (page < 1 || static_cast<size_t>(page) > pages.size()) return kNoPage;
    return pages[static_cast<size_t>(page) - 1];
}

}  // namespace

std::string NumberText(double value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (error != std::errc()) return "?";
    std::string result(text, end);
    while (result.ends_with('0')) result.pop_back();
    if (result.ends_with('.')) result.pop_back();
    return result;
}

bool UsesSheetLayout(const JobSettings& s) {
    return !s.sheet.text.empty() || s.fitToCell || s.outerMargin != 0 || s.gutter != 0 ||
           s.creep.value != 0 || !s.creep.refused.empty() || s.cropMarks || s.foldMarks ||
           UsesCardSettings(s) || UsesPressSheet(s) || UsesFoldedSignatures(s);
}

bool UsesCardSettings(const JobSettings& s) {
    return !s.freeGrid.empty() || !s.fillOrder.empty() || !s.fillFrom.empty() ||
           s.frame != Points{} || s.repeat || s.bleed != Points{} || s.duplexBacks ||
           !s.flip.empty() || !s.backShift.empty();
}

std::string CheckSheetSettings(const JobSettings& s) {
    if (s.sheet.size) {
        if (auto* problem = std::get_if<std::string>(&*s.sheet.size)) return *problem;
    }
    if (s.outerMargin < 0)
        return "Outer margin " + std::to_string(s.outerMargin) + " is negative\n";
    if (s.gutter < 0) return "Gutter " + std::to_string(s.gutter) + " is negative\n";
    if (s.signature < 0) {
        return "Signature " + std::to_string(s.signature) +
               " is negative: give the sheets of a section, or 0 for one section\n";
    }
    if (!s.creep.refused.empty()) {
        return "Creep '" + s.creep.refused + "' is not a number of millimetres\n";
    }
    if (s.creep.value < 0 || s.creep.value > 1) {
        return "Creep " + NumberText(s.creep.value) +
               " mm is out of range: give the paper's thickness, 0 to 1 mm\n";
    }
    if (std::string problem = CheckCardSettings(s); !problem.empty()) return problem;
    if (std::string problem = CheckFoldSettings(s); !problem.empty()) return problem;
    for (const auto& [name, box] : {std::pair{"Media box", &s.mediaBox},
                                    {"Crop box", &s.cropBox},
                                    {"Second media box", &s.mediaBox2},
                                    {"Second crop box", &s.cropBox2}}) {
        if (!box->refused.empty()) {
            return std::string(name) + " '" + box->refused +
                   "' is out of range: " + kPageLimitRule + "\n";
        }
    }
    if (UsesSheetLayout(s) && (s.mediaBox.IsGiven() || s.cropBox.IsGiven() ||
                               s.mediaBox2.IsGiven() || s.cropBox2.IsGiven())) {
        return "The sheet settings do not combine with mediabox or cropbox: give the sheet's "
               "size with sheet\n";
    }
    return {};
}

Box TrimmedBox(const PageGeometry& page) {
    Box visible = page.VisibleBox();
    if (!page.hasTrimBox) return visible;
    Box trim = Intersection(page.trimBox, visible);
    return IsEmpty(trim) ? visible : trim;
}

SheetFrame FrameFor(const JobSettings& s, const SheetPlan& plan, const Box& placed,
                    int baseRotation) {
    bool turned = IsQuarterTurned(baseRotation);
    Grid grid = PageGridOf(plan.grid, baseRotation);
    double margin = s.outerMargin;
    if (MarksApply(s, plan.group)) margin = std::max(margin, kMarkSpace);
    // The press items lie in a band of their own outside the marks.
    if (UsesPressSheet(s))
        margin = std::max(margin, (MarksApply(s, plan.group) ? kMarkSpace : 0) + kPressBand);
    double gapX = double(s.gutter) + s.rightMargin, gapY = double(s.gutter) + s.bottomMargin;
    if (s.sheet.size) {
        if (auto* size = std::get_if<paper::SheetSize>(&*s.sheet.size)) {
            return FrameOnSheet(*size, turned, margin, gapX, gapY, grid, placed);
        }
    }
    double width = 2 * margin + grid.columns * placed.Width() + (grid.columns - 1) * gapX;
    double height = 2 * margin + grid.rows * placed.Height() + (grid.rows - 1) * gapY;
    return FrameOfSize(width, height, margin, gapX, gapY, grid);
}

namespace {

// The frame of a side: a card block when repeating, else the grid's frame.
struct SideFrame {
    SheetFrame frame;
    int cardTurns = 0;    // 1 when the cards are turned a quarter clockwise to fit more
    std::string problem;  // why a card block cannot be made
};

SideFrame FrameOfSide(const JobSettings& s, const SheetPlan& plan,
                      const std::vector<PageGeometry>& pages, const PlannedSide& side) {
    const PageGeometry& base = PageAt(pages, side.basePage);
    int baseRotation = NormaliseRotation(base.rotation);
    SideFrame result;
    if (!s.repeat) {
        result.frame = FrameFor(s, plan, PlacedPart(s, base, side.half, false), baseRotation);
        return result;
    }
    // Every side takes the cells of the first card, so that backs meet their fronts.
    Box card = TrimmedBox(PageAt(pages, s.firstPage));
    std::optional<CardFit> fit = FitCards(s, card, IsQuarterTurned(baseRotation), result.problem);
    if (fit) {
        result.frame = CardFrame(*fit, s, card);
        result.cardTurns = fit->turned ? 1 : 0;
    }
    return result;
}

// Turns a back side over the flip edge and shifts it as the printer needs.
void PlaceBackSide(const JobSettings& s, const SheetFrame& f, PlannedSide& side) {
    if (!IsPrintedBack(s, side)) return;
    bool turnByAHalf = s.flip == "short";
    if (UsesFoldedSignatures(s)) {
        // Folded sheets are laid out to be turned over their left or right edge as shown: the
        // long edge of a portrait sheet, the short one of a landscape sheet.
        bool portrait = side.rotate == 90 ? f.width >= f.height : f.height >= f.width;
        turnByAHalf = (s.flip == "short") == portrait;
    }
    if (turnByAHalf) TurnSideByAHalf(side, f.width, f.height);
    if (auto shift = ParseBackShift(s.backShift)) ShiftSide(side, shift->first, shift->second);
}

}  // namespace

std::string LayOutSheetSide(const JobSettings& s, const SheetPlan& plan,
                            const std::vector<PageGeometry>& pages, const SheetRecord& record,
                            PlannedSide& side) {
    LayoutGroup group = plan.group;
    const PageGeometry& base = PageAt(pages, side.basePage);
    int baseRotation = NormaliseRotation(base.rotation);
    bool turnedBase = IsQuarterTurned(baseRotation);
    SideFrame sideFrame = FrameOfSide(s, plan, pages, side);
    if (!sideFrame.problem.empty()) return sideFrame.problem;
    const SheetFrame& f = sideFrame.frame;
    if (f.cellWidth < 1 || f.cellHeight < 1) {
        return "Outer margin and gutter leave no room for the cells on a " + NumberText(f.width) +
               " x " + NumberText(f.height) + " points sheet\n";
    }
    if (f.width > paper::kMaxSheetSide || f.height > paper::kMaxSheetSide) {
        return "The sheet would be " + NumberText(f.width) + " x " + NumberText(f.height) +
               " points, larger than a PDF page may be (14400)\n";
    }
    // Every box of the sheet is the whole sheet: its pages keep their own trims and bleeds.
    Box sheet{0, 0, f.width, f.height};
    side.mediaBox = {sheet, true};
    side.cropBox = side.bleedBox = side.trimBox = side.artBox = {sheet, false};

    double creep = CreepShift(s, group, side.index);
    bool foldAcross = f.grid.columns == 2;
    double foldAt = foldAcross ? f.width / 2 : f.height / 2;
    double cellExtent = foldAcross ? f.cellWidth : f.cellHeight;
    if (creep > cellExtent / 4) {
        return "Creep of " + NumberText(s.creep.value) + " mm a sheet moves pages by " +
               NumberText(creep) + " points, more than a quarter of their cells\n";
    }

    Grid shownGrid = plan.grid;
    int count = group == LayoutGroup::TwoToOne ? 1 : shownGrid.columns * shownGrid.rows;
    int cardTurns = sideFrame.cardTurns;
    side.cells.clear();
    side.marks.clear();
    side.trims.clear();
    side.frames.clear();
    side.frameWidth = s.frame.value;
    for (int k = 0; k < count; ++k) {
        auto [left, bottom] = CellCorner(f, shownGrid, k, turnedBase);
        int page = group == LayoutGroup::TwoToOne ? side.basePage
                                                  : (record.IsBlank(k) ? 0 : record.Cell(k));
        if (page == 0) {
            PlannedCell blank;
            blank.x = left;
            blank.y = bottom;
            blank.rect = {left, bottom, left + f.cellWidth, bottom + f.cellHeight};
            side.cells.push_back(blank);
            continue;
        }
        const PageGeometry& geometry = PageAt(pages, page);
        int rotation = NormaliseRotation(geometry.rotation);
        bool turned = turnedBase ? rotation == 270 : (rotation == 180 || rotation == 270);
        double centre = foldAcross ? left + f.cellWidth / 2 : bottom + f.cellHeight / 2;
        double towardFold = centre < foldAt ? creep : -creep;
        bool headDown = UsesFoldedSignatures(s) && FoldTurnsRow(s.fold, k / shownGrid.columns);
        int quarterTurns = ((turned ? 2 : 0) + (headDown ? 2 : 0) + cardTurns) % 4;
        CellFit fit = FitPage(s, f, geometry, side.half, quarterTurns, left, bottom,
                              foldAcross ? towardFold : 0, foldAcross ? 0 : towardFold);
        if (s.repeat && s.bleed.value > 0) {
            auto [column, row] = CellColumnRow(f, left, bottom);
            Box allowance = AllowanceOnPage(CardBleedAllowance(s, f, column, row), quarterTurns);
            if (auto clip = BleedClip(geometry, *fit.cell.clip, allowance, fit.cell.scale))
                fit.cell.clip = clip;
        }
        fit.cell.page = page;
        side.cells.push_back(fit.cell);
        side.trims.push_back(fit.trim);
        if (s.frame.value > 0) side.frames.push_back(fit.trim);
        if (s.cropMarks && !s.repeat) AddCropMarks(fit.trim, side.marks);
    }
    if (s.cropMarks && s.repeat) AddCutMarks(s, side.trims, side.marks);
    if (s.foldMarks && FoldLinesApply(s, group)) AddFoldMarks(f, side.marks);
    PlaceBackSide(s, f, side);
    return {};
}

}  // namespace gridane
