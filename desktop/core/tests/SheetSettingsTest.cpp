// The SHEET value's forms and the engine's sheet text.
#include "desktop/core/SheetSettings.h"

#include <gtest/gtest.h>

namespace desktop {
namespace {

TEST(SheetSettingsTest, SheetValuesTakeApartAndBackWhole) {
    using O = SheetOrientation;
    struct Case {
        const char* text;
        SheetChoice choice;
        const char* written;  // SheetText of the choice
        const char* put;      // what the engine gets
    };
    for (const Case& c : {
             Case{"", {}, "", ""},
             Case{"A4", {"A4", 0, 0, O::Auto}, "A4", "A4"},
             Case{" A3:portrait ", {"A3", 0, 0, O::Portrait}, "A3:portrait", "A3:portrait"},
             Case{"Folio, F4:landscape",
                  {"Folio, F4", 0, 0, O::Landscape},
                  "Folio, F4:landscape",
                  "Folio, F4:landscape"},
             // Any letter case and the aliases, named as the paper table spells them.
             Case{"a4", {"A4", 0, 0, O::Auto}, "A4", "A4"},
             Case{"Letter:Landscape",
                  {"US Letter", 0, 0, O::Landscape},
                  "US Letter:landscape",
                  "US Letter:landscape"},
             Case{"SRA4", {"SRA4", 0, 0, O::Auto}, "SRA4", "SRA4"},
             Case{"595.5, 842", {"Custom", 595.5, 842, O::Auto}, "595.5,842", "595.5,842"},
             Case{"100,14400:landscape",
                  {"Custom", 100, 14400, O::Landscape},
                  "100,14400:landscape",
                  "100,14400:landscape"},
         }) {
        std::optional<SheetChoice> choice = ParseSheet(c.text);
        ASSERT_TRUE(choice) << c.text;
        EXPECT_EQ(*choice, c.choice) << c.text;
        EXPECT_EQ(SheetText(*choice), c.written) << c.text;
        EXPECT_EQ(SheetPutText(c.text), c.put) << c.text;
    }
    for (const char* refused : {"A11", "Custom", "1e3,842", "+612,792", ":landscape", "612", "612,",
                                ",792", "612,792:", "0.5,792", "612,792;1", "612 792", "inf,792"}) {
        EXPECT_FALSE(ParseSheet(refused)) << refused;
        EXPECT_EQ(SheetPutText(refused), refused);  // the engine refuses it in its own words
    }
}

TEST(SheetSettingsTest, CreepIsAPlainDecimalOfMillimetres) {
    EXPECT_EQ(ParseCreep(""), 0.0);
    EXPECT_EQ(ParseCreep("0.1"), 0.1);
    EXPECT_EQ(ParseCreep(".25"), 0.25);
    EXPECT_EQ(ParseCreep("1"), 1.0);
    for (const char* refused : {"1.001", "-0", "+0.1", "0.1mm", "1e-1", "0x1", "0..1", "."}) {
        EXPECT_FALSE(ParseCreep(refused)) << refused;
    }
}

}  // namespace
}  // namespace desktop
