// Sheet boxes of print-ready pages, whose crop, bleed, trim and art boxes lie inside the media
// box, and the 2-to-1 halves of pages whose boxes differ: Ghostscript writes the boxes the
// pages ask for, qpdf turns a page. Each sheet is checked by its numbers and by what a viewer
// shows of it (its crop box rendered) against the input pages' own renders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

// One page of `width` x `height` points whose drawing changes all along both axes (stripes of
// varied width and length along the bottom and the left edge, a frame and a big number), so
// that a lost or shifted strip of the page shows in a render. `boxes` are pdfmark entries
// ("/CropBox [...] /TrimBox [...]") for the page.
std::string StripedPage(int width, int height, int number, const std::string& boxes = {}) {
    std::ostringstream ps;
    ps << "<< /PageSize [" << width << " " << height << "] >> setpagedevice\n";
    if (!boxes.empty()) ps << "[" << boxes << " /PAGE pdfmark\n";
    ps << "0 setgray 4 setlinewidth 2 2 " << width - 4 << " " << height - 4 << " rectstroke\n";
    for (int x = 12, k = 0; x < width - 12; x += 16, ++k) {
        ps << x << " 12 " << 2 + (k * 5 + number) % 7 << " "
           << height / 3 * (1 + (k * 3 + number) % 4) / 4 << " rectfill\n";
    }
    for (int y = 12, k = 0; y < height - 12; y += 16, ++k) {
        ps << "12 " << y << " " << width / 3 * (1 + (k * 7 + number) % 4) / 4 << " "
           << 2 + (k * 3 + number) % 7 << " rectfill\n";
    }
    ps << "/Helvetica-Bold findfont " << height / 4 << " scalefont setfont " << width / 3 << " "
       << height / 2 << " moveto (" << number << ") show\nshowpage\n";
    return ps.str();
}

std::string MakePdf(const ScratchDir& dir, const std::string& name, const std::string& pages) {
    std::string pdf = dir.File(name);
    PdfFromPostScript("%!PS\n" + pages, pdf);
    return pdf;
}

void ExpectClean(const std::string& pdf) {
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(pdf, &report)) << report;
}

// What a viewer shows of sheet `sheet` against `expected`: the same size and the same picture.
void ExpectShows(const std::string& output, int sheet, int dpi, const Image& expected) {
    Image shown = RenderPageCropBox(output, sheet, dpi);
    ASSERT_LE(std::abs(shown.Width() - expected.Width()), 1) << "sheet " << sheet;
    ASSERT_LE(std::abs(shown.Height() - expected.Height()), 1) << "sheet " << sheet;
    EXPECT_LT(shown.MeanDifference(expected), 3.0) << "sheet " << sheet;
}

TEST(SheetBoxesTest, EveryBoxRunsToTheSameBoxOfTheLastCell) {
    ScratchDir dir;
    std::string pages;
    for (int p = 1; p <= 4; ++p) {
        pages += StripedPage(632, 812, p,
                             "/CropBox [8 8 624 804] /BleedBox [8 8 624 804] "
                             "/TrimBox [16 16 616 796] /ArtBox [24 24 608 788]");
    }
    std::string input = MakePdf(dir, "print-ready.pdf", pages);
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose("up4 rightmargin=12 bottommargin=20", input, output), "");
    ExpectClean(output);

    // The cells step by the media box and the gaps: 644 across, 832 up.
    EXPECT_EQ(test::PageBoxes(output, "MediaBox").at(0), (Box{0, 0, 1276, 1644}));
    EXPECT_EQ(test::PageBoxes(output, "CropBox").at(0), (Box{8, 8, 1268, 1636}));
    EXPECT_EQ(test::PageBoxes(output, "BleedBox").at(0), (Box{8, 8, 1268, 1636}));
    EXPECT_EQ(test::PageBoxes(output, "TrimBox").at(0), (Box{16, 16, 1260, 1628}));
    EXPECT_EQ(test::PageBoxes(output, "ArtBox").at(0), (Box{24, 24, 1252, 1620}));

    // A viewer shows the crop box: the four pages at their cells, none of them cut short.
    const int dpi = 18;  // 4 points a pixel: every box edge falls on a pixel edge
    PageRenders renders(input, dpi);
    Image sheet = ComposeSheet(renders, GridPlacement({1, 2, 3, 4}, 2, 632, 812, 12, 20), 319, 411);
    ExpectShows(output, 1, dpi, sheet.Crop(2, 2, 315, 407));
}

