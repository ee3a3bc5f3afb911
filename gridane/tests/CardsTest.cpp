// Free grids and step-and-repeat cards from the pure plan: the fill orders as tables shaped
// like the sheets, the fitted grid for common card and label sizes, and the geometry a print
// shop checks (cards abut at shared cuts, one crop mark per cut line outside the block, bleed
// only on outer edges, backs behind their fronts after the flip, the back shift).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gridane/Layout.h"
#include "gridane/SheetCards.h"
#include "gridane/SheetLayout.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using test::SettingsFromText;
using Sides = std::vector<std::vector<int>>;

constexpr double kMm = 72.0 / 25.4;

struct OrderCase {
    std::string name;
    std::string settings;
    int pages;
    Sides expected;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << c.name;
}

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& c) {
    return c.param.name;
}

class FreeGridOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(FreeGridOrder, FillsTheCellsAsWritten) {
    const OrderCase& c = GetParam();
    JobSettings settings = SettingsFromText(c.settings);
    ASSERT_EQ(CheckSheetSettings(settings), "");
    LayoutPlan plan = PlanLayout(settings, c.pages);
    int cells = CellCountOf(settings);
    Sides sides;
    for (const SheetRecord& sheet : plan.sheets)
        sides.emplace_back(sheet.slots.begin(), sheet.slots.begin() + cells);
    EXPECT_EQ(sides, c.expected);
}

// A 3 x 2 grid, cells from the top-left, one row of the sheet per line.
const OrderCase kOrders[] = {
    {"rows_top", "grid=3x2", 7, {{1, 2, 3, 4, 5, 6}, {7, 0, 0, 0, 0, 0}}},
    {"rows_bottom", "grid=3x2 from=bottom", 6, {{4, 5, 6, 1, 2, 3}}},
    {"columns_top", "grid=3x2 order=columns", 6, {{1, 3, 5, 2, 4, 6}}},
    {"columns_bottom", "grid=3x2 order=columns from=bottom", 6, {{2, 4, 6, 1, 3, 5}}},
    {"rtl_rows_top", "grid=3x2 rtl", 6, {{3, 2, 1, 6, 5, 4}}},
    {"rtl_rows_bottom", "grid=3x2 rtl from=bottom", 6, {{6, 5, 4, 3, 2, 1}}},
    {"rtl_columns_top", "grid=3x2 rtl order=columns", 6, {{5, 3, 1, 6, 4, 2}}},
    {"rtl_columns_bottom", "grid=3x2 rtl order=columns from=bottom", 6, {{6, 4, 2, 5, 3, 1}}},
    {"duplicate", "grid=2x2 duplicate", 2, {{1, 1, 1, 1}, {2, 2, 2, 2}}},
    {"cut_and_stack", "grid=2x2 ab=0 split", 8, {{1, 5, 2, 6}, {3, 7, 4, 8}}},
    {"range", "grid=1x2 s=2 e=4", 6, {{2, 3}, {4, 0}}},
};
INSTANTIATE_TEST_SUITE_P(Orders, FreeGridOrder, ::testing::ValuesIn(kOrders), CaseName<OrderCase>);

TEST(FreeGridTest, AGridLargerThanTheFixedOnesKeepsEveryCell) {
    LayoutPlan plan = PlanLayout(SettingsFromText("grid=5x6"), 31);
    ASSERT_EQ(plan.sheets.size(), 2u);
    EXPECT_EQ(plan.sheets[0].slots[29], 30);
    EXPECT_EQ(plan.sheets[1].slots[0], 31);
    EXPECT_EQ(BaseCell(plan.sheets[1]), 0);
}

