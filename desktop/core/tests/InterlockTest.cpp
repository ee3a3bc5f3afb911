#include "desktop/core/Interlocks.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "desktop/core/SetupFile.h"

namespace desktop {
namespace {

// A record built from the defaults by a few hand-written changes.
JobSetup Job(const std::function<void(JobSetup&)>& change = {}) {
    JobSetup setup;
    if (change) change(setup);
    return setup;
}

struct OptionCase {
    OptionCase(const char* name_, JobSetup before_, OptionAction action_, JobSetup after_,
               std::string message_ = {})
        : name(name_), before(before_), action(action_), after(after_), message(message_) {}
    const char* name;
    JobSetup before;
    OptionAction action;
    JobSetup after;
    std::string message;
};

// Cases print as their names (the records would print as bytes).
void PrintTo(const OptionCase& c, std::ostream* out) {
    *out << c.name;
}

class OptionInterlockTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionInterlockTest, GivesTheRecordAndMessage) {
    const OptionCase& c = GetParam();
    InterlockResult result = ApplyOption(c.before, c.action);
    EXPECT_EQ(result.setup, c.after);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.dialog, DialogRequest::None);
}

const std::string kWarning(kAutomaticNotRecommended);

INSTANTIATE_TEST_SUITE_P(
    Table, OptionInterlockTest,
    ::testing::Values(
        OptionCase{"Down", Job(), OptionAction::Down,
                   Job([](JobSetup& s) { s.typeAcross = -1, s.typeDown = 0; })},
        OptionCase{"Across", Job([](JobSetup& s) { s.typeAcross = -1, s.typeDown = 0; }),
                   OptionAction::Across, Job()},
        OptionCase{"ABClearsTheOtherTypes", Job([](JobSetup& s) {
                       s.typeAB = -1, s.typeSplit = 0, s.typeAB4 = 0, s.duplex2Up = 0;
                       s.ChooseOrder(DuplexOrder::Order8127);
                   }),
                   OptionAction::AB,
                   Job([](JobSetup& s) { s.ChooseOrder(DuplexOrder::Order8127); })},
        OptionCase{"Split", Job([](JobSetup& s) { s.duplex2Up = 0, s.typeAB4 = 0; }),
                   OptionAction::Split, Job([](JobSetup& s) { s.typeSplit = 0, s.typeAB = -1; })},
        OptionCase{"AB4DuplexSetsFourUp", Job([](JobSetup& s) {
                       s.duplex2Up = 0, s.processingType = "6up 2x3";
                       s.ChooseOrder(DuplexOrder::Order1423);
                   }),
                   OptionAction::AB4Duplex, Job([](JobSetup& s) {
                       s.typeAB4 = 0, s.typeAB = -1, s.processingType = "4up";
                       s.ChooseOrder(DuplexOrder::Order1423);
                   })},
        OptionCase{"AutomaticOffUnderOuterInWarns", Job([](JobSetup& s) {
                       s.duplex2Up = 0, s.noPagesBlank = 3;
                       s.ChooseOrder(DuplexOrder::Order8127);
                   }),
                   OptionAction::Automatic, Job([](JobSetup& s) {
                       s.duplex2Up = 0;
                       s.ChooseOrder(DuplexOrder::Order8127);
                   }),
                   kWarning},
        OptionCase{"AutomaticOnUnderOuterIn", Job([](JobSetup& s) {
                       s.automaticAddBlanks = 1, s.noPagesBlank = 3;
                       s.ChooseOrder(DuplexOrder::Order8127);
                   }),
                   OptionAction::Automatic, Job([](JobSetup& s) {
                       s.automaticAddBlanks = 1;
                       s.ChooseOrder(DuplexOrder::Order8127);
                   })},
        OptionCase{"AutomaticOffUnderAnotherOrder", Job([](JobSetup& s) {
                       s.noPagesBlank = 2;
                       s.ChooseOrder(DuplexOrder::Order1243);
                   }),
                   OptionAction::Automatic,
                   Job([](JobSetup& s) { s.ChooseOrder(DuplexOrder::Order1243); })},
        OptionCase{"RotateEven", Job(), OptionAction::RotateEven,
                   Job([](JobSetup& s) { s.rotateNone = -1, s.rotateEven = 0; })},
        OptionCase{
            "RotateAllClearsTheOthers", Job([](JobSetup& s) { s.rotateOdd = 0, s.rotateEven = 0; }),
            OptionAction::RotateAll, Job([](JobSetup& s) { s.rotateNone = -1, s.rotateAll = 0; })},
        OptionCase{"RotateNone", Job([](JobSetup& s) { s.rotateNone = -1, s.rotateOdd = 0; }),
                   OptionAction::RotateNone, Job()},
        OptionCase{
            "DuplicateOnlyRefreshes", Job([](JobSetup& s) { s.duplicate = 1, s.typeSplit = 0; }),
            OptionAction::Duplicate, Job([](JobSetup& s) { s.duplicate = 1, s.typeSplit = 0; })},
        OptionCase{"RotateLeftOnlyRefreshes",
                   Job([](JobSetup& s) { s.dupRotateLeft = 1, s.noPagesBlank = 4; }),
                   OptionAction::DupRotateLeft,
                   Job([](JobSetup& s) { s.dupRotateLeft = 1, s.noPagesBlank = 4; })},
        OptionCase{"RotateRightOnlyRefreshes", Job([](JobSetup& s) { s.dupRotateRight = 1; }),
                   OptionAction::DupRotateRight, Job([](JobSetup& s) { s.dupRotateRight = 1; })}),
    [](const ::testing::TestParamInfo<OptionCase>& row) { return row.param.name; });

