// Page-range texts, image placement on the page, and metric resolutions.
#include <gtest/gtest.h>

#include "printpdf/ImagePlacement.h"
#include "printpdf/PageRanges.h"
#include "printpdf/Resolution.h"

using printpdf::DrawingOrigin;
using printpdf::FitInto;
using printpdf::FitRequest;
using printpdf::ParsePageRanges;
using printpdf::PdfRect;

TEST(PageRanges, ListsAndRefusals) {
    struct Case {
        const char* text;
        int pageCount;
        std::optional<std::vector<int>> expected;
    };
    const Case cases[] = {
        {"3", 5, std::vector<int>{3}},
        {"1-4", 4, std::vector<int>{1, 2, 3, 4}},
        {"1-0", 4, std::vector<int>{}},  // no page: how an empty range is written
        {"2-3, 1 ,5", 5, std::vector<int>{2, 3, 1, 5}},
        {"1-5", 4, std::nullopt},
        {"0", 4, std::nullopt},
        {"", 4, std::nullopt},
        {"1-", 4, std::nullopt},
        {"a", 4, std::nullopt},
        {"1,,2", 4, std::nullopt},
        {"99999999999", 4, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePageRanges(c.text, c.pageCount), c.expected) << c.text;
}

TEST(ImagePlacement, OriginsMapRectanglesIntoPdfSpace) {
    PdfRect page{10, 20, 600, 800};  // a media box that does not start at 0 0
    PdfRect top = printpdf::ToPdfRect(DrawingOrigin::TopLeft, page, 0, 0, 600, 800);
    EXPECT_DOUBLE_EQ(top.x, 10);
    EXPECT_DOUBLE_EQ(top.y, 20);
    PdfRect corner = printpdf::ToPdfRect(DrawingOrigin::TopLeft, page, 5, 30, 100, 50);
    EXPECT_DOUBLE_EQ(corner.x, 15);
    EXPECT_DOUBLE_EQ(corner.y, 20 + 800 - 30 - 50);
    PdfRect bottom = printpdf::ToPdfRect(DrawingOrigin::BottomLeft, page, 5, 30, 100, 50);
    EXPECT_DOUBLE_EQ(bottom.y, 50);
}

TEST(ImagePlacement, QuarterTurnSendsImageCornersClockwise) {
    printpdf::ImageMatrix m = printpdf::StretchInto({100, 200, 40, 60}, true);
    auto map = [&m](double u, double v) {
        return std::pair(m.a * u + m.c * v + m.e, m.b * u + m.d * v + m.f);
    };
    EXPECT_EQ(map(0, 0), std::pair(100.0, 260.0));  // image bottom-left to target top-left
    EXPECT_EQ(map(0, 1), std::pair(140.0, 260.0));  // image top-left to target top-right
    EXPECT_EQ(map(1, 1), std::pair(140.0, 200.0));
}

TEST(ImagePlacement, FitKeepsProportionsAndAligns) {
    FitRequest wide{3300, 2550, 1, 1, false};
    std::optional<printpdf::FitResult> fit = FitInto(wide, 0, 0, 842, 595);
    ASSERT_TRUE(fit);
    EXPECT_DOUBLE_EQ(fit->height, 595);
    EXPECT_NEAR(fit->width, 595 * 3300.0 / 2550, 1e-9);
    EXPECT_NEAR(fit->left, (842 - fit->width) / 2, 1e-9);
    EXPECT_DOUBLE_EQ(fit->top, 0);

    FitRequest farCorner{100, 100, 2, 2, false};
    fit = FitInto(farCorner, 10, 10, 300, 100);
    ASSERT_TRUE(fit);
    EXPECT_DOUBLE_EQ(fit->left, 210);
    EXPECT_DOUBLE_EQ(fit->width, 100);

    FitRequest turnable{300, 100, 0, 0, true};
    fit = FitInto(turnable, 0, 0, 100, 300);
    ASSERT_TRUE(fit);
    EXPECT_TRUE(fit->quarterTurn);
    EXPECT_DOUBLE_EQ(fit->width, 100);
    EXPECT_DOUBLE_EQ(fit->height, 300);

    EXPECT_FALSE(FitInto({100, 100, 3, 0, false}, 0, 0, 10, 10));
    EXPECT_FALSE(FitInto({100, 100, 0, 0, false}, 0, 0, 0, 10));
}

TEST(Resolution, MetricValuesSnapToTheWholeDpiTheyStandFor) {
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerMetre(11811), 300);
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerMetre(2835), 72);
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerCentimetre(118.11), 300);
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerCentimetre(59.05), 150);  // truncated 59.055
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerMetre(5905), 150);
    EXPECT_NEAR(printpdf::DotsPerInchFromPerCentimetre(118), 299.72, 1e-9);
    EXPECT_NEAR(printpdf::DotsPerInchFromPerMetre(5100), 129.54, 1e-9);
    EXPECT_DOUBLE_EQ(printpdf::DotsPerInchFromPerMetre(0), 0);
}
