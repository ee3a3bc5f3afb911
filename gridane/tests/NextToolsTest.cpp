// Imposed files that the next tool in a print shop's chain accepts: form fields keep their
// values (widgets whose values are names equal to keys), every output of a corpus of real
// producers' files is as sound for qpdf and Ghostscript as its input, and each page is
// clipped to its cell, so that a drawing beyond a page's box never covers its neighbours.
#include <gtest/gtest.h>

#include "gridane/Layout.h"
#include "gridane/PageTree.h"
#include "gridane/tests/ImposeHelpers.h"
#include "gridane/tests/SettingsFromText.h"
#include "pdf/CPdfDocument.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

const char kFormLatex[] =
    "\\documentclass{article}\\usepackage{hyperref}\\begin{document}\n"
    "\\section{Before} Text.\\newpage\n"
    "\\section{Form}\\begin{Form}\\CheckBox[name=agree,checked=true]{Agree}\\\\\n"
    "\\TextField[name=who,value=hello]{Name}\\end{Form}\\end{document}\n";

// A folder of inputs made once: real producers' files and variants of them.
struct Corpus {
    ScratchDir dir;
    std::vector<std::string> files;
    std::string form;  // the LaTeX form document, empty without pdflatex
};

const Corpus& TheCorpus() {
    static Corpus* corpus = [] {
        auto* c = new Corpus;
        std::string gs = c->dir.File("ghostscript.pdf");
        PdfFromPostScript(BookmarkedPostScript(), gs);
        c->files = {gs, SourceDir() + "/samples/sample.pdf"};
        std::string cairo = c->dir.File("cairo.pdf");
        if (testing_support::Run("pdftocairo -pdf " + ShellQuote(gs) + " " + ShellQuote(cairo))
                .exitCode == 0) {
            c->files.push_back(cairo);
        }
        std::string form = c->dir.File("form.pdf");
        if (PdfFromLatex(kFormLatex, form)) {
            c->form = form;
            c->files.push_back(form);
        }
        for (size_t k = 0, n = c->files.size(); k < n; ++k) {
            std::string packed = c->dir.File("objstm" + std::to_string(k) + ".pdf");
            testing_support::Run("qpdf --object-streams=generate " + ShellQuote(c->files[k]) + " " +
                                 ShellQuote(packed));
            c->files.push_back(packed);
        }
        return c;
    }();
    return *corpus;
}

const std::vector<std::string> kLayouts = {
    "", "outer_in", "up4", "up3x2", "up2to1", "duplicate", "up4x3 rightmargin=7"};

// A widget with "/H /P" and no /P of its own once lost its values to the edit of /P: each
// output keeps the check box state, the text and where the fields are.
TEST(NextTools, FormFieldsKeepTheirValues) {
    const Corpus& corpus = TheCorpus();
    if (corpus.form.empty()) GTEST_SKIP() << "pdflatex is not installed";
    const std::vector<std::pair<std::string, int>> sheetOfPageTwo = {
        {"", 1}, {"outer_in", 1}, {"up4", 1}, {"up3x2", 1}, {"up2to1", 3}};
    ScratchDir dir;
    for (const auto& [settings, sheet] : sheetOfPageTwo) {
        SCOPED_TRACE(settings);
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(settings, corpus.form, output), "");
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
        std::string fields =
            testing_support::Run("qpdf --json=2 --json-key=acroform " + ShellQuote(output)).output;
        EXPECT_NE(fields.find("\"appearancestate\": \"/Yes\""), std::string::npos) << fields;
        EXPECT_NE(fields.find("\"value\": \"/Yes\""), std::string::npos) << fields;
        EXPECT_NE(fields.find("\"value\": \"u:hello\""), std::string::npos) << fields;
        EXPECT_NE(fields.find("\"pageposfrom1\": " + std::to_string(sheet)), std::string::npos)
            << fields;
    }
}

