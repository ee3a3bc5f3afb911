#include "gridane/SheetLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "gridane/SheetGeometry.h"
#include "pdf/CPdfBoxText.h"

namespace gridane {
namespace {

bool IsQuarterTurned(int rotation) {
    return rotation == 90 || rotation == 270;
}

// A number for a message: at most two decimals, no trailing zeros, whatever the locale.
std::string NumberText(double value) {
    char text[64];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (error != std::errc()) return "?";
    std::string result(text, end);
    while (result.ends_with('0')) result.pop_back();
    if (result.ends_with('.')) result.pop_back();
    return result;
}

Box Intersection(const Box& a, const Box& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

bool IsEmpty(const Box& box) {
    return box.x2 <= box.x1 || box.y2 <= box.y1;
}

Box Grown(const Box& box, double dx, double dy) {
    return {box.x1 - dx, box.y1 - dy, box.x2 + dx, box.y2 + dy};
}

// The layouts whose sheets are folded on the lines between their cells.
bool FoldLinesApply(const JobSettings& s, LayoutGroup group) {
    return group == LayoutGroup::Up2 || (group == LayoutGroup::Up4 && s.ab4);
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
    SheetFrame frame{width, height, margin, 0, 0, gapX, gapY, grid};
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
        return {frame.margin + (k / shownGrid.columns) * stepX,
                frame.margin + (k % shownGrid.columns) * stepY};
    }
    return {frame.margin + (k % shownGrid.columns) * stepX,
            frame.margin + (shownGrid.rows - 1 - k / shownGrid.columns) * stepY};
}

// The part of a page a side shows: its trimmed box, or in the 2-to-1 group one half of its
// visible box (the other half in the page's own coordinates when the page is drawn turned).
Box PlacedPart(const JobSettings& s, const PageGeometry& page, PageHalf half, bool turned) {
    if (half == PageHalf::Whole) return TrimmedBox(page);
    if (turned) half = half == PageHalf::First ? PageHalf::Second : PageHalf::First;
    return HalfPageBox(page.VisibleBox(), TwoToOneCut(s, page), half);
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

// Dashed marks in the margin where the sheet is folded: the middle of the gap between the two
// columns (and rows) of cells.
void AddFoldMarks(const SheetFrame& f, std::vector<MarkLine>& marks) {
    double bottom = f.margin, top = f.height - f.margin;
    double left = f.margin, right = f.width - f.margin;
    if (f.grid.columns == 2) {
        double x = f.margin + f.cellWidth + f.gapX / 2;
        marks.push_back({x, bottom - kMarkGap, x, bottom - kMarkSpace, true});
        marks.push_back({x, top + kMarkGap, x, top + kMarkSpace, true});
    }
    if (f.grid.rows == 2) {
        double y = f.margin + f.cellHeight + f.gapY / 2;
        marks.push_back({left - kMarkGap, y, left - kMarkSpace, y, true});
        marks.push_back({right + kMarkGap, y, right + kMarkSpace, y, true});
    }
}

struct CellFit {
    PlannedCell cell;
    Box trim;  // where the page's trimmed box lands, before creep
};

// Fits the page into the cell at (left, bottom): scaled, centred, moved by the creep.
CellFit FitPage(const JobSettings& s, const SheetFrame& f, const PageGeometry& page, PageHalf half,
                bool turned, double left, double bottom, double creepX, double creepY) {
    Box placed = PlacedPart(s, page, half, turned);
    CellFit fit;
    PlannedCell& cell = fit.cell;
    cell.rect = {left, bottom, left + f.cellWidth, bottom + f.cellHeight};
    cell.scale = CellScale(f, placed, s.fitToCell);
    double width = placed.Width() * cell.scale, height = placed.Height() * cell.scale;
    double x = left + (f.cellWidth - width) / 2, y = bottom + (f.cellHeight - height) / 2;
    fit.trim = {x, y, x + width, y + height};
    x += creepX;
    y += creepY;
    cell.quarterTurns = turned ? 2 : 0;
    cell.x = turned ? x + cell.scale * placed.x2 : x - cell.scale * placed.x1;
    cell.y = turned ? y + cell.scale * placed.y2 : y - cell.scale * placed.y1;
    cell.clip = placed;
    if (s.cropMarks && half == PageHalf::Whole) {
        // The bleed shows up to the marks, and never past half the gap to a neighbour.
        double allowX = f.grid.columns > 1
                            ? std::min(kMarkGap, (f.cellWidth - width) / 2 + f.gapX / 2)
                            : kMarkGap;
        double allowY = f.grid.rows > 1
                            ? std::min(kMarkGap, (f.cellHeight - height) / 2 + f.gapY / 2)
                            : kMarkGap;
        Box bleed =
            page.hasBleedBox ? Intersection(page.bleedBox, page.mediaBox) : page.VisibleBox();
        Box clip = Intersection(bleed, Grown(placed, allowX / cell.scale, allowY / cell.scale));
        if (!IsEmpty(clip)) cell.clip = clip;
    }
    return fit;
}

const PageGeometry& PageAt(const std::vector<PageGeometry>& pages, int page) {
    static const PageGeometry kNoPage;
    if (page < 1 || static_cast<size_t>(page) > pages.size()) return kNoPage;
    return pages[static_cast<size_t>(page) - 1];
}

}  // namespace

bool UsesSheetLayout(const JobSettings& s) {
    return !s.sheet.text.empty() || s.fitToCell || s.outerMargin != 0 || s.gutter != 0 ||
           s.creep.value != 0 || !s.creep.refused.empty() || s.cropMarks || s.foldMarks;
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

std::string LayOutSheetSide(const JobSettings& s, const SheetPlan& plan,
                            const std::vector<PageGeometry>& pages, const SheetRecord& record,
                            PlannedSide& side) {
    LayoutGroup group = plan.group;
    const PageGeometry& base = PageAt(pages, side.basePage);
    int baseRotation = NormaliseRotation(base.rotation);
    bool turnedBase = IsQuarterTurned(baseRotation);
    Box basePart = PlacedPart(s, base, side.half, false);
    SheetFrame f = FrameFor(s, plan, basePart, baseRotation);
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
    int count = group == LayoutGroup::TwoToOne ? 1 : CellCount(group);
    side.cells.clear();
    side.marks.clear();
    side.trims.clear();
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
        CellFit fit = FitPage(s, f, geometry, side.half, turned, left, bottom,
                              foldAcross ? towardFold : 0, foldAcross ? 0 : towardFold);
        fit.cell.page = page;
        side.cells.push_back(fit.cell);
        side.trims.push_back(fit.trim);
        if (s.cropMarks) AddCropMarks(fit.trim, side.marks);
    }
    if (s.foldMarks && FoldLinesApply(s, group)) AddFoldMarks(f, side.marks);
    return {};
}

}  // namespace gridane