TEST(FreeGridTest, RefusesSettingsItCannotUse) {
    const std::pair<const char*, const char*> kRefused[] = {
        {"grid=0x3", "Grid '0x3' is not columns x rows, each 1 to 20 (for example 3x4)\n"},
        {"grid=21x1", "Grid '21x1' is not columns x rows, each 1 to 20 (for example 3x4)\n"},
        {"grid=3x", "Grid '3x' is not columns x rows, each 1 to 20 (for example 3x4)\n"},
        {"grid=2x2 order=diagonal", "Order 'diagonal' is neither rows nor columns\n"},
        {"order=columns", "Order and from fill a free grid: give it with grid\n"},
        {"grid=2x2 frame=11", "Frame 11 is out of range: 0 to 10 points\n"},
        {"repeat sheet=A4 bleed=x", "Bleed 'x' is not a number of points\n"},
        {"repeat sheet=A4 bleed=73", "Bleed 73 is out of range: 0 to 72 points\n"},
        {"repeat", "Repeat needs a sheet size or a grid\n"},
        {"repeat sheet=A4 flip=top", "Flip 'top' is neither long nor short\n"},
        {"duplex back_shift=1,80", "Back shift '1,80' is not X,Y in points, each -72 to 72\n"},
        {"grid=3x1 ab=0 split", "Cut and stack needs an even number of cells, not grid 3x1\n"},
    };
    for (auto [settings, message] : kRefused)
        EXPECT_EQ(CheckSheetSettings(SettingsFromText(settings)), message) << settings;
}

PageGeometry Card(double width, double height) {
    PageGeometry page;
    page.mediaBox = {0, 0, width, height};
    return page;
}

struct FitCase {
    std::string name;
    std::string settings;
    double cardWidth, cardHeight;
    std::string expectedText;
    double sheetWidth, sheetHeight;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class CardFitTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(CardFitTable, ChoosesTheGridThatPlacesMostCopies) {
    const FitCase& c = GetParam();
    JobSettings settings = SettingsFromText(c.settings);
    ASSERT_EQ(CheckSheetSettings(settings), "");
    std::vector<PageGeometry> pages(2, Card(c.cardWidth, c.cardHeight));
    SheetPlan plan = BuildSheetPlan(settings, pages);
    ASSERT_EQ(plan.problem, "");
    EXPECT_EQ(FittedCardsText(plan), c.expectedText);
    ASSERT_EQ(plan.sides.size(), 2u);
    const PlannedSide& side = plan.sides[0];
    EXPECT_NEAR(side.shownWidth, c.sheetWidth, 0.01);
    EXPECT_NEAR(side.shownHeight, c.sheetHeight, 0.01);
    EXPECT_EQ(side.cells.size(), size_t(plan.grid.columns * plan.grid.rows));
    for (const PlannedCell& cell : side.cells) {
        EXPECT_EQ(cell.page, 1);
        EXPECT_NEAR(cell.scale, 1, 1e-9);
    }
}

const FitCase kFits[] = {
    // 85 x 55 mm on A4: 2 x 5 upright ties 5 x 2 turned on landscape; upright portrait wins.
    {"eu_card_a4", "repeat sheet=A4", 85 * kMm, 55 * kMm, "10 copies per sheet, 2 x 5", 595.28,
     841.89},
    // 3.5 x 2 in on Letter: 3 x 4 on landscape ties 4 x 3 turned; upright wins.
    {"us_card_letter", "repeat sheet=Letter", 252, 144, "12 copies per sheet, 3 x 4", 792, 612},
    // Forced portrait: only turned cards reach 12.
    {"us_card_letter_portrait", "repeat sheet=Letter:portrait", 252, 144,
     "12 copies per sheet, 4 x 3, cards turned", 612, 792},
    // Crop marks need 27 points round the block: 2 x 5 still fit, on the smaller margin.
    {"eu_card_marks", "repeat sheet=A4 cropmarks", 85 * kMm, 55 * kMm, "10 copies per sheet, 2 x 5",
     595.28, 841.89},
    // A margin of 40 points: 3 x 3 on landscape ties 3 x 3 turned on portrait; upright wins.
    {"eu_card_margin", "repeat sheet=A4 outer_margin=40", 85 * kMm, 55 * kMm,
     "9 copies per sheet, 3 x 3", 841.89, 595.28},
    // A6 on A4: four, turned by the sheet, not by the cards.
    {"a6_on_a4", "repeat sheet=A4", 105 * kMm, 148 * kMm, "4 copies per sheet, 2 x 2", 595.28,
     841.89},
    // 2 x 1 in labels with a 9 point gutter on Letter.
    {"labels_gutter", "repeat sheet=Letter gutter=9", 144, 72, "36 copies per sheet, 4 x 9", 612,
     792},
    // A grid given: the sheet as large as the block and its margins.
    {"grid_no_sheet", "repeat grid=2x3 outer_margin=10", 100, 50, "", 220, 170},
};
INSTANTIATE_TEST_SUITE_P(Fits, CardFitTable, ::testing::ValuesIn(kFits), CaseName<FitCase>);

TEST(CardsTest, ACardThatDoesNotFitIsRefused) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("repeat sheet=A6"), {Card(600, 400)});
    EXPECT_EQ(plan.problem,
              "A card of 600 x 400 points does not fit on the sheet at 100% with its margin and "
              "bleed\n");
}

