// Sheet boxes, cell placement and the small content streams.
#include <gtest/gtest.h>

#include "gridane/ContentStreams.h"
#include "gridane/SheetGeometry.h"
#include "gridane/tests/PrintBoxes.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;

PageGeometry PageOf(const Box& media, int rotation = 0) {
    PageGeometry page;
    page.mediaBox = media;
    page.rotation = rotation;
    return page;
}

Box SheetBox(SheetBoxKey key, const JobSettings& s, const PageGeometry& page, PageHalf half) {
    Grid grid = half == PageHalf::Whole ? GridOf(s) : Grid{1, 1};
    return ComputeSheetBox(key, page, s.cropBox, s.mediaBox, s, grid,
                           NormaliseRotation(page.rotation), half);
}

Box SheetMediaBox(const std::string& settings, const Box& page, int rotation = 0) {
    JobSettings s = SettingsFromText(settings);
    PageHalf half =
        SelectLayoutGroup(s) == LayoutGroup::TwoToOne ? PageHalf::First : PageHalf::Whole;
    return SheetBox(SheetBoxKey::MediaBox, s, PageOf(page, rotation), half);
}

// The placements of a grid side's cells over a base page of `media`, turned by `baseRotation`.
std::vector<PlannedCell> PlaceCells(const JobSettings& s, const Box& media, int baseRotation,
                                    const std::vector<int>& cellRotations) {
    return PlaceGridCells(s, GridOf(s), PageOf(media, baseRotation), cellRotations);
}

bool Turned(const PlannedCell& cell) {
    return cell.quarterTurns == 2;
}

struct BoxCase {
    const char* name;
    const char* settings;
    Box page;
    int rotation;
    Box expected;
};

std::string CaseName(const ::testing::TestParamInfo<BoxCase>& c) {
    return c.param.name;
}

class SheetBoxTable : public ::testing::TestWithParam<BoxCase> {};

TEST_P(SheetBoxTable, IsTheGridOfPagesWithItsGaps) {
    const BoxCase& c = GetParam();
    EXPECT_EQ(SheetMediaBox(c.settings, c.page, c.rotation), c.expected);
}

const Box kLetter{0, 0, 612, 792};
const BoxCase kBoxes[] = {
    {"two_up_side_by_side", "", kLetter, 0, {0, 0, 1224, 792}},
    {"two_up_down", "down", kLetter, 0, {0, 0, 612, 1584}},
    {"two_up_turned_base", "", kLetter, 90, {0, 0, 612, 1584}},
    {"two_up_down_turned_base", "down", kLetter, 270, {0, 0, 1224, 792}},
    {"twelve_3x4", "up3x4", {0, 0, 595, 842}, 0, {0, 0, 1785, 3368}},
    {"six_turned_base_exchanges_grid", "up3x2", kLetter, 90, {0, 0, 1224, 2376}},
    {"job_media_box_wins", "up4 mediabox=0,0,1190,842", kLetter, 0, {0, 0, 1190, 842}},
    // A box away from the origin keeps its corner and spans whole pages.
    {"box_off_origin", "", {100, 50, 712, 842}, 0, {100, 50, 1324, 842}},
    // The gaps between cells are part of the sheet, so the last column is not cut off.
    {"gaps_grow_the_sheet", "up4 rightmargin=10 bottommargin=20", kLetter, 0, {0, 0, 1234, 1604}},
    {"two_to_one_left_half", "up2to1", {0, 0, 1224, 792}, 0, {0, 0, 612, 792}},
    {"two_to_one_cut_with_offset", "up2to1h offset_split=6", {0, 0, 612, 792}, 0, {0, 0, 612, 390}},
};
INSTANTIATE_TEST_SUITE_P(Sheets, SheetBoxTable, ::testing::ValuesIn(kBoxes), CaseName);

TEST(SheetBoxTest, TwoToOneShowsTheOtherHalfOnTheSecondSide) {
    JobSettings s = SettingsFromText("up2to1");
    Box right = SheetBox(SheetBoxKey::MediaBox, s, PageOf({0, 0, 1224, 792}), PageHalf::Second);
    EXPECT_EQ(right, (Box{612, 0, 1224, 792}));
}

TEST(SheetBoxTest, TwoToOneCutsTheMediaBoxToTheCropBoxFirst) {
    // The media box is cut to the whole-number corner of a crop box the page has before it is
    // halved; both halves are cut at the middle of the visible box.
    JobSettings s = SettingsFromText("up2to1");
    PageGeometry page = PageOf({0, 0, 1224, 792});
    page.cropBox = {0, 0, 1000.5, 700.25};
    page.hasCropBox = true;
    EXPECT_EQ(SheetBox(SheetBoxKey::CropBox, s, page, PageHalf::First),
              (Box{0, 0, 500.25, 700.25}));
    EXPECT_EQ(SheetBox(SheetBoxKey::MediaBox, s, page, PageHalf::First), (Box{0, 0, 500.25, 700}));
    EXPECT_EQ(SheetBox(SheetBoxKey::MediaBox, s, page, PageHalf::Second),
              (Box{500.25, 0, 1000, 700}));
    // A job crop box leaves the media box whole.
    s = SettingsFromText("up2to1 cropbox=0,0,500,700");
    EXPECT_EQ(SheetBox(SheetBoxKey::MediaBox, s, page, PageHalf::Second),
              (Box{500.25, 0, 1224, 792}));
}

