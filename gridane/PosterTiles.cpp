#include "gridane/PosterTiles.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "gridane/PressSheet.h"
#include "gridane/SheetCards.h"
#include "gridane/SheetLayout.h"

namespace gridane {
namespace {

// The most points of picture two tiles may share.
constexpr double kMostOverlap = 72;

// A page as a viewer shows it: its trimmed box, the quarter turns of its /Rotate, and the
// size of the box once turned.
struct ShownPage {
    Box placed;
    int turns = 0;
    double width = 0;
    double height = 0;
};

ShownPage ShownOf(const PageGeometry& page) {
    ShownPage shown{TrimmedBox(page), NormaliseRotation(page.rotation) / 90, 0, 0};
    bool sideways = shown.turns % 2 == 1;
    shown.width = sideways ? shown.placed.Height() : shown.placed.Width();
    shown.height = sideways ? shown.placed.Width() : shown.placed.Height();
    return shown;
}

// The extent `count` tiles of `area` cover when neighbours share `overlap`.
double TiledExtent(int count, double area, double overlap) {
    return count * area - (count - 1) * overlap;
}

// The fewest tiles of `area` sharing `overlap` that cover `extent`.
int TilesAcross(double extent, double area, double overlap) {
    if (extent <= area) return 1;
    return static_cast<int>(std::ceil((extent - overlap) / (area - overlap) - 1e-9));
}

// The scale of a page shown `shown` that fits the poster: turned like the page unless the
// poster's orientation is given.
double PosterScale(const paper::SheetSize& poster, const ShownPage& shown) {
    double shortSide = std::min(poster.width, poster.height);
    double longSide = std::max(poster.width, poster.height);
    bool landscape =
        poster.orientation == paper::SheetOrientation::Landscape ||
        (poster.orientation == paper::SheetOrientation::Automatic && shown.width > shown.height);
    double width = landscape ? longSide : shortSide;
    double height = landscape ? shortSide : longSide;
    return std::min(width / shown.width, height / shown.height);
}

Box Intersection(const Box& a, const Box& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

// The sheet rectangle `area` in the page's own coordinates, for a drawing at (x, y) turned
// clockwise by `turns` and scaled (the inverse of PlannedCell's mapping).
Box AreaOnPage(const Box& area, int turns, double scale, double x, double y) {
    auto toPage = [&](double sx, double sy) -> std::pair<double, double> {
        double dx = (sx - x) / scale, dy = (sy - y) / scale;
        switch (turns) {
            case 1:
                return {-dy, dx};
            case 2:
                return {-dx, -dy};
            case 3:
                return {dy, -dx};
            default:
                return {dx, dy};
        }
    };
    auto [ax, ay] = toPage(area.x1, area.y1);
    auto [bx, by] = toPage(area.x2, area.y2);
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

std::string TileLabel(int page, bool severalPages, int row, int column) {
    std::string label = severalPages ? "page " + std::to_string(page) + ", " : "";
    return label + "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

// Tile (column, row), counted from the top left, of `page` tiled as `tiling`.
PlannedSide TileSide(const PosterTiling& t, const PageGeometry& geometry, int page, int column,
                     int row, double overlap, std::string label) {
    ShownPage shown = ShownOf(geometry);
    double areaWidth = t.AreaWidth(), areaHeight = t.AreaHeight();
    double tiledHeight = TiledExtent(t.grid.rows, areaHeight, overlap);
    // The tile's picture area in the whole tiled area, and where that lies on the sheet.
    double areaLeft = column * (areaWidth - overlap);
    double areaBottom = tiledHeight - areaHeight - row * (areaHeight - overlap);
    Box area{t.margin, t.margin, t.margin + areaWidth, t.margin + areaHeight};

    PlannedSide side;
    side.basePage = page;
    Box sheet{0, 0, t.sheetWidth, t.sheetHeight};
    side.mediaBox = {sheet, true};
    side.cropBox = side.bleedBox = side.trimBox = side.artBox = {sheet, false};
    side.shownWidth = t.sheetWidth;
    side.shownHeight = t.sheetHeight;

    PlannedCell cell;
    cell.rect = area;
    cell.scale = t.scale;
    cell.quarterTurns = shown.turns;
    std::tie(cell.x, cell.y) =
        TurnedOrigin(shown.placed, shown.turns, t.scale, t.margin + t.pictureX - areaLeft,
                     t.margin + t.pictureY - areaBottom);
    Box clip = Intersection(AreaOnPage(area, shown.turns, t.scale, cell.x, cell.y), shown.placed);
    // A tile beside a picture narrower than the tiles shows none of it.
    if (clip.x2 > clip.x1 && clip.y2 > clip.y1) {
        cell.page = page;
        cell.clip = clip;
        cell.showsPart = true;
    }
    side.cells = {cell};

    // Cut along the outer edge of the overlap with the left and upper neighbours.
    if (column > 0) side.marks.push_back({area.x1, 0, area.x1, t.sheetHeight, false});
    if (row > 0) side.marks.push_back({0, area.y2, t.sheetWidth, area.y2, false});

    PlaceSideLabel(side, std::move(label), t.margin, t.margin / 2 - kSlugSize * 0.35, areaWidth);
    return side;
}

}  // namespace

bool UsesPosterTiles(const JobSettings& s) {
    return !s.posterTiles.empty() || !s.posterSize.text.empty();
}

std::string CheckPosterSettings(const JobSettings& s) {
    if (!s.overlap.refused.empty())
        return "Overlap '" + s.overlap.refused + "' is not a number of points\n";
    if (s.overlap.value < 0 || s.overlap.value > kMostOverlap) {
        return "Overlap " + NumberText(s.overlap.value) + " is out of range: 0 to " +
               NumberText(kMostOverlap) + " points\n";
    }
    if (!UsesPosterTiles(s)) {
        return s.overlap.value != 0 ? "Overlap is shared by poster tiles: give tile or poster\n"
                                    : std::string();
    }
    if (!s.posterTiles.empty() && !s.posterSize.text.empty())
        return "Tile and poster both size the poster: give one of them\n";
    if (!s.posterTiles.empty() && !ParseGridText(s.posterTiles)) {
        return "Tile '" + s.posterTiles + "' is not columns x rows, each 1 to " +
               std::to_string(kMaxFreeGridSide) + " (for example 3x2)\n";
    }
    if (s.posterSize.size) {
        if (auto* problem = std::get_if<std::string>(&*s.posterSize.size))
            return "Poster: " + *problem;
    }
    if (!s.sheet.size)
        return "Poster tiles need the size of the sheets they are printed on: give sheet\n";
    // Only the range, the sheet and its margin go with the tiles: every other setting lays
    // out, orders or marks sheets in a way a tile has no room for.
    JobSettings others = s;
    others.firstPage = 1;
    others.lastPage = kToLastPage;
    others.sheet = {};
    others.outerMargin = 0;
    others.posterTiles.clear();
    others.posterSize = {};
    others.overlap = {};
    // A template replaces the tiles, and printing one is no layout of its own.
    others.templateFile.clear();
    others.printTemplate = false;
    if (others != JobSettings{}) {
        return "Poster tiles combine only with sheet, outer_margin, overlap, s and e: not with a "
               "layout, grid, booklet, marks or slug\n";
    }
    return {};
}

std::optional<PosterTiling> TilePage(const JobSettings& s, const PageGeometry& page,
                                     std::string& problem) {
    ShownPage shown = ShownOf(page);
    double overlap = s.overlap.value;
    std::optional<Grid> given = ParseGridText(s.posterTiles);
    const paper::SheetSize* poster = nullptr;
    if (s.posterSize.size) poster = std::get_if<paper::SheetSize>(&*s.posterSize.size);
    if (shown.width < 1 || shown.height < 1 || (!given && !poster)) {
        problem = "A page of " + NumberText(shown.width) + " x " + NumberText(shown.height) +
                  " points cannot be tiled\n";
        return std::nullopt;
    }
    double posterScale = poster ? PosterScale(*poster, shown) : 1;
    std::optional<PosterTiling> best;
    for (const SheetChoice& sheet : SheetChoices(s, false)) {
        PosterTiling t;
        t.sheetWidth = sheet.width;
        t.sheetHeight = sheet.height;
        t.margin = std::max(double(s.outerMargin), kTileMargin);
        double areaWidth = t.AreaWidth(), areaHeight = t.AreaHeight();
        if (areaWidth - overlap < 1 || areaHeight - overlap < 1) continue;
        if (given) {
            t.grid = *given;
            t.scale = std::min(TiledExtent(t.grid.columns, areaWidth, overlap) / shown.width,
                               TiledExtent(t.grid.rows, areaHeight, overlap) / shown.height);
        } else {
            t.scale = posterScale;
            t.grid = {TilesAcross(shown.width * t.scale, areaWidth, overlap),
                      TilesAcross(shown.height * t.scale, areaHeight, overlap)};
        }
        t.pictureX = (TiledExtent(t.grid.columns, areaWidth, overlap) - shown.width * t.scale) / 2;
        t.pictureY = (TiledExtent(t.grid.rows, areaHeight, overlap) - shown.height * t.scale) / 2;
        int tiles = t.grid.columns * t.grid.rows;
        bool better = !best || (given ? t.scale > best->scale + 1e-9
                                      : tiles < best->grid.columns * best->grid.rows);
        if (better) best = t;
    }
    if (!best) {
        problem = "The sheet leaves no picture between tile margins of " +
                  NumberText(std::max(double(s.outerMargin), kTileMargin)) +
                  " points and an overlap of " + NumberText(overlap) + " points\n";
    } else if (best->grid.columns > kMaxFreeGridSide || best->grid.rows > kMaxFreeGridSide) {
        problem = "Poster " + s.posterSize.text + " needs " + std::to_string(best->grid.columns) +
                  " x " + std::to_string(best->grid.rows) + " tiles of sheet " + s.sheet.text +
                  ", more than " + std::to_string(kMaxFreeGridSide) +
                  " a side: give a larger sheet or a smaller poster\n";
        best.reset();
    }
    return best;
}

SheetPlan BuildPosterPlan(const JobSettings& s, const std::vector<PageGeometry>& pages) {
    SheetPlan plan;
    plan.group = LayoutGroup::Free;
    plan.grid = {1, 1};
    plan.lastPage = s.lastPage;
    int pageCount = static_cast<int>(pages.size());
    int first = std::max(s.firstPage, 1);
    int last = std::min(s.lastPage, pageCount);
    for (int page = 1; page < first && page <= pageCount; ++page) plan.keptBefore.push_back(page);
    for (int page = first; page <= last; ++page) {
        const PageGeometry& geometry = pages[static_cast<size_t>(page) - 1];
        std::optional<PosterTiling> tiling = TilePage(s, geometry, plan.problem);
        if (!tiling) return plan;
        for (int row = 0; row < tiling->grid.rows; ++row) {
            for (int column = 0; column < tiling->grid.columns; ++column) {
                PlannedSide side = TileSide(*tiling, geometry, page, column, row, s.overlap.value,
                                            TileLabel(page, last > first, row, column));
                side.index = static_cast<int>(plan.sides.size());
                side.sheetNumber = side.index + 1;  // every tile a sheet of its own
                plan.sides.push_back(std::move(side));
            }
        }
    }
    for (int page = last + 1; page <= pageCount; ++page) plan.keptAfter.push_back(page);
    return plan;
}

}  // namespace gridane
