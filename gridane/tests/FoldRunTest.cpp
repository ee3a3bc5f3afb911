// Whole runs of folded signatures on pdflatex and Ghostscript pages: every sheet side renders
// as its pages put where the plan says, heads turned where the folds across need it, and the
// links of a turned page stay on it.
#include <gtest/gtest.h>

#include "gridane/SheetPlan.h"
#include "gridane/tests/ImposeHelpers.h"
#include "gridane/tests/SettingsFromText.h"
#include "testing/Bookmarks.h"
#include "testing/Scratch.h"
#include "testing/SheetCompare.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

TEST(FoldRunTest, SheetsRenderAsPlannedWithTheirLinks) {
    struct Case {
        std::string input, settings;
    };
    const Case cases[] = {
        {test::DataFile("latex-a4-links.pdf"), "fold=8 binding=perfect"},
        {test::NumberedLetterPdf(18), "fold=16 cover=separate rtl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        ScratchDir dir;
        std::string output = dir.File("out.pdf");
        ASSERT_EQ(test::Impose(c.settings, c.input, output), "");
        std::string report;
        EXPECT_TRUE(QpdfCheckClean(output, &report)) << report;
        EXPECT_TRUE(GhostscriptRereads(output, &report)) << report;
        SheetPlan plan =
            BuildSheetPlan(test::SettingsFromText(c.settings), test::InputPages(c.input));
        ASSERT_EQ(PageCount(output), static_cast<int>(plan.sides.size()));
        PageRenders pages(c.input, 36);
        for (const PlannedSide& side : plan.sides) {
            std::vector<PlacedPage> cells;
            for (const PlannedCell& cell : side.cells) {
                double top = side.mediaBox.box.y2 - cell.rect.y2;
                cells.push_back({cell.page, cell.rect.x1, top, cell.quarterTurns});
            }
            EXPECT_LT(SheetDifference(output, side.index + 1, pages, cells), 3) << side.index;
        }
        // Each link of the first sheet lies within a cell that shows a page.
        for (const Box& link : test::FirstSheetLinks(output)) {
            bool onAPage = false;
            for (const PlannedCell& cell : plan.sides[0].cells) {
                onAPage |= cell.page != 0 && link.x1 >= cell.rect.x1 - 0.5 &&
                           link.x2 <= cell.rect.x2 + 0.5 && link.y1 >= cell.rect.y1 - 0.5 &&
                           link.y2 <= cell.rect.y2 + 0.5;
            }
            EXPECT_TRUE(onAPage) << link.x1 << "," << link.y1;
        }
    }
}

}  // namespace
}  // namespace gridane
