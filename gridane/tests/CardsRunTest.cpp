// Whole runs of step-and-repeat on cards made by real producers (pdflatex 85 x 55 mm with a
// link, Ghostscript 3.5 x 2 in with bleed): links land on every copy, upright and turned, and
// rendered backs sit behind their fronts after either flip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gridane/CalibrationSheet.h"
#include "gridane/GridaneCom.h"
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

TEST(CardsRunTest, TheCardsLinkLandsOnEveryCopyUprightAndTurned) {
    std::string input = DataFile("latex-card-85x55.pdf");
    for (std::string settings :
         {"repeat sheet=A4", "repeat sheet=A4:landscape grid=5x2 gutter=4"}) {
        SCOPED_TRACE(settings);
        ScratchDir dir;
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(settings, input, output), "");
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
        EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
        SheetPlan plan = BuildSheetPlan(test::SettingsFromText(settings), InputPages(input));
        const PlannedSide& side = plan.sides[0];
        std::vector<Box> links = test::FirstSheetLinks(output);
        ASSERT_EQ(links.size(), side.trims.size());
        // Each copy holds one link, long the way the card is shown.
        for (const Box& trim : side.trims) {
            int inside = 0;
            for (const Box& link : links) {
                bool in = link.x1 >= trim.x1 - 0.5 && link.x2 <= trim.x2 + 0.5 &&
                          link.y1 >= trim.y1 - 0.5 && link.y2 <= trim.y2 + 0.5;
                bool turned = side.cells[0].quarterTurns % 2 == 1;
                if (in) {
                    EXPECT_EQ(link.Width() > link.Height(), !turned);
                }
                inside += in;
            }
            EXPECT_EQ(inside, 1);
        }
    }
}

// The engine object tells its caller the grid its last run chose, and forgets it on a run
// that chose none.
TEST(CardsRunTest, TheEngineObjectKeepsTheGridItsLastRunChose) {
    ScratchDir dir;
    std::string card = DataFile("latex-card-85x55.pdf"), output = dir.File("out.pdf");
    GridaneCom engine;
    EXPECT_EQ(engine.Cards(), GridaneCom::ChosenCards{});
    engine.PutProperty("repeat", 1);
    engine.PutProperty("sheet", std::string("A4"));
    ASSERT_EQ(engine.getGridaneFile(card, output), "");
    EXPECT_EQ(engine.Cards(), (GridaneCom::ChosenCards{{2, 5}, false}));
    // On portrait A5 the card fits 1 x 3 upright and 2 x 2 turned.
    engine.PutProperty("sheet", std::string("A5:portrait"));
    ASSERT_EQ(engine.getGridaneFile(card, output), "");
    EXPECT_EQ(engine.Cards(), (GridaneCom::ChosenCards{{2, 2}, true}));
    engine.PutProperty("grid", std::string("1x2"));
    ASSERT_EQ(engine.getGridaneFile(card, output), "");
    EXPECT_EQ(engine.Cards(), GridaneCom::ChosenCards{});
    engine.PutProperty("grid", std::string());
    EXPECT_NE(engine.getGridaneFile(dir.File("missing.pdf"), output), "");
    EXPECT_EQ(engine.Cards(), GridaneCom::ChosenCards{});
}

constexpr int kDpi = 300;

