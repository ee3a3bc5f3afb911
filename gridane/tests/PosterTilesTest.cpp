// Poster tiles from the pure plan: how many tiles of which sheet orientation a page takes for a
// tile grid or a poster size, and where the picture and the cut lines fall.
#include <gtest/gtest.h>

#include "gridane/PosterTiles.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;

struct TilingCase {
    std::string settings;
    double pageWidth, pageHeight;
    int rotation;
    Grid grid;
    double sheetWidth;  // tells the sheet's orientation
};

TEST(PosterTilesTest, ChoosesTheFewestTilesOrTheLargestPictureOnEitherOrientation) {
    const TilingCase cases[] = {
        // An A4 page enlarged to A0 (4 times): 5 x 5 portrait A4 sheets, 3 x 7 landscape.
        {"poster=A0 sheet=A4", 595.28, 841.89, 0, {3, 7}, 842},
        // The overlap taken from every tile after the first tips it to 5 x 5 portrait (not 4 x 7).
        {"poster=A0 sheet=A4 overlap=36", 595.28, 841.89, 0, {5, 5}, 595},
        // A landscape page makes a landscape poster; a page turned by /Rotate counts as shown.
        {"poster=A2 sheet=A4", 792, 612, 0, {3, 2}, 595},
        {"poster=A2 sheet=A4", 612, 792, 90, {3, 2}, 595},
        // A poster orientation given is kept: a portrait A1 for a landscape page.
        {"poster=A1:portrait sheet=A3", 792, 612, 0, {2, 2}, 1191},
        // A grid given: the sheet turned to give the larger picture.
        {"tile=2x2 sheet=A4", 595.28, 841.89, 0, {2, 2}, 595},
        {"tile=1x2 sheet=A4", 595.28, 841.89, 0, {1, 2}, 842},
        {"tile=1x2 sheet=A4:portrait", 595.28, 841.89, 0, {1, 2}, 595},
        // A poster no larger than a sheet takes one.
        {"poster=200,300 sheet=A4", 595.28, 841.89, 0, {1, 1}, 595},
    };
    for (const TilingCase& c : cases) {
        SCOPED_TRACE(c.settings + " " + std::to_string(c.rotation));
        JobSettings settings = SettingsFromText(c.settings);
        ASSERT_EQ(CheckPosterSettings(settings), "");
        PageGeometry page;
        page.mediaBox = {0, 0, c.pageWidth, c.pageHeight};
        page.rotation = c.rotation;
        std::string problem;
        std::optional<PosterTiling> tiling = TilePage(settings, page, problem);
        ASSERT_TRUE(tiling) << problem;
        EXPECT_EQ(tiling->grid, c.grid);
        EXPECT_NEAR(tiling->sheetWidth, c.sheetWidth, 1);
    }
}

TEST(PosterTilesTest, TilesShareTheOverlapAndCutAtItsOuterEdge) {
    JobSettings settings = SettingsFromText("tile=2x2 sheet=600,840 overlap=40 outer_margin=30");
    PageGeometry page;
    page.mediaBox = {0, 0, 1040, 1520};  // exactly the two by two tiles' picture
    SheetPlan plan = BuildSheetPlan(settings, {page});
    ASSERT_EQ(plan.problem, "");
    ASSERT_EQ(plan.sides.size(), 4u);
    const double area = 540, step = area - 40;  // the sheet less its margins, less the overlap
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const PlannedSide& side = plan.sides[k];
        int column = k % 2, row = k / 2;
        EXPECT_EQ(side.mediaBox.box, (Box{0, 0, 600, 840}));
        const PlannedCell& cell = side.cells[0];
        EXPECT_DOUBLE_EQ(cell.scale, 1);
        // Each tile shows its own part of the page, neighbours 40 points of the same picture.
        ASSERT_TRUE(cell.clip);
        EXPECT_NEAR(cell.clip->x1, column * step, 1e-9);
        EXPECT_NEAR(cell.clip->x2, column * step + area, 1e-9);
        EXPECT_NEAR(cell.clip->y2, 1520 - row * (780 - 40), 1e-9);
        EXPECT_NEAR(cell.clip->y2 - cell.clip->y1, 780, 1e-9);
        // A cut line only towards the left and the upper neighbour, at the picture's edge.
        std::vector<MarkLine> cuts;
        if (column == 1) cuts.push_back({30, 0, 30, 840, false});
        if (row == 1) cuts.push_back({0, 810, 600, 810, false});
        EXPECT_EQ(side.marks, cuts);
        EXPECT_EQ(side.press.label,
                  "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1));
    }
}

}  // namespace
}  // namespace gridane