TEST(CellPlacementTest, TwoUpSideBySideMovesTheSecondCellOnePageRight) {
    auto cells = PlaceCells(SettingsFromText(""), kLetter, 0, {0, 0});
    EXPECT_EQ(CellOpenContent(cells[0]), "q\n1 0 0 1 0.00 0.00 cm\n1 0 0 1 0 0 cm\n");
    EXPECT_EQ(CellOpenContent(cells[1]), "q\n1 0 0 1 612.00 0.00 cm\n1 0 0 1 0 0 cm\n");
}

TEST(CellPlacementTest, RowsCountFromTheTopAndMarginsActAsGaps) {
    auto cells = PlaceCells(SettingsFromText("up4 rightmargin=10 bottommargin=20"), kLetter, 0,
                            {0, 0, 0, 0});
    EXPECT_EQ(cells[0].x, 0);
    EXPECT_EQ(cells[0].y, 812);
    EXPECT_EQ(cells[1].x, 622);
    EXPECT_EQ(cells[1].y, 812);
    EXPECT_EQ(cells[2].x, 0);
    EXPECT_EQ(cells[2].y, 0);
    EXPECT_EQ(cells[3].x, 622);
}

TEST(CellPlacementTest, APageTurnedHalfWayIsTurnedBackAroundItsCell) {
    auto cells = PlaceCells(SettingsFromText(""), kLetter, 0, {0, 180});
    ASSERT_TRUE(Turned(cells[1]));
    EXPECT_EQ(CellOpenContent(cells[1]), "q\n1 0 0 1 1224.00 792.00 cm\n-1 0 0 -1 0 0 cm\n");
    // Rotations are read unnormalised from the page tree: -270 is 90, -90 is 270, 450 is 90.
    EXPECT_FALSE(Turned(PlaceCells(SettingsFromText(""), kLetter, 0, {-270})[0]));
    EXPECT_TRUE(Turned(PlaceCells(SettingsFromText(""), kLetter, 0, {-90})[0]));
    EXPECT_FALSE(Turned(PlaceCells(SettingsFromText(""), kLetter, 0, {450})[0]));
    EXPECT_FALSE(Turned(PlaceCells(SettingsFromText(""), kLetter, 0, {45})[0]));
}

TEST(CellPlacementTest, TurnedPageOffTheOriginStaysInItsCell) {
    // The page box runs from 100 to 712: turned about the cell, it must cover 100..712 again.
    auto cells = PlaceCells(SettingsFromText(""), {100, 50, 712, 842}, 0, {180, 0});
    EXPECT_DOUBLE_EQ(cells[0].x - 712, 100);
    EXPECT_DOUBLE_EQ(cells[0].x - 100, 712);
    EXPECT_DOUBLE_EQ(cells[0].y - 842, 50);
}

TEST(CellPlacementTest, QuarterTurnedBaseLaysTheGridOutColumnByColumn) {
    auto two = PlaceCells(SettingsFromText(""), kLetter, 90, {0, 0});
    EXPECT_EQ(two[1].x, 0);
    EXPECT_EQ(two[1].y, 792);
    auto four = PlaceCells(SettingsFromText("up4"), kLetter, 270, {0, 0, 270, 0});
    EXPECT_EQ(four[1].y, 792);
    EXPECT_EQ(four[2].rect.x1, 612);
    EXPECT_TRUE(Turned(four[2]));
    EXPECT_EQ(SheetRotation(270), 90);
    EXPECT_EQ(SheetRotation(180), 0);
}

TEST(CellPlacementTest, JobMediaBoxSharesTheSheetBetweenTheColumns) {
    auto cells =
        PlaceCells(SettingsFromText("mediabox=0,0,1190,842 rightmargin=5"), kLetter, 0, {0, 0});
    EXPECT_EQ(cells[1].x, 600);
    // Three columns share the sheet in thirds, not halves.
    auto three = PlaceCells(SettingsFromText("up3 mediabox=0,0,1800,600"), kLetter, 0, {0, 0, 0});
    EXPECT_EQ(three[2].x, 1200);
}

TEST(ContentStreamTest, StreamObjectsAndTheArrayText) {
    EXPECT_EQ(StreamObjectText(40, "Q\n"),
              "40 0 obj\n<<\n/Length 2 >>\nstream\nQ\nendstream\nendobj\n");
    std::vector<CellDrawing> cells{{40, " 5 0 R  6 0 R ", 41}, {42, "", 43}};
    EXPECT_EQ(SheetContentsArrayText(cells), " 40 0 R  5 0 R  6 0 R  41 0 R 42 0 R  43 0 R ");
}

}  // namespace
}  // namespace gridane
