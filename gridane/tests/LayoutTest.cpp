// The page orders of every layout group, as tables shaped like the sheets: one row per sheet
// side, the pages of its cells from the top-left, 0 for a blank cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gridane/Layout.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

using Sides = std::vector<std::vector<int>>;

struct LayoutCase {
    std::string name;
    std::string settings;
    int pages;
    Sides expected;
    int expectedLastPage = kToLastPage;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

Sides CellsOf(const LayoutPlan& plan, int cells) {
    Sides sides;
    for (const SheetRecord& sheet : plan.sheets) {
        sides.emplace_back(sheet.slots.begin(), sheet.slots.begin() + cells);
        for (int k = cells; k < kSheetSlots; ++k) EXPECT_EQ(sheet.slots[k], 0);
    }
    return sides;
}

std::string CaseName(const ::testing::TestParamInfo<LayoutCase>& c) {
    return c.param.name;
}

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, GivesTheSheetsAsWritten) {
    const LayoutCase& c = GetParam();
    JobSettings settings = test::SettingsFromText(c.settings);
    LayoutPlan plan = PlanLayout(settings, c.pages);
    int cells = DrawnCellCount(SelectLayoutGroup(settings));
    if (SelectLayoutGroup(settings) == LayoutGroup::TwoToOne) cells = 1;
    EXPECT_EQ(CellsOf(plan, cells), c.expected);
    EXPECT_EQ(plan.lastPage, c.expectedLastPage);
}

const LayoutCase kTwoUp[] = {
    {"sequential_odd", "", 7, {{1, 2}, {3, 4}, {5, 6}, {7, 0}}},
    {"sequential_from_s", "s=3 e=6", 10, {{3, 4}, {5, 6}}, 6},
    {"duplex", "duplex", 7, {{1, 2}, {4, 3}, {5, 6}, {0, 7}}},
    {"duplex1423", "duplex1423", 8, {{1, 4}, {2, 3}, {5, 8}, {6, 7}}},
    {"duplex1342", "duplex1342", 8, {{1, 3}, {4, 2}, {5, 7}, {8, 6}}},
    {"duplex4123", "duplex4123", 8, {{4, 1}, {2, 3}, {8, 5}, {6, 7}}},
    {"outer_in_even", "outer_in", 8, {{8, 1}, {2, 7}, {6, 3}, {4, 5}}},
    {"outer_in_seven", "outer_in", 7, {{0, 1}, {2, 7}, {6, 3}, {4, 5}}},
    {"outer_in_nine", "outer_in", 9, {{0, 1}, {2, 9}, {8, 3}, {4, 7}, {6, 5}}},
    {"outer_in_overrides_duplex1423", "duplex1423 outer_in", 4, {{4, 1}, {2, 3}}},
    {"split_even", "ab=0 split", 8, {{1, 5}, {2, 6}, {3, 7}, {4, 8}}},
    {"split_odd", "ab=0 split", 7, {{1, 5}, {2, 6}, {3, 7}, {4, 0}}},
    {"split_from_s", "ab=0 split s=3", 8, {{3, 7}, {4, 8}}},
    {"outer_in_without_ab_cuts_and_stacks", "ab=0 outer_in", 4, {{1, 3}, {2, 4}}},
    {"duplicate", "duplicate s=2 e=3", 5, {{2, 2}, {3, 3}}, 3},
    // One side per page, in the order the cut stacks come out: 1, h + 1, 2, h + 2, ...
    {"split_duplicate", "ab=0 split duplicate", 5, {{1, 1}, {4, 4}, {2, 2}, {5, 5}, {3, 3}}},
    {"down_changes_no_order", "down", 4, {{1, 2}, {3, 4}}},
    {"no_order_flag", "ab=0", 6, {}},
};
INSTANTIATE_TEST_SUITE_P(TwoUp, LayoutTable, ::testing::ValuesIn(kTwoUp), CaseName);

