// The sheet writers write what the plan says: for every layout group, the output is read back
// and each sheet side's cell streams ("q", the move, the turn, the page's contents, "Q") and
// its MediaBox and /Rotate are compared with the plan built from the input's pages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>

#include "gridane/PageTree.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/ImposeHelpers.h"
#include "gridane/tests/SettingsFromText.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfObject.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

// One cell as the output draws it: the move and turn of its open stream, and whether any of
// the page's content streams follow.
struct DrawnCell {
    double x = 0;
    double y = 0;
    bool turned = false;
    double scale = 1;
    bool drawsAPage = false;
    std::optional<Box> clip;  // the "re W n" rectangle of its open stream
};

std::string StreamText(const CPdfObject& element) {
    return element.IsStream() ? ReadStreamBytes(element.GetStream()) : std::string();
}

// The cells of a sheet page, read from its contents array.
std::vector<DrawnCell> ReadCells(CPdfXRef& xref, const PageRecord& page) {
    CPdfObject object = xref.Resolve(page.objectNumber, page.generation);
    CPdfObject contents = object.GetDict().Lookup("Contents");
    EXPECT_TRUE(contents.IsArray());
    std::vector<DrawnCell> cells;
    if (!contents.IsArray()) return cells;
    CPdfArray& array = contents.GetArray();
    bool open = false;
    for (int i = 0; i < array.GetLength(); ++i) {
        std::string text = StreamText(array.Get(i));
        DrawnCell cell;
        double a = 0, d = 0;
        if (std::sscanf(text.c_str(), "q\n1 0 0 1 %lf %lf cm\n%lf 0 0 %lf 0 0 cm\n", &cell.x,
                        &cell.y, &a, &d) == 4) {
            EXPECT_FALSE(open) << "cell " << cells.size() << " opened twice";
            cell.turned = a < 0 && d < 0;
            cell.scale = std::abs(a);
            Box clip;
            size_t at = text.find(" cm\n", text.find(" cm\n") + 1);
            if (std::sscanf(text.c_str() + at + 4, "%lf %lf %lf %lf re W n\n", &clip.x1, &clip.y1,
                            &clip.x2, &clip.y2) == 4) {
                cell.clip = Box{clip.x1, clip.y1, clip.x1 + clip.x2, clip.y1 + clip.y2};
            }
            cells.push_back(cell);
            open = true;
        } else if (text.starts_with("q\n0 G ")) {
            EXPECT_FALSE(open) << "marks drawn inside a cell";  // the sheet's marks, last
        } else if (text == "Q\n") {
            EXPECT_TRUE(open) << "a cell closed that was not opened";
            open = false;
        } else {
            EXPECT_TRUE(open) << "page contents outside a cell";
            if (!cells.empty()) cells.back().drawsAPage = true;
        }
    }
    EXPECT_FALSE(open);
    return cells;
}

std::vector<PageRecord> ReadPages(CPdfDocument& document) {
    return ReadPageTree(document.GetXRef(), document.GetXRef().GetRootNum()).pages;
}

struct PlanCase {
    std::string name;
    std::string settings;
    int pages;
    bool turnedInput;  // pages 2 and 7 turned by a half, page 4 by a quarter, by qpdf
};