Box Centre(const Box& box) {
    return {(box.x1 + box.x2) / 2, (box.y1 + box.y2) / 2, 0, 0};
}

TEST(CardsTest, SharedCutsGetOneMarkPerLineOutsideTheBlockAndBleedOnlyOutside) {
    PageGeometry card = Card(85 * kMm + 18, 55 * kMm + 18);
    card.hasTrimBox = card.hasBleedBox = true;
    card.trimBox = {9, 9, 9 + 85 * kMm, 9 + 55 * kMm};
    card.bleedBox = card.mediaBox;
    SheetPlan plan = BuildSheetPlan(SettingsFromText("repeat sheet=A4 cropmarks bleed=9"), {card});
    ASSERT_EQ(plan.problem, "");
    const PlannedSide& side = plan.sides[0];
    EXPECT_EQ(FittedCardsText(plan), "10 copies per sheet, 2 x 5");
    // 3 cut lines down, 6 across: a mark at each end of each.
    EXPECT_EQ(side.marks.size(), 2u * (3 + 6));
    Box block = side.trims.front();
    for (const Box& t : side.trims) {
        block = {std::min(block.x1, t.x1), std::min(block.y1, t.y1), std::max(block.x2, t.x2),
                 std::max(block.y2, t.y2)};
    }
    for (const MarkLine& m : side.marks) {
        bool inside =
            std::min(m.x1, m.x2) < block.x2 - 0.01 && std::max(m.x1, m.x2) > block.x1 + 0.01 &&
            std::min(m.y1, m.y2) < block.y2 - 0.01 && std::max(m.y1, m.y2) > block.y1 + 0.01;
        EXPECT_FALSE(inside);
        EXPECT_GE(std::min(std::abs(m.x1 - block.x1), std::abs(m.x1 - block.x2)) +
                      std::min(std::abs(m.y1 - block.y1), std::abs(m.y1 - block.y2)),
                  9 - 0.01);
    }
    // Top-left card: bleed left and top, cut at its right and bottom neighbours.
    const PlannedCell& topLeft = side.cells[0];
    EXPECT_NEAR(topLeft.clip->x1, 0, 0.01);
    EXPECT_NEAR(topLeft.clip->y2, 55 * kMm + 18, 0.01);
    EXPECT_NEAR(topLeft.clip->x2, 9 + 85 * kMm, 0.01);
    EXPECT_NEAR(topLeft.clip->y1, 9, 0.01);
    // Neighbours abut.
    EXPECT_NEAR(side.trims[0].x2, side.trims[1].x1, 0.01);
}