const LayoutCase kTwoToOne[] = {
    {"doubled_three_pages", "up2to1", 6, {{1}, {4}, {2}, {5}, {3}, {6}}},
    {"doubled_four_pages", "up2to1h", 8, {{1}, {5}, {2}, {6}, {3}, {7}, {4}, {8}}},
    {"duplicate_same_order", "up2to1 duplicate", 4, {{1}, {3}, {2}, {4}}},
};
INSTANTIATE_TEST_SUITE_P(TwoToOne, LayoutTable, ::testing::ValuesIn(kTwoToOne), CaseName);

const LayoutCase kThreeUp[] = {
    {"sequential", "up3 ab3", 7, {{1, 2, 3}, {4, 5, 6}, {7, 0, 0}}},
    {"column_duplex_mirrors_backs", "up3down down duplex", 9, {{1, 2, 3}, {6, 5, 4}, {7, 8, 9}}},
    {"row_duplex_keeps_order", "up3 down duplex", 6, {{1, 2, 3}, {4, 5, 6}}},
    {"split", "up3 ab=0 split", 5, {{1, 2, 3}, {4, 5, 0}}},
    {"split_from_s_ends_at_first_empty", "up3 ab=0 split s=2", 4, {{2, 3, 4}}},
};
INSTANTIATE_TEST_SUITE_P(ThreeUp, LayoutTable, ::testing::ValuesIn(kThreeUp), CaseName);

const LayoutCase kFourUp[] = {
    {"sequential", "up4", 6, {{1, 2, 3, 4}, {5, 6, 0, 0}}},
    {"column_order", "up4 down", 4, {{1, 3, 2, 4}}},
    {"column_order_duplex_mirrors", "up4 down duplex", 8, {{1, 3, 2, 4}, {7, 5, 8, 6}}},
    {"column_order_outer_in_mirrors", "up4 down outer_in", 8, {{1, 3, 2, 4}, {7, 5, 8, 6}}},
    {"folded_seven", "up4 ab4", 7, {{1, 3, 5, 7}, {4, 2, 0, 6}}, 99996},
    // e = 10 drops to 8: pages 11 and 12 are kept after the sheets, 9 and 10 are left out.
    {"folded_lowers_last_page", "up4 ab4 e=10", 12, {{1, 3, 5, 7}, {4, 2, 8, 6}}, 8},
    {"folded_down", "up4 ab4 down", 8, {{1, 5, 3, 7}, {4, 2, 8, 6}}, 99996},
    {"split", "up4 ab=0 split", 8, {{1, 5, 2, 6}, {3, 7, 4, 8}}},
    {"split_uneven", "up4 ab=0 split", 6, {{1, 5, 2, 6}, {3, 0, 4, 0}}},
    {"split_down", "up4 ab=0 split down", 8, {{1, 2, 5, 6}, {3, 4, 7, 8}}},
    {"duplicate_range", "up4 duplicate s=2 e=3", 6, {{2, 2, 2, 2}, {3, 3, 3, 3}}, 3},
};
INSTANTIATE_TEST_SUITE_P(FourUp, LayoutTable, ::testing::ValuesIn(kFourUp), CaseName);

