// The page-range parser against hand-written expectations: the pages selected, or the
// message of the first fault.
#include "turnelle/PageRanges.h"

#include <gtest/gtest.h>

#include <sstream>

#include "pdf/CPdfException.h"
#include "testing/RecordingSink.h"

namespace turnelle {
namespace {

struct RangeCase {
    const char* text;
    int pageCount;
    std::vector<int> selected;  // 1-based pages, when the text is accepted
    const char* message;        // the failure's message, else nullptr
};

std::ostream& operator<<(std::ostream& out, const RangeCase& c) {
    return out << '"' << c.text << "\" on " << c.pageCount << " pages";
}

class PageRangesTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PageRangesTest, SelectsOrFails) {
    const RangeCase& c = GetParam();
    std::vector<RotationPageEntry> pages(static_cast<size_t>(std::min(c.pageCount, 100)));
    testing_support::RecordingSink progress;
    ProgressDots dots(&progress);
    std::string message;
    try {
        ParsePageRanges(c.text, c.pageCount, 90, pages, dots);
    } catch (const CPdfException& failure) {
        message = failure.GetMessage();
    }
    if (c.message != nullptr) {
        EXPECT_EQ(message, c.message);
        return;
    }
    ASSERT_EQ(message, "");
    std::vector<int> selected;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i].selected) {
            selected.push_back(static_cast<int>(i) + 1);
            EXPECT_EQ(pages[i].angle, 90);
        }
    }
    EXPECT_EQ(selected, c.selected);
}

constexpr const char* kInvalid = "Invalid parameter\n";

INSTANTIATE_TEST_SUITE_P(
    Table, PageRangesTest,
    ::testing::Values(
        RangeCase{"1-3,5", 5, {1, 2, 3, 5}, nullptr}, RangeCase{"3-3", 5, {3}, nullptr},
        RangeCase{"007", 7, {7}, nullptr}, RangeCase{"1,1,1", 3, {1}, nullptr},
        RangeCase{"5,1-2,2-4", 5, {1, 2, 3, 4, 5}, nullptr},
        RangeCase{"1-5", 5, {1, 2, 3, 4, 5}, nullptr},
        RangeCase{"5-3", 5, {}, "Wrong page ranges, start page 5 > end page 3"},
        RangeCase{"2-9", 5, {}, "Wrong page ranges, 9 greater than 5 pages in file"},
        RangeCase{"9-10", 5, {}, "Wrong page ranges, 10 greater than 5 pages in file"},
        RangeCase{"7", 5, {}, "Page number 7 greater than 5 pages in file"},
        RangeCase{"0", 5, {}, "Invalid page number 0"},
        RangeCase{"000", 5, {}, "Invalid page number 0"},
        RangeCase{"1-0", 1, {}, "Invalid page number 0"},
        RangeCase{"2", 1, {}, "Page number 2 greater than 1 pages in file"},
        // The checks run in order: a zero is reported before the range is looked at.
        RangeCase{"3-0", 5, {}, "Invalid page number 0"}, RangeCase{"", 5, {}, kInvalid},
        RangeCase{",1", 5, {}, kInvalid}, RangeCase{"1,", 5, {}, kInvalid},
        RangeCase{"-1", 5, {}, kInvalid}, RangeCase{"1-", 5, {}, kInvalid},
        RangeCase{"1,,2", 5, {}, kInvalid}, RangeCase{"1--2", 5, {}, kInvalid},
        RangeCase{"1-2-3", 5, {}, kInvalid}, RangeCase{"1, 2", 5, {}, kInvalid},
        RangeCase{"1 ", 5, {}, kInvalid}, RangeCase{"a", 5, {}, kInvalid},
        // A bad character anywhere is found before any number is looked at.
        RangeCase{"9,x", 5, {}, kInvalid},
        // Numbers beyond 32 bits count as greater than the page count, reported as written.
        RangeCase{"4294967297", 5, {}, "Page number 4294967297 greater than 5 pages in file"},
        RangeCase{"1-99999999999999999999",
                  5,
                  {},
                  "Wrong page ranges, 99999999999999999999 greater than 5 pages in file"},
        RangeCase{"2147483648",
                  2147483647,
                  {},
                  "Page number 2147483648 greater than 2147483647 pages in file"}));

TEST(PageRangesMarking, PagesBeforeAFaultStayMarked) {
    std::vector<RotationPageEntry> pages(5);
    testing_support::RecordingSink progress;
    ProgressDots dots(&progress);
    EXPECT_THROW(ParsePageRanges("1,2,9", 5, 180, pages, dots), CPdfException);
    EXPECT_TRUE(pages[0].selected);
    EXPECT_TRUE(pages[1].selected);
    EXPECT_FALSE(pages[2].selected);
}

TEST(PageRangesMarking, CountBeyondTheListedPagesMarksOnlyListedOnes) {
    // A damaged /Count larger than the tree: the parser accepts the range, the pages that are
    // not there are passed over instead of being written past the list.
    std::vector<RotationPageEntry> pages(2);
    testing_support::RecordingSink progress;
    ProgressDots dots(&progress);
    ParsePageRanges("1-2000000000", 2000000000, 90, pages, dots);
    EXPECT_TRUE(pages[0].selected);
    EXPECT_TRUE(pages[1].selected);
}

}  // namespace
}  // namespace turnelle
