// Sheet templates: a page layout read from JSON in place of the built-in layouts.
//
// A template gives the sides of one sheet, each with its boxes, its /Rotate, its cells and its
// marks; every cell names the page it shows by a formula (TemplateFormula.h) of the sheet
// number s, so that the same sides repeat sheet after sheet:
//
//     {"template": 1, "sheet": [0, 0, 1224, 792],
//      "sides": [{"cells": [{"page": "2*s + 1", "rect": [0, 0, 612, 792]},
//                           {"page": "2*s + 2", "rect": [612, 0, 1224, 792], "at": [612, 0]}]}]}
//
// The whole format is described in the README ("Sheet templates"). `ReadSheetTemplate` refuses
// a template with the JSON path of the first wrong value and the reason; sizes and counts are
// bounded, so that any text is read in bounded time and memory. `BuildTemplatePlan` turns a
// template into the sheet plan the sheet writers write, exactly as a built-in layout's plan.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "gridane/SheetPlan.h"
#include "gridane/TemplateFormula.h"

namespace gridane {

inline constexpr size_t kMaxTemplateBytes = 4 << 20;
inline constexpr size_t kMaxTemplateSides = 20000;     // sides a template lists or makes
inline constexpr size_t kMaxTemplateItems = 400000;    // cells, marks, trims, frames made
inline constexpr size_t kMaxTemplateSideCells = 400;   // cells of one side (a 20 x 20 grid)
inline constexpr size_t kMaxTemplateSideLines = 4000;  // marks, trims or frames of one side
inline constexpr double kMaxTemplateCoordinate = 1e6;  // points, either way from 0

// How a cell's drawing is clipped: to its page's visible box, not at all, or to a given box.
enum class TemplateClip { Visible, None, Given };

struct TemplateCell {
    PageFormula page = PageFormula::Constant(0);
    Box rect{0, 0, 0, 0};
    int quarterTurns = 0;  // clockwise, as PlannedCell::quarterTurns
    // Where the page's origin goes and its scale; unset: the page is centred in `rect`, and
    // shrunk to fit it unless a scale is given.
    std::optional<std::pair<double, double>> at;
    std::optional<double> scale;
    TemplateClip clipKind = TemplateClip::Visible;
    Box clip;
    bool part = false;  // with a given clip: the cell shows that part of its page alone
};

// A line of text in the side's margin (a poster tile's "row 2, column 3"), its left end and
// baseline at `x`, `y` in the side's shown coordinates, within `width` points.
struct TemplateLabel {
    std::string text;
    double x = 0, y = 0;
    double width = 0;
};

struct TemplateSide {
    SheetBox mediaBox, cropBox, bleedBox, trimBox, artBox;
    int rotate = 0;
    std::vector<TemplateCell> cells;
    std::vector<MarkLine> marks;
    std::vector<Box> trims;
    std::vector<Box> frames;
    double frameWidth = 0;
    std::optional<TemplateLabel> label;
};

struct SheetTemplate {
    // The document imposed is the input followed by a copy of itself (page n/2 + k copies k).
    bool doubled = false;
    // Every side is a sheet of its own (poster tiles), not the front or back of one.
    bool oneSided = false;
    // How many sheets; unset: sheets follow until a side shows no page.
    std::optional<PageFormula> sheets;
    std::vector<TemplateSide> sides;  // the sides of sheet s, in writing order
};

// The template of `json`, or why it is refused: "sides[1].cells[3].turn: 45 is not 0, 90,
// 180 or 270".
std::variant<SheetTemplate, std::string> ReadSheetTemplate(std::string_view json);

// The plan of `tmpl` over `pages`, every page of the document imposed (doubled when the
// template says so), for the range of `settings`: the pages before the range are kept in
// front, those after it behind (not with a doubled document, whose second half is the copy).
// Page numbers outside the range give blank cells; the sides end before the first that shows
// no page. The press items of `settings` are placed on every side. `plan.problem` tells why
// no plan can be made (a formula that divides by zero, too many sides).
SheetPlan BuildTemplatePlan(const JobSettings& settings, const std::vector<PageGeometry>& pages,
                            const SheetTemplate& tmpl);

}  // namespace gridane
