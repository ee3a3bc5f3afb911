// Bookmarks on imposed sheets: every outline item, named destination and GoTo action of a
// Ghostscript (pdfmark) and a LaTeX (hyperref) document leads to the sheet that shows its
// page, at the page's place there, in every kind of layout; the outputs are sound for qpdf and
// Ghostscript.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <sstream>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using Lines = std::vector<std::string>;

const std::string& BookmarkedPdf() {
    static ScratchDir dir;
    static const std::string pdf = [] {
        std::string path = dir.File("bookmarked.pdf");
        PdfFromPostScript(BookmarkedPostScript(), path);
        return path;
    }();
    return pdf;
}

void ExpectSound(const std::string& output) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
}

struct BookmarkCase {
    std::string name;
    std::string settings;
    std::string rotate;  // qpdf --rotate argument for the input, empty for none
    Lines expected;      // "depth title sheet fit numbers", as OutlineTargets reads them
};

void PrintTo(const BookmarkCase& c, std::ostream* os) {
    *os << c.name;
}

class BookmarkRun : public ::testing::TestWithParam<BookmarkCase> {};

TEST_P(BookmarkRun, BookmarksLeadToTheirPagesOnTheSheets) {
    const BookmarkCase& c = GetParam();
    ScratchDir dir;
    std::string input = BookmarkedPdf();
    if (!c.rotate.empty()) {
        input = dir.File("turned.pdf");
        CommandResult made =
            testing_support::Run("qpdf --rotate=" + c.rotate + " " + ShellQuote(BookmarkedPdf()) +
                                 " " + ShellQuote(input));
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");
    ExpectSound(output);
    EXPECT_EQ(OutlineTargets(output), c.expected);
    // The outline's own entries are kept: the colour, the flags and the closed count.
    std::string qdf = dir.File("qdf.pdf");
    ASSERT_EQ(
        testing_support::Run("qpdf --qdf " + ShellQuote(output) + " " + ShellQuote(qdf)).exitCode,
        0);
    std::string text = ReadWholeFile(qdf);
    EXPECT_NE(text.find("/C [\n    1\n    0\n    0\n  ]"), std::string::npos);
    EXPECT_NE(text.find("/Count -2"), std::string::npos);
    EXPECT_NE(text.find("/F 2"), std::string::npos);
}

// The input's bookmarks, page by page (see BookmarkedPostScript).
const Lines kUnimposed = {"0 P1 1 XYZ 50.00 700.00 null",
                          "0 P2 2 FitH 600.00",
                          "1 P3 3 FitR 100.00 100.00 300.00 200.00",
                          "1 P4 4 Fit",
                          "0 P5 5 FitV 72.00",
                          "0 Six 6 XYZ 20.00 30.00 null",
                          "0 P7 7 XYZ 50.00 700.00 null",
                          "0 P8 8 XYZ 50.00 700.00 null"};

const BookmarkCase kCases[] = {
    // Sheets 1|2 3|4 5|6 7|8; a destination that fits its page fits the page's cell.
    {"two_up",
     "",
     "",
     {"0 P1 1 XYZ 50.00 700.00 null", "0 P2 1 FitH 600.00",
      "1 P3 2 FitR 100.00 100.00 300.00 200.00", "1 P4 2 FitR 612.00 0.00 1224.00 792.00",
      "0 P5 3 FitV 72.00", "0 Six 3 XYZ 632.00 30.00 null", "0 P7 4 XYZ 50.00 700.00 null",
      "0 P8 4 XYZ 662.00 700.00 null"}},
    // Page 2 turned by a half is drawn turned about its cell's upper-right corner (1224, 792).
    {"two_up_turned_page",
     "",
     "+180:2",
     {"0 P1 1 XYZ 50.00 700.00 null", "0 P2 1 FitH 192.00",
      "1 P3 2 FitR 100.00 100.00 300.00 200.00", "1 P4 2 FitR 612.00 0.00 1224.00 792.00",
      "0 P5 3 FitV 72.00", "0 Six 3 XYZ 632.00 30.00 null", "0 P7 4 XYZ 50.00 700.00 null",
      "0 P8 4 XYZ 662.00 700.00 null"}},
    // Sheets 8|1 2|7 6|3 4|5.
    {"booklet",
     "outer_in",
     "",
     {"0 P1 1 XYZ 662.00 700.00 null", "0 P2 2 FitH 600.00",
      "1 P3 3 FitR 712.00 100.00 912.00 200.00", "1 P4 4 FitR 0.00 0.00 612.00 792.00",
      "0 P5 4 FitV 684.00", "0 Six 3 XYZ 20.00 30.00 null", "0 P7 2 XYZ 662.00 700.00 null",
      "0 P8 1 XYZ 50.00 700.00 null"}},
    // Two rows: the top row 792 points up.
    {"four_up",
     "up4",
     "",
     {"0 P1 1 XYZ 50.00 1492.00 null", "0 P2 1 FitH 1392.00",
      "1 P3 1 FitR 100.00 100.00 300.00 200.00", "1 P4 1 FitR 612.00 0.00 1224.00 792.00",
      "0 P5 2 FitV 72.00", "0 Six 2 XYZ 632.00 822.00 null", "0 P7 2 XYZ 50.00 700.00 null",
      "0 P8 2 XYZ 662.00 700.00 null"}},
    {"six_up",
     "up3x2",
     "",
     {"0 P1 1 XYZ 50.00 1492.00 null", "0 P2 1 FitH 1392.00",
      "1 P3 1 FitR 1324.00 892.00 1524.00 992.00", "1 P4 1 FitR 0.00 0.00 612.00 792.00",
      "0 P5 1 FitV 684.00", "0 Six 1 XYZ 1244.00 30.00 null", "0 P7 2 XYZ 50.00 1492.00 null",
      "0 P8 2 XYZ 662.00 1492.00 null"}},
    // Each page shows on two sides, its first half first: the bookmark leads to that one.
    {"two_to_one",
     "up2to1",
     "",
     {"0 P1 1 XYZ 50.00 700.00 null", "0 P2 3 FitH 600.00",
      "1 P3 5 FitR 100.00 100.00 300.00 200.00", "1 P4 7 FitR 0.00 0.00 612.00 792.00",
      "0 P5 9 FitV 72.00", "0 Six 11 XYZ 20.00 30.00 null", "0 P7 13 XYZ 50.00 700.00 null",
      "0 P8 15 XYZ 50.00 700.00 null"}},
    // Pages outside the range stay pages of their own and keep their bookmarks.
    {"range",
     "s=3 e=6",
     "",
     {"0 P1 1 XYZ 50.00 700.00 null", "0 P2 2 FitH 600.00",
      "1 P3 3 FitR 100.00 100.00 300.00 200.00", "1 P4 3 FitR 612.00 0.00 1224.00 792.00",
      "0 P5 4 FitV 72.00", "0 Six 4 XYZ 632.00 30.00 null", "0 P7 5 XYZ 50.00 700.00 null",
      "0 P8 6 XYZ 50.00 700.00 null"}},
    // A folded order of whole blocks of four leaves pages 5 to 7 out: their bookmarks stay,
    // without a destination; page 8, after the range, is kept.
    {"pages_left_out",
     "up4 ab4 e=7",
     "",
     {"0 P1 1 XYZ 50.00 1492.00 null", "0 P2 2 FitH 1392.00",
      "1 P3 1 FitR 712.00 892.00 912.00 992.00", "1 P4 2 FitR 0.00 792.00 612.00 1584.00", "0 P5 0",
      "0 Six 0", "0 P7 0", "0 P8 3 XYZ 50.00 700.00 null"}},
};
INSTANTIATE_TEST_SUITE_P(Layouts, BookmarkRun, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BookmarkCase>& c) {
                             return c.param.name;
                         });

