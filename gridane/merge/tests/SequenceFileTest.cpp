#include "gridane/merge/SequenceFile.h"

#include <gtest/gtest.h>

namespace gridane {
namespace {

struct ParseCase {
    const char* name;
    std::string_view text;
    const char* error;  // null: parses
    std::array<int32_t, 4> numbers;
};

class ParseSequenceTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseSequenceTextTest, ReadsOrRejects) {
    const ParseCase& c = GetParam();
    SequenceNumbers parsed = ParseSequenceText(c.text);
    if (c.error == nullptr) {
        EXPECT_EQ(parsed.error, nullptr);
        EXPECT_EQ(parsed.numbers, c.numbers);
    } else {
        ASSERT_NE(parsed.error, nullptr);
        EXPECT_STREQ(parsed.error, c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseSequenceTextTest,
    ::testing::Values(
        ParseCase{"TwoLines", "1,6\n2,7\n", nullptr, {1, 6, 2, 7}},
        ParseCase{"CarriageReturnLines", "1,6\r\n2,7", nullptr, {1, 6, 2, 7}},
        ParseCase{"OneLineOneBlank", "1,2 3,4", nullptr, {1, 2, 3, 4}},
        ParseCase{"NoSeparatorBetweenPairs", "1,23,4", kSequenceTooFew, {}},
        ParseCase{
            "BlanksBeforeNumbers", "  \t 1, 2\n\n 3,  4 trailing text", nullptr, {1, 2, 3, 4}},
        ParseCase{"ZeroAndNegative", "0,2\n-3,4", nullptr, {0, 2, -3, 4}},
        ParseCase{"BlankBeforeComma", "1 ,2\n3,4", kSequenceTooFew, {}},
        ParseCase{"Empty", "", kSequenceTooFew, {}},
        ParseCase{"OnlyWhiteSpace", " \r\n\t \n", kSequenceTooFew, {}},
        ParseCase{"StartsWithLetter", "a1,2\n3,4", kSequenceCorrupted, {}},
        ParseCase{"ThreeNumbers", "1,2\n3", kSequenceTooFew, {}},
        ParseCase{"SignWithoutDigits", "1,2\n3,-", kSequenceTooFew, {}},
        ParseCase{"Overlap", "1,1\n2,3", kSequenceOverlap, {}},
        ParseCase{"OverlapAcrossLines", "1,2\n2,3", kSequenceOverlap, {}},
        ParseCase{"HugeNumbersSaturate", "99999999999,1\n2,3", nullptr, {2147483647, 1, 2, 3}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ParseSequenceTextTest, NeverReadsPastTheView) {
    // The view ends in the middle of a number; the digits after it must not be taken.
    std::string text = "1,2\n3,45678";
    SequenceNumbers parsed = ParseSequenceText(std::string_view(text).substr(0, 7));
    EXPECT_EQ(parsed.error, nullptr);
    EXPECT_EQ(parsed.numbers[3], 4);
}

struct ContinueCase {
    const char* name;
    std::array<int32_t, 4> numbers;
    SequenceRange range;
    std::vector<SequenceCells> expected;
};

class ContinueSequenceTest : public ::testing::TestWithParam<ContinueCase> {};

TEST_P(ContinueSequenceTest, ContinuesBothProgressions) {
    const ContinueCase& c = GetParam();
    EXPECT_EQ(ContinueSequence(c.numbers, c.range), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Progressions, ContinueSequenceTest,
    ::testing::Values(
        ContinueCase{"TwoCellsTenPages",
                     {1, 6, 2, 7},
                     {1, 99999, 10, false},
                     {{1, 6, 0, 0}, {2, 7, 0, 0}, {3, 8, 0, 0}, {4, 9, 0, 0}, {5, 10, 0, 0}}},
        ContinueCase{"FourCellsTenPages",
                     {1, 2, 3, 4},
                     {1, 99999, 10, true},
                     {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 0, 0}}},
        ContinueCase{
            "LastPageFourOfTen", {1, 2, 3, 4}, {1, 4, 10, false}, {{1, 2, 0, 0}, {3, 4, 0, 0}}},
        ContinueCase{
            "ZeroMakesBlankCell", {0, 3, 1, 4}, {1, 99999, 4, false}, {{0, 3, 0, 0}, {1, 4, 0, 0}}},
        ContinueCase{"BackwardsOrder",
                     {8, 1, 7, 2},
                     {1, 99999, 8, false},
                     {{8, 1, 0, 0}, {7, 2, 0, 0}, {6, 3, 0, 0}, {5, 4, 0, 0}}},
        ContinueCase{"PagesBeyondDocumentAreBlank",
                     {1, 20, 2, 21},
                     {1, 99999, 3, false},
                     {{1, 0, 0, 0}, {2, 0, 0, 0}}},
        ContinueCase{
            "TooShortRangeGivesOneRecord", {1, 2, 3, 4}, {1, 99999, 4, true}, {{1, 2, 3, 4}}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace gridane