// The box of the dark pixels of `picture` inside `area` (points on a sheet `height` high),
// in points from the sheet's lower-left corner.
Box InkInPoints(const Image& picture, const Box& area, double height) {
    double px = kDpi / 72.0;
    int x1 = int(area.x1 * px), x2 = int(area.x2 * px);
    int y1 = int((height - area.y2) * px), y2 = int((height - area.y1) * px);
    int left = x2, right = x1, top = y2, bottom = y1;
    for (int y = std::max(0, y1); y < std::min(picture.Height(), y2); ++y) {
        for (int x = std::max(0, x1); x < std::min(picture.Width(), x2); ++x) {
            if (picture.At(x, y) >= 96) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    return {left / px, height - (bottom + 1) / px, (right + 1) / px, height - top / px};
}

TEST(CardsRunTest, RenderedBacksSitBehindTheirFrontsAfterEitherFlip) {
    std::string input = DataFile("gs-card-3.5x2-bleed.pdf");
    for (std::string flip : {"long", "short"}) {
        SCOPED_TRACE(flip);
        ScratchDir dir;
        std::string output = dir.File("out.pdf");
        std::string settings = "repeat duplex_backs sheet=Letter bleed=9 frame=1 flip=" + flip;
        ASSERT_EQ(test::Impose(settings, input, output), "");
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
        SheetPlan plan = BuildSheetPlan(test::SettingsFromText(settings), InputPages(input));
        ASSERT_EQ(plan.sides.size(), 2u);
        const PlannedSide& front = plan.sides[0];
        const PlannedSide& back = plan.sides[1];
        double width = front.shownWidth, height = front.shownHeight;
        Image frontPicture = RenderPage(output, 1, kDpi), backPicture = RenderPage(output, 2, kDpi);
        bool landscape = width > height;
        for (size_t k = 0; k < back.cells.size(); ++k) {
            // The frame round each copy is its darkest outline: its ink box is the copy.
            Box b = InkInPoints(backPicture, back.cells[k].rect, height);
            double bx = (b.x1 + b.x2) / 2, by = (b.y1 + b.y2) / 2;
            // Mirrored through the centre line parallel to the flip edge.
            bool acrossX = (flip == "long") != landscape;
            double mx = acrossX ? width - bx : bx, my = acrossX ? by : height - by;
            double nearest = 1e9;
            for (const PlannedCell& cell : front.cells) {
                Box f = InkInPoints(frontPicture, cell.rect, height);
                nearest =
                    std::min(nearest, std::hypot((f.x1 + f.x2) / 2 - mx, (f.y1 + f.y2) / 2 - my));
            }
            EXPECT_LE(nearest, 0.5) << "back copy " << k;
            // The card's ink (its word and square) sits in its upper half; a short flip turns
            // it to the lower half.
            Box square = InkInPoints(backPicture, {b.x1 + 2, b.y1 + 2, b.x2 - 2, b.y2 - 2}, height);
            double squareY = (square.y1 + square.y2) / 2 - by;
            EXPECT_EQ(squareY > 0, flip == "long") << "back copy " << k;
        }
    }
}

TEST(CardsRunTest, TheCalibrationSheetHasItsCrossAtTheCentreOfBothSides) {
    ScratchDir dir;
    std::string output = dir.File("calibration.pdf");
    ASSERT_EQ(test::Impose("calibration sheet=A4", DataFile("latex-a4-links.pdf"), output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
    EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
    ASSERT_EQ(PageCount(output), 2);
    EXPECT_NE(PageText(output, 1).find("back_shift=X,Y"), std::string::npos);
    // The job's sheet: two A4 pages side by side on a landscape A4.
    for (int side : {1, 2}) {
        Image picture = RenderPage(output, side, 72);
        EXPECT_EQ(picture.Width(), 842);
        EXPECT_LT(test::DarkestOn(picture, 72, 595, 410, 297.5, 432, 297.5), 128) << side;
    }
    // A back seen 1 mm right and 1 mm up is moved back by that, mirrored as the sheet turns.
    const double mm = 72 / 25.4;
    EXPECT_EQ(BackShiftForReading(1, 1, TurnOverOf(false, 595, 842)), std::pair(mm, -mm));
    EXPECT_EQ(BackShiftForReading(1, 1, TurnOverOf(false, 842, 595)), std::pair(-mm, mm));
    EXPECT_EQ(BackShiftForReading(1, 1, TurnOverOf(true, 842, 595)), std::pair(mm, -mm));
}

}  // namespace
}  // namespace gridane
