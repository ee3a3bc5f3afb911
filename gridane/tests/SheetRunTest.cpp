// Whole runs with the sheet settings on files of real producers (pdflatex A4 portrait,
// LibreOffice letter landscape, a qpdf mix of both with turned pages, a Ghostscript A5 with
// bleed): every output passes qpdf --check without warnings, every sheet looks like the input
// pages scaled into the cells the plan gives, links and bookmarks land on the scaled pages,
// and bad values fail the run with their message and no output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gridane/PageTree.h"
#include "gridane/SheetPlan.h"
#include "gridane/tests/ImposeHelpers.h"
#include "gridane/tests/SettingsFromText.h"
#include "pdf/CPdfDocument.h"
#include "pdf/CPdfObject.h"
#include "testing/Bookmarks.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using test::DataFile;
using test::InputPages;

constexpr int kDpi = 40;

// Page `page` of `pdf` rendered by pdftoppm at `dpi` (any resolution, not only whole ones).
Image RenderAt(const std::string& pdf, int page, double dpi) {
    ScratchDir dir;
    std::string prefix = dir.File("page");
    CommandResult made =
        Run("pdftoppm -gray -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
            std::to_string(page) + " -singlefile " + ShellQuote(pdf) + " " + ShellQuote(prefix));
    if (made.exitCode != 0) throw std::runtime_error("pdftoppm failed: " + made.output);
    return Image::ReadPnm(prefix + ".pgm");
}

// What a sheet side should look like: white, and each cell's page as a viewer shows it
// (its trimmed part when it has a TrimBox), rendered at its scale where the plan puts its
// trim. `shift` moves every page that many points to the right: a picture the check must
// refuse.
Image ExpectedSide(const PlannedSide& side, const std::vector<PageGeometry>& pages,
                   const std::string& input, int width, int height, double shift = 0) {
    Image sheet(width, height, 255);
    size_t trim = 0;
    for (const PlannedCell& cell : side.cells) {
        if (cell.page == 0) continue;
        const PageGeometry& page = pages[static_cast<size_t>(cell.page) - 1];
        double pixels = kDpi * cell.scale / 72.0;
        Image picture = RenderAt(input, cell.page, kDpi * cell.scale);
        if (page.hasTrimBox) {
            const Box& t = page.trimBox;
            picture =
                picture.Crop(static_cast<int>(std::lround(t.x1 * pixels)),
                             static_cast<int>(std::lround((page.mediaBox.y2 - t.y2) * pixels)),
                             static_cast<int>(std::lround(t.Width() * pixels)),
                             static_cast<int>(std::lround(t.Height() * pixels)));
        }
        picture = picture.Rotate(cell.shownTurns);
        const Box& place = side.trims[trim++];
        int w = picture.Width(), h = picture.Height();
        double sheetPixels = kDpi / 72.0;
        int left = static_cast<int>(std::lround((place.x1 + shift) * sheetPixels));
        int top = static_cast<int>(std::lround((side.mediaBox.box.y2 - place.y2) * sheetPixels));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (left + x < width && top + y < height)
                    sheet.At(left + x, top + y) = picture.At(x, y);
            }
        }
    }
    return sheet;
}

// The box of the dark pixels (below 96: solid ink, not the gray edges of small text, which
// differ between renders at different sizes) of `picture` inside the rectangle `area` (pixels,
// x1 y1 x2 y2 from the top-left); all -1 when there are none.
Box InkBox(const Image& picture, const Box& area) {
    Box ink{-1, -1, -1, -1};
    for (int y = std::max(0, int(area.y1)); y < std::min(picture.Height(), int(area.y2)); ++y) {
        for (int x = std::max(0, int(area.x1)); x < std::min(picture.Width(), int(area.x2)); ++x) {
            if (picture.At(x, y) >= 96) continue;
            if (ink.x1 < 0 || x < ink.x1) ink.x1 = x;
            if (ink.y1 < 0 || y < ink.y1) ink.y1 = y;
            ink.x2 = std::max<double>(ink.x2, x);
            ink.y2 = std::max<double>(ink.y2, y);
        }
    }
    return ink;
}

// Whether the ink of every cell of `side` lies where it does in `expected`, within two pixels.
bool InkInPlace(const PlannedSide& side, const Image& actual, const Image& expected) {
    double pixels = kDpi / 72.0;
    for (const PlannedCell& cell : side.cells) {
        Box area{cell.rect.x1 * pixels, (side.mediaBox.box.y2 - cell.rect.y2) * pixels,
                 cell.rect.x2 * pixels, (side.mediaBox.box.y2 - cell.rect.y1) * pixels};
        Box a = InkBox(actual, area), e = InkBox(expected, area);
        if (std::abs(a.x1 - e.x1) > 2 || std::abs(a.y1 - e.y1) > 2 || std::abs(a.x2 - e.x2) > 2 ||
            std::abs(a.y2 - e.y2) > 2) {
            return false;
        }
    }
    return true;
}

