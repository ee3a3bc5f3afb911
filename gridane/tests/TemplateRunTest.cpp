// Sheet templates in whole runs: every built-in layout written through the template it prints
// gives the same bytes, and a hand-written template renders as it says.
#include <gtest/gtest.h>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

struct LayoutCase {
    const char* layout;  // the options that choose the layout, which the template replaces
    const char* kept;    // the options that still apply with a template: range, press sheet
    std::string input;
};

std::vector<LayoutCase> Layouts() {
    const std::string seven = test::NumberedLetterPdf(7);
    const std::string links = test::DataFile("latex-a4-links.pdf");
    const std::string cards = test::DataFile("gs-card-3.5x2-bleed.pdf");
    return {
        {"", "", seven},
        {"outer_in", "", links},
        {"duplex1423", "", seven},
        {"duplex4123", "", seven},
        {"duplex1342 down", "", links},
        {"up3 ab3", "", seven},
        {"up3down split", "", seven},
        {"up4", "", links},
        {"up4 ab4", "", test::NumberedLetterPdf(16)},
        {"up3x2 ab6", "", test::NumberedLetterPdf(12)},
        {"up4x2 ab8", "", test::NumberedLetterPdf(16)},
        {"up5x2 ab10", "", test::NumberedLetterPdf(20)},
        {"up2x6 ab12", "", test::NumberedLetterPdf(24)},
        {"up2to1", "", seven},
        {"up2to1h offset_split=20", "", seven},
        {"split ab=0", "", seven},
        {"up4 split ab=0", "", links},
        {"grid=3x2 order=columns from=bottom rtl", "", seven},
        {"sheet=A3 outer_in cropmarks foldmarks signature=1 creep=0.1", "", links},
        {"sheet=A4 up4 gutter=12 frame=1 fit", "s=2 e=6", seven},
        {"repeat sheet=A4 bleed=9 cropmarks", "regmarks colorbar slug={file}:{sheet}", cards},
        {"duplex_backs repeat sheet=A4 flip=short back_shift=2,-3", "", cards},
        {"tile=2x2 sheet=A4 overlap=18", "", links},
        {"poster=A2 sheet=A4", "s=2 e=3", seven},
    };
}

TEST(TemplateRunTest, EveryLayoutThroughItsPrintedTemplateWritesTheSameBytes) {
    ScratchDir dir;
    std::string tmpl = dir.File("layout.json");
    for (const LayoutCase& c : Layouts()) {
        std::string options = std::string(c.layout) + " " + c.kept;
        SCOPED_TRACE(options);
        std::string printed = test::Impose(options + " print_template", c.input, "");
        ASSERT_TRUE(printed.starts_with("{")) << printed;
        WriteWholeFile(tmpl, printed);
        std::string plain = dir.File("plain.pdf"), templated = dir.File("templated.pdf");
        ASSERT_EQ(test::Impose(options, c.input, plain), "");
        ASSERT_EQ(test::Impose(std::string(c.kept) + " template=" + tmpl, c.input, templated), "");
        EXPECT_EQ(ReadWholeFile(plain), ReadWholeFile(templated));
    }
}

TEST(TemplateRunTest, CommandPrintsARepeatingTemplateAndRefusesAWrongOne) {
    ScratchDir dir;
    std::string gridane = BuildDir() + "/bin/gridane";
    std::string input = ShellQuote(test::NumberedLetterPdf(16));
    // The template alone goes to standard output, the progress to standard error.
    std::string tmpl = dir.File("4up.json");
    CommandResult printed = testing_support::Run("{ " + gridane + " --print_template --up4 " +
                                                 input + " >" + ShellQuote(tmpl) + "; }");
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_TRUE(printed.output.starts_with("Input file: ")) << printed.output;
    std::string text = ReadWholeFile(tmpl);
    EXPECT_TRUE(text.starts_with("{\n  \"template\": 1,")) << text;
    EXPECT_NE(text.find("\"page\": \"4*s + 3\""), std::string::npos) << text;

    WriteWholeFile(dir.File("bad.json"), R"({"template": 1, "sheet": [0, 0, 612, 792],
        "sides": [{"cells": [{"page": "s + 1", "rect": [0, 0, 612, 792], "turn": 45}]}]})");
    CommandResult refused =
        testing_support::Run(gridane + " --template=" + ShellQuote(dir.File("bad.json")) + " " +
                             input + " " + ShellQuote(dir.File("out.pdf")));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("sides[0].cells[0].turn: 45 is not 0, 90, 180 or 270"),
              std::string::npos)
        << refused.output;
    // A folder is no template: it is refused, not read.
    CommandResult folder =
        testing_support::Run(gridane + " --template=" + ShellQuote(dir.Path()) + " " + input + " " +
                             ShellQuote(dir.File("out.pdf")));
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.output.find("Template '" + dir.Path() + "': cannot be opened"),
              std::string::npos)
        << folder.output;
}

// Two pages a side of a landscape A4 sheet, shrunk to fit its halves and centred there, the
// second turned by a half: each half shows its page, the right one upside down.
TEST(TemplateRunTest, AHandWrittenTemplateRendersAsItSays) {
    ScratchDir dir;
    std::string tmpl = dir.File("turned.json"), output = dir.File("out.pdf");
    WriteWholeFile(tmpl, R"({"template": 1, "sheet": [0, 0, 842, 595], "sides": [{"cells": [
        {"page": "2*s + 1", "rect": [0, 0, 421, 595]},
        {"page": "2*s + 2", "rect": [421, 0, 842, 595], "turn": 180}]}]})");
    const std::string& input = test::NumberedLetterPdf(4);
    ASSERT_EQ(test::Impose("template=" + tmpl, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
    ASSERT_EQ(PageCount(output), 2);

    // At 72 dpi a pixel is a point: a letter page shrunk to 421 points wide is 545 high,
    // 25 below the sheet's top.
    Image sheet = RenderPage(output, 2, 72);
    Image left = sheet.Crop(0, 25, 421, 545), right = sheet.Crop(421, 25, 421, 545);
    Image page3 = RenderPage(input, 3, 72).Scale(421, 545);
    Image page4 = RenderPage(input, 4, 72).Scale(421, 545).Rotate(2);
    // Numbered pages are mostly white: another page differs little, an unturned one much.
    EXPECT_LT(left.MeanDifference(page3), 4);
    EXPECT_LT(right.MeanDifference(page4), 4);
    EXPECT_GT(left.MeanDifference(page4.Rotate(2)), 5);
    EXPECT_GT(right.MeanDifference(page4.Rotate(2)), 15);
}

}  // namespace
}  // namespace gridane
