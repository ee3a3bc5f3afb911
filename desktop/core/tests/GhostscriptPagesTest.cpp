#include "desktop/core/GhostscriptPages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/Scratch.h"

namespace desktop_test {
namespace {

using desktop::GhostscriptPages;

TEST(GhostscriptPages, CountsThePagesBegunAfterTheRange) {
    struct Case {
        std::vector<std::string> pieces;  // the output as it arrives
        int64_t done, total;
    };
    const std::string banner = "GPL Ghostscript 10.0.0 (2022-09-21)\nCopyright (C) 2022\n";
    const std::vector<Case> cases = {
        {{banner, "Processing pages 1 through 8.\n", "Page 1\n", "Page 2\nPage 3\n"}, 2, 8},
        // A line arriving in pieces counts once it ends.
        {{"Processing pa", "ges 3 through 5.\nPage 4", "\n"}, 1, 3},
        {{"Processing pages 1 through 5.\nPage 5"}, 0, 5},
        // Page lines before a range, odd ranges and strangers' lines count nothing.
        {{"Page 7\nProcessing pages 9 through 2.\nPage 3\n"}, 0, 0},
        {{"Processing pages 1 through 2.\nPage 99\nPage -1\nPage x\n"}, 2, 2},
        {{"Processing pages 1 through 4.\n" + std::string(100000, 'x') + "\nPage 2\n"}, 1, 4},
    };
    for (const Case& c : cases) {
        GhostscriptPages pages("");
        for (const std::string& piece : c.pieces) pages.Take(piece);
        EXPECT_EQ(pages.Done(), c.done) << c.pieces[0];
        EXPECT_EQ(pages.Total(), c.total) << c.pieces[0];
    }
}

TEST(GhostscriptPages, PollReadsOnlyWhatTheFileGained) {
    testing_support::ScratchDir dir;
    std::string file = dir.File("errors.txt");
    GhostscriptPages pages(file);
    EXPECT_FALSE(pages.Poll());  // not written yet
    testing_support::WriteWholeFile(file, "Processing pages 1 through 3.\nPage 1\nPage 2\n");
    EXPECT_TRUE(pages.Poll());
    EXPECT_EQ(pages.Done(), 1);
    EXPECT_FALSE(pages.Poll());
    testing_support::WriteWholeFile(file,
                                    "Processing pages 1 through 3.\nPage 1\nPage 2\nPage 3\n");
    EXPECT_TRUE(pages.Poll());
    EXPECT_EQ(pages.Done(), 2);
}

}  // namespace
}  // namespace desktop_test
