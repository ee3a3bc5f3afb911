// The sheet layout from made-up pages, as tables shaped like the sheets: for every side the
// cells from the top-left with the page, where its drawing lands and its scale; the sheet's
// size; creep shifts and the positions of crop and fold marks; and the settings refused.
#include <gtest/gtest.h>

#include "gridane/SheetLayout.h"
#include "gridane/SheetPlan.h"
#include "gridane/merge/AnnotPlacement.h"
#include "gridane/tests/PrintBoxes.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;

constexpr double kA4Short = 595.2755905511812;
constexpr double kA4Long = 841.8897637795277;

PageGeometry PageOf(Box media, int rotation = 0) {
    PageGeometry page;
    page.mediaBox = media;
    page.rotation = rotation;
    return page;
}

std::vector<PageGeometry> Pages(int count, Box media) {
    return std::vector<PageGeometry>(static_cast<size_t>(count), PageOf(media));
}

// One cell as the table expects it: the page, the drawing's origin and scale.
struct Cell {
    int page;
    double x;
    double y;
    double scale;
};

void ExpectCells(const PlannedSide& side, const std::vector<Cell>& expected) {
    ASSERT_EQ(side.cells.size(), expected.size()) << "side " << side.index;
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE("side " + std::to_string(side.index) + " cell " + std::to_string(k));
        EXPECT_EQ(side.cells[k].page, expected[k].page);
        EXPECT_NEAR(side.cells[k].x, expected[k].x, 0.01);
        EXPECT_NEAR(side.cells[k].y, expected[k].y, 0.01);
        EXPECT_NEAR(side.cells[k].scale, expected[k].scale, 1e-6);
    }
}

void ExpectSheet(const PlannedSide& side, double width, double height) {
    EXPECT_NEAR(side.mediaBox.box.Width(), width, 0.01);
    EXPECT_NEAR(side.mediaBox.box.Height(), height, 0.01);
}

TEST(SheetLayoutTest, AFiveBookletOnAFourTurnsTheSheetAndKeepsPagesAtFullSize) {
    SheetPlan plan =
        BuildSheetPlan(SettingsFromText("outer_in sheet=A4"), Pages(4, {0, 0, 420, 595}));
    ASSERT_EQ(plan.sides.size(), 2u);
    ExpectSheet(plan.sides[0], kA4Long, kA4Short);
    // Cells of 420.94 x 595.28: each page centred in its half.
    ExpectCells(plan.sides[0], {{4, 0.47, 0.14, 1}, {1, 421.42, 0.14, 1}});
    ExpectCells(plan.sides[1], {{2, 0.47, 0.14, 1}, {3, 421.42, 0.14, 1}});
    EXPECT_EQ(plan.sides[0].cropBox, (SheetBox{{0, 0, kA4Long, kA4Short}, false}));
    EXPECT_TRUE(plan.problem.empty());
}

TEST(SheetLayoutTest, FourUpShrinksLetterPagesIntoCellsBetweenMarginAndGutter) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up4 sheet=A4 outer_margin=18 gutter=12"),
                                    Pages(4, {0, 0, 612, 792}));
    ASSERT_EQ(plan.sides.size(), 1u);
    ExpectSheet(plan.sides[0], kA4Short, kA4Long);  // portrait suits a 2 x 2 grid of portraits
    const double s = 0.4471205805156709;
    ExpectCells(
        plan.sides[0],
        {{1, 18, 448.36, s}, {2, 303.64, 448.36, s}, {3, 18, 39.41, s}, {4, 303.64, 39.41, s}});
    // The drawing keeps the page's own box: its width fills the cell exactly.
    EXPECT_NEAR(plan.sides[0].cells[0].rect.Width(), 612 * s, 0.01);
}

TEST(SheetLayoutTest, PagesGrowOnlyWithFit) {
    std::vector<PageGeometry> a6 = Pages(2, {0, 0, 298, 420});
    SheetPlan kept = BuildSheetPlan(SettingsFromText("sheet=A4"), a6);
    ExpectCells(kept.sides[0], {{1, 61.47, 87.64, 1}, {2, 482.42, 87.64, 1}});
    SheetPlan grown = BuildSheetPlan(SettingsFromText("sheet=A4 fit"), a6);
    const double s = 1.4125667177508854;
    EXPECT_NEAR(grown.sides[0].cells[0].scale, s, 1e-6);
    EXPECT_NEAR(grown.sides[0].cells[0].x + 298 * s, kA4Long / 2, 0.01);
}

