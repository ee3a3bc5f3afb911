// Selection texts per type and the combination of an old rotation with the angle.
#include "turnelle/PageSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "turnelle/TurnelleSettings.h"

namespace turnelle {
namespace {

struct SelectionCase {
    int type;
    int pageCount;
    const char* expected;
};

TEST(BuildSelectionText, EachTypeGivesItsText) {
    const SelectionCase cases[] = {
        {kSelectAll, 5, "1-5"},
        {kSelectAll, 0, "1-0"},
        {kSelectOdd, 5, "1,3,5"},
        {kSelectOdd, 6, "1,3,5"},
        {kSelectOdd, 1, "1"},
        {kSelectEven, 1, "2"},  // beyond the count: the parser reports it
        {kSelectEven, 7, "2,4,6"},
        {kSelectFirstHalf, 7, "1-3"},
        {kSelectFirstHalf, 1, "1-0"},
        {kSelectSecondHalf, 7, "4-7"},
        {kSelectSecondHalf, 1, "1-1"},
        {0, 5, "2-4,1"},
        {7, 5, "2-4,1"},
        {-1, 5, "2-4,1"},
    };
    for (const SelectionCase& c : cases) {
        EXPECT_EQ(BuildSelectionText(c.type, c.pageCount, "2-4,1"), c.expected)
            << "type " << c.type << ", " << c.pageCount << " pages";
    }
}

TEST(BuildSelectionText, OddPagesOfALargeDocumentListEveryOne) {
    const std::string text = BuildSelectionText(kSelectOdd, 1000, "");
    EXPECT_EQ(text.substr(0, 8), "1,3,5,7,");
    EXPECT_EQ(text.substr(text.size() - 4), ",999");
    EXPECT_EQ(std::count(text.begin(), text.end(), ','), 499);
}

// Every quarter-turn pair combines to a value showing the sum of the two turns.
TEST(CombineRotation, QuarterTurnsAddUp) {
    const int turns[] = {90, 180, 270, -90, -180, -270};
    for (int old : turns) {
        for (int angle : turns) {
            const int combined = CombineRotation(old, angle);
            EXPECT_EQ(((combined - old - angle) % 360 + 360) % 360, 0) << old << " + " << angle;
            EXPECT_LE(std::abs(combined), 270);
        }
    }
    // The table's own sign conventions, which stored files may carry.
    EXPECT_EQ(CombineRotation(-90, -180), -270);
    EXPECT_EQ(CombineRotation(270, 270), -180);
    EXPECT_EQ(CombineRotation(-270, -270), 180);
}

TEST(CombineRotation, ValuesOutsideTheTable) {
    EXPECT_EQ(CombineRotation(0, 90), 90);
    EXPECT_EQ(CombineRotation(0, -270), -270);
    // A whole number of turns added keeps the page as it was.
    EXPECT_EQ(CombineRotation(90, 0), 90);
    EXPECT_EQ(CombineRotation(-270, 360), -270);
    // Other multiples of 90 are reduced first.
    EXPECT_EQ(CombineRotation(450, 90), 180);
    EXPECT_EQ(CombineRotation(90, 450), 180);
    EXPECT_EQ(CombineRotation(-360, 90), 90);
    // Values that are no quarter turn give the angle.
    EXPECT_EQ(CombineRotation(45, 90), 90);
    EXPECT_EQ(CombineRotation(90, 45), 45);
    EXPECT_EQ(CombineRotation(INT32_MIN, 90), 90);
}

TEST(NewRotation, ForceOffReplaces) {
    EXPECT_EQ(NewRotation(90, 90, false), 90);
    EXPECT_EQ(NewRotation(90, 90, true), 180);
    EXPECT_EQ(NewRotation(-90, -180, true), -270);
}

}  // namespace
}  // namespace turnelle
