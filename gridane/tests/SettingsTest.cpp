// The setting puts of the contract, the box-string rule and the layout group.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

#include "gridane/PropertyTable.h"
#include "gridane/SheetLayout.h"
#include "gridane/interface/GridaneInterface.h"
#include "gridane/tests/SettingsFromText.h"

namespace gridane {
namespace {

TEST(PropertyTableTest, EveryPropertyOfTheContractHasAPutOfItsKind) {
    auto puts = GridaneSettingPuts();
    auto properties = com::GridaneContract().properties;
    ASSERT_EQ(puts.size(), properties.size());
    for (size_t i = 0; i < puts.size(); ++i) {
        EXPECT_EQ(puts[i].name, properties[i].name);
        bool text = properties[i].kind == com::PropertyKind::Text;
        EXPECT_EQ(puts[i].putText != nullptr, text) << puts[i].name;
        EXPECT_EQ(puts[i].putNumber != nullptr, !text) << puts[i].name;
    }
}

TEST(PropertyTableTest, DefaultsImposeTwoUpSequentiallyOverAllPages) {
    JobSettings settings;
    EXPECT_TRUE(settings.ab);
    EXPECT_EQ(settings.firstPage, 1);
    EXPECT_EQ(settings.lastPage, kToLastPage);
    EXPECT_FALSE(settings.mediaBox.IsGiven());
    EXPECT_EQ(SelectLayoutGroup(settings), LayoutGroup::Up2);
    // Every default the contract states is the value a fresh JobSettings holds.
    for (const com::PropertyContract& p : com::GridaneContract().properties) {
        JobSettings put;
        if (p.kind == com::PropertyKind::Text) {
            EXPECT_TRUE(com::PutSetting(GridaneSettingPuts(), put, p.name, p.defaultText));
        } else {
            EXPECT_TRUE(com::PutSetting(GridaneSettingPuts(), put, p.name,
                                        int32_t(std::stoi(std::string(p.defaultText)))));
        }
        EXPECT_TRUE(put == settings) << p.name;
    }
}

TEST(PropertyTableTest, FlagsStoreNonZeroAndIntegersTheValue) {
    JobSettings s = test::SettingsFromText("up4=-7 rightmargin=-3 s=5");
    EXPECT_TRUE(s.up4);
    EXPECT_EQ(s.rightMargin, -3);
    EXPECT_EQ(s.firstPage, 5);
}

TEST(PropertyTableTest, TheSheetIsParsedWhenItIsPut) {
    JobSettings s = test::SettingsFromText("sheet=letter:landscape");
    ASSERT_TRUE(s.sheet.size && std::holds_alternative<paper::SheetSize>(*s.sheet.size));
    const paper::SheetSize& size = std::get<paper::SheetSize>(*s.sheet.size);
    EXPECT_EQ(size.paper, "US Letter");
    EXPECT_EQ(size.orientation, paper::SheetOrientation::Landscape);
    EXPECT_TRUE(std::holds_alternative<std::string>(
        *test::SettingsFromText("sheet=A4 sheet=A99").sheet.size));
    EXPECT_FALSE(test::SettingsFromText("sheet=A4 sheet=").sheet.size);
}

TEST(BoxStringTest, TakesExactlyFourCommaSeparatedNumbers) {
    EXPECT_EQ(ParseBoxString("0,0,612,792"), (Box{0, 0, 612, 792}));
    EXPECT_EQ(ParseBoxString("1.5,-2,3e2,4"), (Box{1.5, -2, 300, 4}));
    EXPECT_EQ(ParseBoxString("0 0 612 792"), std::nullopt);
    EXPECT_EQ(ParseBoxString("0,0,612"), std::nullopt);
    EXPECT_EQ(ParseBoxString(""), std::nullopt);
    EXPECT_EQ(ParseBoxString("0,0,inf,792"), std::nullopt);
    // A bad string put after a good one leaves the box unset.
    JobSettings s = test::SettingsFromText("cropbox=0,0,612,792 cropbox=0;0;1;1");
    EXPECT_FALSE(s.cropBox.IsGiven());
}

// A box beyond the format's page limit is not written: the run refuses it, naming it.
TEST(BoxStringTest, BoxesBeyondThePageLimitAreRefusedByTheRun) {
    struct Case {
        const char* settings;
        const char* message;  // "" when the boxes are taken
    };
    const Case cases[] = {
        {"mediabox=0,0,14400,14400 cropbox=-7200,-7200,7200,7200", ""},
        {"mediabox=0,0,1e300,1e300",
         "Media box '0,0,1e300,1e300' is out of range: every number must lie within -14400 and "
         "14400 points, and no side may be longer than 14400 points\n"},
        {"cropbox=0,0,14401,10", "Crop box '0,0,14401,10' is out of range: "},
        {"mediabox2=-14400,0,14400,10", "Second media box '-14400,0,14400,10' is out of range: "},
        {"cropbox2=0,-20000,1,1", "Second crop box '0,-20000,1,1' is out of range: "},
    };
    for (const Case& c : cases) {
        JobSettings s = test::SettingsFromText(c.settings);
        const std::string problem = CheckSheetSettings(s);
        EXPECT_EQ(*c.message == 0 ? problem : problem.substr(0, strlen(c.message)), c.message)
            << c.settings;
        if (*c.message != 0) {
            EXPECT_FALSE(s.mediaBox.IsGiven() || s.cropBox.IsGiven() || s.mediaBox2.IsGiven() ||
                         s.cropBox2.IsGiven());
        }
    }
}

TEST(GroupTest, FirstGroupWithAFlagOnWins) {
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up4 up3x2")), LayoutGroup::Up6);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up3 up2x3")), LayoutGroup::Up6);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up4 up2to1")), LayoutGroup::Up4);
    EXPECT_EQ(SelectLayoutGroup(test::SettingsFromText("up2x6 up2x5")), LayoutGroup::Up12);
    EXPECT_EQ(GridOf(test::SettingsFromText("up3 up2x3")), (Grid{2, 3}));
}

}  // namespace
}  // namespace gridane
