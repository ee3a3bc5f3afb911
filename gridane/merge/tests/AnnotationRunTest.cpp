// Annotations on imposed sheets: every cell's links are listed on its sheet, and each Rect
// lands exactly where the cell's page is drawn, in every layout group, with `down`, margins
// and turned cells; a page placed twice gets a copy of its links per placement.
#include <gtest/gtest.h>

#include <set>

#include "MergeFixtures.h"
#include "gridane/tests/ImposeHelpers.h"
#include "testing/Image.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;
using gridane_test::AnnotationsPerPage;
using gridane_test::FixtureOptions;
using gridane_test::RectValues;

// Every fixture page has one link with Rect [40 40 240 120]; on a sheet it is moved to the
// lower-left corner (x, y) of its cell.
RectValues LinkAt(double x, double y) {
    return {40 + x, 40 + y, 240 + x, 120 + y};
}

struct AnnotCase {
    std::string name;
    std::string settings;
    int pages;
    std::string rotate;  // qpdf --rotate argument for the input, empty for none
    std::vector<std::vector<RectValues>> sheets;
};

class AnnotationPlacement : public ::testing::TestWithParam<AnnotCase> {};

// The case's input: a fixture with a link on every page, turned by qpdf when the case says.
std::string LinkedInput(const AnnotCase& c, const ScratchDir& dir) {
    std::string input = dir.File("in.pdf");
    FixtureOptions options;
    options.pages = c.pages;
    options.links = true;
    options.image = false;
    gridane_test::MakeFixturePdf(options, input);
    if (c.rotate.empty()) return input;
    std::string turned = dir.File("turned.pdf");
    CommandResult made = testing_support::Run("qpdf --rotate=" + c.rotate + " " +
                                              ShellQuote(input) + " " + ShellQuote(turned));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return turned;
}

TEST_P(AnnotationPlacement, LinksLandOnTheirCells) {
    const AnnotCase& c = GetParam();
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, LinkedInput(c, dir), output), "");
    std::string report;
    EXPECT_TRUE(QpdfCheck(output, &report)) << report;

    gridane_test::DocumentAnnotations document = AnnotationsPerPage(output);
    const auto& pages = document.pages;
    ASSERT_EQ(pages.size(), c.sheets.size());
    std::set<int> pageObjects(document.pageObjects.begin(), document.pageObjects.end());
    std::set<int> numbers;
    for (size_t s = 0; s < pages.size(); ++s) {
        ASSERT_EQ(pages[s].size(), c.sheets[s].size()) << "sheet " << s + 1;
        for (size_t a = 0; a < pages[s].size(); ++a) {
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_NEAR(pages[s][a].rect[i], c.sheets[s][a][i], 0.01)
                    << "sheet " << s + 1 << " annotation " << a << " coordinate " << i;
            }
            // Every placement is an object of its own, and every link leads to a page of the
            // output (the sheet that shows its target).
            EXPECT_TRUE(numbers.insert(pages[s][a].number).second) << pages[s][a].number;
            EXPECT_EQ(pageObjects.count(pages[s][a].destination), 1u)
                << "sheet " << s + 1 << " annotation " << a;
        }
    }
}

const AnnotCase kAnnotCases[] = {
    {"TwoUp", "", 4, "", {{LinkAt(0, 0), LinkAt(612, 0)}, {LinkAt(0, 0), LinkAt(612, 0)}}},
    {"TwoUpDown", "down", 2, "", {{LinkAt(0, 792), LinkAt(0, 0)}}},
    {"TwoUpMargins", "rightmargin=10 bottommargin=20", 2, "", {{LinkAt(0, 0), LinkAt(622, 0)}}},
    {"TwoUpDuplicate",
     "duplicate",
     2,
     "",
     {{LinkAt(0, 0), LinkAt(612, 0)}, {LinkAt(0, 0), LinkAt(612, 0)}}},
    // A page turned by 180 degrees is drawn turned about its cell's upper-right corner.
    {"TwoUpTurnedCell",
     "",
     2,
     "+180:2",
     {{LinkAt(0, 0), {1224 - 240, 792 - 120, 1224 - 40, 792 - 40}}}},
    {"FourUp", "up4", 4, "", {{LinkAt(0, 792), LinkAt(612, 792), LinkAt(0, 0), LinkAt(612, 0)}}},
    {"FourUpMarginsDown",
     "up4 down rightmargin=10 bottommargin=20",
     4,
     "",
     {{LinkAt(0, 812), LinkAt(622, 812), LinkAt(0, 0), LinkAt(622, 0)}}},
    {"ThreeUp", "up3", 3, "", {{LinkAt(0, 0), LinkAt(612, 0), LinkAt(1224, 0)}}},
    {"TwelveUp",
     "up4x3",
     12,
     "",
     {{LinkAt(0, 1584), LinkAt(612, 1584), LinkAt(1224, 1584), LinkAt(1836, 1584), LinkAt(0, 792),
       LinkAt(612, 792), LinkAt(1224, 792), LinkAt(1836, 792), LinkAt(0, 0), LinkAt(612, 0),
       LinkAt(1224, 0), LinkAt(1836, 0)}}},
    // The 2-to-1 group shows each page whole, once per half, on two sheets.
    {"TwoToOne", "up2to1", 1, "", {{LinkAt(0, 0)}, {LinkAt(0, 0)}}},
};
// The link borders (3 points, black) show on the first sheet where the links were placed.
TEST_P(AnnotationPlacement, BordersRenderWhereTheLinksAre) {
    const AnnotCase& c = GetParam();
    ScratchDir dir;
    std::string output = dir.File("out.pdf");
    ASSERT_EQ(test::Impose(c.settings, LinkedInput(c, dir), output), "");
    constexpr int kDpi = 36;
    Image sheet = RenderPage(output, 1, kDpi);
    auto pixel = [&](double points) { return static_cast<int>(points * kDpi / 72.0); };
    for (const RectValues& rect : c.sheets[0]) {
        // The lower edge of the border, from the bottom of the sheet.
        int dark = 0;
        int row = sheet.Height() - 1 - pixel(rect[1] + 1.5);
        for (int x = pixel(rect[0] + 10); x < pixel(rect[2] - 10); ++x) {
            if (x >= 0 && x < sheet.Width() && row >= 0 && row < sheet.Height() &&
                sheet.At(x, row) < 128) {
                ++dark;
            }
        }
        EXPECT_GT(dark, pixel(rect[2] - rect[0] - 20) / 2) << rect[0] << " " << rect[1];
    }
}

INSTANTIATE_TEST_SUITE_P(Groups, AnnotationPlacement, ::testing::ValuesIn(kAnnotCases),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace gridane
