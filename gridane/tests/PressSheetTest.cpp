// The press sheet's plan and content: where the targets, the colour bar and the slug go on
// sheets as shown (also turned), the slug's fields and refusals, and its text made safe.
#include <gtest/gtest.h>

#include "gridane/PressContent.h"
#include "gridane/PressSheet.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

PlannedSide SideOfSize(double width, double height, int rotate) {
    PlannedSide side;
    side.rotate = rotate;
    side.mediaBox.box = rotate == 90 ? Box{0, 0, height, width} : Box{0, 0, width, height};
    side.shownWidth = width;
    side.shownHeight = height;
    return side;
}

TEST(PressSheetPlan, ItemsLieInTheOuterBandOfTheSheetAsShown) {
    struct Case {
        const char* settings;
        int rotate;
        std::vector<std::pair<double, double>> targets;
        int patches;
        double slugWidth;  // 0: no slug
    };
    // An A3 sheet as shown, 1190.55 x 841.89 (the middle at 595.28, 420.95).
    const Case cases[] = {
        {"regmarks",
         0,
         {{595.275, 10}, {595.275, 831.89}, {10, 420.945}, {1180.55, 420.945}},
         0,
         0},
        {"colorbar", 0, {}, 16, 0},
        {"slug=x", 0, {}, 0, 1190.55 - 40},
        // With the targets, the bar and slug end before the middle one.
        {"slug=x regmarks colorbar",
         90,
         {{595.275, 10}, {595.275, 831.89}, {10, 420.945}, {1180.55, 420.945}},
         16,
         595.275 - 8 - 4 - 20},
    };
    for (const Case& c : cases) {
        PlannedSide side = SideOfSize(1190.55, 841.89, c.rotate);
        ASSERT_EQ(PlacePressItems(test::SettingsFromText(c.settings), side), "") << c.settings;
        const PressItems& items = side.press;
        EXPECT_EQ(items.turns, c.rotate / 90) << c.settings;
        ASSERT_EQ(items.targets.size(), c.targets.size()) << c.settings;
        for (size_t k = 0; k < c.targets.size(); ++k) {
            EXPECT_NEAR(items.targets[k].first, c.targets[k].first, 0.01) << c.settings;
            EXPECT_NEAR(items.targets[k].second, c.targets[k].second, 0.01) << c.settings;
        }
        EXPECT_EQ(items.patches, c.patches) << c.settings;
        if (c.patches > 0) {
            EXPECT_DOUBLE_EQ(items.barY + items.patchSize / 2, kPressBand / 2);
        }
        EXPECT_EQ(items.slug, c.slugWidth > 0) << c.settings;
        if (c.slugWidth > 0) {
            EXPECT_NEAR(items.slugWidth, c.slugWidth, 0.01) << c.settings;
        }
    }
    PlannedSide plain = SideOfSize(595, 842, 0);
    ASSERT_EQ(PlacePressItems(JobSettings{}, plain), "");
    EXPECT_FALSE(plain.press.Any());
}

TEST(PressSheetPlan, RefusesWhatCannotBeUsedWithItsReason) {
    struct Case {
        std::string slug;
        const char* message;
    };
    for (const Case& c : {Case{"{file} {pages}", "Slug field '{pages}' is unknown"},
                          Case{"{file", "Slug field '{file' is unknown"},
                          Case{std::string(501, 'x'), "Slug of 501 characters is too long"}}) {
        JobSettings s;
        s.slug = c.slug;
        EXPECT_NE(CheckPressSettings(s).find(c.message), std::string::npos) << c.slug;
    }
    JobSettings good;
    good.slug = "{{{file}}} {date} {sheet}/{sheets} {side} {job}";
    EXPECT_EQ(CheckPressSettings(good), "");
    // A postcard is too narrow for the bar beside the middle target.
    PlannedSide card = SideOfSize(298, 420, 0);
    EXPECT_NE(PlacePressItems(test::SettingsFromText("regmarks colorbar"), card)
                  .find("The colour bar needs a sheet 320 points wide"),
              std::string::npos);
}

TEST(PressSheetText, FieldsAreFilledAndTheTextIsMadeSafe) {
    SlugFields fields{"a (1).pdf", "2026-12-09", "job", 3, 8, true};
    EXPECT_EQ(ExpandSlug("{{{file}}} {date} {sheet}/{sheets} {side} {job} {x}", fields),
              "{a (1).pdf} 2026-12-09 3/8 back job {x}");
    fields.back = false;
    EXPECT_EQ(ExpandSlug("{side}", fields), "front");

    struct Case {
        std::string utf8;
        std::string literal;
    };
    for (const Case& c :
         {Case{"a(b)c\\", "(a\\(b\\)c\\\\)"}, Case{") Tj /F1 99 Tf (", "(\\) Tj /F1 99 Tf \\()"},
          Case{"\xc3\xa9\xe2\x82\xac", "(\\351\\200)"},           // e acute, euro
          Case{"\xf0\x9f\x98\x80\x01\n\xff", "(???\?)"},          // emoji, controls, no UTF-8
          Case{"\xe2\x80\x9cq\xe2\x80\x9d", "(\\223q\\224)"}}) {  // curly quotes
        EXPECT_EQ(WinAnsiLiteral(ToWinAnsi(c.utf8)), c.literal) << c.utf8;
    }
}

TEST(PressSheetText, ALongSlugShrinksThenIsCutToItsRoom) {
    PressItems items;
    items.slug = true;
    items.slugWidth = 100;  // 23 characters at 7 points, 33 at 5
    EXPECT_NE(SlugContent(items, std::string(20, 'a'), "F").find("/F 7.00 Tf"), std::string::npos);
    EXPECT_NE(SlugContent(items, std::string(30, 'a'), "F").find("/F 5.50 Tf"), std::string::npos);
    std::string cut = SlugContent(items, std::string(60, 'a'), "F");
    EXPECT_NE(cut.find("/F 5.00 Tf"), std::string::npos);
    EXPECT_NE(cut.find("(" + std::string(30, 'a') + "...)"), std::string::npos) << cut;
    items.turns = 1;
    items.pageWidth = 595;
    EXPECT_NE(SlugContent(items, "a", "F").find("0.00 1.00 -1.00 0.00 595.00 0.00 cm"),
              std::string::npos);
}

}  // namespace
}  // namespace gridane