// The centres of the back's copies, mirrored through the sheet's centre line parallel to the
// flip edge, against the front's, and the back's turn.
TEST(CardsTest, BacksLandBehindTheirFrontsForEitherFlip) {
    std::vector<PageGeometry> pages{Card(85 * kMm, 55 * kMm), Card(85 * kMm, 55 * kMm)};
    for (std::string flip : {"long", "short"}) {
        SCOPED_TRACE(flip);
        SheetPlan plan = BuildSheetPlan(
            SettingsFromText("repeat duplex_backs sheet=A4 grid=2x3 flip=" + flip), pages);
        ASSERT_EQ(plan.sides.size(), 2u);
        const PlannedSide& front = plan.sides[0];
        const PlannedSide& back = plan.sides[1];
        double width = front.shownWidth, height = front.shownHeight;
        for (const PlannedCell& cell : back.cells) {
            Box c = Centre(cell.rect);
            // Portrait A4: the long edge is upright, so a long flip mirrors x.
            Box mirrored =
                flip == "long" ? Box{width - c.x1, c.y1, 0, 0} : Box{c.x1, height - c.y1, 0, 0};
            bool behind = std::any_of(front.cells.begin(), front.cells.end(), [&](auto& f) {
                Box fc = Centre(f.rect);
                return std::hypot(fc.x1 - mirrored.x1, fc.y1 - mirrored.y1) <= 0.5;
            });
            EXPECT_TRUE(behind);
            EXPECT_EQ(cell.quarterTurns, flip == "short" ? 2 : 0);
        }
    }
}

// Any duplex order: a short flip turns every back side by a half about the sheet's centre.
TEST(CardsTest, AShortFlipTurnsTheBacksOfADuplexOrder) {
    std::vector<PageGeometry> pages(4, Card(612, 792));
    SheetPlan plain = BuildSheetPlan(SettingsFromText("duplex flip=long"), pages);
    SheetPlan turned = BuildSheetPlan(SettingsFromText("duplex flip=short"), pages);
    ASSERT_EQ(turned.sides.size(), 2u);
    EXPECT_EQ(plain.sides[0].cells, turned.sides[0].cells);
    const PlannedSide& back = turned.sides[1];
    for (size_t k = 0; k < back.cells.size(); ++k) {
        const PlannedCell& before = plain.sides[1].cells[k];
        EXPECT_EQ(back.cells[k].quarterTurns, 2);
        EXPECT_NEAR(back.cells[k].rect.x1, back.shownWidth - before.rect.x2, 1e-9);
        EXPECT_NEAR(back.cells[k].rect.y1, back.shownHeight - before.rect.y2, 1e-9);
    }
}

TEST(CardsTest, BackShiftMovesOnlyBackSides) {
    std::vector<PageGeometry> pages(2, Card(100, 50));
    SheetPlan plain = BuildSheetPlan(SettingsFromText("repeat duplex_backs grid=1x2"), pages);
    SheetPlan shifted =
        BuildSheetPlan(SettingsFromText("repeat duplex_backs grid=1x2 back_shift=2,-1.5"), pages);
    EXPECT_EQ(plain.sides[0].cells, shifted.sides[0].cells);
    EXPECT_NEAR(shifted.sides[1].cells[0].x - plain.sides[1].cells[0].x, 2, 1e-9);
    EXPECT_NEAR(shifted.sides[1].cells[0].y - plain.sides[1].cells[0].y, -1.5, 1e-9);
}

TEST(CardsTest, TurnedCardsAreDrawnAQuarterTurnedInsideTheirCells) {
    SheetPlan plan = BuildSheetPlan(SettingsFromText("repeat sheet=Letter:portrait frame=0.5"),
                                    {Card(252, 144)});
    const PlannedSide& side = plan.sides[0];
    const PlannedCell& cell = side.cells[0];
    EXPECT_EQ(cell.quarterTurns, 1);
    // The page's corner (0, 0) lands at the cell's top-left, (252, 144) at its bottom-right.
    EXPECT_NEAR(cell.x, cell.rect.x1, 0.01);
    EXPECT_NEAR(cell.y, cell.rect.y2, 0.01);
    EXPECT_NEAR(cell.rect.Width(), 144, 0.01);
    EXPECT_NEAR(cell.rect.Height(), 252, 0.01);
    ASSERT_EQ(side.frames.size(), 12u);
    EXPECT_EQ(side.frames[0], side.trims[0]);
    EXPECT_EQ(side.frameWidth, 0.5);
}

}  // namespace
}  // namespace gridane