struct LayoutCase {
    LayoutCase(const char* name_, JobSetup before_, std::string layout_, JobSetup after_,
               DialogRequest dialog_, ConversionModeDialog conversionMode_ = {})
        : name(name_),
          before(before_),
          layout(layout_),
          after(after_),
          dialog(dialog_),
          conversionMode(conversionMode_) {}
    const char* name;
    JobSetup before;
    std::string layout;
    JobSetup after;
    DialogRequest dialog;
    ConversionModeDialog conversionMode;  // compared when the dialog is asked for
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.name;
}

class LayoutInterlockTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutInterlockTest, GivesTheRecordAndDialog) {
    const LayoutCase& c = GetParam();
    InterlockResult result = ChooseLayout(c.before, c.layout);
    EXPECT_EQ(result.setup, c.after);
    EXPECT_EQ(result.message, "");
    ASSERT_EQ(result.dialog, c.dialog);
    if (c.dialog == DialogRequest::ConversionMode) {
        EXPECT_EQ(result.conversionMode.direction, c.conversionMode.direction);
        EXPECT_EQ(result.conversionMode.offsetSplit, c.conversionMode.offsetSplit);
        EXPECT_EQ(result.conversionMode.reorder1, c.conversionMode.reorder1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LayoutInterlockTest,
    ::testing::Values(
        LayoutCase{"GridOnlySetsTheName", Job([](JobSetup& s) { s.typeSplit = 0; }), "6up 3x2",
                   Job([](JobSetup& s) { s.typeSplit = 0, s.processingType = "6up 3x2"; }),
                   DialogRequest::None},
        LayoutCase{"TwoUpLeavesAB4Duplex",
                   Job([](JobSetup& s) { s.typeAB4 = 0, s.typeAB = -1, s.processingType = "4up"; }),
                   "2up", Job(), DialogRequest::None},
        LayoutCase{"ThreeUpKeepsAB4Duplex", Job([](JobSetup& s) { s.typeAB4 = 0, s.typeAB = -1; }),
                   "3up",
                   Job([](JobSetup& s) { s.typeAB4 = 0, s.typeAB = -1, s.processingType = "3up"; }),
                   DialogRequest::None},
        LayoutCase{"TwoUpWithoutAB4DuplexKeepsTheType",
                   Job([](JobSetup& s) { s.typeSplit = 0, s.typeAB = -1; }), "2up",
                   Job([](JobSetup& s) { s.typeSplit = 0, s.typeAB = -1; }), DialogRequest::None},
        LayoutCase{"HorizontalSplitOpensTheDialog",
                   Job([](JobSetup& s) {
                       s.typeAB4 = 0, s.typeAB = -1, s.typeSplit = 0, s.duplex2Up = 0;
                       s.offsetSplit = 5, s.reorder1 = 1;
                   }),
                   "1up Split on Horizontal",
                   Job([](JobSetup& s) {
                       s.processingType = "1up Split on Horizontal";
                       s.offsetSplit = 5, s.reorder1 = 1;
                   }),
                   DialogRequest::ConversionMode,
                   {SplitDirection::Horizontal, 5, 1}},
        LayoutCase{"VerticalSplitOpensTheDialog",
                   Job(),
                   "1up Split on Vertical",
                   Job([](JobSetup& s) { s.processingType = "1up Split on Vertical"; }),
                   DialogRequest::ConversionMode,
                   {SplitDirection::Vertical, 0, 0}},
        LayoutCase{"AnyOneUpNameOpensItVertical",
                   Job(),
                   "1up",
                   Job([](JobSetup& s) { s.processingType = "1up"; }),
                   DialogRequest::ConversionMode,
                   {SplitDirection::Vertical, 0, 0}}),
    [](const ::testing::TestParamInfo<LayoutCase>& row) { return row.param.name; });

TEST(DuplexModeTest, OpensWithTheRecordsOrderOr1243) {
    InterlockResult none = ApplyOption(Job(), OptionAction::AB2Duplex);
    EXPECT_EQ(none.dialog, DialogRequest::DuplexMode);
    EXPECT_EQ(none.duplexMode.chosen, DuplexOrder::Order1243);
    EXPECT_EQ(none.setup, Job([](JobSetup& s) { s.duplex2Up = 0; }));

    InterlockResult chosen = ApplyOption(
        Job([](JobSetup& s) { s.ChooseOrder(DuplexOrder::Order4123); }), OptionAction::AB2Duplex);
    EXPECT_EQ(chosen.duplexMode.chosen, DuplexOrder::Order4123);
}

TEST(DuplexModeTest, SaveTakesTheOrderAndOuterInTurnsAutomaticOn) {
    JobSetup before = Job([](JobSetup& s) {
        s.duplex2Up = 0, s.typeSplit = 0, s.typeAB = -1, s.typeAB4 = 0;
        s.processingType = "4up", s.noPagesBlank = 3;
        s.ChooseOrder(DuplexOrder::Order1423);
    });
    DuplexModeDialog dialog = DuplexModeDialog::Open(before);
    dialog.Choose(DuplexOrder::Order8127);
    EXPECT_EQ(CloseDuplexMode(before, dialog, DialogButton::SaveExit), Job([](JobSetup& s) {
                  s.duplex2Up = 0, s.typeAB = -1, s.automaticAddBlanks = 1;
                  s.ChooseOrder(DuplexOrder::Order8127);
              }));
    // Cancel keeps the former order; the rest of the interlock runs all the same.
    EXPECT_EQ(CloseDuplexMode(before, dialog, DialogButton::Cancel), Job([](JobSetup& s) {
                  s.duplex2Up = 0, s.typeAB = -1, s.noPagesBlank = 3;
                  s.ChooseOrder(DuplexOrder::Order1423);
              }));
}

TEST(DuplexModeTest, OuterInKeepsBlankPagesWhenAutomaticIsAlreadyOn) {
    JobSetup before = Job([](JobSetup& s) { s.automaticAddBlanks = 1, s.noPagesBlank = 3; });
    DuplexModeDialog dialog{DuplexOrder::Order8127};
    JobSetup after = CloseDuplexMode(before, dialog, DialogButton::SaveExit);
    EXPECT_EQ(after.noPagesBlank, 3);
    EXPECT_EQ(after.automaticAddBlanks, 1);
}

TEST(DuplexModeTest, CancelWithoutAFormerOrderLeavesNoneChosen) {
    JobSetup after = CloseDuplexMode(Job(), DuplexModeDialog{}, DialogButton::Cancel);
    EXPECT_EQ(after.duplex2Up, kChosen);
    EXPECT_EQ(after.ChosenOrder(), std::nullopt);
    EXPECT_EQ(EncodeDuplexValue(after), 0);
}

TEST(ConversionModeTest, SaveTakesTheValuesBackAndSetsTheDirection) {
    JobSetup before = Job([](JobSetup& s) { s.processingType = "1up Split on Vertical"; });
    ConversionModeDialog dialog = ConversionModeDialog::Open(before);
    EXPECT_EQ(dialog.direction, SplitDirection::Vertical);
    dialog.direction = SplitDirection::Horizontal;
    dialog.offsetSplit = 7;
    dialog.reorder1 = 1;
    EXPECT_EQ(CloseConversionMode(before, dialog, DialogButton::SaveExit), Job([](JobSetup& s) {
                  s.processingType = "1up Split on Horizontal", s.offsetSplit = 7;
                  s.reorder1 = 1;
              }));
    EXPECT_EQ(CloseConversionMode(before, dialog, DialogButton::Cancel), before);

    dialog.direction = SplitDirection::None;
    EXPECT_EQ(CloseConversionMode(before, dialog, DialogButton::SaveExit), Job([](JobSetup& s) {
                  s.processingType = "1up Split on Vertical", s.offsetSplit = 7;
                  s.reorder1 = 1;
              }));
}

TEST(SheetOptionsTest, BookletSettingsApplyToTheBookletAndFoldMarksToFoldedSheets) {
    auto applying = [](const std::function<void(JobSetup&)>& change) {
        SheetOptionsApplying a = ApplyingSheetOptions(Job(change));
        return std::array<bool, 3>{a.signature, a.creep, a.foldMarks};
    };
    auto booklet = [](JobSetup& s) {
        s.duplex2Up = kChosen;
        s.ChooseOrder(DuplexOrder::Order8127);
    };
    EXPECT_EQ(applying({}), (std::array<bool, 3>{false, false, true}));  // 2-up A/B
    EXPECT_EQ(applying(booklet), (std::array<bool, 3>{true, true, true}));
    // Another duplex order, duplicated pages, or a layout of more cells make no booklet.
    EXPECT_EQ(applying([&](JobSetup& s) { booklet(s), s.ChooseOrder(DuplexOrder::Order1423); }),
              (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(applying([&](JobSetup& s) { booklet(s), s.duplicate = 1; }),
              (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(applying([&](JobSetup& s) { booklet(s), s.processingType = "6up 2x3"; }),
              (std::array<bool, 3>{false, false, false}));
    // 4-up folds only in its folded order; a split is not folded.
    EXPECT_EQ(applying([](JobSetup& s) { s.processingType = "4up"; }),
              (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(applying([](JobSetup& s) { s.processingType = "4up", s.typeAB4 = kChosen; }),
              (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(applying([](JobSetup& s) { s.processingType = std::string(kLayoutSplitVertical); }),
              (std::array<bool, 3>{false, false, false}));
}

// Poster tiles leave out what they do not take, a tile grid leaves the poster size out, and
// binding and cover follow folded signatures.
TEST(SheetOptionsTest, PosterTilesAndFoldedSignaturesTakeTheirOwnSettings) {
    auto applying = [](const std::function<void(JobSetup&)>& change) {
        SheetOptionsApplying a = ApplyingSheetOptions(Job(change));
        return std::array<bool, 6>{a.layout,          a.posterSize, a.overlap,
                                   a.bindingAndCover, a.foldMarks,  a.cardSettings};
    };
    using A = std::array<bool, 6>;
    EXPECT_EQ(applying({}), (A{true, true, false, false, true, false}));
    EXPECT_EQ(applying([](JobSetup& s) { s.poster = "A2", s.repeat = 1, s.fold = 8; }),
              (A{false, true, true, false, false, false}));
    EXPECT_EQ(applying([](JobSetup& s) { s.tile = "2x2", s.poster = "A2"; }),
              (A{false, false, true, false, false, false}));
    EXPECT_EQ(applying([](JobSetup& s) { s.fold = 16, s.processingType = "6up 2x3"; }),
              (A{true, true, false, true, true, false}));
    for (std::string_view key :
         {"INFILE", "STARTPAGE", "ROTATEALL", "SHEET", "OUTERMARGIN", "TILE", "POSTER", "OVERLAP"})
        EXPECT_TRUE(PosterTilesTake(key)) << key;
    for (std::string_view key :
         {"PROCESSINGTYPE", "2UPDUPLEX", "DUPLICATE", "GUTTER", "CROPMARKS", "GRID", "SLUG",
          "REGMARKS", "FOLD", "TEMPLATE", "MEDIABOX", "RIGHTMARGIN"})
        EXPECT_FALSE(PosterTilesTake(key)) << key;
}

}  // namespace
}  // namespace desktop
