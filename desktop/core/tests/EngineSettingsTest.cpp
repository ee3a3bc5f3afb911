#include "desktop/core/EngineSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <functional>

#include "desktop/core/JobPlan.h"
#include "gridane/JobSettings.h"
#include "gridane/PropertyTable.h"

namespace desktop {
namespace {

using gridane::JobSettings;

JobSetup Job(const std::function<void(JobSetup&)>& change = {}) {
    JobSetup setup;
    if (change) change(setup);
    return setup;
}

// Puts a list on the engine's own settings through its setting puts, so every name must be
// one the engine knows.
JobSettings Apply(const std::vector<PropertyPut>& puts, JobSettings settings = {}) {
    for (const PropertyPut& put : puts) {
        const gridane::SettingPut* property =
            com::FindNamed(gridane::GridaneSettingPuts(), put.name);
        if (property == nullptr) {
            ADD_FAILURE() << "no engine property " << put.name;
            continue;
        }
        if (const int32_t* number = std::get_if<int32_t>(&put.value)) {
            EXPECT_NE(property->putNumber, nullptr) << put.name;
            if (property->putNumber) property->putNumber(settings, *number);
        } else {
            EXPECT_NE(property->putText, nullptr) << put.name;
            if (property->putText) property->putText(settings, std::get<std::string>(put.value));
        }
    }
    return settings;
}

// The engine's settings once the reset list is put: every flag off, `ab` too.
JobSettings Engine(const std::function<void(JobSettings&)>& change = {}) {
    JobSettings settings;
    settings.ab = false;
    if (change) change(settings);
    return settings;
}

std::string Listed(const std::vector<PropertyPut>& puts) {
    std::string text;
    for (const PropertyPut& put : puts) {
        if (!text.empty()) text += ' ';
        text += put.name + "=";
        if (const int32_t* number = std::get_if<int32_t>(&put.value)) {
            text += std::to_string(*number);
        } else {
            text += "\"" + std::get<std::string>(put.value) + "\"";
        }
    }
    return text;
}

TEST(GridanePutsTest, DefaultJobPutsTheResetListThenItsValuesInOrder) {
    EXPECT_EQ(Listed(GridanePuts(JobSetup{})),
              "duplicate=0 rotateRight=0 rotateLeft=0 up3=0 up3down=0 up4=0 up3x2=0 up2x3=0 "
              "up4x2=0 up2x4=0 up5x2=0 up2x5=0 up6x2=0 up2x6=0 up3x4=0 up4x3=0 ab=0 ab3=0 "
              "ab4=0 ab6=0 ab8=0 ab10=0 ab12=0 split=0 down=0 s=1 e=99999 up2to1=0 up2to1h=0 "
              "duplex=0 duplex1423=0 duplex4123=0 rightmargin=0 bottommargin=0 offset_split=0 "
              "outer_in=0 "
              "ab=1 s=1 e=99999 duplicate=0 up4=0 down=0 up3=0 split=0 rightmargin=0 "
              "bottommargin=0 cropbox=\"\" mediabox=\"\" cropbox2=\"\" mediabox2=\"\" "
              "sheet=\"\" fit=0 outer_margin=0 gutter=0 signature=0 rtl=0 creep=\"0\" "
              "cropmarks=0 foldmarks=0 grid=\"\" order=\"\" from=\"\" frame=\"0\" repeat=0 "
              "bleed=\"0\" duplex_backs=0 flip=\"\" back_shift=\"\" tile=\"\" poster=\"\" "
              "overlap=\"0\" slug=\"\" regmarks=0 colorbar=0 fold=0 binding=\"\" cover=\"\" "
              "template=\"\" calibration=0");
}

TEST(GridanePutsTest, ThreeUpDownAndSplitPutInOrder) {
    JobSetup setup = Job([](JobSetup& s) {
        s.processingType = "3up", s.typeDown = 0, s.typeAcross = -1, s.typeSplit = 0;
        s.typeAB = -1;
    });
    std::vector<PropertyPut> puts = GridanePuts(setup);
    std::vector<PropertyPut> derived(puts.begin() + 36, puts.end());
    EXPECT_EQ(Listed(derived),
              "ab=0 s=1 e=99999 duplicate=0 up4=0 down=1 ab=1 ab3=1 up3=1 down=1 up3=0 "
              "up3down=1 split=1 ab=0 ab3=0 ab4=0 ab6=0 ab8=0 ab10=0 ab12=0 rightmargin=0 "
              "bottommargin=0 cropbox=\"\" mediabox=\"\" cropbox2=\"\" mediabox2=\"\" "
              "sheet=\"\" fit=0 outer_margin=0 gutter=0 signature=0 rtl=0 creep=\"0\" "
              "cropmarks=0 foldmarks=0 grid=\"\" order=\"\" from=\"\" frame=\"0\" repeat=0 "
              "bleed=\"0\" duplex_backs=0 flip=\"\" back_shift=\"\" tile=\"\" poster=\"\" "
              "overlap=\"0\" slug=\"\" regmarks=0 colorbar=0 fold=0 binding=\"\" cover=\"\" "
              "template=\"\" calibration=0");
}

struct PutsCase {
    const char* name;
    JobSetup setup;
    JobSettings engine;  // the engine's settings after the whole list
};

// Cases print as their names (the records would print as bytes).
void PrintTo(const PutsCase& c, std::ostream* out) {
    *out << c.name;
}

class GridanePutsTableTest : public ::testing::TestWithParam<PutsCase> {};

TEST_P(GridanePutsTableTest, LeavesTheEngineSettings) {
    // The engine starts from values that the reset list must clear.
    JobSettings dirty;
    dirty.up4 = dirty.up2x6 = dirty.duplex = dirty.outer_in = dirty.split = true;
    dirty.rotateLeft = dirty.rotateRight = dirty.up3down = true;
    dirty.firstPage = 5;
    dirty.calibration = true;
    dirty.rightMargin = 3;
    EXPECT_EQ(Apply(GridanePuts(GetParam().setup), dirty), GetParam().engine);
}

template <typename F>
PutsCase Row(const char* name, F change, const std::function<void(JobSettings&)>& engine) {
    return {name, Job(change), Engine(engine)};
}

// Layouts with the default type of processing ("A/B", across).
INSTANTIATE_TEST_SUITE_P(
    Layouts, GridanePutsTableTest,
    ::testing::Values(
        Row(
            "SplitVertical",
            [](JobSetup& s) { s.processingType = "1up Split on Vertical", s.offsetSplit = 12; },
            [](JobSettings& e) { e.ab = e.up2to1 = true, e.splitOffset = 12; }),
        Row(
            "SplitHorizontal",
            [](JobSetup& s) { s.processingType = "1up Split on Horizontal", s.offsetSplit = 4; },
            [](JobSettings& e) { e.ab = e.up2to1h = true, e.splitOffset = 4; }),
        Row(
            "OffsetOnlyWithASplit",
            [](JobSetup& s) { s.processingType = "2up", s.offsetSplit = 12; },
            [](JobSettings& e) { e.ab = true; }),
        Row(
            "TwoUp", [](JobSetup&) {}, [](JobSettings& e) { e.ab = true; }),
        Row(
            "ThreeUp", [](JobSetup& s) { s.processingType = "3up"; },
            [](JobSettings& e) { e.ab = e.ab3 = e.up3 = true; }),
        Row(
            "FourUp", [](JobSetup& s) { s.processingType = "4up"; },
            [](JobSettings& e) { e.ab = e.up4 = true; }),
        Row(
            "SixUp2x3", [](JobSetup& s) { s.processingType = "6up 2x3"; },
            [](JobSettings& e) { e.ab = e.up2x3 = true; }),
        Row(
            "SixUp3x2", [](JobSetup& s) { s.processingType = "6up 3x2"; },
            [](JobSettings& e) { e.ab = e.up3x2 = true; }),
        Row(
            "EightUp2x4", [](JobSetup& s) { s.processingType = "8up 2x4"; },
            [](JobSettings& e) { e.ab = e.up2x4 = true; }),
        Row(
            "EightUp4x2", [](JobSetup& s) { s.processingType = "8up 4x2"; },
            [](JobSettings& e) { e.ab = e.up4x2 = true; }),
        Row(
            "TenUp2x5", [](JobSetup& s) { s.processingType = "10up 2x5"; },
            [](JobSettings& e) { e.ab = e.up2x5 = true; }),
        Row(
            "TenUp5x2", [](JobSetup& s) { s.processingType = "10up 5x2"; },
            [](JobSettings& e) { e.ab = e.up5x2 = true; }),
        Row(
            "TwelveUp2x6", [](JobSetup& s) { s.processingType = "12up 2x6"; },
            [](JobSettings& e) { e.ab = e.up2x6 = true; }),
        Row(
            "TwelveUp6x2", [](JobSetup& s) { s.processingType = "12up 6x2"; },
            [](JobSettings& e) { e.ab = e.up6x2 = true; }),
        Row(
            "TwelveUp3x4", [](JobSetup& s) { s.processingType = "12up 3x4"; },
            [](JobSettings& e) { e.ab = e.up3x4 = true; }),
        Row(
            "TwelveUp4x3", [](JobSetup& s) { s.processingType = "12up 4x3"; },
            [](JobSettings& e) { e.ab = e.up4x3 = true; }),
        Row(
            "UnknownNameIsTwoUp", [](JobSetup& s) { s.processingType = "6UP 2X3"; },
            [](JobSettings& e) { e.ab = true; })),
    [](const ::testing::TestParamInfo<PutsCase>& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    TypesOfProcessing, GridanePutsTableTest,
    ::testing::Values(
        Row("NoTypeChosen", [](JobSetup& s) { s.typeAB = -1; }, {}),
        Row(
            "Split", [](JobSetup& s) { s.typeAB = -1, s.typeSplit = 0; },
            [](JobSettings& e) { e.split = true; }),
        Row(
            "SplitOverridesTheGridsAB",
            [](JobSetup& s) { s.typeAB = -1, s.typeSplit = 0, s.processingType = "6up 2x3"; },
            [](JobSettings& e) { e.split = e.up2x3 = true; }),
        Row(
            "SplitThreeUp",
            [](JobSetup& s) { s.typeAB = -1, s.typeSplit = 0, s.processingType = "3up"; },
            [](JobSettings& e) { e.split = e.up3 = true; }),
        Row(
            "AB4Duplex",
            [](JobSetup& s) { s.typeAB = -1, s.typeAB4 = 0, s.processingType = "4up"; },
            [](JobSettings& e) { e.ab4 = e.up4 = true; }),
        Row(
            "Duplex1243",
            [](JobSetup& s) {
                s.typeAB = -1, s.duplex2Up = 0;
                s.ChooseOrder(DuplexOrder::Order1243);
            },
            [](JobSettings& e) { e.ab = e.duplex = true; }),
        Row(
            "Duplex1423",
            [](JobSetup& s) {
                s.typeAB = -1, s.duplex2Up = 0;
                s.ChooseOrder(DuplexOrder::Order1423);
            },
            [](JobSettings& e) { e.ab = e.duplex1423 = true; }),
        Row(
            "Duplex4123",
            [](JobSetup& s) {
                s.typeAB = -1, s.duplex2Up = 0;
                s.ChooseOrder(DuplexOrder::Order4123);
            },
            [](JobSettings& e) { e.ab = e.duplex4123 = true; }),
        Row(
            "DuplexOuterIn",
            [](JobSetup& s) {
                s.typeAB = -1, s.duplex2Up = 0;
                s.ChooseOrder(DuplexOrder::Order8127);
            },
            [](JobSettings& e) { e.ab = e.outer_in = true; }),
        Row(
            "DuplexWithoutOrderIs1243", [](JobSetup& s) { s.typeAB = -1, s.duplex2Up = 0; },
            [](JobSettings& e) { e.ab = e.duplex = true; }),
        Row(
            "OrderWithoutTheOptionPutsNothing",
            [](JobSetup& s) { s.ChooseOrder(DuplexOrder::Order8127); },
            [](JobSettings& e) { e.ab = true; }),
        Row(
            "Down", [](JobSetup& s) { s.typeAcross = -1, s.typeDown = 0; },
            [](JobSettings& e) { e.ab = e.down = true; }),
        Row(
            "ThreeUpDown",
            [](JobSetup& s) { s.typeAcross = -1, s.typeDown = 0, s.processingType = "3up"; },
            [](JobSettings& e) { e.ab = e.ab3 = e.up3down = e.down = true; })),
    [](const ::testing::TestParamInfo<PutsCase>& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    PagesMarginsBoxes, GridanePutsTableTest,
    ::testing::Values(
        Row(
            "DuplicateAlone", [](JobSetup& s) { s.duplicate = 1; },
            [](JobSettings& e) { e.ab = e.duplicate = true; }),
        Row(
            "DuplicateWithRotationLeavesRotationToTheDoublingPass",
            [](JobSetup& s) { s.duplicate = 1, s.dupRotateLeft = 1; },
            [](JobSettings& e) { e.ab = e.duplicate = true; }),
        Row(
            "RangeAndMargins",
            [](JobSetup& s) {
                s.startPage = 3, s.endPage = 9, s.rightMargin = 10, s.bottomMargin = 20;
            },
            [](JobSettings& e) {
                e.ab = true, e.firstPage = 3, e.lastPage = 9, e.rightMargin = 10;
                e.bottomMargin = 20;
            }),
        Row(
            "Boxes",
            [](JobSetup& s) {
                s.cropBox = "5,5,612,1584", s.mediaBox = "0,0,612,1584";
                s.cropBox2 = "1,2,3,4", s.mediaBox2 = "0, 0, 612, 792";
            },
            [](JobSettings& e) {
                e.ab = true, e.cropBox = {5, 5, 612, 1584}, e.mediaBox = {0, 0, 612, 1584};
                e.cropBox2 = {1, 2, 3, 4}, e.mediaBox2 = {0, 0, 612, 792};
            }),
        // Card settings reach the engine only where they apply: bleed and backs with Cards,
        // the fill order with a grid, flip and back shift with back sides.
        Row(
            "CardSettingsThatDoNotApply",
            [](JobSetup& s) {
                s.bleed = "3", s.duplexBacks = 1, s.fillOrder = "columns", s.fromBottom = 1;
                s.flip = "short", s.backShift = "1,2", s.frame = "0.5";
            },
            [](JobSettings& e) { e.ab = true, AssignSettingText(e.frame, "0.5"); }),
        Row(
            "CardsWithBacksAndAGrid",
            [](JobSetup& s) {
                s.repeat = 1, s.bleed = "3", s.duplexBacks = 1, s.grid = "2x5";
                s.fillOrder = "columns", s.fromBottom = 1, s.flip = "short", s.backShift = "1,2";
            },
            [](JobSettings& e) {
                e.ab = e.repeat = e.duplexBacks = true, AssignSettingText(e.bleed, "3");
                e.freeGrid = "2x5", e.fillOrder = "columns", e.fillFrom = "bottom";
                e.flip = "short", e.backShift = "1,2";
            })),
    [](const ::testing::TestParamInfo<PutsCase>& row) { return row.param.name; });

// Poster tiles take only the range, the paper and its margin besides their own settings;
// binding and cover only with folded signatures.
INSTANTIATE_TEST_SUITE_P(
    PosterPressAndFolding, GridanePutsTableTest,
    ::testing::Values(
        Row(
            "PressSheetAndTemplate",
            [](JobSetup& s) {
                s.slug = "{file} {date}", s.regMarks = s.colorBar = 1;
                s.layoutTemplate = "/t/cards.json";
            },
            [](JobSettings& e) {
                e.ab = e.regMarks = e.colorBar = true, e.slug = "{file} {date}";
                e.templateFile = "/t/cards.json";
            }),
        Row(
            "FoldedSignatures",
            [](JobSetup& s) {
                s.fold = 16, s.binding = "perfect", s.cover = "separate", s.flip = "short";
                s.backShift = "1,-2";
            },
            [](JobSettings& e) {
                e.ab = true, e.fold = 16, e.binding = "perfect";
                e.cover = "separate", e.flip = "short", e.backShift = "1,-2";
            }),
        Row(
            "BindingCoverAndOverlapAloneApplyToNothing",
            [](JobSetup& s) { s.binding = "perfect", s.cover = "separate", s.overlap = "9"; },
            [](JobSettings& e) { e.ab = true; }),
        Row(
            "PosterTilesLeaveLayoutsAndMarksOut",
            [](JobSetup& s) {
                s.poster = "A2", s.sheet = "A4", s.outerMargin = 10, s.overlap = "9";
                s.startPage = 2, s.processingType = "6up 2x3", s.typeAB4 = kChosen;
                s.repeat = s.cropMarks = s.regMarks = s.duplicate = 1, s.grid = "2x2";
                s.fold = 8, s.slug = "x", s.gutter = 5, s.mediaBox = "0,0,9,9";
            },
            [](JobSettings& e) {
                e.ab = true, e.firstPage = 2, e.outerMargin = 10;
                AssignSettingText(e.sheet, "A4"), AssignSettingText(e.posterSize, "A2");
                AssignSettingText(e.overlap, "9");
            }),
        Row(
            "TilesTakeThePlaceOfAPosterSize",
            [](JobSetup& s) { s.tile = "3x2", s.poster = "A2", s.sheet = "A4"; },
            [](JobSettings& e) {
                e.ab = true, e.posterTiles = "3x2", AssignSettingText(e.sheet, "A4");
            })),
    [](const ::testing::TestParamInfo<PutsCase>& row) { return row.param.name; });

TEST(DoublingTest, PosterTilesPlanNoDoublingAndKeepTheRotation) {
    JobSetup setup = Job([](JobSetup& s) {
        s.tile = "2x2", s.duplicate = s.dupRotateLeft = 1, s.rotateNone = kNotChosen;
        s.rotateAll = kChosen;
    });
    JobPlan plan = PlanJob(setup, {}, {"/w/", "in", "out", true});
    EXPECT_EQ(plan.Find(StepKind::DoubleAndTurn), nullptr);
    EXPECT_NE(plan.Find(StepKind::Rotate), nullptr);
    EXPECT_EQ(Apply(plan.Find(StepKind::Impose)->puts).posterTiles, "2x2");
}

TEST(DoublingTest, RunsOnlyForDuplicateWithARotation) {
    EXPECT_FALSE(DoublingRequested(Job([](JobSetup& s) { s.duplicate = 1; })));
    EXPECT_FALSE(DoublingRequested(Job([](JobSetup& s) { s.dupRotateLeft = 1; })));
    EXPECT_TRUE(DoublingRequested(Job([](JobSetup& s) { s.duplicate = 1, s.dupRotateLeft = 1; })));
    EXPECT_TRUE(DoublingRequested(Job([](JobSetup& s) { s.duplicate = 2, s.dupRotateRight = 1; })));
}

TEST(DoublingTest, EachRotationPutsItsFlagsAndItsTurnelleType) {
    struct Case {
        int left, right;
        const char* puts;
        int type;
    };
    for (const Case& c :
         {Case{1, 0, "rotateLeft=1 rotateRight=0", 5}, Case{0, 1, "rotateLeft=0 rotateRight=1", 6},
          Case{1, 1, "rotateLeft=1 rotateRight=1", 2}}) {
        JobSetup setup = Job([&](JobSetup& s) {
            s.duplicate = 1, s.dupRotateLeft = c.left, s.dupRotateRight = c.right;
        });
        EXPECT_EQ(Listed(DoublingPuts(setup)), c.puts);
        EXPECT_EQ(DoublingRotationSettings(setup), (TurnelleSettings{c.type, 180, 1}));
        // With the doubling flags put, the engine takes the doubling pre-pass.
        JobSettings engine = Apply(DoublingPuts(setup), Apply(GridanePuts(setup)));
        EXPECT_TRUE(engine.duplicate && (engine.rotateLeft || engine.rotateRight));
    }
    EXPECT_EQ(Listed(AfterDoublingPuts()), "split=1 ab=0 ab3=0 ab4=0 ab6=0 duplicate=0");
}

TEST(RotationTest, TypeFollowsTheFirstChosenOption) {
    EXPECT_FALSE(RotationRequested(JobSetup{}));
    struct Case {
        int odd, even, all;
        std::optional<int32_t> type;
    };
    for (const Case& c : {Case{0, -1, -1, 3}, Case{-1, 0, -1, 4}, Case{-1, -1, 0, 2},
                          Case{0, 0, 0, 3}, Case{-1, 0, 0, 4}, Case{-1, -1, -1, std::nullopt}}) {
        JobSetup setup = Job([&](JobSetup& s) {
            s.rotateNone = -1, s.rotateOdd = c.odd, s.rotateEven = c.even, s.rotateAll = c.all;
        });
        EXPECT_TRUE(RotationRequested(setup));
        EXPECT_EQ(RotationSettings(setup), (TurnelleSettings{c.type, 180, 1}));
    }
}

TEST(PaddingTest, CountsTheBlankPages) {
    struct Case {
        int automatic, duplex2Up, noPagesBlank, pageCount, expected;
    };
    const Case cases[] = {
        // Automatic with 2-up duplex: up to the next multiple of four.
        {1, 0, 0, 6, 2},
        {1, 0, 0, 4, 0},
        {1, 0, 0, 5, 3},
        {1, 0, 0, 7, 1},
        {1, 0, 0, 1, 3},
        {1, 0, 0, 0, 0},
        {1, 0, 5, 6, 2},
        // A page count that failed pads nothing.
        {1, 0, 0, -3, 0},
        {1, 0, 5, -4, 0},
        // Automatic without 2-up duplex: the fixed count, but 4 pads none.
        {1, -1, 3, 6, 3},
        {1, -1, 4, 6, 0},
        {1, -1, 0, 6, 0},
        // Without automatic: the fixed count as it is.
        {0, 0, 4, 6, 4},
        {0, -1, 2, 6, 2},
        {0, -1, 0, 6, 0},
        {0, -1, -2, 6, -2},
    };
    for (const Case& c : cases) {
        JobSetup setup = Job([&](JobSetup& s) {
            s.automaticAddBlanks = c.automatic, s.duplex2Up = c.duplex2Up;
            s.noPagesBlank = c.noPagesBlank;
        });
        EXPECT_EQ(PaddingCount(setup, c.pageCount), c.expected)
            << c.automatic << " " << c.duplex2Up << " " << c.noPagesBlank << " " << c.pageCount;
    }
}

TEST(PaddingTest, RunsForBlankPagesOrAutomatic) {
    EXPECT_FALSE(PaddingRequested(JobSetup{}));
    EXPECT_FALSE(PaddingRequested(Job([](JobSetup& s) { s.noPagesBlank = -1; })));
    EXPECT_TRUE(PaddingRequested(Job([](JobSetup& s) { s.noPagesBlank = 2; })));
    EXPECT_TRUE(PaddingRequested(Job([](JobSetup& s) { s.automaticAddBlanks = 1; })));
    EXPECT_FALSE(PaddingNeedsPageCount(Job([](JobSetup& s) { s.automaticAddBlanks = 1; })));
    EXPECT_TRUE(
        PaddingNeedsPageCount(Job([](JobSetup& s) { s.automaticAddBlanks = 1, s.duplex2Up = 0; })));
}

// The sheet settings reach the engine as they are where they apply to the layout, else as
// their defaults.
TEST(GridanePutsTest, SheetSettingsApplyWhereTheLayoutTakesThem) {
    JobSetup setup = Job([](JobSetup& s) {
        s.sheet = "A4:landscape", s.fitToSheet = 1, s.outerMargin = 18, s.gutter = 6;
        s.signature = 3, s.rightToLeft = 1, s.creep = "0.1", s.cropMarks = 1, s.foldMarks = 1;
    });
    // 2-up A/B: no booklet, so no signature or creep.
    JobSettings engine = Apply(GridanePuts(setup));
    EXPECT_EQ(engine.sheet.text, "A4:landscape");
    EXPECT_TRUE(engine.fitToCell);
    EXPECT_EQ(engine.outerMargin, 18);
    EXPECT_EQ(engine.gutter, 6);
    EXPECT_EQ(engine.signature, 0);
    EXPECT_TRUE(engine.rightToLeft);
    EXPECT_EQ(engine.creep, JobSettings{}.creep);
    EXPECT_TRUE(engine.cropMarks);
    EXPECT_TRUE(engine.foldMarks);

    // The booklet takes them all; a job after it without them leaves none behind.
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    engine = Apply(GridanePuts(setup));
    EXPECT_EQ(engine.signature, 3);
    EXPECT_NE(engine.creep, JobSettings{}.creep);
    EXPECT_TRUE(engine.foldMarks);
    EXPECT_EQ(Apply(GridanePuts(JobSetup{}), engine), Apply(GridanePuts(JobSetup{})));

    // A 4-up grid is not folded between its cells, unless in the folded order.
    setup = Job([](JobSetup& s) { s.processingType = "4up", s.foldMarks = 1, s.rightToLeft = 1; });
    engine = Apply(GridanePuts(setup));
    EXPECT_FALSE(engine.foldMarks);
    EXPECT_TRUE(engine.rightToLeft);
    setup.typeAB4 = kChosen;
    EXPECT_TRUE(Apply(GridanePuts(setup)).foldMarks);
}

TEST(CleaningTest, PrepressPicksTheOtherScriptAndNamesTravelWhole) {
    EXPECT_EQ(CleaningScript(JobSetup{}), "koblin");
    JobSetup prepress = Job([](JobSetup& s) { s.prepress = 1; });
    ProgramCall call = CleaningCall(CleaningScript(prepress), "/tmp/a b.pdf", "/tmp/__a b.pdf");
    EXPECT_EQ(call.program, "koblinp");
    EXPECT_EQ(call.parameters, "\"/tmp/a b.pdf\" \"/tmp/__a b.pdf\"");
    EXPECT_EQ(call.arguments, (std::vector<std::string>{"--", "/tmp/a b.pdf", "/tmp/__a b.pdf"}));
    // A relative name that looks like an option or an argument file becomes an absolute path.
    std::string here = std::filesystem::current_path().string() + "/";
    call = CleaningCall(CleaningScript(JobSetup{}), "@x.pdf", "-sOutputFile=y.pdf");
    EXPECT_EQ(call.arguments,
              (std::vector<std::string>{"--", here + "@x.pdf", here + "-sOutputFile=y.pdf"}));
}

}  // namespace
}  // namespace desktop
