// Replacing a file whole: the new file takes the target's name with the process's usual
// permissions, a link at that name is replaced rather than written through, and a failed write
// leaves the earlier file and nothing else.
#include "platform/ReplaceFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "testing/FailingDisk.h"
#include "testing/Scratch.h"

namespace platform {
namespace {

using testing_support::FileNamesIn;
using testing_support::ReadWholeFile;
using testing_support::ScratchDir;
using testing_support::WriteWholeFile;

mode_t Permissions(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(ReplaceFileTest, NewFileTakesTheNameWithTheUmasksPermissions) {
    ScratchDir dir;
    std::string target = dir.File("out.pdf");
    WriteWholeFile(target, "old");
    for (mode_t mask : {022, 077}) {
        mode_t before = ::umask(mask);
        std::string failure = ReplaceFileWith(target, "new");
        ::umask(before);
        ASSERT_EQ(failure, "");
        EXPECT_EQ(ReadWholeFile(target), "new");
        EXPECT_EQ(Permissions(target), 0666 & ~mask);
    }
    EXPECT_EQ(FileNamesIn(dir.Path()), (std::vector<std::string>{"out.pdf"}));

    // A name near the system's limit still finds room for its private file beside it.
    std::string longName(250, 'n');
    EXPECT_EQ(ReplaceFileWith(dir.File(longName), "long"), "");
    EXPECT_EQ(ReadWholeFile(dir.File(longName)), "long");
}

TEST(ReplaceFileTest, LinkIsReplacedAndItsTargetKept) {
    ScratchDir dir;
    std::string elsewhere = dir.File("thesis.pdf");
    std::string link = dir.File("out.pdf");
    WriteWholeFile(elsewhere, "thesis");
    std::filesystem::create_symlink(elsewhere, link);
    ASSERT_EQ(ReplaceFileWith(link, "new"), "");
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(link), "new");
    EXPECT_EQ(ReadWholeFile(elsewhere), "thesis");
}

TEST(ReplaceFileTest, FailedWriteKeepsTheOldFileAndLeavesNothing) {
    ScratchDir dir;
    std::string target = dir.File("out.pdf");
    WriteWholeFile(target, "old");
    {
        testing_support::ScopedFileSizeLimit limit(1000);
        EXPECT_EQ(ReplaceFileWith(target, std::string(200000, 'x')), "File too large");
        ReplaceFile dropped;
        ASSERT_TRUE(dropped.Begin(target));
        dropped.Write("never committed");
    }
    EXPECT_EQ(ReplaceFileWith(dir.File("no such folder/out.pdf"), "x"),
              "No such file or directory");
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_EQ(FileNamesIn(dir.Path()), (std::vector<std::string>{"out.pdf"}));
}

}  // namespace
}  // namespace platform
