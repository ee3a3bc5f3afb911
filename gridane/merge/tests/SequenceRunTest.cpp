// Sequence files and the doubling pre-passes through whole runs.
#include <gtest/gtest.h>

#include <filesystem>

#include "MergeFixtures.h"
#include "gridane/tests/ImposeHelpers.h"
#include "platform/File.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

TEST(SequenceRunTest, TwoCellOrderFromTheFile) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(6);
    std::string order = dir.File("order.txt");
    std::string output = dir.File("out.pdf");
    WriteWholeFile(order, "1,4\r\n2,5\r\n");
    ASSERT_EQ(test::Impose("seq=" + order, input, output), "");
    EXPECT_TRUE(QpdfCheck(output));
    ASSERT_EQ(PageCount(output), 3);
    PageRenders pages(input, 18);
    for (int s = 0; s < 3; ++s) {
        auto placed = GridPlacement({s + 1, s + 4}, 2, 612, 792);
        EXPECT_LT(SheetDifference(output, s + 1, pages, placed), 2.0) << "sheet " << s + 1;
    }
}

TEST(SequenceRunTest, BadFilesEndTheRunWithTheirMessages) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(6);
    std::string output = dir.File("out.pdf");
    struct BadFile {
        const char* text;
        const char* message;
    };
    const BadFile files[] = {
        {"", "incorrect pages in sequence file, should be 4\n"},
        {"x1,2\n3,4", "corrupted sequence file\n"},
        {"1 ,2\n3,4", "incorrect pages in sequence file, should be 4\n"},
        {"1,1\n2,3", "page numbers overlap in the sequence file\n"},
    };
    for (const BadFile& file : files) {
        std::string order = dir.File("order.txt");
        WriteWholeFile(order, file.text);
        EXPECT_EQ(test::Impose("seq=" + order, input, output), file.message) << file.text;
        EXPECT_FALSE(platform::FileExists(output));
    }
    EXPECT_EQ(test::Impose("seq=" + dir.File("missing.txt"), input, output),
              "wrong path to the sequence file\n");
}

struct HalfCase {
    std::string name;
    std::string settings;
};

// The doubled temporary file of a 2-to-1 run is named after the output, in the current folder.
void ExpectNoTemporaryFileOf(const std::string& output) {
    std::string prefix = output;
    std::erase(prefix, '/');
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_NE(entry.path().filename().string().rfind(prefix + "_temp_", 0), 0u) << entry.path();
    }
}

class TwoToOne : public ::testing::TestWithParam<HalfCase> {};

TEST_P(TwoToOne, EachHalfOfEachPageOnItsOwnSheet) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(3);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(GetParam().settings, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheck(output, &report)) << report;
    ASSERT_EQ(PageCount(output), 6);
    // Sheets 2k - 1 and 2k show the two halves of page k: together they are page k, less the
    // gap left out at the cut.
    bool across = GetParam().settings.find("up2to1h") == std::string::npos;
    for (int page = 1; page <= 3; ++page) {
        Image first = RenderPage(output, 2 * page - 1, 24);
        Image second = RenderPage(output, 2 * page, 24);
        Image whole = RenderPage(input, page, 24);
        Image expectFirst =
            across ? whole.Crop(0, 0, first.Width(), first.Height())
                   : whole.Crop(0, whole.Height() - first.Height(), first.Width(), first.Height());
        Image expectSecond =
            across ? whole.Crop(whole.Width() - second.Width(), 0, second.Width(), second.Height())
                   : whole.Crop(0, 0, second.Width(), second.Height());
        EXPECT_LT(first.MeanDifference(expectFirst), 3.0) << "page " << page;
        EXPECT_LT(second.MeanDifference(expectSecond), 3.0) << "page " << page;
        EXPECT_GT(first.MeanDifference(second), 3.0) << "page " << page;
    }
    ExpectNoTemporaryFileOf(output);
}

TEST(TwoToOneFailure, AFailedRunRemovesItsTemporaryFileToo) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    // The doubling succeeds; the run then fails on the range.
    EXPECT_NE(test::Impose("up2to1 s=99", test::NumberedLetterPdf(3), output), "");
    EXPECT_FALSE(platform::FileExists(output));
    ExpectNoTemporaryFileOf(output);
}

INSTANTIATE_TEST_SUITE_P(Halves, TwoToOne,
                         ::testing::Values(HalfCase{"LeftRight", "up2to1"},
                                           HalfCase{"LowerUpper", "up2to1h"},
                                           HalfCase{"WithGap", "up2to1 offset_split=20"}),
                         [](const auto& param) { return param.param.name; });

TEST(DoublingPrePass, DuplicateWithRotationReturnsTheDoubledFile) {
    ScratchDir dir;
    const std::string& input = test::NumberedLetterPdf(3);
    std::string output = dir.File("out.pdf");
    std::string status = test::Impose("duplicate rotateLeft", input, output);
    ASSERT_NE(status.find("temp"), std::string::npos) << status;
    EXPECT_FALSE(platform::FileExists(output));
    ASSERT_TRUE(platform::FileExists(status));
    EXPECT_TRUE(QpdfCheck(status));
    EXPECT_EQ(PageCount(status), 6);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_LT(gridane_test::PageDifference(status, page + 3, input, page), 2.0);
    }
    platform::RemoveFile(status);
}

}  // namespace
}  // namespace gridane