struct RenderCase {
    std::string name;
    std::string input;
    std::string settings;
};

void PrintTo(const RenderCase& c, std::ostream* os) {
    *os << c.name;
}

class SheetRenders : public ::testing::TestWithParam<RenderCase> {};

TEST_P(SheetRenders, EverySheetShowsThePagesScaledIntoTheirCells) {
    const RenderCase& c = GetParam();
    ScratchDir dir;
    std::string input = DataFile(c.input), output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;

    std::vector<PageGeometry> pages = InputPages(input);
    SheetPlan plan = BuildSheetPlan(test::SettingsFromText(c.settings), pages);
    ASSERT_EQ(PageCount(output), static_cast<int>(plan.sides.size()));
    for (const PlannedSide& side : plan.sides) {
        ASSERT_EQ(side.rotate, 0) << "the cases lay out unturned sheets";
        Image actual = RenderPage(output, side.index + 1, kDpi);
        Image expected = ExpectedSide(side, pages, input, actual.Width(), actual.Height());
        // Compared at a third of the size: small text scaled from a render and rendered
        // scaled differ in their gray edges, a page out of place by a few points does not.
        int w = actual.Width() / 3, h = actual.Height() / 3;
        Image shown = actual.Scale(w, h);
        EXPECT_LT(shown.MeanDifference(expected.Scale(w, h)), 4.0) << "side " << side.index + 1;
        EXPECT_TRUE(InkInPlace(side, actual, expected)) << "side " << side.index + 1;
        // The check has teeth: pages 12 points to the right are refused.
        Image misplaced = ExpectedSide(side, pages, input, actual.Width(), actual.Height(), 12);
        EXPECT_FALSE(InkInPlace(side, actual, misplaced)) << "side " << side.index + 1;
    }
}

const RenderCase kRenderCases[] = {
    {"latex_a4_four_up_on_a4", "latex-a4-links.pdf", "up4 sheet=A4 outer_margin=20 gutter=10"},
    {"latex_a4_booklet_on_letter", "latex-a4-links.pdf", "outer_in sheet=Letter"},
    {"writer_letter_landscape_two_up_on_a4", "writer-letter-landscape.pdf", "sheet=A4 duplex"},
    {"writer_letter_landscape_six_up_fit", "writer-letter-landscape.pdf", "up3x2 sheet=A3 fit rtl"},
    // Turned pages (a quarter, a half, three quarters) and A4, letter and letter landscape.
    {"mixed_turned_two_up", "mixed-turned-objstm.pdf", "sheet=A3 gutter=8"},
    {"mixed_turned_four_up_fit", "mixed-turned-objstm.pdf", "up4 sheet=A4:landscape fit"},
    {"a5_with_bleed_booklet_on_a4", "gs-a5-bleed.pdf", "outer_in sheet=A4"},
    // Cards and free grids.
    {"latex_card_repeat_on_a4", "latex-card-85x55.pdf", "repeat sheet=A4 cropmarks"},
    {"latex_card_turned_on_a4_landscape", "latex-card-85x55.pdf",
     "repeat sheet=A4:landscape grid=5x2 gutter=4"},
    {"gs_card_trimmed_backs_on_letter", "gs-card-3.5x2-bleed.pdf",
     "repeat duplex_backs sheet=Letter:portrait flip=short cropmarks"},
    {"latex_a4_free_grid_columns_from_bottom", "latex-a4-links.pdf",
     "grid=3x2 order=columns from=bottom sheet=A3:landscape rtl"},
};
INSTANTIATE_TEST_SUITE_P(RealFiles, SheetRenders, ::testing::ValuesIn(kRenderCases),
                         [](const ::testing::TestParamInfo<RenderCase>& c) {
                             return c.param.name;
                         });