TEST(SheetLayoutTest, MixedSizesAreEachFittedToTheirOwnCell) {
    std::vector<PageGeometry> pages{PageOf({0, 0, 595.28, 841.89}), PageOf({0, 0, 792, 612})};
    SheetPlan plan = BuildSheetPlan(SettingsFromText("sheet=A3"), pages);
    ExpectSheet(plan.sides[0], 1190.55, 841.89);
    const double s = 0.7516105941302792;
    ExpectCells(plan.sides[0], {{1, 0, 0, 1}, {2, 595.28, 190.95, s}});
}

TEST(SheetLayoutTest, TurnedPagesAreDrawnTurnedAboutTheirPlacedBox) {
    std::vector<PageGeometry> pages{PageOf({0, 0, 420, 595}), PageOf({0, 0, 420, 595}, 180)};
    SheetPlan plan = BuildSheetPlan(SettingsFromText("sheet=A4"), pages);
    const PlannedCell& turned = plan.sides[0].cells[1];
    EXPECT_EQ(turned.quarterTurns, 2);
    // The page's upper-right corner lands on the placed box's lower-left corner.
    EXPECT_NEAR(turned.x - 420, 421.42, 0.01);
    EXPECT_NEAR(turned.y - 595, 0.14, 0.01);
    // A base page shown turned by a quarter turns the sheet too: A4 shown landscape is a
    // portrait MediaBox with /Rotate 90.
    SheetPlan quarter = BuildSheetPlan(SettingsFromText("sheet=A4"),
                                       std::vector<PageGeometry>(2, PageOf({0, 0, 595, 420}, 90)));
    EXPECT_EQ(quarter.sides[0].rotate, 90);
    ExpectSheet(quarter.sides[0], kA4Short, kA4Long);
    EXPECT_NEAR(quarter.sides[0].shownWidth, kA4Long, 0.01);
    EXPECT_EQ(quarter.sides[0].cells[0].scale, 1);
}

TEST(SheetLayoutTest, RightToLeftSpreadsShowTheirRightHalfFirst) {
    std::vector<PageGeometry> doubled = DoubledForTwoToOne(Pages(2, {0, 0, 842, 595}));
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up2to1 rtl sheet=A4"), doubled);
    ASSERT_EQ(plan.sides.size(), 4u);
    EXPECT_EQ(plan.sides[0].half, PageHalf::Second);
    EXPECT_EQ(plan.sides[1].half, PageHalf::First);
    // The right half (x 421 to 842) stands at full size in the middle of a portrait A4.
    EXPECT_EQ(plan.sides[0].cells[0].scale, 1);
    EXPECT_NEAR(plan.sides[0].cells[0].x + 421, (kA4Short - 421) / 2, 0.01);
    EXPECT_EQ(plan.sides[0].cells[0].clip, (Box{421, 0, 842, 595}));
}

TEST(SheetLayoutTest, OrientationCanBeForced) {
    std::vector<PageGeometry> pages = Pages(2, {0, 0, 420, 595});
    SheetPlan plan = BuildSheetPlan(SettingsFromText("sheet=A4:portrait"), pages);
    ExpectSheet(plan.sides[0], kA4Short, kA4Long);
    EXPECT_NEAR(plan.sides[0].cells[0].scale, (kA4Short / 2) / 420, 1e-6);
    plan =
        BuildSheetPlan(SettingsFromText("sheet=595,842:landscape up4"), Pages(4, {0, 0, 612, 792}));
    ExpectSheet(plan.sides[0], 842, 595);
}

TEST(SheetLayoutTest, WithoutASheetSizeTheSheetIsTheGridOfTheBasePageWithMarginsAndGutter) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up3 outer_margin=10 gutter=4"),
                                    Pages(3, {0, 0, 100, 200}));
    ExpectSheet(plan.sides[0], 2 * 10 + 3 * 100 + 2 * 4, 2 * 10 + 200);
    ExpectCells(plan.sides[0], {{1, 10, 10, 1}, {2, 114, 10, 1}, {3, 218, 10, 1}});
}

