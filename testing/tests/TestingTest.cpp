#include <gtest/gtest.h>

#include "testing/Scratch.h"
#include "testing/Tools.h"

using namespace testing_support;

TEST(RenderCompare, GhostscriptPagesRenderDistinctlyAndTurnConsistently) {
    ScratchDir dir;
    std::string pdf = dir.File("pages.pdf");
    PdfFromPostScript(NumberedPagesPostScript(3, 300, 400), pdf);
    EXPECT_TRUE(QpdfCheck(pdf));
    EXPECT_EQ(PageCount(pdf), 3);

    Image one = RenderPage(pdf, 1, 36), two = RenderPage(pdf, 2, 36);
    EXPECT_EQ(one.Width(), 150);
    EXPECT_EQ(one.Height(), 200);
    EXPECT_LT(one.MeanDifference(RenderPage(pdf, 1, 36)), 0.5);
    EXPECT_GT(one.MeanDifference(two), 5.0);
    EXPECT_GT(one.MeanDifference(one.Rotate(2)), 5.0);
    EXPECT_LT(one.Rotate(1).Rotate(3).MeanDifference(one), 0.01);
    EXPECT_EQ(one.Crop(140, 190, 50, 50).Width(), 10);
}
