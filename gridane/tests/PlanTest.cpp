// The sheet plan from made-up page geometry, as a preview would build it: sides, cells,
// boxes, turns, the second boxes, the 2-to-1 halves and the kept pages.
#include <gtest/gtest.h>

#include "gridane/Layout.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/PrintBoxes.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;

const Box kLetter{0, 0, 612, 792};
const Box kA4{0, 0, 595, 842};

std::vector<PageGeometry> Pages(int count, Box media = kLetter) {
    PageGeometry page;
    page.mediaBox = media;
    return std::vector<PageGeometry>(static_cast<size_t>(count), page);
}

// Print-ready pages: the trim box 9 points inside a bleed box 9 points inside the media box,
// and a crop box at the bleed box.
std::vector<PageGeometry> PrintReadyPages(int count) {
    PageGeometry page;
    page.mediaBox = {0, 0, 630, 810};
    page.bleedBox = {9, 9, 621, 801};
    page.trimBox = {18, 18, 612, 792};
    page.cropBox = page.bleedBox;
    page.hasCropBox = true;
    return std::vector<PageGeometry>(static_cast<size_t>(count), page);
}

std::vector<int> PagesOf(const PlannedSide& side) {
    std::vector<int> pages;
    for (const PlannedCell& cell : side.cells) pages.push_back(cell.page);
    return pages;
}

TEST(SheetPlanTest, TwoUpSidesWithTheirCellsAndBoxes) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("duplex"), Pages(3));
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(plan.grid, (Grid{2, 1}));
    const PlannedSide& front = plan.sides[0];
    const PlannedSide& back = plan.sides[1];
    EXPECT_EQ(PagesOf(front), (std::vector<int>{1, 2}));
    EXPECT_EQ(PagesOf(back), (std::vector<int>{0, 3}));
    EXPECT_FALSE(front.back);
    EXPECT_TRUE(back.back);
    EXPECT_EQ(back.sheetNumber, 1);
    // A back side whose first cell is blank is made from the page of its second cell.
    EXPECT_EQ(back.baseCell, 1);
    EXPECT_EQ(back.basePage, 3);
    EXPECT_EQ(front.mediaBox, (SheetBox{{0, 0, 1224, 792}, true}));
    // Boxes computed from the page replace only entries the page has.
    EXPECT_EQ(front.cropBox, (SheetBox{{0, 0, 1224, 792}, false}));
    EXPECT_EQ(front.shownWidth, 1224);
    EXPECT_EQ(front.cells[1].x, 612);
    EXPECT_EQ(front.cells[1].rect, (Box{612, 0, 1224, 792}));
    EXPECT_EQ(front.half, PageHalf::Whole);
}

TEST(SheetPlanTest, EveryBoxRunsFromTheFirstCellToTheLastWithTheCellSteps) {
    JobSettings s = SettingsFromText("up4 rightmargin=10 bottommargin=20");
    SheetPlan plan = BuildSheetPlan(s, PrintReadyPages(4));
    ASSERT_EQ(plan.sides.size(), 1u);
    const PlannedSide& side = plan.sides[0];
    // Cells step by the media box and the gap: 640 across, 830 up.
    EXPECT_EQ(side.mediaBox.box, (Box{0, 0, 1270, 1640}));
    EXPECT_EQ(side.trimBox.box, (Box{18, 18, 1252, 1622}));
    EXPECT_EQ(side.bleedBox.box, (Box{9, 9, 1261, 1631}));
    EXPECT_EQ(side.cropBox.box, side.bleedBox.box);
    // The trim box of the last cell is the sheet's trim box's upper-right corner.
    const PlannedCell& last = side.cells[1];
    EXPECT_EQ(last.x + 612, side.trimBox.box.x2);
    EXPECT_EQ(side.cells[0].y + 792, side.trimBox.box.y2);
}

TEST(SheetPlanTest, JobBoxesAndTheSecondPairOnEverySecondSide) {
    JobSettings s =
        SettingsFromText("cropbox=10,10,1214,782 cropbox2=20,20,1204,772 mediabox2=0,0,1230,800");
    SheetPlan plan = BuildSheetPlan(s, Pages(6));
    ASSERT_EQ(plan.sides.size(), 3u);
    EXPECT_FALSE(plan.sides[0].secondBoxes);
    EXPECT_TRUE(plan.sides[1].secondBoxes);
    EXPECT_EQ(plan.sides[0].trimBox, (SheetBox{{10, 10, 1214, 782}, true}));
    EXPECT_EQ(plan.sides[1].trimBox, (SheetBox{{20, 20, 1204, 772}, true}));
    EXPECT_EQ(plan.sides[1].mediaBox.box, (Box{0, 0, 1230, 800}));
    EXPECT_EQ(plan.sides[2].mediaBox.box, (Box{0, 0, 1224, 792}));
}

