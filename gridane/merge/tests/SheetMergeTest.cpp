// Resource merging on whole runs: sheets that put pages of different documents side by side
// (whose resource names clash) render like their input pages, and the merged dictionaries
// hold every name once.
#include <gtest/gtest.h>

#include <regex>

#include "MergeFixtures.h"
#include "gridane/ImpositionJob.h"
#include "gridane/tests/ImposeHelpers.h"
#include "pdf/CPdfException.h"
#include "testing/PdfBuilder.h"
#include "testing/ReaderFaultFiles.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using gridane_test::FixtureOptions;
using gridane_test::MakeFixturePdf;

constexpr double kSameSheet = 2.0;

// Two Ghostscript documents with different fonts and images, joined by qpdf: Ghostscript
// names resources after its object numbers, so pages of the two halves use equal names for
// different fonts and images.
std::string MixedDocument(const ScratchDir& dir, int pagesEach) {
    FixtureOptions a;
    a.pages = pagesEach;
    FixtureOptions b;
    b.pages = pagesEach;
    b.fonts = "Courier-BoldOblique Times-Italic Helvetica-Bold";
    b.label = "Q";
    b.imageShade = "dup 80 idiv 2 mod 200 mul";
    std::string fileA = dir.File("a.pdf");
    std::string fileB = dir.File("b.pdf");
    std::string mixed = dir.File("mixed.pdf");
    MakeFixturePdf(a, fileA);
    MakeFixturePdf(b, fileB);
    CommandResult joined = Run("qpdf --empty --pages " + ShellQuote(fileA) + " " +
                               ShellQuote(fileB) + " -- " + ShellQuote(mixed));
    if (joined.exitCode != 0) ADD_FAILURE() << joined.output;
    return mixed;
}

void ExpectClean(const std::string& output) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
}

struct MixCase {
    std::string name;
    std::string settings;
    int columns;
    std::vector<std::vector<int>> sheets;  // pages per cell, row by row
    int keptInFront = 0;
    int pagesEach = 3;  // pages of each of the two documents
};

class MixedDocuments : public ::testing::TestWithParam<MixCase> {};

TEST_P(MixedDocuments, SheetsDrawEveryCellWithItsOwnResources) {
    const MixCase& c = GetParam();
    ScratchDir dir;
    std::string input = MixedDocument(dir, c.pagesEach);
    std::string output = dir.File("out.pdf");
    std::string settings = c.settings;
    if (settings.find("seq") != std::string::npos) {
        WriteWholeFile(dir.File("order.txt"), "1,4\n2,5\n");
        settings += "=" + dir.File("order.txt");
    }
    ASSERT_EQ(test::Impose(settings, input, output), "");
    ExpectClean(output);
    // Pages before the first page `s` stand in front of the sheets.
    const int kept = c.keptInFront;
    ASSERT_EQ(PageCount(output), static_cast<int>(c.sheets.size()) + kept);
    PageRenders pages(input, 18);
    for (size_t s = 0; s < c.sheets.size(); ++s) {
        auto placed = GridPlacement(c.sheets[s], c.columns, 612, 792);
        EXPECT_LT(SheetDifference(output, static_cast<int>(s) + 1 + kept, pages, placed),
                  kSameSheet)
            << "sheet " << s + 1;
    }
    // Clashing names were given new ones: a letter, 9 and a number.
    std::string text = ReadWholeFile(output);
    EXPECT_TRUE(std::regex_search(text, std::regex("/[FX]9[0-9]+ [0-9]+ 0 R")));
}

