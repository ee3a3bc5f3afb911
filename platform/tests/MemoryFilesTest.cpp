// The in-memory files behind the file layer: written, read, renamed and removed by name
// without touching the disk, and only for the calls that are handed the store.
#include "platform/MemoryFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"
#include "platform/ReplaceFile.h"

namespace platform {
namespace {

const std::string kPath = "/velmora-memory-test/a.pdf";

TEST(MemoryFiles, WrittenBytesReadBackAndNeverReachTheDisk) {
    MemoryFiles files;
    const FileSpace memory(files);
    WriteFile out;
    ASSERT_TRUE(out.Create(kPath, memory));
    ASSERT_TRUE(out.Write("%PDF-1.4 hello"));
    EXPECT_EQ(out.Position(), 14);
    ASSERT_TRUE(out.Close());
    EXPECT_FALSE(std::filesystem::exists("/velmora-memory-test"));
    EXPECT_FALSE(FileExists(kPath));
    EXPECT_TRUE(StartsAsPdf(kPath, memory));

    ReadFile in;
    ASSERT_TRUE(in.Open(kPath, memory));
    EXPECT_EQ(in.Size(), 14);
    char bytes[8] = {};
    EXPECT_EQ(in.ReadAt(9, bytes, sizeof bytes), 5);
    EXPECT_EQ(std::string(bytes, 5), "hello");
    EXPECT_EQ(in.ReadAt(14, bytes, 1), 0);
    EXPECT_TRUE(in.SameFileAs(kPath));
    EXPECT_TRUE(IsSameFile(kPath, kPath, memory));
    EXPECT_FALSE(ReadFile().Open(kPath));
}

TEST(MemoryFiles, RenameRemoveAndReplaceStayInTheirStore) {
    MemoryFiles files;
    MemoryFiles other;
    const FileSpace memory(files);
    files.Put(kPath, "one");
    ReadFile held;
    ASSERT_TRUE(held.Open(kPath, memory));
    ASSERT_TRUE(RenameFile(kPath, kPath + ".moved", memory));
    EXPECT_FALSE(FileExists(kPath, memory));
    EXPECT_TRUE(FileExists(kPath + ".moved", memory));
    EXPECT_FALSE(FileExists(kPath + ".moved", FileSpace(other)));
    EXPECT_FALSE(RenameFile(kPath, kPath + ".again", memory));
    EXPECT_TRUE(RemoveFile(kPath + ".moved", memory));
    // A reader keeps what it opened.
    char c = 0;
    EXPECT_EQ(held.ReadAt(0, &c, 1), 1);
    EXPECT_EQ(c, 'o');

    EXPECT_EQ(ReplaceFileWith(kPath, "two", memory), "");
    ASSERT_NE(files.Get(kPath), nullptr);
    EXPECT_EQ(*files.Get(kPath), "two");
    EXPECT_EQ(files.Count(), 1u);  // no private file left beside it
    EXPECT_EQ(other.Count(), 0u);
}

}  // namespace
}  // namespace platform
