// Whole runs of poster tiles on Ghostscript and LibreOffice pages: the tiles, laid back together by
// their overlap, give the page rendered at the poster's size; every tile names itself; the output
// draws the page's own content and stays small; wrong settings fail with their message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "gridane/tests/ImposeHelpers.h"
#include "testing/Bookmarks.h"
#include "testing/RealFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using test::DataFile;

// The Ghostscript A5 page's trim (420 x 595, 36 points in from every edge) twice its size, on
// 600 x 840 sheets with margins of 20 whose picture areas share 40 points. At 72 dpi a point
// is a pixel: the picture sits centred on the tiles at whole pixels.
constexpr int kMargin = 20, kOverlap = 40, kTrimInset = 36;
// Pixels next to the edges of a tile's picture area (where its cut line and clip lie) and of
// the picture (clipped too) are not compared.
constexpr int kEdgeBand = 2;

struct PosterCase {
    std::string rotate;  // qpdf's turn of the input, or empty
    std::string settings;
    int columns, rows;
    int sheetWidth, sheetHeight;  // as the tiles are laid out
};

// The tiles, each laid over its left and upper neighbours as they are glued, and where their
// picture areas' edges fall.
struct LaidTiles {
    Image picture;
    std::vector<bool> edge;
};

LaidTiles LayTilesTogether(const std::string& output, const PosterCase& c) {
    int areaWidth = c.sheetWidth - 2 * kMargin, areaHeight = c.sheetHeight - 2 * kMargin;
    int width = c.columns * areaWidth - (c.columns - 1) * kOverlap;
    int height = c.rows * areaHeight - (c.rows - 1) * kOverlap;
    LaidTiles laid{Image(width, height), std::vector<bool>(size_t(width) * height, false)};
    for (int row = 0; row < c.rows; ++row) {
        for (int column = 0; column < c.columns; ++column) {
            int tile = row * c.columns + column + 1;
            Image sheet = RenderPage(output, tile, 72);
            EXPECT_EQ(sheet.Width(), c.sheetWidth);
            EXPECT_EQ(sheet.Height(), c.sheetHeight);
            int left = column * (areaWidth - kOverlap), top = row * (areaHeight - kOverlap);
            for (int y = 0; y < areaHeight; ++y) {
                for (int x = 0; x < areaWidth; ++x) {
                    laid.picture.At(left + x, top + y) = sheet.At(kMargin + x, kMargin + y);
                    if (std::min({x, y, areaWidth - 1 - x, areaHeight - 1 - y}) < kEdgeBand)
                        laid.edge[size_t(top + y) * width + left + x] = true;
                }
            }
            std::string label =
                "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
            EXPECT_TRUE(PageText(output, tile).ends_with(label)) << PageText(output, tile);
        }
    }
    return laid;
}

TEST(PosterRunTest, TilesLaidTogetherByTheirOverlapGiveThePageAtPosterSize) {
    const PosterCase cases[] = {
        // 840 x 1190 (A3 rounded) on 2 x 2 portrait sheets.
        {"", "poster=840,1190 sheet=600,840 overlap=40 e=1", 2, 2, 600, 840},
        // The page turned by /Rotate 90 is tiled as shown, 1190 x 840 on 2 x 2 landscape sheets.
        {"--rotate=90:1", "poster=1190,840 sheet=600,840 overlap=40 e=1", 2, 2, 840, 600},
    };
    for (const PosterCase& c : cases) {
        SCOPED_TRACE(c.settings);
        ScratchDir dir;
        std::string input = DataFile("gs-a5-bleed.pdf");
        if (!c.rotate.empty()) {
            std::string turned = dir.File("in.pdf");
            ASSERT_EQ(test::TurnedByQpdf(c.rotate, input, turned), "");
            input = turned;
        }
        std::string output = dir.File("poster.pdf");
        ASSERT_EQ(test::Impose(c.settings, input, output), "");
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
        EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
        ASSERT_EQ(PageCount(output), c.columns * c.rows + 3);  // the pages after the range kept
        LaidTiles laid = LayTilesTogether(output, c);

        // The page at the poster's size, cut to its trim.
        Image whole = RenderPage(input, 1, 144);
        Image page = whole.Crop(2 * kTrimInset, 2 * kTrimInset, whole.Width() - 4 * kTrimInset,
                                whole.Height() - 4 * kTrimInset);
        int width = laid.picture.Width(), height = laid.picture.Height();
        int offsetX = (width - page.Width()) / 2, offsetY = (height - page.Height()) / 2;
        int worst = 0, compared = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (laid.edge[size_t(y) * width + x]) continue;
                int px = x - offsetX, py = y - offsetY;
                auto within = [&](int grown) {
                    return px >= -grown && py >= -grown && px < page.Width() + grown &&
                           py < page.Height() + grown;
                };
                if (within(kEdgeBand) && !within(-kEdgeBand)) continue;
                int expected = within(0) ? page.At(px, py) : 255;
                worst = std::max(worst, std::abs(expected - laid.picture.At(x, y)));
                ++compared;
            }
        }
        EXPECT_LE(worst, 2);
        EXPECT_GT(compared, width * height * 9 / 10);
        // The tiles draw the page's own content streams: four of them weigh little beside it.
        EXPECT_LT(std::filesystem::file_size(output), std::filesystem::file_size(input) + 30000);
    }
}