// Links lead to their target's place as bookmarks do: in a booklet of four pages (4|1, 2|3),
// every page's link to page 3 at (50, 700) leads to the second sheet, 612 points right.
TEST(BookmarkRunLinks, LinkDestinationsMoveWithTheirTargetPage) {
    ScratchDir dir;
    std::string input = dir.File("links.pdf");
    PdfFromPostScript(
        "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
        "1 1 4 { pop [/Rect [40 40 240 120] /Border [0 0 0] /Page 3 "
        "/View [/XYZ 50 700 null] /Subtype /Link /ANN pdfmark showpage } for\n",
        input);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("outer_in", input, output), "");
    ExpectSound(output);
    std::string sheet = testing_support::Run("qpdf --show-pages " + ShellQuote(output)).output;
    std::smatch second;
    ASSERT_TRUE(std::regex_search(sheet, second, std::regex("page 2: ([0-9]+) 0 R"))) << sheet;
    std::string json = testing_support::Run("qpdf --json=2 " + ShellQuote(output)).output;
    std::regex destination("\"/Dest\": \\[\\s*\"" + second[1].str() +
                           " 0 R\",\\s*\"/XYZ\",\\s*662(\\.0+)?,\\s*700(\\.0+)?,\\s*null");
    auto found = std::sregex_iterator(json.begin(), json.end(), destination);
    EXPECT_EQ(std::distance(found, std::sregex_iterator()), 4) << json;
}

TEST(BookmarkInput, TheInputReadsAsWritten) {
    EXPECT_EQ(OutlineTargets(BookmarkedPdf()), kUnimposed);
}

// hyperref's bookmarks are GoTo actions to named destinations of a name tree.
TEST(BookmarkRunLatex, SectionsLeadToTheirSheets) {
    ScratchDir dir;
    std::string input = dir.File("sections.pdf");
    if (!PdfFromLatex("\\documentclass{article}\\usepackage{hyperref}\\begin{document}\n"
                      "\\section{One} Text.\\newpage\n"
                      "\\section{Two} Text.\\subsection{Two a} More.\\newpage\n"
                      "\\section{Three} See \\hyperref[one]{one}.\\newpage\n"
                      "\\section{Four} Text.\\end{document}\n",
                      input)) {
        GTEST_SKIP() << "pdflatex is not installed";
    }
    const std::vector<std::pair<std::string, std::vector<int>>> cases = {
        {"", {1, 1, 1, 2, 2}},      {"outer_in", {1, 2, 2, 2, 1}}, {"up4", {1, 1, 1, 1, 1}},
        {"up3x2", {1, 1, 1, 1, 1}}, {"up2to1", {1, 3, 3, 5, 7}},
    };
    Lines original = OutlineTargets(input);
    ASSERT_EQ(original.size(), 5u);
    for (const auto& [settings, sheets] : cases) {
        SCOPED_TRACE(settings);
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(settings, input, output), "");
        ExpectSound(output);
        Lines lines = OutlineTargets(output);
        ASSERT_EQ(lines.size(), original.size());
        for (size_t k = 0; k < lines.size(); ++k) {
            // "depth title... sheet XYZ left top zoom": read from the end.
            std::istringstream read(lines[k]);
            std::vector<std::string> words;
            for (std::string word; read >> word;) words.push_back(word);
            ASSERT_GE(words.size(), 6u) << lines[k];
            EXPECT_EQ(words[words.size() - 5], std::to_string(sheets[k])) << lines[k];
            EXPECT_EQ(words[words.size() - 4], "XYZ") << lines[k];
        }
    }
}

}  // namespace
}  // namespace gridane