const MixCase kMixCases[] = {
    // Sheet 2 pairs the last page of the first document with the first of the second.
    {"TwoUp", "", 2, {{1, 2}, {3, 4}, {5, 6}}},
    {"TwoUpCutAndStack", "ab=0 split", 2, {{1, 4}, {2, 5}, {3, 6}}},
    {"FourUp", "up4", 2, {{1, 2, 3, 4}, {5, 6, 0, 0}}},
    {"ThreeUpFromPageTwo", "up3 ab3 s=2", 3, {{2, 3, 4}, {5, 6, 0}}, 1},
    // Cells 10 and 11 hold pages of the second document.
    {"TwelveUp", "up4x3", 4, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}, 0, 6},
    // Page 4 is renamed on both sheets, with different names: each sheet keeps its own
    // rewritten copy of its content stream.
    {"SequenceRepeatsAPage", "up4 seq", 2, {{1, 4, 2, 5}, {3, 6, 4, 0}}},
};
INSTANTIATE_TEST_SUITE_P(Layouts, MixedDocuments, ::testing::ValuesIn(kMixCases),
                         [](const auto& param) { return param.param.name; });

// Hand-made pages: the font is direct in one page's resources, inherited from the page tree
// in another's, and a third page keeps a clashing name in a nested Resources object.
std::string HandMadeDocument(const ScratchDir& dir) {
    auto text = [](const std::string& word) {
        return "BT /F1 60 Tf 60 400 Td (" + word + ") Tj ET 0 0 1 rg /GS1 gs 60 100 200 100 re f";
    };
    PdfBuilder pdf;
    pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    // The tree's inner node holds the resources that page 5 inherits.
    pdf.Object(2,
               "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 /MediaBox [0 0 612 792] "
               "/Resources << /Font << /F1 12 0 R >> /ExtGState << /GS1 << /ca 0.3 >> >> >> >>");
    pdf.Object(3,
               "<< /Type /Page /Parent 2 0 R /Contents 6 0 R /Resources << /Font << /F1 << "
               "/Type /Font /Subtype /Type1 /BaseFont /Courier >> >> /ExtGState << /GS1 << "
               "/ca 1 >> >> >> >>");
    pdf.Object(4, "<< /Type /Page /Parent 2 0 R /Contents 7 0 R /Resources 9 0 R >>");
    pdf.Object(5, "<< /Type /Page /Parent 2 0 R /Contents 8 0 R >>");
    pdf.Stream(6, "", text("Courier"));
    pdf.Stream(7, "/Filter /FlateDecode", Deflate(text("Times")));
    pdf.Stream(8, "", text("Helvet"));
    pdf.Object(9, "<< /Font 10 0 R /ExtGState << /GS1 11 0 R >> >>");
    pdf.Object(10, "<< /F1 13 0 R >>");
    pdf.Object(11, "<< /ca 0.6 >>");
    pdf.Object(12, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>");
    pdf.Object(13, "<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>");
    std::string path = dir.File("hand.pdf");
    WriteWholeFile(path, pdf.BuildWithTable("/Root 1 0 R"));
    return path;
}

TEST(SheetMergeTest, DirectNestedAndInheritedResources) {
    ScratchDir dir;
    std::string input = HandMadeDocument(dir);
    ASSERT_TRUE(QpdfCheck(input));
    for (const char* settings : {"up3", "up3 s=2", "up3 ab3 duplicate"}) {
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(settings, input, output), "") << settings;
        ExpectClean(output);
        PageRenders pages(input, 18);
        std::string name(settings);
        std::vector<std::vector<int>> sheets =
            name == "up3"       ? std::vector<std::vector<int>>{{1, 2, 3}}
            : name == "up3 s=2" ? std::vector<std::vector<int>>{{2, 3, 0}}
                                : std::vector<std::vector<int>>{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
        int offset = name == "up3 s=2" ? 1 : 0;  // the kept page 1 comes first
        for (size_t s = 0; s < sheets.size(); ++s) {
            auto placed = GridPlacement(sheets[s], 3, 612, 792);
            EXPECT_LT(SheetDifference(output, static_cast<int>(s) + 1 + offset, pages, placed),
                      kSameSheet)
                << settings << " sheet " << s + 1;
        }
    }
}

TEST(SheetMergeTest, PagesOfOneDocumentShareTheirResourcesWithoutRenames) {
    ScratchDir dir;
    FixtureOptions options;
    options.pages = 4;
    options.fonts = "Times-Roman";
    std::string input = dir.File("in.pdf");
    std::string output = dir.File("out.pdf");
    MakeFixturePdf(options, input);
    ASSERT_EQ(test::Impose("", input, output), "");
    ExpectClean(output);
    std::string text = ReadWholeFile(output);
    EXPECT_FALSE(std::regex_search(text, std::regex("/[FXECPS]9[0-9]+ ")));
    PageRenders pages(input, 18);
    EXPECT_LT(SheetDifference(output, 2, pages, GridPlacement({3, 4}, 2, 612, 792)), kSameSheet);
}

// Content streams written with every standard filter and chains of them (as some producers
// write them): the renames reach them all, so each cell draws with its own fonts and images.
const std::vector<std::string> kContentChains = {"AHx",        "A85",      "LZW",   "RL",
                                                 "A85+LZW0/P", "AHx+Fl/P", "RL+A85"};

std::string EncodedMixedDocument(const ScratchDir& dir) {
    std::string encoded = dir.File("encoded.pdf");
    EncodeContentStreams(MixedDocument(dir, 3), kContentChains, encoded);
    std::string report;
    EXPECT_TRUE(QpdfCheck(encoded, &report)) << report;
    return encoded;
}

TEST(SheetMergeTest, RenamesReachContentStreamsOfEveryFilter) {
    ScratchDir dir;
    std::string input = EncodedMixedDocument(dir);
    PageRenders pages(input, 18);
    const struct {
        const char* settings;
        std::vector<std::vector<int>> sheets;
    } cases[] = {{"", {{1, 2}, {3, 4}, {5, 6}}}, {"up4", {{1, 2, 3, 4}, {5, 6, 0, 0}}}};
    for (const auto& c : cases) {
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(c.settings, input, output), "") << c.settings;
        ExpectClean(output);
        // Every stream was decoded and renamed: none needed the form of undecodable content.
        EXPECT_EQ(ReadWholeFile(output).find("/BBox [-32767"), std::string::npos);
        for (size_t s = 0; s < c.sheets.size(); ++s) {
            auto placed = GridPlacement(c.sheets[s], 2, 612, 792);
            EXPECT_LT(SheetDifference(output, static_cast<int>(s) + 1, pages, placed), kSameSheet)
                << c.settings << " sheet " << s + 1;
        }
    }
}