TEST(PosterRunTest, TilesOfSeveralPagesNameTheirPage) {
    ScratchDir dir;
    std::string output = dir.File("poster.pdf");
    ASSERT_EQ(
        test::Impose("poster=A2 sheet=A4 s=2 e=3", DataFile("writer-letter-landscape.pdf"), output),
        "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    // Page 1 kept, 3 x 2 portrait tiles for each of pages 2 and 3, page 4 kept.
    ASSERT_EQ(PageCount(output), 1 + 6 + 6 + 1);
    EXPECT_TRUE(PageText(output, 2).ends_with("page 2, row 1, column 1")) << PageText(output, 2);
    EXPECT_TRUE(PageText(output, 13).ends_with("page 3, row 2, column 3"));
}

TEST(PosterRunTest, LinksLandOnlyOnTheTilesThatShowThem) {
    ScratchDir dir;
    std::string output = dir.File("poster.pdf");
    ASSERT_EQ(test::Impose("tile=2x2 sheet=A4", DataFile("latex-a4-links.pdf"), output), "");
    // Page 1's two links lie in its upper left quarter: on its first tile, within the sheet.
    size_t links = 0;
    for (size_t tile = 0; tile < 4; ++tile) {
        for (const Box& link : test::SheetLinks(output, tile)) {
            ++links;
            EXPECT_TRUE(link.x1 >= 0 && link.y1 >= 0 && link.x2 <= 595.3 && link.y2 <= 842)
                << "tile " << tile << ": " << link.x1 << "," << link.y1;
        }
    }
    EXPECT_EQ(links, 2u);
    EXPECT_EQ(test::SheetLinks(output, 0).size(), 2u);
}

TEST(PosterRunTest, WrongPosterSettingsFailWithTheirMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"tile=0x3 sheet=A4", "Tile '0x3' is not columns x rows, each 1 to 20 (for example 3x2)\n"},
        {"tile=2x2 sheet=A4 overlap=100", "Overlap 100 is out of range: 0 to 72 points\n"},
        {"tile=2x2 sheet=A4 overlap=wide", "Overlap 'wide' is not a number of points\n"},
        {"overlap=10 sheet=A4", "Overlap is shared by poster tiles: give tile or poster\n"},
        {"poster=A0", "Poster tiles need the size of the sheets they are printed on: give sheet\n"},
        {"tile=2x2 poster=A1 sheet=A4", "Tile and poster both size the poster: give one of them\n"},
        {"poster=A0 sheet=A4 grid=2x2",
         "Poster tiles combine only with sheet, outer_margin, "
         "overlap, s and e: not with a layout, grid, booklet, "
         "marks or slug\n"},
        {"poster=A0 sheet=A4 outer_in",
         "Poster tiles combine only with sheet, outer_margin, "
         "overlap, s and e: not with a layout, grid, booklet, "
         "marks or slug\n"},
        {"poster=0,10 sheet=A4",
         "Poster: Sheet size '0,10' is out of range: each side must be 1 to 14400 points\n"},
        {"poster=14400,14400 sheet=A6",
         "Poster 14400,14400 needs 38 x 44 tiles of sheet A6, "
         "more than 20 a side: give a larger sheet or a smaller "
         "poster\n"},
        {"tile=2x2 sheet=100,100 outer_margin=50",
         "The sheet leaves no picture between tile margins of 50 points and an overlap of 0 "
         "points\n"},
    };
    std::string input = DataFile("writer-letter-landscape.pdf");
    for (auto [settings, message] : cases) {
        SCOPED_TRACE(settings);
        ScratchDir dir;
        std::string output = dir.File("poster.pdf");
        EXPECT_EQ(test::Impose(settings, input, output), message);
        EXPECT_FALSE(std::filesystem::exists(output));
    }
}

}  // namespace
}  // namespace gridane
