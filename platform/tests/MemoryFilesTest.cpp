// The in-memory files behind the file layer: written, read, renamed and removed by name
// without touching the disk, and gone once switched off.
#include "platform/MemoryFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"

namespace platform {
namespace {

class MemoryFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { memory_files::Enable(true); }
    void TearDown() override { memory_files::Enable(false); }

    const std::string m_path = "/velmora-memory-test/a.pdf";
};

TEST_F(MemoryFilesTest, WrittenBytesReadBackAndNeverReachTheDisk) {
    WriteFile out;
    ASSERT_TRUE(out.Create(m_path));
    ASSERT_TRUE(out.Write("%PDF-1.4 hello"));
    EXPECT_EQ(out.Position(), 14);
    ASSERT_TRUE(out.Close());
    EXPECT_FALSE(std::filesystem::exists("/velmora-memory-test"));

    ReadFile in;
    ASSERT_TRUE(in.Open(m_path));
    EXPECT_EQ(in.Size(), 14);
    char bytes[8] = {};
    EXPECT_EQ(in.ReadAt(9, bytes, sizeof bytes), 5);
    EXPECT_EQ(std::string(bytes, 5), "hello");
    EXPECT_EQ(in.ReadAt(14, bytes, 1), 0);
    EXPECT_TRUE(in.SameFileAs(m_path));
    EXPECT_TRUE(IsSameFile(m_path, m_path));
}

TEST_F(MemoryFilesTest, RenameRemoveAndSwitchingOffForgetEverything) {
    memory_files::Put(m_path, "one");
    ReadFile held;
    ASSERT_TRUE(held.Open(m_path));
    ASSERT_TRUE(RenameFile(m_path, m_path + ".moved"));
    EXPECT_FALSE(FileExists(m_path));
    EXPECT_TRUE(FileExists(m_path + ".moved"));
    EXPECT_FALSE(RenameFile(m_path, m_path + ".again"));
    EXPECT_TRUE(RemoveFile(m_path + ".moved"));
    // A reader keeps what it opened.
    char c = 0;
    EXPECT_EQ(held.ReadAt(0, &c, 1), 1);
    EXPECT_EQ(c, 'o');

    memory_files::Put(m_path, "two");
    memory_files::Enable(false);
    EXPECT_FALSE(FileExists(m_path));
    memory_files::Enable(true);
    EXPECT_FALSE(ReadFile().Open(m_path));
}

}  // namespace
}  // namespace platform
