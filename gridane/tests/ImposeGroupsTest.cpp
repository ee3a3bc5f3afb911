// Every layout group on a Ghostscript document: the output passes qpdf's check, has one page
// per planned sheet side, the sheet's media box is the grid of pages, and every sheet renders
// as the input pages put at their cells' places.
#include <gtest/gtest.h>

#include "gridane/Layout.h"
#include "gridane/tests/ImposeHelpers.h"
#include "gridane/tests/SettingsFromText.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

struct GroupCase {
    std::string name;
    std::string settings;
    int pages;
    Box sheetMediaBox;
};

std::string CaseName(const ::testing::TestParamInfo<GroupCase>& c) {
    return c.param.name;
}
void PrintTo(const GroupCase& c, std::ostream* os) {
    *os << c.name;
}

class ImposeGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(ImposeGroups, SheetsShowTheirPagesAtTheirCells) {
    const GroupCase& c = GetParam();
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(c.pages);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");

    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;

    JobSettings settings = test::SettingsFromText(c.settings);
    LayoutPlan plan = PlanLayout(settings, c.pages);
    ASSERT_EQ(PageCount(output), static_cast<int>(plan.sheets.size()));
    for (const Box& box : test::PageBoxes(output, "MediaBox")) EXPECT_EQ(box, c.sheetMediaBox);

    Grid grid = GridOf(settings);
    PageRenders pages(input, 18);
    for (size_t side = 0; side < plan.sheets.size(); ++side) {
        std::vector<int> cells(plan.sheets[side].slots.begin(),
                               plan.sheets[side].slots.begin() + grid.columns * grid.rows);
        auto placed = GridPlacement(cells, grid.columns, 612 + settings.rightMargin,
                                    792 + settings.bottomMargin);
        EXPECT_LT(SheetDifference(output, static_cast<int>(side) + 1, pages, placed), 2.0)
            << "sheet " << side + 1;
    }
}

const GroupCase kGroups[] = {
    {"two_up", "", 5, {0, 0, 1224, 792}},
    {"two_up_down_duplex", "down duplex", 4, {0, 0, 612, 1584}},
    {"two_up_booklet", "outer_in", 7, {0, 0, 1224, 792}},
    {"two_up_cut_and_stack", "ab=0 split", 6, {0, 0, 1224, 792}},
    {"three_up_row", "up3 ab3", 4, {0, 0, 1836, 792}},
    {"three_up_column", "up3down", 3, {0, 0, 612, 2376}},
    {"four_up", "up4", 6, {0, 0, 1224, 1584}},
    {"four_up_folded", "up4 ab4", 8, {0, 0, 1224, 1584}},
    {"four_up_margins", "up4 rightmargin=20 bottommargin=8", 4, {0, 0, 1244, 1592}},
    {"six_up", "up3x2 ab=0 split", 7, {0, 0, 1836, 1584}},
    {"eight_up", "up2x4 down", 9, {0, 0, 1224, 3168}},
    {"ten_up", "up5x2 ab10", 10, {0, 0, 3060, 1584}},
    {"twelve_up", "up4x3", 13, {0, 0, 2448, 2376}},
};
INSTANTIATE_TEST_SUITE_P(Groups, ImposeGroups, ::testing::ValuesIn(kGroups), CaseName);

}  // namespace
}  // namespace gridane
