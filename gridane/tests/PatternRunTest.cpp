// Patterns keep their place on moved and turned pages: a tiling pattern's tiles, a shading
// pattern's ramp and a shading painted by sh land on each cell as on the page itself, also
// when one page is shown in several cells of a sheet.
#include <gtest/gtest.h>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

struct PatternCase {
    std::string name;
    std::string settings;
    int sheet = 1;
    std::vector<PlacedPage> cells;  // points from the sheet's top-left corner
    // The renderer draws a pattern tile turned by a half a pixel off here and there: 4 of 255
    // levels on average, where a pattern left in the sheet's space differs by more than 20.
    double tolerance = 2.0;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.name;
}

class PatternRuns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternRuns, EveryCellShowsItsPatternsAsThePageDoes) {
    const PatternCase& c = GetParam();
    ScratchDir dir;
    std::string input = SourceDir() + "/gridane/tests/data/gs-a4-patterns.pdf";
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
    // At 72 dpi every cell starts on a whole pixel, so fine hatching compares pixel for pixel.
    PageRenders pages(input, 72);
    EXPECT_LT(SheetDifference(output, c.sheet, pages, c.cells), c.tolerance);
}

const PatternCase kPatternCases[] = {
    {"one_page_in_four_places", "up4 duplicate", 1,
     {{1, 0, 0, 0}, {1, 595, 0, 0}, {1, 0, 842, 0}, {1, 595, 842, 0}}},
    {"four_pages_moved", "up4", 1, {{1, 0, 0, 0}, {2, 595, 0, 0}, {3, 0, 842, 0}, {4, 595, 842, 0}}},
    {"back_side_turned_by_a_half", "grid=2x1 duplex flip=short", 2,
     {{4, 0, 0, 2}, {3, 595, 0, 2}},
     5.0},
};

INSTANTIATE_TEST_SUITE_P(Table, PatternRuns, ::testing::ValuesIn(kPatternCases),
                         [](const ::testing::TestParamInfo<PatternCase>& c) { return c.param.name; });

}  // namespace
}  // namespace gridane
