// A whole run on in-memory files, as the fuzz target runs it: the input, the 2-to-1 pre-pass
// file and the output stay in memory, and the output is the one a run on disk writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "gridane/tests/ImposeHelpers.h"
#include "platform/MemoryFiles.h"
#include "testing/Scratch.h"
#include "testing/Tools.h"

namespace gridane {
namespace {

using namespace testing_support;

TEST(MemoryRun, ImposesInMemoryAsOnDisk) {
    ScratchDir dir;
    const std::string input = test::NumberedLetterPdf(4);
    const std::string onDisk = dir.File("disk.pdf");
    ASSERT_EQ(test::Impose("up2to1", input, onDisk), "");

    const std::string bytes = ReadWholeFile(input);
    const std::string memoryIn = dir.File("memory-in.pdf");
    const std::string memoryOut = dir.File("memory-out.pdf");
    platform::memory_files::Enable(true);
    platform::memory_files::Put(memoryIn, bytes);
    const std::string status = test::Impose("up2to1", memoryIn, memoryOut);
    std::shared_ptr<const std::string> written = platform::memory_files::Get(memoryOut);
    const bool tempLeft = platform::memory_files::Exists(memoryOut + ".part");
    platform::memory_files::Enable(false);

    ASSERT_EQ(status, "");
    ASSERT_NE(written, nullptr);
    EXPECT_FALSE(tempLeft);
    EXPECT_FALSE(std::filesystem::exists(memoryOut));
    EXPECT_FALSE(std::filesystem::exists(memoryIn));
    WriteWholeFile(memoryOut, *written);
    EXPECT_TRUE(QpdfCheckClean(memoryOut));
    EXPECT_EQ(PageCount(memoryOut), PageCount(onDisk));
}

}  // namespace
}  // namespace gridane
