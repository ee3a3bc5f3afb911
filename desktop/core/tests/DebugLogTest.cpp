#include "desktop/core/DebugLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "desktop/core/QuietUiPort.h"
#include "testing/Scratch.h"

namespace desktop {
namespace {

using testing_support::ReadWholeFile;
using testing_support::ScratchDir;

TEST(DebugLogTest, WritesNothingAndMakesNoFileWhileOff) {
    ScratchDir scratch;
    DebugLog log(ConfigFolder(scratch.Path(), scratch.File("user")));
    log.Write("rotate\r\n");
    log.Printf("nUp status: %s\r\n", "x");
    log.Close();
    EXPECT_FALSE(log.IsOn());
    EXPECT_FALSE(std::filesystem::exists(scratch.File("user")));
}

TEST(DebugLogTest, StartWritesTheHeaderAndEveryLineIsOnDiskAtOnce) {
    ScratchDir scratch;
    QuietUiPort ui;
    DebugLog log(ConfigFolder(scratch.Path(), scratch.File("user")));
    ASSERT_TRUE(log.Start(ui));
    EXPECT_EQ(log.Path(), scratch.File("user/debug.txt"));
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Debugging started"}));
    EXPECT_EQ(ReadWholeFile(log.Path()), "Debug Started v1.18\r\n");
    log.Printf("nUp file m_filename: %s to %s\r\n", "a.pdf", "b.pdf");
    log.Printf("ShellExecute code: %ld\r\n", 42L);
    // Read while the log is still open: every write was flushed.
    EXPECT_EQ(ReadWholeFile(log.Path()),
              "Debug Started v1.18\r\nnUp file m_filename: a.pdf to b.pdf\r\n"
              "ShellExecute code: 42\r\n");
}

TEST(DebugLogTest, StartingAgainEmptiesTheFile) {
    ScratchDir scratch;
    QuietUiPort ui;
    DebugLog log(ConfigFolder(scratch.Path(), scratch.File("user")));
    log.Start(ui);
    log.Write("rotate\r\n");
    log.Start(ui);
    EXPECT_EQ(ReadWholeFile(log.Path()), "Debug Started v1.18\r\n");
    log.Close();
    EXPECT_FALSE(log.IsOn());
    log.Write("after close\r\n");
    EXPECT_EQ(ReadWholeFile(log.Path()), "Debug Started v1.18\r\n");
}

TEST(DebugLogTest, AFileThatCannotBeMadeLeavesTheLogOffAndSilent) {
    ScratchDir scratch;
    QuietUiPort ui;
    // A plain file where the folder should be.
    testing_support::WriteWholeFile(scratch.File("user"), "");
    DebugLog log(ConfigFolder(scratch.Path(), scratch.File("user")));
    EXPECT_FALSE(log.Start(ui));
    EXPECT_FALSE(log.IsOn());
    EXPECT_TRUE(ui.Calls().empty());
}

TEST(DebugLogTest, LongLinesAreWrittenWhole) {
    ScratchDir scratch;
    QuietUiPort ui;
    DebugLog log(ConfigFolder(scratch.Path(), scratch.File("user")));
    log.Start(ui);
    std::string name(5000, 'n');
    log.Printf("params: %s\r\n", name.c_str());
    EXPECT_EQ(ReadWholeFile(log.Path()).size(), 21u + 8 + 5000 + 2);
}

}  // namespace
}  // namespace desktop
