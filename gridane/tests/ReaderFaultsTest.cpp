// Whole runs on real producers' files that some writers leave damaged: the run gets past what
// the reader can, says so in its warnings, and writes a sound file that shows the pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "gridane/GridaneCom.h"
#include "gridane/tests/ImposeHelpers.h"
#include "testing/ReaderFaultFiles.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

constexpr double kSameSheet = 2.0;

bool HasWarningLike(const CPdfWarnings& warnings, const std::string& pattern) {
    return std::any_of(warnings.Items().begin(), warnings.Items().end(), [&](const std::string& w) {
        return std::regex_search(w, std::regex(pattern));
    });
}

// Two-up sheets of pages 1|2 and 3|4 of a letter-size input look like those pages side by side.
void ExpectTwoUpOfFourPages(const std::string& output, const std::string& input) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    ASSERT_EQ(PageCount(output), 2);
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 1, pages, GridPlacement({1, 2}, 2, 612, 792)), kSameSheet);
    EXPECT_LT(SheetDifference(output, 2, pages, GridPlacement({3, 4}, 2, 612, 792)), kSameSheet);
}

TEST(ReaderFaults, TableEntriesLeadingToOtherObjectsAreFree) {
    ScratchDir dir;
    const std::string input = dir.File("reserved.pdf");
    const int first = AddEntriesLeadingToOtherObjects(test::NumberedLetterPdf(4), {3, 5}, input);
    GridaneCom engine;
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(engine.getGridaneFile(input, output), "");
    ExpectTwoUpOfFourPages(output, input);
    for (int number : {first, first + 1}) {
        EXPECT_TRUE(HasWarningLike(engine.Warnings(),
                                   "cross-reference entry of object " + std::to_string(number) +
                                       " .* leads to object [35]; treated as free"))
            << engine.Warnings().Text();
    }
}

TEST(ReaderFaults, OldObjectStreamsOfAnUpdatedFileAreDropped) {
    ScratchDir dir;
    const std::string input = dir.File("updated.pdf");
    ObjectStreamsWithUpdate(test::NumberedLetterPdf(4), input);
    ASSERT_TRUE(QpdfCheck(input));
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("", input, output), "");
    ExpectTwoUpOfFourPages(output, input);
    EXPECT_FALSE(
        std::regex_search(ReadWholeFile(output), std::regex("/Type\\s*/(ObjStm|XRef)\\b")));
}

}  // namespace
}  // namespace gridane