TEST(SheetLayoutTest, CreepMovesPagesTowardsTheFoldSheetBySheetWithinEachSection) {
    const double t = 1.4173228346456694;  // 0.5 mm
    SheetPlan plan = BuildSheetPlan(SettingsFromText("outer_in sheet=A4 creep=0.5"),
                                    Pages(12, {0, 0, 420, 595}));
    ASSERT_EQ(plan.sides.size(), 6u);
    for (int side = 0; side < 6; ++side) {
        double shift = (side / 2) * t;  // sheets 0, 1, 2 from the outside
        EXPECT_NEAR(plan.sides[side].cells[0].x, 0.47 + shift, 0.01) << side;
        EXPECT_NEAR(plan.sides[side].cells[1].x, 421.42 - shift, 0.01) << side;
    }
    // Sections of two sheets start again from the outside.
    plan = BuildSheetPlan(SettingsFromText("outer_in sheet=A4 creep=0.5 signature=2"),
                          Pages(16, {0, 0, 420, 595}));
    std::vector<double> shifts;
    for (const PlannedSide& side : plan.sides) shifts.push_back(side.cells[0].x - 0.47);
    for (size_t k = 0; k < shifts.size(); ++k) EXPECT_NEAR(shifts[k], (k % 4) / 2 * t, 0.01) << k;
    // Creep is for saddle booklets only.
    plan =
        BuildSheetPlan(SettingsFromText("duplex sheet=A4 creep=0.5"), Pages(8, {0, 0, 420, 595}));
    EXPECT_NEAR(plan.sides[3].cells[0].x, 0.47, 0.01);
}

TEST(SheetLayoutTest, CropMarksStandOutsideEachTrimAndFoldMarksOnTheFold) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("outer_in sheet=A4 cropmarks foldmarks"),
                                    Pages(4, {0, 0, 420, 595}));
    const PlannedSide& side = plan.sides[0];
    // The margin grows to the marks' 27 points: cells of 393.94 x 541.28.
    const double s = 0.9097068748759347;
    ExpectCells(side, {{4, 32.93, 27, s}, {1, 32.93 + 393.94, 27, s}});
    ASSERT_EQ(side.trims.size(), 2u);
    const Box& trim = side.trims[0];
    EXPECT_NEAR(trim.x1, 32.93, 0.01);
    EXPECT_NEAR(trim.y2, 27 + 541.28, 0.01);
    // Per trim corner one line across and one up or down, 9 points out, 18 long; then the
    // two fold marks, dashed, above and below the middle of the sheet.
    ASSERT_EQ(side.marks.size(), 2u * 8 + 2);
    const MarkLine& lowerLeftAcross = side.marks[0];
    EXPECT_NEAR(lowerLeftAcross.x1, trim.x1 - 9, 1e-9);
    EXPECT_NEAR(lowerLeftAcross.x2, trim.x1 - 27, 1e-9);
    EXPECT_NEAR(lowerLeftAcross.y1, trim.y1, 1e-9);
    const MarkLine& lowerLeftDown = side.marks[1];
    EXPECT_NEAR(lowerLeftDown.y1, trim.y1 - 9, 1e-9);
    EXPECT_NEAR(lowerLeftDown.y2, trim.y1 - 27, 1e-9);
    const MarkLine& foldBelow = side.marks[16];
    EXPECT_TRUE(foldBelow.dashed);
    EXPECT_NEAR(foldBelow.x1, kA4Long / 2, 0.01);
    EXPECT_NEAR(foldBelow.y1, 27 - 9, 1e-9);
    EXPECT_NEAR(side.marks[17].y2, kA4Short - 27 + 27, 1e-9);
    // Grids are not folded: fold marks alone add none.
    SheetPlan grid = BuildSheetPlan(SettingsFromText("up4 foldmarks"), Pages(4, {0, 0, 612, 792}));
    EXPECT_TRUE(grid.sides[0].marks.empty());
}

TEST(SheetLayoutTest, BleedShowsUpToTheMarksAndTheTrimIsWhatTheCellHolds) {
    PageGeometry page = PageOf({0, 0, 492, 667});
    page.trimBox = {36, 36, 456, 631};
    page.bleedBox = {27, 27, 465, 640};
    page.hasTrimBox = page.hasBleedBox = true;
    std::vector<PageGeometry> pages(2, page);
    SheetPlan plain = BuildSheetPlan(SettingsFromText("sheet=A4"), pages);
    // The 420 x 595 trim fills the cell at full size; the drawing is clipped at the trim.
    EXPECT_EQ(plain.sides[0].cells[0].scale, 1);
    EXPECT_EQ(plain.sides[0].cells[0].clip, page.trimBox);
    SheetPlan marked = BuildSheetPlan(SettingsFromText("sheet=A4 cropmarks"), pages);
    const PlannedCell& cell = marked.sides[0].cells[0];
    ASSERT_TRUE(cell.clip.has_value());
    // On the cut edges at the margin the whole 9 points of bleed show, within the 9 before
    // the marks; towards the neighbour only up to half the room between the two pages.
    EXPECT_EQ(cell.clip->y1, 27);
    EXPECT_EQ(cell.clip->y2, 640);
    EXPECT_EQ(cell.clip->x1, 27);
    const double s = 0.9097068748759347, halfRoom = (393.94 - 420 * s) / 2;
    EXPECT_NEAR(cell.clip->x2, 456 + halfRoom / s, 0.01);
    // A booklet's outer edges are cut too; towards its fold only half the room shows.
    SheetPlan booklet = BuildSheetPlan(SettingsFromText("outer_in sheet=A4 cropmarks"), pages);
    EXPECT_EQ(booklet.sides[0].cells[0].clip->x1, 27);
    EXPECT_GT(booklet.sides[0].cells[1].clip->x1, 27);
    EXPECT_EQ(booklet.sides[0].cells[1].clip->x2, 465);
}

