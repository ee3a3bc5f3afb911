// Reading a sheet template from JSON (SheetTemplate.h): the text is parsed by nlohmann/json with
// a depth bound, then every value is checked where it stands, so that a refusal names its path.
#include <cmath>
#include <nlohmann/json.hpp>
#include <tuple>
#include <utility>

#include "gridane/PressSheet.h"
#include "gridane/SheetTemplate.h"

namespace gridane {
namespace {

using Json = nlohmann::json;

// Deeper JSON than any template needs is refused while it is parsed.
constexpr int kMaxJsonDepth = 8;

// A refusal: the path of the value and what is wrong with it.
struct Refusal {
    std::string path;
    std::string reason;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
    throw Refusal{path, reason};
}

std::string Shown(const Json& value) {
    std::string text = value.dump();
    return text.size() > 40 ? text.substr(0, 37) + "..." : text;
}

std::string Item(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

std::string Member(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

// Refuses any key of `object` not in `known` (a misspelt key would be silently ignored).
void CheckKeys(const Json& object, const std::string& path,
               std::initializer_list<const char*> known) {
    for (const auto& [key, value] : object.items()) {
        bool found = false;
        for (const char* name : known) found = found || key == name;
        if (!found) Refuse(Member(path, key), "unknown key");
    }
}

const Json& ObjectAt(const Json& value, const std::string& path) {
    if (!value.is_object()) Refuse(path, Shown(value) + " is not an object");
    return value;
}

const Json& ArrayAt(const Json& value, const std::string& path, size_t most) {
    if (!value.is_array()) Refuse(path, Shown(value) + " is not an array");
    if (value.size() > most) Refuse(path, "more than " + std::to_string(most) + " items");
    return value;
}

double NumberAt(const Json& value, const std::string& path, double least, double most) {
    if (!value.is_number()) Refuse(path, Shown(value) + " is not a number");
    double number = value.get<double>();
    if (!std::isfinite(number) || number < least || number > most) {
        Refuse(path, Shown(value) + " is not between " + Shown(Json(least)) + " and " +
                         Shown(Json(most)));
    }
    return number;
}

bool FlagAt(const Json& value, const std::string& path) {
    if (!value.is_boolean()) Refuse(path, Shown(value) + " is not true or false");
    return value.get<bool>();
}

double CoordinateAt(const Json& value, const std::string& path) {
    return NumberAt(value, path, -kMaxTemplateCoordinate, kMaxTemplateCoordinate);
}

// [x, y]
std::pair<double, double> PointAt(const Json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 2) Refuse(path, Shown(value) + " is not [x, y]");
    return {CoordinateAt(value[0], Item(path, 0)), CoordinateAt(value[1], Item(path, 1))};
}

Box BoxAt(const Json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 4)
        Refuse(path, Shown(value) + " is not [x1, y1, x2, y2]");
    return {CoordinateAt(value[0], Item(path, 0)), CoordinateAt(value[1], Item(path, 1)),
            CoordinateAt(value[2], Item(path, 2)), CoordinateAt(value[3], Item(path, 3))};
}

// 0, 90, 180 or 270 degrees, as quarter turns.
int QuarterTurnsAt(const Json& value, const std::string& path) {
    if (!value.is_number_integer() || value.get<int64_t>() % 90 != 0 || value.get<int64_t>() < 0 ||
        value.get<int64_t>() > 270) {
        Refuse(path, Shown(value) + " is not 0, 90, 180 or 270");
    }
    return static_cast<int>(value.get<int64_t>() / 90);
}

PageFormula FormulaAt(const Json& value, const std::string& path) {
    if (value.is_number_integer()) {
        int64_t page = value.get<int64_t>();
        if (page < -1'000'000'000 || page > 1'000'000'000)
            Refuse(path, Shown(value) + " is too large");
        return PageFormula::Constant(page);
    }
    if (!value.is_string()) Refuse(path, Shown(value) + " is neither a whole number nor a formula");
    auto formula = PageFormula::Parse(value.get<std::string>());
    if (auto* problem = std::get_if<std::string>(&formula)) Refuse(path, *problem);
    return std::get<PageFormula>(formula);
}

// A box of a side: [x1, y1, x2, y2], written always, or {"box": [...], "where_present": true},
// which replaces only a box the side's base page has.
SheetBox SideBoxAt(const Json& value, const std::string& path) {
    if (!value.is_object()) return {BoxAt(value, path), true};
    CheckKeys(value, path, {"box", "where_present"});
    if (!value.contains("box")) Refuse(Member(path, "box"), "missing");
    bool wherePresent = false;
    if (value.contains("where_present"))
        wherePresent = FlagAt(value["where_present"], Member(path, "where_present"));
    return {BoxAt(value["box"], Member(path, "box")), !wherePresent};
}

TemplateCell CellAt(const Json& value, const std::string& path) {
    ObjectAt(value, path);
    CheckKeys(value, path, {"page", "rect", "turn", "at", "scale", "clip", "part"});
    TemplateCell cell;
    for (const char* required : {"page", "rect"}) {
        if (!value.contains(required)) Refuse(Member(path, required), "missing");
    }
    cell.page = FormulaAt(value["page"], Member(path, "page"));
    cell.rect = BoxAt(value["rect"], Member(path, "rect"));
    if (value.contains("turn"))
        cell.quarterTurns = QuarterTurnsAt(value["turn"], Member(path, "turn"));
    if (value.contains("at")) cell.at = PointAt(value["at"], Member(path, "at"));
    if (value.contains("scale"))
        cell.scale = NumberAt(value["scale"], Member(path, "scale"), 1e-4, 1e4);
    if (value.contains("clip")) {
        const Json& clip = value["clip"];
        cell.clipKind = clip.is_null() ? TemplateClip::None : TemplateClip::Given;
        if (!clip.is_null()) cell.clip = BoxAt(clip, Member(path, "clip"));
    }
    if (value.contains("part")) {
        if (cell.clipKind != TemplateClip::Given) Refuse(Member(path, "part"), "needs a clip box");
        cell.part = FlagAt(value["part"], Member(path, "part"));
    }
    return cell;
}

// A mark: [x1, y1, x2, y2] (a cut mark) or {"line": [...], "dashed": true} (a fold mark).
MarkLine MarkAt(const Json& value, const std::string& path) {
    bool dashed = false;
    const Json* line = &value;
    std::string linePath = path;
    if (value.is_object()) {
        CheckKeys(value, path, {"line", "dashed"});
        if (!value.contains("line")) Refuse(Member(path, "line"), "missing");
        line = &value["line"];
        linePath = Member(path, "line");
        if (value.contains("dashed")) dashed = FlagAt(value["dashed"], Member(path, "dashed"));
    }
    Box box = BoxAt(*line, linePath);
    return {box.x1, box.y1, box.x2, box.y2, dashed};
}

std::vector<Box> BoxListAt(const Json& side, const std::string& path, const char* key) {
    std::vector<Box> boxes;
    if (!side.contains(key)) return boxes;
    std::string listPath = Member(path, key);
    const Json& list = ArrayAt(side[key], listPath, kMaxTemplateSideLines);
    for (size_t k = 0; k < list.size(); ++k) boxes.push_back(BoxAt(list[k], Item(listPath, k)));
    return boxes;
}

// {"text": "row 1, column 2", "at": [x, y], "width": w}
TemplateLabel LabelAt(const Json& value, const std::string& path) {
    ObjectAt(value, path);
    CheckKeys(value, path, {"text", "at", "width"});
    for (const char* required : {"text", "at", "width"}) {
        if (!value.contains(required)) Refuse(Member(path, required), "missing");
    }
    TemplateLabel label;
    const Json& text = value["text"];
    std::string textPath = Member(path, "text");
    if (!text.is_string()) Refuse(textPath, Shown(text) + " is not a text");
    label.text = text.get<std::string>();
    if (label.text.size() > kMaxSlugLength) {
        Refuse(textPath, "longer than " + std::to_string(kMaxSlugLength) + " bytes");
    }
    std::tie(label.x, label.y) = PointAt(value["at"], Member(path, "at"));
    label.width = NumberAt(value["width"], Member(path, "width"), 0, kMaxTemplateCoordinate);
    return label;
}

TemplateSide SideAt(const Json& value, const std::string& path, const std::optional<Box>& sheet) {
    ObjectAt(value, path);
    CheckKeys(value, path,
              {"media", "crop", "bleed", "trim", "art", "rotate", "cells", "marks", "trims",
               "frames", "frame_width", "label"});
    TemplateSide side;
    if (value.contains("media")) {
        side.mediaBox = {BoxAt(value["media"], Member(path, "media")), true};
    } else if (sheet) {
        side.mediaBox = {*sheet, true};
    } else {
        Refuse(Member(path, "media"), "missing, and the template gives no \"sheet\"");
    }
    const Box& media = side.mediaBox.box;
    if (media.Width() <= 0 || media.Height() <= 0)
        Refuse(Member(path, "media"), "the box is empty");
    // A side's other boxes are its sheet unless given; the base page's own ones never show.
    for (auto [key, box] : {std::pair{"crop", &side.cropBox},
                            {"bleed", &side.bleedBox},
                            {"trim", &side.trimBox},
                            {"art", &side.artBox}}) {
        *box =
            value.contains(key) ? SideBoxAt(value[key], Member(path, key)) : SheetBox{media, false};
    }
    if (value.contains("rotate"))
        side.rotate = 90 * QuarterTurnsAt(value["rotate"], Member(path, "rotate"));
    if (!value.contains("cells")) Refuse(Member(path, "cells"), "missing");
    std::string cellsPath = Member(path, "cells");
    const Json& cells = ArrayAt(value["cells"], cellsPath, kMaxTemplateSideCells);
    if (cells.empty()) Refuse(cellsPath, "no cells");
    for (size_t k = 0; k < cells.size(); ++k)
        side.cells.push_back(CellAt(cells[k], Item(cellsPath, k)));
    if (value.contains("marks")) {
        std::string marksPath = Member(path, "marks");
        const Json& marks = ArrayAt(value["marks"], marksPath, kMaxTemplateSideLines);
        for (size_t k = 0; k < marks.size(); ++k)
            side.marks.push_back(MarkAt(marks[k], Item(marksPath, k)));
    }
    side.trims = BoxListAt(value, path, "trims");
    side.frames = BoxListAt(value, path, "frames");
    if (value.contains("frame_width"))
        side.frameWidth = NumberAt(value["frame_width"], Member(path, "frame_width"), 0, 10);
    if (value.contains("label")) side.label = LabelAt(value["label"], Member(path, "label"));
    return side;
}

SheetTemplate TemplateAt(const Json& root) {
    ObjectAt(root, "(the template)");
    CheckKeys(root, "", {"template", "doubled", "one_sided", "sheet", "sheets", "sides"});
    if (!root.contains("template"))
        Refuse("template", "missing: a template starts with \"template\": 1");
    if (root["template"] != Json(1))
        Refuse("template", Shown(root["template"]) + " is not 1, the only version there is");
    SheetTemplate tmpl;
    if (root.contains("doubled")) tmpl.doubled = FlagAt(root["doubled"], "doubled");
    if (root.contains("one_sided")) tmpl.oneSided = FlagAt(root["one_sided"], "one_sided");
    std::optional<Box> sheet;
    if (root.contains("sheet")) sheet = BoxAt(root["sheet"], "sheet");
    if (root.contains("sheets")) tmpl.sheets = FormulaAt(root["sheets"], "sheets");
    if (!root.contains("sides")) Refuse("sides", "missing");
    const Json& sides = ArrayAt(root["sides"], "sides", kMaxTemplateSides);
    if (sides.empty()) Refuse("sides", "no sides");
    for (size_t k = 0; k < sides.size(); ++k)
        tmpl.sides.push_back(SideAt(sides[k], Item("sides", k), sheet));
    return tmpl;
}

// nlohmann/json's parse message without its exception prefix ("[json.exception...] ").
std::string ParseProblem(const std::exception& e) {
    std::string text = e.what();
    size_t end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
}

}  // namespace

std::variant<SheetTemplate, std::string> ReadSheetTemplate(std::string_view json) {
    if (json.size() > kMaxTemplateBytes) {
        return "longer than " + std::to_string(kMaxTemplateBytes) + " bytes";
    }
    Json root;
    try {
        root = Json::parse(json, [](int depth, Json::parse_event_t, Json&) {
            if (depth > kMaxJsonDepth)
                throw Refusal{"", "nested more than " + std::to_string(kMaxJsonDepth) + " deep"};
            return true;
        });
    } catch (const Refusal& refusal) {
        return "not a template: " + refusal.reason;
    } catch (const Json::exception& e) {
        return "not JSON: " + ParseProblem(e);
    }
    try {
        return TemplateAt(root);
    } catch (const Refusal& refusal) {
        return refusal.path + ": " + refusal.reason;
    }
}

}  // namespace gridane
