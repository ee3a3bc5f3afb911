#include "desktop/core/ConfigFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "testing/ScopedEnvironment.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

namespace fs = std::filesystem;
using testing_support::ScopedEnvironment;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

TEST(ConfigFolderTest, WorkingFolderWinsWhenItHoldsASetupOrConversionFile) {
    for (std::string_view marker : {"Default.plf", "conversion.ini"}) {
        ScratchDir scratch;
        WriteWholeFile(scratch.File(marker), "");
        ConfigFolder folder(scratch.Path() + "/", scratch.File("user"));
        EXPECT_TRUE(folder.UsesWorkingFolder()) << marker;
        EXPECT_EQ(folder.PathOf("debug.txt"), scratch.File("debug.txt"));
    }
}

TEST(ConfigFolderTest, OtherwiseTheUserFolderIsMadeWhenFirstWritten) {
    ScratchDir scratch;
    WriteWholeFile(scratch.File("debug.txt"), "");  // not a marker
    WriteWholeFile(scratch.File("default.lst"), "");
    ConfigFolder folder(scratch.Path(), scratch.File("config/velmora/"));
    EXPECT_FALSE(folder.UsesWorkingFolder());
    EXPECT_EQ(folder.Folder(), scratch.File("config/velmora"));
    EXPECT_EQ(folder.Resolve("conversion.ini"), scratch.File("config/velmora/conversion.ini"));
    EXPECT_FALSE(fs::exists(scratch.File("config")));
    EXPECT_EQ(folder.ResolveForWriting("Default.plf"), scratch.File("config/velmora/Default.plf"));
    EXPECT_TRUE(fs::is_directory(scratch.File("config/velmora")));
}

TEST(ConfigFolderTest, OnlyTheBareConfigurationNamesMove) {
    ConfigFolder folder("/work", "/home/u/.config/velmora");
    EXPECT_EQ(folder.Resolve("default.lst"), "/home/u/.config/velmora/default.lst");
    EXPECT_EQ(folder.Resolve("debug.txt"), "/home/u/.config/velmora/debug.txt");
    EXPECT_EQ(folder.Resolve("./Default.plf"), "./Default.plf");
    EXPECT_EQ(folder.Resolve("default.plf"), "default.plf");
    EXPECT_EQ(folder.Resolve("jobs/a.plf"), "jobs/a.plf");
    EXPECT_EQ(folder.ResolveForWriting("jobs/a.plf"), "jobs/a.plf");
}

TEST(ConfigFolderTest, UserFolderFollowsXdgConfigHome) {
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg/");
        EXPECT_EQ(UserConfigFolder(), "/cfg/velmora");
    }
    for (const char* unusable : {"", "relative/cfg"}) {
        ScopedEnvironment config("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/velmora") << unusable;
    }
    ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/velmora");
}

TEST(ConfigFolderTest, FromEnvironmentLooksAtTheWorkingFolder) {
    ScratchDir scratch;
    ScopedEnvironment config("XDG_CONFIG_HOME", scratch.File("xdg").c_str());
    fs::path previous = fs::current_path();
    fs::current_path(scratch.Path());
    ConfigFolder user = ConfigFolder::FromEnvironment();
    WriteWholeFile(scratch.File("conversion.ini"), "");
    ConfigFolder working = ConfigFolder::FromEnvironment();
    fs::current_path(previous);
    EXPECT_EQ(user.Folder(), scratch.File("xdg/velmora"));
    EXPECT_TRUE(working.UsesWorkingFolder());
    EXPECT_TRUE(fs::equivalent(working.Folder(), scratch.Path()));
}

}  // namespace
}  // namespace desktop
