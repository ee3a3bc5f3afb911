// Unimposing booklets made from files of real producers: every page comes back in reading
// order and looks as it did before imposing (signatures and right-to-left too, sheets turned by
// qpdf too); a booklet with cut marks keeps its pages' text in order; sheets that are not two
// equal halves of one size, and settings that do not combine, fail with their message.
#include <gtest/gtest.h>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

std::string DataFile(const std::string& name) {
    return SourceDir() + "/gridane/tests/data/" + name;
}

struct UnimposeCase {
    std::string name;
    std::string input;
    std::string booklet;     // the settings that made the booklet
    std::string unimpose;    // the settings that take it apart
    std::string turnSheets;  // qpdf's rotation of the booklet's sheets, or empty
};

void PrintTo(const UnimposeCase& c, std::ostream* os) {
    *os << c.name;
}

class UnimposeRuns : public ::testing::TestWithParam<UnimposeCase> {};

TEST_P(UnimposeRuns, EveryPageComesBackInReadingOrderAsItWas) {
    const UnimposeCase& c = GetParam();
    ScratchDir dir;
    std::string input = c.input.empty() ? test::NumberedLetterPdf(5) : DataFile(c.input);
    std::string booklet = dir.File("booklet.pdf");
    std::string output = dir.File("pages.pdf");
    ASSERT_EQ(test::Impose(c.booklet, input, booklet), "");
    if (!c.turnSheets.empty()) {
        std::string turned = dir.File("turned.pdf");
        ASSERT_EQ(test::TurnedByQpdf(c.turnSheets, booklet, turned), "");
        booklet = turned;
    }
    ASSERT_EQ(test::Impose(c.unimpose, booklet, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
    int pages = PageCount(input);
    ASSERT_GE(PageCount(output), pages);
    for (int page = 1; page <= PageCount(output); ++page) {
        Image back = RenderPage(output, page, 30);
        if (page > pages) {
            // The booklet's blank pages.
            EXPECT_LT(back.MeanDifference(Image(back.Width(), back.Height(), 255)), 1.0);
            continue;
        }
        Image original = RenderPage(input, page, 30);
        ASSERT_NEAR(back.Width(), original.Width(), 1) << "page " << page;
        ASSERT_NEAR(back.Height(), original.Height(), 1) << "page " << page;
        int w = std::min(back.Width(), original.Width());
        int h = std::min(back.Height(), original.Height());
        EXPECT_LT(back.Crop(0, 0, w, h).MeanDifference(original.Crop(0, 0, w, h)), 2.0)
            << "page " << page;
    }
}

const UnimposeCase kUnimposeCases[] = {
    {"latex_a4_booklet", "latex-a4-links.pdf", "outer_in", "unimpose", ""},
    {"ghostscript_letter_booklet_in_sections", "", "outer_in signature=1", "unimpose signature=1",
     ""},
    {"writer_landscape_booklet_right_to_left", "writer-letter-landscape.pdf", "outer_in rtl",
     "unimpose rtl", ""},
    {"ghostscript_letter_booklet_stacked", "", "outer_in down", "unimpose", ""},
};
INSTANTIATE_TEST_SUITE_P(RealFiles, UnimposeRuns, ::testing::ValuesIn(kUnimposeCases),
                         [](const ::testing::TestParamInfo<UnimposeCase>& c) {
                             return c.param.name;
                         });

TEST(UnimposeRun, ABookletWithCutMarksKeepsItsPagesInOrder) {
    ScratchDir dir;
    std::string booklet = dir.File("booklet.pdf"), output = dir.File("pages.pdf");
    ASSERT_EQ(
        test::Impose("outer_in sheet=A3 cropmarks regmarks", test::NumberedLetterPdf(7), booklet),
        "");
    ASSERT_EQ(test::Impose("unimpose", booklet, output), "");
    ASSERT_EQ(PageCount(output), 8);
    for (int page = 1; page <= 7; ++page) {
        std::string p = std::to_string(page);
        std::string text =
            testing_support::Run("pdftotext -f " + p + " -l " + p + " " + ShellQuote(output) + " -")
                .output;
        EXPECT_NE(text.find(p), std::string::npos) << "page " << page << ": " << text;
    }
}

TEST(UnimposeRun, RefusesWhatIsNoTwoUpBookletAndSettingsThatDoNotCombine) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    struct Bad {
        std::string input;
        std::string settings;
        const char* message;
    };
    for (const Bad& bad :
         {Bad{DataFile("mixed-turned-objstm.pdf"), "unimpose", "unimpose needs sheets of one size"},
          Bad{DataFile("latex-a4-links.pdf"), "unimpose up4", "combines only with signature"},
          Bad{DataFile("latex-a4-links.pdf"), "unimpose s=2", "takes the whole booklet"},
          Bad{DataFile("latex-a4-links.pdf"), "unimpose sheet=A4", "combines only with"}}) {
        std::string status = test::Impose(bad.settings, bad.input, output);
        EXPECT_NE(status.find(bad.message), std::string::npos) << bad.settings << ": " << status;
        EXPECT_EQ(PageCount(output), -1) << bad.settings;
    }
    ScratchDir square;
    std::string squarePdf = square.File("square.pdf");
    PdfFromPostScript(NumberedPagesPostScript(2, 500, 500), squarePdf);
    EXPECT_NE(test::Impose("unimpose", squarePdf, output).find("Sheet 1 is square"),
              std::string::npos);
}

}  // namespace
}  // namespace gridane
