// Sheet templates without files: page formulas, refused templates with their paths, and the
// plan a template gives.
#include <gtest/gtest.h>

#include "gridane/SheetTemplate.h"

namespace gridane {
namespace {

struct FormulaCase {
    std::string text;
    FormulaVariables v;
    std::variant<int64_t, std::string> expected;
};

TEST(TemplateTest, FormulasEvaluateOrSayWhatIsWrong) {
    const FormulaCase cases[] = {
        {"8*s + 3", {2, 0, 1, 0}, 19},
        {"4*((n+3)/4) - 2*s", {1, 7, 1, 7}, 6},
        {"-s - -3 + b*e", {1, 0, 2, 5}, 12},
        {"7 % 3 * 2 - 7 / -2", {}, 5},
        {"(1", {}, "expected ')' at the end"},
        {"2*s + )", {}, "unexpected ')' at character 7"},
        {"", {}, "the formula ends too soon"},
        {"sx + 1", {}, "unknown name 'sx' at character 1"},
        {"1/(s-s)", {}, "division by zero"},
        {"99999*99999*99999*99999*99999", {}, "the value overflows"},
        {"12345678901", {}, "number too large at character 1"},
        {std::string(17, '(') + "1" + std::string(17, ')'),
         {},
         "nested too deeply at character 17"},
        {std::string(201, '1'), {}, "longer than 200 characters"},
    };
    for (const FormulaCase& c : cases) {
        SCOPED_TRACE(c.text);
        auto formula = PageFormula::Parse(c.text);
        if (auto* problem = std::get_if<std::string>(&formula)) {
            EXPECT_EQ((std::variant<int64_t, std::string>(*problem)), c.expected);
            continue;
        }
        EXPECT_EQ(std::get<PageFormula>(formula).Evaluate(c.v), c.expected);
    }
}

TEST(TemplateTest, AWrongTemplateIsRefusedWithItsPathAndReason) {
    const std::string cell = R"({"page": 1, "rect": [0, 0, 612, 792]})";
    auto side = [&](const std::string& cells) {
        return R"({"template": 1, "sheet": [0, 0, 612, 792], "sides": [{"cells": [)" + cells +
               "]}]}";
    };
    std::string many = cell;
    for (int k = 0; k < 400; ++k) many += "," + cell;
    const std::pair<std::string, std::string> cases[] = {
        {"no",
         "not JSON: parse error at line 1, column 2: syntax error while parsing value - "
         "invalid literal; last read: 'no'"},
        {"[]", "(the template): [] is not an object"},
        {R"({"sides": []})", "template: missing: a template starts with \"template\": 1"},
        {R"({"template": 2})", "template: 2 is not 1, the only version there is"},
        {R"({"template": 1, "sides": []})", "sides: no sides"},
        {R"({"template": 1, "sides": [{"cells": []}]})",
         "sides[0].media: missing, and the template gives no \"sheet\""},
        {R"({"template": 1, "sides": [{"media": [0, 0, 0, 9], "cells": []}]})",
         "sides[0].media: the box is empty"},
        {side(cell + R"(, {"page": 2, "rect": [0, 0, 1, 1], "turn": 45})"),
         "sides[0].cells[1].turn: 45 is not 0, 90, 180 or 270"},
        {side(R"j({"page": "2*s + )", "rect": [0, 0, 1, 1]})j"),
         "sides[0].cells[0].page: unexpected ')' at character 7"},
        {side(R"({"page": 1.5, "rect": [0, 0, 1, 1]})"),
         "sides[0].cells[0].page: 1.5 is neither a whole number nor a formula"},
        {side(R"({"page": 1, "rect": [0, 0, 1]})"),
         "sides[0].cells[0].rect: [0,0,1] is not [x1, y1, x2, y2]"},
        {side(R"({"page": 1, "rect": [0, 0, 1e9, 1]})"),
         "sides[0].cells[0].rect[2]: 1000000000.0 is not between -1000000.0 and 1000000.0"},
        {side(R"({"page": 1, "rect": [0, 0, 1, 1], "scale": 0})"),
         "sides[0].cells[0].scale: 0 is not between 0.0001 and 10000.0"},
        {side(R"({"page": 1, "rect": [0, 0, 1, 1], "at": [1]})"),
         "sides[0].cells[0].at: [1] is not [x, y]"},
        {side(R"({"page": 1, "rct": [0, 0, 1, 1]})"), "sides[0].cells[0].rct: unknown key"},
        {side("{}"), "sides[0].cells[0].page: missing"},
        {R"({"template": 1, "sheet": [0, 0, 9, 9], "sides": [{"cells": [)" + cell +
             R"(], "crop": {"box": [0, 0, 9, 9], "where_present": 1}}]})",
         "sides[0].crop.where_present: 1 is not true or false"},
        {R"({"template": 1, "sheet": [0, 0, 9, 9], "sides": [{"cells": [)" + cell +
             R"(], "marks": [{"line": [0, 0, 9, 9], "dashed": "yes"}]}]})",
         "sides[0].marks[0].dashed: \"yes\" is not true or false"},
        {side(R"({"page": 1, "rect": [0, 0, 1, 1], "part": true})"),
         "sides[0].cells[0].part: needs a clip box"},
        {R"({"template": 1, "sheet": [0, 0, 9, 9], "sides": [{"cells": [)" + cell +
             R"(], "label": {"text": 7, "at": [1, 1], "width": 5}}]})",
         "sides[0].label.text: 7 is not a text"},
        {R"({"template": 1, "sheet": [0, 0, 9, 9], "sides": [{"cells": [)" + cell +
             R"(], "label": {"text": ")" + std::string(501, 'x') +
             R"(", "at": [1, 1], "width": 5}}]})",
         "sides[0].label.text: longer than 500 bytes"},
        {R"({"template": 1, "one_sided": "yes", "sheet": [0, 0, 9, 9], "sides": [{"cells": [)" +
             cell + "]}]}",
         "one_sided: \"yes\" is not true or false"},
        {side(many), "sides[0].cells: more than 400 items"},
        {"[[[[[[[[[[1]]]]]]]]]]", "not a template: nested more than 8 deep"},
    };
    for (const auto& [json, message] : cases) {
        SCOPED_TRACE(json.substr(0, 120));
        auto read = ReadSheetTemplate(json);
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_EQ(std::get<std::string>(read), message);
    }
}

