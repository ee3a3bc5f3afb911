// The task row's one-click settings, read as the imposition engine gets them, and the presets
// folder with names typed by anyone.
#include "desktop/core/Tasks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "desktop/core/EngineSettings.h"
#include "desktop/core/Presets.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

// The value each engine setting ends with after all the puts of a run.
std::map<std::string, std::string> EngineValues(const JobSetup& setup) {
    std::map<std::string, std::string> values;
    for (const PropertyPut& put : GridanePuts(setup)) {
        values[put.name] = std::visit(
            [](const auto& value) {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
                    return value;
                } else {
                    return std::to_string(value);
                }
            },
            put.value);
    }
    return values;
}

// A job left in the middle of other work: cards with a free grid, doubled pages and a
// horizontal split.
JobSetup Cluttered() {
    JobSetup setup;
    setup.repeat = 1;
    setup.grid = "3x3";
    setup.duplicate = 1;
    setup.processingType = std::string(kLayoutSplitHorizontal);
    setup.typeAB = kNotChosen;
    setup.typeSplit = kChosen;
    setup.inFile = "/jobs/in.pdf";
    return setup;
}

TEST(TasksTest, EachTaskGivesTheEngineItsOrderWhateverCameBefore) {
    struct Case {
        Task task;
        std::map<std::string, std::string> engine;  // settings the engine must end with
        std::string summaryStart;
    };
    const Case cases[] = {
        {Task::Booklet,
         {{"outer_in", "1"},
          {"ab", "1"},
          {"split", "0"},
          {"repeat", "0"},
          {"duplicate", "0"},
          {"grid", ""},
          {"signature", "0"}},
         "Booklet: A/B 2up (Duplex), Output 2up Outer-In"},
        {Task::Book,
         {{"fold", "16"},
          {"binding", "perfect"},
          {"foldmarks", "1"},
          {"outer_in", "0"},
          {"split", "0"},
          {"ab", "1"},
          {"up2to1h", "0"}},
         "Book: Fold 16 pages, perfect binding, Fold marks"},
        {Task::Poster,
         {{"poster", "A2"}, {"sheet", "A4"}, {"repeat", "0"}, {"split", "0"}, {"fold", "0"}},
         "Poster: A2 on A4 sheets"},
        {Task::Cards,
         {{"repeat", "1"}, {"sheet", "A4"}, {"grid", ""}, {"split", "0"}},
         "Cards: Cards (step-and-repeat) on A4"},
        {Task::NUp,
         {{"up4", "1"}, {"ab", "1"}, {"split", "0"}, {"down", "0"}, {"repeat", "0"}},
         "N-up: A/B, 4up, Across the page"},
        {Task::CutAndStack,
         {{"split", "1"}, {"ab", "0"}, {"up2to1h", "0"}, {"outer_in", "0"}},
         "Cut and stack: Split, 2up"},
        {Task::SplitPages,
         {{"up2to1h", "1"}, {"ab", "1"}, {"split", "0"}, {"repeat", "0"}},
         "Split pages: 1up Split on Horizontal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(TaskName(c.task)));
        TaskResult result = ApplyTask(Cluttered(), c.task);
        std::map<std::string, std::string> engine = EngineValues(result.setup);
        for (const auto& [name, value] : c.engine) EXPECT_EQ(engine[name], value) << name;
        EXPECT_TRUE(result.summary.starts_with(c.summaryStart)) << result.summary;
        EXPECT_EQ(result.setup.inFile, "/jobs/in.pdf");
        // The same click again changes nothing more.
        EXPECT_EQ(ApplyTask(result.setup, c.task).setup, result.setup);
    }
    // Choices the user made within a task stay: a chosen paper, a signature, an 8-up layout.
    JobSetup chosen;
    chosen.sheet = "SRA3";
    chosen.signature = 6;
    chosen.processingType = "8up 2x4";
    EXPECT_EQ(ApplyTask(chosen, Task::Cards).setup.sheet, "SRA3");
    chosen.fold = 8;
    chosen.tile = "3x3";
    EXPECT_EQ(ApplyTask(chosen, Task::Book).setup.fold, 8);
    EXPECT_EQ(ApplyTask(chosen, Task::Poster).setup.tile, "3x3");
    EXPECT_EQ(ApplyTask(chosen, Task::Poster).setup.poster, "");
    EXPECT_EQ(ApplyTask(chosen, Task::Poster).setup.sheet, "SRA3");
    chosen.fold = 0;
    chosen.tile.clear();
    EXPECT_EQ(ApplyTask(chosen, Task::Booklet).setup.signature, 0);
    EXPECT_EQ(ApplyTask(chosen, Task::NUp).setup.processingType, "8up 2x4");
    EXPECT_EQ(ApplyTask(JobSetup{}, Task::SplitPages).setup.processingType, kLayoutSplitVertical);
}

TEST(PresetsTest, HostileNamesAreRefusedAndNeverLeaveTheFolder) {
    for (std::string_view bad : std::initializer_list<std::string_view>{
             "", "../escape", "a/b", "back\\slash", ".hidden", "..", "line\nbreak", "tab\there",
             std::string_view("nul\0x", 5)}) {
        EXPECT_FALSE(PresetNameRefusal(bad).empty()) << bad;
    }
    std::string longest(kMaxPresetNameCharacters, 'x');
    EXPECT_TRUE(PresetNameRefusal(longest).empty());
    EXPECT_FALSE(PresetNameRefusal(longest + "x").empty());
    // Characters, not bytes, are counted.
    std::string accented;
    for (size_t i = 0; i < kMaxPresetNameCharacters; ++i) accented += "\xC3\xA9";
    EXPECT_TRUE(PresetNameRefusal(accented).empty());
    EXPECT_TRUE(PresetNameRefusal("Booklet A5 on A4 (duplex) & cards").empty());

    testing_support::ScratchDir config;
    Presets presets(ConfigFolder(config.Path(), config.Path()));
    EXPECT_FALSE(presets.Save("../Default", JobSetup{}).done);
    EXPECT_FALSE(presets.Remove("../Default").done);
    JobSetup untouched;
    EXPECT_FALSE(presets.Load("../../etc/passwd", untouched).done);
    EXPECT_EQ(untouched, JobSetup{});
    EXPECT_FALSE(std::filesystem::exists(config.File("Default.plf")));
}

TEST(PresetsTest, SavedSettingsLoadIntoTheJobKeepingItsFiles) {
    testing_support::ScratchDir config;
    Presets presets(ConfigFolder(config.Path(), config.Path()));
    EXPECT_TRUE(presets.Names().empty());

    JobSetup booklet = ApplyTask(JobSetup{}, Task::Book).setup;
    booklet.inFile = "/jobs/a.pdf";
    booklet.outFile = "/jobs/a-book.pdf";
    ASSERT_TRUE(presets.Save("Book A5", booklet).done);
    ASSERT_TRUE(presets.Save("Cards", ApplyTask(JobSetup{}, Task::Cards).setup).done);
    EXPECT_EQ(presets.Names(), (std::vector<std::string>{"Book A5", "Cards"}));
    // The file holds settings only.
    std::string text = testing_support::ReadWholeFile(presets.PathOf("Book A5"));
    EXPECT_NE(text.find("INFILE;\r\n"), std::string::npos);
    EXPECT_EQ(text.find("/jobs/"), std::string::npos);

    JobSetup job;
    job.inFile = "/jobs/b.pdf";
    job.outFile = "/jobs/b-out.pdf";
    ASSERT_TRUE(presets.Load("Book A5", job).done);
    JobSetup expected = booklet;
    expected.inFile = "/jobs/b.pdf";
    expected.outFile = "/jobs/b-out.pdf";
    EXPECT_EQ(job, expected);

    // Files no preset name could make, links and folders are not listed.
    testing_support::WriteWholeFile(presets.Folder() + "/.hidden.plf", "");
    testing_support::WriteWholeFile(presets.Folder() + "/notes.txt", "");
    std::filesystem::create_directory(presets.Folder() + "/folder.plf");
    std::filesystem::create_symlink("/etc/passwd", presets.Folder() + "/link.plf");
    EXPECT_EQ(presets.Names(), (std::vector<std::string>{"Book A5", "Cards"}));
    EXPECT_FALSE(presets.Load("link", job).done);

    EXPECT_TRUE(presets.Remove("Cards").done);
    EXPECT_FALSE(presets.Remove("Cards").done);
    EXPECT_EQ(presets.Names(), std::vector<std::string>{"Book A5"});
}

}  // namespace
}  // namespace desktop