const LayoutCase kManyUp[] = {
    {"six_rows", "up3x2", 7, {{1, 2, 3, 4, 5, 6}, {7, 0, 0, 0, 0, 0}}},
    {"six_3x2_down", "up3x2 down", 6, {{1, 3, 5, 2, 4, 6}}},
    {"six_2x3_down", "up2x3 down", 6, {{1, 4, 2, 5, 3, 6}}},
    {"eight_4x2_down", "up4x2 down", 8, {{1, 3, 5, 7, 2, 4, 6, 8}}},
    {"eight_2x4_down", "up2x4 down", 8, {{1, 5, 2, 6, 3, 7, 4, 8}}},
    {"ten_5x2_down", "up5x2 down", 10, {{1, 3, 5, 7, 9, 2, 4, 6, 8, 10}}},
    {"ten_2x5_down", "up2x5 down", 10, {{1, 6, 2, 7, 3, 8, 4, 9, 5, 10}}},
    {"twelve_6x2_down", "up6x2 down", 12, {{1, 3, 5, 7, 9, 11, 2, 4, 6, 8, 10, 12}}},
    {"twelve_2x6_down", "up2x6 down", 12, {{1, 7, 2, 8, 3, 9, 4, 10, 5, 11, 6, 12}}},
    {"twelve_4x3_down", "up4x3 down", 12, {{1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12}}},
    {"twelve_3x4_down", "up3x4 down", 12, {{1, 5, 9, 2, 6, 10, 3, 7, 11, 4, 8, 12}}},
    {"six_3x2_down_duplex", "up3x2 down duplex", 12, {{1, 3, 5, 2, 4, 6}, {8, 10, 12, 7, 9, 11}}},
    {"six_2x3_down_duplex", "up2x3 down duplex", 12, {{1, 4, 2, 5, 3, 6}, {10, 7, 11, 8, 12, 9}}},
    {"eight_down_duplex",
     "up2x4 down duplex",
     16,
     {{1, 5, 2, 6, 3, 7, 4, 8}, {10, 12, 14, 16, 9, 11, 13, 15}}},
    {"twelve_down_duplex",
     "up6x2 down duplex",
     24,
     {{1, 3, 5, 7, 9, 11, 2, 4, 6, 8, 10, 12}, {14, 16, 18, 20, 22, 24, 13, 15, 17, 19, 21, 23}}},
    {"six_folded", "up3x2 ab6", 12, {{1, 3, 5, 7, 9, 11}, {4, 2, 8, 6, 12, 10}}, 99996},
    {"six_folded_down", "up3x2 ab6 down", 12, {{1, 7, 3, 9, 5, 11}, {4, 2, 8, 6, 12, 10}}, 99996},
    {"eight_folded_down",
     "up4x2 ab8 down",
     16,
     {{1, 9, 3, 11, 5, 13, 7, 15}, {4, 2, 8, 6, 12, 10, 16, 14}},
     99992},
    {"ten_folded_down",
     "up5x2 ab10 down",
     20,
     {{1, 11, 3, 13, 5, 15, 7, 17, 9, 19}, {4, 2, 8, 6, 12, 10, 16, 14, 20, 18}},
     99990},
    {"twelve_folded",
     "up4x3 ab12 e=30",
     30,
     {{1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23}, {4, 2, 8, 6, 12, 10, 16, 14, 20, 18, 24, 22}},
     24},
    {"six_split", "up3x2 ab=0 split", 12, {{1, 7, 2, 8, 3, 9}, {4, 10, 5, 11, 6, 12}}},
    {"six_split_odd", "up3x2 ab=0 split", 11, {{1, 7, 2, 8, 3, 9}, {4, 10, 5, 11, 6, 0}}},
    {"eight_split",
     "up2x4 ab=0 split",
     16,
     {{1, 9, 2, 10, 3, 11, 4, 12}, {5, 13, 6, 14, 7, 15, 8, 16}}},
    // Cut and stack in column order: each row of the sheet is one stack.
    {"six_split_down", "up3x2 ab=0 split down", 12, {{1, 2, 3, 7, 8, 9}, {4, 5, 6, 10, 11, 12}}},
    {"six_split_duplicate",
     "up3x2 ab=0 split duplicate e=4",
     4,
     {{1, 1, 1, 1, 1, 1}, {4, 4, 4, 4, 4, 4}, {2, 2, 2, 2, 2, 2}, {3, 3, 3, 3, 3, 3}},
     4},
};
INSTANTIATE_TEST_SUITE_P(ManyUp, LayoutTable, ::testing::ValuesIn(kManyUp), CaseName);