// Sheet `sheet` of a 2-to-1 output shows the first (left) or second half of `page`, as a
// viewer shows that page.
void ExpectHalf(const std::string& output, int sheet, const Image& page, bool firstHalf, int dpi) {
    int half = page.Width() / 2;
    ExpectShows(output, sheet, dpi,
                firstHalf ? page.Crop(0, 0, half, page.Height())
                          : page.Crop(page.Width() - half, 0, half, page.Height()));
}

TEST(TwoToOneTest, PagesWithoutACropBoxAreHalvedWhole) {
    // A4 portrait and landscape pages: Ghostscript writes them without a crop box.
    ScratchDir dir;
    std::string input = MakePdf(dir, "a4.pdf", StripedPage(595, 842, 1) + StripedPage(842, 595, 2));
    std::string output = dir.File("halves.pdf");
    ASSERT_EQ(test::Impose("up2to1", input, output), "");
    ExpectClean(output);
    std::vector<Box> media = test::PageBoxes(output, "MediaBox");
    ASSERT_EQ(media.size(), 4u);
    EXPECT_EQ(media[0], (Box{0, 0, 297.5, 842}));
    EXPECT_EQ(media[1], (Box{297.5, 0, 595, 842}));
    EXPECT_EQ(media[2], (Box{0, 0, 421, 595}));
    EXPECT_EQ(media[3], (Box{421, 0, 842, 595}));

    const int dpi = 144;  // 2 pixels a point: the halves' edges (297.5, 421) fall on pixel edges
    Image portrait = RenderPageCropBox(input, 1, dpi);
    Image landscape = RenderPageCropBox(input, 2, dpi);
    ExpectHalf(output, 1, portrait, true, dpi);
    ExpectHalf(output, 2, portrait, false, dpi);
    ExpectHalf(output, 3, landscape, true, dpi);
    ExpectHalf(output, 4, landscape, false, dpi);
}

// A letter page whose crop box leaves out a strip on the left, and whose trim box lies inside
// it: what a viewer shows is 72..612, so the halves meet at 342.
std::string CroppedLetterPdf(const ScratchDir& dir) {
    return MakePdf(dir, "cropped.pdf",
                   StripedPage(612, 792, 1, "/CropBox [72 0 612 792] /TrimBox [90 20 590 770]"));
}

TEST(TwoToOneTest, EveryBoxOfBothHalvesIsCutAtTheMiddleOfWhatShows) {
    ScratchDir dir;
    std::string input = CroppedLetterPdf(dir);
    std::string output = dir.File("halves.pdf");
    ASSERT_EQ(test::Impose("up2to1", input, output), "");
    ExpectClean(output);
    std::vector<Box> media = test::PageBoxes(output, "MediaBox");
    std::vector<Box> crop = test::PageBoxes(output, "CropBox");
    std::vector<Box> trim = test::PageBoxes(output, "TrimBox");
    ASSERT_EQ(media.size(), 2u);
    EXPECT_EQ(media[0], (Box{0, 0, 342, 792}));
    EXPECT_EQ(crop[0], (Box{72, 0, 342, 792}));
    EXPECT_EQ(trim[0], (Box{90, 20, 342, 770}));
    EXPECT_EQ(media[1], (Box{342, 0, 612, 792}));
    EXPECT_EQ(crop[1], (Box{342, 0, 612, 792}));
    EXPECT_EQ(trim[1], (Box{342, 20, 590, 770}));

    const int dpi = 36;
    Image shown = RenderPageCropBox(input, 1, dpi);
    ExpectHalf(output, 1, shown, true, dpi);
    ExpectHalf(output, 2, shown, false, dpi);
}

TEST(TwoToOneTest, AHalfTurnedPageIsTurnedAboutWhatShows) {
    ScratchDir dir;
    std::string turned = dir.File("turned.pdf");
    CommandResult made = testing_support::Run(
        "qpdf --rotate=180 " + ShellQuote(CroppedLetterPdf(dir)) + " " + ShellQuote(turned));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    std::string output = dir.File("halves.pdf");
    ASSERT_EQ(test::Impose("up2to1", turned, output), "");
    ExpectClean(output);
    EXPECT_EQ(test::PageBoxes(output, "CropBox").at(0), (Box{72, 0, 342, 792}));

    // The first half is the left half of the page as a viewer shows it, turned.
    const int dpi = 36;
    Image shown = RenderPageCropBox(turned, 1, dpi);
    ExpectHalf(output, 1, shown, true, dpi);
    ExpectHalf(output, 2, shown, false, dpi);
}

}  // namespace
}  // namespace gridane