// qpdf's options turning pages 2 and 7 by a half and page 4 by a quarter, those there are.
std::string TurningOptions(int pages) {
    std::string halves = pages >= 7 ? "2,7" : "2";
    return "--rotate=180:" + halves + (pages >= 4 ? " --rotate=90:4" : "");
}

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class PlanAndContents : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanAndContents, TheWritersDrawEveryCellWhereThePlanPutsIt) {
    const PlanCase& c = GetParam();
    ScratchDir dir;
    std::string input = test::NumberedLetterPdf(c.pages);
    if (c.turnedInput) {
        std::string turned = dir.File("turned.pdf");
        ASSERT_EQ(test::TurnedByQpdf(TurningOptions(c.pages), input, turned), "");
        input = turned;
    }
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");

    CPdfDocument in;
    in.Open(input);
    std::vector<PageRecord> inputPages = ReadPages(in);
    std::vector<PageGeometry> geometry(inputPages.begin(), inputPages.end());
    JobSettings settings = test::SettingsFromText(c.settings);
    if (SelectLayoutGroup(settings) == LayoutGroup::TwoToOne) {
        geometry = DoubledForTwoToOne(geometry);
    }
    SheetPlan plan = BuildSheetPlan(settings, geometry);
    ASSERT_FALSE(plan.sides.empty());

    CPdfDocument out;
    out.Open(output);
    std::vector<PageRecord> sheets = ReadPages(out);
    ASSERT_EQ(sheets.size(), plan.keptBefore.size() + plan.sides.size() + plan.keptAfter.size());
    for (const PlannedSide& side : plan.sides) {
        SCOPED_TRACE("side " + std::to_string(side.index + 1));
        const PageRecord& sheet = sheets[plan.keptBefore.size() + side.index];
        // Boxes are written with six decimals.
        EXPECT_NEAR(sheet.mediaBox.x2, side.mediaBox.box.x2, 1e-6);
        EXPECT_NEAR(sheet.mediaBox.y2, side.mediaBox.box.y2, 1e-6);
        EXPECT_EQ(sheet.mediaBox.x1, side.mediaBox.box.x1);
        EXPECT_EQ(NormaliseRotation(sheet.rotation), side.rotate);
        std::vector<DrawnCell> drawn = ReadCells(out.GetXRef(), sheet);
        // A 2-to-1 side is drawn in the 2-up form: its cell, then a blank cell's pair of
        // streams.
        if (plan.group == LayoutGroup::TwoToOne) {
            ASSERT_EQ(drawn.size(), 2u);
            EXPECT_FALSE(drawn[1].drawsAPage);
            drawn.pop_back();
        }
        ASSERT_EQ(drawn.size(), side.cells.size());
        for (size_t k = 0; k < drawn.size(); ++k) {
            SCOPED_TRACE("cell " + std::to_string(k));
            const PlannedCell& cell = side.cells[k];
            // The writers print placements with two decimals.
            EXPECT_NEAR(drawn[k].x, cell.x, 0.005);
            EXPECT_NEAR(drawn[k].y, cell.y, 0.005);
            EXPECT_EQ(drawn[k].turned, cell.quarterTurns == 2);
            EXPECT_NEAR(drawn[k].scale, cell.scale, 1e-6);
            EXPECT_EQ(drawn[k].drawsAPage, cell.page != 0);
            // Each page is clipped to its visible box; blank cells and 2-to-1 halves are not.
            ASSERT_EQ(drawn[k].clip.has_value(), cell.clip.has_value());
            if (cell.clip) {
                EXPECT_NEAR(drawn[k].clip->x1, cell.clip->x1, 0.005);
                EXPECT_NEAR(drawn[k].clip->y2, cell.clip->y2, 0.01);
            }
        }
    }
}

const PlanCase kCases[] = {
    {"two_up", "", 5, false},
    {"two_up_turned_pages", "", 8, true},
    {"two_up_down_margins", "down bottommargin=14", 6, true},
    {"two_up_duplex", "duplex rightmargin=9", 7, false},
    {"two_up_1423", "duplex1423", 8, false},
    {"two_up_1342", "duplex1342", 8, true},
    {"two_up_4123", "duplex4123", 8, false},
    {"two_up_booklet", "outer_in", 7, true},
    {"two_up_cut_and_stack", "ab=0 split", 7, false},
    {"two_up_range_and_job_box", "s=2 e=6 mediabox=0,0,1300,800", 8, false},
    {"two_to_one", "up2to1 offset_split=4", 3, true},
    {"two_to_one_across", "up2to1h", 2, false},
    {"three_up", "up3", 7, true},
    {"three_up_column", "up3down down duplex", 7, false},
    {"four_up_margins", "up4 rightmargin=10 bottommargin=6", 8, true},
    {"four_up_folded_down", "up4 ab4 down", 8, false},
    {"four_up_cut_and_stack", "up4 ab=0 split down", 7, true},
    {"six_up", "up3x2", 7, true},
    {"six_up_down_duplex", "up2x3 down duplex", 12, false},
    {"eight_up", "up4x2 ab8", 16, true},
    {"eight_up_down", "up2x4 down rightmargin=5", 9, false},
    {"ten_up", "up5x2", 11, true},
    {"ten_up_split", "up2x5 ab=0 split", 10, false},
    {"twelve_up", "up6x2 rightmargin=3 bottommargin=3", 13, true},
    {"twelve_up_columns", "up2x6 down", 12, false},
    {"twelve_up_4x3", "up4x3", 12, true},
    {"twelve_up_3x4_down", "up3x4 down", 12, false},
    {"sheet_four_up", "up4 sheet=A4 outer_margin=18 gutter=12", 6, true},
    {"sheet_booklet_marks_creep", "outer_in sheet=A3 cropmarks foldmarks creep=0.2", 8, true},
    {"sheet_sections_rtl", "outer_in signature=1 rtl sheet=Letter", 8, false},
    {"sheet_fit_without_size", "up3x2 fit gutter=6", 7, true},
    {"sheet_two_to_one", "up2to1 sheet=A4 outer_margin=10", 3, true},
    {"sheet_grid_from_sequence_of_turns", "up2x3 down duplex sheet=A3:landscape", 12, true},
};
INSTANTIATE_TEST_SUITE_P(Groups, PlanAndContents, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PlanCase>& c) { return c.param.name; });

}  // namespace
}  // namespace gridane