// Each page is clipped to what a viewer shows of it: its crop box within its media box, else
// its media box; blank cells and the 2-to-1 halves are not clipped.
TEST(SheetPlanTest, CellsAreClippedToTheirPagesVisibleBoxes) {
    std::vector<PageGeometry> pages = PrintReadyPages(1);
    pages.push_back(Pages(1)[0]);
    pages[0].cropBox = {-20, 9, 621, 900};
    SheetPlan plan = BuildSheetPlan(SettingsFromText("duplex"), pages);
    ASSERT_EQ(plan.sides.size(), 1u);
    EXPECT_EQ(plan.sides[0].cells[0].clip, (Box{0, 9, 621, 810}));
    EXPECT_EQ(plan.sides[0].cells[1].clip, kLetter);
    plan = BuildSheetPlan(SettingsFromText("up4"), Pages(3));
    EXPECT_EQ(plan.sides[0].cells[3].clip, std::nullopt);
    plan = BuildSheetPlan(SettingsFromText("up2to1"), DoubledForTwoToOne(Pages(1)));
    EXPECT_EQ(plan.sides[0].cells[0].clip, std::nullopt);
}

TEST(SheetPlanTest, TwoToOneHalvesWithoutACropBoxKeepTheWholePage) {
    // A4 portrait and landscape pages without a crop box: nothing is cut to letter size.
    std::vector<PageGeometry> pages = Pages(1, kA4);
    pages.push_back(Pages(1, {0, 0, 842, 595})[0]);
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up2to1"), DoubledForTwoToOne(pages));
    ASSERT_EQ(plan.sides.size(), 4u);
    EXPECT_EQ(plan.grid, (Grid{1, 1}));
    EXPECT_EQ(PagesOf(plan.sides[0]), std::vector<int>{1});
    EXPECT_EQ(PagesOf(plan.sides[1]), std::vector<int>{3});
    EXPECT_EQ(plan.sides[0].half, PageHalf::First);
    EXPECT_EQ(plan.sides[1].half, PageHalf::Second);
    EXPECT_EQ(plan.sides[0].mediaBox.box, (Box{0, 0, 297.5, 842}));
    EXPECT_EQ(plan.sides[1].mediaBox.box, (Box{297.5, 0, 595, 842}));
    EXPECT_EQ(plan.sides[2].mediaBox.box, (Box{0, 0, 421, 595}));
    EXPECT_EQ(plan.sides[3].mediaBox.box, (Box{421, 0, 842, 595}));
    EXPECT_TRUE(plan.keptAfter.empty());
}

TEST(SheetPlanTest, TwoToOneCutsEveryBoxAtTheMiddleOfTheVisibleBox) {
    PageGeometry page;
    page.cropBox = {72, 0, 612, 792};  // visible 72..612, middle 342
    page.hasCropBox = true;
    page.trimBox = {90, 20, 590, 770};
    SheetPlan plan =
        BuildSheetPlan(SettingsFromText("up2to1 offset_split=2"), DoubledForTwoToOne({page}));
    ASSERT_EQ(plan.sides.size(), 2u);
    const PlannedSide& first = plan.sides[0];
    const PlannedSide& second = plan.sides[1];
    EXPECT_EQ(first.mediaBox.box, (Box{0, 0, 340, 792}));
    EXPECT_EQ(first.cropBox.box, (Box{72, 0, 340, 792}));
    EXPECT_EQ(first.trimBox.box, (Box{90, 20, 340, 770}));
    EXPECT_EQ(second.mediaBox.box, (Box{344, 0, 612, 792}));
    EXPECT_EQ(second.cropBox.box, (Box{344, 0, 612, 792}));
    EXPECT_EQ(second.trimBox.box, (Box{344, 20, 590, 770}));
    // Unturned, the page is drawn where it is.
    EXPECT_EQ(first.cells[0].x, 0);
    EXPECT_EQ(first.cells[0].quarterTurns, 0);
    EXPECT_EQ(first.cells[0].rect, first.mediaBox.box);

    // Cut across: lower and upper halves, the media box cut to the crop box's top first.
    page.cropBox = {0, 40, 612, 700.5};
    plan = BuildSheetPlan(SettingsFromText("up2to1h"), DoubledForTwoToOne({page}));
    EXPECT_EQ(plan.sides[0].mediaBox.box, (Box{0, 0, 612, 370.25}));
    EXPECT_EQ(plan.sides[1].mediaBox.box, (Box{0, 370.25, 612, 700}));
}

TEST(SheetPlanTest, TwoToOneTurnsAHalfTurnedPageAboutItsVisibleBox) {
    PageGeometry page;
    page.cropBox = {72, 10, 612, 792};
    page.hasCropBox = true;
    page.rotation = 180;
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up2to1"), DoubledForTwoToOne({page}));
    const PlannedCell& cell = plan.sides[0].cells[0];
    EXPECT_EQ(cell.quarterTurns, 2);
    // The visible box maps onto itself: 72 -> 612, 612 -> 72.
    EXPECT_EQ(cell.x, 684);
    EXPECT_EQ(cell.y, 802);
    EXPECT_EQ(cell.shownTurns, 0);
    EXPECT_EQ(plan.sides[0].rotate, 0);

    page.rotation = -90;  // 270: the sheet is shown a quarter turned, the drawing a half
    plan = BuildSheetPlan(SettingsFromText("up2to1"), DoubledForTwoToOne({page}));
    EXPECT_EQ(plan.sides[0].rotate, 90);
    EXPECT_EQ(plan.sides[0].cells[0].quarterTurns, 2);
    EXPECT_EQ(plan.sides[0].cells[0].shownTurns, 0);
    EXPECT_EQ(plan.sides[0].shownWidth, 792);
}

