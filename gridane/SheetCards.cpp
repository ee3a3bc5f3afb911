#include "gridane/SheetCards.h"

#include <algorithm>
#include <cmath>

#include "paper/SheetSize.h"

namespace gridane {
namespace {

// Two cut lines closer than this are one line: producers round boxes to hundredths.
constexpr double kSameLine = 0.01;

}  // namespace

std::vector<SheetChoice> SheetChoices(const JobSettings& s, bool turnedBase) {
    if (!s.sheet.size) return {};
    const auto* size = std::get_if<paper::SheetSize>(&*s.sheet.size);
    if (!size) return {};
    double shortSide = std::min(size->width, size->height);
    double longSide = std::max(size->width, size->height);
    auto inFrame = [&](double shownWidth, double shownHeight) {
        return turnedBase ? SheetChoice{shownHeight, shownWidth}
                          : SheetChoice{shownWidth, shownHeight};
    };
    std::vector<SheetChoice> choices;
    if (size->orientation != paper::SheetOrientation::Landscape)
        choices.push_back(inFrame(shortSide, longSide));
    if (size->orientation != paper::SheetOrientation::Portrait)
        choices.push_back(inFrame(longSide, shortSide));
    return choices;
}

namespace {

// Cards of `extent` with `gap` between them that fit in `room`.
int CardsAcross(double room, double extent, double gap) {
    if (extent <= 0 || room < extent) return 0;
    return 1 + static_cast<int>(std::floor((room - extent) / (extent + gap) + 1e-9));
}

double BlockExtent(int count, double extent, double gap) {
    return count * extent + (count - 1) * gap;
}

// Whether fit `a` is the better one: more copies, then larger margins; the earlier candidate
// wins a full tie.
bool Better(const CardFit& a, const CardFit& b) {
    if (a.Copies() != b.Copies()) return a.Copies() > b.Copies();
    return a.margin > b.margin + 1e-9;
}

}  // namespace

std::string CheckCardSettings(const JobSettings& s) {
    if (!s.freeGrid.empty() && !ParseGridText(s.freeGrid)) {
        return "Grid '" + s.freeGrid + "' is not columns x rows, each 1 to " +
               std::to_string(kMaxFreeGridSide) + " (for example 3x4)\n";
    }
    if (s.fillOrder != "" && s.fillOrder != "rows" && s.fillOrder != "columns")
        return "Order '" + s.fillOrder + "' is neither rows nor columns\n";
    if (s.fillFrom != "" && s.fillFrom != "top" && s.fillFrom != "bottom")
        return "From '" + s.fillFrom + "' is neither top nor bottom\n";
    if ((!s.fillOrder.empty() || !s.fillFrom.empty()) && s.freeGrid.empty())
        return "Order and from fill a free grid: give it with grid\n";
    auto checkPoints = [](const char* name, const Points& value, double most) -> std::string {
        if (!value.refused.empty())
            return std::string(name) + " '" + value.refused + "' is not a number of points\n";
        if (value.value < 0 || value.value > most) {
            return std::string(name) + " " + NumberText(value.value) + " is out of range: 0 to " +
                   NumberText(most) + " points\n";
        }
        return {};
    };
    if (auto problem = checkPoints("Frame", s.frame, 10); !problem.empty()) return problem;
    if (auto problem = checkPoints("Bleed", s.bleed, 72); !problem.empty()) return problem;
    if (s.flip != "" && s.flip != "long" && s.flip != "short")
        return "Flip '" + s.flip + "' is neither long nor short\n";
    if (!s.backShift.empty()) {
        auto shift = ParseBackShift(s.backShift);
        if (!shift || std::abs(shift->first) > 72 || std::abs(shift->second) > 72) {
            return "Back shift '" + s.backShift + "' is not X,Y in points, each -72 to 72\n";
        }
    }
    if (s.repeat && s.sheet.text.empty() && s.freeGrid.empty())
        return "Repeat needs a sheet size or a grid\n";
    if (s.split && !s.repeat && !s.duplicate && ParseGridText(s.freeGrid)) {
        Grid grid = *ParseGridText(s.freeGrid);
        if (grid.columns * grid.rows % 2 != 0)
            return "Cut and stack needs an even number of cells, not grid " + s.freeGrid + "\n";
    }
    return {};
}

double CardMarkStart(const JobSettings& s) {
    return std::max(kMarkGap, s.bleed.value);
}

double CardEdgeSpace(const JobSettings& s) {
    double space = std::max(double(s.outerMargin), s.bleed.value);
    if (s.cropMarks) space = std::max(space, CardMarkStart(s) + kMarkLength);
    return space;
}

std::optional<CardFit> FitCards(const JobSettings& s, const Box& card, bool turnedBase,
                                std::string& problem) {
    double gap = s.gutter;
    double edge = CardEdgeSpace(s);
    std::optional<Grid> given = ParseGridText(s.freeGrid);
    if (given && turnedBase) given = Grid{given->rows, given->columns};
    std::vector<SheetChoice> sheets = SheetChoices(s, turnedBase);
    std::optional<CardFit> best;
    for (bool turned : {false, true}) {
        // A grid given turns the cards only when it does not fit them upright.
        if (given && turned && best) break;
        double w = turned ? card.Height() : card.Width();
        double h = turned ? card.Width() : card.Height();
        if (sheets.empty()) {
            if (!given || turned) break;
            CardFit fit{*given, false, 0, 0, edge};
            fit.sheetWidth = BlockExtent(given->columns, w, gap) + 2 * edge;
            fit.sheetHeight = BlockExtent(given->rows, h, gap) + 2 * edge;
            return fit;
        }
        for (const SheetChoice& sheet : sheets) {
            Grid grid{CardsAcross(sheet.width - 2 * edge, w, gap),
                      CardsAcross(sheet.height - 2 * edge, h, gap)};
            if (given) {
                if (grid.columns < given->columns || grid.rows < given->rows) continue;
                grid = *given;
            }
            if (grid.columns < 1 || grid.rows < 1) continue;
            grid.columns = std::min(grid.columns, kMaxFreeGridSide);
            grid.rows = std::min(grid.rows, kMaxFreeGridSide);
            double marginX = (sheet.width - BlockExtent(grid.columns, w, gap)) / 2;
            double marginY = (sheet.height - BlockExtent(grid.rows, h, gap)) / 2;
            CardFit fit{grid, turned, sheet.width, sheet.height, std::min(marginX, marginY)};
            if (!best || Better(fit, *best)) best = fit;
        }
    }
    if (!best) {
        problem = sheets.empty() ? "Repeat needs a sheet size or a grid\n"
                                 : "A card of " + NumberText(card.Width()) + " x " +
                                       NumberText(card.Height()) + " points does not fit " +
                                       (given ? "the grid " + s.freeGrid + " " : "") +
                                       "on the sheet at 100% with its margin and bleed\n";
    }
    return best;
}

std::string CardFitText(Grid shownGrid, bool turned) {
    int copies = shownGrid.columns * shownGrid.rows;
    std::string text = std::to_string(copies) + (copies == 1 ? " copy" : " copies") +
                       " per sheet, " + std::to_string(shownGrid.columns) + " x " +
                       std::to_string(shownGrid.rows);
    return turned ? text + ", cards turned" : text;
}

SheetFrame CardFrame(const CardFit& fit, const JobSettings& s, const Box& card) {
    SheetFrame frame;
    frame.width = fit.sheetWidth;
    frame.height = fit.sheetHeight;
    frame.grid = fit.grid;
    frame.cellWidth = fit.turned ? card.Height() : card.Width();
    frame.cellHeight = fit.turned ? card.Width() : card.Height();
    frame.gapX = frame.gapY = s.gutter;
    frame.left = (frame.width - BlockExtent(fit.grid.columns, frame.cellWidth, frame.gapX)) / 2;
    frame.bottom = (frame.height - BlockExtent(fit.grid.rows, frame.cellHeight, frame.gapY)) / 2;
    frame.margin = std::min(frame.left, frame.bottom);
    return frame;
}

Box CardBleedAllowance(const JobSettings& s, const SheetFrame& f, int column, int row) {
    double bleed = s.bleed.value;
    double betweenX = std::min(bleed, f.gapX / 2), betweenY = std::min(bleed, f.gapY / 2);
    // Rows count from the bottom here, as the sheet's y does.
    return {column == 0 ? bleed : betweenX, row == 0 ? bleed : betweenY,
            column == f.grid.columns - 1 ? bleed : betweenX,
            row == f.grid.rows - 1 ? bleed : betweenY};
}

void AddCutMarks(const JobSettings& s, const std::vector<Box>& trims,
                 std::vector<MarkLine>& marks) {
    if (trims.empty()) return;
    Box block = trims.front();
    std::vector<double> xs, ys;
    for (const Box& trim : trims) {
        block = {std::min(block.x1, trim.x1), std::min(block.y1, trim.y1),
                 std::max(block.x2, trim.x2), std::max(block.y2, trim.y2)};
        xs.insert(xs.end(), {trim.x1, trim.x2});
        ys.insert(ys.end(), {trim.y1, trim.y2});
    }
    auto distinct = [](std::vector<double>& values) {
        std::sort(values.begin(), values.end());
        auto close = [](double a, double b) { return std::abs(a - b) < kSameLine; };
        values.erase(std::unique(values.begin(), values.end(), close), values.end());
    };
    distinct(xs);
    distinct(ys);
    double start = CardMarkStart(s), end = start + kMarkLength;
    for (double x : xs) {
        marks.push_back({x, block.y1 - start, x, block.y1 - end, false});
        marks.push_back({x, block.y2 + start, x, block.y2 + end, false});
    }
    for (double y : ys) {
        marks.push_back({block.x1 - start, y, block.x1 - end, y, false});
        marks.push_back({block.x2 + start, y, block.x2 + end, y, false});
    }
}

bool IsPrintedBack(const JobSettings& s, const PlannedSide& side) {
    bool twoSided = s.duplexBacks || s.duplex || s.duplex1423 || s.duplex1342 || s.duplex4123 ||
                    s.outer_in || s.fold != 0;
    return twoSided && side.back;
}

void TurnSideByAHalf(PlannedSide& side, double width, double height) {
    auto turnBox = [&](Box& box) {
        box = {width - box.x2, height - box.y2, width - box.x1, height - box.y1};
    };
    for (PlannedCell& cell : side.cells) {
        cell.x = width - cell.x;
        cell.y = height - cell.y;
        cell.quarterTurns = (cell.quarterTurns + 2) % 4;
        turnBox(cell.rect);
    }
    for (Box& box : side.trims) turnBox(box);
    for (Box& box : side.frames) turnBox(box);
    for (MarkLine& line : side.marks) {
        line = {width - line.x1, height - line.y1, width - line.x2, height - line.y2, line.dashed};
    }
}

void ShiftSide(PlannedSide& side, double dx, double dy) {
    auto shiftBox = [&](Box& box) { box = {box.x1 + dx, box.y1 + dy, box.x2 + dx, box.y2 + dy}; };
    for (PlannedCell& cell : side.cells) {
        cell.x += dx;
        cell.y += dy;
        shiftBox(cell.rect);
    }
    for (Box& box : side.trims) shiftBox(box);
    for (Box& box : side.frames) shiftBox(box);
    for (MarkLine& line : side.marks) {
        line.x1 += dx;
        line.x2 += dx;
        line.y1 += dy;
        line.y2 += dy;
    }
}

std::optional<std::pair<double, double>> ParseBackShift(std::string_view text) {
    size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    std::optional<double> x = ParseDecimal(text.substr(0, comma));
    std::optional<double> y = ParseDecimal(text.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return std::pair{*x, *y};
}

}  // namespace gridane