TEST(SheetLayoutTest, TwoToOneFitsEachHalfOfTheTrim) {
    // A spread of two A5 pages with 9 points of bleed round it: each half of its trim is an A5.
    PageGeometry spread = PageOf({0, 0, 858, 613});
    spread.trimBox = {9, 9, 849, 604};
    spread.hasTrimBox = true;
    SheetPlan plan = BuildSheetPlan(SettingsFromText("up2to1 sheet=420,595"),
                                    DoubledForTwoToOne(std::vector<PageGeometry>(1, spread)));
    ASSERT_EQ(plan.sides.size(), 2u);
    EXPECT_EQ(plan.sides[0].cells[0].scale, 1);
    EXPECT_EQ(plan.sides[0].cells[0].clip, (Box{9, 9, 429, 604}));
    EXPECT_EQ(plan.sides[1].cells[0].clip, (Box{429, 9, 849, 604}));
}

TEST(SheetLayoutTest, AnnotationsAndDestinationsFollowTheScale) {
    PagePlacement placement{100, 50, false, 0.5};
    EXPECT_EQ(PlacedRectText({10, 20, 110, 40}, placement), " 105.00  60.00  155.00  70.00 ");
    PagePlacement turned{400, 300, true, 0.5};
    EXPECT_EQ(PlacedRectText({10, 20, 110, 40}, turned), " 345.00  280.00  395.00  290.00 ");
}

TEST(SheetLayoutTest, SettingsThatCannotBeUsedAreRefusedWithTheirValue) {
    auto problem = [](const std::string& text) {
        return CheckSheetSettings(SettingsFromText(text));
    };
    EXPECT_EQ(problem(""), "");
    EXPECT_EQ(problem("sheet=A4 fit outer_margin=20 gutter=5 signature=3 rtl creep=0.1"), "");
    EXPECT_NE(problem("sheet=A44").find("Unknown sheet size 'A44'"), std::string::npos);
    EXPECT_NE(problem("sheet=A4:sideways").find("'sideways'"), std::string::npos);
    EXPECT_NE(problem("sheet=0,842").find("out of range"), std::string::npos);
    EXPECT_NE(problem("outer_margin=-5").find("Outer margin -5 is negative"), std::string::npos);
    EXPECT_NE(problem("gutter=-1").find("Gutter -1"), std::string::npos);
    EXPECT_NE(problem("signature=-2").find("Signature -2"), std::string::npos);
    EXPECT_NE(problem("creep=thin").find("Creep 'thin'"), std::string::npos);
    EXPECT_NE(problem("creep=25").find("Creep 25 mm is out of range"), std::string::npos);
    EXPECT_NE(problem("creep=nan").find("'nan'"), std::string::npos);
    EXPECT_NE(problem("sheet=A4 mediabox=0,0,10,10").find("mediabox"), std::string::npos);
    // What only the pages can tell is the plan's problem.
    SheetPlan crowded =
        BuildSheetPlan(SettingsFromText("sheet=A5 gutter=600"), Pages(2, {0, 0, 612, 792}));
    EXPECT_NE(crowded.problem.find("no room for the cells"), std::string::npos);
    SheetPlan huge =
        BuildSheetPlan(SettingsFromText("outer_margin=8000"), Pages(2, {0, 0, 612, 792}));
    EXPECT_NE(huge.problem.find("larger than a PDF page"), std::string::npos);
    SheetPlan wide =
        BuildSheetPlan(SettingsFromText("sheet=A4 gutter=2147483647 rightmargin=2147483647"),
                       Pages(2, {0, 0, 612, 792}));
    EXPECT_NE(wide.problem.find("no room for the cells"), std::string::npos);
    SheetPlan creep =
        BuildSheetPlan(SettingsFromText("outer_in sheet=A6 creep=1"), Pages(400, {0, 0, 420, 595}));
    EXPECT_NE(creep.problem.find("Creep of 1 mm"), std::string::npos);
}

}  // namespace
}  // namespace gridane