SheetTemplate Read(const std::string& json) {
    auto read = ReadSheetTemplate(json);
    if (auto* problem = std::get_if<std::string>(&read)) ADD_FAILURE() << *problem;
    return std::get<SheetTemplate>(read);
}

// A booklet of whole sheets in formulas of n: the same pages on the same sides as the
// built-in outside-in pairing, for each page count.
TEST(TemplateTest, ABookletTemplateInFormulasOfNPairsAsTheBuiltInBooklet) {
    SheetTemplate booklet = Read(R"({"template": 1, "sheet": [0, 0, 1224, 792],
        "sheets": "(n + 3) / 4", "sides": [
        {"cells": [{"page": "n - 2*s", "rect": [0, 0, 612, 792], "at": [0, 0]},
                   {"page": "2*s + 1", "rect": [612, 0, 1224, 792], "at": [612, 0]}]},
        {"cells": [{"page": "2*s + 2", "rect": [0, 0, 612, 792], "at": [0, 0]},
                   {"page": "n - 2*s - 1", "rect": [612, 0, 1224, 792], "at": [612, 0]}]}]})");
    JobSettings settings;
    settings.outer_in = true;
    for (int n : {4, 8, 12, 16}) {
        SCOPED_TRACE(n);
        std::vector<PageGeometry> pages(static_cast<size_t>(n));
        SheetPlan built = BuildSheetPlan(settings, pages);
        SheetPlan templated = BuildTemplatePlan(settings, pages, booklet);
        ASSERT_EQ(templated.problem, "");
        ASSERT_EQ(templated.sides.size(), built.sides.size());
        for (size_t k = 0; k < built.sides.size(); ++k) {
            EXPECT_EQ(templated.sides[k].cells, built.sides[k].cells);
            EXPECT_EQ(templated.sides[k].mediaBox, built.sides[k].mediaBox);
        }
    }
}

// A cell without "at" centres its page's visible box in its rectangle, turned, and shrinks it
// to fit; pages of 600 x 800 points, the last one cropped to its lower left quarter.
TEST(TemplateTest, ACellWithoutAtCentresItsTurnedPageAndShrinksItToFit) {
    SheetTemplate tmpl =
        Read(R"({"template": 1, "sheet": [0, 0, 1000, 1000], "sheets": 1, "sides": [
        {"cells": [{"page": 1, "rect": [0, 0, 1000, 1000]},
                   {"page": 2, "rect": [0, 0, 1000, 1000], "turn": 90},
                   {"page": 3, "rect": [0, 0, 1000, 1000], "turn": 180, "clip": null},
                   {"page": 4, "rect": [0, 0, 1000, 1000], "turn": 270},
                   {"page": 5, "rect": [0, 0, 300, 400]},
                   {"page": 6, "rect": [0, 0, 400, 300], "turn": 90, "scale": 2},
                   {"page": 7, "rect": [0, 0, 300, 400]}]}]})");
    std::vector<PageGeometry> pages(7);
    for (PageGeometry& page : pages) page.mediaBox = {0, 0, 600, 800};
    pages[6].hasCropBox = true;
    pages[6].cropBox = {0, 0, 300, 400};
    struct Placed {
        double x, y, scale;
        std::optional<Box> clip;
    };
    const Box whole{0, 0, 600, 800};
    const Placed expected[] = {
        {200, 100, 1, whole},          {100, 800, 1, whole}, {800, 900, 1, std::nullopt},
        {900, 200, 1, whole},          {0, 0, 0.5, whole},   {-600, 750, 2, whole},
        {0, 0, 1, Box{0, 0, 300, 400}}};
    SheetPlan plan = BuildTemplatePlan(JobSettings{}, pages, tmpl);
    ASSERT_EQ(plan.sides.size(), 1u);
    for (size_t k = 0; k < std::size(expected); ++k) {
        SCOPED_TRACE(k);
        const PlannedCell& cell = plan.sides[0].cells[k];
        EXPECT_EQ(cell.x, expected[k].x);
        EXPECT_EQ(cell.y, expected[k].y);
        EXPECT_EQ(cell.scale, expected[k].scale);
        EXPECT_EQ(cell.clip, expected[k].clip);
    }
}

TEST(TemplateTest, AFormulaThatFailsOrNeverEndsStopsThePlanWithAReason) {
    std::vector<PageGeometry> pages(4);
    const std::pair<const char*, const char*> cases[] = {
        {R"j("4 / (2 - s)")j", "Template: sides[0].cells[0].page: division by zero for s = 2\n"},
        {"1",
         "Template: more than 20000 sides or 400000 cells and lines; does every side end? "
         "\"sheets\" tells how many sheets there are\n"},
    };
    for (const auto& [page, problem] : cases) {
        SheetTemplate tmpl = Read(std::string(R"({"template": 1, "sheet": [0, 0, 9, 9], "sides": [
            {"cells": [{"page": )") +
                                  page + R"(, "rect": [0, 0, 9, 9]}]}]})");
        EXPECT_EQ(BuildTemplatePlan(JobSettings{}, pages, tmpl).problem, problem);
    }
}

}  // namespace
}  // namespace gridane