TEST(SheetPlanTest, TurnedPagesStayInTheirCellsBesideTheGaps) {
    std::vector<PageGeometry> pages = Pages(4);
    pages[1].rotation = 180;
    pages[2].rotation = 90;
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up4 rightmargin=10 bottommargin=20"), pages);
    const PlannedSide& side = plan.sides[0];
    // The half-turned page of the top-right cell covers 622..1234 x 812..1604, its cell.
    const PlannedCell& turned = side.cells[1];
    EXPECT_EQ(turned.quarterTurns, 2);
    EXPECT_EQ(turned.x - 612, turned.rect.x1);
    EXPECT_EQ(turned.x - 0, turned.rect.x2);
    EXPECT_EQ(turned.y - 792, turned.rect.y1);
    EXPECT_EQ(turned.rect, (Box{622, 812, 1234, 1604}));
    EXPECT_EQ(turned.shownTurns, 0);
    // A page a viewer shows turned by a quarter is drawn unturned: it looks a quarter
    // counter-clockwise on the sheet.
    EXPECT_EQ(side.cells[2].quarterTurns, 0);
    EXPECT_EQ(side.cells[2].shownTurns, 3);
}

TEST(SheetPlanTest, AQuarterTurnedBaseTurnsTheSheet) {
    std::vector<PageGeometry> pages = Pages(2);
    for (auto& page : pages) page.rotation = 90;
    SheetPlan plan = BuildSheetPlan(SettingsFromText(""), pages);
    const PlannedSide& side = plan.sides[0];
    EXPECT_EQ(side.rotate, 90);
    EXPECT_EQ(side.mediaBox.box, (Box{0, 0, 612, 1584}));
    EXPECT_EQ(side.shownWidth, 1584);
    EXPECT_EQ(side.shownHeight, 612);
    EXPECT_EQ(side.cells[1].y, 792);
    EXPECT_EQ(side.cells[0].shownTurns, 0);
}

TEST(SheetPlanTest, KeptPagesAroundTheRange) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("s=3 e=5"), Pages(10));
    EXPECT_EQ(plan.keptBefore, (std::vector<int>{1, 2}));
    EXPECT_EQ(plan.keptAfter, (std::vector<int>{6, 7, 8, 9, 10}));
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(PagesOf(plan.sides[1]), (std::vector<int>{5, 0}));
    // A folded order lowers `e` to whole blocks; the pages after the old `e` are kept.
    plan = BuildSheetPlan(SettingsFromText("up4 ab4 e=10"), Pages(12));
    EXPECT_EQ(plan.lastPage, 8);
    EXPECT_EQ(plan.keptAfter, (std::vector<int>{11, 12}));
    // A range beyond the pages plans nothing and keeps only pages that exist; a first page
    // below 1, or a last page as far as it goes, is no reason to loop for long.
    plan = BuildSheetPlan(SettingsFromText("s=9 outer_in"), Pages(3));
    EXPECT_TRUE(plan.sides.empty());
    EXPECT_EQ(plan.keptBefore, (std::vector<int>{1, 2, 3}));
    plan = BuildSheetPlan(SettingsFromText("s=-2147483647"), Pages(3));
    EXPECT_TRUE(plan.sides.empty());
    plan = BuildSheetPlan(SettingsFromText("e=2147483647 up4 ab4"), Pages(9));
    EXPECT_EQ(plan.sides.size(), 3u);
    EXPECT_TRUE(plan.keptAfter.empty());
}

TEST(SheetPlanTest, AGivenOrderIsPlannedLikeALayout) {
    JobSettings s = SettingsFromText("up4 rightmargin=4");
    std::vector<PageGeometry> pages = Pages(8);
    pages[5].rotation = 180;
    SheetPlan planned = BuildSheetPlan(s, pages);
    SheetList order = PlanLayout(s, 8).sheets;
    order.push_back(SheetRecord{});  // the order ends at the first empty record
    order.push_back(order[0]);
    SheetPlan given = BuildSheetPlan(s, pages, order);
    ASSERT_EQ(given.sides.size(), planned.sides.size());
    for (size_t k = 0; k < given.sides.size(); ++k) {
        EXPECT_EQ(given.sides[k].cells, planned.sides[k].cells);
        EXPECT_EQ(given.sides[k].mediaBox, planned.sides[k].mediaBox);
        EXPECT_EQ(given.sides[k].Record(), order[k]);
    }
}

}  // namespace
}  // namespace gridane