// Content that the run cannot decode within its limit keeps its names: it is drawn through a
// form that carries its page's own resources, and the run says so.
TEST(SheetMergeTest, ContentThatCannotBeDecodedDrawsWithItsOwnResources) {
    ScratchDir dir;
    std::string input = EncodedMixedDocument(dir);
    std::string output = dir.File("out.pdf");
    JobSettings settings;
    ImpositionJob job(settings, input, output, nullptr);
    job.decodeLimit = 64;  // smaller than every page's content
    try {
        RunImposition(job);
    } catch (const CPdfException& e) {
        FAIL() << e.GetMessage() << " (object " << e.objectNumber << ")";
    }
    ExpectClean(output);
    PageRenders pages(input, 18);
    for (int s = 0; s < 3; ++s) {
        auto placed = GridPlacement({2 * s + 1, 2 * s + 2}, 2, 612, 792);
        EXPECT_LT(SheetDifference(output, s + 1, pages, placed), kSameSheet) << "sheet " << s + 1;
    }
    EXPECT_TRUE(std::regex_search(ReadWholeFile(output), std::regex("/Subtype /Form /BBox")));
    EXPECT_NE(job.Warnings().Text().find("Stream too large to decode): drawn through a form"),
              std::string::npos)
        << job.Warnings().Text();
}

}  // namespace
}  // namespace gridane