const LayoutCase kSectionsAndRightToLeft[] = {
    // Two sections of two sheets: each a booklet of its own, 1-8 then 9-16.
    {"two_sections",
     "outer_in signature=2",
     16,
     {{8, 1}, {2, 7}, {6, 3}, {4, 5}, {16, 9}, {10, 15}, {14, 11}, {12, 13}}},
    // Only the last section is padded, to whole sheets: 9 and 10 with two blank pages.
    {"last_section_padded",
     "outer_in signature=2",
     10,
     {{8, 1}, {2, 7}, {6, 3}, {4, 5}, {0, 9}, {10, 0}}},
    // A section larger than the document is one booklet padded to whole sheets.
    {"one_section_padded", "outer_in signature=5", 6, {{0, 1}, {2, 0}, {6, 3}, {4, 5}}},
    {"huge_signature_one_section", "outer_in signature=2147483647", 4, {{4, 1}, {2, 3}}},
    {"sections_from_s", "outer_in signature=1 s=3 e=10", 12, {{6, 3}, {4, 5}, {10, 7}, {8, 9}}, 10},
    {"signature_ignored_outside_booklets", "duplex signature=1", 4, {{1, 2}, {4, 3}}},
    {"booklet_rtl", "outer_in rtl", 8, {{1, 8}, {7, 2}, {3, 6}, {5, 4}}},
    {"sections_rtl", "outer_in signature=1 rtl", 8, {{1, 4}, {3, 2}, {5, 8}, {7, 6}}},
    {"duplex_rtl", "duplex rtl", 4, {{2, 1}, {3, 4}}},
    {"grid_rows_rtl", "up3x2 rtl", 6, {{3, 2, 1, 6, 5, 4}}},
    {"column_order_rtl", "up4 down rtl", 4, {{3, 1, 4, 2}}},
    {"column_of_cells_unchanged_rtl", "down rtl", 2, {{1, 2}}},
    {"split_rtl", "up2to1 rtl", 4, {{1}, {3}, {2}, {4}}},
};
INSTANTIATE_TEST_SUITE_P(SectionsAndRightToLeft, LayoutTable,
                         ::testing::ValuesIn(kSectionsAndRightToLeft), CaseName);

TEST(LayoutTest, EverySplitOrderShowsEveryPageOnce) {
    // Cut and stack must neither skip nor repeat a page, whatever the grid and the count.
    for (const char* grid : {"", "up4", "up3x2", "up2x4", "up5x2", "up3x4"}) {
        for (bool down : {false, true}) {
            for (int pages = 1; pages <= 30; ++pages) {
                JobSettings settings = test::SettingsFromText(std::string(grid) + " ab=0 split");
                settings.down = down;
                LayoutPlan plan = PlanLayout(settings, pages);
                std::vector<int> seen(pages + 1, 0);
                for (const SheetRecord& sheet : plan.sheets) {
                    for (int k = 0; k < kMaxCells; ++k) {
                        if (sheet.Cell(k) > 0) ++seen[sheet.Cell(k)];
                    }
                }
                for (int p = 1; p <= pages; ++p) {
                    EXPECT_EQ(seen[p], 1)
                        << grid << " down=" << down << " pages=" << pages << " page " << p;
                }
            }
        }
    }
}

TEST(LayoutTest, TrimStopsAtTheFirstEmptySheetOfTheGroup) {
    SheetList sheets(3);
    sheets[0].slots[0] = 1;
    sheets[1].slots[5] = 2;  // counts in 6-up, not in 2-up
    sheets[2].slots[0] = 3;
    SheetList sixUp = sheets;
    TrimAtFirstEmptySheet(sixUp, LayoutGroup::Up6);
    EXPECT_EQ(sixUp.size(), 3u);
    TrimAtFirstEmptySheet(sheets, LayoutGroup::Up2);
    EXPECT_EQ(sheets.size(), 1u);
}

}  // namespace
}  // namespace gridane
