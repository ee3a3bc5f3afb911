#include "gridane/TemplatePrint.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "gridane/SheetTemplate.h"

namespace gridane {
namespace {

using Json = nlohmann::ordered_json;

// Lines of the printed template stay within this width where they can.
constexpr size_t kLineWidth = 96;

// Whole numbers print without a fraction; -0 keeps its sign, which the sheet writer shows.
Json Number(double value) {
    bool whole = value == std::floor(value) && std::fabs(value) < 1e15;
    if (whole && !(value == 0 && std::signbit(value))) return static_cast<int64_t>(value);
    return value;
}

Json BoxJson(const Box& box) {
    return Json::array({Number(box.x1), Number(box.y1), Number(box.x2), Number(box.y2)});
}

Json CellJson(const PlannedCell& cell, const std::vector<PageGeometry>& pages) {
    Json json = {{"page", cell.page}, {"rect", BoxJson(cell.rect)}};
    if (cell.quarterTurns != 0) json["turn"] = cell.quarterTurns * 90;
    json["at"] = Json::array({Number(cell.x), Number(cell.y)});
    if (cell.scale != 1) json["scale"] = Number(cell.scale);
    bool shown = cell.page >= 1 && static_cast<size_t>(cell.page) <= pages.size();
    // A shown page is clipped to its visible box unless the template says otherwise.
    if (shown && !cell.clip) json["clip"] = nullptr;
    if (shown && cell.clip &&
        *cell.clip != pages[static_cast<size_t>(cell.page) - 1].VisibleBox()) {
        json["clip"] = BoxJson(*cell.clip);
    }
    if (shown && cell.clip && cell.showsPart) json["part"] = true;
    return json;
}

Json SideJson(const PlannedSide& side, const std::vector<PageGeometry>& pages, bool sheetGiven) {
    Json json = Json::object();
    if (!sheetGiven) json["media"] = BoxJson(side.mediaBox.box);
    for (SheetBoxKey key :
         {SheetBoxKey::CropBox, SheetBoxKey::BleedBox, SheetBoxKey::TrimBox, SheetBoxKey::ArtBox}) {
        const SheetBox& box = side.BoxFor(key);
        const char* name = key == SheetBoxKey::CropBox    ? "crop"
                           : key == SheetBoxKey::BleedBox ? "bleed"
                           : key == SheetBoxKey::TrimBox  ? "trim"
                                                          : "art";
        if (box.insertWhenAbsent) {
            json[name] = BoxJson(box.box);
        } else if (box.box != side.mediaBox.box) {
            json[name] = {{"box", BoxJson(box.box)}, {"where_present", true}};
        }
    }
    if (side.rotate != 0) json["rotate"] = side.rotate;
    json["cells"] = Json::array();
    for (const PlannedCell& cell : side.cells) json["cells"].push_back(CellJson(cell, pages));
    auto boxes = [&](const char* key, const std::vector<Box>& list) {
        if (list.empty()) return;
        json[key] = Json::array();
        for (const Box& box : list) json[key].push_back(BoxJson(box));
    };
    if (!side.marks.empty()) {
        json["marks"] = Json::array();
        for (const MarkLine& mark : side.marks) {
            Json line = BoxJson({mark.x1, mark.y1, mark.x2, mark.y2});
            json["marks"].push_back(mark.dashed ? Json{{"line", line}, {"dashed", true}} : line);
        }
    }
    boxes("trims", side.trims);
    boxes("frames", side.frames);
    if (side.frameWidth != 0) json["frame_width"] = Number(side.frameWidth);
    if (!side.press.label.empty()) {
        json["label"] = {{"text", side.press.label},
                         {"at", Json::array({Number(side.press.slugX), Number(side.press.slugY)})},
                         {"width", Number(side.press.slugWidth)}};
    }
    return json;
}

std::string Inline(const Json& value) {
    std::string text;
    if (value.is_array()) {
        for (const Json& item : value) text += (text.empty() ? "" : ", ") + Inline(item);
        return "[" + text + "]";
    }
    if (value.is_object()) {
        for (const auto& [key, item] : value.items()) {
            text += (text.empty() ? "" : ", ") + Json(key).dump() + ": " + Inline(item);
        }
        return "{" + text + "}";
    }
    return value.dump();
}

// One value a line where the whole does not fit on one.
std::string Pretty(const Json& value, const std::string& indent) {
    std::string flat = Inline(value);
    if (indent.size() + flat.size() <= kLineWidth || !value.is_structured() || value.empty()) {
        return flat;
    }
    std::string inner = indent + "  ";
    std::string text;
    for (const auto& [key, item] : value.items()) {
        text += text.empty() ? "\n" : ",\n";
        text += inner + (value.is_object() ? Json(key).dump() + ": " : "") + Pretty(item, inner);
    }
    return (value.is_object() ? "{" : "[") + text + "\n" + indent + (value.is_object() ? "}" : "]");
}

// " + k" or " - k", or nothing for 0.
std::string Offset(int64_t k) {
    if (k == 0) return "";
    return (k > 0 ? " + " : " - ") + std::to_string(k < 0 ? -k : k);
}

// The formula a*s + c of the pages a cell shows on sheets 0, 1, ... (0 where it is blank), or
// null when they follow no such rule. Pages counting down are counted from the last page n of
// the document ("n - 2*s - 1"), so that the template suits other page counts too.
Json FittedFormula(const std::vector<int>& pages, int64_t pageCount) {
    std::vector<size_t> shown;
    for (size_t t = 0; t < pages.size(); ++t) {
        if (pages[t] != 0) shown.push_back(t);
    }
    if (shown.empty()) return 0;
    if (shown.size() < 2) return nullptr;
    int64_t rise = pages[shown[1]] - pages[shown[0]];
    int64_t run = static_cast<int64_t>(shown[1] - shown[0]);
    if (rise % run != 0) return nullptr;
    int64_t a = rise / run, c = pages[shown[0]] - a * static_cast<int64_t>(shown[0]);
    if (a == 0) return c;
    std::string term = a == 1 ? "s" : a == -1 ? "-s" : std::to_string(a) + "*s";
    if (a < 0) return "n - " + term.substr(1) + Offset(c - pageCount);
    return term + Offset(c);
}

// The sides of `explicitSides` as `period` sides repeated with fitted formulas, or null.
Json RepeatedSides(const Json& explicitSides, size_t period, int64_t pageCount) {
    size_t count = explicitSides.size();
    if (count < 2 * period) return nullptr;
    Json sides = Json::array();
    for (size_t j = 0; j < period; ++j) {
        Json side = explicitSides[j];
        for (size_t k = 0; k < side["cells"].size(); ++k) {
            std::vector<int> pages;
            for (size_t i = j; i < count; i += period) {
                const Json& cells = explicitSides[i]["cells"];
                if (cells.size() != side["cells"].size()) return nullptr;
                pages.push_back(cells[k]["page"].get<int>());
            }
            Json formula = FittedFormula(pages, pageCount);
            if (formula.is_null()) return nullptr;
            side["cells"][k]["page"] = formula;
        }
        sides.push_back(std::move(side));
    }
    return sides;
}

// How many sheets repeated sides make, tried in turn: as many as the pages fill (none given),
// whole sheets of the pages, as a formula of n, then the plan's own count.
std::vector<Json> SheetCounts(size_t sheets, int64_t pageCount) {
    std::vector<Json> counts{nullptr};
    int64_t perSheet =
        (pageCount + static_cast<int64_t>(sheets) - 1) / static_cast<int64_t>(sheets);
    if (perSheet > 1)
        counts.push_back("(n" + Offset(perSheet - 1) + ") / " + std::to_string(perSheet));
    counts.push_back(sheets);
    return counts;
}

// What the sheet writer writes of a plan: the fields only a preview reads are cleared.
SheetPlan WrittenPart(SheetPlan plan) {
    for (PlannedSide& side : plan.sides) {
        side.secondBoxes = false;
        side.half = PageHalf::Whole;
        for (PlannedCell& cell : side.cells) cell.shownTurns = 0;
    }
    return plan;
}

bool SameWrittenSheets(const SheetPlan& a, const SheetPlan& b) {
    if (a.keptBefore != b.keptBefore || a.keptAfter != b.keptAfter) return false;
    if (a.sides.size() != b.sides.size()) return false;
    for (size_t k = 0; k < a.sides.size(); ++k) {
        const PlannedSide& x = a.sides[k];
        const PlannedSide& y = b.sides[k];
        bool same = x.index == y.index && x.sheetNumber == y.sheetNumber && x.back == y.back &&
                    x.baseCell == y.baseCell && x.basePage == y.basePage &&
                    x.mediaBox == y.mediaBox && x.cropBox == y.cropBox &&
                    x.bleedBox == y.bleedBox && x.trimBox == y.trimBox && x.artBox == y.artBox &&
                    x.rotate == y.rotate && x.press == y.press && x.cells == y.cells &&
                    x.marks == y.marks && x.trims == y.trims && x.frames == y.frames &&
                    x.frameWidth == y.frameWidth;
        if (!same) return false;
    }
    return true;
}

// The 2-to-1 sides are written in the 2-up form, with a blank cell beside their one cell; a
// template, which knows no groups, gives that cell itself.
SheetPlan WithTwoToOneBlankCells(const JobSettings& settings,
                                 const std::vector<PageGeometry>& pages, SheetPlan plan) {
    if (plan.group != LayoutGroup::TwoToOne) return plan;
    for (PlannedSide& side : plan.sides) {
        Box media = side.basePage >= 1 && static_cast<size_t>(side.basePage) <= pages.size()
                        ? pages[static_cast<size_t>(side.basePage) - 1].mediaBox
                        : Box{0, 0, 0, 0};
        PlannedCell blank;
        blank.x = settings.rightMargin + media.x2;
        blank.rect = {blank.x, media.y1, blank.x + media.Width(), media.y2};
        side.cells.push_back(blank);
    }
    return plan;
}

// Whether `text` reads back as a template whose plan writes the sheets of `target`.
bool ReadsBackAs(const std::string& text, const JobSettings& settings,
                 const std::vector<PageGeometry>& pages, const SheetPlan& target) {
    auto tmpl = ReadSheetTemplate(text);
    if (!std::holds_alternative<SheetTemplate>(tmpl)) return false;
    SheetPlan plan = BuildTemplatePlan(settings, pages, std::get<SheetTemplate>(tmpl));
    return plan.problem.empty() && SameWrittenSheets(WrittenPart(plan), target);
}

// Whether every side after the first is a sheet of its own.
bool OneSided(const SheetPlan& plan) {
    return plan.sides.size() > 1 &&
           std::all_of(plan.sides.begin(), plan.sides.end(), [](const PlannedSide& side) {
               return !side.back && side.sheetNumber == side.index + 1;
           });
}

bool AllSidesShare(const SheetPlan& plan, const SheetBox& media) {
    for (const PlannedSide& side : plan.sides) {
        if (side.mediaBox != media) return false;
    }
    return true;
}

}  // namespace

PrintedTemplate PrintSheetTemplate(const JobSettings& settings,
                                   const std::vector<PageGeometry>& pages, const SheetPlan& plan) {
    if (plan.sides.empty()) return {"", "No template: the settings place no page on a sheet\n"};
    SheetPlan target = WrittenPart(WithTwoToOneBlankCells(settings, pages, plan));
    Json root = {{"template", 1}};
    if (plan.group == LayoutGroup::TwoToOne) root["doubled"] = true;
    if (OneSided(target)) root["one_sided"] = true;
    const SheetBox& firstMedia = target.sides.front().mediaBox;
    bool sheetGiven = firstMedia.insertWhenAbsent && AllSidesShare(target, firstMedia);
    if (sheetGiven) root["sheet"] = BoxJson(firstMedia.box);
    Json explicitSides = Json::array();
    for (const PlannedSide& side : target.sides)
        explicitSides.push_back(SideJson(side, pages, sheetGiven));

    int64_t pageCount = static_cast<int64_t>(pages.size());
    for (size_t period : {1, 2}) {
        Json repeated = RepeatedSides(explicitSides, period, pageCount);
        if (repeated.is_null()) continue;
        for (Json& count : SheetCounts((target.sides.size() + period - 1) / period, pageCount)) {
            Json candidate = root;
            if (!count.is_null()) candidate["sheets"] = std::move(count);
            candidate["sides"] = repeated;
            std::string text = Pretty(candidate, "");
            if (ReadsBackAs(text, settings, pages, target)) return {text, ""};
        }
    }
    root["sheets"] = 1;
    root["sides"] = std::move(explicitSides);
    std::string text = Pretty(root, "");
    if (ReadsBackAs(text, settings, pages, target)) return {text, ""};
    return {"", "No template: this layout cannot be written as a template\n"};
}

}  // namespace gridane