// Whether Ghostscript's strict reading accepts `pdf`, and the same file with its streams
// uncompressed (as an imposed file writes its small cell streams). Ghostscript 10.0 stops on
// a pdfTeX form page once its content stream is uncompressed, whoever rewrote the file.
bool GhostscriptRereadsUncompressed(const std::string& pdf, const ScratchDir& dir) {
    std::string plain = dir.File("uncompressed.pdf");
    testing_support::Run("qpdf --stream-data=uncompress " + ShellQuote(pdf) + " " +
                         ShellQuote(plain));
    return GhostscriptRereads(pdf) && GhostscriptRereads(plain);
}

// Every layout over every file of the corpus: qpdf finds nothing in an output that it does
// not find in its input, and Ghostscript reads every output whose input its strict reading
// accepts.
TEST(NextTools, OutputsAreAsSoundAsTheirInputs) {
    const Corpus& corpus = TheCorpus();
    ScratchDir dir;
    for (const std::string& input : corpus.files) {
        bool cleanInput = QpdfCheckClean(input);
        bool gsReadsInput = GhostscriptRereadsUncompressed(input, dir);
        for (const std::string& settings : kLayouts) {
            SCOPED_TRACE(input + " [" + settings + "]");
            std::string output = dir.File("out.pdf");
            ASSERT_EQ(test::Impose(settings, input, output), "");
            std::string report;
            if (cleanInput) {
                EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
            }
            EXPECT_TRUE(QpdfCheck(output, &report)) << report;
            if (gsReadsInput) {
                EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
            }
        }
    }
}

struct ClipCase {
    std::string name;
    std::string settings;
    bool turnedPages;  // pages 2 and 5 turned by a half (drawn turned on the sheet)
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class ClippedCells : public ::testing::TestWithParam<ClipCase> {};

// Every page draws a black frame just outside its MediaBox: on the sheet, that frame must not
// show, so each sheet looks like the renders of its pages put at their cells.
TEST_P(ClippedCells, NothingAPageDrawsLeavesItsCell) {
    const ClipCase& c = GetParam();
    ScratchDir dir;
    std::string input = TheCorpus().files.front();
    if (c.turnedPages) {
        std::string turned = dir.File("turned.pdf");
        ASSERT_EQ(test::TurnedByQpdf("--rotate=180:2,5", input, turned), "");
        input = turned;
    }
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");

    CPdfDocument in;
    in.Open(input);
    std::vector<PageRecord> pages = ReadPageTree(in.GetXRef(), in.GetXRef().GetRootNum()).pages;
    std::vector<PageGeometry> geometry(pages.begin(), pages.end());
    SheetPlan plan = BuildSheetPlan(test::SettingsFromText(c.settings), geometry);
    ASSERT_EQ(PageCount(output), static_cast<int>(plan.sides.size()));
    PageRenders renders(input, 18);
    for (const PlannedSide& side : plan.sides) {
        const Box& sheet = side.mediaBox.box;
        std::vector<PlacedPage> placed;
        for (const PlannedCell& cell : side.cells) {
            placed.push_back(
                {cell.page, cell.rect.x1 - sheet.x1, sheet.y2 - cell.rect.y2, cell.shownTurns});
        }
        EXPECT_LT(SheetDifference(output, side.index + 1, renders, placed), 1.0)
            << "sheet " << side.index + 1;
    }
}

const ClipCase kClipCases[] = {
    {"two_up", "", false},
    {"two_up_turned", "", true},
    {"booklet_turned", "outer_in", true},
    {"three_up", "up3", false},
    {"four_up_gaps", "up4 rightmargin=20 bottommargin=10", true},
    {"six_up", "up3x2", false},
    {"eight_up_down", "up2x4 down", true},
    {"ten_up", "up5x2", false},
    {"twelve_up", "up4x3", true},
};
INSTANTIATE_TEST_SUITE_P(Grids, ClippedCells, ::testing::ValuesIn(kClipCases),
                         [](const ::testing::TestParamInfo<ClipCase>& c) { return c.param.name; });

}  // namespace
}  // namespace gridane