TEST(SheetRunTest, MarksAndBleedAreDrawnInTheMarginAndOnlyThere) {
    ScratchDir dir;
    std::string input = DataFile("gs-a5-bleed.pdf"), output = dir.File("out.pdf");
    const std::string settings = "outer_in sheet=A4 cropmarks foldmarks creep=0.2";
    ASSERT_EQ(test::Impose(settings, input, output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    SheetPlan plan = BuildSheetPlan(test::SettingsFromText(settings), InputPages(input));
    const PlannedSide& side = plan.sides[1];
    Image render = RenderPage(output, 2, kDpi);
    double height = side.mediaBox.box.y2;
    for (const MarkLine& mark : side.marks) {
        EXPECT_LT(test::DarkestOn(render, kDpi, height, mark.x1, mark.y1, mark.x2, mark.y2), 100)
            << mark.x1 << " " << mark.y1;
    }
    // The bleed (gray in the input) shows just outside the trim, not beyond the marks' gap:
    // left of the left page's trim, 4 points out is gray, 14 points out is white.
    const Box& trim = side.trims[0];
    double middle = (trim.y1 + trim.y2) / 2;
    int near = test::DarkestOn(render, kDpi, height, trim.x1 - 4, middle, trim.x1 - 4, middle + 20);
    int far =
        test::DarkestOn(render, kDpi, height, trim.x1 - 14, middle, trim.x1 - 14, middle + 20);
    EXPECT_LT(near, 200);
    EXPECT_GT(far, 240);
}

TEST(SheetRunTest, LinksAndBookmarksLandOnTheScaledPages) {
    ScratchDir dir;
    std::string input = DataFile("latex-a4-links.pdf"), output = dir.File("out.pdf");
    const std::string settings = "up4 sheet=A4 outer_margin=30";
    ASSERT_EQ(test::Impose(settings, input, output), "");
    SheetPlan plan = BuildSheetPlan(test::SettingsFromText(settings), InputPages(input));
    const PlannedSide& side = plan.sides[0];

    std::vector<Box> links = test::FirstSheetLinks(output);
    for (const Box& link : links) {
        // Inside one of the four scaled pages, and as wide as the scaled link.
        bool inside = std::any_of(side.trims.begin(), side.trims.end(), [&](const Box& t) {
            return link.x1 >= t.x1 && link.x1 <= t.x2 && link.y1 >= t.y1 && link.y1 <= t.y2;
        });
        EXPECT_TRUE(inside) << link.x1 << " " << link.y1;
        EXPECT_LT(link.x2 - link.x1, 200 * side.cells[0].scale);
    }
    EXPECT_GE(links.size(), 3u);
    // Each section's bookmark leads to the sheet that shows its page, inside that page.
    std::vector<std::string> targets = OutlineTargets(output);
    ASSERT_EQ(targets.size(), 5u);
    for (const std::string& target : targets) {
        double left = 0, top = 0;
        int depth = 0, sheet = 0;
        char title[32], fit[16];
        ASSERT_EQ(std::sscanf(target.c_str(), "%d %31s %d %15s %lf %lf", &depth, title, &sheet, fit,
                              &left, &top),
                  6)
            << target;
        EXPECT_EQ(std::string(fit), "XYZ");
        const PlannedSide& shown = plan.sides[static_cast<size_t>(sheet) - 1];
        bool inside = std::any_of(shown.trims.begin(), shown.trims.end(), [&](const Box& t) {
            return left >= t.x1 && left <= t.x2 && top >= t.y1 && top <= t.y2 + 1;
        });
        EXPECT_TRUE(inside) << target;
    }
}

TEST(SheetRunTest, BadValuesFailTheRunWithTheirMessageAndWriteNothing) {
    ScratchDir dir;
    std::string input = DataFile("latex-a4-links.pdf"), output = dir.File("out.pdf");
    struct Bad {
        const char* settings;
        const char* message;
    };
    for (Bad bad : {Bad{"sheet=A44", "Unknown sheet size 'A44'"},
                    Bad{"sheet=A4 outer_margin=-10", "Outer margin -10 is negative"},
                    Bad{"sheet=A5 gutter=5000", "no room for the cells"},
                    Bad{"outer_in signature=-1", "Signature -1"},
                    Bad{"outer_in creep=40", "Creep 40 mm is out of range"},
                    Bad{"cropmarks mediabox=0,0,100,100", "mediabox"},
                    Bad{"slug={file}{pages}", "Slug field '{pages}' is unknown"},
                    Bad{"regmarks colorbar sheet=250,400:portrait", "The colour bar needs a sheet"},
                    Bad{"slug=x regmarks sheet=100,300:portrait", "has no room for the slug"}}) {
        std::string status = test::Impose(bad.settings, input, output);
        EXPECT_NE(status.find(bad.message), std::string::npos) << bad.settings << ": " << status;
        EXPECT_EQ(PageCount(output), -1) << bad.settings;
    }
}

TEST(SheetRunTest, TheCommandTakesEverySheetOption) {
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    CommandResult run =
        testing_support::Run(BuildDir() +
                             "/bin/gridane --sheet='A4:landscape' --fit --outer_margin=12"
                             " --gutter=6 --signature=1 --rtl --creep=0.1 --cropmarks --foldmarks"
                             " --outer_in=1 -- " +
                             ShellQuote(DataFile("gs-a5-bleed.pdf")) + " " + ShellQuote(output));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    PageSize size = PdfPageSize(output, 1);
    EXPECT_NEAR(size.width, 841.89, 0.01);
    CommandResult bad =
        testing_support::Run(BuildDir() + "/bin/gridane --sheet=Quarto -- " +
                             ShellQuote(DataFile("gs-a5-bleed.pdf")) + " " + ShellQuote(output));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.output.find("Unknown sheet size 'Quarto'"), std::string::npos) << bad.output;
    CommandResult help = testing_support::Run(BuildDir() + "/bin/gridane --help");
    for (const char* option :
         {"--sheet=TEXT", "--fit=N", "--outer_margin=N", "--gutter=N", "--signature=N", "--rtl=N",
          "--creep=TEXT", "--cropmarks=N", "--foldmarks=N"}) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace gridane
